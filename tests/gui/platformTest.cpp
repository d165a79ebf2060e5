#include <gtest/gtest.h>

#include "tests/gui/guiTestSupport.h"

using namespace VSTGUI;
using guitest::DemoWindow;

TEST(Timer, FiresFromIdleWhenItsTimeHasCome)
{
    DemoWindow w;
    int fired = 0;
    auto* timer = new CVSTGUITimer([&](CVSTGUITimer*) { ++fired; }, 100);
    w.frame->idle();
    EXPECT_EQ(fired, 0);
    w.factory.advanceTime(99);
    w.frame->idle();
    EXPECT_EQ(fired, 0);
    w.factory.advanceTime(1);
    w.frame->idle();
    EXPECT_EQ(fired, 1);
    w.factory.advanceTime(100);
    w.frame->idle();
    EXPECT_EQ(fired, 2);
    timer->stop();
    w.factory.advanceTime(1000);
    w.frame->idle();
    EXPECT_EQ(fired, 2);
    timer->forget();
}

TEST(Timer, ReleasedInsideItsOwnCallbackDoesNotCrashOrFireAgain)
{
    DemoWindow w;
    int first = 0, second = 0;
    CVSTGUITimer* a = nullptr;
    CVSTGUITimer* b = nullptr;
    // a releases itself and b; b is due at the same moment but must not fire.
    a = new CVSTGUITimer(
        [&](CVSTGUITimer* self) {
            ++first;
            self->forget();
            a = nullptr;
            if (b)
            {
                b->forget();
                b = nullptr;
            }
        },
        50);
    b = new CVSTGUITimer([&](CVSTGUITimer*) { ++second; }, 50);
    w.factory.advanceTime(50);
    w.frame->idle();
    w.factory.advanceTime(50);
    w.frame->idle();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(a, nullptr);
}

TEST(MessageBox, AnswersWithTheClickedButtonWhileTheWindowWaits)
{
    DemoWindow w;
    int modalCalls = 0;
    w.window->setModalHandler([&](HeadlessFrame& win) {
        ++modalCalls;
        CMessageBox* box = CMessageBox::getOpen(w.frame);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->getText(), "Overwrite?");
        // Clicks elsewhere, even on controls below the box, do nothing.
        win.click(w.centerOf("kick1"));
        EXPECT_EQ(w.find<CKickButton>("kick1")->getValue(), 0.f);
        win.click(box->getButtonRect(1).getCenter()); // "OK"
    });
    EXPECT_EQ(CMessageBox::run(w.frame, "Darvello", "Overwrite?", {"Cancel", "OK"}), 1);
    EXPECT_EQ(modalCalls, 1);
    EXPECT_FALSE(w.frame->hasOverlay());

    w.window->setModalHandler([](HeadlessFrame& win) { win.typeVirtualKey(VKEY_ESCAPE); });
    EXPECT_EQ(CMessageBox::run(w.frame, "Darvello", "Overwrite?", {"Cancel", "OK"}), 0);
    w.window->setModalHandler([](HeadlessFrame& win) { win.typeVirtualKey(VKEY_RETURN); });
    EXPECT_EQ(CMessageBox::run(w.frame, "Darvello", "Done", {"OK"}), 0);
    // Return takes the default button: the last, or the one the caller names.
    EXPECT_EQ(CMessageBox::run(w.frame, "Darvello", "Overwrite?", {"Cancel", "OK"}), 1);
    EXPECT_EQ(CMessageBox::run(w.frame, "Darvello", "Overwrite?", {"Cancel", "OK"}, 0), 0);

    // Nobody answers: the box gives up with -1 and a log line instead of hanging.
    w.window->setModalHandler(nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(CMessageBox::run(w.frame, "Darvello", "Anyone?", {"OK"}), -1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("unanswered"), std::string::npos);
    EXPECT_FALSE(w.frame->hasOverlay());
}

TEST(MessageBox, TimersKeepRunningWhileItWaits)
{
    DemoWindow w;
    int fired = 0;
    auto* timer = new CVSTGUITimer([&](CVSTGUITimer*) { ++fired; }, 10);
    int round = 0;
    w.window->setModalHandler([&](HeadlessFrame& win) {
        w.factory.advanceTime(10);
        if (++round == 3)
            win.typeVirtualKey(VKEY_RETURN);
    });
    CMessageBox::run(w.frame, "Darvello", "Wait", {"OK"});
    EXPECT_EQ(fired, 3); // one idle after each round, the answering one included
    timer->forget();
}

TEST(FileSelector, RunsModallyAndCallsBackOnlyWithASelection)
{
    DemoWindow w;
    EXPECT_EQ(CNewFileSelector::create(w.frame), nullptr); // no dialog available
    w.factory.fileSelectorHandler = [](const FileSelectorRequest& r, std::vector<std::string>& out) {
        if (r.title == "none")
            return false;
        out.push_back("/tmp/patch.syx");
        return true;
    };
    CNewFileSelector* selector = CNewFileSelector::create(w.frame, CNewFileSelector::kSelectSaveFile);
    ASSERT_NE(selector, nullptr);
    selector->setTitle("Choose a sysex file");
    selector->addFileExtension(CFileExtension("Sysex File (*.syx)", "syx"));
    selector->setDefaultExtension(CFileExtension("Sysex File (*.syx)", "syx"));
    int calls = 0;
    EXPECT_TRUE(selector->run([&](CNewFileSelector* s) {
        ++calls;
        EXPECT_STREQ(s->getSelectedFile(0), "/tmp/patch.syx");
    }));
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(w.factory.fileRequests.size(), 1u);
    EXPECT_TRUE(w.factory.fileRequests[0].save);
    EXPECT_EQ(w.factory.fileRequests[0].filters[0].second, "syx");
    selector->setTitle("none");
    EXPECT_FALSE(selector->run([&](CNewFileSelector*) { ++calls; }));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(selector->getSelectedFile(0), nullptr);
    selector->forget();
}

TEST(WebLink, OnlyWebAddressesAreOpened)
{
    DemoWindow w;
    EXPECT_TRUE(openWebLink("https://example.org/darvello"));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(openWebLink("--help"));
    EXPECT_FALSE(openWebLink("file:///etc/passwd"));
    EXPECT_FALSE(openWebLink("https://a b"));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Refusing"), std::string::npos);
    EXPECT_EQ(w.factory.openedURLs, std::vector<std::string>{"https://example.org/darvello"});
}

TEST(Tooltip, AppearsAfterThePointerRestsAndGoesWhenItMoves)
{
    DemoWindow w;
    w.find<CAnimKnob>("knob1")->setTooltipText("Cutoff frequency");
    w.frame->idle();
    const CPoint c = w.centerOf("knob1");
    w.window->mouseMoved(c, 0);
    w.factory.advanceTime(499);
    w.frame->idle();
    EXPECT_EQ(w.frame->getShownTooltip(), ""); // tooltips are off until enabled
    w.frame->enableTooltips(true, 500);
    w.frame->idle();
    EXPECT_EQ(w.frame->getShownTooltip(), "");
    w.factory.advanceTime(1);
    w.frame->idle();
    EXPECT_EQ(w.frame->getShownTooltip(), "Cutoff frequency");
    w.window->mouseMoved(CPoint(c.x + 1, c.y), 0);
    EXPECT_EQ(w.frame->getShownTooltip(), "");
    // A view without a tooltip shows none however long the pointer rests.
    w.window->mouseMoved(w.centerOf("pad"), 0);
    w.factory.advanceTime(5000);
    w.frame->idle();
    EXPECT_EQ(w.frame->getShownTooltip(), "");
}
