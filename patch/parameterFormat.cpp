// Display texts of parameter values: option names, note names, wave names
// and the unit fallbacks. Every list is indexed with the rounded value only
// after it has been checked against the parameter's range, so a value from a
// careless caller (NaN, infinity, far out of range) gives an empty text.

#include <cmath>
#include <cstdio>

#include "patch/parameter.h"
#include "patch/waveformNames.h"

namespace k1lib
{
namespace
{
constexpr const char* kPolyModes[] = {"Poly 1", "Poly 2", "Solo"};
constexpr const char* kSourceCounts[] = {"2", "4"};
constexpr const char* kAmpModS1S2[] = {"off", "S2>S1", "S1>S2"};
constexpr const char* kAmpModS3S4[] = {"off", "S4>S3", "S3>S4"};
constexpr const char* kLfoShapes[] = {"Tri", "Saw", "Square", "Random"};
constexpr const char* kWheelModes[] = {"Depth", "Speed"};
constexpr const char* kSectionPolys[] = {"VR", "off", "1", "2", "3", "4", "5", "6", "7", "8"};
constexpr const char* kSectionOutputs[] = {"R", "LR", "L"};
constexpr const char* kSectionModes[] = {"Keys", "Midi", "Both"};
constexpr const char* kVelocitySwitches[] = {"All", "Soft", "Loud"};
constexpr const char* kNoteNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

// Octave of key 0: source coarse counts from C-4, section zones from C-2.
constexpr int kCoarseOctaveOffset = 4;
constexpr int kZoneOctaveOffset = 2;

template <size_t N>
std::string pick(const char* const (&list)[N], int n)
{
    if (n < 0 || static_cast<size_t>(n) >= N)
        return {};
    return list[n];
}

std::string printInt(const char* format, int n)
{
    char text[16];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

std::string noteName(int n, int octaveOffset)
{
    if (n < 0)
        return {};
    char text[16];
    std::snprintf(text, sizeof text, "%s%d", kNoteNames[n % 12], n / 12 - octaveOffset);
    return text;
}

bool isIn(uint32_t p, EParam first, EParam last)
{
    return p >= first && p <= last;
}

// Parameters whose texts are their own (option names, note names, wave
// names, counts from 1) rather than their unit's.
bool hasOwnText(EParam p)
{
    return isIn(p, Param_PolyMode, Param_AmpModS3S4) || isIn(p, Param_LfoShape, Param_VibWheelMode) ||
           isIn(p, Param_SourceS1Coarse, Param_SourceS4Wave) ||
           isIn(p, Param_SourceS1VelCurve, Param_SourceS4VelCurve) ||
           isIn(p, Param_MultiS1ZoneLow, Param_MultiS8Velocity) || p == Param_Mode;
}

// Own text of parameter p for rounded value n (within the parameter's range).
std::string ownText(EParam p, int n, float x)
{
    switch (p)
    {
    case Param_PolyMode: return pick(kPolyModes, n);
    case Param_Source2or4: return pick(kSourceCounts, n);
    case Param_AmpModS1S2: return pick(kAmpModS1S2, n);
    case Param_AmpModS3S4: return pick(kAmpModS3S4, n);
    case Param_LfoShape: return pick(kLfoShapes, n);
    case Param_VibWheelMode: return pick(kWheelModes, n);
    case Param_KeyScaleCurve: return printInt("%d", n + 1);
    case Param_Mode: return x > 0.5f ? "Multi" : "Single";
    default: break;
    }
    if (isIn(p, Param_SourceS1VelCurve, Param_SourceS4VelCurve) || isIn(p, Param_MultiS1Channel, Param_MultiS8Channel))
        return printInt("%d", n + 1);
    if (isIn(p, Param_SourceS1Coarse, Param_SourceS4Coarse))
        return noteName(n, kCoarseOctaveOffset);
    if (isIn(p, Param_SourceS1Wave, Param_SourceS4Wave))
        return n >= 0 && n < kWaveformCount ? g_waveformNames[n] : std::string();
    if (isIn(p, Param_MultiS1ZoneLow, Param_MultiS8ZoneHigh))
        return noteName(n, kZoneOctaveOffset);
    if (isIn(p, Param_MultiS1Poly, Param_MultiS8Poly))
        return pick(kSectionPolys, n);
    if (isIn(p, Param_MultiS1Output, Param_MultiS8Output))
        return pick(kSectionOutputs, n);
    if (isIn(p, Param_MultiS1Mode, Param_MultiS8Mode))
        return pick(kSectionModes, n);
    return pick(kVelocitySwitches, n);
}
} // namespace

std::string CParam::formatValue(EParam p, float x) const
{
    // Everything below works on values within min..max (after rounding), so
    // no list is read outside and no conversion to int overflows.
    if (!std::isfinite(x) || !(x > min - 1.0f && x < max + 1.0f))
        return {};
    const int n = static_cast<int>(std::lround(x)); // halves away from zero
    const bool roundedInRange = n >= min && n <= max;
    const bool inRange = x >= min && x <= max;

    if (hasOwnText(p))
        return roundedInRange ? ownText(p, n, x) : std::string();

    switch (unit)
    {
    case Unit_dB:
        return roundedInRange ? printInt("%d", n) : std::string();
    case Unit_Percent:
        return inRange ? printInt("%d", static_cast<int>(x * 100.0f + 0.5f)) : std::string();
    case Unit_Int:
        if (!roundedInRange)
            return {};
        return printInt(n >= 1 && min == -max ? "+%d" : "%d", n);
    case Unit_Char:
    {
        const int code = static_cast<int>(x + 0.5f);
        if (code < min || code > max)
            return {};
        return std::string(1, static_cast<char>(code));
    }
    default:
    {
        if (!inRange)
            return {};
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", x);
        return text;
    }
    }
}

std::string CParam::getUnitLabel() const
{
    switch (unit)
    {
    case Unit_dB: return "dB";
    case Unit_Seconds: return "Sec";
    case Unit_Hz: return "Hz";
    case Unit_Percent: return "%%";
    default: return {};
    }
}

const std::string& CParam::getEnumString(EParam p)
{
    static const std::string noParameter;
    if (p >= kParamCount)
        return noParameter;
    return g_paramEnumStrings[p];
}
} // namespace k1lib
