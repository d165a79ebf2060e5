#pragma once

// The base of everything drawn: a rectangle in its parent container's
// coordinates with visibility, alpha, mouse enabling, an optional background
// bitmap, named attributes and mouse listeners. Views are reference counted;
// a container owns one reference of each child.

#include <cstdint>
#include <map>
#include <vector>

#include "gui/cbitmap.h"
#include "gui/cbuttonstate.h"
#include "gui/cdrawcontext.h"
#include "gui/iviewmouselistener.h"
#include "gui/vstkeycode.h"

namespace VSTGUI
{
class CViewContainer;
class CFrame;

class CView : public CBaseObject
{
public:
    explicit CView(const CRect& size);
    CView(const CView& other);
    ~CView() override;

    // A copy of the view, not attached anywhere; null for views that cannot
    // be copied.
    virtual CView* newCopy() const { return new CView(*this); }

    // --- geometry (parent coordinates)
    const CRect& getViewSize() const { return size; }
    virtual void setViewSize(const CRect& rect, bool invalid = true);
    const CRect& getMouseableArea() const { return mouseableArea; }
    void setMouseableArea(const CRect& rect) { mouseableArea = rect; }
    CCoord getWidth() const { return size.getWidth(); }
    CCoord getHeight() const { return size.getHeight(); }
    // Point in this view's (parent) coordinates <-> frame (window) coordinates.
    virtual CPoint& localToFrame(CPoint& point) const;
    virtual CPoint& frameToLocal(CPoint& point) const;

    // --- state
    virtual void setVisible(bool state);
    bool isVisible() const { return visible && alpha > 0.f; }
    void setAlphaValue(float a);
    float getAlphaValue() const { return alpha; }
    virtual void setMouseEnabled(bool state);
    bool getMouseEnabled() const { return mouseEnabled; }
    void setTransparency(bool state);
    bool getTransparency() const { return transparent; }
    virtual void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }
    // A dirty view is redrawn: marking it asks the window for a redraw.
    void setDirty(bool state = true);
    bool isDirty() const { return dirty; }
    void setTooltipText(const UTF8String& text) { tooltip = text; }
    const UTF8String& getTooltipText() const { return tooltip; }
    void setWantsFocus(bool state) { wantsFocusFlag = state; }
    bool wantsFocus() const { return wantsFocusFlag; }

    // --- hierarchy
    CViewContainer* getParentView() const { return parent; }
    CFrame* getFrame() const;
    bool isAttached() const { return getFrame() != nullptr; }
    virtual CViewContainer* asViewContainer() { return nullptr; }
    // Called by the container that adds or removes the view.
    virtual void attached(CViewContainer* newParent) { parent = newParent; }
    virtual void removed(CViewContainer* oldParent);

    // --- drawing
    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    // Asks for the view's rectangle to be redrawn.
    virtual void invalid();
    virtual void invalidRect(const CRect& rect);

    // --- events (positions in parent coordinates)
    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseCancel();
    virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
    virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                         const CButtonState& buttons);
    // 1 when the key was used, -1 otherwise.
    virtual int32_t onKeyDown(VstKeyCode& keyCode);
    virtual int32_t onKeyUp(VstKeyCode& keyCode);
    virtual void takeFocus() {}
    virtual void looseFocus() {}
    virtual bool hitTest(const CPoint& where, const CButtonState& = CButtonState()) const
    {
        return mouseableArea.pointInside(where);
    }

    // --- mouse listeners (not owned)
    void registerViewMouseListener(IViewMouseListener* listener);
    void unregisterViewMouseListener(IViewMouseListener* listener);
    enum MouseListenerCall { kMouseDown, kMouseUp, kMouseMoved, kMouseCancel };
    CMouseEventResult callMouseListener(MouseListenerCall type, CPoint pos, CButtonState buttons);
    void callMouseListenerEnteredExited(bool entered);

    // --- attributes
    bool setAttribute(CViewAttributeID id, uint32_t inSize, const void* inData);
    bool getAttributeSize(CViewAttributeID id, uint32_t& outSize) const;
    bool getAttribute(CViewAttributeID id, uint32_t inSize, void* outData, uint32_t& outSize) const;
    bool removeAttribute(CViewAttributeID id);

protected:
    CRect size;
    CRect mouseableArea;

private:
    CViewContainer* parent = nullptr;
    bool visible = true;
    bool mouseEnabled = true;
    bool transparent = false;
    bool dirty = false;
    bool wantsFocusFlag = false;
    float alpha = 1.f;
    SharedPointer<CBitmap> background;
    UTF8String tooltip;
    std::map<CViewAttributeID, std::vector<uint8_t>> attributes;
    std::vector<IViewMouseListener*> mouseListeners;
};
} // namespace VSTGUI
