#include "tools/panelcheck/panelCheck.h"

#include <cairo.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "gui/cframe.h"
#include "gui/ckickbutton.h"
#include "gui/cknob.h"
#include "gui/coptionmenu.h"
#include "gui/ctextedit.h"
#include "gui/platform/headless.h"
#include "gui/uidescription.h"
#include "patch/parameter.h"
#include "tools/panelcheck/panelContract.h"
#include "tools/panelcheck/panelTexts.h"

namespace panelcheck
{
namespace
{
using namespace VSTGUI;

constexpr int kDesignWidth = 2560, kDesignHeight = 1440;
constexpr int kKeyFrame = 87, kKnobFrame = 150;
constexpr int kGlyphs = 94;
constexpr double kMenuArrowRoom = 40; // the drop-down mark at a menu's right end
constexpr double kMinContrast = 4.5;

struct Node
{
    CView* view = nullptr;
    std::string name;
    CRect frame; // template coordinates
    int parent = -1;
};

class Problems
{
public:
    explicit Problems(std::vector<std::string>& out) : out(out) {}
    template <typename... T>
    void add(const T&... parts)
    {
        std::ostringstream s;
        (s << ... << parts);
        if (seen.insert(s.str()).second)
            out.push_back(s.str());
    }

private:
    std::vector<std::string>& out;
    std::set<std::string> seen;
};

std::string viewName(CView* v)
{
    uint32_t size = 0;
    if (!v->getAttributeSize(kCViewCustomViewName, size) || size == 0)
        return {};
    std::string s(size, '\0');
    uint32_t got = 0;
    v->getAttribute(kCViewCustomViewName, size, s.data(), got);
    s.resize(got);
    while (!s.empty() && s.back() == '\0')
        s.pop_back();
    return s;
}

void collect(CView* v, const CPoint& origin, int parent, std::vector<Node>& out)
{
    Node n;
    n.view = v;
    n.name = viewName(v);
    n.frame = v->getViewSize();
    n.frame.offset(origin.x, origin.y);
    n.parent = parent;
    const int index = int(out.size());
    out.push_back(n);
    if (auto* c = v->asViewContainer())
    {
        const CPoint inner = out[size_t(index)].frame.getTopLeft();
        c->forEachChild([&](CView* child) { collect(child, inner, index, out); });
    }
}

bool isKind(CView* v, Kind k)
{
    switch (k)
    {
    case Kind::Container: return v->asViewContainer() != nullptr;
    case Kind::Kick: return dynamic_cast<CKickButton*>(v) != nullptr;
    case Kind::View: return true;
    case Kind::TextEdit: return dynamic_cast<CTextEdit*>(v) != nullptr;
    case Kind::Label: return dynamic_cast<CTextLabel*>(v) && !dynamic_cast<CTextEdit*>(v);
    case Kind::Menu: return dynamic_cast<COptionMenu*>(v) != nullptr;
    case Kind::Knob: return dynamic_cast<CAnimKnob*>(v) != nullptr;
    }
    return false;
}

bool overlaps(const CRect& a, const CRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::string rectText(const CRect& r)
{
    std::ostringstream s;
    s << "(" << r.left << ", " << r.top << ", " << r.getWidth() << " x " << r.getHeight() << ")";
    return s.str();
}

class Checker
{
public:
    Checker(const void* data, size_t size, const Options& options, Result& result)
        : data(data), size(size), options(options), result(result), problems(result.problems)
    {
    }

    void run()
    {
        checkDocument();
        Xml::MemoryContentProvider provider(data, size);
        auto* description = new UIDescription(&provider);
        if (!description->parse())
        {
            problems.add("the document does not parse");
            description->forget();
            return;
        }
        this->description = description;
        CView* root = description->createView("Darvello", nullptr);
        if (!root)
        {
            problems.add("no template \"Darvello\"");
            description->forget();
            return;
        }
        collect(root, CPoint(0, 0), -1, nodes);
        result.views = nodes.size();
        for (const Node& n : nodes)
            if (!n.name.empty())
                byName[n.name].push_back(int(&n - nodes.data()));
        result.namedViews = byName.size();

        checkRequirements();
        checkParameterNames();
        checkShapes();
        checkBitmaps();
        checkGlyphs();
        checkParents();
        checkTexts();
        checkTooltips();

        auto* frame = new CFrame(CRect(0, 0, kDesignWidth, kDesignHeight), nullptr);
        frame->addView(root);
        HeadlessFrameConfig config;
        frame->open(nullptr, PlatformType::kDefaultNative, &config);
        frame->setBitmapInterpolationQuality(BitmapInterpolationQuality::kHigh);
        fillSamples();
        for (const PageState& state : pageStates())
        {
            show(state);
            checkOverlaps(state);
            checkClicks(state, root);
            if (HeadlessFrame* window = HeadlessFrame::from(frame))
                checkContrast(state, window->render());
        }
        if (!options.pictureDir.empty())
        {
            centreThrottle();
            for (const PageState& state : pageStates())
            {
                show(state);
                picture(frame, state);
            }
        }
        frame->forget();
        description->forget();
    }

private:
    // ---- the document as written
    void checkDocument()
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        if (size < 3 || std::memcmp(bytes, "\xEF\xBB\xBF", 3) != 0)
            problems.add("the document does not start with the UTF-8 byte-order mark");
        pugi::xml_document doc;
        if (!doc.load_buffer(data, size))
            return; // the parse below reports it
        const pugi::xml_node root = doc.child("vstgui-ui-description");
        if (std::strcmp(root.attribute("version").as_string(), "1") != 0)
            problems.add("the document is not a version 1 vstgui-ui-description");
        for (pugi::xml_node child : root.children())
        {
            const std::string tag = child.name();
            if (tag != "bitmaps" && tag != "fonts" && tag != "template" && child.first_child())
                problems.add("<", tag, "> is not allowed: every binding is by name, every colour inline");
        }
        std::set<std::string> bitmapNames;
        for (pugi::xml_node b : root.child("bitmaps").children("bitmap"))
            bitmapNames.insert(b.attribute("name").as_string());
        result.bitmaps = bitmapNames.size();
        std::set<std::string> fonts;
        for (pugi::xml_node f : root.child("fonts").children("font"))
        {
            const std::string name = f.attribute("name").as_string();
            fonts.insert(name);
            const size_t a = name.find('_'), b = name.rfind('_');
            if (a == std::string::npos || b <= a ||
                f.attribute("size").as_int() != std::atoi(name.substr(a + 1, b - a - 1).c_str()) ||
                !f.attribute("bold").as_bool() || std::strcmp(f.attribute("font-name").as_string(), "DejaVu Sans") != 0)
                problems.add("font ", name, " is not bold DejaVu Sans of the size its name gives");
        }
        const std::set<std::string> wanted = {"gadugi_33_b", "arial_36_b", "gadugi_26_b",
                                              "arial_28_b",  "arial_24_b", "arial_30_b"};
        if (fonts != wanted)
            problems.add("the fonts are not exactly the six the editor names");
        int templates = 0;
        for (pugi::xml_node t : root.children("template"))
        {
            ++templates;
            if (std::strcmp(t.attribute("name").as_string(), "Darvello") != 0)
                problems.add("template ", t.attribute("name").as_string(), " is not the editor's");
            const std::pair<const char*, const char*> attrs[] = {
                {"size", "2560, 1440"}, {"minSize", "640, 360"}, {"maxSize", "2560, 1440"}, {"bitmap", "background"}};
            for (const auto& [key, value] : attrs)
                if (std::strcmp(t.attribute(key).as_string(), value) != 0)
                    problems.add("template ", key, " is \"", t.attribute(key).as_string(), "\", not \"", value, "\"");
            checkElements(t, bitmapNames);
        }
        if (templates != 1)
            problems.add("the document has ", templates, " templates, not one");
    }

    void checkElements(const pugi::xml_node& element, const std::set<std::string>& bitmapNames)
    {
        static const std::set<std::string> classes = {"CViewContainer", "CView",       "CTextLabel", "CTextEdit",
                                                      "COptionMenu",    "CKickButton", "CAnimKnob"};
        const std::string cls = element.attribute("class").as_string();
        if (!classes.count(cls))
            problems.add("view class ", cls, " is not one the editor uses");
        for (pugi::xml_attribute a : element.attributes())
        {
            const std::string key = a.name(), value = a.value();
            if (key == "control-tag" || key == "sub-controller" || key.find("gradient") != std::string::npos)
                problems.add("attribute ", key, " is not allowed (", cls, " ",
                             element.attribute("custom-view-name").as_string(), ")");
            if (key.size() > 6 && key.compare(key.size() - 6, 6, "-color") == 0 &&
                (value.size() != 9 || value[0] != '#'))
                problems.add("colour ", key, "=\"", value, "\" is not an inline #rrggbbaa value");
            if (key == "bitmap" && !bitmapNames.count(value))
                problems.add("bitmap \"", value, "\" is not in the document");
        }
        for (pugi::xml_node child : element.children("view"))
            checkElements(child, bitmapNames);
    }

    // ---- names
    bool inside(int node, int container) const
    {
        for (int p = nodes[size_t(node)].parent; p >= 0; p = nodes[size_t(p)].parent)
            if (p == container)
                return true;
        return false;
    }

    std::vector<int> named(const std::string& name) const
    {
        auto it = byName.find(name);
        return it == byName.end() ? std::vector<int>{} : it->second;
    }

    int countKind(const std::vector<int>& list, Kind kind) const
    {
        int n = 0;
        for (int i : list)
            n += isKind(nodes[size_t(i)].view, kind);
        return n;
    }

    void checkRequirements()
    {
        if (nodes.empty() || nodes[0].name != "bg")
            problems.add("the template's own view is not named bg");
        for (const Requirement& q : requirements())
        {
            const std::vector<int> all = named(q.name);
            if (all.empty())
            {
                problems.add(q.name, ": missing");
                continue;
            }
            std::vector<int> scope = all;
            if (!q.within.empty())
            {
                std::vector<int> containers;
                for (int c : named(q.within))
                    if (isKind(nodes[size_t(c)].view, Kind::Container))
                        containers.push_back(c);
                if (containers.size() != 1)
                    continue; // the container's own requirement reports it
                scope.clear();
                for (int i : all)
                    if (q.direct ? nodes[size_t(i)].parent == containers[0] : inside(i, containers[0]))
                        scope.push_back(i);
            }
            const Kind primary = q.kind;
            if (countKind(all, primary) == 0 || (q.kind == Kind::Knob && countKind(all, Kind::Label) == 0))
            {
                problems.add(q.name, ": not a ", kindName(q.kind));
                continue;
            }
            const int inScope = countKind(scope, primary);
            const int labels = q.kind == Kind::Knob ? countKind(scope, Kind::Label) : 1;
            if (inScope == 0 || labels == 0)
                problems.add(q.name, ": not ", q.direct ? "directly " : "", "inside ", q.within);
            else if (inScope > 1 || labels > 1)
                problems.add(q.name, ": ", inScope, " views of that kind inside ", q.within.empty() ? "the template" : q.within,
                             ", the editor binds only the first");
            // Outside the strips a name is looked up in the whole panel.
            const bool stripLocal = q.within.compare(0, 12, "multiSection") == 0;
            if (!stripLocal && !q.within.empty() && countKind(all, primary) > inScope)
                problems.add(q.name, ": another view of that kind outside ", q.within);
        }
    }

    void checkParameterNames()
    {
        using namespace k1lib;
        for (const auto& [name, list] : byName)
        {
            if (name.compare(0, 6, "Param_") != 0)
                continue;
            uint32_t p = 0;
            while (p < kParamCount && g_paramEnumStrings[p] != name)
                ++p;
            if (p == kParamCount)
                problems.add(name, ": no parameter has that identifier");
            else if (isSourceParam(p) && getParamSource(p) != 0 && getSourceField(p) != 0)
                problems.add(name, ": the panel holds source 1's views only; the editor moves them between sources");
        }
    }

    const Node* one(const std::string& name, Kind kind) const
    {
        for (int i : named(name))
            if (isKind(nodes[size_t(i)].view, kind))
                return &nodes[size_t(i)];
        return nullptr;
    }

    void checkShapes()
    {
        if (const Node* area = one("throttleArea", Kind::Container))
        {
            if (area->frame.getWidth() != area->frame.getHeight())
                problems.add("throttleArea is not square: ", rectText(area->frame));
            const Node* t = one("throttle", Kind::View);
            if (t && (t->frame.right != area->frame.right || t->frame.bottom != area->frame.bottom))
                problems.add("throttle is not at throttleArea's bottom-right corner (its position is its travel)");
        }
        if (const Node* h = one("resizeHandle", Kind::View))
            if (h->frame.right != kDesignWidth || h->frame.bottom != kDesignHeight)
                problems.add("resizeHandle is not at the panel's bottom-right corner: ", rectText(h->frame));
        const Node* lines = one("LCDLines", Kind::Container);
        const Node* light = one("LCDLight", Kind::View);
        if (lines && lines->view->getMouseEnabled())
            problems.add("LCDLines takes clicks; they belong to LCDLight below it");
        if (lines && light)
        {
            CRect r = lines->frame;
            r.bound(light->frame);
            if (r != lines->frame)
                problems.add("LCDLines does not lie on LCDLight");
        }
        if (const Node* k = one(k1lib::CParam::getEnumString(k1lib::Param_SourceS1Coarse), Kind::Knob))
        {
            auto* knob = static_cast<CAnimKnob*>(k->view);
            if (knob->getMin() != 60.f || knob->getMax() != 108.f)
                problems.add("the coarse knob's range is ", knob->getMin(), "-", knob->getMax(), ", not 60-108");
        }
        const Node* current = one("singleA0", Kind::Label);
        const Node* normal = one("singleA2", Kind::Label);
        if (current && normal &&
            static_cast<CTextLabel*>(current->view)->getFontColor() == static_cast<CTextLabel*>(normal->view)->getFontColor())
            problems.add("singleA0 (current preset) and singleA2 (normal) have one font colour");
    }

    // ---- bitmaps
    void checkBitmaps()
    {
        if (nodes.empty())
            return;
        CBitmap* bg = nodes[0].view->getBackground();
        if (!bg || bg->getWidth() != kDesignWidth || bg->getHeight() != kDesignHeight)
            problems.add("the background bitmap is not 2560 x 1440");
        for (const Node& n : nodes)
        {
            CBitmap* b = n.view->getBackground();
            const std::string who = n.name.empty() ? std::string("a view at ") + rectText(n.frame) : n.name;
            if (auto* kick = dynamic_cast<CKickButton*>(n.view))
            {
                if (!b || kick->getHeightOfOneImage() != kKeyFrame || b->getHeight() != 2 * kKeyFrame ||
                    n.frame.getHeight() != kKeyFrame || n.frame.getWidth() != b->getWidth())
                    problems.add(who, ": a kick button needs a bitmap of two ", kKeyFrame,
                                 "-pixel frames of its own size");
            }
            if (auto* knob = dynamic_cast<CAnimKnob*>(n.view))
            {
                const int frames = b ? int(b->getHeight()) / kKnobFrame : 0;
                if (!b || knob->getHeightOfOneImage() != kKnobFrame || b->getWidth() != kKnobFrame ||
                    int(b->getHeight()) % kKnobFrame != 0 || frames < 2 || n.frame.getWidth() != kKnobFrame ||
                    n.frame.getHeight() != kKnobFrame)
                    problems.add(who, ": a knob needs a strip of ", kKnobFrame, "-pixel frames of its own size");
                if (std::fabs(knob->getStartAngle() - 135 * M_PI / 180) > 1e-4 ||
                    std::fabs(knob->getRangeAngle() - 270 * M_PI / 180) > 1e-4)
                    problems.add(who, ": a knob starts at 135 degrees and turns 270");
            }
        }
        // The editor gives its lamp keys the looks it takes from five keys.
        auto looks = [&](const std::vector<std::string>& sources, const std::vector<std::string>& keys, const char* what) {
            std::vector<CBitmap*> taken;
            for (const auto& s : sources)
                if (const Node* k = one(s, Kind::Kick))
                    taken.push_back(k->view->getBackground());
            if (taken.size() != sources.size() || std::count(taken.begin(), taken.end(), nullptr))
                return;
            for (size_t i = 0; i < taken.size(); ++i)
                for (size_t j = i + 1; j < taken.size(); ++j)
                    if (taken[i] == taken[j] || samePixels(taken[i], taken[j]))
                        problems.add("the ", what, " looks taken from ", sources[i], " and ", sources[j], " are the same");
            for (const auto& k : keys)
                if (const Node* key = one(k, Kind::Kick))
                    for (CBitmap* b : taken)
                        if (b->getWidth() != key->frame.getWidth() || b->getHeight() != 2 * key->frame.getHeight())
                            problems.add(k, ": ", rectText(key->frame), " does not fit the ", what,
                                         " looks it is given");
        };
        using namespace k1lib;
        looks({CParam::getEnumString(Param_SourceS1Mute), CParam::getEnumString(Param_SourceS2Mute),
               CParam::getEnumString(Param_SourceS3Mute)},
              smallKeyNames(), "small");
        looks({CParam::getEnumString(Param_SourceS1VibABend), CParam::getEnumString(Param_SourceS1PressureToFreq)},
              largeKeyNames(), "large");
    }

    static bool samePixels(CBitmap* a, CBitmap* b)
    {
        cairo_surface_t* sa = a->getSurface();
        cairo_surface_t* sb = b->getSurface();
        const int h = cairo_image_surface_get_height(sa), stride = cairo_image_surface_get_stride(sa);
        if (cairo_image_surface_get_width(sa) != cairo_image_surface_get_width(sb) ||
            h != cairo_image_surface_get_height(sb) || stride != cairo_image_surface_get_stride(sb))
            return false;
        cairo_surface_flush(sa);
        cairo_surface_flush(sb);
        return std::memcmp(cairo_image_surface_get_data(sa), cairo_image_surface_get_data(sb), size_t(stride) * h) == 0;
    }

    void checkGlyphs()
    {
        const Node* font = one("fontExport", Kind::Container);
        if (!font)
            return;
        std::vector<const Node*> glyphs;
        for (const Node& n : nodes)
            if (n.parent == int(font - nodes.data()))
                glyphs.push_back(&n);
        if (glyphs.size() != kGlyphs)
            problems.add("fontExport holds ", glyphs.size(), " glyphs, not ", kGlyphs);
        if (glyphs.empty())
            return;
        if (glyphs.size() >= kGlyphs && glyphs[kGlyphs - 1]->name != "BLOCK")
            problems.add("the 94th glyph (the block) is not named BLOCK");
        const Node* cell = one("char000", Kind::View);
        for (size_t i = 0; i < glyphs.size(); ++i)
        {
            CBitmap* b = glyphs[i]->view->getBackground();
            if (!b)
            {
                problems.add("glyph ", i + 1, " has no bitmap");
                continue;
            }
            if (cell && (b->getWidth() != cell->frame.getWidth() || b->getHeight() != cell->frame.getHeight()))
                problems.add("glyph ", i + 1, " is not the size of the display's cells");
            for (size_t j = 0; j < i; ++j)
                if (CBitmap* o = glyphs[j]->view->getBackground(); o && (o == b || samePixels(o, b)))
                    problems.add("glyphs ", j + 1, " and ", i + 1, " look the same");
        }
    }

    // ---- geometry
    void checkParents()
    {
        for (const Node& n : nodes)
        {
            const CRect parent =
                n.parent < 0 ? CRect(0, 0, kDesignWidth, kDesignHeight) : nodes[size_t(n.parent)].frame;
            CRect r = n.frame;
            r.bound(parent);
            if (r != n.frame || n.frame.getWidth() <= 0 || n.frame.getHeight() <= 0)
                problems.add(describe(n), " leaves its parent ", n.parent < 0 ? "template" : describe(nodes[size_t(n.parent)]));
        }
    }

    std::string describe(const Node& n) const
    {
        std::string what = n.name;
        if (what.empty())
            if (auto* label = dynamic_cast<CTextLabel*>(n.view))
                what = "\"" + label->getText().getString() + "\"";
        return (what.empty() ? std::string("a view") : what) + " " + rectText(n.frame);
    }

    bool underFontExport(int i) const
    {
        for (int p = i; p >= 0; p = nodes[size_t(p)].parent)
            if (nodes[size_t(p)].name == "fontExport")
                return true;
        return false;
    }

    // Whether node i belongs to what the state shows: the state's page (and
    // half), the top bar, never the glyph set.
    bool inState(int i, const PageState& s) const
    {
        static const std::set<std::string> pages = {"mode_play", "mode_edit", "mode_edit_multi", "mode_edit_system"};
        for (int p = i; p >= 0; p = nodes[size_t(p)].parent)
        {
            const std::string& n = nodes[size_t(p)].name;
            if ((pages.count(n) && n != s.page) || ((n == "edit_source" || n == "edit_common") && n != s.half) ||
                n == "fontExport")
                return false;
        }
        return true;
    }

    bool isControl(const Node& n) const
    {
        static const std::set<std::string> interactive = {"clickableLogo", "btDonate",  "resizeHandle", "LCDLight",
                                                          "arrowLeft",     "arrowRight", "throttleArea", "envdummy"};
        return dynamic_cast<CControl*>(n.view) || interactive.count(n.name);
    }

    static bool coarseSharing(const Node& a, const Node& b)
    {
        static const std::string coarse = k1lib::CParam::getEnumString(k1lib::Param_SourceS1Coarse);
        static const std::set<std::string> fixedKey = {"btCoarseDec", "btCoarseInc", "btCoarseDecText", "btCoarseIncText"};
        auto knobSide = [](const Node& n) {
            return n.name == coarse && (dynamic_cast<CAnimKnob*>(n.view) || isKind(n.view, Kind::Label));
        };
        auto menuSide = [](const Node& n) {
            return (n.name == coarse && dynamic_cast<COptionMenu*>(n.view)) || fixedKey.count(n.name);
        };
        return (knobSide(a) && menuSide(b)) || (knobSide(b) && menuSide(a));
    }

    void checkOverlaps(const PageState& s)
    {
        std::vector<int> controls;
        for (size_t i = 0; i < nodes.size(); ++i)
            if (isControl(nodes[i]) && inState(int(i), s))
                controls.push_back(int(i));
        for (size_t a = 0; a < controls.size(); ++a)
            for (size_t b = a + 1; b < controls.size(); ++b)
            {
                const Node& x = nodes[size_t(controls[a])];
                const Node& y = nodes[size_t(controls[b])];
                if (overlaps(x.frame, y.frame) && !inside(controls[b], controls[a]) && !inside(controls[a], controls[b]) &&
                    !coarseSharing(x, y))
                    problems.add(s.file, ": ", describe(x), " overlaps ", describe(y));
            }
    }

    // Shows the state's page and half, as the editor does.
    void show(const PageState& s)
    {
        for (const Node& n : nodes)
        {
            if (n.name == "mode_play" || n.name == "mode_edit" || n.name == "mode_edit_multi" ||
                n.name == "mode_edit_system")
                n.view->setVisible(n.name == s.page);
            if (!s.half.empty() && (n.name == "edit_source" || n.name == "edit_common"))
                n.view->setVisible(n.name == s.half);
        }
    }

    bool shown(int i) const
    {
        for (int p = i; p >= 0; p = nodes[size_t(p)].parent)
            if (!nodes[size_t(p)].view->isVisible())
                return false;
        return true;
    }

    void checkClicks(const PageState& s, CView* root)
    {
        auto* container = root->asViewContainer();
        for (size_t i = 0; i < nodes.size(); ++i)
        {
            const Node& n = nodes[i];
            if (!isControl(n) || !n.view->getMouseEnabled() || !inState(int(i), s) || !shown(int(i)) ||
                n.name == "envdummy")
                continue;
            CView* hit = container->getViewAt(n.frame.getCenter(), true, true);
            bool reached = false;
            for (CView* v = hit; v; v = v->getParentView())
                reached = reached || v == n.view;
            if (!reached)
                problems.add(s.file, ": a click at the centre of ", describe(n), " does not reach it");
        }
    }

    // ---- texts
    struct FontMetrics
    {
        double height;
    };

    double width(CFontRef font, const std::string& text)
    {
        if (!scratch)
        {
            surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
            cr = cairo_create(surface);
            scratch = new CDrawContext(cr);
        }
        scratch->setFont(font);
        return scratch->getStringWidth(text);
    }

    double height(CFontRef font)
    {
        width(font, "");
        cairo_save(cr);
        cairo_select_font_face(cr, font->getResolvedFamily().c_str(), CAIRO_FONT_SLANT_NORMAL,
                               (font->getStyle() & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, font->getSize());
        cairo_font_extents_t fe;
        cairo_font_extents(cr, &fe);
        cairo_restore(cr);
        return fe.ascent + fe.descent;
    }

    void checkTexts()
    {
        std::map<std::string, std::pair<double, std::string>> widest; // by list and font
        for (size_t i = 0; i < nodes.size(); ++i)
        {
            const Node& n = nodes[i];
            auto* display = dynamic_cast<CParamDisplay*>(n.view);
            if (!display || underFontExport(int(i)))
                continue;
            const bool menu = dynamic_cast<COptionMenu*>(n.view) != nullptr;
            const CFontRef font = display->getFont();
            const CPoint inset = display->getTextInset();
            const double room = n.frame.getWidth() - 2 * inset.x - (menu ? kMenuArrowRoom : 0);
            if (height(font) > n.frame.getHeight() - 2 * inset.y)
                problems.add(describe(n), ": its font is taller than the label");
            std::pair<double, std::string> need{0, {}};
            if (auto* label = dynamic_cast<CTextLabel*>(n.view))
                need = {width(font, label->getText().getString()), label->getText().getString()};
            const ValueTexts values = valueTexts(n.name, menu);
            if (values.texts)
            {
                const std::string key = values.key + "@" + font->getName().getString() + std::to_string(font->getSize());
                auto it = widest.find(key);
                if (it == widest.end())
                {
                    std::pair<double, std::string> w{0, {}};
                    for (const std::string& t : *values.texts)
                        w = std::max(w, std::make_pair(width(font, t), t));
                    it = widest.emplace(key, w).first;
                }
                need = std::max(need, it->second);
            }
            if (need.first > room)
                problems.add(describe(n), ": \"", need.second, "\" needs ", int(std::ceil(need.first)),
                             " pixels, the label has ", int(room));
        }
        if (scratch)
        {
            scratch->forget();
            cairo_destroy(cr);
            cairo_surface_destroy(surface);
            scratch = nullptr;
        }
    }

    // Every control a musician can click says what it does when the pointer rests on it.
    void checkTooltips()
    {
        for (size_t i = 0; i < nodes.size(); ++i)
        {
            const Node& n = nodes[i];
            if (!isControl(n) || !n.view->getMouseEnabled() || n.view->asViewContainer() || n.name == "envdummy" ||
                underFontExport(int(i)))
                continue;
            if (n.view->getTooltipText().getString().empty())
                problems.add(describe(n), ": no tooltip");
        }
    }

    // ---- contrast of every text shown against what lies behind it
    static double luminance(double r, double g, double b)
    {
        auto linear = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
    }

    void checkContrast(const PageState& s, cairo_surface_t* picture)
    {
        cairo_surface_flush(picture);
        const uint8_t* px = cairo_image_surface_get_data(picture);
        const int stride = cairo_image_surface_get_stride(picture);
        const int pw = cairo_image_surface_get_width(picture), ph = cairo_image_surface_get_height(picture);
        for (size_t i = 0; i < nodes.size(); ++i)
        {
            const Node& n = nodes[i];
            auto* display = dynamic_cast<CParamDisplay*>(n.view);
            if (!display || !inState(int(i), s) || !shown(int(i)))
                continue;
            std::string text;
            if (auto* label = dynamic_cast<CTextLabel*>(n.view))
                text = label->getText().getString();
            else if (auto* menu = dynamic_cast<COptionMenu*>(n.view); menu && menu->getCurrent())
                text = menu->getCurrent()->getTitle().getString();
            if (text.empty() || (display->getStyle() & (CParamDisplay::kNoTextStyle | CParamDisplay::kNoDrawStyle)))
                continue;
            // What lies behind the text: the median shade of the view's pixels
            // (the letters cover far fewer than half of them).
            std::vector<double> shades;
            const int x0 = std::max(0, int(n.frame.left)), x1 = std::min(pw, int(n.frame.right));
            const int y0 = std::max(0, int(n.frame.top)), y1 = std::min(ph, int(n.frame.bottom));
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                {
                    const uint8_t* p = px + size_t(y) * size_t(stride) + size_t(x) * 4;
                    shades.push_back(luminance(p[2] / 255.0, p[1] / 255.0, p[0] / 255.0));
                }
            if (shades.empty())
                continue;
            std::nth_element(shades.begin(), shades.begin() + long(shades.size() / 2), shades.end());
            const double behind = shades[shades.size() / 2];
            const CColor& c = display->getFontColor();
            const double ink = luminance(c.red / 255.0, c.green / 255.0, c.blue / 255.0);
            const double ratio = (std::max(ink, behind) + 0.05) / (std::min(ink, behind) + 0.05);
            if (ratio < kMinContrast)
                problems.add(s.file, ": ", describe(n), " has a text contrast of ", int(ratio * 10) / 10.0,
                             ":1, less than 4.5:1");
        }
    }

    // Gives menus, readouts and fields what they typically show, for the pictures.
    void fillSamples()
    {
        for (const Node& n : nodes)
        {
            if (auto* menu = dynamic_cast<COptionMenu*>(n.view))
            {
                const std::string sample = sampleText(n.name, true);
                if (!sample.empty())
                {
                    menu->removeAllEntry();
                    menu->addEntry(sample);
                    menu->setCurrent(0);
                }
            }
            else if (auto* label = dynamic_cast<CTextLabel*>(n.view))
            {
                const std::string sample = sampleText(n.name, false);
                if (!sample.empty())
                    label->setText(sample);
            }
        }
    }

    // ---- pictures
    // The editor starts the source mix in the middle of its circle.
    void centreThrottle()
    {
        const Node* area = one("throttleArea", Kind::Container);
        const Node* throttle = one("throttle", Kind::View);
        if (!area || !throttle)
            return;
        CRect r = throttle->view->getViewSize();
        r.offset((area->frame.getWidth() - r.getWidth()) / 2 - r.left,
                 (area->frame.getHeight() - r.getHeight()) / 2 - r.top);
        throttle->view->setViewSize(r);
    }

    void picture(CFrame* frame, const PageState& s)
    {
        if (frame->getZoom() != options.zoom && !frame->setZoom(options.zoom))
        {
            problems.add("cannot draw at zoom ", options.zoom);
            return;
        }
        const std::string path = options.pictureDir + "/" + s.file + ".png";
        HeadlessFrame* window = HeadlessFrame::from(frame);
        if (window && window->writePNG(path))
            result.pictures.push_back(path);
        else
            problems.add("cannot write ", path);
    }

    const void* data;
    size_t size;
    const Options& options;
    Result& result;
    Problems problems;
    UIDescription* description = nullptr;
    std::vector<Node> nodes;
    std::map<std::string, std::vector<int>> byName;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    CDrawContext* scratch = nullptr;
};
} // namespace

Result checkPanel(const void* data, size_t size, const Options& options)
{
    Result result;
    Checker(data, size, options, result).run();
    return result;
}
} // namespace panelcheck
