// Builds views from UI-description elements: the class decides the object,
// the attributes its geometry, look and ranges.

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>

#include "gui/cknob.h"
#include "gui/ckickbutton.h"
#include "gui/coptionmenu.h"
#include "gui/ctextedit.h"
#include "gui/cviewcontainer.h"
#include "gui/guilog.h"
#include "gui/uidescriptionimpl.h"

namespace VSTGUI
{
namespace
{
constexpr int kMaxDepth = 64;
constexpr double kMaxCoordinate = 1e6;

// One number; false for text that is not entirely a finite number.
bool parseNumber(const std::string& text, double& out)
{
    const char* s = text.c_str();
    char* end = nullptr;
    const double v = std::strtod(s, &end);
    if (end == s)
        return false;
    while (*end == ' ')
        ++end;
    if (*end != '\0' || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

// "a, b": two numbers within the coordinate limits.
bool parsePair(const std::string& text, CPoint& out)
{
    const size_t comma = text.find(',');
    double a = 0, b = 0;
    if (comma == std::string::npos || !parseNumber(text.substr(0, comma), a) ||
        !parseNumber(text.substr(comma + 1), b) || std::fabs(a) > kMaxCoordinate || std::fabs(b) > kMaxCoordinate)
        return false;
    out = CPoint(a, b);
    return true;
}

class Attributes
{
public:
    Attributes(const UIDescription::Impl& impl, const pugi::xml_node& node) : impl(impl), node(node) {}

    bool has(const char* name) const { return node.attribute(name); }
    std::string text(const char* name) const { return node.attribute(name).as_string(); }

    bool boolean(const char* name, bool& out) const
    {
        if (!has(name))
            return false;
        const std::string v = text(name);
        if (v == "true" || v == "1")
            out = true;
        else if (v == "false" || v == "0")
            out = false;
        else
            return bad(name);
        return true;
    }
    bool number(const char* name, double& out) const
    {
        if (!has(name))
            return false;
        return parseNumber(text(name), out) ? true : bad(name);
    }
    bool pair(const char* name, CPoint& out) const
    {
        if (!has(name))
            return false;
        return parsePair(text(name), out) ? true : bad(name);
    }
    bool color(const char* name, CColor& out) const
    {
        if (!has(name))
            return false;
        return impl.resolveColor(text(name), out) ? true : bad(name);
    }
    CBitmap* bitmap(const char* name) const
    {
        if (!has(name) || text(name).empty())
            return nullptr;
        auto it = impl.bitmaps.find(text(name));
        if (it == impl.bitmaps.end())
        {
            bad(name);
            return nullptr;
        }
        return it->second.get();
    }
    CFontRef font(const char* name) const
    {
        if (!has(name))
            return nullptr;
        auto it = impl.fonts.find(text(name));
        if (it == impl.fonts.end())
        {
            bad(name);
            return nullptr;
        }
        return it->second.get();
    }
    bool bad(const char* name) const
    {
        GUI_LOG("Ignoring " << name << "=\"" << text(name) << "\" of a " << text("class"));
        return false;
    }

    const UIDescription::Impl& impl;
    const pugi::xml_node& node;
};

void applyViewAttributes(CView* view, const Attributes& a)
{
    bool flag = false;
    if (a.boolean("transparent", flag))
        view->setTransparency(flag);
    if (a.boolean("mouse-enabled", flag))
        view->setMouseEnabled(flag);
    if (a.boolean("visible", flag))
        view->setVisible(flag);
    double opacity = 1;
    if (a.number("opacity", opacity))
        view->setAlphaValue(float(std::clamp(opacity, 0.0, 1.0)));
    if (CBitmap* bg = a.bitmap("bitmap"))
        view->setBackground(bg);
    if (a.has("tooltip"))
        view->setTooltipText(a.text("tooltip"));
    const std::string name = a.text("custom-view-name");
    if (!name.empty())
        view->setAttribute(kCViewCustomViewName, uint32_t(name.size()), name.data());
}

void applyControlAttributes(CControl* control, const Attributes& a, IController* controller)
{
    if (controller)
        control->setListener(controller);
    if (a.has("control-tag"))
    {
        const std::string tag = a.text("control-tag");
        auto it = a.impl.tags.find(tag);
        double number = 0;
        if (it != a.impl.tags.end())
            control->setTag(it->second);
        else if (parseNumber(tag, number) && std::fabs(number) < 2147483647.0)
            control->setTag(int32_t(number));
        else
            a.bad("control-tag");
    }
    if (dynamic_cast<COptionMenu*>(control))
        return; // a menu's range is its item count
    double v = 0;
    if (a.number("min-value", v))
        control->setMin(float(v));
    if (a.number("max-value", v))
        control->setMax(float(v));
    if (a.number("default-value", v))
        control->setDefaultValue(float(v));
    if (a.number("wheel-inc-value", v))
        control->setWheelInc(float(v));
    if (a.number("value", v))
        control->setValue(float(v));
}

void applyDisplayAttributes(CParamDisplay* display, const Attributes& a)
{
    if (CFontRef font = a.font("font"))
        display->setFont(font);
    CColor c;
    if (a.color("font-color", c))
        display->setFontColor(c);
    if (a.color("back-color", c))
        display->setBackColor(c);
    if (a.color("frame-color", c))
        display->setFrameColor(c);
    if (a.color("shadow-color", c))
        display->setShadowColor(c);
    if (a.has("text-alignment"))
    {
        const std::string align = a.text("text-alignment");
        if (align == "left")
            display->setHoriAlign(kLeftText);
        else if (align == "right")
            display->setHoriAlign(kRightText);
        else if (align == "center")
            display->setHoriAlign(kCenterText);
        else
            a.bad("text-alignment");
    }
    int32_t style = display->getStyle();
    const std::pair<const char*, int32_t> styles[] = {
        {"style-3D-in", CParamDisplay::k3DIn},           {"style-3D-out", CParamDisplay::k3DOut},
        {"style-shadow-text", CParamDisplay::kShadowText}, {"style-no-text", CParamDisplay::kNoTextStyle},
        {"style-no-draw", CParamDisplay::kNoDrawStyle},   {"style-round-rect", CParamDisplay::kRoundRectStyle},
        {"style-no-frame", CParamDisplay::kNoFrame},
    };
    for (const auto& [name, bit] : styles)
    {
        bool on = false;
        if (a.boolean(name, on))
            style = on ? (style | bit) : (style & ~bit);
    }
    display->setStyle(style);
    double v = 0;
    if (a.number("round-rect-radius", v))
        display->setRoundRectRadius(std::clamp(v, 0.0, kMaxCoordinate));
    CPoint inset;
    if (a.pair("text-inset", inset))
        display->setTextInset(inset);
    bool flag = true;
    if (a.boolean("font-antialias", flag))
        display->setAntialias(flag);
}

void applyFilmStrip(IMultiBitmapControl* control, const Attributes& a)
{
    double v = 0;
    if (a.number("height-of-one-image", v) && v > 0 && v <= kMaxCoordinate)
        control->setHeightOfOneImage(v);
    if (a.number("sub-pixmaps", v) && v >= 0 && v < 100000)
        control->setNumSubPixmaps(int32_t(v));
}

CView* makeView(const std::string& cls, const CRect& r, const Attributes& a)
{
    if (cls == "CView")
        return new CView(r);
    if (cls == "CViewContainer")
        return new CViewContainer(r);
    if (cls == "CTextLabel")
    {
        auto* label = new CTextLabel(r, a.text("title"));
        applyDisplayAttributes(label, a);
        return label;
    }
    if (cls == "CTextEdit")
    {
        auto* edit = new CTextEdit(r, nullptr, -1, a.text("title"));
        applyDisplayAttributes(edit, a);
        bool flag = false;
        if (a.boolean("immediate-text-change", flag))
            edit->setImmediateTextChange(flag);
        if (a.has("placeholder-title"))
            edit->setPlaceholderString(a.text("placeholder-title"));
        return edit;
    }
    if (cls == "COptionMenu")
    {
        auto* menu = new COptionMenu(r, nullptr, -1);
        applyDisplayAttributes(menu, a);
        return menu;
    }
    if (cls == "CKickButton")
    {
        auto* button = new CKickButton(r, nullptr, -1, nullptr);
        applyFilmStrip(button, a);
        return button;
    }
    if (cls == "CAnimKnob")
    {
        auto* knob = new CAnimKnob(r, nullptr, -1, nullptr);
        applyFilmStrip(knob, a);
        double v = 0;
        bool flag = false;
        if (a.boolean("inverse-bitmap", flag))
            knob->setInverseBitmap(flag);
        if (a.number("angle-start", v))
            knob->setStartAngle(float(v * M_PI / 180.0));
        if (a.number("angle-range", v))
            knob->setRangeAngle(float(v * M_PI / 180.0));
        if (a.number("zoom-factor", v) && v > 0)
            knob->setZoomFactor(float(v));
        if (a.number("value-inset", v))
            knob->setInsetValue(v);
        return knob;
    }
    return nullptr;
}
} // namespace

CView* createViewFromElement(const UIDescription::Impl& impl, const pugi::xml_node& element, IController* controller,
                             int depth, bool isTemplate)
{
    if (depth > kMaxDepth)
    {
        GUI_LOG("Views nested deeper than " << kMaxDepth << " levels left out");
        return nullptr;
    }
    const Attributes a(impl, element);
    std::string cls = a.text("class");
    if (cls.empty() && isTemplate)
        cls = "CViewContainer";
    CPoint origin, size;
    a.pair("origin", origin);
    a.pair("size", size);
    if (isTemplate)
        origin = CPoint(0, 0);
    const CRect r(origin, size);
    CView* view = makeView(cls, r, a);
    if (!view)
    {
        GUI_LOG("Unknown view class \"" << cls << "\" left out");
        return nullptr;
    }
    applyViewAttributes(view, a);
    if (auto* control = dynamic_cast<CControl*>(view))
        applyControlAttributes(control, a, controller);
    if (auto* container = view->asViewContainer())
    {
        CColor c;
        if (a.color("background-color", c))
            container->setBackgroundColor(c);
        for (pugi::xml_node child : element.children("view"))
            if (CView* childView = createViewFromElement(impl, child, controller, depth + 1, false))
                container->addView(childView);
    }
    if (controller)
    {
        CView* verified = controller->verifyView(view);
        if (verified != view)
        {
            view->forget();
            view = verified;
        }
    }
    return view;
}
} // namespace VSTGUI
