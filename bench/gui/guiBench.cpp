// Drawing the panel with the toolkit as the editor shows it: the compiled-in
// description parsed and built, then drawn in the default window (1024 x 576,
// zoom 0.4) with high-quality bitmap scaling. Measured: reading the
// description, a full redraw, one knob's redraw after its value changed, and
// one step of a resize drag (a new zoom, then a full redraw).

#include <benchmark/benchmark.h>

#include <cairo.h>

#include <string>

#include "editor/uiXml.h"
#include "gui/cframe.h"
#include "gui/cknob.h"
#include "gui/platform/headless.h"
#include "gui/uidescription.h"

namespace
{
using namespace VSTGUI;

CView* buildPanel()
{
    Xml::MemoryContentProvider provider(k1editor::getData_uiXml(), k1editor::getDataSize_uiXml());
    auto* description = new UIDescription(&provider);
    CView* root = description->parse() ? description->createView("Darvello", nullptr) : nullptr;
    description->forget();
    return root;
}

CView* find(CView* view, const std::string& name)
{
    uint32_t size = 0;
    if (view->getAttributeSize(kCViewCustomViewName, size) && size)
    {
        std::string s(size, '\0');
        uint32_t got = 0;
        view->getAttribute(kCViewCustomViewName, size, s.data(), got);
        s.resize(got);
        if (s == name)
            return view;
    }
    CView* found = nullptr;
    if (auto* c = view->asViewContainer())
        c->forEachChild([&](CView* child) {
            if (!found)
                found = find(child, name);
        });
    return found;
}

// The panel in a headless window at zoom 0.4 showing the single edit page.
struct Panel
{
    Panel()
    {
        root = buildPanel();
        frame = new CFrame(CRect(0, 0, 2560, 1440), nullptr);
        frame->addView(root);
        HeadlessFrameConfig config;
        frame->open(nullptr, PlatformType::kDefaultNative, &config);
        frame->setBitmapInterpolationQuality(BitmapInterpolationQuality::kHigh);
        frame->setZoom(0.4);
        find(root, "mode_play")->setVisible(false);
        find(root, "mode_edit")->setVisible(true);
        window = HeadlessFrame::from(frame);
    }
    ~Panel() { frame->forget(); }
    CView* root;
    CFrame* frame;
    HeadlessFrame* window;
};

void BM_ReadPanelDescription(benchmark::State& state)
{
    for (auto _ : state)
    {
        CView* root = buildPanel();
        benchmark::DoNotOptimize(root);
        root->forget();
    }
    state.SetBytesProcessed(int64_t(state.iterations() * k1editor::getDataSize_uiXml()));
}
BENCHMARK(BM_ReadPanelDescription)->Unit(benchmark::kMillisecond);

void BM_FullRedraw(benchmark::State& state)
{
    Panel panel;
    panel.window->render(); // the first drawing at a zoom may prepare what later ones reuse
    for (auto _ : state)
        benchmark::DoNotOptimize(panel.window->render());
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

void BM_KnobRedraw(benchmark::State& state)
{
    Panel panel;
    panel.window->render();
    auto* knob = dynamic_cast<CAnimKnob*>(find(panel.root, "Param_SourceS1EnvAttack"));
    CPoint topLeft = knob->getViewSize().getTopLeft(), bottomRight = knob->getViewSize().getBottomRight();
    knob->getParentView()->localToFrame(topLeft);
    knob->getParentView()->localToFrame(bottomRight);
    const CRect rect(topLeft, bottomRight - topLeft);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1024, 576);
    int step = 0;
    for (auto _ : state)
    {
        knob->setValueNormalized(float(step++ % 101) / 100.f);
        cairo_t* cr = cairo_create(surface);
        cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
        cairo_clip(cr);
        auto* context = new CDrawContext(cr);
        panel.frame->drawFrame(context, rect);
        context->forget();
        cairo_destroy(cr);
    }
    cairo_surface_destroy(surface);
}
BENCHMARK(BM_KnobRedraw)->Unit(benchmark::kMicrosecond);

void BM_ResizeDragStep(benchmark::State& state)
{
    Panel panel;
    panel.window->render();
    int step = 0;
    for (auto _ : state)
    {
        // Every step a zoom not seen before in this drag (0.4 up to 0.6).
        panel.frame->setZoom(0.4 + 0.001 * (step++ % 200));
        benchmark::DoNotOptimize(panel.window->render());
    }
}
BENCHMARK(BM_ResizeDragStep)->Unit(benchmark::kMillisecond);
} // namespace
