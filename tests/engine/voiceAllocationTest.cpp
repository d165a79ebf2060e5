// Voice allocation: polyphony and stealing, poly modes, zones, velocity
// switches, channels, and the end of a note.

#include <gtest/gtest.h>

#include <string>

#include "tests/engine/engineTestSupport.h"

using namespace k1test;

namespace
{
k1lib::MultiPreset oneSectionMulti(int zoneLow, int zoneHigh, int velocitySwitch, int poly = 0)
{
    k1lib::MultiPreset m;
    m.volume = 99;
    for (int s = 1; s < 8; ++s)
        m.sections[s].poly = 1; // off
    k1lib::MultiSection& sec = m.sections[0];
    sec.single = 0;
    sec.zoneLow = zoneLow;
    sec.zoneHigh = zoneHigh;
    sec.poly = poly;
    sec.output = 1;
    sec.channel = 0;
    sec.velocitySwitch = velocitySwitch;
    sec.level = 100;
    return m;
}

void useMulti(TestEngine& t, const k1lib::MultiPreset& m, const k1lib::SinglePreset& single = plainSingle())
{
    ASSERT_TRUE(t.engine->setSingle(0, single));
    ASSERT_TRUE(t.engine->setMulti(0, m));
    t.engine->setPlayMode(k1lib::PlayMode::Multi);
    t.render(1);
}

size_t playCount(TestEngine& t, uint8_t key, uint8_t velocity)
{
    t.render(1, {midi(0xB0, 123, 0, 0)});
    t.engine->clearAllVoices();
    t.render(1, {midi(0x90, key, velocity, 0)});
    return t.engine->getMulti().getActiveVoiceCount(0);
}

// Pedal up and all notes off on all sixteen channels, then two seconds or
// more: what still sounds in the last tenth of a second.
size_t voicesAfterAllNotesOff(TestEngine& t, int seconds, double& lastRms)
{
    std::vector<k1lib::SMidiEvent> off;
    for (uint8_t c = 0; c < 16; ++c)
    {
        off.push_back(midi(static_cast<uint8_t>(0xB0 | c), 64, 0, 0));
        off.push_back(midi(static_cast<uint8_t>(0xB0 | c), 123, 0, 0));
    }
    t.render(1, off);
    const auto out = t.render(seconds * 49920);
    lastRms = rms(out[0], out[0].size() - 4992, out[0].size());
    return t.engine->getMulti().getActiveVoiceCount();
}
} // namespace

TEST(EngineVoices, FortyHeldNotesKeepThirtyThreeVoicesInVR)
{
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
    std::vector<k1lib::SMidiEvent> events;
    for (int k = 0; k < 40; ++k)
        events.push_back(midi(0x90, static_cast<uint8_t>(30 + k), 100, k));
    t.render(64, events);
    const k1lib::Multi& multi = t.engine->getMulti();
    EXPECT_EQ(multi.getActiveVoiceCount(0), 33u);
    EXPECT_EQ(multi.getReleasedVoiceCount(0), 7u);
    // The oldest were stolen: the newest 33 keys sound.
    EXPECT_EQ(multi.getActiveVoice(0, 0).getKey(), 37);
    // Stolen voices end within their 20 ms release.
    t.render(2000);
    EXPECT_EQ(multi.getReleasedVoiceCount(0), 0u);
    EXPECT_EQ(multi.getActiveVoiceCount(), 33u);
}

TEST(EngineVoices, ANoteEndsInExactZerosAfterItsRelease)
{
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
    auto out = t.render(20000, {midi(0x90, 60, 100, 0), midi(0x80, 60, 64, 5000)});
    EXPECT_GT(rms(out[0], 1000, 5000), 0.1);
    EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(), 0u);
    // The release (0.14 s) is over well before the end of the render.
    for (size_t i = 5000 + 8000; i < out[0].size(); ++i)
        ASSERT_EQ(out[0][i], 0.0f) << i;
    // Idle blocks are exact zeros too.
    out = t.render(512);
    for (float v : out[1])
        ASSERT_EQ(v, 0.0f);
}

TEST(EngineVoices, ZonesThatWrapAndVelocitySwitchesSplitAt64)
{
    TestEngine t;
    useMulti(t, oneSectionMulti(100, 20, 0));
    for (uint8_t key : {0, 20, 100, 127})
        EXPECT_EQ(playCount(t, key, 100), 1u) << int(key);
    for (uint8_t key : {21, 60, 99})
        EXPECT_EQ(playCount(t, key, 100), 0u) << int(key);

    useMulti(t, oneSectionMulti(0, 127, 1)); // Soft
    EXPECT_EQ(playCount(t, 60, 63), 1u);
    EXPECT_EQ(playCount(t, 60, 64), 0u);
    useMulti(t, oneSectionMulti(0, 127, 2)); // Loud
    EXPECT_EQ(playCount(t, 60, 63), 0u);
    EXPECT_EQ(playCount(t, 60, 64), 1u);
}

TEST(EngineVoices, SectionPolyOneStealsIntoAShortRelease)
{
    TestEngine t;
    useMulti(t, oneSectionMulti(0, 127, 0, 2)); // poly "1"
    t.render(10, {midi(0x90, 60, 100, 0), midi(0x90, 64, 100, 5)});
    EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(0), 1u);
    EXPECT_EQ(t.engine->getMulti().getReleasedVoiceCount(0), 1u);
}

TEST(EngineVoices, PolyModesOfTheSingle)
{
    k1lib::SinglePreset poly1 = plainSingle();
    poly1.polyMode = 0;
    {
        // Poly 1: the same key struck again cuts the earlier voice.
        TestEngine t;
        ASSERT_TRUE(t.engine->setSingle(0, poly1));
        t.render(10, {midi(0x90, 60, 100, 0), midi(0x90, 60, 100, 5)});
        EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(), 1u);
    }
    {
        // Poly 2: both sound.
        TestEngine t;
        ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
        t.render(10, {midi(0x90, 60, 100, 0), midi(0x90, 60, 100, 5)});
        EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(0), 2u);
    }
    {
        // Solo: releasing the newest of two held keys strikes the other again.
        k1lib::SinglePreset solo = plainSingle();
        solo.polyMode = 2;
        TestEngine t;
        ASSERT_TRUE(t.engine->setSingle(0, solo));
        t.render(10, {midi(0x90, 60, 100, 0), midi(0x90, 64, 90, 5)});
        EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(0), 1u);
        EXPECT_EQ(t.engine->getMulti().getActiveVoice(0, 0).getKey(), 64);
        t.render(10, {midi(0x80, 64, 0, 0)});
        ASSERT_EQ(t.engine->getMulti().getActiveVoiceCount(0), 1u);
        EXPECT_EQ(t.engine->getMulti().getActiveVoice(0, 0).getKey(), 60);
    }
}

TEST(EngineVoices, ReceiveChannelAndOmni)
{
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
    k1lib::Engine::Config config;
    config.omni = 0;
    config.receiveChannel = 5;
    t.engine->setConfig(config);
    t.render(10, {midi(0x93, 60, 100, 0)});
    EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(), 0u);
    t.render(10, {midi(0x95, 60, 100, 0)});
    EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(), 1u);
    config.omni = 1;
    t.engine->setConfig(config);
    t.render(10, {midi(0x9B, 62, 100, 0)});
    EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(), 2u);
}

TEST(EngineVoices, HoldPedalKeepsNotesUntilReleased)
{
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
    t.render(10, {midi(0x90, 60, 100, 0), midi(0xB0, 64, 127, 1), midi(0x80, 60, 0, 2)});
    ASSERT_EQ(t.engine->getMulti().getActiveVoiceCount(0), 1u);
    EXPECT_TRUE(t.engine->getMulti().getActiveVoice(0, 0).isKeyHeld());
    t.render(10, {midi(0xB0, 64, 0, 0)});
    ASSERT_EQ(t.engine->getMulti().getActiveVoiceCount(0), 1u);
    EXPECT_FALSE(t.engine->getMulti().getActiveVoice(0, 0).isKeyHeld());
}

TEST(EngineVoices, AllSourcesMutedMakesAVoiceThatEndsAtOnce)
{
    k1lib::SinglePreset p = plainSingle();
    p.mute[0] = true;
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, p));
    const auto out = t.render(10, {midi(0x90, 60, 100, 0)});
    EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(), 0u);
    for (float v : out[0])
        EXPECT_EQ(v, 0.0f);
}

TEST(EngineVoices, OmniControllersTakeEffectAtOnce)
{
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
    // Omni on, single mode: CC124 on any channel listens on channel 0.
    t.render(10, {midi(0xB3, 124, 0, 0)});
    EXPECT_EQ(t.engine->getConfig().omni, 0u);
    EXPECT_EQ(t.engine->getConfig().receiveChannel, 0u);
    t.render(10, {midi(0x93, 60, 100, 0)});
    EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(), 0u);

    // Omni off on channel 5, then CC125: every channel plays again.
    k1lib::Engine::Config config;
    config.omni = 0;
    config.receiveChannel = 5;
    t.engine->setConfig(config);
    t.render(10, {midi(0xB5, 125, 0, 0), midi(0x95, 60, 100, 1), midi(0x9A, 62, 100, 2)});
    EXPECT_EQ(t.engine->getConfig().omni, 1u);
    EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(), 2u);
}

// Single mode with omni on counts every channel's keys and pedal as the
// first channel's, with omni off each channel's as its own. Keys and a pedal
// held while that changes (by the omni controllers, from the settings page,
// by a restored state) end with their note-offs and the pedal's release on
// their own channels, and a key struck on the first channel afterwards ends
// with its own, with a Poly 2 single and with a Solo one, which strikes no
// long-released key again.
TEST(EngineVoices, HeldKeysEndWhenOmniChangesUnderThem)
{
    k1lib::Engine::Config omniOn, channel1, channel4;
    channel1.omni = channel4.omni = 0;
    omniOn.receiveChannel = channel4.receiveChannel = 3; // CC125 leaves the receive channel
    const char* paths[] = {"controller", "settings", "state"};
    for (uint32_t polyMode : {1u, 2u})
        for (bool toOmni : {false, true})
            for (int path = 0; path < 3; ++path)
            {
                const std::string what = std::string(polyMode == 2 ? "Solo, " : "Poly 2, ") +
                                         (toOmni ? "omni on by " : "omni off by ") + paths[path];
                k1lib::SinglePreset single = plainSingle();
                single.polyMode = polyMode;
                const k1lib::Engine::Config& to = toOmni ? omniOn : channel1;
                std::vector<uint8_t> state;
                {
                    TestEngine other;
                    ASSERT_TRUE(other.engine->setSingle(0, single));
                    other.engine->setConfig(to);
                    ASSERT_TRUE(other.engine->saveState(state));
                }
                TestEngine t;
                ASSERT_TRUE(t.engine->setSingle(0, single));
                t.engine->setConfig(toOmni ? channel4 : omniOn);
                // Keys 60 and 64 on channel 4, 62 on channel 1; the pedal on
                // channel 4 holds 64 after its note-off.
                t.render(4992, {midi(0xB3, 64, 127, 0), midi(0x93, 60, 100, 10), midi(0x90, 62, 100, 20),
                                midi(0x93, 64, 100, 30), midi(0x83, 64, 0, 2000)});
                ASSERT_GT(t.engine->getMulti().getActiveVoiceCount(), 0u) << what;
                if (path == 0)
                    t.render(1, {midi(0xB3, toOmni ? 125 : 124, 0, 0)});
                else if (path == 1)
                    t.engine->setConfig(to);
                else
                    ASSERT_TRUE(t.engine->loadState(state)) << what;
                ASSERT_EQ(t.engine->getConfig(), to) << what;
                t.render(4992, {midi(0x83, 60, 0, 0), midi(0x80, 62, 0, 10), midi(0xB3, 64, 0, 20),
                                midi(0x90, 67, 100, 30), midi(0x80, 67, 0, 2000)});
                const auto out = t.render(2 * 49920);
                EXPECT_EQ(t.engine->getMulti().getActiveVoiceCount(), 0u) << what;
                EXPECT_EQ(rms(out[0], out[0].size() - 4992, out[0].size()), 0.0) << what;
            }
}

TEST(EngineVoices, AllNotesOffOnEveryChannelSilencesEveryVoice)
{
    // Poly 2: a key struck again while the pedal still holds its first
    // strike sounds twice, but one note-off clears both of its counts (the
    // held strike and the pedal's). Pedal up and all notes off on all sixteen
    // channels must still end both voices.
    TestEngine t;
    k1lib::SinglePreset p = plainSingle();
    p.polyMode = 1;
    ASSERT_TRUE(t.engine->setSingle(0, p));
    t.render(3000, {midi(0xB0, 64, 127, 0), midi(0x90, 60, 100, 10), midi(0x80, 60, 0, 1000),
                    midi(0x90, 60, 90, 2000)});
    ASSERT_EQ(t.engine->getMulti().getActiveVoiceCount(), 2u);
    double last = -1.0;
    EXPECT_EQ(voicesAfterAllNotesOff(t, 3, last), 0u);
    EXPECT_EQ(last, 0.0);
}

// Voices held while their section changes under them: its level goes to 0,
// its poly to "off", its channel moves, its single changes, the play mode
// and the multi stay. Pedal up and all notes off on every channel end every
// one of them within its release, in exact zeros.
TEST(EngineVoices, AllNotesOffEndsVoicesOfSectionsThatChangedWhileTheySounded)
{
    struct Change
    {
        const char* what;
        k1lib::EParam param;
        float value; // real value
    };
    const Change changes[] = {
        {"level 0", static_cast<k1lib::EParam>(k1lib::Param_MultiS1Level + 1), 0.0f},
        {"poly off", static_cast<k1lib::EParam>(k1lib::Param_MultiS1Poly + 1), 1.0f},
        {"single", static_cast<k1lib::EParam>(k1lib::Param_MultiS1Single + 1), 5.0f},
    };
    for (const Change& change : changes)
    {
        TestEngine t;
        for (int s = 0; s < 2; ++s)
            ASSERT_TRUE(t.engine->setSingle(static_cast<size_t>(s), plainSingle()));
        ASSERT_TRUE(t.engine->setMulti(0, channelMulti(2)));
        t.engine->setPlayMode(k1lib::PlayMode::Multi);
        t.render(256, {midi(0xB1, 64, 127, 0), midi(0x90, 60, 100, 0), midi(0x91, 64, 100, 0), midi(0x81, 64, 0, 100)});
        ASSERT_EQ(t.engine->getMulti().getActiveVoiceCount(1), 1u) << change.what;
        const k1lib::CParam& row = k1lib::g_params[change.param];
        ASSERT_TRUE(t.engine->setParameter(change.param, (change.value - row.min) * row.invRange, false)) << change.what;
        t.render(4992);
        double last = -1.0;
        EXPECT_EQ(voicesAfterAllNotesOff(t, 2, last), 0u) << change.what;
        EXPECT_EQ(last, 0.0) << change.what;
    }
}
