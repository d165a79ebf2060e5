// The resampler's figures: how many engine samples a block needs, where an
// event of the block acts, the host at the engine's own rate, and blocks
// without frames or channels, or with too many channels.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/midi/midiTestSupport.h"

using namespace k1test;

namespace
{
std::function<int()> fixed(int n)
{
    return [n] { return n; };
}

void prepare(RateHost& host)
{
    ASSERT_TRUE(host.engine->setSingle(0, plainSingle()));
}
} // namespace

TEST(Resampler, ABlockAt44100NeedsItsEngineSamplesAndPlacesEventsOnThem)
{
    RateHost host(44100.0f);
    prepare(host);
    // 512 x 49920 / 44100 = 579.56: 580 engine samples; host frame 100 is
    // engine sample 113.2, so the event acts at 113.
    host.render(512, {midi(0x90, 69, 100, 0), midi(0xB0, 17, 5, 100)}, fixed(512));
    EXPECT_EQ(host.engine->getSampleTime(), 580u);
    ASSERT_EQ(host.listener.changes.size(), 1u);
    EXPECT_EQ(host.listener.changes[0].sample, 113u);
    // The next block needs 579 (1159.13 in all) and places its events from there.
    host.render(512, {midi(0xB0, 17, 6, 0), midi(0xB0, 17, 7, 511)}, fixed(512));
    EXPECT_EQ(host.engine->getSampleTime(), 1159u);
    ASSERT_EQ(host.listener.changes.size(), 3u);
    EXPECT_EQ(host.listener.changes[1].sample, 580u); // 579.56, after the 580 already rendered
    EXPECT_EQ(host.listener.changes[2].sample, 1158u); // 1158.008
}

TEST(Resampler, AtTheEngineRateTheOutputIsTheEnginesOwn)
{
    const std::vector<k1lib::SMidiEvent> events = {midi(0x90, 60, 100, 3), midi(0xB0, 17, 9, 700),
                                                   midi(0xE0, 0, 90, 1000), midi(0x80, 60, 0, 4000)};
    RateHost direct(0.0f);
    RateHost resampled(49920.0f);
    prepare(direct);
    prepare(resampled);
    Lcg a(7);
    Lcg b(7);
    const auto outA = direct.render(6000, events, [&] { return a.between(1, 700); });
    const auto outB = resampled.render(6000, events, [&] { return b.between(1, 700); });
    EXPECT_EQ(outA, outB);
    ASSERT_EQ(resampled.listener.changes.size(), 1u);
    EXPECT_EQ(resampled.listener.changes[0].sample, 700u);
}

TEST(Resampler, BlocksWithoutFramesOrChannelsRenderNothingAndLoseNoEvent)
{
    RateHost host(48000.0f);
    prepare(host);
    host.render(256, {midi(0x90, 69, 100, 0)}, fixed(256));
    const uint64_t before = host.engine->getSampleTime();

    std::vector<k1lib::SMidiEvent> events = {midi(0xB0, 17, 1, 10)};
    float* none[1] = {nullptr};
    host.engine->process(none, 0, 256, events);
    events = {midi(0xB0, 17, 2, 0)};
    std::vector<float> left(1), right(1);
    float* two[2] = {left.data(), right.data()};
    host.engine->process(two, 2, 0, events);
    EXPECT_EQ(host.engine->getSampleTime(), before);

    // Both act once, in order, at once: the moment the next render starts.
    host.render(256, {}, fixed(256));
    ASSERT_EQ(host.listener.changes.size(), 2u);
    EXPECT_FLOAT_EQ(host.listener.changes[0].value, 1.0f / 127.0f);
    EXPECT_FLOAT_EQ(host.listener.changes[1].value, 2.0f / 127.0f);
    EXPECT_EQ(host.listener.changes[0].sample, before);
    EXPECT_EQ(host.listener.changes[1].sample, before);
}

TEST(Resampler, OnlyEightOutputsAreWrittenAndAChannelChangeRestartsTheConverters)
{
    RateHost host(44100.0f);
    prepare(host);
    host.render(1024, {midi(0x90, 69, 100, 0)}, fixed(512));
    // Twelve outputs: eight converters opened afresh, so the time base starts
    // again with 580 samples for 512 frames; the last four stay untouched.
    uint64_t before = host.engine->getSampleTime();
    const auto out = host.render(512, {}, fixed(512), 12);
    EXPECT_EQ(host.engine->getSampleTime() - before, 580u);
    for (size_t c = 0; c < 12; ++c)
    {
        const bool untouched = std::all_of(out[c].begin(), out[c].end(), [](float v) { return v == -7.0f; });
        EXPECT_EQ(untouched, c >= 8) << "channel " << c;
    }
    // Still eight: the same converters carry on (1159 - 580 samples) and the
    // held note sounds.
    before = host.engine->getSampleTime();
    const auto again = host.render(512, {}, fixed(512), 8);
    EXPECT_EQ(host.engine->getSampleTime() - before, 579u);
    EXPECT_GT(rms(again[0], 0, 512), 0.01);
}

TEST(Resampler, ARateChangeLosesNoWaitingEvent)
{
    RateHost host(44100.0f);
    prepare(host);
    host.render(256, {midi(0x90, 69, 100, 0)}, fixed(256));
    std::vector<k1lib::SMidiEvent> events = {midi(0x80, 69, 0, 0), midi(0xB0, 17, 3, 0)};
    float* none[1] = {nullptr};
    host.engine->process(none, 0, 256, events);
    host.engine->setSamplerate(48000.0f);
    EXPECT_EQ(host.listener.changes.size(), 1u);
    // The note-off acted too: the voice releases and the engine falls idle.
    host.render(48000, {}, fixed(512));
    EXPECT_EQ(host.engine->getMulti().getActiveVoiceCount(), 0u);
    EXPECT_EQ(host.listener.changes.size(), 1u);
}

namespace
{
// The first frame whose magnitude reaches a tenth of the channel's peak.
size_t onset(const std::vector<float>& x)
{
    float peak = 0.0f;
    for (float v : x)
        peak = std::max(peak, std::abs(v));
    for (size_t i = 0; i < x.size(); ++i)
        if (std::abs(x[i]) >= 0.1f * peak)
            return i;
    return x.size();
}
} // namespace

TEST(Resampler, TheDelayItReportsIsTheDelayItHas)
{
    RateHost direct(0.0f);
    RateHost resampled(44100.0f);
    prepare(direct);
    prepare(resampled);
    EXPECT_EQ(direct.engine->getLatency(), 0);
    const int latency = resampled.engine->getLatency();
    EXPECT_EQ(latency, 57); // 64 engine samples of priming at 44.1 kHz

    const auto engineOut = direct.render(2000, {midi(0x90, 96, 127, 0)}, fixed(512));
    const auto hostOut = resampled.render(2000, {midi(0x90, 96, 127, 0)}, fixed(512));
    const double expected = static_cast<double>(onset(engineOut[0])) * 44100.0 / 49920.0;
    EXPECT_NEAR(static_cast<double>(onset(hostOut[0])) - expected, latency, 1.5);
}

TEST(Resampler, TheEngineFallsIdleOnlyOnceTheConvertersHaveLetOutTheSound)
{
    // A note ends close to a block's end, wherever that falls: its tail must
    // leave in the blocks after it, never at the start of the next note.
    k1lib::SinglePreset shortRelease = plainSingle();
    shortRelease.sources[0].envRelease = 0;
    for (int off = 0; off < 512; off += 13)
    {
        RateHost host(44100.0f);
        ASSERT_TRUE(host.engine->setSingle(0, shortRelease));
        const int noteOn = 12 * 512 + 400;
        const auto out = host.render(13 * 512, {midi(0x90, 69, 127, 0), midi(0x80, 69, 0, 512 + off),
                                                 midi(0x90, 69, 127, noteOn)},
                                     fixed(512));
        for (int i = 4 * 512; i < noteOn; ++i)
            ASSERT_EQ(out[0][static_cast<size_t>(i)], 0.0f) << "note-off at " << 512 + off << ", frame " << i;
    }
}
