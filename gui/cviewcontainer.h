#pragma once

// A view that holds child views in drawing order (the last is on top). Its
// children's rectangles are in its own coordinates: origin at the container's
// top-left, then the container's transform (for zooming) maps them into the
// parent's space. Mouse events go to the topmost visible, mouse-enabled child
// under the pointer (its mouse listeners first); the child that takes a
// mouse-down gets the moves and the up that follow.

#include <functional>
#include <vector>

#include "gui/cgraphicstransform.h"
#include "gui/cview.h"

namespace VSTGUI
{
class CViewContainer : public CView
{
public:
    explicit CViewContainer(const CRect& size);
    CViewContainer(const CViewContainer& other); // deep copy of copyable children
    ~CViewContainer() override;
    CView* newCopy() const override { return new CViewContainer(*this); }
    CViewContainer* asViewContainer() override { return this; }

    // Takes over the caller's reference of view.
    virtual bool addView(CView* view);
    bool addView(CView* view, CView* before);
    // Removes view; with withForget its reference is released.
    virtual bool removeView(CView* view, bool withForget = true);
    bool removeAll(bool withForget = true);
    bool changeViewZOrder(CView* view, uint32_t newIndex);
    bool isChild(CView* view, bool deep = false) const;
    uint32_t getNbViews() const { return uint32_t(children.size()); }
    CView* getView(uint32_t index) const { return index < children.size() ? children[index] : nullptr; }
    void forEachChild(const std::function<void(CView*)>& f) const;
    // Topmost visible child under where (container coordinates); with deep
    // the innermost such view. mouseEnabledOnly skips views that take no mouse.
    CView* getViewAt(const CPoint& where, bool deep = false, bool mouseEnabledOnly = false) const;

    void setBackgroundColor(const CColor& c);
    const CColor& getBackgroundColor() const { return backgroundColor; }
    virtual void setTransform(const CGraphicsTransform& t);
    const CGraphicsTransform& getTransform() const { return transform; }

    CPoint& localToFrame(CPoint& point) const override;
    CPoint& frameToLocal(CPoint& point) const override;
    // Parent coordinates -> children coordinates and back.
    CPoint toChildSpace(const CPoint& parentPoint) const;
    CRect toParentSpace(const CRect& childRect) const;

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void invalidRect(const CRect& rect) override; // rect in children coordinates
    void invalid() override;

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseCancel() override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;
    void removed(CViewContainer* oldParent) override;

    CView* getMouseDownView() const { return mouseDownView; }

protected:
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);

private:
    std::vector<CView*> children;
    CGraphicsTransform transform;
    CColor backgroundColor = kTransparentCColor;
    CView* mouseDownView = nullptr;
};
} // namespace VSTGUI
