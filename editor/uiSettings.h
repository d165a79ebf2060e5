#pragma once

// The system page ("mode_edit_system"): twelve option menus over the
// engine's configuration record (receive channel or omni, which MIDI
// messages are received, whether sysex is sent, and the audio outputs). A
// choice changes one field of a fresh copy of the record and hands the
// record back only when that changed it; the page is redrawn from the record
// on every configuration change, wherever it came from. UI thread only.

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "editor/controlHelpers.h"
#include "gui/vstgui.h"
#include "patch/instrumentTypes.h"

class K1Editor;

class uiSettings : public VSTGUI::IControlListener
{
public:
    uiSettings(K1Editor& editor, VSTGUI::CViewContainer* page);
    uiSettings(const uiSettings&) = delete;
    uiSettings& operator=(const uiSettings&) = delete;

    // Shows the facade's record in every menu.
    void updateValues();
    void valueChanged(VSTGUI::CControl* control) override;

private:
    // The menu of that name on the page, with this object as its listener.
    VSTGUI::COptionMenu* initOptionMenu(const std::string& name);
    // The same, filled with "Off" and "On".
    VSTGUI::COptionMenu* initToggle(const std::string& name);
    std::array<std::pair<VSTGUI::COptionMenu*, uint32_t k1lib::EngineConfig::*>, 9> toggles() const;

    VSTGUI::COptionMenu* midiReceiveChannel = nullptr;
    VSTGUI::COptionMenu* midiSendSysex = nullptr;
    VSTGUI::COptionMenu* midiReceiveProgramChange = nullptr;
    VSTGUI::COptionMenu* midiReceiveModWheel = nullptr;
    VSTGUI::COptionMenu* midiReceiveVelocity = nullptr;
    VSTGUI::COptionMenu* midiReceivePressure = nullptr;
    VSTGUI::COptionMenu* midiReceiveVolume = nullptr;
    VSTGUI::COptionMenu* midiReceiveSysEx = nullptr;
    VSTGUI::COptionMenu* midiReceivePitchBend = nullptr;
    VSTGUI::COptionMenu* midiReceiveHoldPedal = nullptr;
    VSTGUI::COptionMenu* midiReceivePan = nullptr;
    VSTGUI::COptionMenu* audioOutputMode = nullptr;
    K1Editor& m_editor;
    ControlHelpers::ViewMap m_views;
};
