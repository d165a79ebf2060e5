#pragma once

// The stateless view functions every editor class uses: the map of views by
// custom-view-name (the only way code finds a view of the UI description),
// typed lookups in it, and the option-menu builders of the parameter menus.

#include <map>
#include <string>
#include <vector>

#include "gui/vstgui.h"
#include "patch/log.h"
#include "patch/parameterEnum.h"

class ControlHelpers
{
public:
    // Every view of a name, in depth-first pre-order of the view tree.
    using ViewMap = std::map<std::string, std::vector<VSTGUI::CView*>>;

    // The custom-view-name of a view; empty when it has none.
    static std::string getCustomViewName(const VSTGUI::CView* view);
    // Adds view and, for a container, everything below it to the map.
    static void getViewsByCustomViewName(ViewMap& map, VSTGUI::CView* view);

    // The first view of the name that is a T (any view for CView); null with
    // a log line when the name is missing or no view of it is a T.
    template <class T> static T* initView(const ViewMap& map, const std::string& name)
    {
        const auto it = map.find(name);
        if (it == map.end())
        {
            K1_LOG("Failed to find view named " << name);
            return nullptr;
        }
        for (VSTGUI::CView* view : it->second)
            if (auto* typed = dynamic_cast<T*>(view))
                return typed;
        K1_LOG("View named " << name << " not found as required type");
        return nullptr;
    }
    // The knob and the value label that share a name; true when both exist.
    static bool initKnob(const ViewMap& map, VSTGUI::CKnobBase*& knob, VSTGUI::CTextLabel*& label,
                         const std::string& name);

    // A title item (not selectable).
    static VSTGUI::CMenuItem* addTitle(VSTGUI::COptionMenu* menu, const std::string& text);
    // A submenu of the values first - 1 .. last - 1 of param (first and last
    // count from 1), each titled with its formatted value and tagged with it.
    static VSTGUI::COptionMenu* addRangeAsSubmenu(VSTGUI::COptionMenu* menu, k1lib::EParam param,
                                                  const std::string& title, int first, int last);
    // One item per value from param's minimum to its maximum: item index =
    // value - minimum.
    static void addParameterRangeAsMenuEntries(VSTGUI::COptionMenu* menu, k1lib::EParam param);
    // The title of the first item with that tag, searching each submenu
    // before going on; empty when none has it.
    static std::string getItemTextByTag(const VSTGUI::COptionMenu* menu, int32_t tag);
};
