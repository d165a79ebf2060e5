#pragma once

// What a frame knows of the editor that owns it: the knob mode, the size
// check before the window is resized, and the frame pointer the editor holds.

#include <cstdint>

#include "gui/crect.h"

namespace VSTGUI
{
class CFrame;

enum CKnobMode
{
    kCircularMode = 0,
    kRelativCircularMode,
    kLinearMode,
};

class VSTGUIEditorInterface
{
public:
    virtual ~VSTGUIEditorInterface() = default;
    virtual void doIdleStuff() {}
    // The knob mode knobs use in this editor; -1 for the toolkit's default (linear).
    virtual int32_t getKnobMode() const { return -1; }
    // Asked before the frame changes size; false refuses the change.
    virtual bool beforeSizeChange(const CRect& /*newSize*/, const CRect& /*oldSize*/) { return true; }
    virtual CFrame* getFrame() const { return frame; }
    virtual void beginEdit(int32_t /*index*/) {}
    virtual void endEdit(int32_t /*index*/) {}

protected:
    CFrame* frame = nullptr;
};
} // namespace VSTGUI
