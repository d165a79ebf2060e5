#include "gui/uidescription.h"

#include <cstring>

#include "gui/base64.h"
#include "gui/cview.h"
#include "gui/guilog.h"
#include "gui/uidescriptionimpl.h"

namespace VSTGUI
{
namespace
{
constexpr size_t kMaxDocumentBytes = 64u * 1024 * 1024;

bool readAll(Xml::IContentProvider* provider, std::vector<int8_t>& bytes)
{
    provider->rewind();
    bytes.clear();
    int8_t chunk[65536];
    for (;;)
    {
        const int32_t n = provider->readRawXmlData(chunk, int32_t(sizeof chunk));
        if (n < 0 || n > int32_t(sizeof chunk))
            return false;
        if (n == 0)
            return true;
        if (bytes.size() + size_t(n) > kMaxDocumentBytes)
            return false;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
}

bool isTrue(const char* v)
{
    return std::strcmp(v, "true") == 0 || std::strcmp(v, "1") == 0;
}
} // namespace

int32_t Xml::MemoryContentProvider::readRawXmlData(int8_t* buffer, int32_t count)
{
    if (count <= 0 || !buffer)
        return 0;
    const size_t n = std::min(size - pos, size_t(count));
    if (n)
        std::memcpy(buffer, data + pos, n);
    pos += n;
    return int32_t(n);
}

bool UIDescription::Impl::resolveColor(const std::string& text, CColor& out) const
{
    auto it = colors.find(text);
    if (it != colors.end())
    {
        out = it->second;
        return true;
    }
    static const std::map<std::string, CColor> builtIn = {
        {"~ BlackCColor", kBlackCColor}, {"~ WhiteCColor", kWhiteCColor}, {"~ GreyCColor", kGreyCColor},
        {"~ RedCColor", kRedCColor},     {"~ GreenCColor", kGreenCColor}, {"~ BlueCColor", kBlueCColor},
        {"~ TransparentCColor", kTransparentCColor},
    };
    if (auto b = builtIn.find(text); b != builtIn.end())
    {
        out = b->second;
        return true;
    }
    return out.fromString(text);
}

UIDescription::UIDescription(Xml::IContentProvider* provider, IViewFactory*) : impl(std::make_unique<Impl>())
{
    impl->provider = provider;
}

UIDescription::~UIDescription() = default;

bool UIDescription::parse()
{
    if (impl->parsed)
        return true;
    std::vector<int8_t> bytes;
    if (!impl->provider || !readAll(impl->provider, bytes))
    {
        GUI_LOG("Cannot read the UI description");
        return false;
    }
    // Only parse() reads the provider: the description may outlive it.
    impl->provider = nullptr;
    // The document is parsed in place: its text stays in this one buffer.
    impl->source = std::move(bytes);
    const pugi::xml_parse_result result = impl->document.load_buffer_inplace(
        impl->source.data(), impl->source.size(), pugi::parse_default, pugi::encoding_auto);
    if (!result)
    {
        GUI_LOG("UI description is not valid XML: " << result.description() << " at offset " << result.offset);
        return false;
    }
    const pugi::xml_node root = impl->document.child("vstgui-ui-description");
    if (!root)
    {
        GUI_LOG("Not a UI description: no vstgui-ui-description element");
        return false;
    }
    for (pugi::xml_node node : root.child("bitmaps").children("bitmap"))
    {
        const std::string name = node.attribute("name").as_string();
        const pugi::xml_node data = node.child("data");
        if (name.empty() || !data)
        {
            GUI_LOG("Bitmap \"" << name << "\" has no name or no inline data");
            return false;
        }
        std::vector<uint8_t> png;
        if (std::strcmp(data.attribute("encoding").as_string(), "base64") != 0 ||
            !decodeBase64(data.child_value(), png))
        {
            GUI_LOG("Bitmap \"" << name << "\" is not valid base64");
            return false;
        }
        // Decoded when first drawn: a window shows only a few of them at once.
        CBitmap* bitmap = CBitmap::createDeferredFromPNG(std::move(png));
        if (!bitmap)
        {
            GUI_LOG("Bitmap \"" << name << "\" is not a usable PNG image");
            return false;
        }
        impl->bitmaps[name] = owned(bitmap);
    }
    for (pugi::xml_node node : root.child("fonts").children("font"))
    {
        const std::string name = node.attribute("name").as_string();
        const double size = node.attribute("size").as_double(12);
        if (name.empty() || !(size > 0 && size <= 1000))
        {
            GUI_LOG("Font \"" << name << "\" has no name or an unusable size");
            return false;
        }
        int32_t style = 0;
        if (isTrue(node.attribute("bold").as_string()))
            style |= kBoldFace;
        if (isTrue(node.attribute("italic").as_string()))
            style |= kItalicFace;
        if (isTrue(node.attribute("underline").as_string()))
            style |= kUnderlineFace;
        if (isTrue(node.attribute("strike-through").as_string()))
            style |= kStrikethroughFace;
        impl->fonts[name] = owned(new CFontDesc(node.attribute("font-name").as_string(), size, style));
    }
    for (pugi::xml_node node : root.child("colors").children("color"))
    {
        CColor c;
        const std::string name = node.attribute("name").as_string();
        if (name.empty() || !c.fromString(node.attribute("rgba").as_string()))
        {
            GUI_LOG("Color \"" << name << "\" has no name or no #rrggbbaa value");
            return false;
        }
        impl->colors[name] = c;
    }
    for (pugi::xml_node node : root.child("control-tags").children("control-tag"))
    {
        const std::string name = node.attribute("name").as_string();
        if (!name.empty())
            impl->tags[name] = node.attribute("tag").as_int(-1);
    }
    for (pugi::xml_node node : root.children("template"))
    {
        const std::string name = node.attribute("name").as_string();
        if (name.empty())
        {
            GUI_LOG("Template without a name");
            return false;
        }
        impl->templates[name] = node;
    }
    impl->parsed = true;
    return true;
}

CView* UIDescription::createView(UTF8StringPtr name, IController* controller) const
{
    if (!impl->parsed || !name)
    {
        GUI_LOG("UI description not parsed");
        return nullptr;
    }
    auto it = impl->templates.find(name);
    if (it == impl->templates.end())
    {
        GUI_LOG("No template named " << name);
        return nullptr;
    }
    return createViewFromElement(*impl, it->second, controller, 0, true);
}

CBitmap* UIDescription::getBitmap(UTF8StringPtr name) const
{
    auto it = name ? impl->bitmaps.find(name) : impl->bitmaps.end();
    return it == impl->bitmaps.end() ? nullptr : it->second.get();
}

CFontRef UIDescription::getFont(UTF8StringPtr name) const
{
    auto it = name ? impl->fonts.find(name) : impl->fonts.end();
    return it == impl->fonts.end() ? nullptr : it->second.get();
}

bool UIDescription::getColor(UTF8StringPtr name, CColor& color) const
{
    return name && impl->resolveColor(name, color);
}

int32_t UIDescription::getTagForName(UTF8StringPtr name) const
{
    auto it = name ? impl->tags.find(name) : impl->tags.end();
    return it == impl->tags.end() ? -1 : it->second;
}

size_t UIDescription::releaseFullSizeBitmaps() const
{
    size_t released = 0;
    for (const auto& [name, bitmap] : impl->bitmaps)
        released += bitmap->releaseFullSize() ? 1 : 0;
    return released;
}

std::vector<std::string> UIDescription::getTemplateNames() const
{
    std::vector<std::string> names;
    for (const auto& [name, node] : impl->templates)
        names.push_back(name);
    return names;
}
} // namespace VSTGUI
