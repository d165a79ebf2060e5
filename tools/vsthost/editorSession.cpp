// The editor session: an X11 host window, the plug-in's editor in it, input
// injected through the X server, screenshots read back from it.

#include "tools/vsthost/editorSession.h"

#include "tools/vsthost/liveAudio.h"

#include "patch/log.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <cairo.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace vsthost
{
namespace
{
// 50 idle calls a second: above the 30 a host gives at least.
constexpr auto kIdlePeriod = std::chrono::milliseconds(20);
// Idle calls after each input step, so that the window has taken it and drawn.
constexpr int kIdlesAfterInput = 3;

double milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

bool parseInts(const std::string& text, std::vector<int>& out, size_t count)
{
    out.clear();
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(start, end - start);
        char* stop = nullptr;
        const long v = std::strtol(part.c_str(), &stop, 10);
        if (part.empty() || *stop != '\0' || v < -100000 || v > 100000)
            return false;
        out.push_back(static_cast<int>(v));
        start = end + 1;
    }
    return out.size() == count;
}

class Session
{
public:
    Session(HostedPlugin& plugin, const EditorOptions& options) : plugin_(plugin), options_(options), audio_(plugin) {}
    ~Session() { shutDown(); }

    bool run()
    {
        if (!plugin_.hasFlag(effFlagsHasEditor))
        {
            K1_LOG("The plug-in has no editor");
            return false;
        }
        XInitThreads();
        display_ = XOpenDisplay(nullptr);
        if (!display_)
        {
            K1_LOG("Cannot open the X display (DISPLAY is " << (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "unset")
                                                             << ")");
            return false;
        }
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(display_, &event, &error, &major, &minor))
        {
            K1_LOG("The X server has no XTest extension");
            return false;
        }
        plugin_.onSizeWindow([this](int w, int h) { return sizeWindow(w, h); });
        // What the process holds before the window was ever opened, for
        // memory steps to compare with.
        for (const EditorStep& step : options_.steps)
            if (step.kind == EditorStep::Memory)
            {
                printMemory("memory before opening");
                break;
            }
        audio_.start(options_.busyAudio, options_.busyParameters);
        if (!openEditor())
            return false;
        // Keys go where the pointer is (no window manager gives the focus):
        // it rests in the window's top-left corner, away from the controls
        // and their tooltips, until a step moves it.
        movePointer(0, 0);
        idle(kIdlesAfterInput);
        for (const EditorStep& step : options_.steps)
            for (int r = 0; r < step.repeat; ++r)
                if (!perform(step))
                    return false;
        closeEditor();
        return true;
    }

private:
    bool openEditor()
    {
        if (!readRect(width_, height_))
        {
            width_ = 640;
            height_ = 480;
        }
        if (!window_)
        {
            window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, unsigned(width_),
                                          unsigned(height_), 0, 0, BlackPixel(display_, DefaultScreen(display_)));
            XStoreName(display_, window_, "vsthost");
            XSelectInput(display_, window_, StructureNotifyMask);
            XMapWindow(display_, window_);
            waitFor(MapNotify);
            // The keyboard comes to this window, as a host's window has it;
            // it goes back to the pointer when the window goes.
            XSetInputFocus(display_, window_, RevertToPointerRoot, CurrentTime);
        }
        else
            resizeWindow(width_, height_);
        const auto start = std::chrono::steady_clock::now();
        const VstIntPtr opened =
            plugin_.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(window_)));
        const auto built = std::chrono::steady_clock::now();
        std::printf("editor\topen\t%lld\n", static_cast<long long>(opened));
        if (opened == 0)
        {
            K1_LOG("The plug-in did not open its editor");
            return false;
        }
        open_ = true;
        // The window may have a size of its own now.
        int w = 0, h = 0;
        if (readRect(w, h) && (w != width_ || h != height_))
            resizeWindow(w, h);
        // The first idle call draws the window: an opening ends there.
        XSync(display_, False);
        plugin_.dispatch(effEditIdle);
        XSync(display_, False);
        const auto drawn = std::chrono::steady_clock::now();
        std::printf("timing\topen\t%.1f\t%.1f\n", milliseconds(built - start), milliseconds(drawn - start));
        idle(kIdlesAfterInput);
        return true;
    }

    void closeEditor()
    {
        if (!open_)
            return;
        plugin_.dispatch(effEditClose);
        open_ = false;
        std::printf("editor\tclose\n");
    }

    void shutDown()
    {
        closeEditor();
        audio_.stop();
        plugin_.onSizeWindow(nullptr);
        if (display_)
        {
            // The window a click gave the keyboard to is gone with the
            // editor: it goes back to the pointer for whoever comes next.
            XSetInputFocus(display_, PointerRoot, RevertToPointerRoot, CurrentTime);
            if (window_)
                XDestroyWindow(display_, window_);
            XCloseDisplay(display_);
            display_ = nullptr;
        }
    }

    bool readRect(int& w, int& h)
    {
        ERect* r = nullptr;
        if (plugin_.dispatch(effEditGetRect, 0, 0, &r) == 0 || r == nullptr)
            return false;
        w = r->right - r->left;
        h = r->bottom - r->top;
        std::printf("editor\trect\t%d\t%d\n", w, h);
        return w > 0 && h > 0;
    }

    // audioMasterSizeWindow, on the thread that runs the editor.
    bool sizeWindow(int w, int h)
    {
        std::printf("editor\tsize window\t%d\t%d\n", w, h);
        if (w <= 0 || h <= 0 || !window_)
            return false;
        resizeWindow(w, h);
        return true;
    }

    void resizeWindow(int w, int h)
    {
        width_ = w;
        height_ = h;
        XResizeWindow(display_, window_, unsigned(w), unsigned(h));
        XSync(display_, False);
    }

    void waitFor(int type)
    {
        XEvent e;
        do
            XWindowEvent(display_, window_, StructureNotifyMask, &e);
        while (e.type != type);
    }

    void idle(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            XSync(display_, False);
            // Our own window's notifications only matter while mapping it.
            XEvent e;
            while (XCheckWindowEvent(display_, window_, StructureNotifyMask, &e))
            {
            }
            if (open_)
                plugin_.dispatch(effEditIdle);
            std::this_thread::sleep_for(kIdlePeriod);
        }
    }

    void movePointer(int x, int y)
    {
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), x, y, &rootX, &rootY, &child);
        XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
        XSync(display_, False);
    }

    void button(unsigned b, bool press)
    {
        XTestFakeButtonEvent(display_, b, press ? True : False, CurrentTime);
        XSync(display_, False);
    }

    bool key(const std::string& name)
    {
        const KeySym sym = XStringToKeysym(name.c_str());
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display_, sym);
        if (code == 0)
        {
            K1_LOG("No key " << name);
            return false;
        }
        // A symbol on the key's shifted level needs Shift held.
        const bool shift = XkbKeycodeToKeysym(display_, code, 0, 0) != sym && XkbKeycodeToKeysym(display_, code, 0, 1) == sym;
        const KeyCode shiftCode = XKeysymToKeycode(display_, XK_Shift_L);
        if (shift)
            XTestFakeKeyEvent(display_, shiftCode, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        if (shift)
            XTestFakeKeyEvent(display_, shiftCode, False, CurrentTime);
        XSync(display_, False);
        return true;
    }

    bool screenshot(const std::string& path)
    {
        idle(1);
        XImage* image =
            XGetImage(display_, window_, 0, 0, unsigned(width_), unsigned(height_), AllPlanes, ZPixmap);
        if (!image)
        {
            K1_LOG("Cannot read the window back");
            return false;
        }
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
        auto* pixels = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        cairo_surface_flush(surface);
        for (int y = 0; y < height_; ++y)
        {
            auto* row = reinterpret_cast<uint32_t*>(pixels + y * stride);
            for (int x = 0; x < width_; ++x)
                row[x] = static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF);
        }
        cairo_surface_mark_dirty(surface);
        XDestroyImage(image);
        const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(surface);
        if (!written)
        {
            K1_LOG("Cannot write " << path);
            return false;
        }
        std::printf("shot\t%s\t%d\t%d\n", path.c_str(), width_, height_);
        return true;
    }

    void printMemory(const char* label = "memory")
    {
        // The host's own record would grow with every report; only the
        // plug-in's use should show.
        plugin_.clearLog();
        long pages = 0, resident = 0;
        std::ifstream statm("/proc/self/statm");
        statm >> pages >> resident;
        const struct mallinfo2 heap = mallinfo2();
        std::printf("%s\t%ld\t%zu\n", label, resident * (sysconf(_SC_PAGESIZE) / 1024), heap.uordblks);
    }

    bool perform(const EditorStep& s)
    {
        switch (s.kind)
        {
        case EditorStep::Click:
        case EditorStep::RightClick:
        {
            const unsigned b = s.kind == EditorStep::Click ? Button1 : Button3;
            movePointer(s.x, s.y);
            button(b, true);
            idle(1);
            button(b, false);
            break;
        }
        case EditorStep::Drag:
            movePointer(s.x, s.y);
            button(Button1, true);
            idle(1);
            // One move per idle, so that the window sees each step.
            for (int i = 1; i <= s.count; ++i)
            {
                movePointer(s.x + s.dx * i / s.count, s.y + s.dy * i / s.count);
                idle(1);
            }
            button(Button1, false);
            break;
        case EditorStep::Move: movePointer(s.x, s.y); break;
        case EditorStep::Wheel:
            movePointer(s.x, s.y);
            for (int i = 0; i < std::abs(s.count); ++i)
            {
                const unsigned b = s.count > 0 ? Button4 : Button5;
                button(b, true);
                button(b, false);
                idle(1);
            }
            break;
        case EditorStep::Key:
            if (!key(s.text))
                return false;
            break;
        case EditorStep::Idle: idle(s.count); return true;
        case EditorStep::Shot: return screenshot(s.text);
        case EditorStep::Reopen:
            closeEditor();
            return openEditor();
        case EditorStep::Close: closeEditor(); return true;
        case EditorStep::Program:
            audio_.sendMidi({0xC0, static_cast<uint8_t>(s.count & 0x7F)});
            audio_.waitBlocks(2);
            break;
        case EditorStep::Param:
            audio_.setParameter(s.index, s.value);
            audio_.waitBlocks(2);
            break;
        case EditorStep::Rect:
        {
            int w = 0, h = 0;
            readRect(w, h);
            return true;
        }
        case EditorStep::Memory: printMemory(); return true;
        }
        idle(kIdlesAfterInput);
        return true;
    }

    HostedPlugin& plugin_;
    const EditorOptions& options_;
    LiveAudio audio_;
    Display* display_ = nullptr;
    Window window_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool open_ = false;
};
} // namespace

bool parseEditorStep(const std::string& input, EditorStep& step)
{
    step = EditorStep{};
    std::string text = input;
    const size_t star = text.rfind('*');
    if (star != std::string::npos)
    {
        char* stop = nullptr;
        const long n = std::strtol(text.c_str() + star + 1, &stop, 10);
        if (*stop != '\0' || n < 1 || n > 100000)
            return false;
        step.repeat = static_cast<int>(n);
        text.resize(star);
    }
    const size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    const std::string arg = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    std::vector<int> v;
    if (name == "click" || name == "rclick" || name == "move")
    {
        step.kind = name == "click" ? EditorStep::Click : name == "move" ? EditorStep::Move : EditorStep::RightClick;
        if (!parseInts(arg, v, 2))
            return false;
        step.x = v[0];
        step.y = v[1];
    }
    else if (name == "drag")
    {
        step.kind = EditorStep::Drag;
        if (!parseInts(arg, v, 5) || v[4] < 1)
            return false;
        step.x = v[0];
        step.y = v[1];
        step.dx = v[2];
        step.dy = v[3];
        step.count = v[4];
    }
    else if (name == "wheel")
    {
        step.kind = EditorStep::Wheel;
        if (!parseInts(arg, v, 3))
            return false;
        step.x = v[0];
        step.y = v[1];
        step.count = v[2];
    }
    else if (name == "idle" || name == "program")
    {
        step.kind = name == "idle" ? EditorStep::Idle : EditorStep::Program;
        if (!parseInts(arg, v, 1) || v[0] < 0)
            return false;
        step.count = v[0];
    }
    else if (name == "key" || name == "shot")
    {
        step.kind = name == "key" ? EditorStep::Key : EditorStep::Shot;
        step.text = arg;
        return !arg.empty();
    }
    else if (name == "param")
    {
        step.kind = EditorStep::Param;
        const size_t eq = arg.find('=');
        char* stop = nullptr;
        if (eq == std::string::npos || !parseInts(arg.substr(0, eq), v, 1))
            return false;
        step.index = v[0];
        step.value = std::strtof(arg.c_str() + eq + 1, &stop);
        return eq + 1 < arg.size() && *stop == '\0';
    }
    else if (name == "reopen" || name == "close" || name == "rect" || name == "memory")
    {
        step.kind = name == "reopen"  ? EditorStep::Reopen
                    : name == "close" ? EditorStep::Close
                    : name == "rect"  ? EditorStep::Rect
                                      : EditorStep::Memory;
        return arg.empty();
    }
    else
        return false;
    return true;
}

bool runEditorSession(HostedPlugin& plugin, const EditorOptions& options)
{
    Session session(plugin, options);
    const bool done = session.run();
    std::fflush(stdout);
    return done;
}

} // namespace vsthost
