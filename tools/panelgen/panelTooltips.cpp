// What each control does, in a line, shown when the pointer rests on it.

#include <map>

#include "tools/panelgen/panelLayout.h"

namespace panelgen
{
namespace
{
const std::map<std::string, std::string>& tooltips()
{
    static const std::map<std::string, std::string> t = {
        // top bar
        {"btModeSingle", "Play singles: one sound across the keyboard"},
        {"btModeMulti", "Play multis: up to eight singles split or layered"},
        {"btEdit", "Edit the current single or multi"},
        {"btSystem", "MIDI and audio settings"},
        {"clickableLogo", "The Darvello website"},
        {"btDonate", "Support this project"},
        {"LCDLight", "Click for the firmware version"},
        {"resizeHandle", "Drag to make the window larger or smaller"},
        // single edit page
        {"btEditSourceA", "Edit source 1"},
        {"btEditSourceB", "Edit source 2"},
        {"btEditSourceC", "Edit source 3"},
        {"btEditSourceD", "Edit source 4"},
        {"btEditCommon", "Edit what the sources share: name, voice, LFO, vibrato and bends"},
        {"Param_SourceS1Mute", "Mute source 1"},
        {"Param_SourceS2Mute", "Mute source 2"},
        {"Param_SourceS3Mute", "Mute source 3"},
        {"Param_SourceS4Mute", "Mute source 4"},
        {"throttle", "Blend sources 1 and 2 (up and down) and 3 and 4 (left and right); right-click to centre"},
        {"Param_SourceS1Wave", "The waveform of this source"},
        {"btWaveDec", "Previous waveform"},
        {"btWaveInc", "Next waveform"},
        {"Param_SourceS1Coarse", "Transposition in semitones, or the key played when key track is off"},
        {"btCoarseDec", "One key lower"},
        {"btCoarseInc", "One key higher"},
        {"Param_SourceS1Fine", "Fine tuning"},
        {"Param_SourceS1FreqKeyScaleToFreq", "How much the pitch changes across the keyboard"},
        {"Param_SourceS1KeyTrack", "On: the pitch follows the keys. Off: the source plays one fixed key"},
        {"Param_SourceS1VibABend", "Vibrato and auto bend reach this source"},
        {"Param_SourceS1PressureToFreq", "Aftertouch bends this source's pitch"},
        {"Param_SourceS1EnvLevel", "The level of this source"},
        {"Param_SourceS1EnvDelay", "Time before the envelope starts"},
        {"Param_SourceS1EnvAttack", "Time to rise to full level"},
        {"Param_SourceS1EnvDecay", "Time to fall to the sustain level"},
        {"Param_SourceS1EnvSustain", "Level held while the key is down"},
        {"Param_SourceS1EnvRelease", "Time to fade out after the key is released"},
        {"Param_SourceS1VelCurve", "How velocity maps to level (curves 1 to 8)"},
        {"Param_SourceS1LevelModVel", "Velocity changes the level"},
        {"Param_SourceS1LevelModPressure", "Aftertouch changes the level"},
        {"Param_SourceS1LevelModKeyScale", "The key's position changes the level"},
        {"Param_SourceS1TimeModVel", "Velocity changes the envelope times"},
        {"Param_SourceS1TimeModKeyScale", "The key's position changes the envelope times"},
        {"editSingleName", "The single's name (up to 10 characters)"},
        {"Param_Volume", "The single's volume"},
        {"Param_PolyMode", "Poly 1, Poly 2 or Solo (one note at a time)"},
        {"Param_Source2or4", "Two or four sources per voice"},
        {"Param_KeyScaleCurve", "The curve of key scaling across the keyboard"},
        {"Param_AmpModS1S2", "Amplitude modulation between sources 1 and 2"},
        {"Param_AmpModS3S4", "Amplitude modulation between sources 3 and 4"},
        {"Param_LfoShape", "The LFO's waveform"},
        {"Param_LfoSpeed", "The LFO's speed"},
        {"Param_VibratoDepth", "Vibrato depth"},
        {"Param_PressureToVibrato", "Aftertouch changes the vibrato depth"},
        {"Param_VibWheelMode", "What the mod wheel changes: vibrato depth or speed"},
        {"Param_PressureToFreq", "Aftertouch bends the pitch"},
        {"Param_PitchBendDepth", "Pitch-bend range in semitones"},
        {"Param_AutoBendDepth", "How far the pitch bends into each note"},
        {"Param_AutoBendTime", "How long the bend into each note takes"},
        {"Param_VelToDepth", "Velocity changes the auto bend's depth"},
        {"Param_AutoBendKeyScaleToTime", "The key's position changes the auto bend's time"},
        // play page
        {"bankSelect", "Choose a bank of presets"},
        {"searchSingle", "Type part of a name to list only the presets that have it"},
        {"btBankDec", "Previous bank"},
        {"btBankInc", "Next bank"},
        {"btBankReset", "Restore the factory presets of this bank"},
        {"btBankImport", "Import presets from a .syx or .mid file, from this page on"},
        {"btBankExport", "Export the presets of this page to a .syx file"},
        {"btPageDec", "Previous page"},
        {"btPageInc", "Next page"},
        {"btPageReset", "Restore the factory presets of this page"},
        {"btSingleDec", "Previous preset"},
        {"btSingleInc", "Next preset"},
        {"btSingleReset", "Restore the current preset's factory sound"},
        {"btSingleImport", "Import one preset from a .syx or .mid file into the current slot"},
        {"btSingleExport", "Export the current preset to a .syx file"},
        // multi page
        {"editMultiName", "The multi's name (up to 10 characters)"},
        {"Param_MultiVolume", "The multi's volume"},
        {"arrowLeft", "Show sections 1 to 4"},
        {"arrowRight", "Show sections 5 to 8"},
        {"multiSectionSingle", "The single this section plays"},
        {"multiSectionZoneLow", "The lowest key the section plays"},
        {"multiSectionZoneHigh", "The highest key the section plays"},
        {"multiSectionChannel", "The MIDI channel the section listens to"},
        {"multiSectionMode", "Whether the section plays from the keys, from MIDI, or both"},
        {"multiSectionPoly", "Voices kept for this section (VR: as many as it needs)"},
        {"multiSectionVelocity", "Play at every velocity, or only soft or only loud notes"},
        {"multiSectionOutput", "Send the section right, to both sides, or left"},
        {"multiSectionLevel", "The section's level"},
        {"multiSectionTranspose", "Transposition in semitones"},
        {"multiSectionTune", "Fine tuning"},
        // system page
        {"midiReceiveChannel", "The MIDI channel the instrument listens to, or all (Omni)"},
        {"midiReceiveProgramChange", "How MIDI program changes are taken: off, Norm or Sect"},
        {"midiReceiveModWheel", "React to the mod wheel"},
        {"midiReceiveVelocity", "React to velocity"},
        {"midiReceivePressure", "React to aftertouch"},
        {"midiReceiveVolume", "React to MIDI volume"},
        {"midiReceiveSysEx", "Accept K1 system exclusive: dumps, requests and parameter changes"},
        {"midiReceivePitchBend", "React to pitch bend"},
        {"midiReceiveHoldPedal", "React to the hold pedal"},
        {"midiReceivePan", "React to MIDI pan"},
        {"midiSendSysex", "Send edits as K1 parameter changes"},
        {"audioOutputMode", "Two outputs (stereo) or eight"},
    };
    return t;
}

void walk(View& v)
{
    std::string name;
    for (const auto& [key, value] : v.attrs)
        if (key == "custom-view-name")
            name = value;
    // Controls and the views that take clicks; a knob's readout shares its name but is no control.
    const bool browserLabel = name.size() == 8 && name.compare(0, 6, "single") == 0;
    if (!name.empty() && (v.cls != "CTextLabel" || browserLabel))
    {
        auto it = tooltips().find(name);
        if (it != tooltips().end())
            v.set("tooltip", it->second);
        else if (browserLabel)
            v.set("tooltip", "Click to play this preset; right-click to copy, paste or send it to a K1");
    }
    for (View& child : v.children)
        walk(child);
}
} // namespace

void addTooltips(View& root)
{
    walk(root);
}
} // namespace panelgen
