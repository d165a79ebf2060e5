#include <gtest/gtest.h>

#include "tests/gui/guiTestSupport.h"

using namespace VSTGUI;
using guitest::DemoWindow;

namespace
{
// A view that counts the events it gets and handles downs when told to.
struct Probe : CView
{
    explicit Probe(const CRect& r, bool handle = true) : CView(r), handleDown(handle) {}
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState&) override
    {
        ++downs;
        lastDown = where;
        return handleDown ? kMouseEventHandled : kMouseEventNotHandled;
    }
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState&) override
    {
        ++moves;
        lastMove = where;
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseUp(CPoint&, const CButtonState&) override
    {
        ++ups;
        return kMouseEventHandled;
    }
    bool handleDown;
    int downs = 0, moves = 0, ups = 0;
    CPoint lastDown, lastMove;
};

struct ListenerProbe : IViewMouseListener
{
    CMouseEventResult result = kMouseEventNotHandled;
    int downs = 0, moves = 0;
    CMouseEventResult viewOnMouseDown(CView*, CPoint, CButtonState) override
    {
        ++downs;
        return result;
    }
    CMouseEventResult viewOnMouseMoved(CView*, CPoint, CButtonState) override
    {
        ++moves;
        return result;
    }
};

struct Scene
{
    HeadlessPlatformFactory factory;
    CFrame* frame;
    CViewContainer* group;
    Probe* below;
    Probe* above;
    Scene()
    {
        setPlatformFactory(&factory);
        frame = new CFrame(CRect(0, 0, 200, 100), nullptr);
        group = new CViewContainer(CRect(50, 20, 150, 80)); // children offset by (50, 20)
        below = new Probe(CRect(0, 0, 60, 40));
        above = new Probe(CRect(30, 10, 90, 50));
        group->addView(below);
        group->addView(above);
        frame->addView(group);
        frame->open(nullptr);
    }
    ~Scene()
    {
        frame->forget();
        setPlatformFactory(nullptr);
    }
    HeadlessFrame& window() { return *HeadlessFrame::from(frame); }
};
} // namespace

TEST(ViewContainer, TopmostVisibleMouseEnabledChildGetsTheClickInItsParentsCoordinates)
{
    Scene s;
    s.window().mouseDown(CPoint(90, 40)); // group-local (40, 20): inside both
    EXPECT_EQ(s.above->downs, 1);
    EXPECT_EQ(s.below->downs, 0);
    EXPECT_EQ(s.above->lastDown, CPoint(40, 20));
    s.window().mouseUp(CPoint(90, 40));

    s.above->setVisible(false);
    s.window().mouseDown(CPoint(90, 40));
    EXPECT_EQ(s.below->downs, 1);
    s.window().mouseUp(CPoint(90, 40));

    s.above->setVisible(true);
    s.above->setMouseEnabled(false);
    s.window().mouseDown(CPoint(90, 40));
    EXPECT_EQ(s.below->downs, 2);
    s.window().mouseUp(CPoint(90, 40));

    // An opaque view that does not handle the click keeps it from views below;
    // a transparent one lets it through.
    s.above->setMouseEnabled(true);
    s.above->handleDown = false;
    s.window().mouseDown(CPoint(90, 40));
    EXPECT_EQ(s.below->downs, 2);
    s.above->setTransparency(true);
    s.window().mouseDown(CPoint(90, 40));
    EXPECT_EQ(s.below->downs, 3);
}

TEST(ViewContainer, ViewThatTookTheDownGetsMovesAndUpEvenOutsideItself)
{
    Scene s;
    s.window().mouseDown(CPoint(60, 25)); // below only
    s.window().mouseMoved(CPoint(190, 95));
    s.window().mouseUp(CPoint(190, 95));
    EXPECT_EQ(s.below->downs, 1);
    EXPECT_EQ(s.below->moves, 1);
    EXPECT_EQ(s.below->ups, 1);
    EXPECT_EQ(s.below->lastMove, CPoint(140, 75));
    EXPECT_EQ(s.above->moves, 0);
    // Without a down, moves go nowhere.
    s.window().mouseMoved(CPoint(60, 25));
    EXPECT_EQ(s.below->moves, 1);
}

TEST(ViewContainer, MouseListenersAreAskedFirstAndCanTakeTheEvent)
{
    Scene s;
    ListenerProbe listener;
    s.above->registerViewMouseListener(&listener);
    s.window().mouseDown(CPoint(90, 40));
    EXPECT_EQ(listener.downs, 1);
    EXPECT_EQ(s.above->downs, 1); // not handled by the listener: the view gets it
    s.window().mouseUp(CPoint(90, 40));

    listener.result = kMouseEventHandled;
    s.window().mouseDown(CPoint(90, 40));
    s.window().mouseMoved(CPoint(95, 40));
    EXPECT_EQ(listener.downs, 2);
    EXPECT_EQ(listener.moves, 1);
    EXPECT_EQ(s.above->downs, 1);
    EXPECT_EQ(s.above->moves, 0);
    s.window().mouseUp(CPoint(95, 40));
    s.above->unregisterViewMouseListener(&listener);
}

TEST(ViewContainer, RemovingTheCapturingViewEndsTheDragSafely)
{
    Scene s;
    s.window().mouseDown(CPoint(90, 40));
    s.group->removeView(s.above);
    s.window().mouseMoved(CPoint(91, 40));
    s.window().mouseUp(CPoint(91, 40));
    EXPECT_EQ(s.below->moves, 0);
    EXPECT_FALSE(s.group->isChild(s.above));
}

TEST(ViewContainer, LocalToFrameFollowsOffsetsAndZoom)
{
    Scene s;
    ASSERT_TRUE(s.frame->setZoom(0.5));
    EXPECT_EQ(s.frame->getViewSize(), CRect(0, 0, 100, 50));
    CPoint p(10, 10); // in the group's children space
    s.above->localToFrame(p);
    EXPECT_EQ(p, CPoint(30, 15));
    s.above->frameToLocal(p);
    EXPECT_EQ(p, CPoint(10, 10));
    // A click at window (45, 20) is group-local (40, 20): the top probe.
    s.window().mouseDown(CPoint(45, 20));
    EXPECT_EQ(s.above->lastDown, CPoint(40, 20));
}

TEST(Frame, RefusedSizeChangeLeavesSizeAndZoomAlone)
{
    struct Refuser : VSTGUIEditorInterface
    {
        bool beforeSizeChange(const CRect&, const CRect&) override { return false; }
    } editor;
    HeadlessPlatformFactory factory;
    setPlatformFactory(&factory);
    auto* frame = new CFrame(CRect(0, 0, 200, 100), &editor);
    frame->open(nullptr);
    EXPECT_FALSE(frame->setSize(300, 100));
    EXPECT_FALSE(frame->setZoom(2.0));
    EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 200, 100));
    EXPECT_EQ(frame->getZoom(), 1.0);
    frame->forget();
    setPlatformFactory(nullptr);
}

TEST(Frame, KeyboardHooksComeBeforeTheFocusView)
{
    DemoWindow w;
    struct Hook : IKeyboardHook
    {
        int32_t answer = -1;
        int calls = 0;
        int32_t onKeyDown(const VstKeyCode&, CFrame*) override
        {
            ++calls;
            return answer;
        }
        int32_t onKeyUp(const VstKeyCode&, CFrame*) override { return -1; }
    } hook;
    w.frame->registerKeyboardHook(&hook);
    auto* edit = w.find<CTextEdit>("edit1");
    w.window->click(w.centerOf("edit1"));
    ASSERT_EQ(w.frame->getFocusView(), edit);
    hook.answer = 1;
    w.window->typeCharacter('x');
    EXPECT_EQ(edit->getEditText(), "Init");
    hook.answer = -1;
    w.window->typeCharacter('x');
    EXPECT_EQ(edit->getEditText(), "Initx");
    EXPECT_EQ(hook.calls, 2);
    w.frame->unregisterKeyboardHook(&hook);
}
