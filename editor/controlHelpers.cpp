#include "editor/controlHelpers.h"

#include "patch/parameter.h"

using namespace VSTGUI;

std::string ControlHelpers::getCustomViewName(const CView* view)
{
    uint32_t size = 0;
    if (!view || !view->getAttributeSize(kCViewCustomViewName, size) || size == 0)
        return {};
    std::string name(size, '\0');
    if (!view->getAttribute(kCViewCustomViewName, size, name.data(), size))
        return {};
    name.resize(size);
    return name;
}

void ControlHelpers::getViewsByCustomViewName(ViewMap& map, CView* view)
{
    if (!view)
        return;
    const std::string name = getCustomViewName(view);
    if (!name.empty())
        map[name].push_back(view);
    if (CViewContainer* container = view->asViewContainer())
        container->forEachChild([&](CView* child) { getViewsByCustomViewName(map, child); });
}

bool ControlHelpers::initKnob(const ViewMap& map, CKnobBase*& knob, CTextLabel*& label, const std::string& name)
{
    knob = initView<CKnobBase>(map, name);
    label = initView<CTextLabel>(map, name);
    return knob && label;
}

CMenuItem* ControlHelpers::addTitle(COptionMenu* menu, const std::string& text)
{
    return menu ? menu->addEntry(text, -1, CMenuItem::kTitle) : nullptr;
}

COptionMenu* ControlHelpers::addRangeAsSubmenu(COptionMenu* menu, k1lib::EParam param, const std::string& title,
                                               int first, int last)
{
    if (!menu || param >= k1lib::kParamCount)
        return nullptr;
    auto* submenu = new COptionMenu();
    const k1lib::CParam& row = k1lib::g_params[param];
    for (int v = first - 1; v <= last - 1; ++v)
        submenu->addEntry(row.formatValue(param, float(v)))->setTag(v);
    menu->addEntry(submenu, title);
    return submenu;
}

void ControlHelpers::addParameterRangeAsMenuEntries(COptionMenu* menu, k1lib::EParam param)
{
    if (!menu || param >= k1lib::kParamCount)
        return;
    const k1lib::CParam& row = k1lib::g_params[param];
    for (int v = int(row.min); v <= int(row.max); ++v)
        menu->addEntry(row.formatValue(param, float(v)));
}

namespace
{
bool findItemTextByTag(const COptionMenu* menu, int32_t tag, std::string& out)
{
    for (const auto& item : *menu->getItems())
    {
        if (item->getTag() == tag && !item->isSeparator())
        {
            out = item->getTitle().getString();
            return true;
        }
        if (const COptionMenu* sub = item->getSubmenu())
            if (findItemTextByTag(sub, tag, out))
                return true;
    }
    return false;
}
} // namespace

std::string ControlHelpers::getItemTextByTag(const COptionMenu* menu, int32_t tag)
{
    std::string text;
    if (menu)
        findItemTextByTag(menu, tag, text);
    return text;
}
