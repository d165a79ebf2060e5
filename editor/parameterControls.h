#pragma once

// Which views show and edit which automation parameter: five tables indexed
// by parameter number, each holding a view the frame owns (or null). A
// parameter may have a knob or other control, a value label, an option menu
// (with a wrapper when its items sit in submenus) and an on/off button. The
// tables change when views are re-bound to another source or section.

#include <array>
#include <memory>
#include <vector>

#include "editor/uiMultilevelOptionMenu.h"
#include "gui/vstgui.h"
#include "patch/parameterEnum.h"

class ParameterControls
{
public:
    template <class T> using Slots = std::array<T*, k1lib::kParamCount>;

    // Sets a control's default and wheel step from the parameter table and
    // files the view in the first table it fits: button, menu, label, other
    // control. Views that are no controls, and nulls, are ignored.
    void assignViewToParam(k1lib::EParam param, VSTGUI::CView* view);
    // Clears every slot that holds the view (and the wrappers of a menu).
    void unassignViewFromParam(VSTGUI::CView* view);
    void assignMultilevelOptionMenuToParam(k1lib::EParam param, uiMultilevelOptionMenu* wrapper);
    // Keeps a wrapper alive until the editor goes; returns it for binding.
    uiMultilevelOptionMenu* adoptMultilevelOptionMenu(std::unique_ptr<uiMultilevelOptionMenu> wrapper);

    VSTGUI::CControl* getControl(k1lib::EParam p) const { return p < k1lib::kParamCount ? m_controls[p] : nullptr; }
    VSTGUI::CTextLabel* getLabel(k1lib::EParam p) const { return p < k1lib::kParamCount ? m_labels[p] : nullptr; }
    VSTGUI::COptionMenu* getOptionMenu(k1lib::EParam p) const { return p < k1lib::kParamCount ? m_menus[p] : nullptr; }
    uiMultilevelOptionMenu* getMultilevelOptionMenu(k1lib::EParam p) const
    {
        return p < k1lib::kParamCount ? m_wrappers[p] : nullptr;
    }
    VSTGUI::CKickButton* getKickButton(k1lib::EParam p) const { return p < k1lib::kParamCount ? m_buttons[p] : nullptr; }

protected:
    // Moves whatever is bound to from into the slot to, in all five tables;
    // the old slot is cleared.
    void moveBinding(k1lib::EParam from, k1lib::EParam to);
    // Deletes the wrappers (before their menus go with the frame).
    void deleteMultilevelOptionMenus();

    Slots<VSTGUI::CControl> m_controls{};
    Slots<VSTGUI::CTextLabel> m_labels{};
    Slots<VSTGUI::COptionMenu> m_menus{};
    Slots<uiMultilevelOptionMenu> m_wrappers{};
    Slots<VSTGUI::CKickButton> m_buttons{};

private:
    std::vector<std::unique_ptr<uiMultilevelOptionMenu>> m_ownedWrappers;
};
