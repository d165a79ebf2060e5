#pragma once

// The panel's UI description as the generator builds it: a tree of views with
// their attributes in writing order, the bitmaps as PNG bytes, and the writer
// that turns both into the "vstgui-ui-description" document.

#include <cairo.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace panelgen
{
struct Rect
{
    int x = 0, y = 0, w = 0, h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
};

struct View
{
    std::string cls;
    Rect r;
    std::vector<std::pair<std::string, std::string>> attrs;
    std::vector<View> children;

    View& set(const std::string& key, const std::string& value);
    View& name(const std::string& n) { return set("custom-view-name", n); }
    View& add(View child);
};

View makeView(const std::string& cls, const Rect& r);

struct Bitmap
{
    std::string name;
    std::vector<unsigned char> png;
    int width = 0, height = 0;
};

// Every bitmap of the document by name; painting one name twice keeps the first.
class BitmapSet
{
public:
    // Encodes the surface (which it destroys) under name; returns the name.
    const std::string& add(const std::string& name, cairo_surface_t* surface);
    bool has(const std::string& name) const { return index.count(name) != 0; }
    const std::vector<Bitmap>& all() const { return bitmaps; }

private:
    std::vector<Bitmap> bitmaps;
    std::map<std::string, size_t> index;
};

struct Font
{
    std::string name;
    int size;
};

// The whole document: BOM, XML declaration, bitmaps, fonts, the template.
std::string writeDocument(const BitmapSet& bitmaps, const std::vector<Font>& fonts, const std::string& family,
                          const View& root);
} // namespace panelgen
