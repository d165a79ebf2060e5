#pragma once

// The platform layer behind the frame: a window (or an off-screen stand-in)
// that shows the frame's drawing and delivers its input, and the few services
// the toolkit asks of the system (clock, web links, file dialogs). Another
// window system replaces these interfaces and nothing else.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/cbuttonstate.h"
#include "gui/crect.h"
#include "gui/vstkeycode.h"

namespace VSTGUI
{
class CDrawContext;
class CFrame;

enum class PlatformType : int32_t
{
    kHWND = 0,
    kWindowRef,
    kNSView,
    kUIView,
    kHWNDTopLevel,
    kX11EmbedWindowID,
    kDefaultNative = -1,
};

// Extra settings a caller may hand to CFrame::open; the platform decides
// what it understands.
class IPlatformFrameConfig
{
public:
    virtual ~IPlatformFrameConfig() = default;
};

// What the platform calls on the frame. Positions are window pixels.
class IPlatformFrameCallback
{
public:
    virtual ~IPlatformFrameCallback() = default;
    // Draws the whole frame content into context (window pixels).
    virtual void platformDrawRect(CDrawContext* context, const CRect& rect) = 0;
    virtual CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) = 0;
    virtual CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) = 0;
    virtual CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) = 0;
    virtual bool platformOnMouseWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                                      const CButtonState& buttons) = 0;
    virtual bool platformOnKeyDown(VstKeyCode& key) = 0;
    virtual bool platformOnKeyUp(VstKeyCode& key) = 0;
    // The pointer left the window.
    virtual void platformOnMouseExited() = 0;
    // Called while a modal loop runs, so timers and drawing go on.
    virtual void platformOnModalIdle() = 0;
};

class IPlatformFrame
{
public:
    virtual ~IPlatformFrame() = default;
    // New window size in pixels (left and top are ignored); false when refused.
    virtual bool setSize(const CRect& newSize) = 0;
    virtual void invalidRect(const CRect& rect) = 0;
    // Handles the input that has arrived since the last call.
    virtual void handleEvents() = 0;
    // Redraws what was invalidated.
    virtual void redrawIfNeeded() = 0;
    // Handles events until done() answers true; false when it had to give up
    // first (no window, no way to get an answer).
    virtual bool runModalLoop(const std::function<bool()>& done) = 0;
};

// A file dialog's request and answer.
struct FileSelectorRequest
{
    bool save = false;
    bool directory = false;
    bool multiple = false;
    std::string title;
    std::string initialDirectory;
    std::string defaultSaveName;
    std::string defaultExtension;
    std::vector<std::pair<std::string, std::string>> filters; // description, extension
};

class IPlatformFactory
{
public:
    virtual ~IPlatformFactory() = default;
    // Null (with a log line) when no window can be made.
    virtual IPlatformFrame* createFrame(IPlatformFrameCallback* frame, const CRect& size, void* parent,
                                        PlatformType type, IPlatformFrameConfig* config) = 0;
    // Milliseconds from an arbitrary start, never going backwards.
    virtual uint64_t getTicks() = 0;
    // Opens the address in the user's browser without waiting; false when it cannot.
    virtual bool openURL(const std::string& url) = 0;
    // Whether this platform can show file dialogs at all.
    virtual bool hasFileSelector() = 0;
    // Runs a file dialog to its end; true and the chosen paths, or false.
    virtual bool runFileSelector(CFrame* frame, const FileSelectorRequest& request,
                                 std::vector<std::string>& selected) = 0;
};

// The factory in use: the X11 one unless another was set (tests set the
// headless one). The pointer is not owned; null restores the default.
IPlatformFactory& getPlatformFactory();
void setPlatformFactory(IPlatformFactory* factory);
} // namespace VSTGUI
