#pragma once

// A frame-wide keyboard hook, asked before the focus view. 1 (or anything but
// -1) means the key was used; -1 passes it on.

#include <cstdint>

#include "gui/vstkeycode.h"

namespace VSTGUI
{
class CFrame;

class IKeyboardHook
{
public:
    virtual ~IKeyboardHook() = default;
    virtual int32_t onKeyDown(const VstKeyCode& code, CFrame* frame) = 0;
    virtual int32_t onKeyUp(const VstKeyCode& code, CFrame* frame) = 0;
};
} // namespace VSTGUI
