#include "gui/cknob.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI
{
namespace
{
constexpr float kDragRange = 200.f; // pixels for the whole range
}

CKnobBase::CKnobBase(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background)
    : CControl(size, listener, tag, background)
{
}

CMouseEventResult CKnobBase::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    if (checkDefaultValue(buttons))
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    beginEdit();
    firstPoint = where;
    entryValue = value;
    entryModifiers = buttons & kZoomModifier;
    return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!isEditing() || !buttons.isLeftButton())
        return kMouseEventNotHandled;
    // Pressing or releasing Shift mid-drag restarts from here at the new speed.
    if ((buttons & kZoomModifier) != entryModifiers)
    {
        firstPoint = where;
        entryValue = value;
        entryModifiers = buttons & kZoomModifier;
    }
    float range = kDragRange;
    if (entryModifiers)
        range *= zoomFactor;
    const float diff = float((firstPoint.y - where.y) + (where.x - firstPoint.x));
    const float old = value;
    setValue(entryValue + diff * getRange() / range);
    if (value != old)
    {
        valueChanged();
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseUp(CPoint&, const CButtonState&)
{
    if (!isEditing())
        return kMouseEventNotHandled;
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseCancel()
{
    if (!isEditing())
        return kMouseEventNotHandled;
    const float old = value;
    setValue(entryValue);
    if (value != old)
        valueChanged();
    endEdit();
    return kMouseEventHandled;
}

bool CKnobBase::onWheel(const CPoint&, const CMouseWheelAxis&, const float& distance, const CButtonState& buttons)
{
    float v = getValueNormalized();
    v += (buttons & kZoomModifier) ? 0.1f * distance * wheelInc : distance * wheelInc;
    const float old = value;
    setValueNormalized(v);
    if (value != old)
    {
        beginEdit();
        valueChanged();
        endEdit();
        invalid();
    }
    return true;
}

CAnimKnob::CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
                     const CPoint& off)
    : CKnobBase(size, listener, tag, background), offset(off)
{
    heightOfOneImage = size.getHeight();
}

CAnimKnob::CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps_,
                     CCoord height, CBitmap* background, const CPoint& off)
    : CKnobBase(size, listener, tag, background), offset(off)
{
    heightOfOneImage = height > 0 ? height : size.getHeight();
    subPixmaps = subPixmaps_;
}

int32_t CAnimKnob::getFrameIndex() const
{
    const int32_t frames = frameCount(getBackground());
    int32_t index = int32_t(std::lround(getValueNormalized() * float(frames - 1)));
    index = std::clamp(index, 0, frames - 1);
    return inverseBitmap ? frames - 1 - index : index;
}

void CAnimKnob::draw(CDrawContext* context)
{
    if (CBitmap* bg = getBackground())
        context->drawBitmap(bg, size, CPoint(offset.x, offset.y + getFrameIndex() * heightOfOneImage));
    setDirty(false);
}
} // namespace VSTGUI
