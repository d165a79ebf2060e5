// The parameter table against a copy written out here, and the display texts.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "patch/parameter.h"

using namespace k1lib;

namespace
{
struct GoldenRow
{
    EParam id;
    const char* idString;
    const char* category;
    const char* name;
    uint32_t unit;
    float min;
    float max;
    float defaultValue;
};

// Stringifying the enumerator checks the enumeration's names as well.
#define ROW(id, category, name, unit, min, max, def) {id, #id, category, name, unit, min, max, def}

const GoldenRow kGolden[] = {
    ROW(Param_Name01, "Name", "01", 17, 32, 127, 32),
    ROW(Param_Name02, "Name", "02", 17, 32, 127, 32),
    ROW(Param_Name03, "Name", "03", 17, 32, 127, 32),
    ROW(Param_Name04, "Name", "04", 17, 32, 127, 32),
    ROW(Param_Name05, "Name", "05", 17, 32, 127, 32),
    ROW(Param_Name06, "Name", "06", 17, 32, 127, 32),
    ROW(Param_Name07, "Name", "07", 17, 32, 127, 32),
    ROW(Param_Name08, "Name", "08", 17, 32, 127, 32),
    ROW(Param_Name09, "Name", "09", 17, 32, 127, 32),
    ROW(Param_Name10, "Name", "10", 17, 32, 127, 32),
    ROW(Param_Volume, "Common", "Volume", 1, 1, 100, 100),
    ROW(Param_PolyMode, "Cmn", "Poly Mode", 7, 0, 2, 0),
    ROW(Param_Source2or4, "Cmn", "Sources 2/4", 7, 0, 1, 1),
    ROW(Param_AmpModS1S2, "Cmn", "AM S1/S2", 7, 0, 2, 0),
    ROW(Param_AmpModS3S4, "Cmn", "AM S3/S4", 7, 0, 2, 0),
    ROW(Param_PressureToFreq, "Cmn", "Pres>Frq", 7, -50, 50, 0),
    ROW(Param_VibratoDepth, "Cmn", "VibDph", 7, -50, 50, 0),
    ROW(Param_PressureToVibrato, "Cmn", "Pres>Vib", 7, -50, 50, 0),
    ROW(Param_PitchBendDepth, "Cmn", "PBRng", 7, 0, 12, 2),
    ROW(Param_LfoSpeed, "Lfo", "Speed", 7, 0, 100, 0),
    ROW(Param_LfoShape, "Lfo", "Shape", 7, 0, 3, 0),
    ROW(Param_KeyScaleCurve, "Cmn", "KS Curve", 7, 0, 4, 0),
    ROW(Param_VibWheelMode, "Cmn", "Wheel Mode", 7, 0, 1, 0),
    ROW(Param_AutoBendDepth, "AB", "Depth", 7, -50, 50, 0),
    ROW(Param_AutoBendTime, "AB", "Time", 7, 0, 100, 0),
    ROW(Param_VelToDepth, "AB", "Vel>Dep", 7, -50, 50, 0),
    ROW(Param_AutoBendKeyScaleToTime, "AB", "KS>Time", 7, -50, 50, 0),
    ROW(Param_SourceS1Mute, "S1", "Mute", 4, 0, 1, 0),
    ROW(Param_SourceS2Mute, "S2", "Mute", 4, 0, 1, 0),
    ROW(Param_SourceS3Mute, "S3", "Mute", 4, 0, 1, 0),
    ROW(Param_SourceS4Mute, "S4", "Mute", 4, 0, 1, 0),
    ROW(Param_SourceS1Fine, "S1", "Fine", 7, -50, 50, 0),
    ROW(Param_SourceS2Fine, "S2", "Fine", 7, -50, 50, 0),
    ROW(Param_SourceS3Fine, "S3", "Fine", 7, -50, 50, 0),
    ROW(Param_SourceS4Fine, "S4", "Fine", 7, -50, 50, 0),
    ROW(Param_SourceS1Coarse, "S1", "Coarse", 7, 0, 127, 0),
    ROW(Param_SourceS2Coarse, "S2", "Coarse", 7, 0, 127, 0),
    ROW(Param_SourceS3Coarse, "S3", "Coarse", 7, 0, 127, 0),
    ROW(Param_SourceS4Coarse, "S4", "Coarse", 7, 0, 127, 0),
    ROW(Param_SourceS1Wave, "S1", "Wave", 7, 0, 255, 0),
    ROW(Param_SourceS2Wave, "S2", "Wave", 7, 0, 255, 0),
    ROW(Param_SourceS3Wave, "S3", "Wave", 7, 0, 255, 0),
    ROW(Param_SourceS4Wave, "S4", "Wave", 7, 0, 255, 0),
    ROW(Param_SourceS1KeyTrack, "S1", "KeyTrack", 4, 0, 1, 1),
    ROW(Param_SourceS2KeyTrack, "S2", "KeyTrack", 4, 0, 1, 1),
    ROW(Param_SourceS3KeyTrack, "S3", "KeyTrack", 4, 0, 1, 1),
    ROW(Param_SourceS4KeyTrack, "S4", "KeyTrack", 4, 0, 1, 1),
    ROW(Param_SourceS1VibABend, "S1", "Vib/ABend", 4, 0, 1, 1),
    ROW(Param_SourceS2VibABend, "S2", "Vib/ABend", 4, 0, 1, 1),
    ROW(Param_SourceS3VibABend, "S3", "Vib/ABend", 4, 0, 1, 1),
    ROW(Param_SourceS4VibABend, "S4", "Vib/ABend", 4, 0, 1, 1),
    ROW(Param_SourceS1PressureToFreq, "S1", "Pres>Freq", 4, 0, 1, 1),
    ROW(Param_SourceS2PressureToFreq, "S2", "Pres>Freq", 4, 0, 1, 1),
    ROW(Param_SourceS3PressureToFreq, "S3", "Pres>Freq", 4, 0, 1, 1),
    ROW(Param_SourceS4PressureToFreq, "S4", "Pres>Freq", 4, 0, 1, 1),
    ROW(Param_SourceS1VelCurve, "S1", "VelCrve", 7, 0, 7, 0),
    ROW(Param_SourceS2VelCurve, "S2", "VelCrve", 7, 0, 7, 0),
    ROW(Param_SourceS3VelCurve, "S3", "VelCrve", 7, 0, 7, 0),
    ROW(Param_SourceS4VelCurve, "S4", "VelCrve", 7, 0, 7, 0),
    ROW(Param_SourceS1EnvLevel, "S1", "EnLvl", 7, 0, 100, 100),
    ROW(Param_SourceS2EnvLevel, "S2", "EnLvl", 7, 0, 100, 100),
    ROW(Param_SourceS3EnvLevel, "S3", "EnLvl", 7, 0, 100, 100),
    ROW(Param_SourceS4EnvLevel, "S4", "EnLvl", 7, 0, 100, 100),
    ROW(Param_SourceS1EnvDelay, "S1", "EnDly", 7, 0, 100, 0),
    ROW(Param_SourceS2EnvDelay, "S2", "EnDly", 7, 0, 100, 0),
    ROW(Param_SourceS3EnvDelay, "S3", "EnDly", 7, 0, 100, 0),
    ROW(Param_SourceS4EnvDelay, "S4", "EnDly", 7, 0, 100, 0),
    ROW(Param_SourceS1EnvAttack, "S1", "EnAtck", 7, 0, 100, 0),
    ROW(Param_SourceS2EnvAttack, "S2", "EnAtck", 7, 0, 100, 0),
    ROW(Param_SourceS3EnvAttack, "S3", "EnAtck", 7, 0, 100, 0),
    ROW(Param_SourceS4EnvAttack, "S4", "EnAtck", 7, 0, 100, 0),
    ROW(Param_SourceS1EnvDecay, "S1", "EnDcy", 7, 0, 100, 0),
    ROW(Param_SourceS2EnvDecay, "S2", "EnDcy", 7, 0, 100, 0),
    ROW(Param_SourceS3EnvDecay, "S3", "EnDcy", 7, 0, 100, 0),
    ROW(Param_SourceS4EnvDecay, "S4", "EnDcy", 7, 0, 100, 0),
    ROW(Param_SourceS1EnvSustain, "S1", "EnSust", 7, 0, 100, 100),
    ROW(Param_SourceS2EnvSustain, "S2", "EnSust", 7, 0, 100, 100),
    ROW(Param_SourceS3EnvSustain, "S3", "EnSust", 7, 0, 100, 100),
    ROW(Param_SourceS4EnvSustain, "S4", "EnSust", 7, 0, 100, 100),
    ROW(Param_SourceS1EnvRelease, "S1", "EnRel", 7, 0, 100, 0),
    ROW(Param_SourceS2EnvRelease, "S2", "EnRel", 7, 0, 100, 0),
    ROW(Param_SourceS3EnvRelease, "S3", "EnRel", 7, 0, 100, 0),
    ROW(Param_SourceS4EnvRelease, "S4", "EnRel", 7, 0, 100, 0),
    ROW(Param_SourceS1LevelModVel, "S1", "Vel>Lvl", 7, -50, 50, 0),
    ROW(Param_SourceS2LevelModVel, "S2", "Vel>Lvl", 7, -50, 50, 0),
    ROW(Param_SourceS3LevelModVel, "S3", "Vel>Lvl", 7, -50, 50, 0),
    ROW(Param_SourceS4LevelModVel, "S4", "Vel>Lvl", 7, -50, 50, 0),
    ROW(Param_SourceS1LevelModPressure, "S1", "Pres>Lvl", 7, -50, 50, 0),
    ROW(Param_SourceS2LevelModPressure, "S2", "Pres>Lvl", 7, -50, 50, 0),
    ROW(Param_SourceS3LevelModPressure, "S3", "Pres>Lvl", 7, -50, 50, 0),
    ROW(Param_SourceS4LevelModPressure, "S4", "Pres>Lvl", 7, -50, 50, 0),
    ROW(Param_SourceS1LevelModKeyScale, "S1", "KS>Lvl", 7, -50, 50, 0),
    ROW(Param_SourceS2LevelModKeyScale, "S2", "KS>Lvl", 7, -50, 50, 0),
    ROW(Param_SourceS3LevelModKeyScale, "S3", "KS>Lvl", 7, -50, 50, 0),
    ROW(Param_SourceS4LevelModKeyScale, "S4", "KS>Lvl", 7, -50, 50, 0),
    ROW(Param_SourceS1TimeModVel, "S1", "Vel>Tim", 7, -50, 50, 0),
    ROW(Param_SourceS2TimeModVel, "S2", "Vel>Tim", 7, -50, 50, 0),
    ROW(Param_SourceS3TimeModVel, "S3", "Vel>Tim", 7, -50, 50, 0),
    ROW(Param_SourceS4TimeModVel, "S4", "Vel>Tim", 7, -50, 50, 0),
    ROW(Param_SourceS1TimeModKeyScale, "S1", "TMod KS", 7, -50, 50, 0),
    ROW(Param_SourceS2TimeModKeyScale, "S2", "TMod KS", 7, -50, 50, 0),
    ROW(Param_SourceS3TimeModKeyScale, "S3", "TMod KS", 7, -50, 50, 0),
    ROW(Param_SourceS4TimeModKeyScale, "S4", "TMod KS", 7, -50, 50, 0),
    ROW(Param_SourceS1FreqKeyScaleToFreq, "S1", "KS>Freq", 7, -50, 50, 0),
    ROW(Param_SourceS2FreqKeyScaleToFreq, "S2", "KS>Freq", 7, -50, 50, 0),
    ROW(Param_SourceS3FreqKeyScaleToFreq, "S3", "KS>Freq", 7, -50, 50, 0),
    ROW(Param_SourceS4FreqKeyScaleToFreq, "S4", "KS>Freq", 7, -50, 50, 0),
    ROW(Param_SourceMix12, "", "Mix 1/2", 0, -1, 1, 0),
    ROW(Param_SourceMix34, "", "Mix 3/4", 0, -1, 1, 0),
    ROW(Param_MultiName01, "MName", "01", 17, 32, 127, 32),
    ROW(Param_MultiName02, "MName", "02", 17, 32, 127, 32),
    ROW(Param_MultiName03, "MName", "03", 17, 32, 127, 32),
    ROW(Param_MultiName04, "MName", "04", 17, 32, 127, 32),
    ROW(Param_MultiName05, "MName", "05", 17, 32, 127, 32),
    ROW(Param_MultiName06, "MName", "06", 17, 32, 127, 32),
    ROW(Param_MultiName07, "MName", "07", 17, 32, 127, 32),
    ROW(Param_MultiName08, "MName", "08", 17, 32, 127, 32),
    ROW(Param_MultiName09, "MName", "09", 17, 32, 127, 32),
    ROW(Param_MultiName10, "MName", "10", 17, 32, 127, 32),
    ROW(Param_MultiVolume, "MVol", "Vol", 1, 1, 100, 100),
    ROW(Param_MultiS1Single, "MS1", "Single", 7, 0, 63, 0),
    ROW(Param_MultiS2Single, "MS2", "Single", 7, 0, 63, 0),
    ROW(Param_MultiS3Single, "MS3", "Single", 7, 0, 63, 0),
    ROW(Param_MultiS4Single, "MS4", "Single", 7, 0, 63, 0),
    ROW(Param_MultiS5Single, "MS5", "Single", 7, 0, 63, 0),
    ROW(Param_MultiS6Single, "MS6", "Single", 7, 0, 63, 0),
    ROW(Param_MultiS7Single, "MS7", "Single", 7, 0, 63, 0),
    ROW(Param_MultiS8Single, "MS8", "Single", 7, 0, 63, 0),
    ROW(Param_MultiS1ZoneLow, "MS1", "ZnL", 7, 0, 127, 0),
    ROW(Param_MultiS2ZoneLow, "MS2", "ZnL", 7, 0, 127, 0),
    ROW(Param_MultiS3ZoneLow, "MS3", "ZnL", 7, 0, 127, 0),
    ROW(Param_MultiS4ZoneLow, "MS4", "ZnL", 7, 0, 127, 0),
    ROW(Param_MultiS5ZoneLow, "MS5", "ZnL", 7, 0, 127, 0),
    ROW(Param_MultiS6ZoneLow, "MS6", "ZnL", 7, 0, 127, 0),
    ROW(Param_MultiS7ZoneLow, "MS7", "ZnL", 7, 0, 127, 0),
    ROW(Param_MultiS8ZoneLow, "MS8", "ZnL", 7, 0, 127, 0),
    ROW(Param_MultiS1ZoneHigh, "MS1", "ZnH", 7, 0, 127, 127),
    ROW(Param_MultiS2ZoneHigh, "MS2", "ZnH", 7, 0, 127, 127),
    ROW(Param_MultiS3ZoneHigh, "MS3", "ZnH", 7, 0, 127, 127),
    ROW(Param_MultiS4ZoneHigh, "MS4", "ZnH", 7, 0, 127, 127),
    ROW(Param_MultiS5ZoneHigh, "MS5", "ZnH", 7, 0, 127, 127),
    ROW(Param_MultiS6ZoneHigh, "MS6", "ZnH", 7, 0, 127, 127),
    ROW(Param_MultiS7ZoneHigh, "MS7", "ZnH", 7, 0, 127, 127),
    ROW(Param_MultiS8ZoneHigh, "MS8", "ZnH", 7, 0, 127, 127),
    ROW(Param_MultiS1Poly, "MS1", "Poly", 7, 0, 9, 0),
    ROW(Param_MultiS2Poly, "MS2", "Poly", 7, 0, 9, 0),
    ROW(Param_MultiS3Poly, "MS3", "Poly", 7, 0, 9, 0),
    ROW(Param_MultiS4Poly, "MS4", "Poly", 7, 0, 9, 0),
    ROW(Param_MultiS5Poly, "MS5", "Poly", 7, 0, 9, 0),
    ROW(Param_MultiS6Poly, "MS6", "Poly", 7, 0, 9, 0),
    ROW(Param_MultiS7Poly, "MS7", "Poly", 7, 0, 9, 0),
    ROW(Param_MultiS8Poly, "MS8", "Poly", 7, 0, 9, 0),
    ROW(Param_MultiS1Output, "MS1", "Out", 7, 0, 2, 0),
    ROW(Param_MultiS2Output, "MS2", "Out", 7, 0, 2, 0),
    ROW(Param_MultiS3Output, "MS3", "Out", 7, 0, 2, 0),
    ROW(Param_MultiS4Output, "MS4", "Out", 7, 0, 2, 0),
    ROW(Param_MultiS5Output, "MS5", "Out", 7, 0, 2, 0),
    ROW(Param_MultiS6Output, "MS6", "Out", 7, 0, 2, 0),
    ROW(Param_MultiS7Output, "MS7", "Out", 7, 0, 2, 0),
    ROW(Param_MultiS8Output, "MS8", "Out", 7, 0, 2, 0),
    ROW(Param_MultiS1Mode, "MS1", "Mode", 7, 0, 2, 0),
    ROW(Param_MultiS2Mode, "MS2", "Mode", 7, 0, 2, 0),
    ROW(Param_MultiS3Mode, "MS3", "Mode", 7, 0, 2, 0),
    ROW(Param_MultiS4Mode, "MS4", "Mode", 7, 0, 2, 0),
    ROW(Param_MultiS5Mode, "MS5", "Mode", 7, 0, 2, 0),
    ROW(Param_MultiS6Mode, "MS6", "Mode", 7, 0, 2, 0),
    ROW(Param_MultiS7Mode, "MS7", "Mode", 7, 0, 2, 0),
    ROW(Param_MultiS8Mode, "MS8", "Mode", 7, 0, 2, 0),
    ROW(Param_MultiS1Channel, "MS1", "Ch", 7, 0, 15, 0),
    ROW(Param_MultiS2Channel, "MS2", "Ch", 7, 0, 15, 0),
    ROW(Param_MultiS3Channel, "MS3", "Ch", 7, 0, 15, 0),
    ROW(Param_MultiS4Channel, "MS4", "Ch", 7, 0, 15, 0),
    ROW(Param_MultiS5Channel, "MS5", "Ch", 7, 0, 15, 0),
    ROW(Param_MultiS6Channel, "MS6", "Ch", 7, 0, 15, 0),
    ROW(Param_MultiS7Channel, "MS7", "Ch", 7, 0, 15, 0),
    ROW(Param_MultiS8Channel, "MS8", "Ch", 7, 0, 15, 0),
    ROW(Param_MultiS1Velocity, "MS1", "Vel", 7, 0, 2, 0),
    ROW(Param_MultiS2Velocity, "MS2", "Vel", 7, 0, 2, 0),
    ROW(Param_MultiS3Velocity, "MS3", "Vel", 7, 0, 2, 0),
    ROW(Param_MultiS4Velocity, "MS4", "Vel", 7, 0, 2, 0),
    ROW(Param_MultiS5Velocity, "MS5", "Vel", 7, 0, 2, 0),
    ROW(Param_MultiS6Velocity, "MS6", "Vel", 7, 0, 2, 0),
    ROW(Param_MultiS7Velocity, "MS7", "Vel", 7, 0, 2, 0),
    ROW(Param_MultiS8Velocity, "MS8", "Vel", 7, 0, 2, 0),
    ROW(Param_MultiS1Transpose, "MS1", "Trans", 7, -24, 24, 0),
    ROW(Param_MultiS2Transpose, "MS2", "Trans", 7, -24, 24, 0),
    ROW(Param_MultiS3Transpose, "MS3", "Trans", 7, -24, 24, 0),
    ROW(Param_MultiS4Transpose, "MS4", "Trans", 7, -24, 24, 0),
    ROW(Param_MultiS5Transpose, "MS5", "Trans", 7, -24, 24, 0),
    ROW(Param_MultiS6Transpose, "MS6", "Trans", 7, -24, 24, 0),
    ROW(Param_MultiS7Transpose, "MS7", "Trans", 7, -24, 24, 0),
    ROW(Param_MultiS8Transpose, "MS8", "Trans", 7, -24, 24, 0),
    ROW(Param_MultiS1Tune, "MS1", "Tune", 7, -50, 50, 0),
    ROW(Param_MultiS2Tune, "MS2", "Tune", 7, -50, 50, 0),
    ROW(Param_MultiS3Tune, "MS3", "Tune", 7, -50, 50, 0),
    ROW(Param_MultiS4Tune, "MS4", "Tune", 7, -50, 50, 0),
    ROW(Param_MultiS5Tune, "MS5", "Tune", 7, -50, 50, 0),
    ROW(Param_MultiS6Tune, "MS6", "Tune", 7, -50, 50, 0),
    ROW(Param_MultiS7Tune, "MS7", "Tune", 7, -50, 50, 0),
    ROW(Param_MultiS8Tune, "MS8", "Tune", 7, -50, 50, 0),
    ROW(Param_MultiS1Level, "MS1", "Lvl", 7, 0, 100, 100),
    ROW(Param_MultiS2Level, "MS2", "Lvl", 7, 0, 100, 100),
    ROW(Param_MultiS3Level, "MS3", "Lvl", 7, 0, 100, 100),
    ROW(Param_MultiS4Level, "MS4", "Lvl", 7, 0, 100, 100),
    ROW(Param_MultiS5Level, "MS5", "Lvl", 7, 0, 100, 100),
    ROW(Param_MultiS6Level, "MS6", "Lvl", 7, 0, 100, 100),
    ROW(Param_MultiS7Level, "MS7", "Lvl", 7, 0, 100, 100),
    ROW(Param_MultiS8Level, "MS8", "Lvl", 7, 0, 100, 100),
    ROW(Param_Mode, "Darvello", "Mode", 7, 0, 1, 0),
};
#undef ROW

std::string format(uint32_t p, float x)
{
    return g_params[p].formatValue(static_cast<EParam>(p), x);
}
} // namespace

TEST(ParameterTable, EveryRowMatchesTheWrittenOutTable)
{
    static_assert(std::size(kGolden) == kParamCount);
    for (uint32_t p = 0; p < kParamCount; ++p)
    {
        SCOPED_TRACE(p);
        const GoldenRow& row = kGolden[p];
        const CParam& param = g_params[p];
        EXPECT_EQ(row.id, p);
        EXPECT_EQ(g_paramEnumStrings[p], row.idString);
        EXPECT_EQ(CParam::getEnumString(row.id), row.idString);
        EXPECT_EQ(param.category, row.category);
        EXPECT_EQ(param.name, row.name);
        EXPECT_EQ(param.unit, row.unit);
        EXPECT_EQ(param.min, row.min);
        EXPECT_EQ(param.max, row.max);
        EXPECT_EQ(param.defaultValue, row.defaultValue);
        const bool isMix = p == Param_SourceMix12 || p == Param_SourceMix34;
        EXPECT_EQ(param.step, isMix ? 0.0f : 1.0f);
        EXPECT_EQ(param.range, row.max - row.min);
        EXPECT_EQ(param.invRange, 1.0f / (row.max - row.min));
        EXPECT_EQ(param.getUnitLabel(), p == Param_Volume || p == Param_MultiVolume ? "dB" : "");
    }
}

TEST(ParameterTable, NormalisedDefaults)
{
    auto normalisedDefault = [](uint32_t p) {
        const CParam& param = g_params[p];
        return (param.defaultValue - param.min) * param.invRange;
    };
    EXPECT_FLOAT_EQ(normalisedDefault(Param_Source2or4), 1.0f);
    EXPECT_FLOAT_EQ(normalisedDefault(Param_MultiS1ZoneHigh), 1.0f);
    EXPECT_FLOAT_EQ(normalisedDefault(Param_SourceS1Fine), 0.5f);
    EXPECT_FLOAT_EQ(normalisedDefault(Param_Name01), 0.0f);
    EXPECT_FLOAT_EQ(normalisedDefault(Param_SourceMix12), 0.5f);
    EXPECT_FLOAT_EQ(g_params[Param_Name01].invRange, 1.0f / 95);
    EXPECT_FLOAT_EQ(g_params[Param_Volume].invRange, 1.0f / 99);
}

TEST(ParameterTable, EnumStringOutsideTheTableIsEmpty)
{
    EXPECT_EQ(CParam::getEnumString(Param_Name01), "Param_Name01");
    EXPECT_EQ(CParam::getEnumString(Param_SourceMix12), "Param_SourceMix12");
    EXPECT_EQ(CParam::getEnumString(Param_Mode), "Param_Mode");
    EXPECT_EQ(CParam::getEnumString(Param_Count), "");
    EXPECT_EQ(CParam::getEnumString(static_cast<EParam>(0xFFFFFFFFu)), "");
}

TEST(ParameterFormat, NoteNames)
{
    EXPECT_EQ(format(35, 60), "C1");
    EXPECT_EQ(format(35, 0), "C-4");
    EXPECT_EQ(format(38, 127), "G6");
    EXPECT_EQ(format(128, 60), "C3");
    EXPECT_EQ(format(143, 127), "G8");
    EXPECT_EQ(format(130, 1), "C#-2");
}

TEST(ParameterFormat, SignedAndCountedIntegers)
{
    EXPECT_EQ(format(31, 5), "+5");
    EXPECT_EQ(format(31, 0), "0");
    EXPECT_EQ(format(31, -5), "-5");
    EXPECT_EQ(format(31, -0.5f), "-1"); // halves round away from zero
    EXPECT_EQ(format(18, 5), "5");
    EXPECT_EQ(format(184, 24), "+24");
    EXPECT_EQ(format(21, 0), "1");
    EXPECT_EQ(format(58, 7), "8");
    EXPECT_EQ(format(175, 15), "16");
    EXPECT_EQ(format(120, 0), "0");
}

TEST(ParameterFormat, OptionsModeCharactersAndFallbacks)
{
    EXPECT_EQ(format(208, 0.5f), "Single");
    EXPECT_EQ(format(208, 0.51f), "Multi");
    EXPECT_EQ(format(0, 65), "A");
    EXPECT_EQ(format(0, 64.6f), "A");
    EXPECT_EQ(format(10, 99.5f), "100");
    EXPECT_EQ(format(27, 1), "1.00");
    EXPECT_EQ(format(107, -0.5f), "-0.50");
    EXPECT_EQ(format(144, 0), "VR");
    EXPECT_EQ(format(144, 9), "8");
    EXPECT_EQ(format(12, 1), "4");
    EXPECT_EQ(format(11, 2), "Solo");
    EXPECT_EQ(format(14, 1), "S4>S3");
    EXPECT_EQ(format(20, 3), "Random");
    EXPECT_EQ(format(22, 1), "Speed");
    EXPECT_EQ(format(159, 2), "L");
    EXPECT_EQ(format(160, 1), "Midi");
    EXPECT_EQ(format(183, 2), "Loud");
    EXPECT_EQ(format(39, 0), "001: Sin 1st");
    EXPECT_EQ(format(42, 255), "256: Piano Noise Alt");
    EXPECT_EQ(format(39, 256), "");
}

// Every value a menu or the host can show has a text; nothing outside the
// range reads past a list or overflows a conversion.
TEST(ParameterFormat, SweepInsideAndOutsideEveryRange)
{
    const float inf = std::numeric_limits<float>::infinity();
    for (uint32_t p = 0; p < kParamCount; ++p)
    {
        SCOPED_TRACE(p);
        const CParam& param = g_params[p];
        for (int v = static_cast<int>(param.min); v <= static_cast<int>(param.max); ++v)
            EXPECT_NE(format(p, static_cast<float>(v)), "") << v;
        for (float x : {std::nanf(""), inf, -inf, param.min - 1000.0f, param.max + 1000.0f, param.max + 1.0f,
                        std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest()})
            EXPECT_EQ(format(p, x), "") << x;
    }
}
