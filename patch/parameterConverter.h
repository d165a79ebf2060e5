#pragma once

// Translation between the three forms of a patch value: the integer value of
// an automation parameter (its real value, rounded), the field of a preset
// record (the K1's stored form: volumes 0..99, centred fields 0..100 with 50
// as zero, flags as bool) and a K1 parameter number with an 8-bit value, as
// carried by K1 parameter-change messages (always the stored form).
// Stateless; no allocation except on the two logged error paths.

#include <cstdint>

#include "patch/parameterEnum.h"
#include "patch/presets.h"
#include "patch/sysex.h"

namespace k1lib
{
// The K1's own parameter numbers (the parameter byte of a parameter-change
// message). 0 means "no K1 number".
enum ParameterCursor : uint8_t
{
    Cursor_None = 0,
    Cursor_Volume = 3,
    Cursor_Name01 = 4, // 4-13: the ten name characters
    Cursor_Name10 = 13,
    Cursor_Source2or4 = 14,
    Cursor_VibratoDepth = 15,
    Cursor_LfoSpeed = 16,
    Cursor_LfoShape = 17,
    Cursor_PressureToVibrato = 18,
    Cursor_VibWheelMode = 19,
    Cursor_AutoBendDepth = 20,
    Cursor_AutoBendTime = 21,
    Cursor_VelToDepth = 22,
    Cursor_AutoBendKeyScaleToTime = 23,
    Cursor_PressureToFreq = 24,
    Cursor_PitchBendDepth = 25,
    Cursor_KeyScaleCurve = 26,
    Cursor_PolyMode = 27,
    // Per-source numbers: the source travels next to the number.
    Cursor_SourceCoarse = 28,
    Cursor_SourceCoarseAlt = 29, // a second number for the same field
    Cursor_SourceFine = 30,
    Cursor_SourceKeyTrack = 31,
    Cursor_SourceVibABend = 32,
    Cursor_SourcePressureToFreq = 33,
    Cursor_SourceFreqKeyScaleToFreq = 34,
    Cursor_SourceWave = 35,
    Cursor_AmpModS1S2 = 36,
    Cursor_AmpModS3S4 = 37,
    // 38-40 carry nothing.
    Cursor_SourceEnvLevel = 41,
    Cursor_SourceEnvDelay = 42,
    Cursor_SourceEnvAttack = 43,
    Cursor_SourceEnvDecay = 44,
    Cursor_SourceEnvSustain = 45,
    Cursor_SourceEnvRelease = 46,
    Cursor_SourceVelCurve = 47,
    Cursor_SourceLevelModVel = 48,
    Cursor_SourceLevelModPressure = 49,
    Cursor_SourceLevelModKeyScale = 50,
    Cursor_SourceTimeModVel = 51,
    Cursor_SourceTimeModKeyScale = 52,
};

class ParameterConverter
{
public:
    // Writes parameter value `value` of a single parameter (10-106) into the
    // preset, clamped to the parameter's range. Name characters (0-9) are
    // accepted and change nothing. Others: logged, false.
    static bool toSingle(SinglePreset& preset, EParam p, int value);
    // The same for multi parameters (119-207; 109-118 change nothing).
    // Others: false, not logged.
    static bool toMulti(MultiPreset& multi, EParam p, int value);

    // Reads the value of a single parameter (0-106). A name character past
    // the end of the name, or one outside 32..127, reads as a blank. Others:
    // logged, false, value untouched.
    static bool getValue(int& value, EParam p, const SinglePreset& preset);
    // The same for multi parameters (109-207); others false, not logged.
    static bool getValue(int& value, EParam p, const MultiPreset& multi);

    // Applies a change received from a K1. Refused (false, preset unchanged):
    // unknown numbers, a source above 3 for a per-source number, and values
    // the field cannot hold.
    static bool toSingle(SinglePreset& preset, const Sysex::SysexResult::ParameterChange& change);
    // The stored form of a K1 number's field, low 8 bits. Per-source numbers
    // read sources[source]. Unknown number or source above 3: false.
    static bool fromSingle(unsigned char& value, const SinglePreset& preset, ParameterCursor number, unsigned char source);

    // The K1 number of a single parameter, Cursor_None when it has none
    // (mute flags, everything outside 0-106). Per-source parameters also set
    // source to 0-3; others leave it as it was.
    static ParameterCursor toCursor(unsigned char& source, EParam p);
};

// The per-source halves of toSingle and fromSingle (numbers 28-35, 41-52).
bool toSingleSource(SingleSource& source, const Sysex::SysexResult::ParameterChange& change);
bool fromSingleSource(unsigned char& value, const SingleSource& source, ParameterCursor number);
} // namespace k1lib
