#pragma once

// A push button drawn from a two-frame film strip: pressed shows the second
// frame. Pressing sets the maximum and reports it, releasing (or moving off
// the button) sets the minimum and reports that.

#include "gui/ccontrol.h"

namespace VSTGUI
{
class CKickButton : public CControl, public IMultiBitmapControl
{
public:
    CKickButton(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
                const CPoint& offset = CPoint(0, 0));
    CKickButton(const CRect& size, IControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint(0, 0));
    CView* newCopy() const override { return new CKickButton(*this); }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseCancel() override;

private:
    void setAndReport(float v);
    CPoint offset;
};
} // namespace VSTGUI
