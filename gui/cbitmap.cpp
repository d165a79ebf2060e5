#include "gui/cbitmap.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "gui/cdrawcontext.h"
#include "gui/guilog.h"

namespace VSTGUI
{
namespace
{
struct PngReader
{
    const uint8_t* data;
    size_t size;
    size_t pos;
};

cairo_status_t readChunk(void* closure, unsigned char* out, unsigned int length)
{
    auto* r = static_cast<PngReader*>(closure);
    if (length > r->size - r->pos)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, r->data + r->pos, length);
    r->pos += length;
    return CAIRO_STATUS_SUCCESS;
}

uint32_t bigEndian32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

cairo_status_t appendChunk(void* closure, const unsigned char* data, unsigned int length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

// Half the size (rounded up), each pixel the mean of a 2 x 2 block; premultiplied
// channels average correctly. A last odd row or column averages with itself.
cairo_surface_t* halved(cairo_surface_t* src)
{
    cairo_surface_flush(src);
    const int w = cairo_image_surface_get_width(src), h = cairo_image_surface_get_height(src);
    const int hw = (w + 1) / 2, hh = (h + 1) / 2;
    cairo_surface_t* dst = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, hw, hh);
    const uint8_t* in = cairo_image_surface_get_data(src);
    uint8_t* out = cairo_image_surface_get_data(dst);
    const int inStride = cairo_image_surface_get_stride(src), outStride = cairo_image_surface_get_stride(dst);
    for (int y = 0; y < hh; ++y)
    {
        const uint8_t* r0 = in + size_t(2 * y) * size_t(inStride);
        const uint8_t* r1 = 2 * y + 1 < h ? r0 + inStride : r0;
        uint8_t* o = out + size_t(y) * size_t(outStride);
        for (int x = 0; x < hw; ++x)
        {
            const int a = 8 * x, b = 2 * x + 1 < w ? a + 4 : a;
            for (int c = 0; c < 4; ++c)
                o[4 * x + c] = uint8_t((r0[a + c] + r0[b + c] + r1[a + c] + r1[b + c] + 2) >> 2);
        }
    }
    cairo_surface_mark_dirty(dst);
    return dst;
}
// level scaled to width x height, smoothly or to the nearest pixel. A new surface.
cairo_surface_t* scaledFrom(cairo_surface_t* level, int width, int height, bool nearest)
{
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(out);
    cairo_scale(cr, double(width) / cairo_image_surface_get_width(level),
                double(height) / cairo_image_surface_get_height(level));
    cairo_set_source_surface(cr, level, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), nearest ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(out);
    return out;
}

// Whether a half of a w x h picture is still at least width x height.
bool halfStillLarger(int w, int h, int width, int height)
{
    return (w + 1) / 2 >= width && (h + 1) / 2 >= height && !(w == 1 && h == 1);
}

// The part (sx, sy, sw, sh) of src scaled to width x height: halved while
// a half is still at least as large, then scaled smoothly (or to the
// nearest pixel). A new surface.
cairo_surface_t* scaledRegion(cairo_surface_t* src, int sx, int sy, int sw, int sh, int width, int height, bool nearest)
{
    cairo_surface_t* level = nullptr;
    if (sx == 0 && sy == 0 && sw == cairo_image_surface_get_width(src) && sh == cairo_image_surface_get_height(src))
        level = cairo_surface_reference(src);
    else
    {
        // A frame of a strip is copied out, so that halving never mixes in its neighbours.
        level = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sw, sh);
        cairo_t* cr = cairo_create(level);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, src, -sx, -sy);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    while (halfStillLarger(cairo_image_surface_get_width(level), cairo_image_surface_get_height(level), width, height))
    {
        cairo_surface_t* half = halved(level);
        cairo_surface_destroy(level);
        level = half;
    }
    cairo_surface_t* out = scaledFrom(level, width, height, nearest);
    cairo_surface_destroy(level);
    return out;
}

// The list of every bitmap, and the zooms changing now: trivially destroyed,
// so bitmaps that outlive static destruction (a description held until the
// plug-in is unloaded) still find them.
constinit std::mutex g_bitmapsLock;
CBitmap* g_firstBitmap = nullptr;
std::atomic<int> g_zoomChanges{0};

void removeUser(std::vector<const void*>& users, const void* user)
{
    users.erase(std::remove(users.begin(), users.end(), user), users.end());
}

// The header's size of acceptable PNG bytes; false (logged) for anything else.
bool pngSize(const uint8_t* bytes, size_t size, uint32_t& w, uint32_t& h)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (!bytes || size < 33 || std::memcmp(bytes, signature, 8) != 0 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
    {
        GUI_LOG("Not a PNG image (" << size << " bytes)");
        return false;
    }
    // Refuse sizes that would exhaust memory before libpng sees them.
    w = bigEndian32(bytes + 16);
    h = bigEndian32(bytes + 20);
    if (w == 0 || h == 0 || w > 32768 || h > 32768 || uint64_t(w) * h > 64ull * 1024 * 1024)
    {
        GUI_LOG("PNG image of " << w << " x " << h << " pixels refused");
        return false;
    }
    return true;
}

// Decoded pixels of bytes pngSize accepted, as ARGB32; null (logged) when
// the body does not decode or does not match the header.
cairo_surface_t* decodePNG(const uint8_t* bytes, size_t size, uint32_t w, uint32_t h)
{
    PngReader reader{bytes, size, 0};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(readChunk, &reader);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
    {
        GUI_LOG("Failed to decode PNG image: " << cairo_status_to_string(cairo_surface_status(s)));
        cairo_surface_destroy(s);
        return nullptr;
    }
    if (cairo_image_surface_get_width(s) != int(w) || cairo_image_surface_get_height(s) != int(h))
    {
        GUI_LOG("PNG image is not of its header's size");
        cairo_surface_destroy(s);
        return nullptr;
    }
    if (cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24)
    {
        // Give every bitmap one pixel format so drawing and comparing are
        // uniform. An opaque picture's pixels are ARGB32 once their unused
        // byte is made opaque: the same memory serves, no copy is made.
        cairo_surface_flush(s);
        auto* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        for (uint32_t y = 0; y < h; ++y)
        {
            auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
            for (uint32_t x = 0; x < w; ++x)
                row[x] |= 0xFF000000u;
        }
        cairo_surface_t* argb = cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, int(w), int(h), stride);
        static cairo_user_data_key_t owner;
        cairo_surface_set_user_data(argb, &owner, s, [](void* p) { cairo_surface_destroy(static_cast<cairo_surface_t*>(p)); });
        s = argb;
    }
    else if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32)
    {
        cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(w), int(h));
        cairo_t* cr = cairo_create(argb);
        cairo_set_source_surface(cr, s, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(s);
        s = argb;
    }
    return s;
}
} // namespace

void CBitmap::enlist()
{
    std::lock_guard<std::mutex> guard(g_bitmapsLock);
    next = g_firstBitmap;
    if (next)
        next->previous = this;
    g_firstBitmap = this;
}

CBitmap::CBitmap(CCoord w, CCoord h)
{
    enlist();
    const int iw = w > 0 ? int(w) : 0;
    const int ih = h > 0 ? int(h) : 0;
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, iw, ih);
    width = iw;
    height = ih;
}

bool encodePNG(cairo_surface_t* surface, std::vector<unsigned char>& out)
{
    cairo_surface_flush(surface);
    return cairo_surface_write_to_png_stream(surface, appendChunk, &out) == CAIRO_STATUS_SUCCESS;
}

CBitmap::CBitmap(cairo_surface_t* s)
    : surface(s), width(cairo_image_surface_get_width(s)), height(cairo_image_surface_get_height(s))
{
    enlist();
}

CBitmap::~CBitmap()
{
    {
        // First: releaseUser may be walking the list, this bitmap included.
        std::lock_guard<std::mutex> guard(g_bitmapsLock);
        (previous ? previous->next : g_firstBitmap) = next;
        if (next)
            next->previous = previous;
    }
    for (cairo_surface_t* half : halves)
        cairo_surface_destroy(half);
    for (const Scaled& c : scaled)
        cairo_surface_destroy(c.surface);
    if (surface)
        cairo_surface_destroy(surface);
}

CBitmap* CBitmap::createFromPNG(const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    uint32_t w = 0, h = 0;
    if (!pngSize(bytes, size, w, h))
        return nullptr;
    cairo_surface_t* s = decodePNG(bytes, size, w, h);
    return s ? new CBitmap(s) : nullptr;
}

CBitmap* CBitmap::createDeferredFromPNG(std::vector<uint8_t>&& bytes)
{
    uint32_t w = 0, h = 0;
    if (!pngSize(bytes.data(), bytes.size(), w, h))
        return nullptr;
    auto* bitmap = new CBitmap(CCoord(0), CCoord(0));
    cairo_surface_destroy(std::exchange(bitmap->surface, nullptr));
    bitmap->png = std::move(bytes);
    bitmap->width = w;
    bitmap->height = h;
    return bitmap;
}

CBitmap* CBitmap::createFromPNGFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        GUI_LOG("Cannot read " << path);
        return nullptr;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return createFromPNG(bytes.data(), bytes.size());
}

bool CBitmap::isLoaded() const
{
    std::lock_guard<std::mutex> guard(lock);
    return surface != nullptr;
}

cairo_surface_t* CBitmap::pixels()
{
    if (!surface && !png.empty())
    {
        surface = decodePNG(png.data(), png.size(), uint32_t(width), uint32_t(height));
        ++decodes;
        if (!surface)
            png.clear(); // logged once; the bitmap draws nothing from now on
    }
    return surface;
}

cairo_surface_t* CBitmap::getSurface()
{
    std::lock_guard<std::mutex> guard(lock);
    return pixels();
}

cairo_surface_t* CBitmap::acquireSurface(const void* user)
{
    std::lock_guard<std::mutex> guard(lock);
    if (std::find(fullSizeUsers.begin(), fullSizeUsers.end(), user) == fullSizeUsers.end())
        fullSizeUsers.push_back(user);
    cairo_surface_t* s = pixels();
    return s ? cairo_surface_reference(s) : nullptr;
}

int CBitmap::getDecodeCount() const
{
    std::lock_guard<std::mutex> guard(lock);
    return decodes;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset, float alpha)
{
    if (context)
        context->drawBitmap(this, rect, offset, alpha);
}

bool CBitmap::writePNG(const std::string& path)
{
    std::lock_guard<std::mutex> guard(lock);
    cairo_surface_t* s = pixels();
    return s && cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool CBitmap::releaseFullSize()
{
    std::lock_guard<std::mutex> guard(lock);
    return dropUnneededFullSize();
}

bool CBitmap::dropUnneededFullSize()
{
    if (!surface || png.empty() || !fullSizeUsers.empty() || g_zoomChanges.load() > 0)
        return false;
    // Every frame of a strip's copies first, while the pixels are there.
    for (Scaled& c : scaled)
        for (size_t f = 0; f < c.built.size(); ++f)
            if (!c.built[f])
                buildFrame(c, int(f), surface);
    cairo_surface_destroy(std::exchange(surface, nullptr));
    for (cairo_surface_t* half : halves)
        cairo_surface_destroy(half);
    halves.clear();
    return true;
}

void CBitmap::releaseUser(const void* user)
{
    std::lock_guard<std::mutex> list(g_bitmapsLock);
    for (CBitmap* b = g_firstBitmap; b; b = b->next)
    {
        std::lock_guard<std::mutex> guard(b->lock);
        for (auto c = b->scaled.begin(); c != b->scaled.end();)
        {
            removeUser(c->users, user);
            if (c->users.empty())
            {
                cairo_surface_destroy(c->surface);
                c = b->scaled.erase(c);
            }
            else
                ++c;
        }
        removeUser(b->fullSizeUsers, user);
        b->dropUnneededFullSize();
    }
}

void CBitmap::beginZoomChange()
{
    g_zoomChanges.fetch_add(1);
}

void CBitmap::endZoomChange()
{
    g_zoomChanges.fetch_sub(1);
}

cairo_surface_t* CBitmap::scaledWhole(cairo_surface_t* full, int w, int h, bool nearest)
{
    if (g_zoomChanges.load() == 0)
    {
        // One size for now: no halves are kept, and the full-size pixels
        // (when nothing else needs them) go as soon as the first half is
        // made, before the copy: the most an opening holds at once.
        cairo_surface_t* level = cairo_surface_reference(full);
        while (halfStillLarger(cairo_image_surface_get_width(level), cairo_image_surface_get_height(level), w, h))
        {
            cairo_surface_t* half = halved(level);
            cairo_surface_destroy(level);
            level = half;
            dropUnneededFullSize();
        }
        cairo_surface_t* out = scaledFrom(level, w, h, nearest);
        cairo_surface_destroy(level);
        return out;
    }
    // A drag of the resize handle asks for a new size at every step: the
    // halved copies are made once, not at each step.
    cairo_surface_t* level = full;
    for (size_t i = 0;
         halfStillLarger(cairo_image_surface_get_width(level), cairo_image_surface_get_height(level), w, h); ++i)
    {
        if (i == halves.size())
            halves.push_back(halved(level));
        level = halves[i];
    }
    return scaledFrom(level, w, h, nearest);
}

void CBitmap::buildFrame(Scaled& c, int f, cairo_surface_t* full)
{
    cairo_surface_t* one = scaledRegion(full, 0, f * c.sh, c.sw, c.sh, c.width, c.height, c.nearest);
    // Copied row by row: another window may be drawing other frames of the
    // copy meanwhile, and only these rows are touched.
    const uint8_t* from = cairo_image_surface_get_data(one);
    uint8_t* to = cairo_image_surface_get_data(c.surface);
    const int fromStride = cairo_image_surface_get_stride(one), toStride = cairo_image_surface_get_stride(c.surface);
    for (int y = 0; y < c.height; ++y)
        std::memcpy(to + size_t(f * c.height + y) * size_t(toStride), from + size_t(y) * size_t(fromStride),
                    size_t(c.width) * 4);
    cairo_surface_destroy(one);
    c.built[size_t(f)] = true;
}

cairo_surface_t* CBitmap::getScaledCopy(const CRect& src, int w, int h, bool nearest, const void* user)
{
    const int sx = int(src.left), sy = int(src.top), sw = int(src.getWidth()), sh = int(src.getHeight());
    const int bw = int(width), bh = int(height);
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0 || sx < 0 || sy < 0 || sx + sw > bw || sy + sh > bh || w > 32768 ||
        h > 32768)
        return nullptr;
    // One frame of a strip of equal frames stands for every frame.
    const bool frameOfStrip = sx == 0 && sw == bw && sh < bh && bh % sh == 0 && sy % sh == 0;
    const bool whole = sx == 0 && sy == 0 && sw == bw && sh == bh;
    const int keyTop = frameOfStrip ? -1 : sy;
    std::lock_guard<std::mutex> guard(lock);
    const int frame = frameOfStrip ? sy / sh : 0;
    Scaled* found = nullptr;
    for (Scaled& c : scaled)
        if (c.sx == sx && c.sy == keyTop && c.sw == sw && c.sh == sh && c.width == w && c.height == h &&
            c.nearest == nearest)
        {
            found = &c;
            break;
        }
    if (found && frameOfStrip && !found->built[size_t(frame)])
    {
        cairo_surface_t* full = pixels();
        if (!full)
            return nullptr;
        cairo_surface_flush(full);
        buildFrame(*found, frame, full);
    }
    if (!found)
    {
        cairo_surface_t* full = pixels();
        if (!full || cairo_surface_status(full) != CAIRO_STATUS_SUCCESS)
            return nullptr;
        cairo_surface_flush(full);
        cairo_surface_t* copy = nullptr;
        const int frames = frameOfStrip ? bh / sh : 0;
        if (frameOfStrip)
        {
            if (int64_t(h) * frames > 32768)
                return nullptr;
            copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h * frames);
            cairo_surface_flush(copy);
        }
        else if (whole)
            copy = scaledWhole(full, w, h, nearest);
        else
            copy = scaledRegion(full, sx, sy, sw, sh, w, h, nearest);
        scaled.push_back({sx, keyTop, sw, sh, w, h, nearest, copy, std::vector<bool>(size_t(frames), false), {}});
        found = &scaled.back();
        if (frameOfStrip)
            buildFrame(*found, frame, full);
    }
    if (std::find(found->users.begin(), found->users.end(), user) == found->users.end())
        found->users.push_back(user);
    cairo_surface_t* out = frameOfStrip
                               ? cairo_surface_create_for_rectangle(found->surface, 0, double(frame) * h, w, h)
                               : cairo_surface_reference(found->surface);
    // No other part of the whole picture or of a strip can be asked for:
    // the full-size pixels go at once, unless a zoom is changing.
    if (whole || frameOfStrip)
        dropUnneededFullSize();
    return out;
}
} // namespace VSTGUI
