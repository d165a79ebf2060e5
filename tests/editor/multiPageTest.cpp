// The multi page on the panel: the strips follow the arrows and re-bind only
// on a change of section, a second-bank multi offers its own bank's singles,
// a host change shows only on the strip that shows its section, and a
// strip's edit reaches the host; the single menus follow a rename, also
// while one of them is open.

#include <gtest/gtest.h>

#include <cstdio>

#include "editor/k1EditorWidgets.h"
#include "gui/menupopup.h"
#include "patch/sysex.h"
#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;
using editortest::shownText;

TEST(EditorMultiPage, ArrowsStripsBanksAndHostChanges)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    const k1lib::Plugin& plugin = *h.plugin;
    h.plugin->setPlayMode(k1lib::PlayMode::Multi);
    ASSERT_TRUE(h.plugin->setCurrentPresetIndex(33)); // a multi of the second bank
    h.idle();
    ASSERT_EQ(h.pressKey('E'), 1);

    // Strip B's views, by their names inside "multiSectionB".
    ControlHelpers::ViewMap b;
    ControlHelpers::getViewsByCustomViewName(b, h.find<CViewContainer>("multiSectionB"));
    auto* title = ControlHelpers::initView<CTextLabel>(b, "multiSectionName");
    auto* single = ControlHelpers::initView<COptionMenu>(b, "multiSectionSingle");
    auto* level = ControlHelpers::initView<CKnobBase>(b, "multiSectionLevel");
    CView* left = h.find<CView>("arrowLeft");
    CView* right = h.find<CView>("arrowRight");
    EXPECT_EQ(title->getText().getString(), "SECTION 2");
    EXPECT_FALSE(left->isVisible());
    EXPECT_TRUE(right->isVisible());
    EXPECT_EQ(h.editor->getControl(k1lib::Param_MultiS2Level), level);

    // Singles 64-127 of the store by slot label, tags 0-63, in eight groups
    // after the closed menu's title entry.
    const CMenuItemList& groups = *single->getItems();
    ASSERT_EQ(groups.size(), 9u);
    EXPECT_EQ(groups[1]->getTitle().getString(),
              plugin.getSingleNumberAsName(64) + "-" + plugin.getSingleNumberAsName(71));
    k1lib::SinglePreset last;
    ASSERT_TRUE(plugin.getSingle(last, 127));
    const CMenuItem* item = groups[8]->getSubmenu()->getEntry(7);
    EXPECT_EQ(item->getTitle().getString(), plugin.getSingleNumberAsName(127) + "  " + last.name);
    EXPECT_EQ(item->getTag(), 63);
    EXPECT_EQ(groups[1]->getSubmenu()->getEntry(0)->getTag(), 0);

    // The right arrow: sections 5-8 on the same views, only the left arrow.
    h.click(right);
    EXPECT_EQ(title->getText().getString(), "SECTION 6");
    EXPECT_TRUE(left->isVisible());
    EXPECT_FALSE(right->isVisible());
    EXPECT_EQ(h.editor->getControl(k1lib::Param_MultiS6Level), level);
    EXPECT_EQ(h.editor->getOptionMenu(k1lib::Param_MultiS2Single), nullptr);
    EXPECT_EQ(h.editor->getMultilevelOptionMenu(k1lib::Param_MultiS2Single), nullptr);
    // The host picks single 10 for section 6: strip B shows it.
    ASSERT_TRUE(h.plugin->setParameter(k1lib::Param_MultiS6Single, 10.0f / 63.0f));
    h.idle();
    EXPECT_EQ(shownText(single), ControlHelpers::getItemTextByTag(single, 10));
    // The section already shown binds nothing again: a binding taken away
    // stays away.
    h.editor->unassignViewFromParam(level);
    h.editor->getMultiPage()->updateSectionOffset(4);
    EXPECT_EQ(h.editor->getControl(k1lib::Param_MultiS6Level), nullptr);

    // Back on 1-4, a host change of section 6 leaves the page alone.
    h.click(left);
    EXPECT_EQ(title->getText().getString(), "SECTION 2");
    const std::string shown = shownText(single);
    ASSERT_TRUE(h.plugin->setParameter(k1lib::Param_MultiS6Single, 20.0f / 63.0f));
    h.idle();
    EXPECT_EQ(shownText(single), shown);

    // Section 2's level knob: one edit to the host, the facade follows.
    h.bridge.automation.clear();
    level->setValueNormalized(0.25f);
    level->valueChanged();
    ASSERT_EQ(h.bridge.automation.size(), 1u);
    EXPECT_EQ(h.bridge.automation[0].first, k1lib::Param_MultiS2Level);
    EXPECT_FLOAT_EQ(h.plugin->getParameter(k1lib::Param_MultiS2Level), 0.25f);

    // A multi of the first bank: the menus offer singles 0-63.
    ASSERT_TRUE(h.plugin->setCurrentPresetIndex(2));
    h.idle();
    EXPECT_EQ(single->getItems()->at(1)->getTitle().getString(),
              plugin.getSingleNumberAsName(0) + "-" + plugin.getSingleNumberAsName(7));

    // A single of the bank renamed (a store from the browser, an import, a
    // dump from a K1): every strip's menu offers the new name.
    k1lib::SinglePreset renamed;
    ASSERT_TRUE(plugin.getSingle(renamed, 5));
    std::snprintf(renamed.name, sizeof renamed.name, "%s", "Renamed");
    ASSERT_TRUE(h.plugin->setSingle(5, renamed));
    h.idle();
    for (const char* strip : {"multiSectionA", "multiSectionD"})
    {
        ControlHelpers::ViewMap views;
        ControlHelpers::getViewsByCustomViewName(views, h.find<CViewContainer>(strip));
        auto* menu = ControlHelpers::initView<COptionMenu>(views, "multiSectionSingle");
        EXPECT_EQ(menu->getItems()->at(1)->getSubmenu()->getEntry(5)->getTitle().getString(),
                  plugin.getSingleNumberAsName(5) + "  Renamed")
            << strip;
    }
}

TEST(EditorMultiPage, AnOpenSingleMenuShowsADumpsNewNamesAndTheNextClickChooses)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    const k1lib::Plugin& plugin = *h.plugin;
    h.plugin->setPlayMode(k1lib::PlayMode::Multi);
    h.idle();
    ASSERT_EQ(h.pressKey('E'), 1);
    ControlHelpers::ViewMap a;
    ControlHelpers::getViewsByCustomViewName(a, h.find<CViewContainer>("multiSectionA"));
    auto* single = ControlHelpers::initView<COptionMenu>(a, "multiSectionSingle");
    h.click(single);
    MenuPopup* popup = MenuPopup::openFor(h.frame, single);
    ASSERT_NE(popup, nullptr);
    h.window->click(popup->getItemRect(0, 0).getCenter()); // IA-1 .. IA-8 open
    h.window->render();

    // Meanwhile a K1 sends its internal singles (the multi's bank) renamed.
    std::vector<k1lib::SinglePreset> singles(64);
    for (size_t i = 0; i < singles.size(); ++i)
    {
        ASSERT_TRUE(plugin.getSingle(singles[i], i));
        std::snprintf(singles[i].name, sizeof singles[i].name, "REN %02zu", i);
    }
    for (size_t half = 0; half < 2; ++half)
    {
        k1lib::SMidiEvent dump;
        ASSERT_TRUE(k1lib::Sysex::writeSingles(
            dump.sysex, std::vector<k1lib::SinglePreset>(singles.begin() + long(32 * half), singles.begin() + long(32 * half + 32)),
            0, half ? k1lib::StorageLocation::i : k1lib::StorageLocation::I, 0));
        h.plugin->addMidiEvent(dump);
    }
    h.render(512);
    h.editor->idle();

    // Still open: its eight groups laid out as they are (no title among
    // them), the open group showing the new names, all of it to be redrawn.
    ASSERT_EQ(MenuPopup::openFor(h.frame, single), popup);
    const auto& columns = popup->getColumns();
    ASSERT_EQ(columns.size(), 2u);
    ASSERT_EQ(single->getNbEntries(), 8);
    ASSERT_EQ(columns[0].itemRects.size(), 8u);
    EXPECT_EQ(single->getEntry(7)->getTitle().getString(),
              plugin.getSingleNumberAsName(56) + "-" + plugin.getSingleNumberAsName(63));
    EXPECT_EQ(columns[1].menu.get(), single->getEntry(0)->getSubmenu());
    EXPECT_EQ(columns[1].menu->getEntry(4)->getTitle().getString(), plugin.getSingleNumberAsName(4) + "  REN 04");
    CRect redrawn = h.window->getInvalidRect();
    EXPECT_EQ(redrawn.unite(columns[0].rect).unite(columns[1].rect), h.window->getInvalidRect());

    // The next click chooses IA-5; the closed menu shows it.
    h.bridge.automation.clear();
    h.window->click(popup->getItemRect(1, 4).getCenter());
    EXPECT_EQ(MenuPopup::openFor(h.frame, single), nullptr);
    ASSERT_EQ(h.bridge.automation.size(), 1u);
    EXPECT_EQ(h.bridge.automation[0].first, k1lib::Param_MultiS1Single);
    EXPECT_FLOAT_EQ(h.bridge.automation[0].second, 4.0f / 63.0f);
    h.idle();
    EXPECT_EQ(shownText(single), plugin.getSingleNumberAsName(4) + "  REN 04");
}
