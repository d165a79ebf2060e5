#pragma once

// A bitmap in memory (premultiplied ARGB, 32 bits a pixel), usually decoded
// from PNG. Film strips (knob and button frames) are one tall bitmap whose
// frames the controls pick by offset.

#include <cairo.h>

#include <cstddef>
#include <string>

#include "gui/crect.h"

namespace VSTGUI
{
class CDrawContext;

class CBitmap : public CBaseObject
{
public:
    // An empty (transparent) bitmap of the given size in pixels.
    CBitmap(CCoord width, CCoord height);
    ~CBitmap() override;

    // Decodes PNG bytes; null and a log line when they are not a PNG the
    // toolkit accepts (at most 32768 pixels a side, 64 Mpixel in all).
    static CBitmap* createFromPNG(const void* data, size_t size);
    static CBitmap* createFromPNGFile(const std::string& path);

    CCoord getWidth() const;
    CCoord getHeight() const;
    bool isLoaded() const { return surface != nullptr; }

    // Draws the part of the bitmap that starts at offset into rect (1:1).
    void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0), float alpha = 1.f);

    cairo_surface_t* getSurface() const { return surface; }
    // Encodes the bitmap as PNG; false when it cannot.
    bool writePNG(const std::string& path) const;

private:
    explicit CBitmap(cairo_surface_t* s) : surface(s) {}
    cairo_surface_t* surface = nullptr;
};
} // namespace VSTGUI
