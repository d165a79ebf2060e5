// K1Editor: the views of the panel bound to the automation parameters, in
// both directions. User edits go to the host as automation and out as K1
// parameter changes; changes from anywhere come back through the dirty
// flags and refresh the bound views at idle.

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editor/k1Editor.h"
#include "patch/parameter.h"

using namespace VSTGUI;
using k1lib::EParam;

namespace
{
constexpr uint32_t kSourceFirst = k1lib::Param_SourceS1Mute;   // 27: the first of 20 kinds x 4 sources
constexpr uint32_t kSourceRebindFirst = k1lib::Param_SourceS1Fine; // 31: the mutes stay where they are
constexpr uint32_t kSourceLast = k1lib::Param_SourceS4FreqKeyScaleToFreq; // 106
constexpr int kCoarseCentre = 84; // coarse 84 plays the key as it is

bool isCoarse(uint32_t p)
{
    return p >= k1lib::Param_SourceS1Coarse && p <= k1lib::Param_SourceS4Coarse;
}

bool isZone(uint32_t p)
{
    return p >= k1lib::Param_MultiS1ZoneLow && p <= k1lib::Param_MultiS8ZoneHigh;
}

const k1lib::CParam& row(uint32_t p)
{
    return k1lib::g_params[p];
}

float toRaw(uint32_t p, float normalized)
{
    return normalized * row(p).range + row(p).min;
}

float toNormalized(uint32_t p, float raw)
{
    return (raw - row(p).min) * row(p).invRange;
}

// The wave menu: six groups of waveform families, wave numbers from 1.
struct WaveFamily
{
    const char* title;
    int first;
    int last;
};
struct WaveGroup
{
    const char* title;
    std::vector<WaveFamily> families;
};
const std::vector<WaveGroup>& waveGroups()
{
    static const std::vector<WaveGroup> groups = {
        {"Basic Wave Group", {{"Sine", 1, 13}, {"Saw", 14, 32}, {"Square", 33, 37}, {"Inverse-Saw", 38, 40}}},
        {"Low Frequency Group",
         {{"Brass", 41, 41},
          {"String", 42, 44},
          {"Piano/E. Piano", 45, 51},
          {"Guitar/Brass", 52, 62},
          {"Wind/Lead", 63, 65},
          {"Bell/Percussion/Organ", 66, 75}}},
        {"Mid Frequency Group",
         {{"Brass", 76, 83},
          {"String", 84, 85},
          {"Piano/E.Piano", 86, 99},
          {"Guitar/Bass", 100, 114},
          {"Wind/Lead", 115, 120},
          {"Bell/Percussion/Organ", 121, 146}}},
        {"Hi-Mid Frequency Group",
         {{"Brass/Orchestra", 147, 149},
          {"Piano/E.Piano", 150, 159},
          {"Bass", 160, 163},
          {"Bell/Percussion/Organ", 164, 190}}},
        {"Hi Frequency Range Group", {{"Clavi", 191, 191}, {"Bass", 192, 197}, {"Lead/Percussion", 198, 204}}},
        {"PCM Wave Group",
         {{"One Shot", 205, 234},
          {"Loop", 235, 242},
          {"Omnibus Loop", 243, 250},
          {"Reverse", 251, 253},
          {"Alternate", 254, 256}}},
    };
    return groups;
}

std::string withoutTrailingBlanks(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}
} // namespace

void K1Editor::initializeViews(CView* root)
{
    ControlHelpers::getViewsByCustomViewName(m_views, root);

    for (auto& [name, views] : m_views)
        for (CView* view : views)
            if (auto* control = dynamic_cast<CControl*>(view))
                control->setListener(this);

    for (uint32_t p = 0; p < k1lib::kParamCount; ++p)
    {
        const auto it = m_views.find(k1lib::CParam::getEnumString(EParam(p)));
        if (it != m_views.end())
            for (CView* view : it->second)
                assignViewToParam(EParam(p), view);
    }

    for (uint32_t p = 0; p < k1lib::kParamCount; ++p)
    {
        COptionMenu* menu = m_menus[p];
        if (!menu)
            continue;
        if (p == k1lib::Param_SourceS1Coarse || p == k1lib::Param_SourceS1Wave)
            assignMultilevelOptionMenuToParam(
                EParam(p), adoptMultilevelOptionMenu(std::make_unique<uiMultilevelOptionMenu>(menu)));
        initOptionMenu(menu, EParam(p));
    }

    using H = ControlHelpers;
    mode_play = H::initView<CViewContainer>(m_views, "mode_play");
    mode_edit = H::initView<CViewContainer>(m_views, "mode_edit");
    mode_edit_multi = H::initView<CViewContainer>(m_views, "mode_edit_multi");
    mode_edit_system = H::initView<CViewContainer>(m_views, "mode_edit_system");
    edit_common = H::initView<CViewContainer>(m_views, "edit_common");
    edit_source = H::initView<CViewContainer>(m_views, "edit_source");
    btModeSingle = H::initView<CKickButton>(m_views, "btModeSingle");
    btModeMulti = H::initView<CKickButton>(m_views, "btModeMulti");
    btEdit = H::initView<CKickButton>(m_views, "btEdit");
    btSystem = H::initView<CKickButton>(m_views, "btSystem");
    btEditCommon = H::initView<CKickButton>(m_views, "btEditCommon");
    btWaveDec = H::initView<CKickButton>(m_views, "btWaveDec");
    btWaveInc = H::initView<CKickButton>(m_views, "btWaveInc");
    btCoarseDec = H::initView<CKickButton>(m_views, "btCoarseDec");
    btCoarseInc = H::initView<CKickButton>(m_views, "btCoarseInc");
    btCoarseDecText = H::initView<CView>(m_views, "btCoarseDecText");
    btCoarseIncText = H::initView<CView>(m_views, "btCoarseIncText");
    editSingleName = H::initView<CTextEdit>(m_views, "editSingleName");
    editMultiName = H::initView<CTextEdit>(m_views, "editMultiName");
    for (uint32_t s = 0; s < 4; ++s)
    {
        btEditSource[s] = H::initView<CKickButton>(m_views, std::string("btEditSource") + char('A' + s));
        m_muteButtons[s] = H::initView<CKickButton>(m_views, std::string("Param_SourceS") + char('1' + s) + "Mute");
    }

    harvestButtonBitmaps();
    createWidgets();

    setActiveSource(0); // already 0: shows the source page and marks the buttons, binds nothing
    setSmallButtonActive(btSystem, Look_Inactive);
    setSmallButtonActive(btEdit, Look_Inactive);
    setModeEdit(false);
    onPlayModeChanged();
    updateEditSingleName();
    updateEditMultiName();

    for (uint32_t p = 0; p < k1lib::kParamCount; ++p)
        onParamChanged(EParam(p), m_plugin.getParameter(EParam(p)));

    clickableLogo = H::initView<CView>(m_views, "clickableLogo");
    btDonate = H::initView<CView>(m_views, "btDonate");
    if (clickableLogo)
        clickableLogo->registerViewMouseListener(this);
    if (btDonate)
        btDonate->registerViewMouseListener(this);
}

// The looks of the on/off buttons are bitmaps the description already
// holds: three small ones on the first three mute buttons, two large ones on
// the vibrato and pressure switches of source 1.
void K1Editor::harvestButtonBitmaps()
{
    auto take = [](CView* view) -> CBitmap* {
        CBitmap* bitmap = view ? view->getBackground() : nullptr;
        if (bitmap)
            bitmap->remember();
        return bitmap;
    };
    for (uint32_t look = 0; look < 3; ++look)
        m_smallButtonBitmaps[look] = take(m_muteButtons[look]);
    m_largeButtonBitmaps[Look_Inactive] = take(m_buttons[k1lib::Param_SourceS1VibABend]);
    m_largeButtonBitmaps[Look_Active] = take(m_buttons[k1lib::Param_SourceS1PressureToFreq]);
    for (CKickButton* mute : m_muteButtons)
        setSmallButtonActive(mute, Look_Inactive);
}

void K1Editor::initOptionMenu(COptionMenu* menu, EParam p)
{
    if (!menu || p >= k1lib::kParamCount)
        return;
    menu->removeAllEntry();
    if (uiMultilevelOptionMenu* wrapper = m_wrappers[p]; wrapper && wrapper->getMenu() == menu)
        wrapper->onMenuCleared();

    if (isCoarse(p) || isZone(p))
    {
        // Octaves of twelve keys; the last group holds the eight keys up to 127.
        const k1lib::CParam& r = row(p);
        for (int start = 0, previous = -1; previous < 116; previous = start, start += 12)
        {
            const int end = std::min(start, 116) + 11;
            const std::string title = r.formatValue(p, float(start)) + "-" + r.formatValue(p, float(end));
            ControlHelpers::addRangeAsSubmenu(menu, p, title, start + 1, end + 1);
        }
    }
    else if (p >= k1lib::Param_SourceS1Wave && p <= k1lib::Param_SourceS4Wave)
    {
        for (const WaveGroup& group : waveGroups())
        {
            ControlHelpers::addTitle(menu, group.title);
            for (const WaveFamily& family : group.families)
                ControlHelpers::addRangeAsSubmenu(menu, p, family.title, family.first, family.last);
        }
    }
    else if (p >= k1lib::Param_MultiS1Single && p <= k1lib::Param_MultiS8Single)
    {
        // The multi page fills these with the singles of the multi's bank.
    }
    else
        ControlHelpers::addParameterRangeAsMenuEntries(menu, p);
}

void K1Editor::setButtonLook(CKickButton* button, CBitmap* bitmap)
{
    if (!button || !bitmap || button->getBackground() == bitmap)
        return;
    button->setBackground(bitmap);
    button->invalid();
}

void K1Editor::setSmallButtonActive(CKickButton* button, ButtonLook look)
{
    setButtonLook(button, m_smallButtonBitmaps[std::min<uint32_t>(look, 2)]);
}

void K1Editor::setLargeButtonActive(CKickButton* button, ButtonLook look)
{
    setButtonLook(button, m_largeButtonBitmaps[std::min<uint32_t>(look, 2)]);
}

void K1Editor::setActiveSource(uint32_t source)
{
    if (source > 3 || !m_frame)
        return;
    setModeEdit(true);
    if (edit_common)
        edit_common->setVisible(false);
    if (edit_source)
        edit_source->setVisible(true);
    setSmallButtonActive(btEditCommon, Look_Inactive);
    for (uint32_t s = 0; s < 4; ++s)
        setSmallButtonActive(btEditSource[s], s == source ? Look_Active : Look_Inactive);

    if (source == m_activeSource)
        return;
    m_activeSource = source;

    for (uint32_t p = kSourceRebindFirst; p <= kSourceLast; ++p)
    {
        const uint32_t kind = (p - kSourceFirst) / 4;
        moveBinding(EParam(p), EParam(kSourceFirst + 4 * kind + source));
    }
    for (uint32_t p = kSourceFirst + source; p <= kSourceLast; p += 4)
        onParamChanged(EParam(p), m_plugin.getParameter(EParam(p)));
    widgetsOnEnvelopeChanged();
    if (edit_source)
        edit_source->invalid();
}

void K1Editor::valueChanged(CControl* control)
{
    if (!control || !m_frame)
        return;
    if (control == editSingleName)
    {
        writeName(editSingleName, k1lib::Param_Name01, false);
        return;
    }
    if (control == editMultiName)
    {
        writeName(editMultiName, k1lib::Param_MultiName01, true);
        return;
    }

    if (control->getValue() < 0.5f)
    {
        // Buttons of the panel act when released.
        if (control == btModeSingle || control == btModeMulti)
        {
            m_plugin.setPlayMode(control == btModeSingle ? k1lib::PlayMode::Single : k1lib::PlayMode::Multi);
            return;
        }
        if (control == btEdit)
        {
            setModeEdit(!(isShown(mode_edit) || isShown(mode_edit_multi)));
            return;
        }
        if (control == btSystem)
        {
            setModeSystem(!isShown(mode_edit_system));
            return;
        }
        if (control == btWaveDec || control == btWaveInc)
        {
            writeStep(EParam(k1lib::Param_SourceS1Wave + m_activeSource), 256, control == btWaveInc);
            return;
        }
        if (control == btCoarseDec || control == btCoarseInc)
        {
            writeStep(EParam(k1lib::Param_SourceS1Coarse + m_activeSource), 128, control == btCoarseInc);
            return;
        }
    }

    for (uint32_t s = 0; s < 4; ++s)
        if (control == btEditSource[s])
        {
            setActiveSource(s);
            return;
        }
    if (control == btEditCommon)
    {
        setEditModeCommon();
        return;
    }

    for (uint32_t p = 0; p < k1lib::kParamCount; ++p)
    {
        const EParam param = EParam(p);
        if (control == m_buttons[p])
        {
            // Pressing toggles; releasing writes nothing.
            if (control->getValue() > 0.5f)
                setParameterFromUi(param, m_plugin.getParameter(param) > 0.5f ? 0.0f : 1.0f);
        }
        else if (control == m_menus[p] && m_wrappers[p])
        {
            int32_t index = -1;
            COptionMenu* chosenIn = m_menus[p]->getLastItemMenu(index);
            if (chosenIn && index >= 0 && index < chosenIn->getNbEntries())
                setParameterFromUi(param, toNormalized(p, float(chosenIn->getEntry(index)->getTag())));
        }
        else if (control == m_menus[p])
        {
            const float value = control->getValueNormalized();
            if (p == k1lib::Param_AmpModS1S2 || p == k1lib::Param_AmpModS3S4)
            {
                // The engine keeps the modulated source second: entering or
                // leaving the "S1>S2" direction exchanges the two sources.
                const long before = std::lround(toRaw(p, m_plugin.getParameter(param)));
                const long after = std::lround(toRaw(p, value));
                if ((before == 2) != (after == 2))
                {
                    if (p == k1lib::Param_AmpModS1S2)
                        swapSources(0, 1);
                    else
                        swapSources(2, 3);
                }
            }
            setParameterFromUi(param, value);
        }
        else if (control == m_controls[p])
        {
            if (isCoarse(p))
                setParameterFromUi(param, toNormalized(p, control->getValue()));
            else
                setParameterFromUi(param, control->getValueNormalized());
        }
    }
}

// A name field: ten characters, blanks after the end of the text.
void K1Editor::writeName(CTextEdit* edit, EParam first, bool multi)
{
    std::string text = edit->getText().getString();
    if (text.size() > 10)
        text.resize(10);
    for (uint32_t k = 0; k < 10; ++k)
    {
        const signed char c = k < text.size() ? static_cast<signed char>(text[k]) : ' ';
        // A byte outside the K1's character range must not leave 0..1.
        const float value = std::clamp(toNormalized(first + k, float(c)), 0.0f, 1.0f);
        setParameterFromUi(EParam(first + k), value);
    }
    if (multi)
        m_plugin.setCurrentMultiName(text);
    else
        m_plugin.setCurrentSingleName(text);
}

// One step of the wave or coarse value, wrapping around at the ends.
void K1Editor::writeStep(EParam p, int modulo, bool up)
{
    const int value = int(std::lround(toRaw(p, m_plugin.getParameter(p))));
    const int next = (value + (up ? 1 : modulo - 1)) % modulo;
    setParameterFromUi(p, toNormalized(p, float(next)));
}

void K1Editor::setParameterFromUi(EParam param, float value)
{
    if (param >= k1lib::kParamCount)
        return;
    if (m_listener)
        m_listener->changeParameter(param, value);
    m_plugin.sendParameterChangeAsSysex(param, value);
}

void K1Editor::onParamChanged(EParam p, float value)
{
    if (p >= k1lib::kParamCount || !m_frame)
        return;
    const float raw = toRaw(p, value);

    if (p == k1lib::Param_SourceMix12 || p == k1lib::Param_SourceMix34)
        widgetsOnSourceMixChanged();

    if (CControl* control = m_controls[p])
    {
        if (p >= k1lib::Param_SourceS1EnvDelay && p <= k1lib::Param_SourceS4EnvRelease)
            widgetsOnEnvelopeChanged();
        if (isCoarse(p))
            control->setValue(raw);
        else
            control->setValueNormalized(value);
    }

    if (COptionMenu* menu = m_menus[p])
    {
        if (uiMultilevelOptionMenu* wrapper = m_wrappers[p])
            updateMultilevelOptionMenuFromParam(wrapper, p, value);
        else
            menu->setValueNormalized(value);
    }

    if (CKickButton* button = m_buttons[p])
    {
        const bool on = value != 0.0f;
        if (p >= k1lib::Param_SourceS1Mute && p <= k1lib::Param_SourceS4Mute)
        {
            if (CBitmap* bitmap = m_smallButtonBitmaps[on ? Look_Muted : Look_Inactive])
                button->setBackground(bitmap);
        }
        else if (p >= k1lib::Param_SourceS1KeyTrack && p <= k1lib::Param_SourceS4KeyTrack)
        {
            setLargeButtonActive(button, on ? Look_Active : Look_Inactive);
            showCoarseViews(p - 8, on);
        }
        else if (p >= k1lib::Param_SourceS1VibABend && p <= k1lib::Param_SourceS4PressureToFreq)
            setLargeButtonActive(button, on ? Look_Active : Look_Inactive);
        else
            setSmallButtonActive(button, on ? Look_Active : Look_Inactive);
    }

    if (CTextLabel* label = m_labels[p])
    {
        if (isCoarse(p))
        {
            const long n = std::lround(raw) - kCoarseCentre;
            char text[16];
            std::snprintf(text, sizeof text, n > 0 ? "+%ld" : "%ld", n);
            label->setText(text);
        }
        else
            label->setText(row(p).formatValue(p, raw));
    }

    widgetsOnParamChanged(p, value);
}

// With key tracking the coarse value is a transposition (knob); without it
// a fixed key (menu and step buttons).
void K1Editor::showCoarseViews(uint32_t coarseParam, bool keyTracking)
{
    if (CControl* knob = m_controls[coarseParam])
        knob->setVisible(keyTracking);
    if (CTextLabel* label = m_labels[coarseParam])
        label->setVisible(keyTracking);
    if (COptionMenu* menu = m_menus[coarseParam])
        menu->setVisible(!keyTracking);
    for (CView* view : {static_cast<CView*>(btCoarseDec), static_cast<CView*>(btCoarseInc), btCoarseDecText,
                        btCoarseIncText})
        if (view)
            view->setVisible(!keyTracking);
}

void K1Editor::updateMultilevelOptionMenuFromParam(uiMultilevelOptionMenu* wrapper, EParam p, float value)
{
    if (!wrapper || p >= k1lib::kParamCount)
        return;
    wrapper->setTitle(ControlHelpers::getItemTextByTag(wrapper->getMenu(), int32_t(std::lround(toRaw(p, value)))));
}

void K1Editor::updateEditSingleName()
{
    if (editSingleName)
        editSingleName->setText(withoutTrailingBlanks(m_plugin.getCurrentSingle().name));
}

void K1Editor::updateEditMultiName()
{
    if (editMultiName)
        editMultiName->setText(withoutTrailingBlanks(m_plugin.getCurrentMulti().name));
}
