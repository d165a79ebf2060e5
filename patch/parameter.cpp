#include "patch/parameter.h"

#include <cstdio>
#include <iterator>
#include <utility>

namespace k1lib
{
namespace
{
struct Row
{
    const char* idPart; // the identifier after "Param_" (families: after the number)
    const char* category;
    const char* name;
    uint32_t unit;
    float min;
    float max;
    float defaultValue;
};

// Parameters 10-26: volume and the common fields of a single.
constexpr Row kCommonRows[] = {
    {"Volume", "Common", "Volume", Unit_dB, 1, 100, 100},
    {"PolyMode", "Cmn", "Poly Mode", Unit_Int, 0, 2, 0},
    {"Source2or4", "Cmn", "Sources 2/4", Unit_Int, 0, 1, 1},
    {"AmpModS1S2", "Cmn", "AM S1/S2", Unit_Int, 0, 2, 0},
    {"AmpModS3S4", "Cmn", "AM S3/S4", Unit_Int, 0, 2, 0},
    {"PressureToFreq", "Cmn", "Pres>Frq", Unit_Int, -50, 50, 0},
    {"VibratoDepth", "Cmn", "VibDph", Unit_Int, -50, 50, 0},
    {"PressureToVibrato", "Cmn", "Pres>Vib", Unit_Int, -50, 50, 0},
    {"PitchBendDepth", "Cmn", "PBRng", Unit_Int, 0, 12, 2},
    {"LfoSpeed", "Lfo", "Speed", Unit_Int, 0, 100, 0},
    {"LfoShape", "Lfo", "Shape", Unit_Int, 0, 3, 0},
    {"KeyScaleCurve", "Cmn", "KS Curve", Unit_Int, 0, 4, 0},
    {"VibWheelMode", "Cmn", "Wheel Mode", Unit_Int, 0, 1, 0},
    {"AutoBendDepth", "AB", "Depth", Unit_Int, -50, 50, 0},
    {"AutoBendTime", "AB", "Time", Unit_Int, 0, 100, 0},
    {"VelToDepth", "AB", "Vel>Dep", Unit_Int, -50, 50, 0},
    {"AutoBendKeyScaleToTime", "AB", "KS>Time", Unit_Int, -50, 50, 0},
};
static_assert(std::size(kCommonRows) == Param_SourceS1Mute - Param_Volume);

// Per-source fields in field order; the category is "S1".."S4".
constexpr Row kSourceRows[kSourceFieldCount] = {
    {"Mute", "", "Mute", Unit_Bool, 0, 1, 0},
    {"Fine", "", "Fine", Unit_Int, -50, 50, 0},
    {"Coarse", "", "Coarse", Unit_Int, 0, 127, 0},
    {"Wave", "", "Wave", Unit_Int, 0, 255, 0},
    {"KeyTrack", "", "KeyTrack", Unit_Bool, 0, 1, 1},
    {"VibABend", "", "Vib/ABend", Unit_Bool, 0, 1, 1},
    {"PressureToFreq", "", "Pres>Freq", Unit_Bool, 0, 1, 1},
    {"VelCurve", "", "VelCrve", Unit_Int, 0, 7, 0},
    {"EnvLevel", "", "EnLvl", Unit_Int, 0, 100, 100},
    {"EnvDelay", "", "EnDly", Unit_Int, 0, 100, 0},
    {"EnvAttack", "", "EnAtck", Unit_Int, 0, 100, 0},
    {"EnvDecay", "", "EnDcy", Unit_Int, 0, 100, 0},
    {"EnvSustain", "", "EnSust", Unit_Int, 0, 100, 100},
    {"EnvRelease", "", "EnRel", Unit_Int, 0, 100, 0},
    {"LevelModVel", "", "Vel>Lvl", Unit_Int, -50, 50, 0},
    {"LevelModPressure", "", "Pres>Lvl", Unit_Int, -50, 50, 0},
    {"LevelModKeyScale", "", "KS>Lvl", Unit_Int, -50, 50, 0},
    {"TimeModVel", "", "Vel>Tim", Unit_Int, -50, 50, 0},
    {"TimeModKeyScale", "", "TMod KS", Unit_Int, -50, 50, 0},
    {"FreqKeyScaleToFreq", "", "KS>Freq", Unit_Int, -50, 50, 0},
};

// Per-section fields in field order; the category is "MS1".."MS8".
constexpr Row kSectionRows[kSectionFieldCount] = {
    {"Single", "", "Single", Unit_Int, 0, 63, 0},
    {"ZoneLow", "", "ZnL", Unit_Int, 0, 127, 0},
    {"ZoneHigh", "", "ZnH", Unit_Int, 0, 127, 127},
    {"Poly", "", "Poly", Unit_Int, 0, 9, 0},
    {"Output", "", "Out", Unit_Int, 0, 2, 0},
    {"Mode", "", "Mode", Unit_Int, 0, 2, 0},
    {"Channel", "", "Ch", Unit_Int, 0, 15, 0},
    {"Velocity", "", "Vel", Unit_Int, 0, 2, 0},
    {"Transpose", "", "Trans", Unit_Int, -24, 24, 0},
    {"Tune", "", "Tune", Unit_Int, -50, 50, 0},
    {"Level", "", "Lvl", Unit_Int, 0, 100, 100},
};

constexpr Row kNameCharRow = {"", "", "", Unit_Char, 32, 127, 32};
constexpr Row kMixRows[] = {
    {"SourceMix12", "", "Mix 1/2", Unit_Float, -1, 1, 0},
    {"SourceMix34", "", "Mix 3/4", Unit_Float, -1, 1, 0},
};
constexpr Row kMultiVolumeRow = {"MultiVolume", "MVol", "Vol", Unit_dB, 1, 100, 100};
constexpr Row kModeRow = {"Mode", "Darvello", "Mode", Unit_Int, 0, 1, 0};

std::string twoDigits(uint32_t n)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02u", n);
    return text;
}

CParam makeParam(const Row& row, std::string category, std::string name, float step = 1.0f)
{
    CParam param;
    param.category = std::move(category);
    param.name = std::move(name);
    param.unit = row.unit;
    param.min = row.min;
    param.max = row.max;
    param.defaultValue = row.defaultValue;
    param.step = step;
    param.range = row.max - row.min;
    param.invRange = 1.0f / param.range;
    return param;
}

// Identifier and description of parameter p (0-208).
void describe(uint32_t p, std::string& id, CParam& param)
{
    if (p <= Param_Name10)
    {
        const std::string number = twoDigits(p - Param_Name01 + 1);
        id = "Param_Name" + number;
        param = makeParam(kNameCharRow, "Name", number);
    }
    else if (p < Param_SourceS1Mute)
    {
        const Row& row = kCommonRows[p - Param_Volume];
        id = std::string("Param_") + row.idPart;
        param = makeParam(row, row.category, row.name);
    }
    else if (isSourceParam(p))
    {
        const Row& row = kSourceRows[getSourceField(p)];
        const std::string source = std::to_string(getParamSource(p) + 1);
        id = "Param_SourceS" + source + row.idPart;
        param = makeParam(row, "S" + source, row.name);
    }
    else if (p <= Param_SourceMix34)
    {
        const Row& row = kMixRows[p - Param_SourceMix12];
        id = std::string("Param_") + row.idPart;
        param = makeParam(row, row.category, row.name, 0.0f);
    }
    else if (p <= Param_MultiName10)
    {
        const std::string number = twoDigits(p - Param_MultiName01 + 1);
        id = "Param_MultiName" + number;
        param = makeParam(kNameCharRow, "MName", number);
    }
    else if (p == Param_MultiVolume)
    {
        id = std::string("Param_") + kMultiVolumeRow.idPart;
        param = makeParam(kMultiVolumeRow, kMultiVolumeRow.category, kMultiVolumeRow.name);
    }
    else if (isSectionParam(p))
    {
        const Row& row = kSectionRows[getSectionField(p)];
        const std::string section = std::to_string(getParamSection(p) + 1);
        id = "Param_MultiS" + section + row.idPart;
        param = makeParam(row, "MS" + section, row.name);
    }
    else
    {
        id = std::string("Param_") + kModeRow.idPart;
        param = makeParam(kModeRow, kModeRow.category, kModeRow.name);
    }
}

std::array<std::string, kParamCount> buildEnumStrings()
{
    std::array<std::string, kParamCount> ids;
    CParam unused;
    for (uint32_t p = 0; p < kParamCount; ++p)
        describe(p, ids[p], unused);
    return ids;
}

std::array<CParam, kParamCount> buildParams()
{
    std::array<CParam, kParamCount> params;
    std::string unused;
    for (uint32_t p = 0; p < kParamCount; ++p)
        describe(p, unused, params[p]);
    return params;
}
} // namespace

// Defined in this order so that the identifiers exist before the descriptions.
const std::array<std::string, kParamCount> g_paramEnumStrings = buildEnumStrings();
const std::array<CParam, kParamCount> g_params = buildParams();
} // namespace k1lib
