#include "gui/cview.h"

#include <algorithm>
#include <cstring>

#include "gui/cframe.h"
#include "gui/cviewcontainer.h"

namespace VSTGUI
{
CView::CView(const CRect& r) : size(r), mouseableArea(r) {}

CView::CView(const CView& o)
    : CBaseObject(o), size(o.size), mouseableArea(o.mouseableArea), visible(o.visible),
      mouseEnabled(o.mouseEnabled), transparent(o.transparent), wantsFocusFlag(o.wantsFocusFlag), alpha(o.alpha),
      background(o.background), tooltip(o.tooltip), attributes(o.attributes)
{
}

CView::~CView() = default;

void CView::setViewSize(const CRect& rect, bool inv)
{
    if (rect == size)
        return;
    if (inv)
        invalid();
    const CPoint delta = rect.getTopLeft() - size.getTopLeft();
    size = rect;
    mouseableArea.offset(delta);
    if (mouseableArea.getWidth() != rect.getWidth() || mouseableArea.getHeight() != rect.getHeight())
        mouseableArea = rect;
    if (inv)
        invalid();
}

CPoint& CView::localToFrame(CPoint& point) const
{
    if (parent)
        parent->localToFrame(point);
    return point;
}

CPoint& CView::frameToLocal(CPoint& point) const
{
    if (parent)
        parent->frameToLocal(point);
    return point;
}

void CView::setVisible(bool state)
{
    if (visible == state)
        return;
    if (!state)
    {
        invalid();
        // A hidden view (or one inside a hidden container) gives up the keyboard.
        if (CFrame* frame = getFrame())
            for (CView* v = frame->getFocusView(); v; v = v->getParentView())
                if (v == this)
                {
                    frame->setFocusView(nullptr);
                    break;
                }
    }
    visible = state;
    if (state)
        invalid();
}

void CView::setAlphaValue(float a)
{
    if (alpha == a)
        return;
    alpha = a;
    invalid();
}

void CView::setMouseEnabled(bool state)
{
    if (mouseEnabled == state)
        return;
    mouseEnabled = state;
    auto copy = mouseListeners;
    for (auto* l : copy)
        l->viewOnMouseEnabled(this, state);
}

void CView::setTransparency(bool state)
{
    if (transparent == state)
        return;
    transparent = state;
    invalid();
}

void CView::setBackground(CBitmap* bitmap)
{
    if (background.get() == bitmap)
        return;
    background = bitmap;
    setDirty(true);
}

void CView::setDirty(bool state)
{
    if (state)
        invalidRect(size);
    dirty = state;
}

CFrame* CView::getFrame() const
{
    const CView* v = this;
    while (v->parent)
        v = v->parent;
    return dynamic_cast<CFrame*>(const_cast<CView*>(v));
}

void CView::removed(CViewContainer*)
{
    parent = nullptr;
}

void CView::draw(CDrawContext* context)
{
    if (background)
        context->drawBitmap(background, size);
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect&)
{
    draw(context);
}

void CView::invalid()
{
    setDirty(false);
    invalidRect(size);
}

void CView::invalidRect(const CRect& rect)
{
    if (parent)
        parent->invalidRect(rect);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&)
{
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&)
{
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&)
{
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseCancel()
{
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&)
{
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&)
{
    return kMouseEventNotImplemented;
}
bool CView::onWheel(const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&)
{
    return false;
}
int32_t CView::onKeyDown(VstKeyCode&)
{
    return -1;
}
int32_t CView::onKeyUp(VstKeyCode&)
{
    return -1;
}

void CView::registerViewMouseListener(IViewMouseListener* listener)
{
    if (listener && std::find(mouseListeners.begin(), mouseListeners.end(), listener) == mouseListeners.end())
        mouseListeners.push_back(listener);
}

void CView::unregisterViewMouseListener(IViewMouseListener* listener)
{
    mouseListeners.erase(std::remove(mouseListeners.begin(), mouseListeners.end(), listener), mouseListeners.end());
}

CMouseEventResult CView::callMouseListener(MouseListenerCall type, CPoint pos, CButtonState buttons)
{
    // Listeners may unregister themselves (or others) while being called.
    const auto copy = mouseListeners;
    for (auto* l : copy)
    {
        if (std::find(mouseListeners.begin(), mouseListeners.end(), l) == mouseListeners.end())
            continue;
        CMouseEventResult r = kMouseEventNotImplemented;
        switch (type)
        {
        case kMouseDown: r = l->viewOnMouseDown(this, pos, buttons); break;
        case kMouseUp: r = l->viewOnMouseUp(this, pos, buttons); break;
        case kMouseMoved: r = l->viewOnMouseMoved(this, pos, buttons); break;
        case kMouseCancel: r = l->viewOnMouseCancel(this); break;
        }
        if (r != kMouseEventNotHandled && r != kMouseEventNotImplemented)
            return r;
    }
    return kMouseEventNotHandled;
}

void CView::callMouseListenerEnteredExited(bool entered)
{
    const auto copy = mouseListeners;
    for (auto* l : copy)
    {
        if (entered)
            l->viewOnMouseEntered(this);
        else
            l->viewOnMouseExited(this);
    }
}

bool CView::setAttribute(CViewAttributeID id, uint32_t inSize, const void* inData)
{
    if (inSize && !inData)
        return false;
    const auto* p = static_cast<const uint8_t*>(inData);
    attributes[id] = std::vector<uint8_t>(p, p + inSize);
    return true;
}

bool CView::getAttributeSize(CViewAttributeID id, uint32_t& outSize) const
{
    auto it = attributes.find(id);
    if (it == attributes.end())
        return false;
    outSize = uint32_t(it->second.size());
    return true;
}

bool CView::getAttribute(CViewAttributeID id, uint32_t inSize, void* outData, uint32_t& outSize) const
{
    auto it = attributes.find(id);
    if (it == attributes.end() || inSize < it->second.size())
        return false;
    outSize = uint32_t(it->second.size());
    if (outSize)
        std::memcpy(outData, it->second.data(), outSize);
    return true;
}

bool CView::removeAttribute(CViewAttributeID id)
{
    return attributes.erase(id) > 0;
}
} // namespace VSTGUI
