#include "editor/parameterControls.h"

#include "patch/parameter.h"

using namespace VSTGUI;

void ParameterControls::assignViewToParam(k1lib::EParam param, CView* view)
{
    auto* control = dynamic_cast<CControl*>(view);
    if (!control || param >= k1lib::kParamCount)
        return;
    const k1lib::CParam& row = k1lib::g_params[param];
    if (param >= k1lib::Param_SourceS1Coarse && param <= k1lib::Param_SourceS4Coarse)
    {
        // The coarse knob turns over its own range of 60-108 (four octaves).
        control->setDefaultValue(0.5f);
        control->setWheelInc(1.0f / 48.0f);
    }
    else
    {
        control->setDefaultValue((row.defaultValue - row.min) * row.invRange);
        control->setWheelInc(1.0f / (row.max - row.min));
    }
    if (auto* button = dynamic_cast<CKickButton*>(control))
        m_buttons[param] = button;
    else if (auto* menu = dynamic_cast<COptionMenu*>(control))
        m_menus[param] = menu;
    else if (auto* label = dynamic_cast<CTextLabel*>(control))
        m_labels[param] = label;
    else
    {
        m_controls[param] = control;
        if (auto* knob = dynamic_cast<CKnobBase*>(control))
            knob->setZoomFactor(2.0f);
    }
}

void ParameterControls::unassignViewFromParam(CView* view)
{
    if (!view)
        return;
    for (uint32_t p = 0; p < k1lib::kParamCount; ++p)
    {
        if (m_controls[p] == view)
            m_controls[p] = nullptr;
        if (m_labels[p] == view)
            m_labels[p] = nullptr;
        if (m_menus[p] == view)
            m_menus[p] = nullptr;
        if (m_buttons[p] == view)
            m_buttons[p] = nullptr;
        if (m_wrappers[p] && m_wrappers[p]->getMenu() == view)
            m_wrappers[p] = nullptr;
    }
}

void ParameterControls::assignMultilevelOptionMenuToParam(k1lib::EParam param, uiMultilevelOptionMenu* wrapper)
{
    if (param < k1lib::kParamCount)
        m_wrappers[param] = wrapper;
}

uiMultilevelOptionMenu* ParameterControls::adoptMultilevelOptionMenu(std::unique_ptr<uiMultilevelOptionMenu> wrapper)
{
    m_ownedWrappers.push_back(std::move(wrapper));
    return m_ownedWrappers.back().get();
}

void ParameterControls::moveBinding(k1lib::EParam from, k1lib::EParam to)
{
    if (from == to || from >= k1lib::kParamCount || to >= k1lib::kParamCount)
        return;
    auto move = [&](auto& slots) {
        if (slots[from])
        {
            slots[to] = slots[from];
            slots[from] = nullptr;
        }
    };
    move(m_controls);
    move(m_labels);
    move(m_menus);
    move(m_wrappers);
    move(m_buttons);
}

void ParameterControls::deleteMultilevelOptionMenus()
{
    m_wrappers.fill(nullptr);
    m_ownedWrappers.clear();
}
