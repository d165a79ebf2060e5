// Darvello.so's window in a real X11 host window: vsthost opens it as a Linux
// host does, under the test command's Xvfb, and acts on it through the X
// server. What it shows is compared with the same editor drawn headless in
// this process; where to click is read from that headless editor too.

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "vst/k1ui.h"
#include "vst/myVstAudioEffect.h"
#include "tests/editor/editorFixture.h"
#include "tests/support/testDisplay.h"
#include "tests/support/windowHost.h"
#include "tools/vsthost/wavFile.h"

using namespace VSTGUI;
using k1test::HostRun;
using k1test::runHost;

namespace
{
std::string temp(const std::string& name)
{
    return ::testing::TempDir() + "hosted_window_" + name;
}

// A picture's pixels as 0xRRGGBB.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    static Picture of(cairo_surface_t* s)
    {
        Picture p;
        cairo_surface_flush(s);
        p.width = cairo_image_surface_get_width(s);
        p.height = cairo_image_surface_get_height(s);
        const int stride = cairo_image_surface_get_stride(s);
        const uint8_t* data = cairo_image_surface_get_data(s);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                p.pixels.push_back(reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFF);
        return p;
    }
    // Written for a look when a comparison fails.
    void save(const std::string& path) const
    {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        cairo_surface_flush(s);
        for (int y = 0; y < height; ++y)
            std::copy_n(&pixels[size_t(y * width)], width,
                        reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s)));
        cairo_surface_mark_dirty(s);
        cairo_surface_write_to_png(s, path.c_str());
        cairo_surface_destroy(s);
    }
    static Picture load(const std::string& path)
    {
        cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
        Picture p = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS ? of(s) : Picture{};
        cairo_surface_destroy(s);
        return p;
    }
};

// Pixels inside area but outside except (window pixels) that differ by more
// than one step in any colour; -1 when the pictures differ in size. box, when
// given, gets the rectangle around them.
int differing(const Picture& a, const Picture& b, CRect area, const CRect& except = {}, CRect* box = nullptr)
{
    if (a.width != b.width || a.height != b.height || a.pixels.empty())
        return -1;
    area.bound(CRect(0, 0, a.width, a.height));
    int count = 0;
    for (int y = int(area.top); y < int(area.bottom); ++y)
        for (int x = int(area.left); x < int(area.right); ++x)
        {
            if (except.pointInside(CPoint(x, y)))
                continue;
            const uint32_t p = a.pixels[size_t(y * a.width + x)], q = b.pixels[size_t(y * b.width + x)];
            for (int shift : {0, 8, 16})
                if (std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)) > 1)
                {
                    if (box)
                        *box = count == 0 ? CRect(x, y, x + 1, y + 1) : box->unite(CRect(x, y, x + 1, y + 1));
                    ++count;
                    break;
                }
        }
    return count;
}

// The same over the whole picture, except one area.
int differingOutside(const Picture& a, const Picture& b, const CRect& except, CRect* box = nullptr)
{
    return differing(a, b, CRect(0, 0, a.width, a.height), except, box);
}

std::string text(const CRect& r)
{
    return std::to_string(int(r.left)) + "," + std::to_string(int(r.top)) + " to " + std::to_string(int(r.right)) +
           "," + std::to_string(int(r.bottom));
}

// Darvello's editor drawn headless on a facade of its own, at the default
// window size: the picture the host's window must show, and where things are.
class Reference
{
public:
    explicit Reference(const CRect& rect = K1Editor::getDefaultRect())
        : h(rect, editortest::EditorHarness::Description::Panel)
    {
        h.idle();
    }

    Picture picture()
    {
        h.idle();
        return Picture::of(h.window->render());
    }
    CView* view(const std::string& name) const { return h.find<CView>(name); }
    // A view's rectangle in window pixels.
    CRect rectOf(const std::string& name) const
    {
        CView* v = view(name);
        if (!v)
            return {};
        CPoint topLeft = v->getViewSize().getTopLeft(), bottomRight = v->getViewSize().getBottomRight();
        v->localToFrame(topLeft);
        v->localToFrame(bottomRight);
        const CPoint origin = h.frame->getViewSize().getTopLeft();
        return CRect(topLeft - origin, bottomRight - topLeft);
    }
    // The display plays its own sequences on the clock (the real one in the
    // host, a still one here): the one area the pictures may differ in.
    CRect display() const
    {
        CRect r = rectOf("LCDLines");
        r.unite(rectOf("LCDLight"));
        // Whole pixels, and the one its smoothed edge reaches into.
        return CRect(std::floor(r.left) - 1, std::floor(r.top) - 1, std::ceil(r.right) + 1, std::ceil(r.bottom) + 1);
    }
    std::string at(const std::string& name) const
    {
        const CPoint c = h.centerOf(view(name));
        return std::to_string(int(c.x)) + "," + std::to_string(int(c.y));
    }

    editortest::EditorHarness h;
};

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

using EditorInAHost = k1test::DisplayTest;
using EditorChurn = k1test::DisplayTest;
} // namespace

TEST_F(EditorInAHost, OpensOnThePlayPageAndKeysSwitchPagesAsTheHeadlessEditorShows)
{
    Reference ref;
    std::vector<Picture> expected{ref.picture()};
    std::string steps = " --do shot:" + temp("keys0.png");
    const std::string keys = "12345PE";
    for (size_t i = 0; i < keys.size(); ++i)
    {
        ref.h.pressKey(keys[i]);
        expected.push_back(ref.picture());
        steps += " --do key:" + std::string(1, keys[i]) + " --do shot:" + temp("keys" + std::to_string(i + 1) + ".png");
    }
    const HostRun run = runHost(display.name(), "--editor" + steps);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.lines("editor\trect"), (std::vector<std::string>{"editor\trect\t1024\t576", "editor\trect\t1024\t576"}));
    EXPECT_EQ(run.lines("editor\topen"), (std::vector<std::string>{"editor\topen\t1"}));
    const CRect display = ref.display();
    ASSERT_FALSE(display.isEmpty());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        const Picture shot = Picture::load(temp("keys" + std::to_string(i) + ".png"));
        CRect box;
        const int wrong = differingOutside(shot, expected[i], display, &box);
        EXPECT_EQ(wrong, 0) << "after " << keys.substr(0, i) << ", within " << text(box);
        if (wrong != 0)
            expected[i].save(temp("keys" + std::to_string(i) + ".expected.png"));
        if (i > 0)
        {
            EXPECT_GT(differingOutside(expected[i], expected[i - 1], display), 1000)
                << "key " << keys[i - 1] << " shows another page";
        }
    }
}

TEST_F(EditorInAHost, DraggingSourceOnesLevelAutomatesSendsOneParameterChangePerStepAndChangesTheSound)
{
    Reference ref;
    ref.h.pressKey('1');
    const std::string knob = ref.at("Param_SourceS1EnvLevel");
    const k1lib::EParam level = k1lib::Param_SourceS1EnvLevel;
    const std::string quiet = temp("quiet.wav"), loud = temp("loud.wav");
    const HostRun dragged = runHost(display.name(), "--editor --do key:1 --do drag:" + knob + ",0,48,6 --midi-out --out " + quiet);
    const HostRun untouched = runHost(display.name(), "--editor --do key:1 --out " + loud);
    ASSERT_EQ(dragged.status, 0) << dragged.out;
    ASSERT_EQ(untouched.status, 0) << untouched.out;

    // Six steps down, each a tenth of the knob's travel at this zoom: six
    // automations of the level, falling, and six K1 parameter changes on the
    // MIDI output.
    std::vector<float> values;
    for (const std::string& line : dragged.lines("automate\t"))
    {
        int frame = 0, index = 0;
        float value = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "automate\t%d\t%d\t%f", &frame, &index, &value), 3) << line;
        EXPECT_EQ(index, int(level)) << line;
        values.push_back(value);
    }
    ASSERT_EQ(values.size(), 6u) << dragged.out;
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_LT(values[i], values[i - 1]);
    size_t changes = 0;
    for (const std::string& line : dragged.lines("midi out\t"))
        changes += contains(line, "\tf0 40 00 10 ");
    EXPECT_EQ(changes, 6u) << dragged.out;
    EXPECT_TRUE(untouched.lines("automate\t").empty()) << untouched.out;

    vsthost::Audio a, b;
    ASSERT_TRUE(vsthost::readWav(quiet, a));
    ASSERT_TRUE(vsthost::readWav(loud, b));
    const auto rms = [](const vsthost::Audio& audio) {
        double sum = 0;
        for (float s : audio.channels[0])
            sum += double(s) * s;
        return std::sqrt(sum / double(audio.frames()));
    };
    EXPECT_LT(rms(a), 0.8 * rms(b)) << "source 1 silenced";
}

TEST_F(EditorInAHost, HostAutomationMovesAShownKnobAndAProgramChangeRenamesTheNameField)
{
    Reference ref;
    ref.h.pressKey('1');
    const k1lib::EParam attack = k1lib::Param_SourceS1EnvAttack;
    const CRect knob = ref.rectOf("Param_SourceS1EnvAttack");
    const Picture before = ref.picture();
    ref.h.plugin->setParameter(attack, 0.9f);
    const Picture moved = ref.picture();
    ref.h.pressKey('5');
    const Picture common = ref.picture();
    ref.h.plugin->setCurrentPresetIndex(7);
    const Picture renamed = ref.picture();
    const CRect name = ref.rectOf("editSingleName");
    ASSERT_GT(differing(before, moved, knob), 0);
    ASSERT_GT(differing(common, renamed, name), 0);

    const HostRun run = runHost(display.name(), "--editor --do key:1 --do shot:" + temp("auto0.png") + " --do param:" +
                                             std::to_string(attack) + "=0.9 --do idle:1 --do shot:" + temp("auto1.png") +
                                             " --do key:5 --do shot:" + temp("auto2.png") +
                                             " --do program:7 --do idle:1 --do shot:" + temp("auto3.png"));
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(differing(Picture::load(temp("auto0.png")), before, knob), 0);
    EXPECT_EQ(differing(Picture::load(temp("auto1.png")), moved, knob), 0);
    EXPECT_EQ(differing(Picture::load(temp("auto2.png")), common, name), 0);
    EXPECT_EQ(differing(Picture::load(temp("auto3.png")), renamed, name), 0);
}

TEST_F(EditorInAHost, AStateWithA1600By900WindowOpensAtThatSizeAlsoWhenReopenedAndKeepsAZoomedSize)
{
    // A project saved with the window at 1600 x 900.
    const std::string state = temp("wide.state"), saved = temp("saved.state");
    {
        MyVSTAudioEffect effect([](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
            return opcode == audioMasterVersion ? kVstVersion : 0;
        });
        effect.editorBridge()->loadState({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 6, 0, 0, 0x84, 3, 0, 0});
        void* data = nullptr;
        const VstInt32 size = effect.getChunk(&data, false);
        ASSERT_EQ(size, 115707);
        std::ofstream(state, std::ios::binary).write(static_cast<const char*>(data), size);
    }
    const HostRun run = runHost(display.name(), "--load-chunk " + state + " --editor --do shot:" + temp("wide0.png") +
                                             " --do reopen --do shot:" + temp("wide1.png") + " --save-chunk " + saved);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.lines("editor\trect"), std::vector<std::string>(4, "editor\trect\t1600\t900")) << run.out;
    EXPECT_EQ(run.lines("editor\topen").size(), 2u);
    for (const char* shot : {"wide0.png", "wide1.png"})
    {
        const Picture p = Picture::load(temp(shot));
        EXPECT_EQ(p.width, 1600) << shot;
        EXPECT_EQ(p.height, 900) << shot;
    }
    // The project saved again keeps it, and nothing else changed.
    const auto bytesOf = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<char>{std::istreambuf_iterator<char>(in), {}};
    };
    EXPECT_EQ(bytesOf(saved), bytesOf(state));

    // Zoomed by its handle, the window asks the host for each new size; the
    // host reads the last one after closing, and the state keeps it.
    const Reference wide(CRect(0, 0, 1600, 900));
    const HostRun zoomed = runHost(display.name(), "--load-chunk " + state + " --editor --do drag:" + wide.at("resizeHandle") +
                                                ",160,90,4 --do reopen --save-chunk " + saved);
    ASSERT_EQ(zoomed.status, 0) << zoomed.out;
    // The first line after closing is the host's question before reopening.
    const std::string closing = "editor\tclose\n";
    const size_t closed = zoomed.out.find(closing);
    ASSERT_NE(closed, std::string::npos);
    const std::vector<std::string> sizes = HostRun{0, zoomed.out.substr(0, closed)}.lines("editor\tsize window\t");
    ASSERT_GE(sizes.size(), 2u) << zoomed.out;
    int w = 0, h = 0, lastW = 0, lastH = 0;
    ASSERT_EQ(std::sscanf(zoomed.out.c_str() + closed + closing.size(), "editor\trect\t%d\t%d", &w, &h), 2)
        << zoomed.out;
    ASSERT_EQ(std::sscanf(sizes.back().c_str(), "editor\tsize window\t%d\t%d", &lastW, &lastH), 2);
    EXPECT_GT(lastW, 1600);
    EXPECT_EQ(w, lastW);
    EXPECT_EQ(h, lastH);
    const std::vector<char> zoomedState = bytesOf(saved);
    ASSERT_EQ(zoomedState.size(), 115707u);
    MyVSTAudioEffect restored([](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
        return opcode == audioMasterVersion ? kVstVersion : 0;
    });
    std::vector<char> copy = zoomedState;
    ASSERT_EQ(restored.setChunk(copy.data(), VstInt32(copy.size()), false), VstInt32(copy.size()));
    ERect* r = nullptr;
    restored.dispatcher(effEditGetRect, 0, 0, &r, 0.0f);
    ASSERT_NE(r, nullptr);
    EXPECT_GE(r->right - r->left, lastW);
}

// A damaged state's window rectangle: the host that sizes its window from
// effEditGetRect before opening gets the size the window opens at.
TEST_F(EditorInAHost, ADamagedStateRectangleIsAnsweredAsTheSizeTheWindowOpensAt)
{
    MyVSTAudioEffect effect([](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
        return opcode == audioMasterVersion ? kVstVersion : 0;
    });
    void* data = nullptr;
    ASSERT_EQ(effect.getChunk(&data, false), 115707);
    std::vector<char> chunk(static_cast<const char*>(data), static_cast<const char*>(data) + 115707);
    // The 20-byte window block at 908: version, left, top, right, bottom.
    ASSERT_EQ(chunk[904], 20);
    for (const auto& [right, bottom, opensAt] : std::vector<std::tuple<int32_t, int32_t, std::string>>{
             {0, 0, "640\t360"}, {-200, -100, "640\t360"}, {5000, 5000, "2560\t1440"},
             {32767, 30000, "2560\t1440"}, {1000, 1000, "1000\t563"}})
    {
        std::memcpy(&chunk[920], &right, 4);
        std::memcpy(&chunk[924], &bottom, 4);
        std::ofstream(temp("damaged.state"), std::ios::binary).write(chunk.data(), std::streamsize(chunk.size()));
        const HostRun run = runHost(display.name(), "--load-chunk " + temp("damaged.state") + " --editor --do rect --do reopen");
        ASSERT_EQ(run.status, 0) << run.out;
        // Before the first opening, after it, asked, before and after the reopening.
        EXPECT_EQ(run.lines("editor\trect"), std::vector<std::string>(5, "editor\trect\t" + opensAt)) << run.out;
        EXPECT_TRUE(run.lines("editor\tsize window").empty()) << run.out;
    }
}

TEST_F(EditorChurn, OpenedAndClosed200TimesWhileAudioRunsItLeavesNothingBehind)
{
    // Program changes every eighth block and automation of shown knobs in
    // every block, while the host opens and closes the window.
    const HostRun run = runHost(display.name(), "--editor --busy-audio --busy-param " + std::to_string(k1lib::Param_SourceS1EnvLevel) +
                                         " --busy-param " + std::to_string(k1lib::Param_LfoSpeed) +
                                         " --do key:1 --do reopen*20 --do close --do memory --do reopen*180 --do close"
                                         " --do memory");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.lines("editor\topen\t1").size(), 201u);
    const std::vector<std::string> memory = run.lines("memory\t");
    ASSERT_EQ(memory.size(), 2u) << run.out;
    long residentA = 0, residentB = 0;
    unsigned long heapA = 0, heapB = 0;
    ASSERT_EQ(std::sscanf(memory[0].c_str(), "memory\t%ld\t%lu", &residentA, &heapA), 2);
    ASSERT_EQ(std::sscanf(memory[1].c_str(), "memory\t%ld\t%lu", &residentB, &heapB), 2);
    // With the window closed, the heap in use after 200 openings is that
    // after 20: a window's own memory (over 10 MB of bitmaps) kept by any of
    // them would show many times over.
    EXPECT_LT(double(heapB), double(heapA) + 1.0e6) << memory[0] << "\n" << memory[1];
}

// A host that hands the editor no window to live in hears so; one that
// destroys the editor's parent and then closes the editor before any idle
// keeps running (an X error on the editor's connection is not its end).
TEST_F(EditorInAHost, NoParentIsNoWindowAndADestroyedParentLeavesTheHostRunning)
{
    const char* saved = std::getenv("DISPLAY");
    const std::string previous = saved ? saved : "";
    setenv("DISPLAY", display.name().c_str(), 1);
    {
        MyVSTAudioEffect effect([](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
            return opcode == audioMasterVersion ? kVstVersion : 0;
        });
        for (uintptr_t parent : {uintptr_t(0), uintptr_t(1), uintptr_t(0xDEADBEEF)})
        {
            EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.0f), 0) << parent;
            effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
            effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        }
        Display* x = XOpenDisplay(display.name().c_str());
        ASSERT_NE(x, nullptr);
        for (int round = 0; round < 3; ++round)
        {
            const Window parent = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 800, 600, 0, 0, 0);
            XMapWindow(x, parent);
            XSync(x, False);
            ASSERT_EQ(effect.dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(parent)), 0.0f), 1);
            if (round == 1)
                effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
            XDestroyWindow(x, parent);
            XSync(x, False);
            effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        }
        // The next window opens, idles and closes as ever.
        const Window parent = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 800, 600, 0, 0, 0);
        XMapWindow(x, parent);
        XSync(x, False);
        EXPECT_EQ(effect.dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(parent)), 0.0f), 1);
        effect.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
        effect.dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        XDestroyWindow(x, parent);
        XCloseDisplay(x);
    }
    if (saved)
        setenv("DISPLAY", previous.c_str(), 1);
    else
        unsetenv("DISPLAY");
}
