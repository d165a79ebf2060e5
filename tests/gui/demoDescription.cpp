#include "tests/gui/demoDescription.h"

#include <cairo.h>

#include <cmath>
#include <sstream>

#include "gui/cbitmap.h"

namespace guitest
{
namespace
{
// A knob film strip: a disc with a pointer swept over 270 degrees.
std::string knobStrip()
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kKnobSize, kKnobSize * kKnobFrames);
    cairo_t* cr = cairo_create(s);
    for (int f = 0; f < kKnobFrames; ++f)
    {
        const double cx = kKnobSize / 2.0, cy = f * kKnobSize + kKnobSize / 2.0;
        cairo_arc(cr, cx, cy, kKnobSize / 2.0 - 3, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.2, 0.22, 0.26);
        cairo_fill(cr);
        const double angle = (135.0 + 270.0 * f / (kKnobFrames - 1)) * M_PI / 180.0;
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, cx + std::cos(angle) * (kKnobSize / 2.0 - 5), cy + std::sin(angle) * (kKnobSize / 2.0 - 5));
        cairo_set_source_rgb(cr, 1.0, 0.6, 0.1);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    return pngBase64(s);
}

// A two-frame button: dark when up, lit when pressed.
std::string buttonStrip()
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 60, 60);
    cairo_t* cr = cairo_create(s);
    cairo_rectangle(cr, 2, 2, 56, 26);
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.35);
    cairo_fill(cr);
    cairo_rectangle(cr, 2, 32, 56, 26);
    cairo_set_source_rgb(cr, 0.2, 0.8, 0.3);
    cairo_fill(cr);
    cairo_destroy(cr);
    return pngBase64(s);
}

std::string background()
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 400, 240);
    cairo_t* cr = cairo_create(s);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 240);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.35, 0.38, 0.45);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.12, 0.13, 0.16);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    cairo_destroy(cr);
    return pngBase64(s);
}
} // namespace

std::string pngBase64(cairo_surface_t* surface)
{
    std::vector<unsigned char> bytes;
    VSTGUI::encodePNG(surface, bytes);
    cairo_surface_destroy(surface);
    return encodeBase64(bytes);
}

std::string makeDemoDescription()
{
    std::ostringstream x;
    x << "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<vstgui-ui-description version=\"1\">\n"
      << " <bitmaps>\n"
      << "  <bitmap name=\"background\" path=\"background.png\"><data encoding=\"base64\">" << background()
      << "</data></bitmap>\n"
      << "  <bitmap name=\"knob\" path=\"knob.png\"><data encoding=\"base64\">" << knobStrip() << "</data></bitmap>\n"
      << "  <bitmap name=\"button\" path=\"button.png\"><data encoding=\"base64\">" << buttonStrip()
      << "</data></bitmap>\n"
      << " </bitmaps>\n"
      << " <fonts>\n"
      << "  <font name=\"arial_14_b\" font-name=\"Arial\" size=\"14\" bold=\"true\"/>\n"
      << "  <font name=\"plain_12\" font-name=\"DejaVu Sans\" size=\"12\"/>\n"
      << " </fonts>\n"
      << " <colors>\n"
      << "  <color name=\"amber\" rgba=\"#ffa020ff\"/>\n"
      << " </colors>\n"
      << " <template name=\"Demo\" class=\"CViewContainer\" size=\"400, 240\" minSize=\"200, 120\""
      << " maxSize=\"400, 240\" bitmap=\"background\">\n"
      << "  <view class=\"CAnimKnob\" origin=\"20, 20\" size=\"48, 48\" bitmap=\"knob\" height-of-one-image=\"48\""
      << " angle-start=\"135\" angle-range=\"270\" default-value=\"0.25\" wheel-inc-value=\"0.1\""
      << " custom-view-name=\"knob1\"/>\n"
      << "  <view class=\"CAnimKnob\" origin=\"90, 20\" size=\"48, 48\" bitmap=\"knob\" height-of-one-image=\"48\""
      << " min-value=\"60\" max-value=\"108\" custom-view-name=\"knob2\"/>\n"
      << "  <view class=\"CTextLabel\" origin=\"20, 72\" size=\"118, 20\" title=\"Cutoff\" font=\"plain_12\""
      << " font-color=\"amber\" back-color=\"#00000000\" style-no-frame=\"true\" transparent=\"true\""
      << " custom-view-name=\"label1\"/>\n"
      << "  <view class=\"CKickButton\" origin=\"170, 20\" size=\"60, 30\" bitmap=\"button\""
      << " height-of-one-image=\"30\" custom-view-name=\"kick1\"/>\n"
      << "  <view class=\"COptionMenu\" origin=\"170, 70\" size=\"120, 24\" font=\"arial_14_b\""
      << " font-color=\"~ WhiteCColor\" back-color=\"#202428ff\" frame-color=\"#808080ff\""
      << " custom-view-name=\"menu1\"/>\n"
      << "  <view class=\"CTextEdit\" origin=\"20, 110\" size=\"200, 24\" title=\"Init\" font=\"plain_12\""
      << " font-color=\"#e0e0e0ff\" back-color=\"#101010ff\" text-alignment=\"left\" text-inset=\"4, 0\""
      << " custom-view-name=\"edit1\"/>\n"
      << "  <view class=\"CViewContainer\" origin=\"240, 110\" size=\"140, 110\" background-color=\"#00000060\""
      << " custom-view-name=\"group\">\n"
      << "   <view class=\"CKickButton\" origin=\"10, 10\" size=\"60, 30\" bitmap=\"button\""
      << " height-of-one-image=\"30\" custom-view-name=\"kick2\"/>\n"
      << "   <view class=\"CView\" origin=\"10, 60\" size=\"120, 40\" custom-view-name=\"pad\"/>\n"
      << "  </view>\n"
      << " </template>\n"
      << "</vstgui-ui-description>\n";
    return x.str();
}
} // namespace guitest
