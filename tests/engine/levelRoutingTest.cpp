// Levels and routing: velocity curves, pan, volume, and the outputs each
// section or source goes to.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/engine/engineTestSupport.h"

using namespace k1test;

namespace
{
void useMulti(TestEngine& t, const k1lib::MultiPreset& m)
{
    for (size_t s = 0; s < 8; ++s)
        ASSERT_TRUE(t.engine->setSingle(s, plainSingle()));
    ASSERT_TRUE(t.engine->setMulti(0, m));
    t.engine->setPlayMode(k1lib::PlayMode::Multi);
}

bool silent(const std::vector<float>& x)
{
    for (float v : x)
        if (v != 0.0f)
            return false;
    return true;
}
} // namespace

TEST(EngineLevel, VelocityThroughCurveOneAndFullLevelModulation)
{
    k1lib::SinglePreset p = plainSingle();
    p.sources[0].velCurve = 0;     // shown as curve 1
    p.sources[0].levelModVel = 100; // +50
    const std::pair<uint8_t, float> expected[] = {{127, 1.0f}, {100, 0.9327f}, {64, 0.2498f}, {32, 0.0270f}};
    for (const auto& [velocity, gain] : expected)
    {
        TestEngine t;
        ASSERT_TRUE(t.engine->setSingle(0, p));
        t.render(10, {midi(0x90, 60, velocity, 0)});
        ASSERT_EQ(t.engine->getMulti().getActiveVoiceCount(0), 1u);
        EXPECT_NEAR(t.engine->getMulti().getActiveVoice(0, 0).getSlot(0).getLevel(), gain, 0.0001f)
            << "velocity " << int(velocity);
    }
}

TEST(EngineLevel, PanAndVolumeControllers)
{
    // A section that starts to sound takes its pan at once; later moves
    // glide, and are measured once they have settled.
    constexpr int kSettle = 30000;
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
    auto out = t.render(4000, {midi(0xB0, 10, 0, 0), midi(0x90, 60, 100, 0)});
    EXPECT_GT(rms(out[0], 100, 4000), 0.1);
    EXPECT_TRUE(silent(out[1]));

    t.render(kSettle, {midi(0xB0, 10, 64, 0)});
    out = t.render(4000);
    EXPECT_GT(rms(out[0], 100, 4000), 0.1);
    EXPECT_EQ(out[0], out[1]);

    t.render(kSettle, {midi(0xB0, 10, 127, 0)});
    out = t.render(4000);
    EXPECT_NEAR(rms(out[0], 100, 4000) * 64.0, rms(out[1], 100, 4000), 1e-3);

    // CC7 0 fades the channel out: no step at the controller, silence soon.
    t.render(kSettle, {midi(0xB0, 10, 64, 0)});
    const double before = rms(t.render(1000)[0], 0, 1000);
    out = t.render(kSettle, {midi(0xB0, 7, 0, 0)});
    EXPECT_GT(rms(out[0], 0, 380), 0.9 * before);
    EXPECT_LT(rms(out[0], 2000, 3000), 0.5 * before);
    out = t.render(1000);
    EXPECT_TRUE(silent(out[0]) && silent(out[1]));
}

TEST(EngineRouting, EightOutputsGiveEachSectionItsOwnOutput)
{
    TestEngine t;
    useMulti(t, channelMulti(8));
    k1lib::Engine::Config config;
    config.audioOutputMode = 1;
    t.engine->setConfig(config);
    EXPECT_EQ(t.listener.configChanges, 1);
    t.engine->setConfig(config);
    EXPECT_EQ(t.listener.configChanges, 1);

    for (uint8_t ch : {2, 5})
    {
        const auto out = t.render(2000, {midi(static_cast<uint8_t>(0x90 | ch), 60, 100, 0)}, 8);
        for (int c = 0; c < 8; ++c)
            EXPECT_EQ(silent(out[c]), c != ch) << "channel " << int(ch) << " output " << c;
        t.render(12000, {midi(static_cast<uint8_t>(0xB0 | ch), 123, 0, 0)}, 8);
    }

    // Two outputs always carry the stereo mix.
    const auto stereo = t.render(2000, {midi(0x95, 60, 100, 0)}, 2);
    EXPECT_FALSE(silent(stereo[0]));
    EXPECT_FALSE(silent(stereo[1]));
}

TEST(EngineRouting, SingleModeWithEightOutputsSendsEachSourceToItsOutput)
{
    k1lib::SinglePreset p = plainSingle();
    p.source2or4 = 1;
    p.mute[1] = false;
    p.mute[2] = true;
    p.mute[3] = false;
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, p));
    k1lib::Engine::Config config;
    config.audioOutputMode = 1;
    t.engine->setConfig(config);
    const auto out = t.render(2000, {midi(0x90, 60, 100, 0)}, 8);
    const bool expectSound[8] = {true, true, false, true, false, false, false, false};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(!silent(out[c]), expectSound[c]) << "output " << c;
    EXPECT_EQ(out[0], out[1]);
}

TEST(EngineRouting, FewerOutputsThanTheRoutingNeedsAreNeverOverrun)
{
    TestEngine t;
    useMulti(t, channelMulti(8));
    k1lib::Engine::Config config;
    config.audioOutputMode = 1;
    t.engine->setConfig(config);
    // Guard samples after the one output the host gives.
    std::vector<float> buffer(2 * 512, 7.0f);
    float* outputs[1] = {buffer.data()};
    std::vector<k1lib::SMidiEvent> events{midi(0x97, 60, 100, 0)};
    t.engine->process(outputs, 1, 512, events);
    for (size_t i = 512; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], 7.0f);
    EXPECT_GT(rms(buffer, 100, 512), 0.01);
}

TEST(EngineLevel, SourceMixCrossfadesThePair)
{
    k1lib::SinglePreset p = plainSingle();
    p.mute[1] = false;
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, p));
    k1lib::Engine::Config config;
    config.audioOutputMode = 1;
    t.engine->setConfig(config);
    // CC16 0: the first source of the pair alone.
    const auto out = t.render(20000, {midi(0xB0, 16, 0, 0), midi(0x90, 60, 100, 0)}, 8);
    EXPECT_EQ(t.listener.parameterChanges, 1);
    EXPECT_GT(rms(out[0], 15000, 20000), 0.1);
    EXPECT_TRUE(silent(std::vector<float>(out[1].begin() + 15000, out[1].end())));
}

// Sections of one channel that play one single at one transposition are
// copies of it (a chorus, or a multi made louder): each starts elsewhere in
// its cycle, so that together they add up as power from the first sample on
// instead of opening the note with a spike of their summed amplitudes.
// Sections of two singles start together as ever, however alike.
TEST(EngineLevel, CopiesOfASectionStartApartInTheirCycles)
{
    constexpr int kOpening = 200; // 4 ms, before the copies drift apart
    constexpr int kNote = 100000;  // 2 s: several beats of the copies
    struct Take
    {
        float opening = 0.0f; // peak of the first 4 ms
        double held = 0.0;    // RMS from 0.5 s on
    };
    auto play = [](const k1lib::MultiPreset& m) {
        TestEngine t;
        useMulti(t, m);
        const auto out = t.render(kNote, {midi(0x90, 60, 127, 0)});
        Take take;
        for (int i = 0; i < kOpening; ++i)
            take.opening = std::max(take.opening, std::fabs(out[0][static_cast<size_t>(i)]));
        take.held = rms(out[0], kNote / 4, kNote);
        return take;
    };
    const Take one = play(channelMulti(1));
    k1lib::MultiPreset alike = channelMulti(2); // singles 0 and 1, both the same sine
    alike.sections[1].channel = 0;
    k1lib::MultiPreset copies = channelMulti(4);
    const int tunes[] = {-4, 4, -8, 8}; // 8 and 16 cents either way
    for (int s = 0; s < 4; ++s)
    {
        copies.sections[s].single = 0;
        copies.sections[s].channel = 0;
        copies.sections[s].tune = tunes[s];
    }
    ASSERT_GT(one.opening, 0.05f);
    EXPECT_NEAR(play(alike).opening, 2.0f * one.opening, 0.02f * one.opening);
    const Take four = play(copies);
    EXPECT_LT(four.opening, 1.5f * one.opening) << "in phase they open at four times one section";
    EXPECT_NEAR(four.held / one.held, 2.0, 0.3) << "four copies carry four times the power";
}
