#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/lfo.h"
#include "engine/tables.h"
#include "engine/vibrato.h"

using namespace k1lib;

namespace
{
constexpr float kRate = 49920.0f;

SinglePreset lfoSingle(uint8_t speed, uint32_t shape, uint32_t wheelMode = 0)
{
    SinglePreset s;
    s.lfoSpeed = speed;
    s.lfoShape = shape;
    s.vibWheelMode = wheelMode;
    s.vibratoDepth = 50;
    s.pressureToVibrato = 50;
    return s;
}

bool isStep(float v)
{
    const float steps = v * 64.0f;
    return steps == std::trunc(steps) && v >= -1.0f && v <= 1.0f;
}
} // namespace

TEST(LfoShapes, SlowTriangleTakesItsCycleInSteps)
{
    const SinglePreset single = lfoSingle(0, 0);
    Lfo lfo;
    // The top step is reached at the middle of every cycle; time two of
    // them. (Truncation toward zero gives +-1 only on an exact hit of phase 0
    // or 0.5, so the top step is 63/64.)
    std::vector<long> peaks;
    float previous = -1.0f;
    for (long n = 0; n < static_cast<long>(2.2 * 12.32 * kRate) && peaks.size() < 2; ++n)
    {
        const float v = lfo.process(single, kRate, 0.0f);
        ASSERT_TRUE(isStep(v)) << v;
        if (v >= 63.0f / 64 && previous < 63.0f / 64)
            peaks.push_back(n);
        previous = v;
    }
    ASSERT_EQ(peaks.size(), 2u);
    EXPECT_NEAR(static_cast<double>(peaks[1] - peaks[0]) / kRate, 12.32, 12.32 * 0.01);
}

TEST(LfoShapes, SquareIsUnipolarAndSawRises)
{
    const SinglePreset square = lfoSingle(0, 2);
    Lfo lfo;
    const long quarter = static_cast<long>(12.32 * kRate / 4);
    float v = 0.0f;
    for (long n = 0; n < quarter; ++n)
        v = lfo.process(square, kRate, 0.0f);
    EXPECT_EQ(v, 0.0f);
    for (long n = 0; n < 2 * quarter; ++n)
        v = lfo.process(square, kRate, 0.0f);
    EXPECT_EQ(v, 1.0f);

    const SinglePreset saw = lfoSingle(0, 1);
    Lfo sawLfo;
    EXPECT_EQ(sawLfo.process(saw, kRate, 0.0f), -63.0f / 64);
    float last = -1.0f;
    for (long n = 0; n < quarter; ++n)
    {
        const float s = sawLfo.process(saw, kRate, 0.0f);
        ASSERT_GE(s, last);
        last = s;
    }
    EXPECT_NEAR(last, -0.5f, 1.0f / 64);
}

TEST(LfoSteps, EachNewStepIsHeldFor848Samples)
{
    // At full speed a cycle is about 3900 samples: the saw would move every
    // 30 samples, but each step is held for 17 ms.
    const SinglePreset saw = lfoSingle(100, 1);
    Lfo lfo;
    float previous = lfo.process(saw, kRate, 0.0f);
    long lastChange = 0;
    std::vector<long> intervals;
    for (long n = 1; n < 40000; ++n)
    {
        const float v = lfo.process(saw, kRate, 0.0f);
        ASSERT_TRUE(isStep(v));
        if (v != previous)
        {
            intervals.push_back(n - lastChange);
            lastChange = n;
        }
        previous = v;
    }
    ASSERT_GT(intervals.size(), 10u);
    for (long i : intervals)
        EXPECT_EQ(i, 848);
}

TEST(LfoSteps, WheelInSpeedModeAddsUpTo32Steps)
{
    Lfo plain;
    plain.process(lfoSingle(10, 0, 1), kRate, 0.0f);
    EXPECT_FLOAT_EQ(plain.getPhase(), lfoSpeed(10) / kRate);

    Lfo wheel;
    wheel.process(lfoSingle(10, 0, 1), kRate, 1.0f);
    EXPECT_FLOAT_EQ(wheel.getPhase(), lfoSpeed(42) / kRate);

    Lfo half;
    half.process(lfoSingle(10, 0, 1), kRate, 64.0f / 127.0f); // 16.1 + 0.5 -> 16
    EXPECT_FLOAT_EQ(half.getPhase(), lfoSpeed(26) / kRate);

    Lfo clamped;
    clamped.process(lfoSingle(90, 0, 1), kRate, 1.0f);
    EXPECT_FLOAT_EQ(clamped.getPhase(), lfoSpeed(100) / kRate);

    // In "Depth" mode the wheel leaves the speed alone.
    Lfo depthMode;
    depthMode.process(lfoSingle(10, 0, 0), kRate, 1.0f);
    EXPECT_FLOAT_EQ(depthMode.getPhase(), lfoSpeed(10) / kRate);
}

TEST(LfoShapes, RandomChangesOncePerCycle)
{
    const SinglePreset random = lfoSingle(0, 3);
    Lfo lfo;
    const float start = lfo.getRandomValue();
    EXPECT_GE(start, -1.0f);
    EXPECT_LT(start, 1.0f);
    EXPECT_EQ(lfo.process(random, kRate, 0.0f), std::trunc(start * 64.0f) / 64.0f);

    // Within a cycle the level stays; each wrap of the phase redraws it.
    const long cycle = static_cast<long>(12.32 * kRate);
    for (long n = 1; n < cycle * 9 / 10; ++n)
    {
        lfo.process(random, kRate, 0.0f);
        ASSERT_EQ(lfo.getRandomValue(), start);
    }
    int draws = 0;
    float last = start;
    for (long n = cycle * 9 / 10; n < cycle * 7 / 2; ++n)
    {
        const float v = lfo.process(random, kRate, 0.0f);
        ASSERT_TRUE(isStep(v));
        if (lfo.getRandomValue() != last)
        {
            ++draws;
            last = lfo.getRandomValue();
        }
    }
    EXPECT_EQ(draws, 3);

    for (int i = 0; i < 10000; ++i)
    {
        lfo.createRandomValue();
        ASSERT_GE(lfo.getRandomValue(), -1.0f);
        ASSERT_LT(lfo.getRandomValue(), 1.0f);
    }
}

namespace
{
SinglePreset vibratoSingle(uint8_t depth, uint8_t pressureToVibrato, uint32_t wheelMode)
{
    SinglePreset s;
    s.vibratoDepth = depth;
    s.pressureToVibrato = pressureToVibrato;
    s.vibWheelMode = wheelMode;
    return s;
}
} // namespace

TEST(Vibrato, DepthInFinerStepsWithItsSign)
{
    EXPECT_EQ(Vibrato::process(vibratoSingle(100, 50, 1), 1.0f, 0.0f, 0.0f), 12.0f);
    EXPECT_EQ(Vibrato::process(vibratoSingle(100, 50, 1), -0.5f, 0.0f, 0.0f), -6.0f);
    EXPECT_EQ(Vibrato::process(vibratoSingle(0, 50, 1), 1.0f, 0.0f, 0.0f), -12.0f);
    EXPECT_EQ(Vibrato::process(vibratoSingle(70, 50, 1), 1.0f, 0.0f, 0.0f), 1.0f);
    EXPECT_EQ(Vibrato::process(vibratoSingle(69, 50, 1), 1.0f, 0.0f, 0.0f), 117.0f / 128.0f);
    EXPECT_EQ(Vibrato::process(vibratoSingle(30, 50, 1), 0.25f, 0.0f, 0.0f), -0.25f);
}

TEST(Vibrato, WheelInDepthModeAddsUpToOneSemitone)
{
    EXPECT_EQ(Vibrato::process(vibratoSingle(50, 50, 0), 1.0f, 0.0f, 1.0f), 1.0f);
    EXPECT_EQ(Vibrato::process(vibratoSingle(50, 50, 0), -1.0f, 0.0f, 1.0f), -1.0f);
    EXPECT_EQ(Vibrato::process(vibratoSingle(50, 50, 0), 1.0f, 0.0f, 0.5f), 0.5f);
    // Whatever the sign of the depth: -1 + 1 = 0.
    EXPECT_EQ(Vibrato::process(vibratoSingle(30, 50, 0), 1.0f, 0.0f, 1.0f), 0.0f);
    // Not in "Speed" mode.
    EXPECT_EQ(Vibrato::process(vibratoSingle(50, 50, 1), 1.0f, 0.0f, 1.0f), 0.0f);
    // Clamped to 12 semitones.
    EXPECT_EQ(Vibrato::process(vibratoSingle(100, 50, 0), 1.0f, 0.0f, 1.0f), 12.0f);
}

TEST(Vibrato, PressureDeepensInTheDepthsDirectionWithinItsHalf)
{
    // 70 -> +1; pressure-to-vibrato 75 at half pressure adds 25 x 12 x 0.02 x 0.5 = 3.
    EXPECT_FLOAT_EQ(Vibrato::process(vibratoSingle(70, 75, 1), 1.0f, 0.5f, 0.0f), 4.0f);
    // Negative depth: pressure makes it more negative, down to -12.
    EXPECT_FLOAT_EQ(Vibrato::process(vibratoSingle(30, 75, 1), 1.0f, 0.5f, 0.0f), -4.0f);
    EXPECT_EQ(Vibrato::process(vibratoSingle(30, 100, 1), 1.0f, 1.0f, 0.0f), -12.0f);
    EXPECT_EQ(Vibrato::process(vibratoSingle(100, 100, 1), 1.0f, 1.0f, 0.0f), 12.0f);
    // Negative pressure-to-vibrato lowers the depth, but not past zero.
    EXPECT_EQ(Vibrato::process(vibratoSingle(70, 0, 1), 1.0f, 1.0f, 0.0f), 0.0f);
    EXPECT_EQ(Vibrato::process(vibratoSingle(30, 0, 1), 1.0f, 1.0f, 0.0f), 0.0f);
    // The wheel comes after that clamp.
    EXPECT_EQ(Vibrato::process(vibratoSingle(70, 0, 0), 1.0f, 1.0f, 0.5f), 0.5f);
    // Out-of-range depth fields read the deepest entry.
    EXPECT_EQ(Vibrato::process(vibratoSingle(255, 50, 1), 1.0f, 0.0f, 0.0f), 12.0f);
}
