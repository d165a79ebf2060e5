#pragma once

// An affine transform (x' = m11 x + m12 y + dx, y' = m21 x + m22 y + dy) for
// zooming a container's content.

#include "gui/crect.h"

namespace VSTGUI
{
struct CGraphicsTransform
{
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

    CGraphicsTransform() = default;
    CGraphicsTransform(double a11, double a12, double a21, double a22, double tx, double ty)
        : m11(a11), m12(a12), m21(a21), m22(a22), dx(tx), dy(ty)
    {
    }

    CGraphicsTransform& scale(double sx, double sy)
    {
        m11 *= sx;
        m12 *= sx;
        dx *= sx;
        m21 *= sy;
        m22 *= sy;
        dy *= sy;
        return *this;
    }
    CGraphicsTransform& translate(double tx, double ty)
    {
        dx += tx;
        dy += ty;
        return *this;
    }
    bool isInvariant() const { return m11 == 1 && m12 == 0 && m21 == 0 && m22 == 1 && dx == 0 && dy == 0; }

    CPoint& transform(CPoint& p) const
    {
        const double x = p.x;
        p.x = m11 * x + m12 * p.y + dx;
        p.y = m21 * x + m22 * p.y + dy;
        return p;
    }
    // Bounding box of the transformed corners.
    CRect& transform(CRect& r) const
    {
        CPoint a(r.left, r.top), b(r.right, r.top), c(r.left, r.bottom), d(r.right, r.bottom);
        transform(a);
        transform(b);
        transform(c);
        transform(d);
        r.left = std::min(std::min(a.x, b.x), std::min(c.x, d.x));
        r.right = std::max(std::max(a.x, b.x), std::max(c.x, d.x));
        r.top = std::min(std::min(a.y, b.y), std::min(c.y, d.y));
        r.bottom = std::max(std::max(a.y, b.y), std::max(c.y, d.y));
        return r;
    }
    // The inverse; the identity for a singular transform.
    CGraphicsTransform inverse() const
    {
        const double det = m11 * m22 - m12 * m21;
        if (det == 0)
            return {};
        CGraphicsTransform r(m22 / det, -m12 / det, -m21 / det, m11 / det, 0, 0);
        r.dx = -(r.m11 * dx + r.m12 * dy);
        r.dy = -(r.m21 * dx + r.m22 * dy);
        return r;
    }
    bool operator==(const CGraphicsTransform& o) const
    {
        return m11 == o.m11 && m12 == o.m12 && m21 == o.m21 && m22 == o.m22 && dx == o.dx && dy == o.dy;
    }
    bool operator!=(const CGraphicsTransform& o) const { return !(*this == o); }
};
} // namespace VSTGUI
