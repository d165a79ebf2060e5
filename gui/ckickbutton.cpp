#include "gui/ckickbutton.h"

namespace VSTGUI
{
CKickButton::CKickButton(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
                         const CPoint& off)
    : CKickButton(size, listener, tag, size.getHeight(), background, off)
{
}

CKickButton::CKickButton(const CRect& size, IControlListener* listener, int32_t tag, CCoord height,
                         CBitmap* background, const CPoint& off)
    : CControl(size, listener, tag, background), offset(off)
{
    heightOfOneImage = height > 0 ? height : size.getHeight();
    setWantsFocus(false);
}

void CKickButton::draw(CDrawContext* context)
{
    if (CBitmap* bg = getBackground())
    {
        const bool pressed = value > (vmin + vmax) / 2;
        context->drawBitmap(bg, size, CPoint(offset.x, offset.y + (pressed ? heightOfOneImage : 0)));
    }
    setDirty(false);
}

void CKickButton::setAndReport(float v)
{
    if (v == value)
        return;
    setValue(v);
    valueChanged();
    invalid();
}

CMouseEventResult CKickButton::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    beginEdit();
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!isEditing())
        return kMouseEventNotHandled;
    if (buttons.isLeftButton())
        setAndReport(size.pointInside(where) ? vmax : vmin);
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint&, const CButtonState&)
{
    if (!isEditing())
        return kMouseEventNotHandled;
    setAndReport(vmin);
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseCancel()
{
    if (!isEditing())
        return kMouseEventNotHandled;
    setAndReport(vmin);
    endEdit();
    return kMouseEventHandled;
}
} // namespace VSTGUI
