// The plug-in window as a user meets it, on the compiled-in panel in a
// headless window: the first opening of a process (the description read and
// its bitmaps decoded), every later opening, a page switch, a step of a
// resize drag (alone and beside another instance's window), three windows
// at three sizes with a knob moving in each, and the heap the open window
// holds. The host's view of the same (beside another plug-in's editor, under
// X) is hostCompare.sh; several instances under X, hostScenes.cpp.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include "editor/uiXml.h"
#include "tests/editor/editorFixture.h"

namespace
{
using namespace VSTGUI;
using editortest::EditorHarness;

// As the machine sees it: large pixel buffers are mmap'd blocks.
size_t heapInUse()
{
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// What the first opening of a process does beyond a later one: read the
// description and decode the bitmaps the first page draws. Each round works
// on a description of its own, as a fresh process would.
void BM_EditorFirstOpen(benchmark::State& state)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    for (auto _ : state)
    {
        Xml::MemoryContentProvider provider(k1editor::getData_uiXml(), k1editor::getDataSize_uiXml());
        auto description = owned(new UIDescription(&provider));
        if (!description->parse())
        {
            state.SkipWithError("the panel does not parse");
            break;
        }
        auto* frame = new CFrame(K1Editor::getDefaultRect(), nullptr);
        frame->addView(description->createView("Darvello", nullptr));
        frame->open(nullptr, PlatformType::kDefaultNative, &h.frameConfig);
        frame->setTransform(CGraphicsTransform().scale(0.4, 0.4));
        benchmark::DoNotOptimize(HeadlessFrame::from(frame)->render());
        frame->close();
    }
    state.SetLabel("parse, build, decode, draw at 1024 x 576");
}
BENCHMARK(BM_EditorFirstOpen)->Unit(benchmark::kMillisecond);

// Close and open again, and draw: what every opening after the first costs.
void BM_EditorReopen(benchmark::State& state)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    h.window->render();
    for (auto _ : state)
    {
        h.reopenEditor();
        h.idle();
        benchmark::DoNotOptimize(h.window->render());
    }
}
BENCHMARK(BM_EditorReopen)->Unit(benchmark::kMillisecond);

// The play page and the single edit page in turn by key, each drawn.
void BM_EditorPageSwitch(benchmark::State& state)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    h.window->render();
    bool edit = false;
    for (auto _ : state)
    {
        edit = !edit;
        h.pressKey(edit ? 'e' : 'p');
        h.idle();
        benchmark::DoNotOptimize(h.window->render());
    }
}
BENCHMARK(BM_EditorPageSwitch)->Unit(benchmark::kMillisecond);

// The heap an open window holds at 1024 x 576, beyond what the process holds
// with it closed, on the play page and after a visit to every page, once the
// zoom has settled (reported as counters; the time is not the point).
void BM_EditorMemory(benchmark::State& state)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    auto settle = [&] {
        for (int i = 0; i < 3; ++i)
        {
            h.factory.advanceTime(1000);
            h.idle();
            h.window->render();
        }
    };
    double open = 0, visited = 0;
    for (auto _ : state)
    {
        h.closeEditor();
        const double closed = double(heapInUse());
        h.reopenEditor();
        settle();
        open = double(heapInUse()) - closed;
        h.pressKey('e');
        settle();
        h.plugin->setPlayMode(k1lib::PlayMode::Multi);
        h.idle();
        settle();
        h.click(h.find<CKickButton>("btSystem"));
        settle();
        h.plugin->setPlayMode(k1lib::PlayMode::Single);
        h.pressKey('p');
        settle();
        visited = double(heapInUse()) - closed;
    }
    state.counters["open MB"] = open / 1e6;
    state.counters["all pages MB"] = visited / 1e6;
}
BENCHMARK(BM_EditorMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_EditorZoomStep(benchmark::State& state)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    switch (state.range(0))
    {
    case 1: h.pressKey('1'); break;
    case 2:
        h.plugin->setPlayMode(k1lib::PlayMode::Multi);
        h.idle();
        h.pressKey('E');
        break;
    case 3: h.click(h.find<CKickButton>("btSystem")); break;
    default: break;
    }
    h.idle();
    h.window->render();
    int step = 0;
    for (auto _ : state)
    {
        h.editor->changeZoom(0.4 + 0.001 * (1 + step++ % 200));
        benchmark::DoNotOptimize(h.window->render());
    }
    static const char* const pages[] = {"play", "single edit", "multi edit", "system"};
    state.SetLabel(pages[state.range(0)]);
}
// A step of a resize drag (a zoom not seen before in the drag, the window
// resized to it) and the full redraw that follows, on each page: play,
// single edit (with the envelope view and the source mix), multi edit (four
// section strips), system.
BENCHMARK(BM_EditorZoomStep)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
} // namespace

namespace
{
// Three instances' windows at three sizes on the single edit page, settled,
// host automation moving a shown knob in each: a round of the three windows'
// idle calls and redraws. Each window draws from copies at its own size.
void BM_EditorThreeSizes(benchmark::State& state)
{
    EditorHarness a(CRect(0, 0, 1024, 576), EditorHarness::Description::Panel);
    EditorHarness b(CRect(0, 0, 1600, 900), EditorHarness::Description::Panel);
    EditorHarness c(CRect(0, 0, 640, 360), EditorHarness::Description::Panel);
    EditorHarness* windows[] = {&a, &b, &c};
    auto round = [&] {
        for (EditorHarness* h : windows)
        {
            h->idle();
            benchmark::DoNotOptimize(h->window->render());
        }
    };
    for (EditorHarness* h : windows)
        h->pressKey('e');
    for (int i = 0; i < 3; ++i)
    {
        c.factory.advanceTime(1000); // the clock of the platform in use: the last harness made
        round();
    }
    CBitmap* knob = K1Editor::getPanelDescription()->getBitmap("knob");
    const int decodes = knob->getDecodeCount();
    int step = 0;
    for (auto _ : state)
    {
        for (EditorHarness* h : windows)
            h->plugin->setParameter(k1lib::Param_SourceS1EnvAttack, float(step % 50) / 49.0f);
        ++step;
        round();
    }
    state.counters["knob decodes"] = double(knob->getDecodeCount() - decodes);
    state.SetLabel("1024 x 576, 1600 x 900, 640 x 360");
}
BENCHMARK(BM_EditorThreeSizes)->Unit(benchmark::kMillisecond);

// A step of a resize drag and its redraw, alone (0) or beside another
// instance's window that has settled and idles meanwhile (1): the step should
// cost the same.
void BM_EditorZoomStepBeside(benchmark::State& state)
{
    EditorHarness other(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    if (state.range(0) == 0)
        other.closeEditor();
    auto idleAll = [&] {
        h.idle();
        if (other.editor)
            other.idle();
    };
    for (int i = 0; i < 3; ++i)
    {
        h.factory.advanceTime(1000);
        idleAll();
        h.window->render();
        if (other.editor)
            other.window->render();
    }
    int step = 0;
    for (auto _ : state)
    {
        h.editor->changeZoom(0.4 + 0.001 * (1 + step++ % 200));
        benchmark::DoNotOptimize(h.window->render());
        idleAll();
    }
    state.SetLabel(state.range(0) ? "beside another window" : "alone");
}
BENCHMARK(BM_EditorZoomStepBeside)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
} // namespace
