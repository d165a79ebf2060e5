#pragma once

// Knobs. CKnobBase turns drags and wheel turns into values: in linear mode
// (the only mode the toolkit offers; the circular modes drag linearly too)
// moving right or up by 200 pixels covers the whole range, 200 x the zoom
// factor with Shift held; Ctrl-click restores the default; one wheel notch
// moves the normalized value by the wheel increment. CAnimKnob draws the
// film-strip frame that matches the normalized value. Angles are radians.

#include "gui/ccontrol.h"

namespace VSTGUI
{
class CKnobBase : public CControl
{
public:
    CKnobBase(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background);

    void setStartAngle(float radians) { startAngle = radians; }
    float getStartAngle() const { return startAngle; }
    void setRangeAngle(float radians) { rangeAngle = radians; }
    float getRangeAngle() const { return rangeAngle; }
    void setZoomFactor(float f) { zoomFactor = f; }
    float getZoomFactor() const { return zoomFactor; }
    void setInsetValue(CCoord v) { inset = v; }
    CCoord getInsetValue() const { return inset; }

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseCancel() override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;

private:
    float startAngle = 3.f * 3.14159265f / 4.f;
    float rangeAngle = 3.f * 3.14159265f / 2.f;
    float zoomFactor = 1.5f;
    CCoord inset = 3;
    CPoint firstPoint;
    float entryValue = 0.f;
    uint32_t entryModifiers = 0;
};

class CAnimKnob : public CKnobBase, public IMultiBitmapControl
{
public:
    CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
              const CPoint& offset = CPoint(0, 0));
    CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps, CCoord heightOfOneImage,
              CBitmap* background, const CPoint& offset = CPoint(0, 0));
    CView* newCopy() const override { return new CAnimKnob(*this); }

    void setInverseBitmap(bool state) { inverseBitmap = state; }
    bool getInverseBitmap() const { return inverseBitmap; }
    // The film-strip frame shown for the current value.
    int32_t getFrameIndex() const;
    void draw(CDrawContext* context) override;

private:
    CPoint offset;
    bool inverseBitmap = false;
};
} // namespace VSTGUI
