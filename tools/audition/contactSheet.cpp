// Cairo drawing of the contact sheet; the listening copy reuses the render
// tool's WAV writer.

#include "tools/audition/contactSheet.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>

#include "patch/log.h"
#include "tools/render/renderer.h"

namespace audition
{
namespace
{
constexpr int kColumns = 8;
constexpr int kTileWidth = 180;
constexpr int kTileHeight = 84;
constexpr int kTitleHeight = 36;
constexpr int kWaveTop = 20;

void drawTile(cairo_t* cr, double x, double y, const SheetEntry& e)
{
    cairo_set_source_rgb(cr, 0.12, 0.13, 0.15);
    cairo_rectangle(cr, x + 2, y + 2, kTileWidth - 4, kTileHeight - 4);
    cairo_fill(cr);
    if (e.failed)
    {
        cairo_set_source_rgb(cr, 0.9, 0.2, 0.2);
        cairo_set_line_width(cr, 2.0);
        cairo_rectangle(cr, x + 3, y + 3, kTileWidth - 6, kTileHeight - 6);
        cairo_stroke(cr);
    }
    cairo_set_source_rgb(cr, 0.9, 0.9, 0.85);
    cairo_select_font_face(cr, "monospace", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 11.0);
    cairo_move_to(cr, x + 8, y + 15);
    cairo_show_text(cr, (e.label + "  " + e.name).c_str());

    const size_t n = e.audio.size();
    const int width = kTileWidth - 16;
    const double mid = y + kWaveTop + (kTileHeight - kWaveTop - 6) / 2.0;
    // The tile's height spans -6 dBFS, so that the quieter presets still
    // show their shape; louder peaks are drawn at the edge.
    const double half = (kTileHeight - kWaveTop - 8) / 2.0 * 2.0;
    const float edge = 0.5f;
    cairo_set_source_rgb(cr, 0.35, 0.75, 0.95);
    cairo_set_line_width(cr, 1.0);
    for (int px = 0; px < width && n > 0; ++px)
    {
        const size_t a = n * static_cast<size_t>(px) / static_cast<size_t>(width);
        const size_t b = std::max(a + 1, n * static_cast<size_t>(px + 1) / static_cast<size_t>(width));
        float lo = 0.0f, hi = 0.0f;
        for (size_t i = a; i < b && i < n; ++i)
        {
            const float v = 0.5f * (e.audio.left[i] + e.audio.right[i]);
            if (std::isfinite(v))
            {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        }
        cairo_move_to(cr, x + 8 + px + 0.5, mid - std::clamp(hi, -edge, edge) * half);
        cairo_line_to(cr, x + 8 + px + 0.5, mid - std::clamp(lo, -edge, edge) * half + 1.0);
    }
    cairo_stroke(cr);
}
} // namespace

bool writeContactSheet(const std::string& pngPath, const std::string& title, const std::vector<SheetEntry>& entries)
{
    const int rows = static_cast<int>((entries.size() + kColumns - 1) / kColumns);
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kColumns * kTileWidth, kTitleHeight + rows * kTileHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.06);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 18.0);
    cairo_move_to(cr, 10, 25);
    cairo_show_text(cr, title.c_str());
    for (size_t i = 0; i < entries.size(); ++i)
    {
        const double x = static_cast<double>(i % kColumns) * kTileWidth;
        const double y = kTitleHeight + static_cast<double>(i / kColumns) * kTileHeight;
        drawTile(cr, x, y, entries[i]);
    }
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(surface, pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok)
        K1_LOG("Cannot write " << pngPath);
    return ok;
}

bool writeListeningCopy(const std::string& wavPath, const std::vector<SheetEntry>& entries, int rate)
{
    k1render::RenderResult all;
    all.sampleRate = rate;
    for (const SheetEntry& e : entries)
    {
        all.left.insert(all.left.end(), e.audio.left.begin(), e.audio.left.end());
        all.right.insert(all.right.end(), e.audio.right.begin(), e.audio.right.end());
    }
    return k1render::writeWav(wavPath, all);
}
} // namespace audition
