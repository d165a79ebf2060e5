#pragma once

// The off-screen platform: a frame renders into a cairo image surface of the
// window's size and takes injected mouse, wheel and key events (window
// pixels). Its factory has a clock that only moves when told, records the web
// links it is asked to open and answers file dialogs through a handler, so
// tests and tools run without a display.

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/platform/iplatformframe.h"

namespace VSTGUI
{
class CFrame;

// Hand this to CFrame::open to get an off-screen window from any factory.
class HeadlessFrameConfig : public IPlatformFrameConfig
{
};

class HeadlessFrame : public IPlatformFrame
{
public:
    HeadlessFrame(IPlatformFrameCallback* callback, const CRect& size);
    ~HeadlessFrame() override;

    // The headless window of an open frame, or null.
    static HeadlessFrame* from(CFrame* frame);

    // Draws the frame afresh and returns the picture (owned by this object).
    cairo_surface_t* render();
    bool writePNG(const std::string& path);
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    bool hasInvalidRect() const { return !invalid.isEmpty(); }
    const CRect& getInvalidRect() const { return invalid; }

    // Injected input, positions in window pixels.
    CMouseEventResult mouseDown(const CPoint& where, const CButtonState& buttons = kLButton);
    CMouseEventResult mouseMoved(const CPoint& where, const CButtonState& buttons = kLButton);
    CMouseEventResult mouseUp(const CPoint& where, const CButtonState& buttons = kLButton);
    // A press and release at one point.
    void click(const CPoint& where, const CButtonState& buttons = kLButton);
    bool wheel(const CPoint& where, float distance, const CButtonState& buttons = 0,
               CMouseWheelAxis axis = kMouseWheelAxisY);
    // The pointer leaves the window.
    void mouseExited();
    bool keyDown(const VstKeyCode& key);
    bool keyUp(const VstKeyCode& key);
    // A key press and release of a plain character, or of a virtual key.
    void typeCharacter(char32_t character, unsigned char modifier = 0);
    void typeVirtualKey(unsigned char virt, unsigned char modifier = 0);

    // A modal loop (message box) calls this until the dialog is answered;
    // without a handler, or when 100 calls do not answer it, the loop gives up.
    void setModalHandler(std::function<void(HeadlessFrame&)> handler) { modalHandler = std::move(handler); }

    bool setSize(const CRect& newSize) override;
    void invalidRect(const CRect& rect) override { invalid.unite(rect); }
    void handleEvents() override {}
    void redrawIfNeeded() override;
    bool runModalLoop(const std::function<bool()>& done) override;

private:
    IPlatformFrameCallback* callback;
    int width;
    int height;
    cairo_surface_t* surface = nullptr;
    CRect invalid;
    std::function<void(HeadlessFrame&)> modalHandler;
};

class HeadlessPlatformFactory : public IPlatformFactory
{
public:
    IPlatformFrame* createFrame(IPlatformFrameCallback* frame, const CRect& size, void* parent, PlatformType type,
                                IPlatformFrameConfig* config) override;
    uint64_t getTicks() override { return ticks; }
    void advanceTime(uint64_t ms) { ticks += ms; }
    bool openURL(const std::string& url) override
    {
        openedURLs.push_back(url);
        return true;
    }
    bool hasFileSelector() override { return static_cast<bool>(fileSelectorHandler); }
    bool runFileSelector(CFrame* frame, const FileSelectorRequest& request,
                         std::vector<std::string>& selected) override;

    std::vector<std::string> openedURLs;
    std::vector<FileSelectorRequest> fileRequests;
    // Answers file dialogs: fills the paths and returns true, or returns false.
    std::function<bool(const FileSelectorRequest&, std::vector<std::string>&)> fileSelectorHandler;

private:
    uint64_t ticks = 0;
};
} // namespace VSTGUI
