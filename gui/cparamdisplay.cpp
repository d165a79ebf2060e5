#include "gui/cparamdisplay.h"

#include <cstdio>

namespace VSTGUI
{
CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int32_t s)
    : CControl(size, nullptr, -1, background), font(kNormalFont), style(s)
{
    setWantsFocus(false);
}

CParamDisplay::CParamDisplay(const CParamDisplay& o)
    : CControl(o), font(o.font), fontColor(o.fontColor), backColor(o.backColor), frameColor(o.frameColor),
      shadowColor(o.shadowColor), horiAlign(o.horiAlign), style(o.style), textInset(o.textInset),
      antialias(o.antialias), roundRectRadius(o.roundRectRadius), valueToString(o.valueToString)
{
}

void CParamDisplay::setFont(CFontRef f)
{
    font = f ? f : kNormalFont;
    setDirty(true);
}

void CParamDisplay::setFontColor(const CColor& c)
{
    if (c != fontColor)
    {
        fontColor = c;
        setDirty(true);
    }
}

void CParamDisplay::setBackColor(const CColor& c)
{
    if (c != backColor)
    {
        backColor = c;
        setDirty(true);
    }
}

void CParamDisplay::setFrameColor(const CColor& c)
{
    if (c != frameColor)
    {
        frameColor = c;
        setDirty(true);
    }
}

void CParamDisplay::setHoriAlign(CHoriTxtAlign a)
{
    horiAlign = a;
    setDirty(true);
}

void CParamDisplay::setStyle(int32_t s)
{
    style = s;
    setDirty(true);
}

std::string CParamDisplay::getDisplayText() const
{
    std::string out;
    if (valueToString && valueToString(value, out, const_cast<CParamDisplay*>(this)))
        return out;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", double(value));
    return buffer;
}

void CParamDisplay::drawBack(CDrawContext* context)
{
    if (style & kNoDrawStyle)
        return;
    if (!getTransparency())
    {
        context->setDrawMode(kAntiAliasing);
        CGraphicsPath path;
        if (style & kRoundRectStyle)
        {
            // Rounded corners approximated by an ellipse per corner.
            const CCoord r = std::min(roundRectRadius, std::min(size.getWidth(), size.getHeight()) / 2);
            CRect inner = size;
            inner.inset(r, 0);
            path.addRect(inner);
            inner = size;
            inner.inset(0, r);
            path.addRect(inner);
            path.addEllipse(CRect(size.left, size.top, size.left + 2 * r, size.top + 2 * r));
            path.addEllipse(CRect(size.right - 2 * r, size.top, size.right, size.top + 2 * r));
            path.addEllipse(CRect(size.left, size.bottom - 2 * r, size.left + 2 * r, size.bottom));
            path.addEllipse(CRect(size.right - 2 * r, size.bottom - 2 * r, size.right, size.bottom));
        }
        else
            path.addRect(size);
        context->setFillColor(backColor);
        context->drawGraphicsPath(&path, CDrawContext::kPathFilled);
        if (!(style & kNoFrame) && !(style & kRoundRectStyle))
        {
            context->setFrameColor(frameColor);
            context->setLineWidth(1);
            context->setDrawMode(kAliasing);
            context->drawRect(size, kDrawStroked);
        }
    }
    if (getBackground())
        context->drawBitmap(getBackground(), size);
}

void CParamDisplay::drawText(CDrawContext* context, const std::string& text)
{
    if ((style & (kNoTextStyle | kNoDrawStyle)) || text.empty())
        return;
    CRect r = size;
    r.inset(textInset.x, textInset.y);
    context->setFont(font);
    if (style & kShadowText)
    {
        CRect shadow = r;
        shadow.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadow, horiAlign, antialias);
    }
    context->setFontColor(fontColor);
    context->drawString(text, r, horiAlign, antialias);
}

void CParamDisplay::draw(CDrawContext* context)
{
    drawBack(context);
    drawText(context, getDisplayText());
    setDirty(false);
}

CTextLabel::CTextLabel(const CRect& size, const UTF8String& t, CBitmap* background, int32_t style)
    : CParamDisplay(size, background, style), text(t)
{
}

void CTextLabel::setText(const UTF8String& t)
{
    if (text == t)
        return;
    text = t;
    setDirty(true);
}
} // namespace VSTGUI
