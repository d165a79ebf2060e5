#pragma once

// A bitmap in memory (premultiplied ARGB, 32 bits a pixel), usually decoded
// from PNG. Film strips (knob and button frames) are one tall bitmap whose
// frames the controls pick by offset.
//
// Drawn zoomed, a bitmap is not resampled at every redraw: each part of it
// that is drawn (the whole picture, or one frame of a strip) keeps copies
// halved again and again (box filtered), and a copy scaled to the size it is
// shown at, made from the smallest halved copy at least that large. The
// copies for the two most recent sizes of a part are kept; the pixels must
// not change once the bitmap has been drawn zoomed.

#include <cairo.h>

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "gui/crect.h"

namespace VSTGUI
{
class CDrawContext;

// The PNG encoding of an image surface, appended to out; false when it fails.
bool encodePNG(cairo_surface_t* surface, std::vector<unsigned char>& out);

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

    // The part src (whole pixels, within the bitmap) scaled to width x height
    // pixels; smooth unless nearest is set. Owned by the bitmap; null when
    // the sizes are unusable.
    cairo_surface_t* getScaledCopy(const CRect& src, int width, int height, bool nearest = false);

private:
    explicit CBitmap(cairo_surface_t* s);
    struct Part;
    cairo_surface_t* surface = nullptr;
    std::map<std::tuple<int, int, int, int>, std::unique_ptr<Part>> parts;
};
} // namespace VSTGUI
