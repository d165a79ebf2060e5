#pragma once

// A view with a value between a minimum and a maximum (0..1 unless set),
// a default value, a wheel increment (in normalized units), a tag and one
// listener that hears of every user change.

#include "gui/cview.h"

namespace VSTGUI
{
class CControl;

class IControlListener
{
public:
    virtual ~IControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    // A click with modifiers or the right button; non-zero when used.
    virtual int32_t controlModifierClicked(CControl* /*control*/, CButtonState /*button*/) { return 0; }
    virtual void controlBeginEdit(CControl* /*control*/) {}
    virtual void controlEndEdit(CControl* /*control*/) {}
    virtual void controlTagWillChange(CControl* /*control*/) {}
    virtual void controlTagDidChange(CControl* /*control*/) {}
};

// Controls drawn from a film strip: frames of heightOfOneImage pixels stacked
// vertically in one bitmap.
class IMultiBitmapControl
{
public:
    virtual ~IMultiBitmapControl() = default;
    virtual void setHeightOfOneImage(const CCoord& height) { heightOfOneImage = height; }
    virtual CCoord getHeightOfOneImage() const { return heightOfOneImage; }
    virtual void setNumSubPixmaps(int32_t count) { subPixmaps = count; }
    virtual int32_t getNumSubPixmaps() const { return subPixmaps; }
    // Frames in bitmap: the number given, else bitmap height / frame height.
    int32_t frameCount(const CBitmap* bitmap) const;

protected:
    CCoord heightOfOneImage = 0;
    int32_t subPixmaps = 0;
};

class CControl : public CView
{
public:
    CControl(const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
             CBitmap* background = nullptr);
    CControl(const CControl& other);

    // Values are kept within min..max.
    virtual void setValue(float val);
    float getValue() const { return value; }
    virtual void setValueNormalized(float val);
    float getValueNormalized() const;
    virtual void setMin(float val);
    float getMin() const { return vmin; }
    virtual void setMax(float val);
    float getMax() const { return vmax; }
    float getRange() const { return vmax - vmin; }
    void setDefaultValue(float val) { defaultValue = val; }
    float getDefaultValue() const { return defaultValue; }
    void setWheelInc(float val) { wheelInc = val; }
    float getWheelInc() const { return wheelInc; }
    virtual void bounceValue();

    void setListener(IControlListener* l) { listener = l; }
    IControlListener* getListener() const { return listener; }
    virtual void setTag(int32_t val);
    int32_t getTag() const { return tag; }

    // Tells the listener that the user changed the value.
    virtual void valueChanged();
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editing > 0; }
    // Ctrl-click: back to the default value (reported); true when it applied.
    bool checkDefaultValue(CButtonState button);

protected:
    float value = 0.f;
    float vmin = 0.f;
    float vmax = 1.f;
    float defaultValue = 0.5f;
    float wheelInc = 0.1f;

private:
    IControlListener* listener;
    int32_t tag;
    int32_t editing = 0;
};
} // namespace VSTGUI
