#include <gtest/gtest.h>

#include "gui/menupopup.h"
#include "tests/gui/guiTestSupport.h"

using namespace VSTGUI;
using guitest::DemoWindow;
using guitest::Recorder;

namespace
{
struct MenuSpy : IOptionMenuListener
{
    std::vector<std::string> events;
    void onOptionMenuPrePopup(COptionMenu* m) override
    {
        events.push_back("pre " + std::to_string(m->getNbEntries()));
    }
    void onOptionMenuPostPopup(COptionMenu*) override { events.push_back("post"); }
};

// "Flat" (tag 7), a separator, "Group" with "One" (tag 100) and "Deeper" with
// "Two" (tag 200), a disabled "Off" (tag 9).
void fill(COptionMenu* menu)
{
    menu->addEntry("Flat")->setTag(7);
    menu->addSeparator();
    auto* group = new COptionMenu();
    group->addEntry("One")->setTag(100);
    auto* deeper = new COptionMenu();
    deeper->addEntry("Two")->setTag(200);
    group->addEntry(deeper, "Deeper");
    menu->addEntry(group, "Group");
    menu->addEntry("Off", -1, CMenuItem::kDisabled)->setTag(9);
}

MenuPopup* openPopup(DemoWindow& w, COptionMenu* menu)
{
    w.window->click(w.centerOf("menu1"));
    return MenuPopup::openFor(w.frame, menu);
}
} // namespace

TEST(OptionMenu, ChoiceInsideNestedSubmenuReportsThatItemsTag)
{
    DemoWindow w;
    Recorder rec;
    w.listenToAll(&rec);
    auto* menu = w.find<COptionMenu>("menu1");
    fill(menu);
    MenuSpy spy;
    menu->registerOptionMenuListener(&spy);
    MenuPopup* popup = openPopup(w, menu);
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(w.frame->hasOverlay());
    w.window->mouseMoved(popup->getItemRect(0, 2).getCenter(), 0); // "Group" opens its submenu
    ASSERT_EQ(popup->getColumns().size(), 2u);
    w.window->click(popup->getItemRect(1, 1).getCenter()); // "Deeper" opens on click too
    ASSERT_EQ(popup->getColumns().size(), 3u);
    w.window->click(popup->getItemRect(2, 0).getCenter()); // "Two"
    EXPECT_FALSE(w.frame->hasOverlay());
    ASSERT_EQ(rec.calls.size(), 1u);
    int32_t index = -1;
    COptionMenu* last = menu->getLastItemMenu(index);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->getEntry(index)->getTag(), 200);
    EXPECT_EQ(menu->getCurrent(), nullptr); // the choice was not in the root
    EXPECT_EQ(spy.events, (std::vector<std::string>{"pre 4", "post"}));
    menu->unregisterOptionMenuListener(&spy);
}

TEST(OptionMenu, DismissedMenuReportsNothingAndKeepsItsValue)
{
    DemoWindow w;
    Recorder rec;
    w.listenToAll(&rec);
    auto* menu = w.find<COptionMenu>("menu1");
    fill(menu);
    menu->setCurrent(0);
    MenuPopup* popup = openPopup(w, menu);
    ASSERT_NE(popup, nullptr);
    // Separators and disabled items cannot be chosen.
    w.window->click(popup->getItemRect(0, 1).getCenter());
    w.window->click(popup->getItemRect(0, 3).getCenter());
    EXPECT_TRUE(w.frame->hasOverlay());
    w.window->click(CPoint(2, 238)); // outside
    EXPECT_FALSE(w.frame->hasOverlay());
    EXPECT_TRUE(rec.calls.empty());
    int32_t index = 0;
    EXPECT_EQ(menu->getLastItemMenu(index), nullptr);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(menu->getCurrentIndex(), 0);

    // Escape dismisses too; the events after it reach the views again.
    openPopup(w, menu);
    w.window->typeVirtualKey(VKEY_ESCAPE);
    EXPECT_FALSE(w.frame->hasOverlay());
    EXPECT_TRUE(rec.calls.empty());
}

TEST(OptionMenu, FlatChoiceSetsValueAndKeysWork)
{
    DemoWindow w;
    Recorder rec;
    w.listenToAll(&rec);
    auto* menu = w.find<COptionMenu>("menu1");
    fill(menu);
    openPopup(w, menu);
    w.window->typeVirtualKey(VKEY_DOWN); // "Flat"
    w.window->typeVirtualKey(VKEY_RETURN);
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(menu->getCurrentIndex(), 0);
    EXPECT_EQ(menu->getValue(), 0.f);
    int32_t index = -1;
    EXPECT_EQ(menu->getLastItemMenu(index), menu);
    EXPECT_EQ(index, 0);
}

TEST(OptionMenu, EntriesIndicesAndSeparatorCounting)
{
    auto* menu = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 0);
    menu->addEntry("a");
    menu->addEntry("-");
    menu->addEntry("b");
    EXPECT_EQ(menu->getNbEntries(), 3);
    EXPECT_TRUE(menu->getEntry(1)->isSeparator());
    EXPECT_TRUE(menu->setCurrent(1, false)); // second real item: "b"
    EXPECT_EQ(menu->getCurrentIndex(true), 2);
    EXPECT_EQ(menu->getCurrentIndex(false), 1);
    EXPECT_FLOAT_EQ(menu->getValueNormalized(), 1.f);
    menu->addEntry("title", 0);
    EXPECT_EQ(menu->getCurrent()->getTitle().getString(), "b"); // insertion keeps the current item
    menu->setCurrent(0);
    menu->removeEntry(0);
    EXPECT_EQ(menu->getCurrent(), nullptr);
    menu->setValueNormalized(0.5f);
    EXPECT_EQ(menu->getCurrentIndex(true), 1);
    menu->removeAllEntry();
    EXPECT_EQ(menu->getNbEntries(), 0);
    menu->forget();
}

TEST(OptionMenu, PopupOfDetachedMenuClosesAtOnceWithoutChoice)
{
    auto* menu = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 0);
    menu->addEntry("a");
    int calls = 0;
    menu->popup([&](COptionMenu* m) {
        ++calls;
        int32_t i;
        EXPECT_EQ(m->getLastItemMenu(i), nullptr);
    });
    EXPECT_EQ(calls, 1);
    menu->forget();
}

TEST(OptionMenu, MenuRemovedFromItsCallbackDoesNotCrash)
{
    DemoWindow w;
    auto* anchor = new COptionMenu(CRect(10, 150, 60, 170), nullptr, 0);
    anchor->addEntry("Copy")->setTag(0);
    anchor->addEntry("Paste")->setTag(1);
    w.frame->getView(0)->asViewContainer()->addView(anchor);
    int tag = -1;
    anchor->popup([&](COptionMenu* m) {
        if (CMenuItem* item = m->getCurrent())
            tag = item->getTag();
        m->getParentView()->asViewContainer()->removeView(m); // the last reference goes
    });
    MenuPopup* popup = MenuPopup::openFor(w.frame, anchor);
    ASSERT_NE(popup, nullptr);
    w.window->click(popup->getItemRect(0, 1).getCenter());
    EXPECT_EQ(tag, 1);
}

TEST(OptionMenu, LongMenuWrapsIntoColumnsInsideTheWindow)
{
    DemoWindow w;
    auto* menu = w.find<COptionMenu>("menu1");
    for (int i = 0; i < 40; ++i)
        menu->addEntry("Entry " + std::to_string(i))->setTag(i);
    MenuPopup* popup = openPopup(w, menu);
    ASSERT_NE(popup, nullptr);
    const CRect window(0, 0, 400, 240);
    for (int i = 0; i < 40; ++i)
    {
        const CRect r = popup->getItemRect(0, i);
        EXPECT_TRUE(window.pointInside(r.getTopLeft()) && r.bottom <= 240 && r.right <= 400) << i;
    }
    w.window->click(popup->getItemRect(0, 37).getCenter());
    EXPECT_EQ(menu->getCurrent()->getTag(), 37);
}

TEST(TextEditFocus, HidingTheContainerOfTheFocusedFieldEndsItsEditing)
{
    DemoWindow w;
    auto* edit = w.find<CTextEdit>("edit1");
    w.window->click(w.centerOf("edit1"));
    ASSERT_EQ(w.frame->getFocusView(), edit);
    w.frame->getView(0)->setVisible(false);
    EXPECT_EQ(w.frame->getFocusView(), nullptr);
    EXPECT_FALSE(edit->isEditing());
}

TEST(OptionMenu, PopupOpensRightBelowTheMenuAtAnyZoom)
{
    for (double zoom : {1.0, 0.5})
    {
        DemoWindow w(zoom);
        auto* menu = w.find<COptionMenu>("menu1");
        menu->addEntry("a");
        menu->addEntry("b");
        MenuPopup* popup = openPopup(w, menu);
        ASSERT_NE(popup, nullptr);
        // menu1 spans (170, 70)-(290, 94) in the template.
        EXPECT_EQ(popup->getColumns()[0].rect.getTopLeft(), CPoint(170 * zoom, 94 * zoom)) << zoom;
    }
}

TEST(OptionMenu, MenuRefilledWhileOpenIsDismissedSafely)
{
    DemoWindow w;
    Recorder rec;
    w.listenToAll(&rec);
    auto* menu = w.find<COptionMenu>("menu1");
    fill(menu);
    MenuPopup* popup = openPopup(w, menu);
    w.window->mouseMoved(popup->getItemRect(0, 2).getCenter(), 0); // "Group" open
    const CPoint one = popup->getItemRect(1, 0).getCenter();
    menu->removeAllEntry(); // as a refresh from the host might do
    menu->addEntry("New");
    w.window->render(); // drawing the stale popup must not touch freed items
    w.window->click(one);
    EXPECT_FALSE(w.frame->hasOverlay());
    EXPECT_TRUE(rec.calls.empty());
}
