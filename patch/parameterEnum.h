#pragma once

// The 209 automation parameters by number. One number is at once the host's
// parameter index, the parameter manager's slot and the key the editor binds
// its views by. Groups:
//   0-9      characters of the current single's name
//   10-26    single volume and the common fields of a single
//   27-106   twenty fields per source: 27 + 4 * field + source (source 0-3)
//   107-108  the two source-mix controls (kept in no preset)
//   109-118  characters of the current multi's name
//   119      multi volume
//   120-207  eleven fields per section: 120 + 8 * field + section (0-7)
//   208      play mode (0 single, 1 multi)
// Param_Count (209) stands for "no parameter".

#include <cstdint>

namespace k1lib
{
enum EParam : uint32_t
{
    Param_Name01 = 0,
    Param_Name02, // 1
    Param_Name03, // 2
    Param_Name04, // 3
    Param_Name05, // 4
    Param_Name06, // 5
    Param_Name07, // 6
    Param_Name08, // 7
    Param_Name09, // 8
    Param_Name10, // 9
    Param_Volume, // 10
    Param_PolyMode, // 11
    Param_Source2or4, // 12
    Param_AmpModS1S2, // 13
    Param_AmpModS3S4, // 14
    Param_PressureToFreq, // 15
    Param_VibratoDepth, // 16
    Param_PressureToVibrato, // 17
    Param_PitchBendDepth, // 18
    Param_LfoSpeed, // 19
    Param_LfoShape, // 20
    Param_KeyScaleCurve, // 21
    Param_VibWheelMode, // 22
    Param_AutoBendDepth, // 23
    Param_AutoBendTime, // 24
    Param_VelToDepth, // 25
    Param_AutoBendKeyScaleToTime, // 26
    Param_SourceS1Mute, // 27
    Param_SourceS2Mute, // 28
    Param_SourceS3Mute, // 29
    Param_SourceS4Mute, // 30
    Param_SourceS1Fine, // 31
    Param_SourceS2Fine, // 32
    Param_SourceS3Fine, // 33
    Param_SourceS4Fine, // 34
    Param_SourceS1Coarse, // 35
    Param_SourceS2Coarse, // 36
    Param_SourceS3Coarse, // 37
    Param_SourceS4Coarse, // 38
    Param_SourceS1Wave, // 39
    Param_SourceS2Wave, // 40
    Param_SourceS3Wave, // 41
    Param_SourceS4Wave, // 42
    Param_SourceS1KeyTrack, // 43
    Param_SourceS2KeyTrack, // 44
    Param_SourceS3KeyTrack, // 45
    Param_SourceS4KeyTrack, // 46
    Param_SourceS1VibABend, // 47
    Param_SourceS2VibABend, // 48
    Param_SourceS3VibABend, // 49
    Param_SourceS4VibABend, // 50
    Param_SourceS1PressureToFreq, // 51
    Param_SourceS2PressureToFreq, // 52
    Param_SourceS3PressureToFreq, // 53
    Param_SourceS4PressureToFreq, // 54
    Param_SourceS1VelCurve, // 55
    Param_SourceS2VelCurve, // 56
    Param_SourceS3VelCurve, // 57
    Param_SourceS4VelCurve, // 58
    Param_SourceS1EnvLevel, // 59
    Param_SourceS2EnvLevel, // 60
    Param_SourceS3EnvLevel, // 61
    Param_SourceS4EnvLevel, // 62
    Param_SourceS1EnvDelay, // 63
    Param_SourceS2EnvDelay, // 64
    Param_SourceS3EnvDelay, // 65
    Param_SourceS4EnvDelay, // 66
    Param_SourceS1EnvAttack, // 67
    Param_SourceS2EnvAttack, // 68
    Param_SourceS3EnvAttack, // 69
    Param_SourceS4EnvAttack, // 70
    Param_SourceS1EnvDecay, // 71
    Param_SourceS2EnvDecay, // 72
    Param_SourceS3EnvDecay, // 73
    Param_SourceS4EnvDecay, // 74
    Param_SourceS1EnvSustain, // 75
    Param_SourceS2EnvSustain, // 76
    Param_SourceS3EnvSustain, // 77
    Param_SourceS4EnvSustain, // 78
    Param_SourceS1EnvRelease, // 79
    Param_SourceS2EnvRelease, // 80
    Param_SourceS3EnvRelease, // 81
    Param_SourceS4EnvRelease, // 82
    Param_SourceS1LevelModVel, // 83
    Param_SourceS2LevelModVel, // 84
    Param_SourceS3LevelModVel, // 85
    Param_SourceS4LevelModVel, // 86
    Param_SourceS1LevelModPressure, // 87
    Param_SourceS2LevelModPressure, // 88
    Param_SourceS3LevelModPressure, // 89
    Param_SourceS4LevelModPressure, // 90
    Param_SourceS1LevelModKeyScale, // 91
    Param_SourceS2LevelModKeyScale, // 92
    Param_SourceS3LevelModKeyScale, // 93
    Param_SourceS4LevelModKeyScale, // 94
    Param_SourceS1TimeModVel, // 95
    Param_SourceS2TimeModVel, // 96
    Param_SourceS3TimeModVel, // 97
    Param_SourceS4TimeModVel, // 98
    Param_SourceS1TimeModKeyScale, // 99
    Param_SourceS2TimeModKeyScale, // 100
    Param_SourceS3TimeModKeyScale, // 101
    Param_SourceS4TimeModKeyScale, // 102
    Param_SourceS1FreqKeyScaleToFreq, // 103
    Param_SourceS2FreqKeyScaleToFreq, // 104
    Param_SourceS3FreqKeyScaleToFreq, // 105
    Param_SourceS4FreqKeyScaleToFreq, // 106
    Param_SourceMix12, // 107
    Param_SourceMix34, // 108
    Param_MultiName01, // 109
    Param_MultiName02, // 110
    Param_MultiName03, // 111
    Param_MultiName04, // 112
    Param_MultiName05, // 113
    Param_MultiName06, // 114
    Param_MultiName07, // 115
    Param_MultiName08, // 116
    Param_MultiName09, // 117
    Param_MultiName10, // 118
    Param_MultiVolume, // 119
    Param_MultiS1Single, // 120
    Param_MultiS2Single, // 121
    Param_MultiS3Single, // 122
    Param_MultiS4Single, // 123
    Param_MultiS5Single, // 124
    Param_MultiS6Single, // 125
    Param_MultiS7Single, // 126
    Param_MultiS8Single, // 127
    Param_MultiS1ZoneLow, // 128
    Param_MultiS2ZoneLow, // 129
    Param_MultiS3ZoneLow, // 130
    Param_MultiS4ZoneLow, // 131
    Param_MultiS5ZoneLow, // 132
    Param_MultiS6ZoneLow, // 133
    Param_MultiS7ZoneLow, // 134
    Param_MultiS8ZoneLow, // 135
    Param_MultiS1ZoneHigh, // 136
    Param_MultiS2ZoneHigh, // 137
    Param_MultiS3ZoneHigh, // 138
    Param_MultiS4ZoneHigh, // 139
    Param_MultiS5ZoneHigh, // 140
    Param_MultiS6ZoneHigh, // 141
    Param_MultiS7ZoneHigh, // 142
    Param_MultiS8ZoneHigh, // 143
    Param_MultiS1Poly, // 144
    Param_MultiS2Poly, // 145
    Param_MultiS3Poly, // 146
    Param_MultiS4Poly, // 147
    Param_MultiS5Poly, // 148
    Param_MultiS6Poly, // 149
    Param_MultiS7Poly, // 150
    Param_MultiS8Poly, // 151
    Param_MultiS1Output, // 152
    Param_MultiS2Output, // 153
    Param_MultiS3Output, // 154
    Param_MultiS4Output, // 155
    Param_MultiS5Output, // 156
    Param_MultiS6Output, // 157
    Param_MultiS7Output, // 158
    Param_MultiS8Output, // 159
    Param_MultiS1Mode, // 160
    Param_MultiS2Mode, // 161
    Param_MultiS3Mode, // 162
    Param_MultiS4Mode, // 163
    Param_MultiS5Mode, // 164
    Param_MultiS6Mode, // 165
    Param_MultiS7Mode, // 166
    Param_MultiS8Mode, // 167
    Param_MultiS1Channel, // 168
    Param_MultiS2Channel, // 169
    Param_MultiS3Channel, // 170
    Param_MultiS4Channel, // 171
    Param_MultiS5Channel, // 172
    Param_MultiS6Channel, // 173
    Param_MultiS7Channel, // 174
    Param_MultiS8Channel, // 175
    Param_MultiS1Velocity, // 176
    Param_MultiS2Velocity, // 177
    Param_MultiS3Velocity, // 178
    Param_MultiS4Velocity, // 179
    Param_MultiS5Velocity, // 180
    Param_MultiS6Velocity, // 181
    Param_MultiS7Velocity, // 182
    Param_MultiS8Velocity, // 183
    Param_MultiS1Transpose, // 184
    Param_MultiS2Transpose, // 185
    Param_MultiS3Transpose, // 186
    Param_MultiS4Transpose, // 187
    Param_MultiS5Transpose, // 188
    Param_MultiS6Transpose, // 189
    Param_MultiS7Transpose, // 190
    Param_MultiS8Transpose, // 191
    Param_MultiS1Tune, // 192
    Param_MultiS2Tune, // 193
    Param_MultiS3Tune, // 194
    Param_MultiS4Tune, // 195
    Param_MultiS5Tune, // 196
    Param_MultiS6Tune, // 197
    Param_MultiS7Tune, // 198
    Param_MultiS8Tune, // 199
    Param_MultiS1Level, // 200
    Param_MultiS2Level, // 201
    Param_MultiS3Level, // 202
    Param_MultiS4Level, // 203
    Param_MultiS5Level, // 204
    Param_MultiS6Level, // 205
    Param_MultiS7Level, // 206
    Param_MultiS8Level, // 207
    Param_Mode, // 208

    Param_Count // 209: one past the last parameter, "no parameter"
};

constexpr uint32_t kParamCount = Param_Count;

// Per-source parameters: 27 + 4 * field + source.
constexpr uint32_t kSourceFieldCount = 20;
// Per-section parameters: 120 + 8 * field + section.
constexpr uint32_t kSectionFieldCount = 11;
constexpr uint32_t kSectionCount = 8;

constexpr bool isSingleParam(uint32_t p) { return p <= Param_SourceS4FreqKeyScaleToFreq; }
constexpr bool isMultiParam(uint32_t p) { return p >= Param_MultiName01 && p <= Param_MultiS8Level; }
constexpr bool isSourceParam(uint32_t p) { return p >= Param_SourceS1Mute && p <= Param_SourceS4FreqKeyScaleToFreq; }
constexpr bool isSectionParam(uint32_t p) { return p >= Param_MultiS1Single && p <= Param_MultiS8Level; }

// Source 0-3 and field 0-19 of a per-source parameter.
constexpr uint32_t getParamSource(uint32_t p) { return (p + 1) & 3; }
constexpr uint32_t getSourceField(uint32_t p) { return (p - Param_SourceS1Mute) / 4; }
// Section 0-7 and field 0-10 of a per-section parameter.
constexpr uint32_t getParamSection(uint32_t p) { return (p - Param_MultiS1Single) % kSectionCount; }
constexpr uint32_t getSectionField(uint32_t p) { return (p - Param_MultiS1Single) / kSectionCount; }

static_assert(Param_SourceS1Mute == 27 && Param_SourceMix12 == 107 && Param_MultiName01 == 109);
static_assert(Param_MultiS1Single == 120 && Param_Mode == 208 && Param_Count == 209);
static_assert(Param_SourceS1Mute + 4 * kSourceFieldCount == Param_SourceMix12);
static_assert(Param_MultiS1Single + kSectionCount * kSectionFieldCount == Param_Mode);
} // namespace k1lib
