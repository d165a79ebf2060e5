#pragma once

// The root container: lives in a platform window (an X11 child of the host's
// window, or an off-screen surface), turns window input into view events,
// holds the focus view, the keyboard hooks and the overlays (menus, message
// boxes), and runs timers and redraws from idle(), which the host calls. Its
// size is in window pixels; its transform zooms the content.

#include <memory>
#include <vector>

#include "gui/cframeoverlay.h"
#include "gui/cviewcontainer.h"
#include "gui/ikeyboardhook.h"
#include "gui/platform/iplatformframe.h"
#include "gui/tooltip.h"
#include "gui/vstguieditorinterface.h"

namespace VSTGUI
{
class CFrame : public CViewContainer, private IPlatformFrameCallback
{
public:
    CFrame(const CRect& size, VSTGUIEditorInterface* editor);
    ~CFrame() override;
    CView* newCopy() const override { return nullptr; }

    // Opens the window inside systemWin (for X11 the parent window id).
    bool open(void* systemWin, PlatformType type = PlatformType::kDefaultNative,
              IPlatformFrameConfig* config = nullptr);
    // Closes the window, drops every view and releases the caller's reference.
    void close();
    bool isOpen() const { return platformFrame != nullptr; }

    // Resizes the frame and its window (after asking the editor); false when refused.
    bool setSize(CCoord width, CCoord height);
    // Scales the content by zoom and resizes the frame to match; false when
    // the new size was refused (nothing changes then).
    bool setZoom(double zoom);
    double getZoom() const { return getTransform().m11; }

    // Input, timers and redrawing; call it from the host's idle.
    void idle();

    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }
    void registerKeyboardHook(IKeyboardHook* hook);
    void unregisterKeyboardHook(IKeyboardHook* hook);
    void enableTooltips(bool state, uint32_t delayTimeInMs = 1000);
    bool tooltipsEnabled() const { return tooltips; }
    // The tooltip shown now ("" when none).
    std::string getShownTooltip() const { return tooltip.isShown() ? tooltip.getText() : std::string(); }
    void setBitmapInterpolationQuality(BitmapInterpolationQuality q) { quality = q; }
    BitmapInterpolationQuality getBitmapInterpolationQuality() const { return quality; }

    VSTGUIEditorInterface* getEditor() const { return editor; }
    IPlatformFrame* getPlatformFrame() const { return platformFrame.get(); }
    int32_t getKnobMode() const;

    // Overlays are shown above everything and take all input, topmost first.
    void addOverlay(CFrameOverlay* overlay);
    void removeOverlay(CFrameOverlay* overlay);
    bool hasOverlay() const { return !overlays.empty(); }
    // Runs the window's events until done() (modal dialogs); false when the
    // platform could not wait.
    bool runModalLoop(const std::function<bool()>& done);
    // One round of the window's input, timers and drawing, for a caller that
    // waits on something outside the window (a dialog program) in short steps.
    void serveWhileWaiting();

    // Draws everything, overlays included, into a context in window pixels
    // (rect in window pixels).
    void drawFrame(CDrawContext* context, const CRect& rect);

    void invalidRect(const CRect& rect) override;
    void invalid() override;
    void onViewRemoved(CView* view);

    // Input in the frame's own coordinates (window pixels plus the frame's origin).
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    int32_t onKeyUp(VstKeyCode& keyCode) override;

private:
    void platformDrawRect(CDrawContext* context, const CRect& rect) override { drawFrame(context, rect); }
    // Window pixels -> the frame's own (parent) coordinates.
    CMouseEventResult platformOnMouseDown(CPoint& w, const CButtonState& b) override
    {
        return onMouseDown(w.offset(size.getTopLeft()), b);
    }
    CMouseEventResult platformOnMouseMoved(CPoint& w, const CButtonState& b) override
    {
        return onMouseMoved(w.offset(size.getTopLeft()), b);
    }
    CMouseEventResult platformOnMouseUp(CPoint& w, const CButtonState& b) override
    {
        return onMouseUp(w.offset(size.getTopLeft()), b);
    }
    bool platformOnMouseWheel(const CPoint& w, const CMouseWheelAxis& a, const float& d,
                              const CButtonState& b) override
    {
        return onWheel(w + size.getTopLeft(), a, d, b);
    }
    bool platformOnKeyDown(VstKeyCode& k) override { return onKeyDown(k) != -1; }
    bool platformOnKeyUp(VstKeyCode& k) override { return onKeyUp(k) != -1; }
    void platformOnMouseExited() override;
    void platformOnModalIdle() override;
    void updateHover(const CPoint& where, const CButtonState& buttons);
    void hideTooltip();
    // Hides the tooltip until the pointer moves again.
    void dismissTooltip();
    // Whether the view and all its containers are shown.
    bool isShownInFrame(CView* view) const;

    VSTGUIEditorInterface* editor;
    std::unique_ptr<IPlatformFrame> platformFrame;
    CView* focusView = nullptr;
    SharedPointer<CView> hoverView;
    CPoint pointer; // the pointer's last position, in the frame's own coordinates
    std::vector<IKeyboardHook*> keyboardHooks;
    std::vector<SharedPointer<CFrameOverlay>> overlays;
    bool tooltips = false;
    Tooltip tooltip;
    uint32_t tooltipDelay = 1000;
    BitmapInterpolationQuality quality = BitmapInterpolationQuality::kDefault;
    // The zoom the frame's bitmaps were last drawn at (0: none drawn yet).
    double bitmapZoom = 0;
    bool inIdle = false;
    // Modal loops and waits so far: a press that ran one has had its
    // release taken by what it showed.
    uint32_t modalRuns = 0;
};
} // namespace VSTGUI
