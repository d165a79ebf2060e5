#include "tools/panelgen/panelArt.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "gui/cdrawcontext.h"
#include "tools/panelgen/panelStyle.h"

namespace panelgen
{
namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kStartAngle = 135.0; // degrees, clockwise from 3 o'clock
constexpr double kRangeAngle = 270.0;

double rad(double degrees)
{
    return degrees * kPi / 180.0;
}

cairo_surface_t* newSurface(int w, int h)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot create a surface");
    return s;
}

void source(cairo_t* cr, const Rgb& c, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, c.fr(), c.fg(), c.fb(), alpha);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, rad(-90), 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, rad(90));
    cairo_arc(cr, x + r, y + h - r, r, rad(90), rad(180));
    cairo_arc(cr, x + r, y + r, r, rad(180), rad(270));
    cairo_close_path(cr);
}

// Text in the panel's family, as the toolkit sets it (no hinting).
void setFont(cairo_t* cr, double size)
{
    cairo_select_font_face(cr, kFontFamily.c_str(), CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

// Draws text centred on (cx, cy) with extra spacing between letters.
void centredText(cairo_t* cr, const std::string& text, double cx, double cy, double size, double spacing = 0)
{
    setFont(cr, size);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    double width = 0;
    for (size_t i = 0; i < text.size();)
    {
        size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
            ++n;
        cairo_text_extents_t te;
        cairo_text_extents(cr, text.substr(i, n).c_str(), &te);
        width += te.x_advance + (i + n < text.size() ? spacing : 0);
        i += n;
    }
    double x = cx - width / 2;
    const double y = cy + (fe.ascent - fe.descent) / 2;
    for (size_t i = 0; i < text.size();)
    {
        size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
            ++n;
        const std::string ch = text.substr(i, n);
        cairo_text_extents_t te;
        cairo_text_extents(cr, ch.c_str(), &te);
        cairo_move_to(cr, x, y);
        cairo_show_text(cr, ch.c_str());
        x += te.x_advance + spacing;
        i += n;
    }
}

// A deterministic noise source for the panel's grain.
struct Noise
{
    uint32_t state = 0x9E3779B9u;
    double next() // -1 .. 1
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state & 0xFFFFFF) / double(0x7FFFFF) - 1.0;
    }
};

// The raised face of a key: rim, face gradient, pressed frames sit lower and darker.
void keyFace(cairo_t* cr, double x, double y, double w, double h, bool pressed)
{
    const double inset = 4, r = 10, drop = pressed ? 2 : 0;
    // shadow under the key
    roundedRect(cr, x + inset, y + inset + 3, w - 2 * inset, h - 2 * inset, r);
    cairo_set_source_rgba(cr, 0, 0, 0, pressed ? 0.25 : 0.45);
    cairo_fill(cr);
    roundedRect(cr, x + inset, y + inset + drop, w - 2 * inset, h - 2 * inset - 1, r);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y + inset, 0, y + h - inset);
    const double top = pressed ? 0.25 : 0.34, bottom = pressed ? 0.19 : 0.23;
    cairo_pattern_add_color_stop_rgb(g, 0, top, top, top + 0.015);
    cairo_pattern_add_color_stop_rgb(g, 1, bottom, bottom, bottom + 0.015);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, 2);
    cairo_set_source_rgba(cr, 0.05, 0.05, 0.06, 1);
    cairo_stroke(cr);
    // a highlight along the upper edge
    cairo_move_to(cr, x + inset + r, y + inset + drop + 2.5);
    cairo_line_to(cr, x + w - inset - r, y + inset + drop + 2.5);
    cairo_set_source_rgba(cr, 1, 1, 1, pressed ? 0.06 : 0.14);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}
} // namespace

std::string Rgb::hex(uint8_t alpha) const
{
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x%02x", r, g, b, alpha);
    return text;
}

int fontSize(const std::string& font)
{
    // The size is the number in the name: arial_36_b is 36 pixels.
    const size_t a = font.find('_'), b = font.rfind('_');
    if (a == std::string::npos || b <= a)
        throw std::logic_error("font name without a size: " + font);
    return std::stoi(font.substr(a + 1, b - a - 1));
}

double textWidth(const std::string& font, const std::string& text)
{
    cairo_surface_t* s = newSurface(1, 1);
    cairo_t* cr = cairo_create(s);
    auto* context = new VSTGUI::CDrawContext(cr);
    auto* desc = new VSTGUI::CFontDesc(kFontFamily, fontSize(font), VSTGUI::kBoldFace);
    context->setFont(desc);
    const double w = context->getStringWidth(text);
    desc->forget();
    context->forget();
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return w;
}

std::string paintBackground(BitmapSet& set, const Rect& lcd)
{
    cairo_surface_t* s = newSurface(kWidth, kHeight);
    // Brushed grain: every row one shade, so the picture stays small.
    {
        uint32_t* px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
        const int stride = cairo_image_surface_get_stride(s) / 4;
        Noise noise;
        double smooth = 0;
        for (int y = 0; y < kHeight; ++y)
        {
            smooth = 0.6 * smooth + 0.4 * noise.next();
            const Rgb& base = y < kTopBarHeight ? palette::kPanelDark : palette::kPanel;
            const double shade = 1.6 * smooth + 0.9 * noise.next() - (y - kTopBarHeight) * 2.0 / kHeight;
            auto channel = [&](uint8_t c) {
                return uint32_t(std::clamp(int(std::lround(c + shade)), 0, 255));
            };
            const uint32_t v = 0xFF000000u | channel(base.r) << 16 | channel(base.g) << 8 | channel(base.b);
            for (int x = 0; x < kWidth; ++x)
                px[y * stride + x] = v;
        }
        cairo_surface_mark_dirty(s);
    }
    cairo_t* cr = cairo_create(s);
    // The edge between the top bar and the panel: a shadow and a bevel.
    cairo_rectangle(cr, 0, kTopBarHeight, kWidth, 6);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, kTopBarHeight, 0, kTopBarHeight + 6);
    cairo_pattern_add_color_stop_rgba(g, 0, 0, 0, 0, 0.5);
    cairo_pattern_add_color_stop_rgba(g, 1, 0, 0, 0, 0);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_move_to(cr, 0, kTopBarHeight - 1.5);
    cairo_line_to(cr, kWidth, kTopBarHeight - 1.5);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    // The display window: a bezel and the glass as it looks unlit.
    roundedRect(cr, lcd.x - 14, lcd.y - 14, lcd.w + 28, lcd.h + 28, 14);
    source(cr, {12, 12, 13});
    cairo_fill(cr);
    roundedRect(cr, lcd.x - 14, lcd.y - 14, lcd.w + 28, lcd.h + 28, 14);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.08);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    roundedRect(cr, lcd.x, lcd.y, lcd.w, lcd.h, 6);
    source(cr, palette::kLcdDark);
    cairo_fill(cr);
    cairo_destroy(cr);
    return set.add("background", s);
}

std::string paintKnobStrip(BitmapSet& set, bool bipolar)
{
    const int n = kKnobFrames, size = kKnobSize;
    cairo_surface_t* s = newSurface(size, size * n);
    cairo_t* cr = cairo_create(s);
    const double c = size / 2.0;
    for (int f = 0; f < n; ++f)
    {
        const double cy = f * size + c;
        const double t = double(f) / (n - 1);
        // Nothing of a frame may reach into its neighbours.
        cairo_save(cr);
        cairo_rectangle(cr, 0, f * size, size, size);
        cairo_clip(cr);
        const double angle = kStartAngle + kRangeAngle * t;
        // scale ticks
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (int k = 0; k <= 10; ++k)
        {
            const double a = rad(kStartAngle + kRangeAngle * k / 10.0);
            const double r0 = 66, r1 = (k == 0 || k == 10 || (bipolar && k == 5)) ? 72 : 70;
            cairo_move_to(cr, c + std::cos(a) * r0, cy + std::sin(a) * r0);
            cairo_line_to(cr, c + std::cos(a) * r1, cy + std::sin(a) * r1);
        }
        source(cr, palette::kSilkDim, 0.9);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        // value track and arc
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        cairo_arc(cr, c, cy, 60, rad(kStartAngle), rad(kStartAngle + kRangeAngle));
        cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
        cairo_set_line_width(cr, 7);
        cairo_stroke(cr);
        const double from = bipolar ? kStartAngle + kRangeAngle / 2 : kStartAngle;
        if (std::fabs(angle - from) > 0.01)
        {
            cairo_arc(cr, c, cy, 60, rad(std::min(from, angle)), rad(std::max(from, angle)));
            source(cr, palette::kAccent);
            cairo_stroke(cr);
        }
        // cap: shadow, body, rim
        cairo_arc(cr, c + 1, cy + 3, 50, 0, 2 * kPi);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
        cairo_fill(cr);
        // lit from above: a vertical gradient (rows of one shade keep the strip small)
        cairo_pattern_t* g = cairo_pattern_create_linear(0, cy - 49, 0, cy + 49);
        cairo_pattern_add_color_stop_rgb(g, 0, 0.34, 0.35, 0.38);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.13, 0.135, 0.15);
        cairo_arc(cr, c, cy, 49, 0, 2 * kPi);
        cairo_set_source(cr, g);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(g);
        cairo_set_source_rgba(cr, 0.04, 0.04, 0.05, 1);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        cairo_arc(cr, c, cy, 44, 0, 2 * kPi);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.06);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        // indicator: wide enough to stay two pixels at a quarter of the size
        const double a = rad(angle);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, c + std::cos(a) * 16, cy + std::sin(a) * 16);
        cairo_line_to(cr, c + std::cos(a) * 43, cy + std::sin(a) * 43);
        source(cr, palette::kSilk);
        cairo_set_line_width(cr, 8);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    return set.add(bipolar ? "knob_bipolar" : "knob", s);
}

std::string paintLampButton(BitmapSet& set, int width, Lamp lamp)
{
    const int h = kButtonHeight;
    cairo_surface_t* s = newSurface(width, 2 * h);
    cairo_t* cr = cairo_create(s);
    for (int frame = 0; frame < 2; ++frame)
    {
        const double y = frame * h, drop = frame ? 2 : 0;
        keyFace(cr, 0, y, width, h, frame == 1);
        // the lamp: a short bar across the upper part of the face
        const double lw = std::min(56.0, width * 0.45), lh = 12, lx = (width - lw) / 2, ly = y + 22 + drop;
        if (lamp != Lamp::Off)
        {
            const Rgb& c = lamp == Lamp::Active ? palette::kAccent : palette::kMuted;
            cairo_pattern_t* glow = cairo_pattern_create_radial(width / 2.0, ly + lh / 2, 2, width / 2.0,
                                                                ly + lh / 2, lw * 0.75);
            cairo_pattern_add_color_stop_rgba(glow, 0, c.fr(), c.fg(), c.fb(), 0.45);
            cairo_pattern_add_color_stop_rgba(glow, 1, c.fr(), c.fg(), c.fb(), 0);
            cairo_rectangle(cr, 6, y + 6 + drop, width - 12, h - 14);
            cairo_set_source(cr, glow);
            cairo_fill(cr);
            cairo_pattern_destroy(glow);
        }
        roundedRect(cr, lx, ly, lw, lh, lh / 2);
        if (lamp == Lamp::Off)
            source(cr, {58, 44, 26});
        else
            source(cr, lamp == Lamp::Active ? palette::kAccent : palette::kMuted);
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    const char* look = lamp == Lamp::Off ? "off" : lamp == Lamp::Active ? "on" : "muted";
    return set.add("key_" + std::to_string(width) + "_" + look, s);
}

std::string paintIconButton(BitmapSet& set, Icon icon)
{
    const int w = kIconButtonWidth, h = kButtonHeight;
    cairo_surface_t* s = newSurface(w, 2 * h);
    cairo_t* cr = cairo_create(s);
    for (int frame = 0; frame < 2; ++frame)
    {
        keyFace(cr, 0, frame * h, w, h, frame == 1);
        const double cx = w / 2.0, cy = frame * h + h / 2.0 + (frame ? 2 : 0) - 1;
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_width(cr, 6);
        source(cr, palette::kSilk);
        switch (icon)
        {
        case Icon::Prev:
        case Icon::Next:
        {
            const double d = icon == Icon::Prev ? -1 : 1;
            cairo_move_to(cr, cx + d * 14, cy);
            cairo_line_to(cr, cx - d * 10, cy - 17);
            cairo_line_to(cr, cx - d * 10, cy + 17);
            cairo_close_path(cr);
            cairo_fill(cr);
            break;
        }
        case Icon::Reset:
            cairo_arc(cr, cx, cy, 16, rad(-60), rad(220));
            cairo_stroke(cr);
            cairo_move_to(cr, cx + 16 * std::cos(rad(-60)) + 9, cy + 16 * std::sin(rad(-60)) - 4);
            cairo_line_to(cr, cx + 16 * std::cos(rad(-60)) - 4, cy + 16 * std::sin(rad(-60)) - 9);
            cairo_line_to(cr, cx + 16 * std::cos(rad(-60)) + 1, cy + 16 * std::sin(rad(-60)) + 8);
            cairo_close_path(cr);
            cairo_fill(cr);
            break;
        case Icon::Import:
        case Icon::Export:
        {
            // a tray, and an arrow going into it or out of it
            cairo_move_to(cr, cx - 20, cy + 4);
            cairo_line_to(cr, cx - 20, cy + 18);
            cairo_line_to(cr, cx + 20, cy + 18);
            cairo_line_to(cr, cx + 20, cy + 4);
            cairo_stroke(cr);
            const double tip = icon == Icon::Import ? cy + 8 : cy - 20;
            const double tail = icon == Icon::Import ? cy - 20 : cy + 8;
            const double dir = icon == Icon::Import ? 1 : -1;
            cairo_move_to(cr, cx, tail);
            cairo_line_to(cr, cx, tip - dir * 6);
            cairo_stroke(cr);
            cairo_move_to(cr, cx, tip + dir * 2);
            cairo_line_to(cr, cx - 10, tip - dir * 9);
            cairo_line_to(cr, cx + 10, tip - dir * 9);
            cairo_close_path(cr);
            cairo_fill(cr);
            break;
        }
        }
    }
    cairo_destroy(cr);
    static const char* names[] = {"icon_prev", "icon_next", "icon_reset", "icon_import", "icon_export"};
    return set.add(names[int(icon)], s);
}

std::string paintField(BitmapSet& set, int w, int h, bool menu)
{
    cairo_surface_t* s = newSurface(w, h);
    cairo_t* cr = cairo_create(s);
    roundedRect(cr, 1, 1, w - 2, h - 2, 8);
    source(cr, palette::kField);
    cairo_fill_preserve(cr);
    source(cr, palette::kFieldFrame);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // recessed: a shadow along the upper inside edge
    cairo_move_to(cr, 10, 4);
    cairo_line_to(cr, w - 10, 4);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    if (menu)
    {
        const double cx = w - 26, cy = h / 2.0 + 1;
        cairo_move_to(cr, cx - 9, cy - 5);
        cairo_line_to(cr, cx + 9, cy - 5);
        cairo_line_to(cr, cx, cy + 6);
        cairo_close_path(cr);
        source(cr, palette::kAccent);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    return set.add(std::string(menu ? "menu_" : "field_") + std::to_string(w) + "x" + std::to_string(h), s);
}

GroupEdges paintGroupEdges(BitmapSet& set, int w, int h)
{
    // One rounded rule drawn whole, then cut into its four edges: only the
    // edges are kept, so a large group costs a few thin bitmaps.
    const int top = kGroupTitleBand, bottom = kGroupEdge, side = kGroupEdge;
    cairo_surface_t* whole = newSurface(w, h);
    cairo_t* cr = cairo_create(whole);
    cairo_save(cr);
    roundedRect(cr, 1, 1, w - 2, h - 2, 14);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, 0, w, kTitleHeight + 4);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.22);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_move_to(cr, 2, kTitleHeight + 4);
    cairo_line_to(cr, w - 2, kTitleHeight + 4);
    source(cr, palette::kRule, 0.8);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    roundedRect(cr, 1, 1, w - 2, h - 2, 14);
    source(cr, palette::kRule, 0.9);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_destroy(cr);
    auto cut = [&](const std::string& name, int x, int y, int cw, int ch) {
        cairo_surface_t* piece = newSurface(cw, ch);
        cairo_t* c = cairo_create(piece);
        cairo_set_source_surface(c, whole, -x, -y);
        cairo_paint(c);
        cairo_destroy(c);
        return set.add(name, piece);
    };
    GroupEdges e;
    e.top = cut("group_top_" + std::to_string(w), 0, 0, w, top);
    e.bottom = cut("group_bottom_" + std::to_string(w), 0, h - bottom, w, bottom);
    e.left = cut("group_left_" + std::to_string(h), 0, top, side, h - top - bottom);
    e.right = cut("group_right_" + std::to_string(h), w - side, top, side, h - top - bottom);
    cairo_surface_destroy(whole);
    return e;
}

std::string paintGlyph(BitmapSet& set, int index)
{
    const Glyph& g = glyphs().at(size_t(index));
    cairo_surface_t* s = newSurface(kCellWidth, kCellHeight);
    cairo_t* cr = cairo_create(s);
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 5; ++col)
        {
            const bool lit = (g.rows[size_t(row)] >> (4 - col)) & 1;
            cairo_rectangle(cr, col * kDotPitch, row * kDotPitch, kDot, kDot);
            source(cr, palette::kLcdInk, lit ? 0.92 : 0.08);
            cairo_fill(cr);
        }
    cairo_destroy(cr);
    return set.add(std::string("glyph_") + g.name, s);
}

std::string paintLcdLight(BitmapSet& set)
{
    const int w = kLcdWidth, h = kLcdHeight;
    cairo_surface_t* s = newSurface(w, h);
    cairo_t* cr = cairo_create(s);
    roundedRect(cr, 0, 0, w, h, 6);
    cairo_pattern_t* g = cairo_pattern_create_radial(w / 2.0, h / 2.0, 10, w / 2.0, h / 2.0, w * 0.6);
    const Rgb& c = palette::kLcdGlass;
    cairo_pattern_add_color_stop_rgb(g, 0, c.fr() * 1.08, c.fg() * 1.06, c.fb() * 1.05);
    cairo_pattern_add_color_stop_rgb(g, 1, c.fr() * 0.86, c.fg() * 0.88, c.fb() * 0.8);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // the glow where the light enters at the edge
    for (int i = 0; i < 6; ++i)
    {
        roundedRect(cr, i + 0.5, i + 0.5, w - 2 * i - 1, h - 2 * i - 1, 6);
        cairo_set_source_rgba(cr, 1, 1, 0.8, 0.10 - i * 0.015);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    return set.add("lcd_light", s);
}

std::string paintLogo(BitmapSet& set, int w, int h)
{
    cairo_surface_t* s = newSurface(w, h);
    cairo_t* cr = cairo_create(s);
    source(cr, palette::kSilk);
    centredText(cr, "DARVELLO", w / 2.0, h * 0.36, 58, 6);
    cairo_move_to(cr, 16, h * 0.68);
    cairo_line_to(cr, w - 16, h * 0.68);
    source(cr, palette::kAccent);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    source(cr, palette::kSilkDim);
    centredText(cr, "DIGITAL SYNTHESIZER", w / 2.0, h * 0.86, 24, 3);
    cairo_destroy(cr);
    return set.add("logo", s);
}

std::string paintSupport(BitmapSet& set, int w, int h)
{
    cairo_surface_t* s = newSurface(w, h);
    cairo_t* cr = cairo_create(s);
    roundedRect(cr, 2, 2, w - 4, h - 4, (h - 4) / 2.0);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.05);
    cairo_fill_preserve(cr);
    source(cr, palette::kRule);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    source(cr, palette::kSilk);
    centredText(cr, "\u2665 Support", w / 2.0, h / 2.0, 28);
    cairo_destroy(cr);
    return set.add("support", s);
}

std::string paintResizeHandle(BitmapSet& set)
{
    const int n = kHandleSize;
    cairo_surface_t* s = newSurface(n, n);
    cairo_t* cr = cairo_create(s);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int k = 0; k < 4; ++k)
    {
        const double d = 16 + k * 12;
        cairo_move_to(cr, n - 8, n - d);
        cairo_line_to(cr, n - d, n - 8);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
        cairo_set_line_width(cr, 5);
        cairo_stroke_preserve(cr);
        source(cr, palette::kSilkDim);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    return set.add("resize_grip", s);
}

std::string paintThrottle(BitmapSet& set, int size)
{
    cairo_surface_t* s = newSurface(size, size);
    cairo_t* cr = cairo_create(s);
    const double c = size / 2.0;
    cairo_arc(cr, c, c + 2, c - 3, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_radial(c - 8, c - 10, 2, c, c, c - 4);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.42, 0.43, 0.46);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.16, 0.165, 0.18);
    cairo_arc(cr, c, c, c - 5, 0, 2 * kPi);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_arc(cr, c, c, c - 6, 0, 2 * kPi);
    source(cr, palette::kAccent);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    cairo_arc(cr, c, c, 5, 0, 2 * kPi);
    source(cr, palette::kSilk);
    cairo_fill(cr);
    cairo_destroy(cr);
    return set.add("throttle", s);
}

std::string paintThrottleArea(BitmapSet& set, int size, int throttle)
{
    cairo_surface_t* s = newSurface(size, size);
    cairo_t* cr = cairo_create(s);
    const double c = size / 2.0;
    cairo_arc(cr, c, c, c - 2, 0, 2 * kPi);
    source(cr, palette::kField);
    cairo_fill_preserve(cr);
    source(cr, palette::kFieldFrame);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    // the circle the throttle's centre travels in, rings and the cross
    const double travel = c - throttle / 2.0;
    for (double r : {travel, travel * 0.5})
    {
        cairo_arc(cr, c, c, r, 0, 2 * kPi);
        source(cr, palette::kRule, 0.8);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, c, 12);
    cairo_line_to(cr, c, size - 12);
    cairo_move_to(cr, 12, c);
    cairo_line_to(cr, size - 12, c);
    source(cr, palette::kRule, 0.6);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_destroy(cr);
    return set.add("mix_area", s);
}

std::string paintEnvelopeScreen(BitmapSet& set, int w, int h)
{
    cairo_surface_t* s = newSurface(w, h);
    cairo_t* cr = cairo_create(s);
    cairo_rectangle(cr, 0, 0, w, h);
    source(cr, {10, 16, 9});
    cairo_fill(cr);
    // one column per envelope stage (delay, attack, decay, sustain, release)
    for (int k = 1; k < 5; ++k)
    {
        cairo_move_to(cr, std::round(w * k / 5.0) + 0.5, 0);
        cairo_line_to(cr, std::round(w * k / 5.0) + 0.5, h);
    }
    for (int k = 1; k < 4; ++k)
    {
        cairo_move_to(cr, 0, std::round(h * k / 4.0) + 0.5);
        cairo_line_to(cr, w, std::round(h * k / 4.0) + 0.5);
    }
    source(cr, palette::kReadoutText, 0.16);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    source(cr, palette::kFieldFrame);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_destroy(cr);
    return set.add("envelope_screen", s);
}

std::string paintArrow(BitmapSet& set, int w, int h, bool left, const std::string& text)
{
    cairo_surface_t* s = newSurface(w, h);
    cairo_t* cr = cairo_create(s);
    keyFace(cr, 0, 0, w, h, false);
    source(cr, palette::kSilk);
    const double cy = h / 2.0 - 1, ax = left ? 34 : w - 34, d = left ? -1 : 1;
    cairo_move_to(cr, ax + d * 12, cy);
    cairo_line_to(cr, ax - d * 10, cy - 16);
    cairo_line_to(cr, ax - d * 10, cy + 16);
    cairo_close_path(cr);
    cairo_fill(cr);
    centredText(cr, text, left ? w / 2.0 + 18 : w / 2.0 - 18, cy, 30);
    cairo_destroy(cr);
    return set.add(left ? "arrow_left" : "arrow_right", s);
}
} // namespace panelgen
