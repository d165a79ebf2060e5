// Option menus: the octave and wave-group menus of the source page, the
// title a multi-level menu shows while closed (and hides while open), a
// choice in a submenu written as its tag, and the one-shot context popup.
// Also the message boxes and the two web links.

#include <gtest/gtest.h>

#include <memory>

#include "editor/uiPopup.h"
#include "editor/webLinks.h"
#include "gui/menupopup.h"
#include "patch/parameter.h"
#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;

namespace
{
CPoint centre(const CRect& r)
{
    return r.getCenter();
}

// Clicks item index of column c of the popup open for menu.
void clickItem(EditorHarness& h, COptionMenu* menu, size_t column, int32_t index)
{
    MenuPopup* popup = MenuPopup::openFor(h.frame, menu);
    ASSERT_NE(popup, nullptr);
    const CRect r = popup->getItemRect(column, index);
    ASSERT_FALSE(r.isEmpty()) << column << " " << index;
    h.window->click(centre(r));
}

std::vector<int32_t> tagsOf(const COptionMenu* menu)
{
    std::vector<int32_t> tags;
    for (const auto& item : *menu->getItems())
        tags.push_back(item->getTag());
    return tags;
}
} // namespace

TEST(EditorMenus, SourceMenusTitlesChoicesAndPopups)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    h.pressKey('1');
    COptionMenu* wave = h.find<COptionMenu>("Param_SourceS1Wave");
    COptionMenu* coarse = h.find<COptionMenu>("Param_SourceS1Coarse");
    uiMultilevelOptionMenu* waveTitle = h.editor->getMultilevelOptionMenu(k1lib::Param_SourceS1Wave);
    ASSERT_NE(waveTitle, nullptr);

    // Coarse: a title entry and eleven octaves, 0-11 ... 108-119, 120-127.
    ASSERT_EQ(coarse->getNbEntries(), 12);
    EXPECT_EQ(tagsOf(coarse->getEntry(1)->getSubmenu()), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(tagsOf(coarse->getEntry(11)->getSubmenu()), (std::vector<int32_t>{120, 121, 122, 123, 124, 125, 126, 127}));
    const k1lib::CParam& coarseRow = k1lib::g_params[k1lib::Param_SourceS1Coarse];
    EXPECT_EQ(coarse->getEntry(11)->getTitle().getString(),
              coarseRow.formatValue(k1lib::Param_SourceS1Coarse, 120) + "-" +
                  coarseRow.formatValue(k1lib::Param_SourceS1Coarse, 127));

    // Wave: a title entry, six group titles and 28 families; the closed menu
    // shows the current wave's name.
    ASSERT_EQ(wave->getNbEntries(), 35);
    EXPECT_TRUE(wave->getEntry(1)->isTitle());
    EXPECT_EQ(wave->getEntry(1)->getTitle().getString(), "Basic Wave Group");
    EXPECT_EQ(wave->getEntry(2)->getTitle().getString(), "Sine");
    EXPECT_EQ(wave->getEntry(2)->getSubmenu()->getNbEntries(), 13);
    EXPECT_EQ(wave->getEntry(34)->getTitle().getString(), "Alternate");
    EXPECT_EQ(tagsOf(wave->getEntry(34)->getSubmenu()), (std::vector<int32_t>{253, 254, 255}));
    const k1lib::CParam& waveRow = k1lib::g_params[k1lib::Param_SourceS1Wave];
    const float current = h.plugin->getParameter(k1lib::Param_SourceS1Wave);
    const std::string currentText =
        waveRow.formatValue(k1lib::Param_SourceS1Wave, std::round(current * waveRow.range + waveRow.min));
    EXPECT_EQ(wave->getCurrentIndex(), 0);
    EXPECT_EQ(wave->getEntry(0)->getTitle().getString(), currentText);

    // Opened, the menu has no title entry; dismissed, it has it back and
    // nothing was written.
    h.bridge.automation.clear();
    h.click(wave);
    ASSERT_NE(MenuPopup::openFor(h.frame, wave), nullptr);
    EXPECT_EQ(wave->getNbEntries(), 34);
    EXPECT_EQ(wave->getEntry(0)->getTitle().getString(), "Basic Wave Group");
    h.window->typeVirtualKey(VKEY_ESCAPE);
    EXPECT_EQ(MenuPopup::openFor(h.frame, wave), nullptr);
    EXPECT_EQ(wave->getNbEntries(), 35);
    EXPECT_EQ(wave->getEntry(0)->getTitle().getString(), currentText);
    EXPECT_TRUE(h.bridge.automation.empty());

    // A wave chosen in a submenu ("Saw", its fourth item: wave 17) is written
    // as its tag; the closed menu shows it once the change comes back.
    h.click(wave);
    clickItem(h, wave, 0, 2);
    clickItem(h, wave, 1, 3);
    EXPECT_EQ(MenuPopup::openFor(h.frame, wave), nullptr);
    ASSERT_EQ(h.bridge.automation.size(), 1u);
    EXPECT_EQ(h.bridge.automation[0].first, k1lib::Param_SourceS1Wave);
    EXPECT_FLOAT_EQ(h.bridge.automation[0].second, 16.0f / 255.0f);
    h.idle();
    EXPECT_EQ(wave->getNbEntries(), 35);
    EXPECT_EQ(wave->getEntry(0)->getTitle().getString(), waveRow.formatValue(k1lib::Param_SourceS1Wave, 16));
    EXPECT_EQ(wave->getCurrentIndex(), 0);

    // Cleared and refilled, the menu gets its title entry back (once).
    h.editor->initOptionMenu(wave, k1lib::Param_SourceS1Wave);
    EXPECT_EQ(wave->getNbEntries(), 34);
    waveTitle->setTitle("again");
    EXPECT_EQ(wave->getNbEntries(), 35);
    EXPECT_EQ(wave->getEntry(0)->getTitle().getString(), "again");
    waveTitle->setTitle("and again");
    EXPECT_EQ(wave->getNbEntries(), 35);

    // The context popup: a choice two submenus deep reports its tag, and
    // the callback may delete the popup; the menu leaves the container.
    CTextLabel* label = h.find<CTextLabel>("Param_SourceS1EnvAttack");
    CViewContainer* parent = label->getParentView();
    const uint32_t children = parent->getNbViews();
    auto popup = std::make_unique<uiPopup>(label);
    EXPECT_EQ(parent->getNbViews(), children + 1);
    popup->addEntry("Copy", 0);
    popup->addEntry("Paste", 1, false);
    popup->addSeparator();
    auto* banks = new COptionMenu();
    auto* bankA = new COptionMenu();
    for (int i = 0; i < 8; ++i)
        bankA->addEntry(std::to_string(i + 1))->setTag(1000 + i);
    banks->addEntry(bankA, "IA-");
    popup->addEntry("Send to K1 Hardware", banks);
    std::vector<int> chosen;
    COptionMenu* anchor = popup->getMenu();
    popup->popup([&](int tag) {
        chosen.push_back(tag);
        popup.reset();
    });
    clickItem(h, anchor, 0, 1); // disabled: nothing happens
    EXPECT_TRUE(chosen.empty());
    clickItem(h, anchor, 0, 3);
    clickItem(h, anchor, 1, 0);
    clickItem(h, anchor, 2, 2);
    EXPECT_EQ(chosen, std::vector<int>{1002});
    EXPECT_EQ(popup, nullptr);
    EXPECT_EQ(parent->getNbViews(), children);

    // Dismissed: no callback, no menu left behind; popping up again does nothing.
    uiPopup dismissed(label);
    dismissed.addEntry("Copy", 0);
    dismissed.popup([&](int tag) { chosen.push_back(tag); });
    h.window->click(CPoint(2, 2));
    EXPECT_EQ(chosen.size(), 1u);
    EXPECT_EQ(dismissed.getMenu(), nullptr);
    EXPECT_EQ(parent->getNbViews(), children);
    dismissed.popup([&](int tag) { chosen.push_back(tag); });
    EXPECT_EQ(chosen.size(), 1u);
}

TEST(EditorMessages, BoxesAndWebLinks)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    struct Seen
    {
        std::string title, text;
        std::vector<std::string> buttons;
    };
    std::vector<Seen> seen;
    int answer = 0;
    h.window->setModalHandler([&](HeadlessFrame&) {
        if (CMessageBox* box = CMessageBox::getOpen(h.frame))
        {
            seen.push_back({box->getTitle(), box->getText(), box->getButtons()});
            if (box->getButtons().size() == 2) // questions default to "Cancel"
            {
                EXPECT_EQ(box->getDefaultButton(), 0u);
            }
            box->choose(answer);
        }
    });

    // The logo asks first; "Cancel" opens nothing.
    answer = 0;
    h.click(h.find<CView>("clickableLogo"));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Darvello");
    EXPECT_EQ(seen[0].text, "Open Darvello Website? (internet connection required)");
    EXPECT_EQ(seen[0].buttons, (std::vector<std::string>{"Cancel", "OK"}));
    EXPECT_TRUE(h.factory.openedURLs.empty());
    // "OK" on the donation question opens the donation page.
    answer = 1;
    h.click(h.find<CView>("btDonate"));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].text,
              "Do you want to support this project by donating something? (internet connection required)");
    EXPECT_EQ(h.factory.openedURLs, std::vector<std::string>{k1links::kDonation});
    answer = 1;
    EXPECT_TRUE(h.editor->openURL(k1links::kWebsite, "Open Darvello Website?"));
    EXPECT_EQ(h.factory.openedURLs.back(), k1links::kWebsite);

    // The notice has one button; a question nobody can answer counts as "Cancel".
    answer = 0;
    h.editor->showMessageBoxOk("Failed to create file");
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[3].text, "Failed to create file");
    EXPECT_EQ(seen[3].buttons, std::vector<std::string>{"OK"});
    h.window->setModalHandler(nullptr);
    EXPECT_FALSE(h.editor->showMessageBoxYesNo("Reset?"));
    EXPECT_FALSE(h.editor->openURL(k1links::kWebsite, "Open Darvello Website?"));
    EXPECT_EQ(h.factory.openedURLs.size(), 2u);
}
