#pragma once

// Mouse buttons and keyboard modifiers of a mouse event, and the results a
// mouse handler gives back.

#include <cstdint>

namespace VSTGUI
{
enum CButton : uint32_t
{
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5,
    kAlt = 1 << 6,
    kApple = 1 << 7,
    kButton4 = 1 << 8,
    kButton5 = 1 << 9,
    kDoubleClick = 1 << 10,
    kMouseWheelInverted = 1 << 11,
};
constexpr uint32_t kAllMouseButtons = kLButton | kMButton | kRButton | kButton4 | kButton5;
constexpr uint32_t kAllModifiers = kShift | kControl | kAlt | kApple;
// Ctrl-click returns a control to its default value.
constexpr uint32_t kDefaultValueModifier = kControl;
// Shift makes knob drags finer by the knob's zoom factor.
constexpr uint32_t kZoomModifier = kShift;

class CButtonState
{
public:
    constexpr CButtonState(uint32_t s = 0) : state(s) {}
    uint32_t operator()() const { return state; }
    uint32_t getButtonState() const { return state & kAllMouseButtons; }
    uint32_t getModifierState() const { return state & kAllModifiers; }
    bool isLeftButton() const { return state & kLButton; }
    bool isRightButton() const { return state & kRButton; }
    bool isDoubleClick() const { return state & kDoubleClick; }
    uint32_t operator&(uint32_t mask) const { return state & mask; }
    bool operator==(const CButtonState& o) const { return state == o.state; }
    bool operator!=(const CButtonState& o) const { return state != o.state; }

private:
    uint32_t state;
};

enum CMouseEventResult
{
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,
    kMouseEventNotHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
    kMouseMoveEventHandledButDontNeedMoreEvents,
};

enum CMouseWheelAxis
{
    kMouseWheelAxisX = 0,
    kMouseWheelAxisY,
};
} // namespace VSTGUI
