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

void Builder::group(View& parent, const Rect& r, const std::string& title)
{
    picture(parent, r, paintGroup(bitmaps, r.w, r.h)).set("mouse-enabled", "false");
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
    View v = makeView("COptionMenu", r);
    v.set("bitmap", paintField(bitmaps, r.w, r.h, true))
        .set("font", fonts::kField)
        .set("font-color", palette::kFieldText.hex())
        .set("back-color", palette::kField.hex())
        .set("transparent", "true")
        .set("style-no-frame", "true")
        .set("text-alignment", "left")
        .set("text-inset", "16, 0")
        .name(name);
    return parent.add(std::move(v));
}

View& Builder::menuCell(View& parent, int x, int y, int w, const std::string& name, const std::string& captionText)
{
    caption(parent, {x, y, w, kCaptionHeight}, captionText);
    return menu(parent, {x, y + kCaptionHeight, w, kFieldHeight}, name);
}

View& Builder::textField(View& parent, const Rect& r, const std::string& name, const std::string& text)
{
    View v = makeView("CTextEdit", r);
    v.set("title", text)
        .set("bitmap", paintField(bitmaps, r.w, r.h, false))
        .set("font", fonts::kField)
        .set("font-color", palette::kFieldText.hex())
        .set("back-color", palette::kField.hex())
        .set("transparent", "true")
        .set("style-no-frame", "true")
        .set("text-alignment", "left")
        .set("text-inset", "16, 0")
        .name(name);
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
} // namespace panelgen
