// The engine core: event timing within a block, parameters per play mode,
// settings, and the output's independence of how the host cuts its blocks,
// guarded by a golden hash of a fixed scene.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <utility>

#include "tests/engine/engineTestSupport.h"

using namespace k1test;

namespace
{
// A scene that moves everything that moves per sample: auto-bend, vibrato
// from the LFO, pressure, bend, amplitude modulation, a controller ramp.
k1lib::SinglePreset movingSingle()
{
    k1lib::SinglePreset p = plainSingle(0);
    p.source2or4 = 1;
    p.mute[1] = false;
    p.mute[2] = false;
    p.mute[3] = false;
    p.ampModS3S4 = 1;
    p.vibratoDepth = 75;
    p.lfoSpeed = 60;
    p.lfoShape = 0;
    p.autoBendDepth = 80;
    p.autoBendTime = 30;
    p.pressureToFreq = 60;
    p.sources[0].vibABend = true;
    // Pure partials only (wave indexes 0-12 are sines of harmonics 1-12, 16),
    // so that the hash follows the engine rather than the sampled sounds.
    p.sources[1].wave = 1;
    p.sources[1].coarse = 96;
    p.sources[1].vibABend = true;
    p.sources[1].envAttack = 30;
    p.sources[1].envDelay = 10;
    p.sources[2].wave = 4;
    p.sources[2].pressureToFreq = true;
    p.sources[2].levelModPressure = 80;
    p.sources[3].wave = 12;
    p.sources[3].envDecay = 40;
    p.sources[3].envSustain = 40;
    p.sources[3].levelModVel = 80;
    return p;
}

std::vector<k1lib::SMidiEvent> movingScene()
{
    return {midi(0x90, 60, 100, 0),    midi(0x90, 64, 80, 700),   midi(0xD0, 90, 0, 1500),
            midi(0xE0, 0, 80, 2300),   midi(0xB0, 16, 30, 2600),  midi(0x90, 67, 127, 3100),
            midi(0xB0, 1, 127, 4000),  midi(0x80, 60, 0, 9000),   midi(0x90, 72, 60, 9001),
            midi(0xB0, 10, 20, 12000), midi(0x80, 64, 0, 15000),  midi(0xB0, 123, 0, 20000)};
}

uint64_t fnv1a(const std::vector<std::vector<float>>& channels)
{
    uint64_t h = 1469598103934665603ull;
    for (const auto& channel : channels)
    {
        for (float v : channel)
        {
            uint32_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            for (int b = 0; b < 4; ++b)
            {
                h ^= (bits >> (8 * b)) & 0xFF;
                h *= 1099511628211ull;
            }
        }
    }
    return h;
}

// automated: the host also ramps five of the single's parameters and a
// source mix. ahead: voices render ahead of short spans, as they do unless a
// test turns it off.
std::vector<std::vector<float>> renderMovingScene(int blockSize, bool automated = false, bool ahead = true)
{
    TestEngine t;
    t.engine->setRenderAhead(ahead);
    EXPECT_TRUE(t.engine->setSingle(0, movingSingle()));
    if (automated)
    {
        t.render(1);
        EXPECT_TRUE(t.engine->setParameter(k1lib::Param_LfoSpeed, 0.1f, true));
        EXPECT_TRUE(t.engine->setParameter(k1lib::Param_Volume, 0.3f, true));
        EXPECT_TRUE(t.engine->setParameter(k1lib::Param_PitchBendDepth, 0.5f, true));
        EXPECT_TRUE(t.engine->setParameter(k1lib::Param_SourceMix12, 0.8f, true));
        // Fields the sounding voices read as they play.
        EXPECT_TRUE(t.engine->setParameter(k1lib::Param_AutoBendTime, 0.0f, true));
        EXPECT_TRUE(t.engine->setParameter(k1lib::Param_SourceS3LevelModPressure, 0.2f, true));
    }
    return t.render(30000, movingScene(), 2, blockSize);
}

// At the rate a host may run the engine at unconverted: a MIDI program change
// in a block and one from the host between blocks each stop every voice, omni
// going off releases a held note, and each note after the pause finds the LFO
// where the silence left it.
std::vector<std::vector<float>> renderProgramChanges(int blockSize)
{
    TestEngine t;
    t.engine->setSamplerate(49920.0f);
    k1lib::SinglePreset random = movingSingle();
    random.lfoShape = 3;
    random.lfoSpeed = 90;
    EXPECT_TRUE(t.engine->setSingle(1, movingSingle()));
    EXPECT_TRUE(t.engine->setSingle(2, random));
    auto out = t.render(20000,
                        {midi(0x90, 60, 100, 0), midi(0xC0, 1, 0, 3001), midi(0x90, 64, 100, 9007),
                         midi(0xB5, 124, 0, 14003)},
                        2, blockSize);
    EXPECT_TRUE(t.engine->setSingle(2));
    const auto next = t.render(20000, {midi(0x90, 67, 100, 7001)}, 2, blockSize);
    for (size_t c = 0; c < out.size(); ++c)
        out[c].insert(out[c].end(), next[c].begin(), next[c].end());
    return out;
}
} // namespace

// Against rendering span by span: at every block size, whether the voices
// render ahead of the spans or not.
TEST(EngineCore, OutputDoesNotDependOnTheHostBlockSize)
{
    const auto reference = renderMovingScene(4096, false, false);
    for (int blockSize : {1, 7, 64, 512, 4096})
        EXPECT_TRUE(renderMovingScene(blockSize) == reference) << "block size " << blockSize;

    const auto automated = renderMovingScene(4096, true, false);
    EXPECT_FALSE(automated == reference);
    for (int blockSize : {1, 64, 4096})
        EXPECT_TRUE(renderMovingScene(blockSize, true) == automated) << "automated, block size " << blockSize;

    const auto changed = renderProgramChanges(4096);
    for (int blockSize : {1, 7, 333, 512})
        EXPECT_TRUE(renderProgramChanges(blockSize) == changed) << "program changes, block size " << blockSize;
}

namespace
{
// Multi mode, four sections: held notes under a bend and a wheel that
// deepens their vibrato, notes under the hold pedal and all-notes-off, a
// stream of short notes stealing in a section of three voices whose notes
// also end by themselves, pressure moving a level; two sounding singles
// edited, a section moved to another channel, then taken out of it (level 0)
// while its note sounds, which its note-off still ends.
std::vector<std::vector<float>> renderBusyMulti(int blockSize, bool ahead = true)
{
    TestEngine t;
    t.engine->setRenderAhead(ahead);
    k1lib::SinglePreset wheeled = movingSingle();
    wheeled.vibWheelMode = 0; // the wheel deepens the vibrato
    wheeled.autoBendTime = 0;
    k1lib::SinglePreset pluck = plainSingle(5);
    pluck.sources[0].envDecay = 15;
    pluck.sources[0].envSustain = 0;
    k1lib::SinglePreset pressed = plainSingle(7);
    pressed.sources[0].envLevel = 60;
    pressed.sources[0].levelModPressure = 90;
    // Singles 1-4: storing the current single (0) would stop every voice.
    const k1lib::SinglePreset singles[4] = {wheeled, plainSingle(2), pluck, pressed};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_TRUE(t.engine->setSingle(i + 1, singles[i]));
    k1lib::MultiPreset m = channelMulti(4, 1);
    m.sections[2].poly = 5; // three voices
    EXPECT_TRUE(t.engine->setMulti(0, m));
    t.engine->setPlayMode(k1lib::PlayMode::Multi);

    std::vector<k1lib::SMidiEvent> events{
        midi(0x90, 48, 100, 0),    midi(0x90, 55, 90, 0),    midi(0x90, 60, 80, 0),    midi(0xE0, 0, 90, 3011),
        midi(0xB0, 1, 100, 6037),  midi(0xE0, 0, 64, 9029),  midi(0x80, 48, 0, 20011), midi(0xB1, 64, 127, 1000),
        midi(0x91, 60, 100, 1207), midi(0x91, 64, 100, 1301), midi(0x91, 67, 100, 1409), midi(0x81, 60, 0, 2003),
        midi(0x81, 64, 0, 2111),   midi(0x81, 67, 0, 2203),  midi(0xB1, 64, 0, 8017),  midi(0x91, 72, 100, 9001),
        midi(0xB1, 123, 0, 15013), midi(0x93, 50, 100, 0),   midi(0xD3, 80, 0, 4019),  midi(0xD3, 20, 0, 4513),
        midi(0xD3, 127, 0, 7039),  midi(0x93, 62, 100, 12503), midi(0x95, 74, 100, 16001), midi(0x85, 74, 0, 21003)};
    for (int i = 0, at = 500; at < 16000; ++i, at += 333)
    {
        const auto key = static_cast<uint8_t>(40 + (i * 7) % 36);
        events.push_back(midi(0x92, key, 100, at));
        events.push_back(midi(0x82, key, 0, at + 120 + i % 5));
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const auto& a, const auto& b) { return a.sampleOffset < b.sampleOffset; });
    // Edits between blocks, each at its sample.
    const auto editSingles = [&] {
        wheeled.sources[0].vibABend = false;
        pressed.sources[0].levelModPressure = 20;
        EXPECT_TRUE(t.engine->setSingle(1, wheeled));
        EXPECT_TRUE(t.engine->setSingle(4, pressed));
    };
    const auto moveSection = [&] {
        const k1lib::CParam& channel = k1lib::g_params[k1lib::Param_MultiS2Channel];
        EXPECT_TRUE(t.engine->setParameter(k1lib::Param_MultiS2Channel, (5.0f - channel.min) * channel.invRange, false));
    };
    const auto silenceSection = [&] { EXPECT_TRUE(t.engine->setParameter(k1lib::Param_MultiS2Level, 0.0f, false)); };
    const std::pair<int, std::function<void()>> parts[] = {
        {10301, editSingles}, {14107, moveSection}, {18000, silenceSection}, {24000, [] {}}};
    std::vector<std::vector<float>> out(2);
    int from = 0;
    auto next = events.begin();
    for (const auto& [to, edit] : parts)
    {
        std::vector<k1lib::SMidiEvent> part;
        for (; next != events.end() && next->sampleOffset < to; ++next)
        {
            part.push_back(*next);
            part.back().sampleOffset -= from;
        }
        const auto rendered = t.render(to - from, part, 2, blockSize);
        for (size_t c = 0; c < out.size(); ++c)
            out[c].insert(out[c].end(), rendered[c].begin(), rendered[c].end());
        edit();
        from = to;
    }
    return out;
}
} // namespace

TEST(EngineCore, ABusyMultiPlaysTheSameSamplesAtEveryBlockSize)
{
    const auto reference = renderBusyMulti(4096, false);
    EXPECT_GT(rms(reference[0], 0, reference[0].size()), 0.01);
    for (int blockSize : {1, 5, 16, 100, 4096})
        EXPECT_TRUE(renderBusyMulti(blockSize) == reference) << "block size " << blockSize;
}

TEST(EngineCore, GoldenHashOfAFixedScene)
{
    const auto out = renderMovingScene(512);
    EXPECT_GT(rms(out[0], 0, out[0].size()), 0.05);
    // Changes only with a deliberate change of the sound, or of the sine
    // partials of the wave ROM.
    EXPECT_EQ(fnv1a(out), 0x20b9e263c38e7cb1ull) << std::hex << fnv1a(out);
    // Ramps land on their own samples, however the engine batches its work.
    const auto automated = renderMovingScene(512, true);
    EXPECT_EQ(fnv1a(automated), 0x656bd0f4c2a6f6eaull) << std::hex << fnv1a(automated);
}

TEST(EngineCore, RatesNoHostCanMeanAreRefused)
{
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
    EXPECT_TRUE(t.engine->setSamplerate(44100.0f));
    // 1 Hz took 20 s a block; 1e15, 3e38 and 1e-30 never came back.
    for (float rate : {1.0f, 7999.0f, 768001.0f, 1e15f, 3e38f, 1e-30f, std::nanf(""), INFINITY, 0.0f, -44100.0f})
    {
        EXPECT_FALSE(t.engine->setSamplerate(rate)) << rate;
        EXPECT_EQ(t.engine->getHostSamplerate(), 44100.0f) << rate;
    }
    // The edges are rates a host may run at: a note plays at each.
    for (float rate : {8000.0f, 768000.0f})
    {
        EXPECT_TRUE(t.engine->setSamplerate(rate));
        EXPECT_EQ(t.engine->getHostSamplerate(), rate);
        const auto out = t.render(1024, {midi(0x90, 69, 100, 0), midi(0x80, 69, 0, 1000)});
        EXPECT_GT(rms(out[0], 0, out[0].size()), 0.01) << rate;
    }
}

TEST(EngineCore, EventsActAtTheirSample)
{
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
    t.render(1);
    // Offsets -1 and 0 act before sample 0; 5 before sample 5.
    std::vector<float> left(64), right(64);
    float* outputs[2] = {left.data(), right.data()};
    std::vector<k1lib::SMidiEvent> events{midi(0xB0, 10, 0, -1), midi(0xB0, 7, 127, 0), midi(0x90, 72, 100, 5)};
    t.engine->process(outputs, 2, 64, events);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(left[i], 0.0f) << i;
    EXPECT_NE(left[5], 0.0f);
    for (float v : right)
        EXPECT_EQ(v, 0.0f); // the pan of offset -1 came first
}

TEST(EngineCore, LateAndOverdueEventsAreNeverLost)
{
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
    std::vector<float> left(64), right(64);
    float* outputs[2] = {left.data(), right.data()};
    // Out of order: the note-on at 2 comes after one at 10 and still plays;
    // a note-off beyond the block acts on its last sample.
    std::vector<k1lib::SMidiEvent> events{midi(0x90, 60, 100, 10), midi(0x90, 64, 100, 2), midi(0x80, 60, 0, 64),
                                          midi(0x80, 64, 0, 1000)};
    t.engine->process(outputs, 2, 64, events);
    const k1lib::Multi& multi = t.engine->getMulti();
    ASSERT_EQ(multi.getActiveVoiceCount(0), 2u);
    EXPECT_FALSE(multi.getActiveVoice(0, 0).isKeyHeld());
    EXPECT_FALSE(multi.getActiveVoice(0, 1).isKeyHeld());

    // A block of no frames still delivers its events.
    std::vector<k1lib::SMidiEvent> more{midi(0x90, 67, 100, 0)};
    t.engine->process(outputs, 2, 0, more);
    EXPECT_EQ(multi.getActiveVoiceCount(0), 3u);
}

TEST(EngineCore, ParametersBelongToTheirPlayMode)
{
    TestEngine t;
    EXPECT_TRUE(t.engine->setParameter(k1lib::Param_Volume, 0.5f, false));
    t.engine->setPlayMode(k1lib::PlayMode::Multi);
    EXPECT_EQ(t.listener.playModeChanges, 1);
    EXPECT_FALSE(t.engine->setParameter(k1lib::Param_Volume, 0.5f, false));
    EXPECT_TRUE(t.engine->setParameter(k1lib::Param_MultiVolume, 0.5f, false));
    t.engine->setPlayMode(k1lib::PlayMode::Single);
    EXPECT_FALSE(t.engine->setParameter(k1lib::Param_MultiVolume, 0.5f, false));

    // 0.7 rounds to multi.
    EXPECT_TRUE(t.engine->setParameter(k1lib::Param_Mode, 0.7f, false));
    EXPECT_EQ(t.engine->getPlayMode(), k1lib::PlayMode::Multi);
    EXPECT_EQ(t.listener.playModeChanges, 3);
}

TEST(EngineCore, EditsReachTheCurrentSingleThroughTheRamp)
{
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
    const k1lib::CParam& row = k1lib::g_params[k1lib::Param_PitchBendDepth];
    ASSERT_TRUE(t.engine->setParameter(k1lib::Param_PitchBendDepth, (2.0f - row.min) * row.invRange, false));
    EXPECT_EQ(t.engine->getBendRange(), 12);
    t.render(2);
    EXPECT_EQ(t.engine->getCurrentSingle().pitchBendDepth, 2u);
    EXPECT_EQ(t.engine->getBendRange(), 2);
}

TEST(EngineCore, SampleRateAndIdleBlocks)
{
    TestEngine t;
    EXPECT_EQ(t.engine->getProcessingSamplerate(), 49920.0f);
    t.engine->setSamplerate(0.0f);
    t.engine->setSamplerate(-44100.0f);
    EXPECT_EQ(t.engine->getHostSamplerate(), 0.0f);
    t.engine->setSamplerate(44100.0f);
    EXPECT_EQ(t.engine->getHostSamplerate(), 44100.0f);

    // Once the first parameter pass is done, a block without anything to
    // play is exact zeros; more than eight outputs are left alone.
    t.render(1);
    std::vector<std::vector<float>> out(10, std::vector<float>(32, 3.0f));
    std::vector<float*> ptrs;
    for (auto& c : out)
        ptrs.push_back(c.data());
    std::vector<k1lib::SMidiEvent> none;
    t.engine->process(ptrs.data(), 10, 32, none);
    for (int c = 0; c < 10; ++c)
        for (float v : out[c])
            ASSERT_EQ(v, c < 8 ? 0.0f : 3.0f);
}

namespace
{
// Random start points (wave 235 "String Loop") and the "Random" LFO shape
// through a deep vibrato, notes struck again and again.
k1lib::SinglePreset randomSingle()
{
    k1lib::SinglePreset p = plainSingle(234);
    p.source2or4 = 1;
    p.mute[1] = false;
    p.sources[1].wave = 235;
    p.vibratoDepth = 90;
    p.lfoSpeed = 90;
    p.lfoShape = 3;
    p.sources[0].vibABend = true;
    return p;
}

std::vector<k1lib::SMidiEvent> strikes(uint8_t key)
{
    std::vector<k1lib::SMidiEvent> events;
    for (int32_t t = 0; t < 40000; t += 2500)
    {
        events.push_back(midi(0x90, key, 100, t));
        events.push_back(midi(0x80, key, 0, t + 2000));
    }
    return events;
}

// Renders one block of each engine in turn, as a host runs two instances.
std::vector<std::vector<std::vector<float>>> renderTogether(std::vector<TestEngine*> engines,
                                                            const std::vector<std::vector<k1lib::SMidiEvent>>& events)
{
    constexpr int kFrames = 44000, kBlock = 500;
    std::vector<std::vector<std::vector<float>>> out(engines.size());
    for (int start = 0; start < kFrames; start += kBlock)
    {
        for (size_t i = 0; i < engines.size(); ++i)
        {
            std::vector<k1lib::SMidiEvent> block;
            for (const k1lib::SMidiEvent& e : events[i])
                if (e.sampleOffset >= start && e.sampleOffset < start + kBlock)
                    block.push_back(midi(e.status, e.data1, e.data2, e.sampleOffset - start));
            const auto piece = engines[i]->render(kBlock, block, 2, kBlock);
            out[i].resize(2);
            for (int c = 0; c < 2; ++c)
                out[i][c].insert(out[i][c].end(), piece[c].begin(), piece[c].end());
        }
    }
    return out;
}
} // namespace

TEST(EngineCore, EachInstanceDrawsItsOwnRandomNumbers)
{
    auto setUp = [](TestEngine& t) {
        ASSERT_TRUE(t.engine->setSingle(0, randomSingle()));
        ASSERT_TRUE(t.engine->setSingle(0));
    };
    TestEngine alone, otherAlone;
    setUp(alone);
    setUp(otherAlone);
    const auto reference = renderTogether({&alone}, {strikes(60)})[0];
    const auto otherReference = renderTogether({&otherAlone}, {strikes(67)})[0];
    EXPECT_GT(rms(reference[0], 0, reference[0].size()), 0.01);

    // Two instances drawing their own numbers between each other's blocks
    // each play what they play alone, and a fresh instance plays the same
    // again.
    TestEngine a, b;
    setUp(a);
    setUp(b);
    const auto together = renderTogether({&a, &b}, {strikes(60), strikes(67)});
    EXPECT_TRUE(together[0] == reference);
    EXPECT_TRUE(together[1] == otherReference);
    // What is read-only (the wave ROM and the waves built from it) exists
    // once in the process.
    EXPECT_EQ(&a.engine->getWaveforms(), &b.engine->getWaveforms());
    TestEngine fresh;
    setUp(fresh);
    EXPECT_TRUE(renderTogether({&fresh}, {strikes(60)})[0] == reference);
}

TEST(EngineCore, SelectingAMultiInSingleModeLeavesTheVoicesAlone)
{
    k1test::TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, k1test::plainSingle()));
    t.render(256, {k1test::midi(0x90, 60, 100, 0)});
    ASSERT_EQ(t.engine->getMulti().getActiveVoiceCount(), 1u);
    // The browser selects multis while single mode plays.
    ASSERT_TRUE(t.engine->setMulti(5));
    k1lib::MultiPreset edited = t.engine->getCurrentMulti();
    edited.volume = edited.volume == 99 ? 98 : 99;
    ASSERT_TRUE(t.engine->setMulti(5, edited));
    EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(), 1u);
    EXPECT_TRUE(t.engine->getMulti().getMulti() == t.engine->getMulti().getSingleModeMulti());
    const auto out = t.render(256);
    EXPECT_GT(k1test::rms(out[0], 0, 256), 0.01);
    // Multi mode then plays the multi selected.
    t.engine->setPlayMode(k1lib::PlayMode::Multi);
    EXPECT_TRUE(t.engine->getMulti().getMulti() == edited);
}
