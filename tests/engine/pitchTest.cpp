// Pitch at the engine's rate: keys, bend, fixed keys, very high notes and the
// auto-bend of a voice whose single is edited while it sounds.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/engine/engineTestSupport.h"

using namespace k1test;

namespace
{
constexpr double kRate = 49920.0;

double playAndMeasure(TestEngine& t, uint8_t key, std::vector<k1lib::SMidiEvent> before = {})
{
    std::vector<k1lib::SMidiEvent> events = std::move(before);
    events.push_back(midi(0x90, key, 100, 0));
    const auto out = t.render(static_cast<int>(kRate) + 2000, events);
    return measureFrequency(out[0], 1000, out[0].size(), kRate);
}
} // namespace

TEST(EnginePitch, SineKeysPlayEqualTemperedFrequencies)
{
    {
        TestEngine t;
        ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
        EXPECT_NEAR(playAndMeasure(t, 69), 440.0, 0.05);
    }
    {
        TestEngine t;
        ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
        EXPECT_NEAR(playAndMeasure(t, 81), 880.0, 0.1);
    }
    {
        // Full bend down with a bend range of 12 is an octave down.
        TestEngine t;
        ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
        EXPECT_NEAR(playAndMeasure(t, 69, {midi(0xE0, 0, 0, 0)}), 220.0, 0.05);
    }
}

TEST(EnginePitch, FixedKeyIgnoresKeyTransposeAndTune)
{
    k1lib::SinglePreset p = plainSingle();
    p.sources[0].keyTrack = false;
    p.sources[0].coarse = 84;
    for (uint8_t key : {30, 69, 110})
    {
        TestEngine t;
        ASSERT_TRUE(t.engine->setSingle(0, p));
        EXPECT_NEAR(playAndMeasure(t, key), 261.63, 0.05) << "key " << int(key);
    }
}

TEST(EnginePitch, VeryHighNotesWrapTheirPhaseAndOneShotWavesStop)
{
    // Coarse 127 on key 127 asks for an increment beyond 32 bits.
    k1lib::SinglePreset p = plainSingle(0);
    p.sources[0].coarse = 127;
    {
        TestEngine t;
        ASSERT_TRUE(t.engine->setSingle(0, p));
        const auto out = t.render(2000, {midi(0x90, 127, 100, 0)});
        for (float v : out[0])
            ASSERT_TRUE(std::isfinite(v));
        EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(), 1u);
    }
    {
        // A one-shot sampled wave (205, "Bass Drum") ends after one pass,
        // whatever its envelope says.
        p.sources[0].wave = 204;
        TestEngine t;
        ASSERT_TRUE(t.engine->setSingle(0, p));
        t.render(1000, {midi(0x90, 127, 100, 0)});
        EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(), 0u);
    }
}

TEST(EnginePitch, AutoBendStartsAboveAndSettles)
{
    // Depth +12 over 0.1 s: the note starts an octave up and lands on 440.
    k1lib::SinglePreset p = plainSingle();
    p.autoBendDepth = 100;
    p.autoBendTime = 34; // about 0.1 s
    p.sources[0].vibABend = true;
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, p));
    const auto out = t.render(static_cast<int>(kRate), {midi(0x90, 69, 64, 0)});
    const float time = t.engine->getMulti().getActiveVoice(0, 0).getAutoBendTime();
    ASSERT_GT(time, 0.05f);
    EXPECT_NEAR(measureFrequency(out[0], 0, 400, kRate), 880.0, 30.0);
    EXPECT_NEAR(measureFrequency(out[0], static_cast<size_t>(time * kRate) + 100, out[0].size(), kRate), 440.0, 0.05);
}

// The swing in cents of a square-wave vibrato (the pitch rests on the note
// for half a cycle and on the note plus the depth for the other half).
double vibratoSwingCents(uint8_t depthField)
{
    k1lib::SinglePreset p = plainSingle();
    p.vibratoDepth = depthField;
    p.lfoShape = 2;  // square
    p.lfoSpeed = 3;  // 1.36 s per cycle
    p.sources[0].vibABend = true;
    TestEngine t;
    if (!t.engine->setSingle(0, p))
        return -1.0;
    const auto out = t.render(static_cast<int>(3 * kRate), {midi(0x90, 69, 100, 0)});
    double low = 1e9;
    double high = 0.0;
    for (size_t from = 1000; from + 4000 <= out[0].size(); from += 4000)
    {
        const double f = measureFrequency(out[0], from, from + 4000, kRate);
        low = std::min(low, f);
        high = std::max(high, f);
    }
    return 1200.0 * std::log2(high / low);
}

TEST(EnginePitch, VibratoDepthsAreFinerThanASemitone)
{
    // A subtle depth is heard as a few cents, not as nothing or a semitone;
    // the swing grows with the depth up to an octave.
    const double d10 = vibratoSwingCents(60);
    const double d15 = vibratoSwingCents(65);
    const double d20 = vibratoSwingCents(70);
    const double d30 = vibratoSwingCents(80);
    EXPECT_NEAR(d10, 100.0 * 20.0 / 128.0, 0.5);
    EXPECT_GT(d15, d10 + 10.0);
    EXPECT_GT(d20, d15 + 10.0);
    EXPECT_NEAR(d20, 100.0, 0.5);
    EXPECT_NEAR(d30, 300.0, 0.5);
    EXPECT_NEAR(vibratoSwingCents(100), 1200.0, 0.5);
}

TEST(EnginePitch, AutoBendTimeEditedWhileSoundingDoesNotJump)
{
    // The voice starts without a bend time; giving the single one while the
    // note sounds must not throw it by the bend depth.
    k1lib::SinglePreset p = plainSingle();
    p.autoBendDepth = 100;
    p.autoBendTime = 0;
    p.sources[0].vibABend = true;
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, p));
    t.render(1000, {midi(0x90, 69, 100, 0)});
    const k1lib::CParam& row = k1lib::g_params[k1lib::Param_AutoBendTime];
    ASSERT_TRUE(t.engine->setParameter(k1lib::Param_AutoBendTime, (50.0f - row.min) * row.invRange, false));
    const auto out = t.render(static_cast<int>(kRate));
    EXPECT_EQ(t.engine->getCurrentSingle().autoBendTime, 50);
    EXPECT_NEAR(measureFrequency(out[0], 100, out[0].size(), kRate), 440.0, 0.05);
}

TEST(EnginePitch, EachMultiSectionBendsByItsOwnSinglesDepth)
{
    TestEngine t;
    k1lib::SinglePreset narrow = plainSingle();
    narrow.pitchBendDepth = 2;
    k1lib::SinglePreset wide = plainSingle();
    wide.pitchBendDepth = 7;
    ASSERT_TRUE(t.engine->setSingle(1, narrow));
    ASSERT_TRUE(t.engine->setSingle(2, wide));
    // The current single (0) bends by 12; the sections must not follow it.
    ASSERT_TRUE(t.engine->setMulti(0, channelMulti(2, 1)));
    t.engine->setPlayMode(k1lib::PlayMode::Multi);
    k1lib::Engine::Config config = t.engine->getConfig();
    config.audioOutputMode = 1; // one output per section
    t.engine->setConfig(config);
    const auto out = t.render(static_cast<int>(kRate) + 2000, {midi(0xE0, 0, 0, 0), midi(0xE1, 0, 0, 0),
                                                                midi(0x90, 69, 100, 0), midi(0x91, 69, 100, 0)},
                              8);
    EXPECT_NEAR(measureFrequency(out[0], 1000, out[0].size(), kRate), 440.0 * std::pow(2.0, -2.0 / 12.0), 0.1);
    EXPECT_NEAR(measureFrequency(out[1], 1000, out[1].size(), kRate), 440.0 * std::pow(2.0, -7.0 / 12.0), 0.1);
}
