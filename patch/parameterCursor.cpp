// Automation parameters <-> K1 parameter numbers, and received K1 parameter
// changes. A K1 number always carries a field's stored form; a received value
// is stored only when the field can hold it, so nothing outside a field's
// range reaches the engine's tables.

#include <cstdint>

#include "patch/parameterConverter.h"

namespace k1lib
{
namespace
{
using ParameterChange = Sysex::SysexResult::ParameterChange;

constexpr unsigned char kSourceCount = 4;

// What a received value may be for one field: lowest..highest, or any value
// collapsed to 0/1 when `collapse` is set.
struct Accepts
{
    int lowest;
    int highest;
    bool collapse;
};
constexpr Accepts kByte = {0, 255, false};
constexpr Accepts kFlag = {0, 255, true};
constexpr Accepts kCentred = {0, 100, false};
constexpr Accepts kLevel = {0, 100, false};
constexpr Accepts kVolume = {0, 99, false};
constexpr Accepts kNameCharacter = {32, 127, false};
constexpr Accepts upTo(int highest) { return {0, highest, false}; }

// Calls visit(field, accepts) for a per-source K1 number; false for others.
template <typename Source, typename Visit>
bool visitSourceNumber(Source& s, unsigned number, Visit&& visit)
{
    switch (number)
    {
    case Cursor_SourceCoarse:
    case Cursor_SourceCoarseAlt: visit(s.coarse, upTo(127)); return true;
    case Cursor_SourceFine: visit(s.fine, kCentred); return true;
    case Cursor_SourceKeyTrack: visit(s.keyTrack, kFlag); return true;
    case Cursor_SourceVibABend: visit(s.vibABend, kFlag); return true;
    case Cursor_SourcePressureToFreq: visit(s.pressureToFreq, kFlag); return true;
    case Cursor_SourceFreqKeyScaleToFreq: visit(s.freqKeyScaleToFreq, kCentred); return true;
    case Cursor_SourceWave: visit(s.wave, kByte); return true;
    case Cursor_SourceEnvLevel: visit(s.envLevel, kLevel); return true;
    case Cursor_SourceEnvDelay: visit(s.envDelay, kLevel); return true;
    case Cursor_SourceEnvAttack: visit(s.envAttack, kLevel); return true;
    case Cursor_SourceEnvDecay: visit(s.envDecay, kLevel); return true;
    case Cursor_SourceEnvSustain: visit(s.envSustain, kLevel); return true;
    case Cursor_SourceEnvRelease: visit(s.envRelease, kLevel); return true;
    case Cursor_SourceVelCurve: visit(s.velCurve, upTo(7)); return true;
    case Cursor_SourceLevelModVel: visit(s.levelModVel, kCentred); return true;
    case Cursor_SourceLevelModPressure: visit(s.levelModPressure, kCentred); return true;
    case Cursor_SourceLevelModKeyScale: visit(s.levelModKeyScale, kCentred); return true;
    case Cursor_SourceTimeModVel: visit(s.timeModVel, kCentred); return true;
    case Cursor_SourceTimeModKeyScale: visit(s.timeModKeyScale, kCentred); return true;
    default: return false;
    }
}

// Calls visit(field, accepts) for a K1 number of the single's common part;
// false for others.
template <typename Single, typename Visit>
bool visitCommonNumber(Single& preset, unsigned number, Visit&& visit)
{
    if (number >= Cursor_Name01 && number <= Cursor_Name10)
    {
        visit(preset.name[number - Cursor_Name01], kNameCharacter);
        return true;
    }
    switch (number)
    {
    case Cursor_Volume: visit(preset.volume, kVolume); return true;
    case Cursor_Source2or4: visit(preset.source2or4, kFlag); return true;
    case Cursor_VibratoDepth: visit(preset.vibratoDepth, kCentred); return true;
    case Cursor_LfoSpeed: visit(preset.lfoSpeed, kLevel); return true;
    case Cursor_LfoShape: visit(preset.lfoShape, upTo(3)); return true;
    case Cursor_PressureToVibrato: visit(preset.pressureToVibrato, kCentred); return true;
    case Cursor_VibWheelMode: visit(preset.vibWheelMode, upTo(1)); return true;
    case Cursor_AutoBendDepth: visit(preset.autoBendDepth, kCentred); return true;
    case Cursor_AutoBendTime: visit(preset.autoBendTime, kLevel); return true;
    case Cursor_VelToDepth: visit(preset.velToDepth, kCentred); return true;
    case Cursor_AutoBendKeyScaleToTime: visit(preset.autoBendKeyScaleToTime, kCentred); return true;
    case Cursor_PressureToFreq: visit(preset.pressureToFreq, kCentred); return true;
    case Cursor_PitchBendDepth: visit(preset.pitchBendDepth, upTo(12)); return true;
    case Cursor_KeyScaleCurve: visit(preset.keyScaleCurve, upTo(4)); return true;
    case Cursor_PolyMode: visit(preset.polyMode, upTo(2)); return true;
    case Cursor_AmpModS1S2: visit(preset.ampModS1S2, upTo(2)); return true;
    case Cursor_AmpModS3S4: visit(preset.ampModS3S4, upTo(2)); return true;
    default: return false;
    }
}

bool isSourceNumber(unsigned number)
{
    return (number >= Cursor_SourceCoarse && number <= Cursor_SourceWave) ||
           (number >= Cursor_SourceEnvLevel && number <= Cursor_SourceTimeModKeyScale);
}

// Stores a received value when the field accepts it; false otherwise.
template <typename Field>
bool store(Field& field, Accepts accepts, int value)
{
    if (accepts.collapse)
        value = value != 0 ? 1 : 0;
    else if (value < accepts.lowest || value > accepts.highest)
        return false;
    field = static_cast<Field>(value);
    return true;
}

template <typename Field>
unsigned char lowByte(const Field& field)
{
    return static_cast<unsigned char>(field);
}

// K1 numbers of the single parameters 10-26.
constexpr ParameterCursor kCommonCursors[] = {
    Cursor_Volume, Cursor_PolyMode, Cursor_Source2or4, Cursor_AmpModS1S2, Cursor_AmpModS3S4,
    Cursor_PressureToFreq, Cursor_VibratoDepth, Cursor_PressureToVibrato, Cursor_PitchBendDepth,
    Cursor_LfoSpeed, Cursor_LfoShape, Cursor_KeyScaleCurve, Cursor_VibWheelMode, Cursor_AutoBendDepth,
    Cursor_AutoBendTime, Cursor_VelToDepth, Cursor_AutoBendKeyScaleToTime,
};
static_assert(sizeof kCommonCursors / sizeof kCommonCursors[0] == Param_SourceS1Mute - Param_Volume);

// K1 numbers of the twenty per-source fields; the mute flags have none.
constexpr ParameterCursor kSourceCursors[kSourceFieldCount] = {
    Cursor_None, Cursor_SourceFine, Cursor_SourceCoarse, Cursor_SourceWave, Cursor_SourceKeyTrack,
    Cursor_SourceVibABend, Cursor_SourcePressureToFreq, Cursor_SourceVelCurve, Cursor_SourceEnvLevel,
    Cursor_SourceEnvDelay, Cursor_SourceEnvAttack, Cursor_SourceEnvDecay, Cursor_SourceEnvSustain,
    Cursor_SourceEnvRelease, Cursor_SourceLevelModVel, Cursor_SourceLevelModPressure,
    Cursor_SourceLevelModKeyScale, Cursor_SourceTimeModVel, Cursor_SourceTimeModKeyScale,
    Cursor_SourceFreqKeyScaleToFreq,
};
} // namespace

bool toSingleSource(SingleSource& source, const ParameterChange& change)
{
    bool stored = false;
    visitSourceNumber(source, change.param, [&](auto& field, Accepts accepts) {
        stored = store(field, accepts, change.value);
    });
    return stored;
}

bool fromSingleSource(unsigned char& value, const SingleSource& source, ParameterCursor number)
{
    return visitSourceNumber(source, number, [&](const auto& field, Accepts) { value = lowByte(field); });
}

bool ParameterConverter::toSingle(SinglePreset& preset, const ParameterChange& change)
{
    if (isSourceNumber(change.param))
        return change.source < kSourceCount && toSingleSource(preset.sources[change.source], change);
    bool stored = false;
    visitCommonNumber(preset, change.param, [&](auto& field, Accepts accepts) {
        stored = store(field, accepts, change.value);
    });
    return stored;
}

bool ParameterConverter::fromSingle(unsigned char& value, const SinglePreset& preset, ParameterCursor number, unsigned char source)
{
    if (isSourceNumber(number))
        return source < kSourceCount && fromSingleSource(value, preset.sources[source], number);
    return visitCommonNumber(preset, number, [&](const auto& field, Accepts) { value = lowByte(field); });
}

ParameterCursor ParameterConverter::toCursor(unsigned char& source, EParam p)
{
    if (p <= Param_Name10)
        return static_cast<ParameterCursor>(Cursor_Name01 + (p - Param_Name01));
    if (p < Param_SourceS1Mute)
        return kCommonCursors[p - Param_Volume];
    if (!isSourceParam(p))
        return Cursor_None;
    source = static_cast<unsigned char>(getParamSource(p));
    return kSourceCursors[getSourceField(p)];
}
} // namespace k1lib
