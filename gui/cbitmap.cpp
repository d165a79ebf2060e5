#include "gui/cbitmap.h"

#include <algorithm>
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
} // namespace

// One drawn part of a bitmap: its halved copies and its scaled copies.
struct CBitmap::Part
{
    std::vector<cairo_surface_t*> levels; // [0] the part itself (owned unless it is the whole bitmap)
    bool ownsFirst = false;
    struct Scaled
    {
        int width, height;
        bool nearest;
        cairo_surface_t* surface;
    };
    std::vector<Scaled> scaled; // most recently used last
    ~Part()
    {
        for (size_t i = ownsFirst ? 0 : 1; i < levels.size(); ++i)
            cairo_surface_destroy(levels[i]);
        for (const Scaled& s : scaled)
            cairo_surface_destroy(s.surface);
    }
};

CBitmap::CBitmap(CCoord width, CCoord height)
{
    const int w = width > 0 ? int(width) : 0;
    const int h = height > 0 ? int(height) : 0;
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
}

bool encodePNG(cairo_surface_t* surface, std::vector<unsigned char>& out)
{
    cairo_surface_flush(surface);
    return cairo_surface_write_to_png_stream(surface, appendChunk, &out) == CAIRO_STATUS_SUCCESS;
}

CBitmap::CBitmap(cairo_surface_t* s) : surface(s) {}

CBitmap::~CBitmap()
{
    parts.clear();
    if (surface)
        cairo_surface_destroy(surface);
}

CBitmap* CBitmap::createFromPNG(const void* data, size_t size)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (!bytes || size < 33 || std::memcmp(bytes, signature, 8) != 0 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
    {
        GUI_LOG("Not a PNG image (" << size << " bytes)");
        return nullptr;
    }
    // Refuse sizes that would exhaust memory before libpng sees them.
    const uint32_t w = bigEndian32(bytes + 16), h = bigEndian32(bytes + 20);
    if (w == 0 || h == 0 || w > 32768 || h > 32768 || uint64_t(w) * h > 64ull * 1024 * 1024)
    {
        GUI_LOG("PNG image of " << w << " x " << h << " pixels refused");
        return nullptr;
    }
    PngReader reader{bytes, size, 0};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(readChunk, &reader);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
    {
        GUI_LOG("Failed to decode PNG image: " << cairo_status_to_string(cairo_surface_status(s)));
        cairo_surface_destroy(s);
        return nullptr;
    }
    if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32)
    {
        // Give every bitmap one pixel format so drawing and comparing are uniform.
        cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(w), int(h));
        cairo_t* cr = cairo_create(argb);
        cairo_set_source_surface(cr, s, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(s);
        s = argb;
    }
    return new CBitmap(s);
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

CCoord CBitmap::getWidth() const
{
    return surface ? cairo_image_surface_get_width(surface) : 0;
}

CCoord CBitmap::getHeight() const
{
    return surface ? cairo_image_surface_get_height(surface) : 0;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset, float alpha)
{
    if (context)
        context->drawBitmap(this, rect, offset, alpha);
}

bool CBitmap::writePNG(const std::string& path) const
{
    return surface && cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

cairo_surface_t* CBitmap::getScaledCopy(const CRect& src, int width, int height, bool nearest)
{
    const int sx = int(src.left), sy = int(src.top), sw = int(src.getWidth()), sh = int(src.getHeight());
    if (!surface || width <= 0 || height <= 0 || sw <= 0 || sh <= 0 || sx < 0 || sy < 0 ||
        sx + sw > getWidth() || sy + sh > getHeight() || width > 32768 || height > 32768)
        return nullptr;
    std::unique_ptr<Part>& part = parts[{sx, sy, sw, sh}];
    if (!part)
    {
        part = std::make_unique<Part>();
        if (sx == 0 && sy == 0 && sw == getWidth() && sh == getHeight())
            part->levels.push_back(surface);
        else
        {
            // A frame of a strip is copied out, so that halving never mixes in its neighbours.
            cairo_surface_t* own = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sw, sh);
            cairo_t* cr = cairo_create(own);
            cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
            cairo_set_source_surface(cr, surface, -sx, -sy);
            cairo_paint(cr);
            cairo_destroy(cr);
            part->levels.push_back(own);
            part->ownsFirst = true;
        }
    }
    for (size_t i = 0; i < part->scaled.size(); ++i)
        if (part->scaled[i].width == width && part->scaled[i].height == height && part->scaled[i].nearest == nearest)
        {
            std::rotate(part->scaled.begin() + long(i), part->scaled.begin() + long(i) + 1, part->scaled.end());
            return part->scaled.back().surface;
        }
    // The smallest halved copy still at least as large as the target.
    size_t level = 0;
    for (;;)
    {
        cairo_surface_t* l = part->levels[level];
        const int lw = cairo_image_surface_get_width(l), lh = cairo_image_surface_get_height(l);
        if ((lw + 1) / 2 < width || (lh + 1) / 2 < height || (lw == 1 && lh == 1))
            break;
        if (level + 1 == part->levels.size())
            part->levels.push_back(halved(l));
        ++level;
    }
    cairo_surface_t* from = part->levels[level];
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(out);
    cairo_scale(cr, double(width) / cairo_image_surface_get_width(from),
                double(height) / cairo_image_surface_get_height(from));
    cairo_set_source_surface(cr, from, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), nearest ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(out);
    constexpr size_t kSizesKept = 2;
    if (part->scaled.size() == kSizesKept)
    {
        cairo_surface_destroy(part->scaled.front().surface);
        part->scaled.erase(part->scaled.begin());
    }
    part->scaled.push_back({width, height, nearest, out});
    return out;
}
} // namespace VSTGUI
