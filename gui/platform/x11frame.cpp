#include "gui/platform/x11frame.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "gui/cdrawcontext.h"
#include "gui/guilog.h"
#include "gui/platform/x11keys.h"

namespace VSTGUI
{
namespace
{
// Xlib has one error handler for the whole process, and its default ends the
// process: an error on one of our connections (a window the host destroyed
// under us, a bad parent id) would take the host down. While any of our
// frames lives our handler is installed; it records errors of our own
// connections and hands every other one to the handler it replaced, which
// the host may have installed.
std::mutex g_handlerMutex;
std::vector<Display*> g_displays; // our connections, with an installed handler
XErrorHandler g_previousHandler = nullptr;
std::atomic<int> g_xError{0};

int recordXError(Display* display, XErrorEvent* e)
{
    bool ours = false;
    {
        std::lock_guard<std::mutex> lock(g_handlerMutex);
        ours = std::find(g_displays.begin(), g_displays.end(), display) != g_displays.end();
    }
    if (ours || !g_previousHandler)
    {
        g_xError = e->error_code;
        return 0;
    }
    return g_previousHandler(display, e);
}

void watchErrors(Display* display)
{
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    if (g_displays.empty())
        g_previousHandler = XSetErrorHandler(recordXError);
    g_displays.push_back(display);
}

// Called once nothing more is sent on the connection: its errors have come.
void stopWatchingErrors(Display* display)
{
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    g_displays.erase(std::remove(g_displays.begin(), g_displays.end(), display), g_displays.end());
    if (!g_displays.empty())
        return;
    // Somebody who installed a handler after ours keeps theirs.
    XErrorHandler current = XSetErrorHandler(g_previousHandler);
    if (current != recordXError)
        XSetErrorHandler(current);
    g_previousHandler = nullptr;
}

class X11Frame : public IPlatformFrame
{
public:
    X11Frame(IPlatformFrameCallback* cb, Display* d, Window w, int width, int height)
        : callback(cb), display(d), window(w), width(width), height(height)
    {
        invalid = CRect(0, 0, width, height);
    }

    ~X11Frame() override
    {
        if (gc)
            XFreeGC(display, gc);
        if (backBuffer)
            cairo_surface_destroy(backBuffer);
        // The window dies with its parent; a host that destroys the parent
        // and closes the editor before the next idle leaves the news of it
        // in the queue. A window the server has destroyed is not destroyed
        // again.
        XSync(display, False);
        XEvent e;
        while (alive && XCheckTypedWindowEvent(display, window, DestroyNotify, &e))
            alive = false;
        if (alive)
            XDestroyWindow(display, window);
        XSync(display, False);
        stopWatchingErrors(display);
        XCloseDisplay(display);
    }

    bool setSize(const CRect& newSize) override
    {
        width = std::max(1, int(newSize.getWidth()));
        height = std::max(1, int(newSize.getHeight()));
        if (alive)
            XResizeWindow(display, window, unsigned(width), unsigned(height));
        invalid = CRect(0, 0, width, height);
        XFlush(display);
        return true;
    }

    void invalidRect(const CRect& rect) override { invalid.unite(rect); }

    void handleEvents() override
    {
        while (alive && XPending(display))
        {
            XEvent e;
            XNextEvent(display, &e);
            dispatch(e);
        }
    }

    void redrawIfNeeded() override
    {
        if (!alive || !exposed || invalid.isEmpty())
            return;
        CRect r = invalid;
        r.bound(CRect(0, 0, width, height));
        r.makeIntegral();
        invalid = CRect();
        if (r.isEmpty())
            return;
        // The frame is drawn off-screen exactly as the headless backend draws
        // it, then the changed part is copied to the window.
        if (!backBuffer || cairo_image_surface_get_width(backBuffer) != width ||
            cairo_image_surface_get_height(backBuffer) != height)
        {
            if (backBuffer)
                cairo_surface_destroy(backBuffer);
            backBuffer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
            r = CRect(0, 0, width, height);
        }
        cairo_t* cr = cairo_create(backBuffer);
        // Only the changed part is drawn again; the rest of the buffer stays.
        cairo_rectangle(cr, r.left, r.top, r.getWidth(), r.getHeight());
        cairo_clip(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_paint(cr);
        {
            auto* context = new CDrawContext(cr);
            callback->platformDrawRect(context, r);
            context->forget();
        }
        cairo_destroy(cr);
        cairo_surface_flush(backBuffer);
        blit(r);
        XFlush(display);
    }

    // Copies r of the back buffer to the window. The buffer's pixels (32-bit
    // words 0xAARRGGBB) are what a 24-bit TrueColor visual takes; Xlib
    // converts the byte order for the server where needed.
    void blit(const CRect& r)
    {
        if (!gc)
            gc = XCreateGC(display, window, 0, nullptr);
        Visual* visual = DefaultVisual(display, DefaultScreen(display));
        XImage* image = XCreateImage(display, visual, 24, ZPixmap, 0,
                                     reinterpret_cast<char*>(cairo_image_surface_get_data(backBuffer)),
                                     unsigned(width), unsigned(height), 32, cairo_image_surface_get_stride(backBuffer));
        if (!image)
            return;
        // The words are in this machine's byte order, whatever the server's.
        const uint32_t probe = 1;
        image->byte_order = *reinterpret_cast<const uint8_t*>(&probe) ? LSBFirst : MSBFirst;
        XInitImage(image);
        XPutImage(display, window, gc, image, int(r.left), int(r.top), int(r.left), int(r.top),
                  unsigned(r.getWidth()), unsigned(r.getHeight()));
        image->data = nullptr; // the pixels belong to the cairo surface
        XDestroyImage(image);
    }

    bool runModalLoop(const std::function<bool()>& done) override
    {
        while (!done())
        {
            if (!alive)
                return false;
            handleEvents();
            callback->platformOnModalIdle();
            if (done())
                break;
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, 10);
        }
        return true;
    }

private:
    uint32_t modifiers(unsigned state) const
    {
        uint32_t m = 0;
        if (state & ShiftMask)
            m |= kShift;
        if (state & ControlMask)
            m |= kControl;
        if (state & Mod1Mask)
            m |= kAlt;
        if (state & Mod4Mask)
            m |= kApple;
        return m;
    }

    uint32_t heldButtons(unsigned state) const
    {
        uint32_t b = 0;
        if (state & Button1Mask)
            b |= kLButton;
        if (state & Button2Mask)
            b |= kMButton;
        if (state & Button3Mask)
            b |= kRButton;
        return b;
    }

    static uint32_t buttonBit(unsigned button)
    {
        switch (button)
        {
        case Button1: return kLButton;
        case Button2: return kMButton;
        case Button3: return kRButton;
        case 8: return kButton4;
        case 9: return kButton5;
        default: return 0;
        }
    }

    void dispatch(XEvent& e)
    {
        switch (e.type)
        {
        case Expose:
            exposed = true;
            invalid.unite(CRect(e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width,
                                e.xexpose.y + e.xexpose.height));
            break;
        case DestroyNotify:
            if (e.xdestroywindow.window == window)
                alive = false;
            break;
        case ButtonPress:
        {
            CPoint p(e.xbutton.x, e.xbutton.y);
            const unsigned b = e.xbutton.button;
            if (b >= 4 && b <= 7)
            {
                const float distance = (b == 4 || b == 6) ? 1.f : -1.f;
                callback->platformOnMouseWheel(p, b <= 5 ? kMouseWheelAxisY : kMouseWheelAxisX, distance,
                                               modifiers(e.xbutton.state));
                break;
            }
            // Clicking into the window takes the keyboard, as a text field expects.
            XSetInputFocus(display, window, RevertToParent, e.xbutton.time);
            uint32_t state = buttonBit(b) | modifiers(e.xbutton.state);
            if (b == lastButton && e.xbutton.time != 0 && e.xbutton.time - lastPressTime < 400)
                state |= kDoubleClick;
            lastButton = b;
            lastPressTime = e.xbutton.time;
            callback->platformOnMouseDown(p, state);
            break;
        }
        case ButtonRelease:
        {
            if (e.xbutton.button >= 4 && e.xbutton.button <= 7)
                break;
            CPoint p(e.xbutton.x, e.xbutton.y);
            callback->platformOnMouseUp(p, buttonBit(e.xbutton.button) | modifiers(e.xbutton.state));
            break;
        }
        case MotionNotify:
        {
            // Only the latest position of a burst of moves matters.
            while (XCheckTypedWindowEvent(display, window, MotionNotify, &e))
            {
            }
            CPoint p(e.xmotion.x, e.xmotion.y);
            callback->platformOnMouseMoved(p, heldButtons(e.xmotion.state) | modifiers(e.xmotion.state));
            break;
        }
        case LeaveNotify:
            // Into a child window of ours is not out of the window.
            if (e.xcrossing.detail != NotifyInferior)
                callback->platformOnMouseExited();
            break;
        case KeyPress:
        case KeyRelease:
        {
            VstKeyCode key;
            if (!translateKeyEvent(e.xkey, key))
                break;
            if (e.type == KeyPress)
                callback->platformOnKeyDown(key);
            else
                callback->platformOnKeyUp(key);
            break;
        }
        default: break;
        }
    }

    IPlatformFrameCallback* callback;
    Display* display;
    Window window;
    int width;
    int height;
    CRect invalid;
    cairo_surface_t* backBuffer = nullptr;
    GC gc = nullptr;
    bool alive = true;
    bool exposed = false;
    unsigned lastButton = 0;
    Time lastPressTime = 0;
};
} // namespace

IPlatformFrame* createX11Frame(IPlatformFrameCallback* callback, const CRect& size, void* parent)
{
    if (!parent)
    {
        GUI_LOG("No parent window given");
        return nullptr;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display)
    {
        GUI_LOG("Cannot open the X display");
        return nullptr;
    }
    const auto parentWindow = Window(reinterpret_cast<uintptr_t>(parent));
    const int width = std::max(1, int(size.getWidth())), height = std::max(1, int(size.getHeight()));
    // A bad parent id must not end the host: errors are watched from here
    // until the frame's connection closes.
    watchErrors(display);
    XSync(display, False);
    g_xError = 0;
    const Window window = XCreateSimpleWindow(display, parentWindow, 0, 0, unsigned(width), unsigned(height), 0, 0,
                                              BlackPixel(display, DefaultScreen(display)));
    XSelectInput(display, window,
                 ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask |
                     KeyPressMask | KeyReleaseMask | StructureNotifyMask);
    XMapWindow(display, window);
    XSync(display, False);
    if (const int error = g_xError.exchange(0))
    {
        GUI_LOG("Cannot create a window in parent window " << parentWindow << " (X error " << error << ")");
        stopWatchingErrors(display);
        XCloseDisplay(display);
        return nullptr;
    }
    return new X11Frame(callback, display, window, width, height);
}
} // namespace VSTGUI
