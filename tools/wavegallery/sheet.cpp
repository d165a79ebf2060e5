#include "tools/wavegallery/sheet.h"

#include <algorithm>
#include <cairo.h>
#include <cstdio>

namespace wavegallery
{
namespace
{
constexpr int kColumns = 16;
constexpr int kCellWidth = 180;
constexpr int kCellHeight = 100;
constexpr int kLabelHeight = 14;
constexpr int kKey = 60;

void drawWave(cairo_t* cr, const k1lib::Waveforms& set, int w, double x0, double y0)
{
    const auto& b = set.waves[w].keys[kKey];
    const double top = y0 + kLabelHeight, height = kCellHeight - kLabelHeight - 6;
    const double mid = top + height / 2, scale = height / 2 / 128.0;
    const double width = kCellWidth - 8;
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.3);
    cairo_move_to(cr, x0 + 4, mid);
    cairo_line_to(cr, x0 + 4 + width, mid);
    cairo_stroke(cr);
    if (w < k1lib::kSingleCycleWaveformCount)
        cairo_set_source_rgb(cr, 0.4, 0.85, 1.0);
    else
        cairo_set_source_rgb(cr, 1.0, 0.75, 0.35);
    const int columns = static_cast<int>(width);
    if (b.length <= static_cast<size_t>(columns))
    {
        // Short blocks (single cycles) as a line through their samples.
        for (size_t i = 0; i < b.length; ++i)
        {
            const double x = x0 + 4 + width * static_cast<double>(i) / static_cast<double>(b.length - 1);
            if (i == 0)
                cairo_move_to(cr, x, mid - b.data[i] * scale);
            else
                cairo_line_to(cr, x, mid - b.data[i] * scale);
        }
    }
    else
    {
        // Long blocks as their min/max envelope, one pixel column at a time.
        for (int c = 0; c < columns; ++c)
        {
            const size_t from = b.length * static_cast<size_t>(c) / static_cast<size_t>(columns);
            const size_t to = b.length * static_cast<size_t>(c + 1) / static_cast<size_t>(columns);
            int lo = 127, hi = -128;
            for (size_t i = from; i < to; ++i)
            {
                lo = std::min<int>(lo, b.data[i]);
                hi = std::max<int>(hi, b.data[i]);
            }
            cairo_move_to(cr, x0 + 4 + c + 0.5, mid - hi * scale);
            cairo_line_to(cr, x0 + 4 + c + 0.5, mid - lo * scale + 0.5);
        }
    }
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
    cairo_move_to(cr, x0 + 4, y0 + 11);
    cairo_show_text(cr, k1lib::Waveforms::getName(static_cast<unsigned char>(w)));
}
} // namespace

bool drawSheet(const k1lib::Waveforms& set, const std::string& pngFile)
{
    const int rows = (k1lib::kWaveformCount + kColumns - 1) / kColumns;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kColumns * kCellWidth, rows * kCellHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.1);
    cairo_paint(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 10.0);
    for (int w = 0; w < k1lib::kWaveformCount; ++w)
        drawWave(cr, set, w, (w % kColumns) * kCellWidth, (w / kColumns) * kCellHeight);
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(surface, pngFile.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok)
        std::fprintf(stderr, "cannot write %s\n", pngFile.c_str());
    return ok;
}
} // namespace wavegallery
