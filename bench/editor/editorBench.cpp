// The plug-in window as a user drags its resize handle: K1Editor on a facade
// with the compiled-in panel, at the default size, one zoom step (a zoom not
// seen before in the drag, the window resized to it) and the full redraw
// that follows, on each page: play, single edit (with the envelope view and
// the source mix), multi edit (four section strips), system.

#include <benchmark/benchmark.h>

#include "tests/editor/editorFixture.h"

namespace
{
using namespace VSTGUI;
using editortest::EditorHarness;

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
BENCHMARK(BM_EditorZoomStep)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
} // namespace
