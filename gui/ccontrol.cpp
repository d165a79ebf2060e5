#include "gui/ccontrol.h"

#include <algorithm>

namespace VSTGUI
{
int32_t IMultiBitmapControl::frameCount(const CBitmap* bitmap) const
{
    if (subPixmaps > 0)
        return subPixmaps;
    if (!bitmap || heightOfOneImage <= 0)
        return 1;
    return std::max<int32_t>(1, int32_t(bitmap->getHeight() / heightOfOneImage));
}

CControl::CControl(const CRect& size, IControlListener* l, int32_t t, CBitmap* bg)
    : CView(size), listener(l), tag(t)
{
    if (bg)
        setBackground(bg);
}

CControl::CControl(const CControl& o)
    : CView(o), value(o.value), vmin(o.vmin), vmax(o.vmax), defaultValue(o.defaultValue), wheelInc(o.wheelInc),
      listener(o.listener), tag(o.tag)
{
}

void CControl::setValue(float val)
{
    if (val < vmin)
        val = vmin;
    if (val > vmax)
        val = vmax;
    if (!(val == val)) // NaN keeps the old value
        return;
    if (val != value)
    {
        value = val;
        setDirty(true);
    }
}

void CControl::setValueNormalized(float val)
{
    val = std::clamp(val, 0.f, 1.f);
    setValue(vmin + val * getRange());
}

float CControl::getValueNormalized() const
{
    const float range = getRange();
    return range == 0.f ? 0.f : (value - vmin) / range;
}

void CControl::setMin(float val)
{
    vmin = val;
    bounceValue();
}

void CControl::setMax(float val)
{
    vmax = val;
    bounceValue();
}

void CControl::bounceValue()
{
    if (value > vmax)
        value = vmax;
    if (value < vmin)
        value = vmin;
}

void CControl::setTag(int32_t val)
{
    if (listener)
        listener->controlTagWillChange(this);
    tag = val;
    if (listener)
        listener->controlTagDidChange(this);
}

void CControl::valueChanged()
{
    if (listener)
    {
        SharedPointer<CControl> guard(this);
        listener->valueChanged(this);
    }
}

void CControl::beginEdit()
{
    if (editing++ == 0 && listener)
        listener->controlBeginEdit(this);
}

void CControl::endEdit()
{
    if (editing == 0)
        return;
    if (--editing == 0 && listener)
        listener->controlEndEdit(this);
}

bool CControl::checkDefaultValue(CButtonState button)
{
    if (!button.isLeftButton() || button.getModifierState() != kDefaultValueModifier)
        return false;
    beginEdit();
    const float old = value;
    setValue(defaultValue);
    if (value != old)
        valueChanged();
    endEdit();
    return true;
}
} // namespace VSTGUI
