#pragma once

// Drawing onto a cairo context: rectangles, lines, paths, gradients, text and
// bitmaps, with a stack of transforms and clip rectangles. Coordinates are in
// the current (transformed) space; text sizes are font sizes in pixels.

#include <cairo.h>

#include <vector>

#include "gui/cbitmap.h"
#include "gui/ccolor.h"
#include "gui/cfont.h"
#include "gui/cgraphicspath.h"
#include "gui/cgraphicstransform.h"

namespace VSTGUI
{
enum CDrawStyle
{
    kDrawStroked = 0,
    kDrawFilled,
    kDrawFilledAndStroked,
};
enum CDrawModeFlags
{
    kAliasing = 0,
    kAntiAliasing = 1,
};
enum CHoriTxtAlign
{
    kLeftText = 0,
    kCenterText,
    kRightText,
};
enum class BitmapInterpolationQuality
{
    kDefault = 0,
    kLow,
    kMedium,
    kHigh,
};

class CDrawContext : public CBaseObject
{
public:
    enum PathDrawMode { kPathFilled, kPathFilledEvenOdd, kPathStroked };

    // Draws through cr (not owned; kept referenced while the context lives).
    explicit CDrawContext(cairo_t* cr);
    ~CDrawContext() override;

    void setFillColor(const CColor& c) { fillColor = c; }
    const CColor& getFillColor() const { return fillColor; }
    void setFrameColor(const CColor& c) { frameColor = c; }
    const CColor& getFrameColor() const { return frameColor; }
    void setFontColor(const CColor& c) { fontColor = c; }
    const CColor& getFontColor() const { return fontColor; }
    void setLineWidth(CCoord w) { lineWidth = w; }
    CCoord getLineWidth() const { return lineWidth; }
    void setDrawMode(int32_t mode) { drawMode = mode; }
    int32_t getDrawMode() const { return drawMode; }
    void setFont(CFontRef font);
    CFontRef getFont() const { return font; }
    void setGlobalAlpha(float a) { globalAlpha = a; }
    float getGlobalAlpha() const { return globalAlpha; }
    void setBitmapInterpolationQuality(BitmapInterpolationQuality q) { quality = q; }
    // The window drawing: what it draws bitmaps with is kept for it (see CBitmap).
    void setBitmapUser(const void* user) { bitmapUser = user; }

    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    void drawLine(const CPoint& start, const CPoint& end);
    void drawEllipse(const CRect& rect, CDrawStyle style = kDrawStroked);
    void clearRect(const CRect& rect);
    void drawString(const UTF8String& text, const CRect& rect, CHoriTxtAlign align = kCenterText,
                    bool antialias = true);
    CCoord getStringWidth(const UTF8String& text);
    void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint(0, 0), float alpha = 1.f);

    CGraphicsPath* createGraphicsPath() { return new CGraphicsPath(); }
    void drawGraphicsPath(CGraphicsPath* path, PathDrawMode mode = kPathFilled);
    // Fills path with the gradient running from start to end; t, when given,
    // transforms the path and the gradient line together.
    void fillLinearGradient(CGraphicsPath* path, const CGradient& gradient, const CPoint& start, const CPoint& end,
                            bool evenOdd = false, const CGraphicsTransform* t = nullptr);

    // Clip to rect (intersected with the current clip) until the matching
    // restoreGlobalState.
    void setClipRect(const CRect& rect);
    void saveGlobalState();
    void restoreGlobalState();
    // Apply t on top of the current transform until popTransform.
    void pushTransform(const CGraphicsTransform& t);
    void popTransform();

    cairo_t* getCairo() const { return cr; }

private:
    void setSource(const CColor& c);
    // Draws a zoomed bitmap from its copy at the zoomed size; false when the
    // transform is not a plain zoom (then it is resampled as it is drawn).
    bool drawScaledBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha);
    void buildPath(CGraphicsPath* path);
    void applyAntialias();

    cairo_t* cr;
    CColor fillColor = kWhiteCColor;
    CColor frameColor = kBlackCColor;
    CColor fontColor = kBlackCColor;
    CCoord lineWidth = 1;
    int32_t drawMode = kAliasing;
    SharedPointer<CFontDesc> font;
    float globalAlpha = 1.f;
    BitmapInterpolationQuality quality = BitmapInterpolationQuality::kDefault;
    const void* bitmapUser = nullptr;
    struct Saved
    {
        CColor fill, frame, fontColor;
        CCoord lineWidth;
        int32_t drawMode;
        float alpha;
    };
    std::vector<Saved> stateStack;
};
} // namespace VSTGUI
