#include "gui/cbitmap.h"

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
} // namespace

CBitmap::CBitmap(CCoord width, CCoord height)
{
    const int w = width > 0 ? int(width) : 0;
    const int h = height > 0 ? int(height) : 0;
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
}

CBitmap::~CBitmap()
{
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
} // namespace VSTGUI
