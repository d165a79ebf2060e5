// The editor window: construction from the description, the zoom that fits
// the requested width, the views found and bound, and a clean close; the
// description and its bitmaps shared by every window; tooltips and message
// boxes as a user meets them.

#include <gtest/gtest.h>

#include <cairo.h>
#include <malloc.h>

#include <cstring>
#include <numeric>
#include <thread>

#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;

TEST(EditorWindow, OpensAtTheRequestedWidthAndClosesCleanly)
{
    {
        // The panel at the default size is the design at 0.4: nothing to tell
        // the bridge.
        EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
        ASSERT_NE(h.frame, nullptr);
        EXPECT_DOUBLE_EQ(h.editor->getZoom(), 0.4);
        CRect rect;
        ASSERT_TRUE(h.editor->getRect(rect));
        EXPECT_EQ(rect, CRect(0, 0, 1024, 576));
        EXPECT_EQ(h.bridge.sizeChanges, 0);

        // After construction: the play page, source 1 chosen inside the hidden
        // edit page, the mode buttons showing single mode.
        EXPECT_TRUE(h.find<CViewContainer>("mode_play")->isVisible());
        EXPECT_FALSE(h.find<CViewContainer>("mode_edit")->isVisible());
        EXPECT_FALSE(h.find<CViewContainer>("mode_edit_multi")->isVisible());
        EXPECT_FALSE(h.find<CViewContainer>("mode_edit_system")->isVisible());
        EXPECT_TRUE(h.find<CViewContainer>("edit_source")->isVisible());
        EXPECT_FALSE(h.find<CViewContainer>("edit_common")->isVisible());
        EXPECT_EQ(h.editor->getActiveSource(), 0u);
        CBitmap* inactive = h.find<CKickButton>("Param_SourceS1Mute")->getBackground();
        CBitmap* active = h.find<CKickButton>("btEditSourceA")->getBackground();
        EXPECT_NE(inactive, active);
        EXPECT_EQ(h.find<CKickButton>("btModeSingle")->getBackground(), active);
        EXPECT_EQ(h.find<CKickButton>("btModeMulti")->getBackground(), inactive);
        // Every mute button starts with the inactive look, also the ones
        // whose bitmaps served as the other looks.
        for (const char* mute : {"Param_SourceS2Mute", "Param_SourceS3Mute", "Param_SourceS4Mute"})
            EXPECT_EQ(h.find<CKickButton>(mute)->getBackground(), inactive) << mute;
        // The panel shows the current single's values and name.
        EXPECT_EQ(h.editor->getKickButton(k1lib::Param_SourceS1Mute), h.find<CKickButton>("Param_SourceS1Mute"));
        EXPECT_EQ(h.find<CTextEdit>("editSingleName")->getText().getString(),
                  std::string(h.plugin->getCurrentSingle().name));

        // It draws, and closes with its window.
        EXPECT_NE(h.window->render(), nullptr);
        h.closeEditor();
        EXPECT_EQ(h.editor, nullptr);
    }
    {
        // A frame the caller made outlives the editor: closing leaves none
        // of its controls listening to the editor.
        EditorHarness h;
        SharedPointer<CKnobBase> knob(h.find<CKnobBase>("Param_SourceS1EnvAttack"));
        ASSERT_EQ(knob->getListener(), h.editor.get());
        h.plugin->setEditor(nullptr);
        h.editor.reset();
        EXPECT_EQ(knob->getListener(), nullptr);
    }
    struct Case
    {
        double width, height;
        double zoom;
        CRect fitted;
    };
    // Clamped to the design's limits, or a height that does not fit 16:9:
    // the window takes the panel's size at that zoom, and the bridge hears.
    for (const Case& c : {Case{500, 281, 0.25, CRect(0, 0, 640, 360)}, Case{3000, 1688, 1.0, CRect(0, 0, 2560, 1440)},
                          Case{1024, 700, 0.4, CRect(0, 0, 1024, 576)}})
    {
        EditorHarness h(CRect(0, 0, c.width, c.height), EditorHarness::Description::Panel);
        EXPECT_DOUBLE_EQ(h.editor->getZoom(), c.zoom) << c.width;
        CRect rect;
        ASSERT_TRUE(h.editor->getRect(rect));
        EXPECT_EQ(rect, c.fitted) << c.width;
        EXPECT_EQ(h.bridge.sizeChanges, 1) << c.width;
        EXPECT_EQ(h.window->getWidth(), int(c.fitted.getWidth()));
        EXPECT_EQ(h.window->getHeight(), int(c.fitted.getHeight()));
    }
}

TEST(EditorWindow, WindowsShareTheDescriptionAndItsBitmapsDecodedOnceAndKeepOnlyTheZoomedPixelsOnceSettled)
{
    // Two instances may open their first window at the same moment.
    const UIDescription* seen[2] = {};
    {
        std::thread other([&] { seen[1] = K1Editor::getPanelDescription(); });
        seen[0] = K1Editor::getPanelDescription();
        other.join();
    }
    ASSERT_NE(seen[0], nullptr);
    EXPECT_EQ(seen[0], seen[1]);

    // A zoom no other window of this process has drawn at.
    const CRect rect(0, 0, 1152, 648);
    EditorHarness a(rect, EditorHarness::Description::Panel);
    EditorHarness b(rect, EditorHarness::Description::Panel);
    CBitmap* background = a.frame->getView(0)->getBackground();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(b.frame->getView(0)->getBackground(), background);
    EXPECT_EQ(seen[0]->getBitmap("background"), background);

    // Both windows draw at once, on two threads: the picture is decoded by
    // one of them, and both show the same pixels.
    const int decodesBefore = background->getDecodeCount();
    cairo_surface_t* pictures[2] = {};
    {
        std::thread other([&] { pictures[1] = b.window->render(); });
        pictures[0] = a.window->render();
        other.join();
    }
    EXPECT_LE(background->getDecodeCount() - decodesBefore, 1);
    const int decoded = background->getDecodeCount();
    EXPECT_EQ(std::memcmp(cairo_image_surface_get_data(pictures[0]), cairo_image_surface_get_data(pictures[1]),
                          size_t(cairo_image_surface_get_stride(pictures[0])) * 648),
              0);

    // While the zoom holds, the full-size master art goes once drawn; the
    // zoomed copy stays and serves every redraw without a new decode.
    for (int i = 0; i < 2; ++i)
    {
        b.factory.advanceTime(1000); // the clock of the platform in use: the last harness made
        a.idle();
    }
    EXPECT_FALSE(background->isLoaded());
    a.window->render();
    b.window->render();
    EXPECT_EQ(background->getDecodeCount(), decoded);
    // A new size decodes the art once more, for the window that needs it.
    a.editor->changeZoom(0.55);
    a.window->render();
    EXPECT_EQ(background->getDecodeCount(), decoded + 1);
}

namespace
{
// The panel's largest bitmaps: the picture and both knob strips (four fifths of its pixels).
std::vector<CBitmap*> largestBitmaps()
{
    const UIDescription* description = K1Editor::getPanelDescription();
    return {description->getBitmap("background"), description->getBitmap("knob"),
            description->getBitmap("knob_bipolar")};
}

int decodesOf(const std::vector<CBitmap*>& bitmaps)
{
    return std::accumulate(bitmaps.begin(), bitmaps.end(), 0, [](int n, CBitmap* b) { return n + b->getDecodeCount(); });
}

// Heap in use as the machine sees it: mmap'd blocks (large pixel buffers) too.
double heapInUse()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd);
}
} // namespace

TEST(EditorWindow, WindowsAtThreeSizesRedrawWithoutDecodingAndADragBesideThemDecodesOnce)
{
    // Three instances' windows, each on the single edit page with its knobs.
    EditorHarness a(CRect(0, 0, 1024, 576), EditorHarness::Description::Panel);
    EditorHarness b(CRect(0, 0, 1600, 900), EditorHarness::Description::Panel);
    EditorHarness c(CRect(0, 0, 640, 360), EditorHarness::Description::Panel);
    EditorHarness* windows[] = {&a, &b, &c};
    auto idleAll = [&] {
        for (EditorHarness* h : windows)
        {
            h->idle();
            h->window->render();
        }
    };
    auto settle = [&] {
        for (int i = 0; i < 2; ++i)
        {
            c.factory.advanceTime(1000); // the clock of the platform in use: the last harness made
            idleAll();
        }
    };
    for (EditorHarness* h : windows)
        h->pressKey('e');
    settle();
    const std::vector<CBitmap*> bitmaps = largestBitmaps();
    const int settled = decodesOf(bitmaps);

    // Host automation moving a shown knob in each: redrawn from the copies.
    for (int step = 0; step < 6; ++step)
    {
        for (EditorHarness* h : windows)
            h->plugin->setParameter(k1lib::Param_SourceS1EnvAttack, float(step % 3) / 2.0f);
        idleAll();
    }
    EXPECT_EQ(decodesOf(bitmaps), settled);

    // A drag of one window's handle while the others idle, settled: each
    // bitmap is decoded for the drag once, not at every step, and the window
    // keeps copies at its last size only.
    const double beforeDrag = heapInUse();
    for (int step = 1; step <= 8; ++step)
    {
        a.editor->changeZoom(0.4 + 0.01 * step);
        idleAll();
    }
    EXPECT_LE(decodesOf(bitmaps) - settled, int(bitmaps.size()));
    // Settled again, no full-size pixels are held, and none is needed.
    settle();
    for (CBitmap* bitmap : bitmaps)
        EXPECT_FALSE(bitmap->isLoaded());
    // From 0.4 to 0.48 its copies and its window's pixels grow by half.
    EXPECT_LT(heapInUse() - beforeDrag, 8e6);
    const int dragged = decodesOf(bitmaps);
    for (EditorHarness* h : windows)
        h->frame->invalid();
    idleAll();
    EXPECT_EQ(decodesOf(bitmaps), dragged);
}

TEST(EditorWindow, AWindowClosedRightAfterOpeningOrZoomingKeepsNoPixelsAndAnOpenOneHoldsItsCopiesOnly)
{
    // The facade and the description are there before the window is drawn.
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    h.closeEditor();
    const double closed = heapInUse();

    // Opened and drawn: what the window holds is its copies and its pixels,
    // not the panel's full-size art (at 2560 x 1440 the picture alone is 14.7 MB).
    auto draw = [&] {
        h.idle();
        h.window->render();
        h.idle();
    };
    h.reopenEditor();
    draw();
    EXPECT_LT(heapInUse() - closed, 12e6);

    // Every page visited, the window zoomed, and closed at once, before the
    // zoom could have settled: nothing of it is kept.
    h.pressKey('e');
    draw();
    h.plugin->setPlayMode(k1lib::PlayMode::Multi);
    draw();
    h.click(h.find<CKickButton>("btSystem"));
    draw();
    h.editor->changeZoom(0.45);
    draw();
    h.closeEditor();
    for (CBitmap* bitmap : largestBitmaps())
        EXPECT_FALSE(bitmap->isLoaded());
    EXPECT_LT(heapInUse() - closed, 1e6);
}

TEST(EditorWindow, TooltipsGoWhenThePointerLeavesOrThePageSwitchesAndComeBackOnlyAfterTheNextRest)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    auto restOn = [&](CView* view) {
        h.window->mouseMoved(h.centerOf(view), 0);
        h.factory.advanceTime(600);
        h.idle();
        return h.frame->getShownTooltip();
    };
    auto laterTip = [&] {
        h.factory.advanceTime(600);
        h.idle();
        return h.frame->getShownTooltip();
    };
    CView* edit = h.find<CKickButton>("btEdit");
    ASSERT_FALSE(edit->getTooltipText().getString().empty());
    EXPECT_EQ(restOn(edit), edit->getTooltipText().getString());

    // Out of the window: gone, and it stays gone.
    h.window->mouseExited();
    EXPECT_EQ(h.frame->getShownTooltip(), "");
    EXPECT_EQ(laterTip(), "");

    // A page switched by key takes the tip along; the button is still under
    // the pointer, but its tip waits for the pointer to rest anew.
    EXPECT_FALSE(restOn(edit).empty());
    EXPECT_EQ(h.pressKey('e'), 1);
    EXPECT_EQ(h.frame->getShownTooltip(), "");
    EXPECT_EQ(laterTip(), "");
    EXPECT_FALSE(restOn(edit).empty());

    // A page switched from elsewhere (the play mode changed by the host)
    // hides the view under the pointer: its tip goes, and the next one is
    // that of what shows there now.
    CView* common = h.find<CKickButton>("btEditCommon");
    const std::string commonTip = restOn(common);
    ASSERT_FALSE(commonTip.empty());
    h.plugin->setPlayMode(k1lib::PlayMode::Multi);
    h.idle();
    EXPECT_FALSE(common->isVisible() && h.find<CViewContainer>("mode_edit")->isVisible());
    EXPECT_NE(h.frame->getShownTooltip(), commonTip);

    // Closing with a tip on screen leaves nothing behind.
    EXPECT_FALSE(restOn(edit).empty());
    h.closeEditor();
}

TEST(EditorWindow, TheWebLinkQuestionFitsItsBoxAtTheDefaultSize)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    std::vector<std::string> lines;
    std::vector<double> overhang;
    h.window->setModalHandler([&](HeadlessFrame& window) {
        CMessageBox* box = CMessageBox::getOpen(h.frame);
        if (!box)
            return;
        window.render();
        const CRect text = box->getTextRect();
        // Each line drawn without a clip: its ink must end inside the text area.
        for (const std::string& line : box->getLines())
        {
            const int width = int(text.getWidth()) * 2;
            cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, 40);
            cairo_t* cr = cairo_create(s);
            {
                CDrawContext context(cr);
                context.setFont(CMessageBox::getTextFont());
                context.setFontColor(kBlackCColor);
                context.drawString(line, CRect(0, 0, width, 40), kLeftText);
            }
            cairo_destroy(cr);
            cairo_surface_flush(s);
            int inkRight = 0;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < width; ++x)
                    if (cairo_image_surface_get_data(s)[y * cairo_image_surface_get_stride(s) + 4 * x + 3])
                        inkRight = std::max(inkRight, x + 1);
            cairo_surface_destroy(s);
            lines.push_back(line);
            overhang.push_back(inkRight - text.getWidth());
        }
        box->choose(0); // "Cancel"
    });
    h.click(h.find<CView>("clickableLogo"));
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("required)"), std::string::npos) << lines.back();
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_LE(overhang[i], 0.0) << lines[i];
    EXPECT_TRUE(h.factory.openedURLs.empty());
}
