// The source-mix joystick, the envelope view and the zoom on the panel: a
// right click writes the middle twice over, a drag stops on the circle and
// writes where it stopped, host automation of 107 moves the throttle
// vertically only; the envelope fits the view at the longest times and
// ignores other sources; the rectangle rules, setSize, and a handle drag
// that stops at both zoom limits and returns to where it began.

#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>

#include "editor/k1EditorWidgets.h"
#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;

TEST(EditorSourceMix, RightClickDragAndAutomation)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    ASSERT_EQ(h.pressKey('1'), 1);
    CView* throttle = h.find<CView>("throttle");
    // The panel puts the throttle's travel in the area's far corner: the
    // circle fills the area.
    const CRect area = h.find<CViewContainer>("throttleArea")->getViewSize();
    const CPoint travel(area.getWidth() - throttle->getWidth(), area.getHeight() - throttle->getWidth());
    const CPoint centre(area.getWidth() / 2, area.getHeight() / 2);
    const double radius = travel.x / 2;

    h.window->click(h.centerOf(throttle), kRButton);
    h.window->click(h.centerOf(throttle), kRButton);
    using Writes = std::vector<std::pair<k1lib::EParam, float>>;
    const Writes middle = {{k1lib::Param_SourceMix12, 0.5f}, {k1lib::Param_SourceMix34, 0.5f}};
    EXPECT_EQ(h.bridge.automation, (Writes{middle[0], middle[1], middle[0], middle[1]}));
    EXPECT_EQ(throttle->getViewSize().getCenter(), centre);

    // Far beyond the circle, down and to the right: stopped on it, at 45 degrees.
    h.bridge.automation.clear();
    const CPoint press = h.centerOf(throttle);
    ASSERT_EQ(h.window->mouseDown(press), kMouseEventHandled);
    h.window->mouseMoved(press + CPoint(300, 300));
    h.window->mouseUp(press + CPoint(300, 300));
    const CPoint stopped = throttle->getViewSize().getCenter();
    EXPECT_NEAR(std::hypot(stopped.x - centre.x, stopped.y - centre.y), radius, 1e-9);
    const double diagonal = 0.5 + radius / std::sqrt(2.0) / travel.x;
    ASSERT_EQ(h.bridge.automation.size(), 2u);
    EXPECT_EQ(h.bridge.automation[0].first, k1lib::Param_SourceMix12);
    EXPECT_NEAR(h.bridge.automation[0].second, diagonal, 1e-6);
    EXPECT_NEAR(h.bridge.automation[1].second, diagonal, 1e-6);

    // Back in the middle, the host moves 107: up and down only.
    h.window->click(h.centerOf(throttle), kRButton);
    h.idle();
    const double left = throttle->getViewSize().left;
    ASSERT_TRUE(h.plugin->setParameter(k1lib::Param_SourceMix12, 0.25f));
    h.idle();
    EXPECT_EQ(throttle->getViewSize().left, left);
    EXPECT_DOUBLE_EQ(throttle->getViewSize().top, 0.25 * travel.y);
}

TEST(EditorEnvelope, ShapeFitsAtTheLongestTimesAndFollowsTheActiveSource)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    ASSERT_EQ(h.pressKey('1'), 1);
    uiEnvelope* envelope = h.editor->getEnvelopeView();
    ASSERT_NE(envelope, nullptr);
    for (k1lib::EParam p : {k1lib::Param_SourceS1EnvDelay, k1lib::Param_SourceS1EnvAttack,
                            k1lib::Param_SourceS1EnvDecay, k1lib::Param_SourceS1EnvRelease})
        h.plugin->setParameter(p, 1.0f);
    h.plugin->setParameter(k1lib::Param_SourceS1EnvSustain, 0.5f);
    h.idle();
    EXPECT_FLOAT_EQ(envelope->getParameter(k1lib::Param_SourceS1EnvRelease), 100.0f);

    // Four times of a fifth each and the plateau: the release ends on the
    // right edge, at the bottom.
    const CRect r = envelope->getViewSize();
    const auto points = uiEnvelope::shape(r, 100, 100, 100, 50, 100);
    EXPECT_DOUBLE_EQ(points[3].x, r.left + r.getWidth() * 4 / 5);
    EXPECT_DOUBLE_EQ(points[4].x, r.right);
    EXPECT_DOUBLE_EQ(points[4].y, r.bottom - 1);
    // Drawn green under the plateau.
    CPoint under((points[2].x + points[3].x) / 2, r.bottom - 4);
    envelope->localToFrame(under);
    cairo_surface_t* surface = h.window->render();
    const uint32_t colour = reinterpret_cast<const uint32_t*>(
        cairo_image_surface_get_data(surface) + int(under.y) * cairo_image_surface_get_stride(surface))[int(under.x)];
    EXPECT_EQ((colour >> 16) & 0xFF, 0u) << std::hex << colour;
    EXPECT_GT((colour >> 8) & 0xFF, 0x50u) << std::hex << colour;

    // Source 2's envelope: nothing to redraw on source 1's page; on its own
    // page the view shows it.
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

    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    CRect rect;
    // Its own size: nothing to do or say. A request the rules turn into the
    // present size: refused, but the host hears the size that holds.
    EXPECT_FALSE(h.editor->setSize(CRect(0, 0, 1024, 576)));
    EXPECT_EQ(h.bridge.sizeChanges, 0);
    EXPECT_FALSE(h.editor->setSize(CRect(0, 0, 1024, 900)));
    EXPECT_EQ(h.bridge.sizeChanges, 1);
    EXPECT_TRUE(h.editor->setSize(CRect(0, 0, 1600, 1000)));
    ASSERT_TRUE(h.editor->getRect(rect));
    EXPECT_EQ(rect, CRect(0, 0, 1600, 900));
    EXPECT_DOUBLE_EQ(h.editor->getZoom(), 0.625);
    EXPECT_TRUE(h.editor->setSize(CRect(0, 0, 1024, 576)));

    // The handle: the zoom follows the pointer's distance from the window's
    // corner, stops at 0.25 and 1.0, and comes back at the press point.
    h.bridge.sizeChanges = 0;
    const CPoint press = h.centerOf(h.find<CView>("resizeHandle"));
    ASSERT_EQ(h.window->mouseDown(press), kMouseEventHandled);
    for (auto [factor, width] : {std::pair{1.5, 1536}, {0.1, 640}, {5.0, 2560}, {1.0, 1024}})
    {
        h.window->mouseMoved(CPoint(press.x * factor, press.y * factor));
        ASSERT_TRUE(h.editor->getRect(rect));
        EXPECT_EQ(rect, CRect(0, 0, width, width * 9 / 16)) << factor;
        EXPECT_EQ(h.window->getWidth(), width) << factor;
    }
    h.window->mouseUp(press);
    EXPECT_EQ(h.bridge.sizeChanges, 4);
    EXPECT_DOUBLE_EQ(h.editor->getZoom(), 0.4);
}
