#pragma once

// Something drawn above the whole frame in window pixels that takes all input
// while it is shown: open menus and message boxes.

#include "gui/cdrawcontext.h"
#include "gui/cbuttonstate.h"
#include "gui/vstkeycode.h"

namespace VSTGUI
{
class CFrame;

class CFrameOverlay : public CBaseObject
{
public:
    virtual void draw(CDrawContext* context, const CRect& windowRect) = 0;
    virtual void onMouseDown(const CPoint& where, const CButtonState& buttons) = 0;
    virtual void onMouseMoved(const CPoint& /*where*/, const CButtonState& /*buttons*/) {}
    virtual void onMouseUp(const CPoint& /*where*/, const CButtonState& /*buttons*/) {}
    virtual void onKeyDown(const VstKeyCode& /*key*/) {}
    // The frame goes away or the overlay's owner vanished: close without a choice.
    virtual void cancel() = 0;
};
} // namespace VSTGUI
