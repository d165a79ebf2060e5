#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "engine/tables.h"

using namespace k1lib;

TEST(TimeTables, DelayUnitsFollowTheirFourSegments)
{
    EXPECT_EQ(g_bufPhm_08754[0], 0);
    EXPECT_EQ(g_bufPhm_08754[10], 10);
    EXPECT_EQ(g_bufPhm_08754[11], 12); // 12.25
    EXPECT_EQ(g_bufPhm_08754[12], 15); // 14.5, half rounded up
    EXPECT_EQ(g_bufPhm_08754[13], 17); // 16.75
    EXPECT_EQ(g_bufPhm_08754[50], 100);
    EXPECT_EQ(g_bufPhm_08754[51], 112);
    EXPECT_EQ(g_bufPhm_08754[75], 400);
    EXPECT_EQ(g_bufPhm_08754[76], 544);
    EXPECT_EQ(g_bufPhm_08754[100], 4000);
    for (size_t i = 1; i < g_bufPhm_08754.size(); ++i)
        EXPECT_GT(g_bufPhm_08754[i], g_bufPhm_08754[i - 1]) << i;

    EXPECT_EQ(envDelayTime(0), 0.0f);
    EXPECT_FLOAT_EQ(envDelayTime(100), 12.0276f);
    EXPECT_FLOAT_EQ(envDelayTime(50), 0.30069f);
}

TEST(TimeTables, DecayAttackAndLfoEntries)
{
    EXPECT_FLOAT_EQ(envDecayTime(0), 0.00364583f); // never 0
    EXPECT_FLOAT_EQ(envDecayTime(32), 0.31f);
    EXPECT_FLOAT_EQ(envDecayTime(50), 1.406f);
    EXPECT_FLOAT_EQ(envDecayTime(99), 96.6f);
    EXPECT_FLOAT_EQ(envDecayTime(100), 164.2f);

    EXPECT_EQ(envAttackTime(0), 0.0f);
    EXPECT_FLOAT_EQ(envAttackTime(1), 0.00014285714f);
    EXPECT_FLOAT_EQ(envAttackTime(60), 1.4853929f);
    EXPECT_FLOAT_EQ(envAttackTime(100), 33.46957f);
    for (uint8_t v = 36; v <= 100; ++v)
    {
        const float ratio = envAttackTime(v) / envAttackTime(static_cast<uint8_t>(v - 1));
        EXPECT_NEAR(ratio, 1.081f, 0.002f) << static_cast<int>(v);
    }

    EXPECT_FLOAT_EQ(lfoSpeed(0), 1.0f / 12.32f);
    EXPECT_FLOAT_EQ(lfoSpeed(45), 1.0f / 0.147625f);
    EXPECT_FLOAT_EQ(lfoSpeed(100), 1.0f / 0.078182f);
}

TEST(LevelTables, EnvelopeSustainPressureAndVolumeEntries)
{
    EXPECT_EQ(envLevel(0), 0.0f);
    EXPECT_FLOAT_EQ(envLevel(6), 0.000282368f);
    EXPECT_FLOAT_EQ(envLevel(79), 0.478589f);
    EXPECT_EQ(envLevel(100), 1.0f);

    EXPECT_FLOAT_EQ(envSustainLevel(0), 0.00298182f);
    EXPECT_FLOAT_EQ(envSustainLevel(57), 0.222376f);
    EXPECT_FLOAT_EQ(envSustainLevel(99), 0.952386f);
    EXPECT_EQ(envSustainLevel(100), 1.0f);

    EXPECT_EQ(pressureToEnvLevel(10), 0.0f);
    EXPECT_FLOAT_EQ(pressureToEnvLevel(11), 0.0000789106f);
    EXPECT_FLOAT_EQ(pressureToEnvLevel(126), 0.9993467f);
    EXPECT_EQ(pressureToEnvLevel(127), 1.0f);
    for (uint8_t v = 1; v < 128; ++v)
        EXPECT_GE(pressureToEnvLevel(v), pressureToEnvLevel(static_cast<uint8_t>(v - 1))) << static_cast<int>(v);

    EXPECT_FLOAT_EQ(volume(0), 0.0272823f);
    EXPECT_FLOAT_EQ(volume(50), 0.250309f);
    EXPECT_EQ(volume(99), 1.0f);
}

TEST(LevelTables, GenericDepthUsesTheDistanceFromTheCentre)
{
    EXPECT_EQ(genericDepthModToLevel(50), 0.0f);
    EXPECT_EQ(genericDepthModToLevel(0), 1.0f);
    EXPECT_EQ(genericDepthModToLevel(100), 1.0f);
    // 25 x 127 / 50 = 63.5, cut to entry 63; both directions alike.
    EXPECT_EQ(genericDepthModToLevel(75), pressureToEnvLvl[63]);
    EXPECT_EQ(genericDepthModToLevel(25), pressureToEnvLvl[63]);
    EXPECT_EQ(genericDepthModToLevel(51), pressureToEnvLvl[2]);
}

TEST(KeyScaling, CurvesRiseFromZeroTo127)
{
    const int firstRising[5] = {37, 37, 37, 55, 66};
    const int firstTop[5] = {96, 96, 96, 78, 66};
    for (int c = 0; c < 5; ++c)
    {
        const auto& curve = g_ksCurves[static_cast<size_t>(c)];
        EXPECT_EQ(curve[static_cast<size_t>(firstRising[c] - 1)], 0) << c;
        EXPECT_GT(curve[static_cast<size_t>(firstRising[c])], 0) << c;
        EXPECT_LT(curve[static_cast<size_t>(firstTop[c] - 1)], 127) << c;
        EXPECT_EQ(curve[static_cast<size_t>(firstTop[c])], 127) << c;
        EXPECT_EQ(curve[127], 127) << c;
        for (size_t k = 1; k < 128; ++k)
            EXPECT_GE(curve[k], curve[k - 1]) << c << " key " << k;
    }
    EXPECT_EQ(g_ksCurves[0][37], 2);
    EXPECT_EQ(g_ksCurves[0][95], 125);
    EXPECT_EQ(g_ksCurves[1][72], 32);
    EXPECT_EQ(g_ksCurves[1][73], 35);
    EXPECT_EQ(g_ksCurves[2][61], 97);
    EXPECT_EQ(g_ksCurves[3][55], 5);
    EXPECT_EQ(g_ksCurves[3][77], 122);
}

TEST(KeyScaling, CurveModAndTheUnipolarStep)
{
    EXPECT_EQ(ksCurveMod(60, 4, false), -1.0f);
    EXPECT_EQ(ksCurveMod(60, 4, true), 0.0f);
    EXPECT_EQ(ksCurveMod(70, 4, false), 0.984375f);
    EXPECT_EQ(ksCurveMod(70, 4, true), 0.9921875f);
    EXPECT_EQ(ksCurveMod(0, 0, false), -1.0f);
    EXPECT_EQ(ksCurveMod(127, 3, false), 0.984375f);
    for (uint8_t c = 0; c < 4; ++c)
    {
        for (uint8_t key = 0; key < 128; ++key)
            ASSERT_EQ(ksCurveMod(key, c, true), ksCurveMod(key, c, false)) << static_cast<int>(c);
    }
}

TEST(PitchDepths, FinerThanSemitonesFromTheSymmetricTable)
{
    for (int k = 0; k <= 50; ++k)
        EXPECT_EQ(g_bufPhm_11045[static_cast<size_t>(50 - k)], g_bufPhm_11045[static_cast<size_t>(50 + k)]) << k;
    EXPECT_EQ(g_bufPhm_11045[0], 1536);
    EXPECT_EQ(g_bufPhm_11045[50], 0);
    EXPECT_EQ(g_bufPhm_11045[95], 896);

    // Small depths are fractions of a semitone, the depth never falls as the
    // value rises, and the four accessors read the same curve.
    EXPECT_EQ(vibratoDepth(0), 0.0f);
    EXPECT_GT(vibratoDepth(1), 0.0f);
    EXPECT_GT(vibratoDepth(10), 0.0f);
    EXPECT_LT(vibratoDepth(10), 1.0f);
    EXPECT_EQ(vibratoDepth(20), 1.0f);
    EXPECT_EQ(vibratoDepth(50), 12.0f);
    for (uint8_t v = 0; v <= 50; ++v)
    {
        if (v > 0)
        {
            EXPECT_GT(vibratoDepth(v), vibratoDepth(static_cast<uint8_t>(v - 1))) << static_cast<int>(v);
        }
        EXPECT_EQ(ksToFreq(v), vibratoDepth(v));
        EXPECT_EQ(autoBendDepth(v), vibratoDepth(v));
        EXPECT_EQ(pressureToFreq(v), vibratoDepth(v));
    }
}

TEST(Velocity, CurvesThroughTheExpansion)
{
    EXPECT_EQ(g_bufK1_25881[32], 64);
    EXPECT_EQ(g_bufK1_25881[53], 126);
    EXPECT_EQ(g_bufK1_25881[63], 127);
    EXPECT_EQ(velocityCurveValue(127, 7), 0);
    EXPECT_EQ(velocityCurveValue(0, 7), 127);
    // The eighth curve falls over the upper velocities.
    EXPECT_EQ(velocityCurveValue(74, 7), 127);
    EXPECT_EQ(velocityCurveValue(76, 7), 111);
    EXPECT_EQ(velocityCurveValue(81, 7), 79);
    EXPECT_EQ(velocityCurveValue(96, 7), 0);
    for (uint8_t c = 0; c < 7; ++c)
    {
        EXPECT_EQ(velocityCurveValue(0, c), 0) << static_cast<int>(c);
        EXPECT_EQ(velocityCurveValue(127, c), 127) << static_cast<int>(c);
    }
    // Velocity 64: expansion 64, index 32.
    EXPECT_EQ(velocityCurveValue(64, 0), 102);
    EXPECT_EQ(velocityCurveValue(64, 4), 0);
    EXPECT_EQ(velocityCurveValue(64, 5), 105);
    // Velocity 100: entry 50 = 117, index 58.
    EXPECT_EQ(velocityCurveValue(100, 3), 105);
}

TEST(Velocity, WithStrengthPinnedValues)
{
    for (int a = 0; a < 128; ++a)
        EXPECT_EQ(velocityWithStrength(a, 0), 1.0f) << a;
    EXPECT_FLOAT_EQ(velocityWithStrength(0, 50), 0.01f);
    EXPECT_EQ(velocityWithStrength(127, 50), 1.0f);
    EXPECT_EQ(velocityWithStrength(125, 50), 1.0f);
    EXPECT_FLOAT_EQ(velocityWithStrength(0, 25), 0.53f);
    EXPECT_FLOAT_EQ(velocityWithStrength(32, 25), 0.64f);
    EXPECT_FLOAT_EQ(velocityWithStrength(64, 25), 0.75f);
    EXPECT_FLOAT_EQ(velocityWithStrength(96, 25), 0.89f);
    EXPECT_EQ(velocityWithStrength(127, 25), 1.0f);
}

// The K1 computes the two ceilings in single precision as 65536 minus a
// truncation; every input must give the same percentage as the integer form.
TEST(Velocity, WithStrengthMatchesTheSinglePrecisionForm)
{
    for (int strength = 0; strength <= 50; ++strength)
    {
        for (int a = 0; a < 128; ++a)
        {
            const float scaled = static_cast<float>(a) * 100.0f / 127.0f;
            int e = 65536 - static_cast<int>(65535.0f - scaled); // ceiling plus 1
            e = e > 100 ? 100 : e;
            const int i = (e - 100) * strength * strength / 2500;
            const float y = static_cast<float>(g_bufPHm_08855[static_cast<size_t>(100 + i)] * (100 + i));
            int p = 65535 - static_cast<int>(65535.0f - y / 2500.0f); // ceiling
            p = p > 100 ? 100 : p;
            ASSERT_EQ(velocityWithStrength(a, strength), static_cast<float>(p) * 0.01f)
                << "a " << a << " strength " << strength;
        }
    }
}

// Presets, received sysex and parameter edits can carry values past the
// tables; every accessor answers with its last entry instead of reading on.
TEST(Clamping, OutOfRangeIndexesReadTheLastEntry)
{
    for (int v = 101; v < 256; ++v)
    {
        const auto u = static_cast<uint8_t>(v);
        ASSERT_EQ(envDelayTime(u), envDelayTime(100));
        ASSERT_EQ(envDecayTime(u), envDecayTime(100));
        ASSERT_EQ(envAttackTime(u), envAttackTime(100));
        ASSERT_EQ(lfoSpeed(u), lfoSpeed(100));
        ASSERT_EQ(envLevel(u), envLevel(100));
        ASSERT_EQ(envSustainLevel(u), envSustainLevel(100));
        ASSERT_EQ(volume(u), volume(99));
    }
    for (int v = 51; v < 256; ++v)
    {
        const auto u = static_cast<uint8_t>(v);
        ASSERT_EQ(vibratoDepth(u), 12.0f);
        ASSERT_EQ(ksToFreq(u), 12.0f);
        ASSERT_EQ(autoBendDepth(u), 12.0f);
        ASSERT_EQ(pressureToFreq(u), 12.0f);
    }
    for (int v = 128; v < 256; ++v)
    {
        const auto u = static_cast<uint8_t>(v);
        ASSERT_EQ(pressureToEnvLevel(u), 1.0f);
        ASSERT_EQ(ksCurveMod(u, 0, false), ksCurveMod(127, 0, false));
        ASSERT_EQ(velocityCurveValue(u, 0), velocityCurveValue(127, 0));
    }
    for (int c = 5; c < 256; ++c)
    {
        ASSERT_EQ(ksCurveMod(60, static_cast<uint8_t>(c), true), 0.0f); // as curve 4
        ASSERT_EQ(ksCurveMod(60, static_cast<uint8_t>(c), false), -1.0f);
    }
    EXPECT_EQ(velocityCurveValue(127, 8), 0); // as curve 7
    EXPECT_EQ(velocityCurveValue(0, 255), 127);

    EXPECT_EQ(genericDepthModToLevel(-40), 1.0f);
    EXPECT_EQ(genericDepthModToLevel(127), 1.0f);
    EXPECT_EQ(genericDepthModToLevel(1000), 1.0f);

    EXPECT_EQ(velocityWithStrength(128, 50), velocityWithStrength(127, 50));
    EXPECT_EQ(velocityWithStrength(255, 25), velocityWithStrength(127, 25));
    EXPECT_EQ(velocityWithStrength(-3, 50), velocityWithStrength(0, 50));
    EXPECT_EQ(velocityWithStrength(0, 127), velocityWithStrength(0, 50));
    EXPECT_EQ(velocityWithStrength(0, -10), 1.0f);
}
