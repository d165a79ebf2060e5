#pragma once

// A vector path (lines, rectangles, ellipses, closed or open subpaths) and a
// two-or-more-stop colour gradient, both for CDrawContext.

#include <map>
#include <vector>

#include "gui/ccolor.h"
#include "gui/crect.h"

namespace VSTGUI
{
class CGraphicsPath : public CBaseObject
{
public:
    enum class OpKind { kBegin, kLine, kClose, kRect, kEllipse };
    struct Op
    {
        OpKind kind;
        CRect r; // kBegin/kLine use left/top as the point
    };

    void beginSubpath(const CPoint& p) { ops.push_back({OpKind::kBegin, CRect(p.x, p.y, p.x, p.y)}); }
    void addLine(const CPoint& p) { ops.push_back({OpKind::kLine, CRect(p.x, p.y, p.x, p.y)}); }
    void addRect(const CRect& r) { ops.push_back({OpKind::kRect, r}); }
    void addEllipse(const CRect& r) { ops.push_back({OpKind::kEllipse, r}); }
    void closeSubpath() { ops.push_back({OpKind::kClose, CRect()}); }
    const std::vector<Op>& getOps() const { return ops; }

private:
    std::vector<Op> ops;
};

class CGradient : public CBaseObject
{
public:
    using ColorStopMap = std::multimap<double, CColor>;

    static CGradient* create(double color1Start, double color2Start, const CColor& color1, const CColor& color2)
    {
        auto* g = new CGradient();
        g->addColorStop(color1Start, color1);
        g->addColorStop(color2Start, color2);
        return g;
    }
    static CGradient* create(const ColorStopMap& stops)
    {
        auto* g = new CGradient();
        g->stops = stops;
        return g;
    }
    void addColorStop(double start, const CColor& color) { stops.emplace(start, color); }
    const ColorStopMap& getColorStops() const { return stops; }

private:
    ColorStopMap stops;
};
} // namespace VSTGUI
