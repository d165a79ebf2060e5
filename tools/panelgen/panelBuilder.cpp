#include "tools/panelgen/panelBuilder.h"

#include <cstdio>

#include "patch/parameter.h"

namespace panelgen
{
namespace
{
std::string number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

// A recessed field with light text: the look of menus and text edits.
View field(const std::string& cls, const Rect& r, const std::string& bitmap, const std::string& name)
{
    View v = makeView(cls, r);
    v.set("bitmap", bitmap)
        .set("font", fonts::kField)
        .set("font-color", palette::kFieldText.hex())
        .set("back-color", palette::kField.hex())
        .set("transparent", "true")
        .set("style-no-frame", "true")
        .set("text-alignment", "left")
        .set("text-inset", "16, 0")
        .name(name);
    return v;
}

bool isCoarse(k1lib::EParam p)
{
    return p >= k1lib::Param_SourceS1Coarse && p <= k1lib::Param_SourceS4Coarse;
}
} // namespace

View& Builder::caption(View& parent, const Rect& r, const std::string& text, const std::string& font,
                       const std::string& align, const Rgb& color)
{
    View v = makeView("CTextLabel", r);
    v.set("title", text)
        .set("font", font)
        .set("font-color", color.hex())
        .set("back-color", "#00000000")
        .set("text-alignment", align)
        .set("style-no-frame", "true")
        .set("transparent", "true")
        .set("mouse-enabled", "false");
    if (align != "center")
        v.set("text-inset", "4, 0");
    return parent.add(std::move(v));
}

void Builder::groupFrame(View& parent, const Rect& r)
{
    const GroupEdges e = paintGroupEdges(bitmaps, r.w, r.h);
    const int sideH = r.h - kGroupTitleBand - kGroupEdge;
    picture(parent, {r.x, r.y, r.w, kGroupTitleBand}, e.top).set("mouse-enabled", "false");
    picture(parent, {r.x, r.y + kGroupTitleBand, kGroupEdge, sideH}, e.left).set("mouse-enabled", "false");
    picture(parent, {r.right() - kGroupEdge, r.y + kGroupTitleBand, kGroupEdge, sideH}, e.right)
        .set("mouse-enabled", "false");
    picture(parent, {r.x, r.bottom() - kGroupEdge, r.w, kGroupEdge}, e.bottom).set("mouse-enabled", "false");
}

void Builder::group(View& parent, const Rect& r, const std::string& title)
{
    groupFrame(parent, r);
    caption(parent, {r.x + kGroupPad, r.y + 4, r.w - 2 * kGroupPad, kTitleHeight}, title, fonts::kTitle, "left",
            palette::kAccent);
}

void Builder::knob(View& parent, int x, int y, int w, k1lib::EParam p, const std::string& name)
{
    const k1lib::CParam& param = k1lib::g_params[p];
    const bool coarse = isCoarse(p);
    const bool bipolar = coarse || param.min == -param.max;
    View k = makeView("CAnimKnob", {x, y, kKnobSize, kKnobSize});
    k.set("bitmap", paintKnobStrip(bitmaps, bipolar))
        .set("height-of-one-image", std::to_string(kKnobSize))
        .set("sub-pixmaps", std::to_string(kKnobFrames))
        .set("angle-start", "135")
        .set("angle-range", "270");
    // The coarse knob works in keys around the middle one: 84 is no transposition.
    const std::string shown = coarse ? std::string(1, '0') : param.formatValue(p, param.defaultValue);
    if (coarse)
        k.set("min-value", "60").set("max-value", "108").set("default-value", "84").set("value", "84");
    else
    {
        const double normal = (param.defaultValue - param.min) / param.range;
        k.set("default-value", number(normal)).set("value", number(normal));
    }
    k.name(name);
    parent.add(std::move(k));

    View value = makeView("CTextLabel", {x + kKnobSize / 2 - w / 2, y + kKnobSize + 8, w, kValueHeight});
    value.set("title", shown)
        .set("font", fonts::kValue)
        .set("font-color", palette::kReadoutText.hex())
        .set("back-color", palette::kReadout.hex())
        .set("style-round-rect", "true")
        .set("round-rect-radius", "8")
        .set("style-no-frame", "true")
        .set("mouse-enabled", "false")
        .name(name);
    parent.add(std::move(value));
}

void Builder::knobCell(View& parent, int x, int y, int w, k1lib::EParam p, const std::string& captionText,
                       const std::string& name)
{
    const std::string id = name.empty() ? k1lib::CParam::getEnumString(p) : name;
    caption(parent, {x, y, w, kCaptionHeight}, captionText);
    knob(parent, x + (w - kKnobSize) / 2, y + kCaptionHeight + 8, kKnobSize, p, id);
}

View& Builder::menu(View& parent, const Rect& r, const std::string& name)
{
    return parent.add(field("COptionMenu", r, paintField(bitmaps, r.w, r.h, true), name));
}

View& Builder::menuCell(View& parent, int x, int y, int w, const std::string& name, const std::string& captionText)
{
    caption(parent, {x, y, w, kCaptionHeight}, captionText);
    return menu(parent, {x, y + kCaptionHeight, w, kFieldHeight}, name);
}

View& Builder::textField(View& parent, const Rect& r, const std::string& name, const std::string& text)
{
    View v = field("CTextEdit", r, paintField(bitmaps, r.w, r.h, false), name);
    v.set("title", text);
    return parent.add(std::move(v));
}

View& Builder::kick(View& parent, int x, int y, const std::string& name, const std::string& bitmap)
{
    int width = 0;
    for (const Bitmap& b : bitmaps.all())
        if (b.name == bitmap)
            width = b.width;
    View v = makeView("CKickButton", {x, y, width, kButtonHeight});
    v.set("bitmap", bitmap).set("height-of-one-image", std::to_string(kButtonHeight)).name(name);
    return parent.add(std::move(v));
}

View& Builder::picture(View& parent, const Rect& r, const std::string& bitmap, const std::string& name)
{
    View v = makeView("CView", r);
    v.set("bitmap", bitmap);
    if (!name.empty())
        v.name(name);
    return parent.add(std::move(v));
}

GroupRow::GroupRow(Builder& b, View& parent, int x, int y, const std::string& title, int height)
    : b(b), parent(parent), first(parent.children.size()), x(x), y(y), height(height), cursor(x + kGroupPad),
      title(title)
{
}

int GroupRow::next(int width)
{
    const int left = cursor;
    cursor += width + kGap;
    return left;
}

int GroupRow::knob(k1lib::EParam p, const std::string& captionText, int width)
{
    const int left = next(width);
    b.knobCell(parent, left, top(), width, p, captionText);
    return left;
}

int GroupRow::menu(const std::string& name, const std::string& captionText, int width)
{
    const int left = next(width);
    b.caption(parent, {left, top(), width, kCaptionHeight}, captionText);
    b.menu(parent, onKnobLine(left, width), name);
    return left;
}

int GroupRow::field(const std::string& name, const std::string& captionText, const std::string& text, int width)
{
    const int left = next(width);
    b.caption(parent, {left, top(), width, kCaptionHeight}, captionText);
    b.textField(parent, onKnobLine(left, width), name, text);
    return left;
}

Rect GroupRow::onKnobLine(int left, int width) const
{
    return {left, top() + kKnobTop + (kKnobSize - kFieldHeight) / 2, width, kFieldHeight};
}

int GroupRow::key(const std::string& name, const std::string& captionText, const std::string& bitmap, int width)
{
    const int left = next(width);
    b.caption(parent, {left, top(), width, kCaptionHeight}, captionText);
    View& k = b.kick(parent, left, top() + kKnobTop + (kKnobSize - kButtonHeight) / 2, name, bitmap);
    k.r.x = left + (width - k.r.w) / 2;
    return left;
}

int GroupRow::space(int width)
{
    return next(width);
}

int GroupRow::close()
{
    const int w = cursor - kGap + kGroupPad - x;
    std::vector<View> decoration;
    {
        View holder;
        b.group(holder, {x, y, w, height}, title);
        decoration = std::move(holder.children);
    }
    parent.children.insert(parent.children.begin() + long(first), decoration.begin(), decoration.end());
    return x + w;
}
} // namespace panelgen
