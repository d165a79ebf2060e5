#include "gui/cviewcontainer.h"

#include <algorithm>

#include "gui/cframe.h"

namespace VSTGUI
{
CViewContainer::CViewContainer(const CRect& r) : CView(r) {}

CViewContainer::CViewContainer(const CViewContainer& o)
    : CView(o), transform(o.transform), backgroundColor(o.backgroundColor)
{
    for (CView* child : o.children)
        if (CView* copy = child->newCopy())
            addView(copy);
}

CViewContainer::~CViewContainer()
{
    mouseDownView = nullptr;
    for (CView* child : children)
    {
        child->removed(this);
        child->forget();
    }
    children.clear();
}

bool CViewContainer::addView(CView* view)
{
    return addView(view, nullptr);
}

bool CViewContainer::addView(CView* view, CView* before)
{
    if (!view || view == this || view->getParentView())
        return false;
    auto pos = std::find(children.begin(), children.end(), before);
    children.insert(before ? pos : children.end(), view);
    view->attached(this);
    view->invalid();
    return true;
}

bool CViewContainer::removeView(CView* view, bool withForget)
{
    auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end())
        return false;
    view->invalid();
    children.erase(it);
    if (mouseDownView == view)
        mouseDownView = nullptr;
    if (CFrame* frame = getFrame())
        frame->onViewRemoved(view);
    view->removed(this);
    if (withForget)
        view->forget();
    return true;
}

bool CViewContainer::removeAll(bool withForget)
{
    while (!children.empty())
        removeView(children.back(), withForget);
    return true;
}

bool CViewContainer::changeViewZOrder(CView* view, uint32_t newIndex)
{
    auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end() || newIndex >= children.size())
        return false;
    children.erase(it);
    children.insert(children.begin() + newIndex, view);
    view->invalid();
    return true;
}

bool CViewContainer::isChild(CView* view, bool deep) const
{
    for (CView* child : children)
    {
        if (child == view)
            return true;
        if (deep)
            if (auto* c = child->asViewContainer(); c && c->isChild(view, true))
                return true;
    }
    return false;
}

void CViewContainer::forEachChild(const std::function<void(CView*)>& f) const
{
    const auto copy = children;
    for (CView* child : copy)
        f(child);
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep, bool mouseEnabledOnly) const
{
    for (auto it = children.rbegin(); it != children.rend(); ++it)
    {
        CView* child = *it;
        if (!child->isVisible() || (mouseEnabledOnly && !child->getMouseEnabled()) ||
            !child->getViewSize().pointInside(where))
            continue;
        if (deep)
            if (auto* c = child->asViewContainer())
                if (CView* inner = c->getViewAt(c->toChildSpace(where), true, mouseEnabledOnly))
                    return inner;
        return child;
    }
    return nullptr;
}

void CViewContainer::setBackgroundColor(const CColor& c)
{
    if (backgroundColor == c)
        return;
    backgroundColor = c;
    invalid();
}

void CViewContainer::setTransform(const CGraphicsTransform& t)
{
    if (transform == t)
        return;
    transform = t;
    invalid();
}

CPoint CViewContainer::toChildSpace(const CPoint& parentPoint) const
{
    CPoint p = parentPoint - size.getTopLeft();
    return transform.inverse().transform(p);
}

CRect CViewContainer::toParentSpace(const CRect& childRect) const
{
    CRect r = childRect;
    transform.transform(r);
    return r.offset(size.getTopLeft());
}

CPoint& CViewContainer::localToFrame(CPoint& point) const
{
    transform.transform(point);
    point.offset(size.getTopLeft());
    return CView::localToFrame(point);
}

CPoint& CViewContainer::frameToLocal(CPoint& point) const
{
    CView::frameToLocal(point);
    point = toChildSpace(point);
    return point;
}

void CViewContainer::draw(CDrawContext* context)
{
    drawRect(context, size);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect&)
{
    if (getTransparency())
        return;
    if (backgroundColor.alpha)
    {
        context->setFillColor(backgroundColor);
        context->drawRect(size, kDrawFilled);
    }
    if (getBackground())
        context->drawBitmap(getBackground(), size);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect)
{
    CRect clip = size;
    clip.bound(updateRect);
    if (clip.isEmpty())
        return;
    context->saveGlobalState();
    context->setClipRect(clip);
    drawBackgroundRect(context, clip);

    CGraphicsTransform t = transform;
    t.translate(size.left, size.top);
    context->pushTransform(t);
    CRect localUpdate = clip;
    localUpdate.offset(-size.left, -size.top);
    transform.inverse().transform(localUpdate);
    for (size_t i = 0; i < children.size(); ++i)
    {
        CView* child = children[i];
        if (!child->isVisible() || !child->getViewSize().rectOverlap(localUpdate))
            continue;
        CRect childUpdate = child->getViewSize();
        childUpdate.bound(localUpdate);
        context->saveGlobalState();
        context->setGlobalAlpha(context->getGlobalAlpha() * child->getAlphaValue());
        if (!child->asViewContainer())
            context->setClipRect(child->getViewSize());
        child->drawRect(context, childUpdate);
        context->restoreGlobalState();
    }
    context->popTransform();
    context->restoreGlobalState();
    setDirty(false);
}

void CViewContainer::invalidRect(const CRect& rect)
{
    CRect r = toParentSpace(rect);
    r.bound(size);
    if (!r.isEmpty())
        CView::invalidRect(r);
}

void CViewContainer::invalid()
{
    setDirty(false);
    CView::invalidRect(size);
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    const CPoint local = toChildSpace(where);
    const auto copy = children;
    for (auto it = copy.rbegin(); it != copy.rend(); ++it)
    {
        CView* child = *it;
        if (std::find(children.begin(), children.end(), child) == children.end())
            continue;
        if (!child->isVisible() || !child->getMouseEnabled() || !child->hitTest(local, buttons))
            continue;
        SharedPointer<CView> guard(child);
        CPoint p = local;
        CMouseEventResult r = child->callMouseListener(kMouseDown, p, buttons);
        if (r == kMouseEventNotHandled || r == kMouseEventNotImplemented)
            r = child->onMouseDown(p, buttons);
        if (r != kMouseEventNotHandled && r != kMouseEventNotImplemented)
        {
            if (r == kMouseEventHandled && child->getParentView() == this)
                mouseDownView = child;
            return r;
        }
        // Only a transparent view lets the click through to what lies below.
        if (!child->getTransparency())
            return r;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    if (!mouseDownView)
        return kMouseEventNotHandled;
    SharedPointer<CView> guard(mouseDownView);
    CPoint p = toChildSpace(where);
    CMouseEventResult r = guard->callMouseListener(kMouseMoved, p, buttons);
    if (r == kMouseEventNotHandled || r == kMouseEventNotImplemented)
        r = guard->onMouseMoved(p, buttons);
    if (r == kMouseEventNotHandled || r == kMouseMoveEventHandledButDontNeedMoreEvents)
        if (mouseDownView == guard.get())
            mouseDownView = nullptr;
    return r;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    if (!mouseDownView)
        return kMouseEventNotHandled;
    SharedPointer<CView> guard(mouseDownView);
    mouseDownView = nullptr;
    CPoint p = toChildSpace(where);
    CMouseEventResult r = guard->callMouseListener(kMouseUp, p, buttons);
    if (r == kMouseEventNotHandled || r == kMouseEventNotImplemented)
        r = guard->onMouseUp(p, buttons);
    return r;
}

CMouseEventResult CViewContainer::onMouseCancel()
{
    if (!mouseDownView)
        return kMouseEventNotHandled;
    SharedPointer<CView> guard(mouseDownView);
    mouseDownView = nullptr;
    CMouseEventResult r = guard->callMouseListener(kMouseCancel, CPoint(), CButtonState());
    if (r == kMouseEventNotHandled || r == kMouseEventNotImplemented)
        r = guard->onMouseCancel();
    return r;
}

bool CViewContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                             const CButtonState& buttons)
{
    const CPoint local = toChildSpace(where);
    const auto copy = children;
    for (auto it = copy.rbegin(); it != copy.rend(); ++it)
    {
        CView* child = *it;
        if (std::find(children.begin(), children.end(), child) == children.end())
            continue;
        if (!child->isVisible() || !child->getMouseEnabled() || !child->hitTest(local, buttons))
            continue;
        SharedPointer<CView> guard(child);
        if (child->onWheel(local, axis, distance, buttons))
            return true;
        if (!child->getTransparency())
            return false;
    }
    return false;
}

void CViewContainer::removed(CViewContainer* oldParent)
{
    mouseDownView = nullptr;
    CView::removed(oldParent);
}
} // namespace VSTGUI
