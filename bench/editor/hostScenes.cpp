// Darvello.so's windows as a host with several instances meets them, under a
// real X server ($DISPLAY): each scene loads the plug-in as a Linux host does,
// opens its editors in X11 windows of the host's, calls effEditIdle and
// prints what it measured, one line per figure. One scene a process, so that
// what the process holds is the scene's alone.
//
//   editor_host_scenes DARVELLO.so sizes        three windows (1024 x 576,
//       1600 x 900, 640 x 360) on the single edit page, host automation
//       moving a shown knob in each: ms per idle call of each window
//   editor_host_scenes DARVELLO.so drag [beside]  a drag of the resize
//       handle in 60 steps, alone or with another instance's window open:
//       ms per step (the dragged window's idle call that takes the move
//       and draws it, and the round of idle calls of every window)
//   editor_host_scenes DARVELLO.so open         heap and RSS beyond what the
//       process held before, at 0.2, 0.5, 1 and 2 s after the opening
//   editor_host_scenes DARVELLO.so closed [SECONDS]  every page visited, the
//       window closed SECONDS (0.3) after opening; heap and RSS kept then
//       and 2 s later
//
// Heap is malloc's in use including mmap'd blocks (mallinfo2 uordblks +
// hblkhd).

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/vsthost/hostedPlugin.h"

namespace
{
using Clock = std::chrono::steady_clock;
using vsthost::HostedPlugin;

// A knob shown on the single edit page (source 1's envelope attack).
constexpr int kShownKnob = 67;
// Window pixels of the panel's buttons and resize handle at 1024 x 576.
struct Point
{
    int x, y;
};
constexpr Point kModeSingle{221, 45}, kModeMulti{285, 45}, kEdit{362, 45}, kSystem{426, 45}, kHandle{1011, 563};

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double heapBytes()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd);
}

double residentBytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE));
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The highest heap while it lives, sampled every millisecond.
class PeakHeap
{
public:
    PeakHeap()
        : sampler([this] {
              while (sampling)
              {
                  peak = std::max(peak.load(), heapBytes());
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
          })
    {
    }
    ~PeakHeap()
    {
        sampling = false;
        sampler.join();
    }
    double highest() const { return peak; }

private:
    std::atomic<double> peak{0};
    std::atomic<bool> sampling{true};
    std::thread sampler;
};

class Host
{
public:
    explicit Host(Display* d) : display(d) {}

    // One instance, its editor open in a host window of width x height at
    // (x, y) of the screen; false when it cannot be.
    bool open(const std::string& path, int width, int height, int x, int y)
    {
        return load(path, width, height) && openEditor(plugins.size() - 1, x, y);
    }

    // One instance whose window will open at width x height.
    bool load(const std::string& path, int width, int height)
    {
        auto plugin = HostedPlugin::load(path, 44100.0f, 256);
        if (!plugin || (width != 1024 && !setWindowSize(*plugin, width, height)))
            return false;
        plugin->resume();
        plugins.push_back(std::move(plugin));
        windows.push_back(0);
        return true;
    }

    bool openEditor(size_t i, int x, int y)
    {
        ERect* r = nullptr;
        if (plugins[i]->dispatch(effEditGetRect, 0, 0, &r) == 0 || !r)
            return false;
        Window w = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y, unsigned(r->right - r->left),
                                       unsigned(r->bottom - r->top), 0, 0, BlackPixel(display, DefaultScreen(display)));
        XMapWindow(display, w);
        XSync(display, False);
        plugins[i]->onSizeWindow([this, w](int nw, int nh) {
            XResizeWindow(display, w, unsigned(nw), unsigned(nh));
            XSync(display, False);
            return true;
        });
        windows[i] = w;
        return plugins[i]->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(w))) != 0;
    }

    // A project saved with the window at another size: the bridge's state
    // in the bank chunk carries the rectangle (version 1, then left, top,
    // right and bottom as 32-bit little-endian numbers).
    static bool setWindowSize(HostedPlugin& plugin, int width, int height)
    {
        std::vector<uint8_t> chunk;
        const uint8_t defaults[20] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 4, 0, 0, 0x40, 2, 0, 0};
        if (!plugin.saveChunk(false, chunk))
            return false;
        auto at = std::search(chunk.begin(), chunk.end(), std::begin(defaults), std::end(defaults));
        if (at == chunk.end())
        {
            std::fprintf(stderr, "the window's rectangle is not in the chunk\n");
            return false;
        }
        for (int i = 0; i < 4; ++i)
        {
            at[12 + i] = uint8_t(width >> (8 * i));
            at[16 + i] = uint8_t(height >> (8 * i));
        }
        return plugin.loadChunk(false, chunk);
    }

    double idle(size_t i)
    {
        XSync(display, False);
        const auto start = Clock::now();
        plugins[i]->dispatch(effEditIdle);
        return ms(Clock::now() - start);
    }

    void idleAll(int rounds)
    {
        for (int r = 0; r < rounds; ++r)
        {
            for (size_t i = 0; i < plugins.size(); ++i)
                idle(i);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    // Host automation arrives with a block of audio.
    void automate(size_t i, int index, float value)
    {
        std::vector<float> left(256), right(256);
        float* outs[2] = {left.data(), right.data()};
        plugins[i]->setParameter(index, value);
        plugins[i]->process(nullptr, outs, outs, 256);
    }

    void key(size_t i, char c) { plugins[i]->dispatch(effEditKeyDown, c, 0, nullptr, 0.0f); }

    void pointer(size_t i, Point p)
    {
        int rx = 0, ry = 0;
        Window child = 0;
        XTranslateCoordinates(display, windows[i], DefaultRootWindow(display), p.x, p.y, &rx, &ry, &child);
        XTestFakeMotionEvent(display, DefaultScreen(display), rx, ry, CurrentTime);
        XSync(display, False);
    }

    void button(bool press)
    {
        XTestFakeButtonEvent(display, 1, press ? True : False, CurrentTime);
        XSync(display, False);
    }

    void click(size_t i, Point p)
    {
        pointer(i, p);
        button(true);
        idle(i);
        button(false);
        idle(i);
    }

    void close(size_t i) { plugins[i]->dispatch(effEditClose); }

    size_t count() const { return plugins.size(); }

private:
    Display* display;
    std::vector<std::unique_ptr<HostedPlugin>> plugins;
    std::vector<Window> windows;
};

int sizes(Host& host, const std::string& path)
{
    struct Size
    {
        int w, h, x, y;
    };
    const Size sizes[] = {{1024, 576, 0, 0}, {1600, 900, 0, 600}, {640, 360, 1100, 0}};
    for (const Size& s : sizes)
        if (!host.open(path, s.w, s.h, s.x, s.y))
            return 1;
    for (size_t i = 0; i < host.count(); ++i)
        host.key(i, 'e');
    host.idleAll(10);
    std::vector<std::vector<double>> times(host.count());
    for (int round = 0; round < 100; ++round)
    {
        for (size_t i = 0; i < host.count(); ++i)
            host.automate(i, kShownKnob, float(round % 50) / 49.0f);
        for (size_t i = 0; i < host.count(); ++i)
            times[i].push_back(host.idle(i));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (size_t i = 0; i < host.count(); ++i)
        std::printf("sizes\twindow %dx%d\tidle median %.2f ms\tmax %.2f ms\n", sizes[i].w, sizes[i].h,
                    median(times[i]), *std::max_element(times[i].begin(), times[i].end()));
    return 0;
}

int drag(Host& host, const std::string& path, bool beside)
{
    if (!host.open(path, 1024, 576, 0, 0))
        return 1;
    if (beside && !host.open(path, 1024, 576, 1300, 0))
        return 1;
    // Every window settled, as a user's would be before the drag.
    host.idleAll(75);
    std::vector<double> steps, rounds;
    host.pointer(0, kHandle);
    host.button(true);
    host.idle(0);
    for (int step = 1; step <= 60; ++step)
    {
        host.pointer(0, Point{kHandle.x + 4 * step, kHandle.y + 2 * step});
        const double dragged = host.idle(0);
        double round = dragged;
        for (size_t i = 1; i < host.count(); ++i)
            round += host.idle(i);
        steps.push_back(dragged);
        rounds.push_back(round);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    host.button(false);
    host.idle(0);
    std::printf("drag\t%s\tstep median %.2f ms\tround of idle calls median %.2f ms\n",
                beside ? "beside another window" : "alone", median(steps), median(rounds));
    return 0;
}

int openHeap(Host& host, const std::string& path)
{
    if (!host.load(path, 1024, 576))
        return 1;
    const double heap0 = heapBytes(), rss0 = residentBytes();
    PeakHeap peak;
    const auto opened = Clock::now();
    bool opening = host.openEditor(0, 0, 0);
    for (double at : {0.2, 0.5, 1.0, 2.0})
    {
        while (opening && ms(Clock::now() - opened) < at * 1000)
            host.idleAll(1);
        std::printf("open\tat %.1f s\theap %+.1f MB\tRSS %+.1f MB\thighest heap so far %+.1f MB\n", at,
                    (heapBytes() - heap0) / 1e6, (residentBytes() - rss0) / 1e6, (peak.highest() - heap0) / 1e6);
    }
    return opening ? 0 : 1;
}

int closedHeap(Host& host, const std::string& path, double seconds)
{
    if (!host.load(path, 1024, 576))
        return 1;
    const double heap0 = heapBytes(), rss0 = residentBytes();
    PeakHeap peak;
    const auto opened = Clock::now();
    if (!host.openEditor(0, 0, 0))
        return 1;
    host.idle(0);
    // Single edit, multi edit, system, and back to single mode's play page.
    host.click(0, kEdit);
    host.click(0, kModeMulti);
    host.click(0, kEdit);
    host.click(0, kSystem);
    host.click(0, kModeSingle);
    while (ms(Clock::now() - opened) < seconds * 1000)
        host.idleAll(1);
    const double closedAt = ms(Clock::now() - opened) / 1000;
    host.close(0);
    std::printf("closed\tafter %.2f s, pages visited\theap kept %+.1f MB\tRSS %+.1f MB\thighest heap while open %+.1f MB\n",
                closedAt, (heapBytes() - heap0) / 1e6, (residentBytes() - rss0) / 1e6, (peak.highest() - heap0) / 1e6);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    std::printf("closed\t2 s later\theap kept %+.1f MB\tRSS %+.1f MB\n", (heapBytes() - heap0) / 1e6,
                (residentBytes() - rss0) / 1e6);
    // How much of the RSS is freed memory malloc has not handed back yet.
    malloc_trim(0);
    std::printf("closed\tafter malloc_trim\theap kept %+.1f MB\tRSS %+.1f MB\n", (heapBytes() - heap0) / 1e6,
                (residentBytes() - rss0) / 1e6);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: editor_host_scenes DARVELLO.so sizes|drag [beside]|open|closed [SECONDS]\n");
        return 2;
    }
    XInitThreads();
    Display* display = XOpenDisplay(nullptr);
    if (!display)
    {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const std::string path = argv[1], scene = argv[2];
    int status = 2;
    {
        Host host(display);
        if (scene == "sizes")
            status = sizes(host, path);
        else if (scene == "drag")
            status = drag(host, path, argc > 3 && std::string(argv[3]) == "beside");
        else if (scene == "open")
            status = openHeap(host, path);
        else if (scene == "closed")
            status = closedHeap(host, path, argc > 3 ? std::atof(argv[3]) : 0.3);
    }
    XCloseDisplay(display);
    return status;
}
