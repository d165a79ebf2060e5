#pragma once

// A bitmap in memory (premultiplied ARGB, 32 bits a pixel), usually decoded
// from PNG. Film strips (knob and button frames) are one tall bitmap whose
// frames the controls pick by offset.
//
// Drawn zoomed, a bitmap is not resampled at every redraw: each part of it
// that is drawn (the whole picture, or one frame of a strip) gets a copy
// scaled to the size it is shown at, box filtered down by halving first.
// A strip is scaled frame by frame, so that turning a knob never needs the
// full-size pixels once they are gone.
//
// Bitmaps are shared by every window of the process, on any thread. Each
// window is a user (the frame, named by the draw context): a copy is kept
// while a user that drew with it is open and still draws at its zoom, so
// windows at any number of sizes each keep theirs, and a copy no window uses
// goes (releaseUser). A bitmap made from PNG bytes with createDeferredFromPNG
// decodes them only when first drawn and drops its full-size pixels again
// when no user draws them unzoomed, as soon as its copies are made (a strip's
// then scaled frame by frame in full), unless a window's zoom is changing:
// a drag of a resize handle needs new copies at every step, scaled from the
// full-size pixels (and the picture's halved copies) kept while it lasts.
// All operations may be called from any thread.

#include <cairo.h>

#include <cstddef>
#include <mutex>
#include <string>
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
    // Keeps the PNG bytes and decodes them when the pixels are first needed;
    // null and a log line when the header is not acceptable. A body that
    // turns out not to decode is logged then and draws nothing.
    static CBitmap* createDeferredFromPNG(std::vector<uint8_t>&& png);

    CCoord getWidth() const { return width; }
    CCoord getHeight() const { return height; }
    // Whether the full-size pixels are in memory now.
    bool isLoaded() const;

    // Draws the part of the bitmap that starts at offset into rect (1:1).
    void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0), float alpha = 1.f);

    // The full-size pixels, decoded when needed (null when they cannot be);
    // owned by the bitmap, valid until releaseFullSize.
    cairo_surface_t* getSurface();
    // The same as a new reference, which the caller destroys; user draws the
    // bitmap at full size, which keeps the pixels until releaseUser(user).
    cairo_surface_t* acquireSurface(const void* user = nullptr);
    // Encodes the bitmap as PNG; false when it cannot.
    bool writePNG(const std::string& path);

    // The part src (whole pixels, within the bitmap) scaled to width x height
    // pixels; smooth unless nearest is set; user draws with it, which keeps
    // it until releaseUser(user). A new reference, which the caller
    // destroys; null when the sizes are unusable.
    cairo_surface_t* getScaledCopy(const CRect& src, int width, int height, bool nearest = false,
                                   const void* user = nullptr);

    // Drops the full-size pixels when they can be decoded again, no user
    // draws them unzoomed and no zoom is changing. True when they were dropped.
    bool releaseFullSize();
    // What user drew with, in every bitmap of the process, is no longer
    // needed by it (its window closed, or draws at another zoom now): the
    // copies no other user draws with go, and full-size pixels nobody needs.
    static void releaseUser(const void* user);
    // Counted, from any window: while a zoom is changing, full-size pixels stay.
    static void beginZoomChange();
    static void endZoomChange();
    // How often the PNG bytes were decoded.
    int getDecodeCount() const;

private:
    explicit CBitmap(cairo_surface_t* s);
    cairo_surface_t* pixels(); // with the lock held
    struct Scaled
    {
        int sx, sy, sw, sh; // the part; sy = -1: every frame of height sh
        int width, height;  // of the part (of one frame for a strip)
        bool nearest;
        cairo_surface_t* surface;
        std::vector<bool> built;          // of a strip: which frames are scaled yet
        std::vector<const void*> users;   // the windows that draw with it
    };
    // Drops the full-size pixels when nothing needs them (with the lock held):
    // a strip's copies get their missing frames first. True when dropped.
    bool dropUnneededFullSize();
    // Scales frame f of a strip into its copy c (with the lock held).
    void buildFrame(Scaled& c, int f, cairo_surface_t* full);
    // The whole picture scaled, from the halved copies kept while the
    // full-size pixels are (with the lock held).
    cairo_surface_t* scaledWhole(cairo_surface_t* full, int width, int height, bool nearest);
    std::vector<cairo_surface_t*> halves; // of the whole picture: 1/2, 1/4, ...
    mutable std::mutex lock;
    cairo_surface_t* surface = nullptr;
    std::vector<uint8_t> png;
    CCoord width = 0;
    CCoord height = 0;
    std::vector<const void*> fullSizeUsers; // the windows that draw it unzoomed
    int decodes = 0;
    std::vector<Scaled> scaled;
    // Every bitmap of the process, for releaseUser: a list threaded through
    // them, so that nothing of it is destroyed at exit before the last bitmap.
    CBitmap* previous = nullptr;
    CBitmap* next = nullptr;
    void enlist();
};
} // namespace VSTGUI
