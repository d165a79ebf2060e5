#include <gtest/gtest.h>

#include "tests/gui/demoDescription.h"
#include "tests/gui/guiTestSupport.h"

using namespace VSTGUI;
using guitest::DemoWindow;
using guitest::Recorder;

TEST(AnimKnob, DragUpOrRightChangesValueAndFilmStripFrame)
{
    DemoWindow w;
    Recorder rec;
    w.listenToAll(&rec);
    auto* knob = w.find<CAnimKnob>("knob1");
    ASSERT_NE(knob, nullptr);
    EXPECT_EQ(knob->getFrameIndex(), 0);
    const CPoint c = w.centerOf("knob1");
    w.window->mouseDown(c);
    w.window->mouseMoved(CPoint(c.x, c.y - 100)); // half of the 200-pixel travel
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(knob->getFrameIndex(), (guitest::kKnobFrames - 1) / 2);
    w.window->mouseMoved(CPoint(c.x + 100, c.y - 100)); // right adds as much as up
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
    EXPECT_EQ(knob->getFrameIndex(), guitest::kKnobFrames - 1);
    w.window->mouseMoved(CPoint(c.x + 300, c.y - 300));
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f); // held at the maximum
    w.window->mouseUp(CPoint(c.x + 300, c.y - 300));
    ASSERT_EQ(rec.calls.size(), 2u); // unchanged values are not reported
    EXPECT_FLOAT_EQ(rec.calls[0].second, 0.5f);

    // The drawn frame follows: the pointer of the last frame lies lower right.
    cairo_surface_t* s = w.window->render();
    const int stride = cairo_image_surface_get_stride(s);
    const uint8_t* px = cairo_image_surface_get_data(s);
    auto orange = [&](int x, int y) {
        const uint8_t* p = px + y * stride + x * 4;
        return p[2] > 200 && p[1] > 100 && p[1] < 200 && p[0] < 80;
    };
    EXPECT_TRUE(orange(int(c.x) + 12, int(c.y) + 12));
    EXPECT_FALSE(orange(int(c.x) - 12, int(c.y) + 12));
}

TEST(AnimKnob, CtrlClickRestoresDefaultAndWheelStepsByIncrement)
{
    DemoWindow w;
    Recorder rec;
    w.listenToAll(&rec);
    auto* knob = w.find<CAnimKnob>("knob1");
    knob->setValue(0.9f);
    const CPoint c = w.centerOf("knob1");
    w.window->mouseDown(c, CButtonState(kLButton | kControl));
    w.window->mouseUp(c, CButtonState(kLButton | kControl));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.25f);
    EXPECT_TRUE(w.window->wheel(c, 1.f));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.35f);
    EXPECT_TRUE(w.window->wheel(c, -5.f));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.f);
    EXPECT_EQ(rec.calls.size(), 3u);

    // A knob with its own range: the increment is of the normalized value.
    auto* coarse = w.find<CAnimKnob>("knob2");
    coarse->setWheelInc(1.f / 48.f);
    coarse->setValue(84.f);
    w.window->wheel(w.centerOf("knob2"), 2.f);
    EXPECT_NEAR(coarse->getValue(), 86.f, 1e-4);
    coarse->setValue(200.f);
    EXPECT_FLOAT_EQ(coarse->getValue(), 108.f); // values stay within the bounds
}

TEST(AnimKnob, ShiftDragIsFinerByTheZoomFactor)
{
    DemoWindow w;
    auto* knob = w.find<CAnimKnob>("knob1");
    knob->setZoomFactor(2.f);
    const CPoint c = w.centerOf("knob1");
    w.window->mouseDown(c, CButtonState(kLButton | kShift));
    w.window->mouseMoved(CPoint(c.x, c.y - 100), CButtonState(kLButton | kShift));
    w.window->mouseUp(CPoint(c.x, c.y - 100), CButtonState(kLButton | kShift));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.25f);
}

TEST(KickButton, ReportsOneOnPressAndZeroOnRelease)
{
    DemoWindow w;
    Recorder rec;
    w.listenToAll(&rec);
    const CPoint c = w.centerOf("kick2"); // inside a nested container
    w.window->mouseDown(c);
    auto* kick = w.find<CKickButton>("kick2");
    EXPECT_EQ(kick->getValue(), 1.f);
    w.window->mouseUp(c);
    ASSERT_EQ(rec.calls.size(), 2u);
    EXPECT_EQ(rec.calls[0], std::make_pair(std::string("kick2"), 1.f));
    EXPECT_EQ(rec.calls[1], std::make_pair(std::string("kick2"), 0.f));

    // Dragging off the button releases it at once; the up then says nothing.
    rec.calls.clear();
    w.window->mouseDown(c);
    w.window->mouseMoved(CPoint(5, 5));
    w.window->mouseUp(CPoint(5, 5));
    ASSERT_EQ(rec.calls.size(), 2u);
    EXPECT_EQ(rec.calls[1].second, 0.f);

    // The right button does nothing.
    rec.calls.clear();
    w.window->click(c, kRButton);
    EXPECT_TRUE(rec.calls.empty());
}

TEST(TextEdit, ReportsOnReturnAndOnFocusLossAndRestoresOnEscape)
{
    DemoWindow w;
    Recorder rec;
    w.listenToAll(&rec);
    auto* edit = w.find<CTextEdit>("edit1");
    w.window->click(w.centerOf("edit1"));
    EXPECT_TRUE(edit->isEditing());
    w.window->typeVirtualKey(VKEY_BACK);
    for (char c : std::string("Bass \xC3\xB6")) // bytes of a UTF-8 text go in as one code point below
        if (uint8_t(c) < 0x80)
            w.window->typeCharacter(char32_t(c));
    w.window->typeCharacter(U'\u00F6');
    EXPECT_TRUE(rec.calls.empty()); // not immediate: nothing yet
    w.window->typeVirtualKey(VKEY_RETURN);
    EXPECT_EQ(edit->getText().getString(), "IniBass \xC3\xB6");
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_FALSE(edit->isEditing());
    EXPECT_EQ(w.frame->getFocusView(), nullptr);

    // Focus loss by a click elsewhere reports a changed text.
    w.window->click(w.centerOf("edit1"));
    w.window->typeVirtualKey(VKEY_HOME);
    w.window->typeCharacter('X');
    w.window->typeVirtualKey(VKEY_DELETE);
    w.window->click(w.centerOf("pad"));
    EXPECT_EQ(edit->getText().getString(), "XniBass \xC3\xB6");
    EXPECT_EQ(rec.calls.size(), 2u);

    // Escape restores the text and reports nothing.
    w.window->click(w.centerOf("edit1"));
    w.window->typeCharacter('!');
    w.window->typeVirtualKey(VKEY_ESCAPE);
    EXPECT_EQ(edit->getText().getString(), "XniBass \xC3\xB6");
    EXPECT_EQ(rec.calls.size(), 2u);
}

TEST(TextEdit, ImmediateTextChangeReportsEveryKeystroke)
{
    DemoWindow w;
    Recorder rec;
    w.listenToAll(&rec);
    auto* edit = w.find<CTextEdit>("edit1");
    edit->setImmediateTextChange(true);
    edit->setText("");
    w.window->click(w.centerOf("edit1"));
    w.window->typeCharacter('a');
    EXPECT_EQ(edit->getText().getString(), "a");
    w.window->typeCharacter('b');
    w.window->typeVirtualKey(VKEY_BACK);
    EXPECT_EQ(rec.calls.size(), 3u);
    EXPECT_EQ(edit->getText().getString(), "a");
    // Keys with Ctrl are not typed.
    w.window->typeCharacter('c', MODIFIER_CONTROL);
    EXPECT_EQ(edit->getText().getString(), "a");
}
