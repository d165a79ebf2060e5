#include "tools/panelcheck/panelContract.h"

#include <cstdio>

#include "patch/parameter.h"

namespace panelcheck
{
namespace
{
using namespace k1lib;

std::string id(uint32_t p)
{
    return CParam::getEnumString(EParam(p));
}

std::vector<Requirement> build()
{
    std::vector<Requirement> r;
    auto add = [&](const std::string& name, Kind kind, const std::string& within = {}, bool direct = false) {
        r.push_back({name, kind, within, direct});
    };
    // Top bar, display, resize handle.
    for (const char* n : {"btModeSingle", "btModeMulti", "btEdit", "btSystem"})
        add(n, Kind::Kick);
    add("clickableLogo", Kind::View);
    add("btDonate", Kind::View);
    add("resizeHandle", Kind::View);
    add("LCDLight", Kind::View);
    add("LCDLines", Kind::Container);
    for (int line = 0; line < 2; ++line)
        for (int i = 0; i < 16; ++i)
        {
            char name[8];
            std::snprintf(name, sizeof name, "char%d%02d", line, i);
            add(name, Kind::View, "LCDLines", true);
        }
    add("fontExport", Kind::Container);
    add("BLOCK", Kind::View, "fontExport", true);

    // Pages.
    for (const char* page : {"mode_play", "mode_edit", "mode_edit_multi", "mode_edit_system"})
        add(page, Kind::Container);

    // Single edit page: source keys, mutes, source mix, the two halves.
    for (char s = 'A'; s <= 'D'; ++s)
        add(std::string("btEditSource") + s, Kind::Kick, "mode_edit");
    add("btEditCommon", Kind::Kick, "mode_edit");
    add("sourcesMute", Kind::Container, "mode_edit");
    for (uint32_t s = 0; s < 4; ++s)
        add(id(Param_SourceS1Mute + s), Kind::Kick, "sourcesMute");
    add("throttleArea", Kind::Container, "mode_edit");
    add("throttle", Kind::View, "throttleArea", true);
    add("edit_source", Kind::Container, "mode_edit");
    add("edit_common", Kind::Container, "mode_edit");

    for (uint32_t p : {Param_SourceS1Fine, Param_SourceS1Coarse, Param_SourceS1EnvLevel, Param_SourceS1EnvDelay,
                       Param_SourceS1EnvAttack, Param_SourceS1EnvDecay, Param_SourceS1EnvSustain,
                       Param_SourceS1EnvRelease, Param_SourceS1LevelModVel, Param_SourceS1LevelModPressure,
                       Param_SourceS1LevelModKeyScale, Param_SourceS1TimeModVel, Param_SourceS1TimeModKeyScale,
                       Param_SourceS1FreqKeyScaleToFreq})
        add(id(p), Kind::Knob, "edit_source");
    for (uint32_t p : {Param_SourceS1Coarse, Param_SourceS1Wave, Param_SourceS1VelCurve})
        add(id(p), Kind::Menu, "edit_source");
    for (uint32_t p : {Param_SourceS1KeyTrack, Param_SourceS1VibABend, Param_SourceS1PressureToFreq})
        add(id(p), Kind::Kick, "edit_source");
    for (const char* n : {"btWaveDec", "btWaveInc", "btCoarseDec", "btCoarseInc"})
        add(n, Kind::Kick, "edit_source");
    add("btCoarseDecText", Kind::View, "edit_source");
    add("btCoarseIncText", Kind::View, "edit_source");
    // The envelope view is made with this view's rectangle and added to edit_source itself.
    add("envdummy", Kind::View, "edit_source", true);

    add("editSingleName", Kind::TextEdit, "edit_common");
    for (uint32_t p : {Param_PolyMode, Param_Source2or4, Param_AmpModS1S2, Param_AmpModS3S4, Param_KeyScaleCurve,
                       Param_VibWheelMode, Param_LfoShape})
        add(id(p), Kind::Menu, "edit_common");
    for (uint32_t p : {Param_LfoSpeed, Param_AutoBendDepth, Param_AutoBendTime, Param_VelToDepth,
                       Param_AutoBendKeyScaleToTime, Param_VibratoDepth, Param_PressureToVibrato, Param_PressureToFreq,
                       Param_PitchBendDepth, Param_Volume})
        add(id(p), Kind::Knob, "edit_common");

    // Play page: the preset browser.
    for (char c = 'A'; c <= 'D'; ++c)
        for (char d = '0'; d <= '7'; ++d)
            add(std::string("single") + c + d, Kind::Label, "mode_play");
    for (const char* n : {"btBankDec", "btBankInc", "btBankReset", "btBankImport", "btBankExport", "btPageDec",
                          "btPageInc", "btPageReset", "btSingleDec", "btSingleInc", "btSingleReset", "btSingleImport",
                          "btSingleExport"})
    {
        add(n, Kind::Kick, "mode_play");
        add(std::string(n) + "Text", Kind::Label, "mode_play");
    }
    add("searchSingle", Kind::TextEdit, "mode_play");
    add("bankSelect", Kind::Menu, "mode_play");

    // Multi page: name, volume, arrows and four strips.
    add("editMultiName", Kind::TextEdit, "mode_edit_multi");
    add(id(Param_MultiVolume), Kind::Knob, "mode_edit_multi");
    add("arrowLeft", Kind::View, "mode_edit_multi");
    add("arrowRight", Kind::View, "mode_edit_multi");
    for (char c = 'A'; c <= 'D'; ++c)
    {
        const std::string strip = std::string("multiSection") + c;
        add(strip, Kind::Container, "mode_edit_multi");
        add("multiSectionName", Kind::Label, strip);
        for (const char* n : {"multiSectionSingle", "multiSectionChannel", "multiSectionMode", "multiSectionPoly",
                              "multiSectionVelocity", "multiSectionOutput", "multiSectionZoneLow",
                              "multiSectionZoneHigh"})
            add(n, Kind::Menu, strip);
        for (const char* n : {"multiSectionLevel", "multiSectionTranspose", "multiSectionTune"})
            add(n, Kind::Knob, strip);
    }

    // System page.
    for (const char* n : {"midiReceiveChannel", "midiSendSysex", "midiReceiveProgramChange", "midiReceiveModWheel",
                          "midiReceiveVelocity", "midiReceivePressure", "midiReceiveVolume", "midiReceiveSysEx",
                          "midiReceivePitchBend", "midiReceiveHoldPedal", "midiReceivePan"})
        add(n, Kind::Menu, "mode_edit_system");
    add("audio", Kind::Container, "mode_edit_system");
    add("audioOutputMode", Kind::Menu, "audio");
    return r;
}
} // namespace

const std::vector<Requirement>& requirements()
{
    static const std::vector<Requirement> list = build();
    return list;
}

const std::vector<std::string>& smallKeyNames()
{
    static const std::vector<std::string> names = {
        "btModeSingle", "btModeMulti", "btEdit", "btSystem", "btEditSourceA", "btEditSourceB", "btEditSourceC",
        "btEditSourceD", "btEditCommon", id(Param_SourceS1Mute), id(Param_SourceS2Mute), id(Param_SourceS3Mute),
        id(Param_SourceS4Mute)};
    return names;
}

const std::vector<std::string>& largeKeyNames()
{
    static const std::vector<std::string> names = {id(Param_SourceS1KeyTrack), id(Param_SourceS1VibABend),
                                                   id(Param_SourceS1PressureToFreq)};
    return names;
}

const std::vector<PageState>& pageStates()
{
    static const std::vector<PageState> states = {
        {"play", "mode_play", ""},
        {"edit-source", "mode_edit", "edit_source"},
        {"edit-common", "mode_edit", "edit_common"},
        {"multi", "mode_edit_multi", ""},
        {"system", "mode_edit_system", ""},
    };
    return states;
}

const char* kindName(Kind kind)
{
    switch (kind)
    {
    case Kind::Container: return "container";
    case Kind::Kick: return "kick button";
    case Kind::View: return "view";
    case Kind::TextEdit: return "text edit";
    case Kind::Label: return "text label";
    case Kind::Menu: return "option menu";
    case Kind::Knob: return "knob with value label";
    }
    return "?";
}
} // namespace panelcheck
