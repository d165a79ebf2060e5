#pragma once

// Text-showing controls. CParamDisplay draws a back colour, a frame and one
// line of text (its value, or what a subclass shows) in a font, colour and
// alignment; CTextLabel shows a fixed text.

#include <functional>

#include "gui/ccontrol.h"

namespace VSTGUI
{
class CParamDisplay : public CControl
{
public:
    enum Style
    {
        k3DIn = 1 << 0,
        k3DOut = 1 << 1,
        kShadowText = 1 << 2,
        kNoTextStyle = 1 << 3,
        kNoDrawStyle = 1 << 4,
        kRoundRectStyle = 1 << 5,
        kNoFrame = 1 << 6,
    };
    using ValueToStringFunction = std::function<bool(float value, std::string& out, CParamDisplay* display)>;

    CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);
    CParamDisplay(const CParamDisplay& other);
    CView* newCopy() const override { return new CParamDisplay(*this); }

    void setFont(CFontRef font);
    CFontRef getFont() const { return font; }
    void setFontColor(const CColor& c);
    const CColor& getFontColor() const { return fontColor; }
    void setBackColor(const CColor& c);
    const CColor& getBackColor() const { return backColor; }
    void setFrameColor(const CColor& c);
    const CColor& getFrameColor() const { return frameColor; }
    void setShadowColor(const CColor& c) { shadowColor = c; }
    const CColor& getShadowColor() const { return shadowColor; }
    void setHoriAlign(CHoriTxtAlign a);
    CHoriTxtAlign getHoriAlign() const { return horiAlign; }
    void setStyle(int32_t s);
    int32_t getStyle() const { return style; }
    void setTextInset(const CPoint& p) { textInset = p; }
    const CPoint& getTextInset() const { return textInset; }
    void setAntialias(bool state) { antialias = state; }
    bool getAntialias() const { return antialias; }
    void setRoundRectRadius(CCoord r) { roundRectRadius = r; }
    CCoord getRoundRectRadius() const { return roundRectRadius; }
    void setValueToStringFunction(ValueToStringFunction f) { valueToString = std::move(f); }

    void draw(CDrawContext* context) override;

protected:
    // The text this display shows.
    virtual std::string getDisplayText() const;
    void drawBack(CDrawContext* context);
    void drawText(CDrawContext* context, const std::string& text);

private:
    SharedPointer<CFontDesc> font;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = kRedCColor;
    CHoriTxtAlign horiAlign = kCenterText;
    int32_t style;
    CPoint textInset;
    bool antialias = true;
    CCoord roundRectRadius = 6;
    ValueToStringFunction valueToString;
};

class CTextLabel : public CParamDisplay
{
public:
    CTextLabel(const CRect& size, const UTF8String& text = "", CBitmap* background = nullptr, int32_t style = 0);
    CView* newCopy() const override { return new CTextLabel(*this); }

    virtual void setText(const UTF8String& text);
    const UTF8String& getText() const { return text; }

protected:
    std::string getDisplayText() const override { return text.getString(); }

private:
    UTF8String text;
};
} // namespace VSTGUI
