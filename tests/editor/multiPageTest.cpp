// The multi page on a real facade: the strips follow the arrows and re-bind
// only on a change of section, a second-bank multi offers its own bank's
// singles, host changes show only on the strip that shows their section, and
// a strip's edit reaches the host.

#include <gtest/gtest.h>

#include "editor/k1EditorWidgets.h"
#include "patch/parameter.h"
#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;
using k1lib::EParam;

namespace
{
float normalized(EParam p, float raw)
{
    return (raw - k1lib::g_params[p].min) * k1lib::g_params[p].invRange;
}

// The views of one strip ("multiSectionA" .. "D").
struct Strip
{
    ControlHelpers::ViewMap views;
    template <class T> T* get(const std::string& name) const { return ControlHelpers::initView<T>(views, name); }
};

Strip strip(const EditorHarness& h, char letter)
{
    Strip s;
    ControlHelpers::getViewsByCustomViewName(s.views,
                                             h.find<CViewContainer>(std::string("multiSection") + letter));
    return s;
}

std::string shownText(COptionMenu* menu)
{
    CMenuItem* item = menu ? menu->getCurrent() : nullptr;
    return item ? item->getTitle().getString() : std::string();
}
} // namespace

TEST(EditorMultiPage, ArrowsStripsBanksAndHostChanges)
{
    EditorHarness h;
    h.plugin->setPlayMode(k1lib::PlayMode::Multi);
    ASSERT_TRUE(h.plugin->setCurrentPresetIndex(33)); // a multi of the second bank
    h.idle();
    ASSERT_EQ(h.pressKey('E'), 1);
    ASSERT_TRUE(h.find<CViewContainer>("mode_edit_multi")->isVisible());

    CView* left = h.find<CView>("arrowLeft");
    CView* right = h.find<CView>("arrowRight");
    const Strip a = strip(h, 'A'), b = strip(h, 'B'), d = strip(h, 'D');
    auto title = [](const Strip& s) { return s.get<CTextLabel>("multiSectionName")->getText().getString(); };
    EXPECT_EQ(title(a), "SECTION 1");
    EXPECT_EQ(title(d), "SECTION 4");
    EXPECT_FALSE(left->isVisible());
    EXPECT_TRUE(right->isVisible());
    COptionMenu* singleB = b.get<COptionMenu>("multiSectionSingle");
    CKnobBase* levelB = b.get<CKnobBase>("multiSectionLevel");
    EXPECT_EQ(h.editor->getOptionMenu(k1lib::Param_MultiS2Single), singleB);
    EXPECT_EQ(h.editor->getControl(k1lib::Param_MultiS2Level), levelB);

    // The singles of multi 33's bank: 64-127 by slot label, tags 0-63.
    ASSERT_EQ(singleB->getNbEntries(), 8 + 1); // eight groups and the closed menu's title
    const CMenuItemList& groups = *singleB->getItems();
    const k1lib::Plugin& plugin = *h.plugin;
    COptionMenu* first = groups[1]->getSubmenu();
    COptionMenu* last = groups[8]->getSubmenu();
    ASSERT_TRUE(first && last);
    EXPECT_EQ(groups[1]->getTitle().getString(),
              plugin.getSingleNumberAsName(64) + "-" + plugin.getSingleNumberAsName(71));
    k1lib::SinglePreset single;
    ASSERT_TRUE(plugin.getSingle(single, 64));
    EXPECT_EQ(first->getEntry(0)->getTitle().getString(), plugin.getSingleNumberAsName(64) + "  " + single.name);
    EXPECT_EQ(first->getEntry(0)->getTag(), 0);
    ASSERT_EQ(last->getNbEntries(), 8);
    ASSERT_TRUE(plugin.getSingle(single, 127));
    EXPECT_EQ(last->getEntry(7)->getTitle().getString(), plugin.getSingleNumberAsName(127) + "  " + single.name);
    EXPECT_EQ(last->getEntry(7)->getTag(), 63);
    // The closed menu names section 2's single.
    const int tag2 = int(std::lround(plugin.getParameter(k1lib::Param_MultiS2Single) * 63));
    EXPECT_EQ(shownText(singleB), ControlHelpers::getItemTextByTag(singleB, tag2));

    // The right arrow: sections 5-8 on the same views, only the left arrow.
    h.click(right);
    EXPECT_EQ(title(a), "SECTION 5");
    EXPECT_EQ(title(d), "SECTION 8");
    EXPECT_TRUE(left->isVisible());
    EXPECT_FALSE(right->isVisible());
    EXPECT_EQ(h.editor->getOptionMenu(k1lib::Param_MultiS6Single), singleB);
    EXPECT_EQ(h.editor->getControl(k1lib::Param_MultiS6Level), levelB);
    EXPECT_EQ(h.editor->getOptionMenu(k1lib::Param_MultiS2Single), nullptr);
    EXPECT_EQ(h.editor->getControl(k1lib::Param_MultiS2Level), nullptr);
    EXPECT_EQ(h.editor->getMultilevelOptionMenu(k1lib::Param_MultiS2Single), nullptr);

    // The host picks single 10 of the bank for section 6: strip B shows it.
    ASSERT_TRUE(h.plugin->setParameter(k1lib::Param_MultiS6Single, normalized(k1lib::Param_MultiS6Single, 10)));
    h.idle();
    EXPECT_EQ(shownText(singleB), ControlHelpers::getItemTextByTag(singleB, 10));

    // Showing the section already shown binds nothing again (a binding
    // taken away stays away).
    h.editor->unassignViewFromParam(levelB);
    h.click(right); // already on 5-8, the arrow is hidden
    ASSERT_NE(h.editor->getMultiPage(), nullptr);
    h.editor->getMultiPage()->updateSectionOffset(4);
    EXPECT_EQ(h.editor->getControl(k1lib::Param_MultiS6Level), nullptr);

    // Back to 1-4: a host change of section 6 now leaves every strip alone.
    h.click(left);
    EXPECT_EQ(title(b), "SECTION 2");
    EXPECT_EQ(h.editor->getControl(k1lib::Param_MultiS2Level), levelB);
    const std::string shownB = shownText(singleB);
    ASSERT_TRUE(h.plugin->setParameter(k1lib::Param_MultiS6Single, normalized(k1lib::Param_MultiS6Single, 20)));
    h.idle();
    EXPECT_EQ(shownText(singleB), shownB);
    for (char letter : {'A', 'C', 'D'})
        EXPECT_NE(shownText(strip(h, letter).get<COptionMenu>("multiSectionSingle")),
                  ControlHelpers::getItemTextByTag(singleB, 20))
            << letter;

    // Section 2's level knob: one edit to the host, the facade follows, and
    // the value label shows it after the next idle.
    h.bridge.automation.clear();
    levelB->setValueNormalized(0.25f);
    levelB->valueChanged();
    ASSERT_EQ(h.bridge.automation.size(), 1u);
    EXPECT_EQ(h.bridge.automation[0].first, k1lib::Param_MultiS2Level);
    EXPECT_FLOAT_EQ(h.plugin->getParameter(k1lib::Param_MultiS2Level), 0.25f);
    h.idle();
    const k1lib::CParam& level = k1lib::g_params[k1lib::Param_MultiS2Level];
    EXPECT_EQ(b.get<CTextLabel>("multiSectionLevel")->getText().getString(),
              level.formatValue(k1lib::Param_MultiS2Level, 0.25f * level.range + level.min));

    // A multi of the first bank: the menus offer singles 0-63.
    ASSERT_TRUE(h.plugin->setCurrentPresetIndex(2));
    h.idle();
    EXPECT_EQ(singleB->getItems()->at(1)->getTitle().getString(),
              plugin.getSingleNumberAsName(0) + "-" + plugin.getSingleNumberAsName(7));
}
