// Automation values <-> preset fields. Each parameter names one field and
// one of five ways of counting it; reading and writing share that one map.

#include "patch/parameterConverter.h"

#include <algorithm>
#include <type_traits>

#include "patch/log.h"
#include "patch/parameter.h"

namespace k1lib
{
namespace
{
enum class Form
{
    Name,    // a character code; read only
    Volume,  // stored 0..99, counted 1..100
    Centred, // stored 0..100, counted -50..50
    Plain,   // the same number
    Flag,    // stored as bool, counted 0/1
};

constexpr int kVolumeOffset = 1;
constexpr int kCentre = 50;
constexpr char kBlank = ' ';
constexpr int kLowestNameCharacter = 32;
constexpr int kHighestNameCharacter = 127;

// Calls visit(field, form) for the field of per-source field number `field`
// (1-19; the mute flags of field 0 live in the single itself).
template <typename Source, typename Visit>
void visitSourceField(Source& s, uint32_t field, Visit&& visit)
{
    switch (field)
    {
    case 1: visit(s.fine, Form::Centred); break;
    case 2: visit(s.coarse, Form::Plain); break;
    case 3: visit(s.wave, Form::Plain); break;
    case 4: visit(s.keyTrack, Form::Flag); break;
    case 5: visit(s.vibABend, Form::Flag); break;
    case 6: visit(s.pressureToFreq, Form::Flag); break;
    case 7: visit(s.velCurve, Form::Plain); break;
    case 8: visit(s.envLevel, Form::Plain); break;
    case 9: visit(s.envDelay, Form::Plain); break;
    case 10: visit(s.envAttack, Form::Plain); break;
    case 11: visit(s.envDecay, Form::Plain); break;
    case 12: visit(s.envSustain, Form::Plain); break;
    case 13: visit(s.envRelease, Form::Plain); break;
    case 14: visit(s.levelModVel, Form::Centred); break;
    case 15: visit(s.levelModPressure, Form::Centred); break;
    case 16: visit(s.levelModKeyScale, Form::Centred); break;
    case 17: visit(s.timeModVel, Form::Centred); break;
    case 18: visit(s.timeModKeyScale, Form::Centred); break;
    default: visit(s.freqKeyScaleToFreq, Form::Centred); break;
    }
}

// Calls visit(field, form) for single parameter p; false when p is not one.
template <typename Single, typename Visit>
bool visitSingleField(Single& preset, uint32_t p, Visit&& visit)
{
    if (p <= Param_Name10)
    {
        visit(preset.name[p - Param_Name01], Form::Name);
        return true;
    }
    switch (p)
    {
    case Param_Volume: visit(preset.volume, Form::Volume); return true;
    case Param_PolyMode: visit(preset.polyMode, Form::Plain); return true;
    case Param_Source2or4: visit(preset.source2or4, Form::Plain); return true;
    case Param_AmpModS1S2: visit(preset.ampModS1S2, Form::Plain); return true;
    case Param_AmpModS3S4: visit(preset.ampModS3S4, Form::Plain); return true;
    case Param_PressureToFreq: visit(preset.pressureToFreq, Form::Centred); return true;
    case Param_VibratoDepth: visit(preset.vibratoDepth, Form::Centred); return true;
    case Param_PressureToVibrato: visit(preset.pressureToVibrato, Form::Centred); return true;
    case Param_PitchBendDepth: visit(preset.pitchBendDepth, Form::Plain); return true;
    case Param_LfoSpeed: visit(preset.lfoSpeed, Form::Plain); return true;
    case Param_LfoShape: visit(preset.lfoShape, Form::Plain); return true;
    case Param_KeyScaleCurve: visit(preset.keyScaleCurve, Form::Plain); return true;
    case Param_VibWheelMode: visit(preset.vibWheelMode, Form::Plain); return true;
    case Param_AutoBendDepth: visit(preset.autoBendDepth, Form::Centred); return true;
    case Param_AutoBendTime: visit(preset.autoBendTime, Form::Plain); return true;
    case Param_VelToDepth: visit(preset.velToDepth, Form::Centred); return true;
    case Param_AutoBendKeyScaleToTime: visit(preset.autoBendKeyScaleToTime, Form::Centred); return true;
    default: break;
    }
    if (!isSourceParam(p))
        return false;
    const uint32_t source = getParamSource(p);
    const uint32_t field = getSourceField(p);
    if (field == 0)
        visit(preset.mute[source], Form::Flag);
    else
        visitSourceField(preset.sources[source], field, visit);
    return true;
}

// Calls visit(field, form) for multi parameter p; false when p is not one.
template <typename Multi, typename Visit>
bool visitMultiField(Multi& multi, uint32_t p, Visit&& visit)
{
    if (p >= Param_MultiName01 && p <= Param_MultiName10)
    {
        visit(multi.name[p - Param_MultiName01], Form::Name);
        return true;
    }
    if (p == Param_MultiVolume)
    {
        visit(multi.volume, Form::Volume);
        return true;
    }
    if (!isSectionParam(p))
        return false;
    auto& section = multi.sections[getParamSection(p)];
    switch (getSectionField(p))
    {
    case 0: visit(section.single, Form::Plain); break;
    case 1: visit(section.zoneLow, Form::Plain); break;
    case 2: visit(section.zoneHigh, Form::Plain); break;
    case 3: visit(section.poly, Form::Plain); break;
    case 4: visit(section.output, Form::Plain); break;
    case 5: visit(section.midiMode, Form::Plain); break;
    case 6: visit(section.channel, Form::Plain); break;
    case 7: visit(section.velocitySwitch, Form::Plain); break;
    case 8: visit(section.transpose, Form::Plain); break;
    case 9: visit(section.tune, Form::Plain); break;
    default: visit(section.level, Form::Plain); break;
    }
    return true;
}

// Parameter value of a stored field.
template <typename Field>
int readField(const Field& field, Form form)
{
    switch (form)
    {
    case Form::Name:
    {
        // A name ends at its first zero; every position past it, and any
        // code a name cannot show, counts as a blank so that the value
        // stays inside the parameter's range.
        const int code = static_cast<signed char>(field);
        return code >= kLowestNameCharacter && code <= kHighestNameCharacter ? code : kBlank;
    }
    case Form::Volume: return static_cast<int>(field) + kVolumeOffset;
    case Form::Centred: return static_cast<int>(field) - kCentre;
    case Form::Flag: return field ? 1 : 0;
    case Form::Plain: break;
    }
    return static_cast<int>(field);
}

// Stores parameter value `value` (already within the parameter's range).
template <typename Field>
void writeField(Field& field, Form form, int value)
{
    switch (form)
    {
    case Form::Name: return; // names are edited as a whole, never by automation
    case Form::Volume: value -= kVolumeOffset; break;
    case Form::Centred: value += kCentre; break;
    case Form::Flag: value = value != 0 ? 1 : 0; break;
    case Form::Plain: break;
    }
    field = static_cast<Field>(value);
}

// Automation may carry anything an int holds; fields only hold their range.
int clampToParam(EParam p, int value)
{
    const CParam& param = g_params[p];
    return std::clamp(value, static_cast<int>(param.min), static_cast<int>(param.max));
}
} // namespace

bool ParameterConverter::toSingle(SinglePreset& preset, EParam p, int value)
{
    const bool known = visitSingleField(preset, p, [&](auto& field, Form form) {
        writeField(field, form, clampToParam(p, value));
    });
    if (!known)
    {
        K1_LOG("ERROR: Unknown parameter " << p << " with value " << value);
        return false;
    }
    return true;
}

bool ParameterConverter::toMulti(MultiPreset& multi, EParam p, int value)
{
    return visitMultiField(multi, p, [&](auto& field, Form form) {
        writeField(field, form, clampToParam(p, value));
    });
}

bool ParameterConverter::getValue(int& value, EParam p, const SinglePreset& preset)
{
    const bool known = visitSingleField(preset, p, [&](const auto& field, Form form) {
        value = readField(field, form);
    });
    if (!known)
    {
        K1_LOG("ERROR: Unknown parameter " << p);
        return false;
    }
    return true;
}

bool ParameterConverter::getValue(int& value, EParam p, const MultiPreset& multi)
{
    return visitMultiField(multi, p, [&](const auto& field, Form form) {
        value = readField(field, form);
    });
}
} // namespace k1lib
