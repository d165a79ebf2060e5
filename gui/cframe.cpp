#include "gui/cframe.h"

#include <algorithm>
#include <cmath>

#include "gui/cvstguitimer.h"
#include "gui/guilog.h"

namespace VSTGUI
{
CFrame::CFrame(const CRect& r, VSTGUIEditorInterface* ed) : CViewContainer(r), editor(ed) {}

CFrame::~CFrame()
{
    for (auto& o : std::vector<SharedPointer<CFrameOverlay>>(overlays))
        o->cancel();
    overlays.clear();
    focusView = nullptr;
    hoverView = nullptr;
    removeAll();
    platformFrame.reset();
    CBitmap::releaseUser(this);
}

bool CFrame::open(void* systemWin, PlatformType type, IPlatformFrameConfig* config)
{
    if (platformFrame)
        return false;
    platformFrame.reset(getPlatformFactory().createFrame(this, size, systemWin, type, config));
    if (!platformFrame)
    {
        GUI_LOG("Failed to open the frame's window");
        return false;
    }
    invalid();
    return true;
}

void CFrame::close()
{
    for (auto& o : std::vector<SharedPointer<CFrameOverlay>>(overlays))
        o->cancel();
    overlays.clear();
    setFocusView(nullptr);
    hoverView = nullptr;
    dismissTooltip();
    removeAll();
    platformFrame.reset();
    // What it drew with goes unless another window draws with it too.
    CBitmap::releaseUser(this);
    bitmapZoom = 0;
    forget();
}

bool CFrame::setSize(CCoord width, CCoord height)
{
    const CRect newSize(size.left, size.top, size.left + width, size.top + height);
    if (newSize == size)
        return true;
    if (width <= 0 || height <= 0)
        return false;
    if (editor && !editor->beforeSizeChange(newSize, size))
        return false;
    if (platformFrame && !platformFrame->setSize(CRect(0, 0, width, height)))
        return false;
    size = newSize;
    mouseableArea = newSize;
    invalid();
    return true;
}

bool CFrame::setZoom(double zoom)
{
    if (!(zoom > 0))
        return false;
    const double old = getZoom() > 0 ? getZoom() : 1.0;
    const CCoord w = std::round(size.getWidth() / old * zoom);
    const CCoord h = std::round(size.getHeight() / old * zoom);
    const CGraphicsTransform oldTransform = getTransform();
    setTransform(CGraphicsTransform().scale(zoom, zoom));
    if (!setSize(w, h))
    {
        setTransform(oldTransform);
        return false;
    }
    invalid();
    return true;
}

void CFrame::idle()
{
    if (inIdle)
        return;
    inIdle = true;
    SharedPointer<CFrame> guard(this);
    if (platformFrame)
        platformFrame->handleEvents();
    CVSTGUITimer::fireDueTimers();
    // A view hidden under a resting pointer (its page switched away) has
    // no tip to show: the pointer is over whatever shows there now.
    if (hoverView && !isShownInFrame(hoverView.get()) && !getMouseDownView())
    {
        dismissTooltip();
        updateHover(pointer, CButtonState());
    }
    if (tooltips && hoverView && overlays.empty() && !getMouseDownView())
    {
        const std::string& text = hoverView->getTooltipText().getString();
        if (tooltip.due(text, getPlatformFactory().getTicks(), tooltipDelay) && platformFrame)
            platformFrame->invalidRect(tooltip.show(text, CRect(0, 0, size.getWidth(), size.getHeight())));
    }
    if (platformFrame)
        platformFrame->redrawIfNeeded();
    inIdle = false;
}

void CFrame::platformOnModalIdle()
{
    CVSTGUITimer::fireDueTimers();
    if (platformFrame)
        platformFrame->redrawIfNeeded();
}

void CFrame::serveWhileWaiting()
{
    if (!platformFrame)
        return;
    SharedPointer<CFrame> guard(this);
    ++modalRuns;
    platformFrame->handleEvents();
    platformOnModalIdle();
}

bool CFrame::runModalLoop(const std::function<bool()>& done)
{
    if (!platformFrame)
        return false;
    ++modalRuns;
    return platformFrame->runModalLoop(done);
}

void CFrame::setFocusView(CView* view)
{
    if (view == focusView)
        return;
    CView* old = focusView;
    focusView = view;
    if (old)
        old->looseFocus();
    if (focusView == view && view)
        view->takeFocus();
}

void CFrame::registerKeyboardHook(IKeyboardHook* hook)
{
    if (hook && std::find(keyboardHooks.begin(), keyboardHooks.end(), hook) == keyboardHooks.end())
        keyboardHooks.push_back(hook);
}

void CFrame::unregisterKeyboardHook(IKeyboardHook* hook)
{
    keyboardHooks.erase(std::remove(keyboardHooks.begin(), keyboardHooks.end(), hook), keyboardHooks.end());
}

void CFrame::enableTooltips(bool state, uint32_t delayTimeInMs)
{
    tooltips = state;
    tooltipDelay = delayTimeInMs;
}

int32_t CFrame::getKnobMode() const
{
    const int32_t mode = editor ? editor->getKnobMode() : -1;
    return mode < 0 ? kLinearMode : mode;
}

void CFrame::addOverlay(CFrameOverlay* overlay)
{
    if (!overlay)
        return;
    // A modal overlay ends any drag in progress and any tooltip.
    CViewContainer::onMouseCancel();
    hideTooltip();
    overlays.emplace_back(overlay);
    invalid();
}

void CFrame::removeOverlay(CFrameOverlay* overlay)
{
    auto it = std::find_if(overlays.begin(), overlays.end(), [&](auto& o) { return o.get() == overlay; });
    if (it == overlays.end())
        return;
    SharedPointer<CFrameOverlay> keep = *it;
    overlays.erase(it);
    invalid();
}

void CFrame::drawFrame(CDrawContext* context, const CRect& rect)
{
    // Copies of bitmaps at the zoom drawn before serve this window no more.
    if (getZoom() != bitmapZoom)
    {
        if (bitmapZoom != 0)
            CBitmap::releaseUser(this);
        bitmapZoom = getZoom();
    }
    context->setBitmapUser(this);
    context->setBitmapInterpolationQuality(quality);
    context->saveGlobalState();
    context->pushTransform(CGraphicsTransform().translate(-size.left, -size.top));
    CRect r = rect;
    drawRect(context, r.offset(size.left, size.top));
    context->popTransform();
    context->restoreGlobalState();
    const auto copy = overlays;
    for (auto& o : copy)
    {
        context->saveGlobalState();
        o->draw(context, CRect(0, 0, size.getWidth(), size.getHeight()));
        context->restoreGlobalState();
    }
    context->saveGlobalState();
    tooltip.draw(context);
    context->restoreGlobalState();
}

void CFrame::invalidRect(const CRect& rect)
{
    CRect r = toParentSpace(rect);
    r.bound(size);
    if (platformFrame && !r.isEmpty())
        platformFrame->invalidRect(r.offset(-size.left, -size.top));
}

void CFrame::invalid()
{
    if (platformFrame)
        platformFrame->invalidRect(CRect(0, 0, size.getWidth(), size.getHeight()));
}

void CFrame::onViewRemoved(CView* view)
{
    auto within = [&](CView* v) {
        for (; v; v = v->getParentView())
            if (v == view)
                return true;
        return false;
    };
    if (focusView && within(focusView))
        setFocusView(nullptr);
    if (hoverView && within(hoverView))
    {
        hoverView = nullptr;
        hideTooltip();
    }
}

void CFrame::dismissTooltip()
{
    const CRect r = tooltip.dismiss();
    if (platformFrame && !r.isEmpty())
        platformFrame->invalidRect(r);
}

bool CFrame::isShownInFrame(CView* view) const
{
    for (CView* v = view; v && v != this; v = v->getParentView())
        if (!v->isVisible())
            return false;
    return true;
}

void CFrame::platformOnMouseExited()
{
    SharedPointer<CFrame> guard(this);
    dismissTooltip();
    // A drag goes on outside the window; otherwise nothing is under the pointer.
    if (hoverView && !getMouseDownView())
    {
        SharedPointer<CView> old = hoverView;
        hoverView = nullptr;
        CPoint local = pointer;
        old->frameToLocal(local);
        old->onMouseExited(local, CButtonState());
        old->callMouseListenerEnteredExited(false);
    }
}

void CFrame::hideTooltip()
{
    const CRect r = tooltip.hide();
    if (platformFrame && !r.isEmpty())
        platformFrame->invalidRect(r);
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    SharedPointer<CFrame> guard(this);
    dismissTooltip();
    if (!overlays.empty())
    {
        SharedPointer<CFrameOverlay> top = overlays.back();
        top->onMouseDown(where - size.getTopLeft(), buttons);
        return kMouseEventHandled;
    }
    // A click anywhere but on the focus view ends its editing.
    if (focusView)
    {
        CView* hit = getViewAt(toChildSpace(where), true, true);
        bool onFocus = false;
        for (CView* v = hit; v; v = v->getParentView())
            onFocus = onFocus || v == focusView;
        if (!onFocus)
            setFocusView(nullptr);
    }
    // A press that opens a message box (or waits for a dialog) hands the
    // events to it, its release among them. The view it pressed would wait
    // for that release and take the next press as part of this one (a kick
    // button already down ignores it): the press ends here instead.
    const uint32_t modalRunsBefore = modalRuns;
    const CMouseEventResult result = CViewContainer::onMouseDown(where, buttons);
    if (modalRuns != modalRunsBefore)
        CViewContainer::onMouseCancel();
    return result;
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons)
{
    SharedPointer<CFrame> guard(this);
    if (!overlays.empty())
    {
        SharedPointer<CFrameOverlay> top = overlays.back();
        top->onMouseUp(where - size.getTopLeft(), buttons);
        return kMouseEventHandled;
    }
    return CViewContainer::onMouseUp(where, buttons);
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    SharedPointer<CFrame> guard(this);
    if (!overlays.empty())
    {
        SharedPointer<CFrameOverlay> top = overlays.back();
        top->onMouseMoved(where - size.getTopLeft(), buttons);
        return kMouseEventHandled;
    }
    hideTooltip();
    pointer = where;
    tooltip.pointerMoved(where - size.getTopLeft(), getPlatformFactory().getTicks());
    if (getMouseDownView())
        return CViewContainer::onMouseMoved(where, buttons);
    updateHover(where, buttons);
    return kMouseEventNotHandled;
}

void CFrame::updateHover(const CPoint& where, const CButtonState& buttons)
{
    CView* hit = getViewAt(toChildSpace(where), true, true);
    if (hit == hoverView.get())
        return;
    CPoint p = where;
    if (hoverView)
    {
        SharedPointer<CView> old = hoverView;
        hoverView = nullptr;
        CPoint local = p;
        old->frameToLocal(local);
        old->onMouseExited(local, buttons);
        old->callMouseListenerEnteredExited(false);
    }
    hoverView = hit;
    if (hit)
    {
        CPoint local = p;
        hit->frameToLocal(local);
        hit->onMouseEntered(local, buttons);
        hit->callMouseListenerEnteredExited(true);
    }
}

bool CFrame::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                     const CButtonState& buttons)
{
    SharedPointer<CFrame> guard(this);
    dismissTooltip();
    if (!overlays.empty())
        return true;
    return CViewContainer::onWheel(where, axis, distance, buttons);
}

int32_t CFrame::onKeyDown(VstKeyCode& keyCode)
{
    SharedPointer<CFrame> guard(this);
    dismissTooltip();
    if (!overlays.empty())
    {
        SharedPointer<CFrameOverlay> top = overlays.back();
        top->onKeyDown(keyCode);
        return 1;
    }
    const auto hooks = keyboardHooks;
    for (IKeyboardHook* hook : hooks)
    {
        const int32_t r = hook->onKeyDown(keyCode, this);
        if (r != -1)
            return r;
    }
    if (focusView)
    {
        SharedPointer<CView> f(focusView);
        return f->onKeyDown(keyCode);
    }
    return -1;
}

int32_t CFrame::onKeyUp(VstKeyCode& keyCode)
{
    SharedPointer<CFrame> guard(this);
    if (!overlays.empty())
        return 1;
    const auto hooks = keyboardHooks;
    for (IKeyboardHook* hook : hooks)
    {
        const int32_t r = hook->onKeyUp(keyCode, this);
        if (r != -1)
            return r;
    }
    if (focusView)
    {
        SharedPointer<CView> f(focusView);
        return f->onKeyUp(keyCode);
    }
    return -1;
}
} // namespace VSTGUI
