#include "tools/panelgen/panelDoc.h"

#include <cstdio>
#include <stdexcept>

#include "gui/base64.h"
#include "gui/cbitmap.h"

namespace panelgen
{
namespace
{
std::string escape(const std::string& text)
{
    std::string out;
    for (char c : text)
    {
        switch (c)
        {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string pair(int a, int b)
{
    return std::to_string(a) + ", " + std::to_string(b);
}

void writeView(std::string& out, const View& v, int depth, bool isTemplate)
{
    const std::string indent(size_t(depth) * 2, ' ');
    out += indent + (isTemplate ? "<template" : "<view");
    for (const auto& [key, value] : v.attrs)
        if (isTemplate && key == "name")
            out += " name=\"" + escape(value) + "\"";
    out += " class=\"" + v.cls + "\"";
    if (!isTemplate)
        out += " origin=\"" + pair(v.r.x, v.r.y) + "\"";
    out += " size=\"" + pair(v.r.w, v.r.h) + "\"";
    for (const auto& [key, value] : v.attrs)
        if (!(isTemplate && key == "name"))
            out += " " + key + "=\"" + escape(value) + "\"";
    if (v.children.empty())
    {
        out += "/>\n";
        return;
    }
    out += ">\n";
    for (const View& child : v.children)
        writeView(out, child, depth + 1, false);
    out += indent + (isTemplate ? "</template>\n" : "</view>\n");
}
} // namespace

View& View::set(const std::string& key, const std::string& value)
{
    for (auto& [k, v] : attrs)
        if (k == key)
        {
            v = value;
            return *this;
        }
    attrs.emplace_back(key, value);
    return *this;
}

View& View::add(View child)
{
    children.push_back(std::move(child));
    return children.back();
}

View makeView(const std::string& cls, const Rect& r)
{
    View v;
    v.cls = cls;
    v.r = r;
    return v;
}

const std::string& BitmapSet::add(const std::string& name, cairo_surface_t* surface)
{
    auto it = index.find(name);
    if (it != index.end())
    {
        cairo_surface_destroy(surface);
        return bitmaps[it->second].name;
    }
    Bitmap b;
    b.name = name;
    b.width = cairo_image_surface_get_width(surface);
    b.height = cairo_image_surface_get_height(surface);
    const bool encoded = VSTGUI::encodePNG(surface, b.png);
    cairo_surface_destroy(surface);
    if (!encoded)
        throw std::runtime_error("cannot encode bitmap " + name);
    index[name] = bitmaps.size();
    bitmaps.push_back(std::move(b));
    return bitmaps.back().name;
}

std::string writeDocument(const BitmapSet& bitmaps, const std::vector<Font>& fonts, const std::string& family,
                          const View& root)
{
    std::string out = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<vstgui-ui-description version=\"1\">\n  <bitmaps>\n";
    for (const Bitmap& b : bitmaps.all())
    {
        out += "    <bitmap name=\"" + escape(b.name) + "\" path=\"" + escape(b.name) + ".png\">";
        out += "<data encoding=\"base64\">" + VSTGUI::encodeBase64(b.png.data(), b.png.size()) + "</data></bitmap>\n";
    }
    out += "  </bitmaps>\n  <fonts>\n";
    for (const Font& f : fonts)
        out += "    <font name=\"" + f.name + "\" font-name=\"" + family + "\" size=\"" + std::to_string(f.size) +
               "\" bold=\"true\"/>\n";
    out += "  </fonts>\n";
    writeView(out, root, 1, true);
    out += "</vstgui-ui-description>\n";
    return out;
}
} // namespace panelgen
