#include "gui/cdrawcontext.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI
{
CDrawContext::CDrawContext(cairo_t* c) : cr(cairo_reference(c)), font(kNormalFont) {}

CDrawContext::~CDrawContext()
{
    cairo_destroy(cr);
}

void CDrawContext::setFont(CFontRef f)
{
    font = f ? f : kNormalFont;
}

void CDrawContext::setSource(const CColor& c)
{
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0 * globalAlpha);
}

void CDrawContext::applyAntialias()
{
    cairo_set_antialias(cr, (drawMode & kAntiAliasing) ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style)
{
    applyAntialias();
    cairo_new_path(cr);
    if (style != kDrawStroked)
    {
        cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
        setSource(fillColor);
        cairo_fill(cr);
    }
    if (style != kDrawFilled)
    {
        // Stroke inside the rectangle on pixel centres.
        const double h = lineWidth / 2;
        cairo_rectangle(cr, rect.left + h, rect.top + h, rect.getWidth() - lineWidth, rect.getHeight() - lineWidth);
        cairo_set_line_width(cr, lineWidth);
        setSource(frameColor);
        cairo_stroke(cr);
    }
}

void CDrawContext::drawLine(const CPoint& start, const CPoint& end)
{
    applyAntialias();
    cairo_new_path(cr);
    cairo_move_to(cr, start.x + 0.5, start.y + 0.5);
    cairo_line_to(cr, end.x + 0.5, end.y + 0.5);
    cairo_set_line_width(cr, lineWidth);
    setSource(frameColor);
    cairo_stroke(cr);
}

void CDrawContext::drawEllipse(const CRect& rect, CDrawStyle style)
{
    CGraphicsPath path;
    path.addEllipse(rect);
    applyAntialias();
    buildPath(&path);
    if (style != kDrawStroked)
    {
        setSource(fillColor);
        cairo_fill_preserve(cr);
    }
    if (style != kDrawFilled)
    {
        cairo_set_line_width(cr, lineWidth);
        setSource(frameColor);
        cairo_stroke_preserve(cr);
    }
    cairo_new_path(cr);
}

void CDrawContext::clearRect(const CRect& rect)
{
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_fill(cr);
    cairo_restore(cr);
}

namespace
{
// cairo refuses text that is not valid UTF-8 and then stays in an error
// state (drawing nothing more, and leaking the refused glyphs): broken
// sequences are shown as U+FFFD instead.
std::string validUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
    {
        const auto b = uint8_t(text[i]);
        const int extra = b < 0x80 ? 0 : (b >= 0xC2 && b <= 0xDF) ? 1 : (b >= 0xE0 && b <= 0xEF) ? 2
                                     : (b >= 0xF0 && b <= 0xF4) ? 3 : -1;
        bool ok = extra >= 0;
        uint32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; ok && k <= extra; ++k) // bounds are checked per byte
        {
            if (i + size_t(k) >= text.size() || (uint8_t(text[i + k]) & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (uint8_t(text[i + k]) & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are invalid too.
        if (ok && ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                   (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0))
            ok = false;
        if (ok)
        {
            out.append(text, i, size_t(extra) + 1);
            i += size_t(extra) + 1;
        }
        else
        {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

// Unhinted metrics, so that text measures the same at every zoom; measuring
// and drawing use the same options, so a measured width is the drawn one.
void setTextOptions(cairo_t* cr, bool antialias)
{
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

void selectFont(cairo_t* cr, CFontDesc* font)
{
    const int32_t style = font->getStyle();
    cairo_select_font_face(cr, font->getResolvedFamily().c_str(),
                           (style & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           (style & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font->getSize() > 0 ? font->getSize() : 12);
}
} // namespace

void CDrawContext::drawString(const UTF8String& utf8, const CRect& rect, CHoriTxtAlign align, bool antialias)
{
    const std::string text = validUtf8(utf8.getString());
    if (text.empty())
        return;
    cairo_save(cr);
    selectFont(cr, font);
    setTextOptions(cr, antialias);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    cairo_font_extents_t fext;
    cairo_font_extents(cr, &fext);
    double x = rect.left;
    if (align == kCenterText)
        x = rect.left + (rect.getWidth() - ext.x_advance) / 2;
    else if (align == kRightText)
        x = rect.right - ext.x_advance;
    // Vertically centred on the font's ascent and descent.
    const double y = rect.top + (rect.getHeight() - (fext.ascent + fext.descent)) / 2 + fext.ascent;
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_clip(cr);
    setSource(fontColor);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
    if (font->getStyle() & (kUnderlineFace | kStrikethroughFace))
    {
        const double ly = (font->getStyle() & kUnderlineFace) ? y + 2 : y - fext.ascent / 3;
        cairo_set_line_width(cr, 1);
        cairo_move_to(cr, x, ly);
        cairo_line_to(cr, x + ext.x_advance, ly);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

CCoord CDrawContext::getStringWidth(const UTF8String& text)
{
    cairo_save(cr);
    selectFont(cr, font);
    setTextOptions(cr, true);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, validUtf8(text.getString()).c_str(), &ext);
    cairo_restore(cr);
    return ext.x_advance;
}

void CDrawContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha)
{
    if (!bitmap || dest.isEmpty())
        return;
    if (drawScaledBitmap(bitmap, dest, offset, alpha))
        return;
    cairo_surface_t* pixels = bitmap->acquireSurface(bitmapUser);
    if (!pixels)
        return;
    cairo_save(cr);
    cairo_rectangle(cr, dest.left, dest.top, dest.getWidth(), dest.getHeight());
    cairo_clip(cr);
    cairo_set_source_surface(cr, pixels, dest.left - offset.x, dest.top - offset.y);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    cairo_pattern_set_filter(pattern, quality == BitmapInterpolationQuality::kHigh ? CAIRO_FILTER_BEST
                                      : quality == BitmapInterpolationQuality::kLow ? CAIRO_FILTER_FAST
                                                                                    : CAIRO_FILTER_GOOD);
    // Pixels outside the bitmap stay transparent instead of smearing edges.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_NONE);
    cairo_paint_with_alpha(cr, alpha * globalAlpha);
    cairo_restore(cr);
    cairo_surface_destroy(pixels);
}

bool CDrawContext::drawScaledBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha)
{
    // Only for a zoom without rotation or shear: the bitmap's copy at the
    // zoomed size is then placed on whole device pixels.
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    if (m.xy != 0 || m.yx != 0 || !(m.xx > 0) || !(m.yy > 0) || (m.xx == 1 && m.yy == 1))
        return false;
    // The part of the bitmap that falls into dest.
    CRect src(offset.x, offset.y, offset.x + dest.getWidth(), offset.y + dest.getHeight());
    src.bound(CRect(0, 0, bitmap->getWidth(), bitmap->getHeight()));
    if (src.isEmpty() || src.left != std::floor(src.left) || src.top != std::floor(src.top) ||
        src.right != std::floor(src.right) || src.bottom != std::floor(src.bottom))
        return false;
    const int w = std::max(1, int(std::lround(src.getWidth() * m.xx)));
    const int h = std::max(1, int(std::lround(src.getHeight() * m.yy)));
    cairo_surface_t* copy = bitmap->getScaledCopy(src, w, h, quality == BitmapInterpolationQuality::kLow, bitmapUser);
    if (!copy)
        return false;
    const double x = std::round(m.xx * (dest.left + src.left - offset.x) + m.x0);
    const double y = std::round(m.yy * (dest.top + src.top - offset.y) + m.y0);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_set_source_surface(cr, copy, x, y);
    cairo_paint_with_alpha(cr, alpha * globalAlpha);
    cairo_restore(cr);
    cairo_surface_destroy(copy);
    return true;
}

void CDrawContext::buildPath(CGraphicsPath* path)
{
    cairo_new_path(cr);
    for (const auto& op : path->getOps())
    {
        switch (op.kind)
        {
        case CGraphicsPath::OpKind::kBegin: cairo_move_to(cr, op.r.left, op.r.top); break;
        case CGraphicsPath::OpKind::kLine: cairo_line_to(cr, op.r.left, op.r.top); break;
        case CGraphicsPath::OpKind::kClose: cairo_close_path(cr); break;
        case CGraphicsPath::OpKind::kRect:
            cairo_rectangle(cr, op.r.left, op.r.top, op.r.getWidth(), op.r.getHeight());
            break;
        case CGraphicsPath::OpKind::kEllipse:
            if (op.r.getWidth() > 0 && op.r.getHeight() > 0)
            {
                cairo_save(cr);
                cairo_translate(cr, op.r.left + op.r.getWidth() / 2, op.r.top + op.r.getHeight() / 2);
                cairo_scale(cr, op.r.getWidth() / 2, op.r.getHeight() / 2);
                cairo_new_sub_path(cr);
                cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
                cairo_restore(cr);
            }
            break;
        }
    }
}

void CDrawContext::drawGraphicsPath(CGraphicsPath* path, PathDrawMode mode)
{
    if (!path)
        return;
    applyAntialias();
    buildPath(path);
    if (mode == kPathStroked)
    {
        cairo_set_line_width(cr, lineWidth);
        setSource(frameColor);
        cairo_stroke(cr);
        return;
    }
    cairo_set_fill_rule(cr, mode == kPathFilledEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    setSource(fillColor);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

void CDrawContext::fillLinearGradient(CGraphicsPath* path, const CGradient& gradient, const CPoint& start,
                                      const CPoint& end, bool evenOdd, const CGraphicsTransform* t)
{
    if (!path)
        return;
    if (t)
        pushTransform(*t);
    applyAntialias();
    buildPath(path);
    cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
    for (const auto& [offset, c] : gradient.getColorStops())
        cairo_pattern_add_color_stop_rgba(pattern, offset, c.red / 255.0, c.green / 255.0, c.blue / 255.0,
                                          c.alpha / 255.0 * globalAlpha);
    cairo_set_source(cr, pattern);
    cairo_set_fill_rule(cr, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_pattern_destroy(pattern);
    if (t)
        popTransform();
}

void CDrawContext::setClipRect(const CRect& rect)
{
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_clip(cr);
}

void CDrawContext::saveGlobalState()
{
    cairo_save(cr);
    stateStack.push_back({fillColor, frameColor, fontColor, lineWidth, drawMode, globalAlpha});
}

void CDrawContext::restoreGlobalState()
{
    if (stateStack.empty())
        return;
    cairo_restore(cr);
    const Saved s = stateStack.back();
    stateStack.pop_back();
    fillColor = s.fill;
    frameColor = s.frame;
    fontColor = s.fontColor;
    lineWidth = s.lineWidth;
    drawMode = s.drawMode;
    globalAlpha = s.alpha;
}

void CDrawContext::pushTransform(const CGraphicsTransform& t)
{
    cairo_save(cr);
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.m11, t.m21, t.m12, t.m22, t.dx, t.dy);
    cairo_transform(cr, &m);
}

void CDrawContext::popTransform()
{
    cairo_restore(cr);
}
} // namespace VSTGUI
