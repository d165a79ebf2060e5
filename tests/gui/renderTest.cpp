#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tests/gui/guiTestSupport.h"

using namespace VSTGUI;
using guitest::DemoWindow;

namespace
{
struct Pixels
{
    int w, h, stride;
    const uint8_t* data;
    explicit Pixels(cairo_surface_t* s)
        : w(cairo_image_surface_get_width(s)), h(cairo_image_surface_get_height(s)),
          stride(cairo_image_surface_get_stride(s)), data(cairo_image_surface_get_data(s))
    {
    }
    int channel(int x, int y, int c) const { return data[y * stride + x * 4 + c]; }
};
} // namespace

TEST(Render, HalfZoomDrawsTheSamePictureAtHalfSizeWithinAPixel)
{
    DemoWindow full;
    DemoWindow half(0.5);
    full.find<CAnimKnob>("knob1")->setValue(0.7f);
    half.find<CAnimKnob>("knob1")->setValue(0.7f);
    Pixels a(full.window->render());
    Pixels b(half.window->render());
    ASSERT_EQ(a.w, 400);
    ASSERT_EQ(b.w, 200);
    ASSERT_EQ(b.h, 120);
    // Each half-size pixel must match the 2x2 average of the full picture at
    // its own place or one pixel beside it.
    auto averaged = [&](int x, int y, int c) {
        return (a.channel(2 * x, 2 * y, c) + a.channel(2 * x + 1, 2 * y, c) + a.channel(2 * x, 2 * y + 1, c) +
                a.channel(2 * x + 1, 2 * y + 1, c)) /
               4;
    };
    int worst = 0;
    double total = 0;
    for (int y = 0; y < b.h; ++y)
        for (int x = 0; x < b.w; ++x)
        {
            int best = 255;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                {
                    const int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= b.w || sy >= b.h)
                        continue;
                    int diff = 0;
                    for (int c = 0; c < 3; ++c)
                        diff = std::max(diff, std::abs(averaged(sx, sy, c) - b.channel(x, y, c)));
                    best = std::min(best, diff);
                }
            worst = std::max(worst, best);
            total += best;
        }
    EXPECT_LT(worst, 64);
    EXPECT_LT(total / (b.w * b.h), 2.0);
}

TEST(Render, InvisibleAndTransparentViewsAreNotDrawn)
{
    DemoWindow w;
    auto* group = w.find<CViewContainer>("group");
    Pixels before(w.window->render());
    const int x = 300, y = 150; // inside the group's half-transparent back
    const int shaded = before.channel(x, y, 1);
    group->setVisible(false);
    EXPECT_TRUE(w.window->hasInvalidRect());
    Pixels after(w.window->render());
    EXPECT_GT(after.channel(x, y, 1), shaded);
    group->setVisible(true);
    group->setTransparency(true);
    Pixels clear(w.window->render());
    EXPECT_EQ(clear.channel(x, y, 1), after.channel(x, y, 1));
}

TEST(Bitmap, DecodesPngAndRefusesOtherBytes)
{
    CBitmap* made = new CBitmap(3, 2);
    const std::string path = testing::TempDir() + "/bitmap.png";
    ASSERT_TRUE(made->writePNG(path));
    made->forget();
    CBitmap* loaded = CBitmap::createFromPNGFile(path);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->getWidth(), 3);
    EXPECT_EQ(loaded->getHeight(), 2);
    loaded->forget();

    testing::internal::CaptureStdout();
    const char junk[] = "not a png at all, certainly not one of thirty-three bytes or more";
    EXPECT_EQ(CBitmap::createFromPNG(junk, sizeof junk), nullptr);
    // A valid header that claims a gigantic image is refused before decoding.
    unsigned char huge[33] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                              0,    1,   0,   0,   0,    1,    0,    0,    8, 6, 0, 0,  0,   0,   0,   0, 0};
    EXPECT_EQ(CBitmap::createFromPNG(huge, sizeof huge), nullptr);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("Not a PNG"), std::string::npos);
    EXPECT_NE(log.find("refused"), std::string::npos);
}

TEST(Render, BrokenUtf8TextIsDrawnWithoutSpoilingLaterDrawing)
{
    DemoWindow w;
    w.find<CTextLabel>("label1")->setText("bad \xC3( \xF0\x28\x8C end");
    Pixels p(w.window->render());
    // The text field drawn after the label still has its dark back.
    const CPoint edit = w.centerOf("edit1");
    EXPECT_EQ(p.channel(int(edit.x) + 80, int(edit.y), 1), 0x10);
}

TEST(Render, EnvelopeStyleGradientPathFillsBetweenItsColours)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 50, 100);
    cairo_t* cr = cairo_create(s);
    {
        CDrawContext context(cr);
        CGraphicsPath* path = context.createGraphicsPath();
        path->beginSubpath(CPoint(0, 100));
        path->addLine(CPoint(25, 0));
        path->addLine(CPoint(50, 100));
        path->closeSubpath();
        CGradient* gradient = CGradient::create(0, 1, CColor(0, 0xD5, 0x41), CColor(0, 0x55, 0x24));
        context.setDrawMode(kAntiAliasing);
        context.fillLinearGradient(path, *gradient, CPoint(0, 0), CPoint(0, 100));
        gradient->forget();
        path->forget();
    }
    cairo_destroy(cr);
    Pixels p(s);
    // Linear from 0xD5 at the top edge to 0x55 at the bottom edge.
    EXPECT_NEAR(p.channel(25, 5, 1), 0xD5 - (0xD5 - 0x55) * 5.5 / 100, 2);
    EXPECT_NEAR(p.channel(25, 95, 1), 0xD5 - (0xD5 - 0x55) * 95.5 / 100, 2);
    EXPECT_EQ(p.channel(2, 5, 3), 0); // outside the triangle
    cairo_surface_destroy(s);
}

TEST(Render, ZoomedFilmStripShowsOnlyItsOwnFrameAtEveryZoom)
{
    // Two flat frames of an odd size: red above blue.
    CBitmap* strip = new CBitmap(21, 42);
    cairo_t* cr = cairo_create(strip->getSurface());
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_rectangle(cr, 0, 0, 21, 21);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_rectangle(cr, 0, 21, 21, 21);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_mark_dirty(strip->getSurface());

    auto* frame = new CFrame(CRect(0, 0, 100, 60), nullptr);
    auto* knob = new CAnimKnob(CRect(37, 13, 58, 34), nullptr, -1, strip);
    knob->setHeightOfOneImage(21);
    strip->forget();
    frame->addView(knob);
    HeadlessFrameConfig config;
    ASSERT_TRUE(frame->open(nullptr, PlatformType::kDefaultNative, &config));
    frame->setBitmapInterpolationQuality(BitmapInterpolationQuality::kHigh);
    // Zooms that halve the frame once, twice, not at all, and one seen before.
    for (double zoom : {0.37, 0.5, 0.25, 0.81, 0.37})
    {
        ASSERT_TRUE(frame->setZoom(zoom));
        for (float value : {0.f, 1.f})
        {
            knob->setValue(value);
            Pixels p(HeadlessFrame::from(frame)->render());
            // The zoomed frame covers whole pixels from the rounded corner on;
            // pixels the knob's own rectangle covers only in part are left out.
            const int left = int(std::ceil(37 * zoom)), right = int(std::floor(58 * zoom));
            const int top = int(std::ceil(13 * zoom)), bottom = int(std::floor(34 * zoom));
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x)
                {
                    // Bytes in memory: blue, green, red, alpha.
                    ASSERT_EQ(p.channel(x, y, value > 0.5f ? 0 : 2), 255) << zoom << " " << x << "," << y;
                    ASSERT_EQ(p.channel(x, y, value > 0.5f ? 2 : 0), 0) << zoom << " " << x << "," << y;
                }
        }
    }
    frame->forget();
}
