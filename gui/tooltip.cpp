#include "gui/tooltip.h"

#include <algorithm>

namespace VSTGUI
{
namespace
{
CFontDesc& tipFont()
{
    static CFontDesc font("DejaVu Sans", 12, 0);
    return font;
}
} // namespace

CRect Tooltip::show(const std::string& t, const CRect& window)
{
    text = t;
    shown = true;
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    CCoord width = 0;
    {
        CDrawContext measure(cr);
        measure.setFont(&tipFont());
        width = std::ceil(measure.getStringWidth(text)) + 10;
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    CCoord left = std::min(position.x, window.right - width - 1);
    CCoord top = position.y + 20;
    if (top + 20 > window.bottom)
        top = position.y - 24;
    left = std::max<CCoord>(left, 0);
    top = std::max<CCoord>(top, 0);
    box = CRect(std::floor(left), std::floor(top), std::floor(left) + width, std::floor(top) + 20);
    return box;
}

CRect Tooltip::hide()
{
    if (!shown)
        return CRect();
    shown = false;
    return box;
}

void Tooltip::draw(CDrawContext* context) const
{
    if (!shown)
        return;
    context->setDrawMode(kAliasing);
    context->setFillColor(CColor(255, 255, 225));
    context->drawRect(box, kDrawFilled);
    context->setFrameColor(CColor(118, 118, 118));
    context->setLineWidth(1);
    context->drawRect(box, kDrawStroked);
    context->setFont(&tipFont());
    context->setFontColor(CColor(20, 20, 20));
    CRect r = box;
    r.inset(5, 0);
    context->drawString(text, r, kLeftText);
}
} // namespace VSTGUI
