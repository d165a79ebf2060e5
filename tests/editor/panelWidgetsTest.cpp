// The source-mix joystick, the envelope view and the zoom: a right click
// writes the middle twice over, a drag stops at the circle and writes the
// values of where it stopped, host automation moves the throttle along its
// own axis only; the envelope shape fits the view at the longest times and
// ignores the other sources; the rectangle rules, setSize, and a drag of the
// resize handle that stops at both zoom limits and returns to where it began.

#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>

#include "editor/k1EditorWidgets.h"
#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;

namespace
{
using Writes = std::vector<std::pair<k1lib::EParam, float>>;

double distance(const CPoint& a, const CPoint& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// The colour of one window pixel, as 0xRRGGBB.
uint32_t pixel(cairo_surface_t* surface, const CPoint& where)
{
    const auto* row = cairo_image_surface_get_data(surface) +
                      int(where.y) * cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const uint32_t*>(row)[int(where.x)] & 0xFFFFFF;
}
} // namespace

TEST(EditorSourceMix, RightClickDragAndAutomation)
{
    EditorHarness h;
    ASSERT_EQ(h.pressKey('1'), 1);
    h.idle();
    CView* throttle = h.find<CView>("throttle");
    ASSERT_NE(throttle, nullptr);
    // The description's throttle: 40 x 40 at 140, 140 in a 180 x 180 area,
    // so the circle has its centre at 90, 90 and a radius of 70.
    const CPoint centre(90, 90);
    const double radius = 70;

    // A right click writes the middle to both, 107 first, also when they hold it.
    h.window->click(h.centerOf(throttle), kRButton);
    h.window->click(h.centerOf(throttle), kRButton);
    const Writes middle = {{k1lib::Param_SourceMix12, 0.5f}, {k1lib::Param_SourceMix34, 0.5f}};
    Writes twice = middle;
    twice.insert(twice.end(), middle.begin(), middle.end());
    EXPECT_EQ(h.bridge.automation, twice);
    EXPECT_EQ(throttle->getViewSize().getCenter(), centre);

    // A drag far beyond the circle, down and to the right: the throttle stops
    // on the circle and what it writes is the stopped position.
    h.bridge.automation.clear();
    const CPoint press = h.centerOf(throttle);
    ASSERT_EQ(h.window->mouseDown(press), kMouseEventHandled);
    h.window->mouseMoved(press + CPoint(400, 400));
    h.window->mouseUp(press + CPoint(400, 400));
    EXPECT_NEAR(distance(throttle->getViewSize().getCenter(), centre), radius, 1e-9);
    ASSERT_EQ(h.bridge.automation.size(), 2u);
    const double diagonal = 0.5 + radius / std::sqrt(2.0) / 140.0;
    EXPECT_EQ(h.bridge.automation[0].first, k1lib::Param_SourceMix12);
    EXPECT_NEAR(h.bridge.automation[0].second, diagonal, 1e-6);
    EXPECT_EQ(h.bridge.automation[1].first, k1lib::Param_SourceMix34);
    EXPECT_NEAR(h.bridge.automation[1].second, diagonal, 1e-6);
    EXPECT_FLOAT_EQ(h.plugin->getParameter(k1lib::Param_SourceMix34), h.bridge.automation[1].second);

    // Back to the middle, then the host moves 107: up and down only.
    h.window->click(h.centerOf(throttle), kRButton);
    h.idle();
    const CRect before = throttle->getViewSize();
    ASSERT_TRUE(h.plugin->setParameter(k1lib::Param_SourceMix12, 0.25f));
    h.idle();
    EXPECT_EQ(throttle->getViewSize().left, before.left);
    EXPECT_DOUBLE_EQ(throttle->getViewSize().top, 0.25 * 140);
    // A press with both buttons is not the throttle's.
    h.bridge.automation.clear();
    EXPECT_NE(h.window->mouseDown(h.centerOf(throttle), kLButton | kRButton), kMouseEventHandled);
    h.window->mouseUp(h.centerOf(throttle), kLButton | kRButton);
    EXPECT_TRUE(h.bridge.automation.empty());
}

TEST(EditorEnvelope, ShapeFitsAtTheLongestTimesAndFollowsTheActiveSource)
{
    EditorHarness h;
    ASSERT_EQ(h.pressKey('1'), 1);
    uiEnvelope* envelope = h.editor->getEnvelopeView();
    ASSERT_NE(envelope, nullptr);
    EXPECT_EQ(envelope->getViewSize(), h.find<CView>("envdummy")->getViewSize());

    for (k1lib::EParam p : {k1lib::Param_SourceS1EnvDelay, k1lib::Param_SourceS1EnvAttack,
                            k1lib::Param_SourceS1EnvDecay, k1lib::Param_SourceS1EnvRelease})
        h.plugin->setParameter(p, 1.0f);
    h.plugin->setParameter(k1lib::Param_SourceS1EnvSustain, 0.5f);
    h.idle();
    for (size_t offset : {size_t(k1lib::Param_SourceS1EnvDelay), size_t(k1lib::Param_SourceS1EnvRelease)})
        EXPECT_FLOAT_EQ(envelope->getParameter(offset), 100.0f);

    // Four times of a fifth each and the plateau: the release ends on the
    // right edge, at the bottom, and nothing leaves the view.
    const CRect r = envelope->getViewSize();
    const auto points = uiEnvelope::shape(r, 100, 100, 100, 50, 100);
    EXPECT_DOUBLE_EQ(points[3].x, r.left + r.getWidth() * 4 / 5);
    EXPECT_DOUBLE_EQ(points[4].x, r.right);
    EXPECT_DOUBLE_EQ(points[4].y, r.bottom - 1);
    EXPECT_DOUBLE_EQ(points[1].y, r.top);
    EXPECT_DOUBLE_EQ(points[2].y, r.top + 0.5 * (r.getHeight() - 1));

    // Drawn: green under the plateau, the panel's ground above the peak's left.
    cairo_surface_t* surface = h.window->render();
    auto toWindow = [&](CPoint p) {
        envelope->localToFrame(p);
        return p;
    };
    const uint32_t underPlateau = pixel(surface, toWindow(CPoint((points[2].x + points[3].x) / 2, r.bottom - 4)));
    EXPECT_EQ(underPlateau >> 16, 0u) << std::hex << underPlateau;
    EXPECT_GT((underPlateau >> 8) & 0xFF, 0x50u) << std::hex << underPlateau;
    const uint32_t beforeDelay = pixel(surface, toWindow(CPoint(r.left + 2, r.top + 2)));
    EXPECT_LT((beforeDelay >> 8) & 0xFF, 0x50u) << std::hex << beforeDelay;

    // Source 2's envelope changes: nothing to redraw while source 1 is shown;
    // on source 2's page the view shows source 2's values.
    h.plugin->setParameter(k1lib::Param_SourceS2EnvAttack, 0.0f);
    h.editor->idle();
    EXPECT_FALSE(h.window->hasInvalidRect());
    ASSERT_EQ(h.pressKey('2'), 1);
    EXPECT_FLOAT_EQ(envelope->getParameter(k1lib::Param_SourceS1EnvAttack), 0.0f);
}

TEST(EditorZoom, RectangleRulesSetSizeAndTheResizeHandle)
{
    auto valid = [](CRect r) {
        K1Editor::validateRect(r);
        return r;
    };
    EXPECT_EQ(valid(CRect(0, 0, 1000, 1000)), CRect(0, 0, 1000, 563));
    EXPECT_EQ(valid(CRect(0, 0, 4000, 1000)), CRect(0, 0, 1778, 1000));
    EXPECT_EQ(valid(CRect(10, 20, 110, 5020)), CRect(10, 20, 650, 380));
    CRect aspect(0, 0, 1600, 1600);
    K1Editor::validateAspect(aspect);
    EXPECT_EQ(aspect, CRect(0, 0, 1600, 900));
    CRect fractions(0.4, 0.5, 99.5, -0.4);
    K1Editor::roundRect(fractions);
    EXPECT_EQ(fractions, CRect(0, 1, 100, -0));

    EditorHarness h;
    CRect rect;
    // The window's own size: nothing to do, nothing said.
    EXPECT_FALSE(h.editor->setSize(CRect(0, 0, 1024, 576)));
    EXPECT_EQ(h.bridge.sizeChanges, 0);
    // A request that the rules turn into the present size: refused, but the
    // host hears the size that holds.
    EXPECT_FALSE(h.editor->setSize(CRect(0, 0, 1024, 900)));
    EXPECT_EQ(h.bridge.sizeChanges, 1);
    EXPECT_TRUE(h.editor->setSize(CRect(0, 0, 1600, 1000)));
    EXPECT_EQ(h.bridge.sizeChanges, 2);
    ASSERT_TRUE(h.editor->getRect(rect));
    EXPECT_EQ(rect, CRect(0, 0, 1600, 900));
    EXPECT_DOUBLE_EQ(h.editor->getZoom(), 0.625);
    EXPECT_EQ(h.window->getWidth(), 1600);

    // The handle: the zoom grows with the pointer's distance from the
    // window's corner, stops at 0.25 and 1.0, and comes back to the press.
    EXPECT_TRUE(h.editor->setSize(CRect(0, 0, 1024, 576)));
    h.bridge.sizeChanges = 0;
    CView* handle = h.find<CView>("resizeHandle");
    const CPoint press = h.centerOf(handle);
    ASSERT_EQ(h.window->mouseDown(press), kMouseEventHandled);
    struct Step
    {
        double factor;
        double zoom;
        int width;
    };
    for (const Step& s : {Step{1.5, 0.6, 1536}, Step{0.1, 0.25, 640}, Step{5.0, 1.0, 2560}, Step{1.0, 0.4, 1024}})
    {
        h.window->mouseMoved(CPoint(press.x * s.factor, press.y * s.factor));
        EXPECT_NEAR(h.editor->getZoom(), s.zoom, 1e-12) << s.factor;
        ASSERT_TRUE(h.editor->getRect(rect));
        EXPECT_EQ(rect.getWidth(), s.width) << s.factor;
        EXPECT_NEAR(rect.getHeight(), s.width * 9.0 / 16.0, 1.0) << s.factor;
        EXPECT_EQ(h.window->getWidth(), s.width) << s.factor;
    }
    h.window->mouseUp(press);
    EXPECT_EQ(h.bridge.sizeChanges, 4);
    // Without the button held, moves do not resize.
    h.window->mouseMoved(CPoint(press.x * 2, press.y * 2), 0);
    EXPECT_DOUBLE_EQ(h.editor->getZoom(), 0.4);
}
