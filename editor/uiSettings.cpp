#include "editor/uiSettings.h"

#include <algorithm>
#include <cstdio>

#include "editor/k1Editor.h"

using namespace VSTGUI;

namespace
{
constexpr int32_t kOmniEntry = 16; // after the channels "1" .. "16"

void show(COptionMenu* menu, uint32_t index)
{
    if (menu)
        menu->setCurrent(int32_t(index), true);
}
} // namespace

uiSettings::uiSettings(K1Editor& editor, CViewContainer* page) : m_editor(editor)
{
    ControlHelpers::getViewsByCustomViewName(m_views, page);
    midiReceiveChannel = initOptionMenu("midiReceiveChannel");
    midiSendSysex = initToggle("midiSendSysex");
    midiReceiveProgramChange = initOptionMenu("midiReceiveProgramChange");
    midiReceiveModWheel = initToggle("midiReceiveModWheel");
    midiReceiveVelocity = initToggle("midiReceiveVelocity");
    midiReceivePressure = initToggle("midiReceivePressure");
    midiReceiveVolume = initToggle("midiReceiveVolume");
    midiReceiveSysEx = initToggle("midiReceiveSysEx");
    midiReceivePitchBend = initToggle("midiReceivePitchBend");
    midiReceiveHoldPedal = initToggle("midiReceiveHoldPedal");
    midiReceivePan = initToggle("midiReceivePan");
    audioOutputMode = initOptionMenu("audioOutputMode");

    // The VST plug-in leaves the choice of outputs off its page.
    if (auto* audio = ControlHelpers::initView<CViewContainer>(m_views, "audio"))
        audio->setVisible(editor.getPlugin().getPluginType() != k1lib::PluginType::Vst);

    if (midiReceiveChannel)
    {
        for (int channel = 1; channel <= 16; ++channel)
        {
            char text[8];
            std::snprintf(text, sizeof text, "%d", channel);
            midiReceiveChannel->addEntry(text);
        }
        midiReceiveChannel->addEntry("Omni");
    }
    if (midiReceiveProgramChange)
        for (const char* text : {"off", "Norm", "Sect"})
            midiReceiveProgramChange->addEntry(text);
    if (audioOutputMode)
        for (const char* text : {"Stereo", "8 Channels"})
            audioOutputMode->addEntry(text);
    updateValues();
}

COptionMenu* uiSettings::initOptionMenu(const std::string& name)
{
    auto* menu = ControlHelpers::initView<COptionMenu>(m_views, name);
    if (menu)
        menu->setListener(this);
    return menu;
}

COptionMenu* uiSettings::initToggle(const std::string& name)
{
    COptionMenu* menu = initOptionMenu(name);
    if (menu)
    {
        menu->addEntry("Off");
        menu->addEntry("On");
    }
    return menu;
}

// The "Off"/"On" menus and the fields they show and write.
std::array<std::pair<COptionMenu*, uint32_t k1lib::EngineConfig::*>, 9> uiSettings::toggles() const
{
    using C = k1lib::EngineConfig;
    return {{{midiReceiveModWheel, &C::modWheel},
             {midiReceiveVelocity, &C::velocity},
             {midiReceivePressure, &C::pressure},
             {midiReceiveVolume, &C::volume},
             {midiReceiveSysEx, &C::sysexReceive},
             {midiReceivePitchBend, &C::pitchBend},
             {midiReceiveHoldPedal, &C::holdPedal},
             {midiReceivePan, &C::pan},
             {midiSendSysex, &C::sysexSend}}};
}

void uiSettings::updateValues()
{
    const k1lib::EngineConfig config = m_editor.getPlugin().getConfig();
    show(midiReceiveChannel, config.omni != 0 ? uint32_t(kOmniEntry) : config.receiveChannel);
    show(midiReceiveProgramChange, config.programChange);
    for (const auto& [menu, field] : toggles())
        show(menu, config.*field != 0 ? 1 : 0);
    show(audioOutputMode, config.audioOutputMode);
}

void uiSettings::valueChanged(CControl* control)
{
    auto* menu = dynamic_cast<COptionMenu*>(control);
    if (!menu)
        return;
    k1lib::Plugin& plugin = m_editor.getPlugin();
    const k1lib::EngineConfig old = plugin.getConfig();
    k1lib::EngineConfig config = old;
    const int32_t index = menu->getCurrentIndex(false);
    if (index < 0)
        return;

    if (menu == midiReceiveChannel)
    {
        // Omni keeps the channel, for when omni is turned off again.
        config.omni = index == kOmniEntry ? 1 : 0;
        if (index != kOmniEntry)
            config.receiveChannel = uint32_t(index);
    }
    else if (menu == midiReceiveProgramChange)
        config.programChange = uint32_t(index);
    else if (menu == audioOutputMode)
        config.audioOutputMode = uint32_t(index);
    else
    {
        const auto toggle = toggles();
        const auto it = std::find_if(toggle.begin(), toggle.end(), [&](const auto& t) { return t.first == menu; });
        if (it == toggle.end())
            return;
        config.*(it->second) = index >= 1 ? 1 : 0;
    }
    if (!(config == old))
        plugin.setConfig(config);
}
