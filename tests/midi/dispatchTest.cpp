// MIDI input dispatch: which channel an event plays on and which settings
// gate it, the omni controllers, program changes by storage and per channel,
// the source-mix controllers, and data bytes from a broken host.

#include <gtest/gtest.h>

#include "tests/midi/midiTestSupport.h"

using namespace k1test;

namespace
{
constexpr float kRate = 44100.0f;

// Renders one short block at the host rate with the given events at its start.
void play(RateHost& host, std::vector<k1lib::SMidiEvent> events, int frames = 64)
{
    host.render(frames, std::move(events), [] { return 64; });
}

// Multi mode with sections 0-3 playing the plain sine on channels 0-3.
void setupChannelMulti(k1lib::Engine& engine)
{
    k1lib::MultiPreset m;
    m.volume = 80;
    for (int s = 0; s < 4; ++s)
    {
        ASSERT_TRUE(engine.setSingle(static_cast<size_t>(s), plainSingle()));
        k1lib::MultiSection& sec = m.sections[s];
        sec.single = s;
        sec.zoneLow = 0;
        sec.zoneHigh = 127;
        sec.poly = 0;
        sec.output = 1;
        sec.channel = s;
        sec.level = 80;
    }
    ASSERT_TRUE(engine.setMulti(0, m));
    engine.setPlayMode(k1lib::PlayMode::Multi);
}

size_t voicesOnChannel(const k1lib::Engine& engine, uint8_t channel)
{
    size_t n = 0;
    for (size_t s = 0; s < k1lib::Multi::kSectionCount; ++s)
    {
        for (size_t v = 0; v < engine.getMulti().getActiveVoiceCount(s); ++v)
            n += engine.getMulti().getActiveVoice(s, v).getChannel() == channel ? 1 : 0;
    }
    return n;
}
} // namespace

TEST(MidiDispatch, OmniInSingleModeFoldsEveryChannelOntoTheFirst)
{
    RateHost host(kRate);
    ASSERT_TRUE(host.engine->setSingle(0, plainSingle()));
    play(host, {midi(0x97, 60, 100, 0), midi(0xB7, 7, 0, 1), midi(0xBA, 10, 0, 2)});
    EXPECT_EQ(voicesOnChannel(*host.engine, 0), 1u);
    EXPECT_FLOAT_EQ(host.engine->getMidiState(0).volume, 0.0f);
    EXPECT_FLOAT_EQ(host.engine->getMidiState(7).volume, 1.0f);
    EXPECT_FLOAT_EQ(host.engine->getMidiState(0).panRight, 0.0f);
    EXPECT_FLOAT_EQ(host.engine->getMidiState(0).panLeft, 1.0f);
    play(host, {midi(0xB0, 10, 127, 0)});
    EXPECT_FLOAT_EQ(host.engine->getMidiState(0).panRight, 1.0f);
    EXPECT_FLOAT_EQ(host.engine->getMidiState(0).panLeft, 1.0f / 64.0f);
}

TEST(MidiDispatch, ReceiveChannelGatesRegistersButNotNotes)
{
    RateHost host(kRate);
    setupChannelMulti(*host.engine);
    k1lib::Engine::Config config;
    config.omni = 0;
    config.receiveChannel = 2;
    host.engine->setConfig(config);
    // A note on another channel still plays in that channel's section; its
    // bank select and program change are not for this instrument.
    play(host, {midi(0x93, 60, 100, 0), midi(0xB3, 0, 1, 1), midi(0xC3, 70, 0, 2)});
    EXPECT_EQ(voicesOnChannel(*host.engine, 3), 1u);
    EXPECT_EQ(host.engine->getCurrentMultiIndex(), 0u);
    // So the program on the receive channel counts from bank 0: single 5.
    play(host, {midi(0xC2, 5, 0, 0)});
    EXPECT_EQ(host.engine->getPlayMode(), k1lib::PlayMode::Single);
    EXPECT_EQ(host.engine->getCurrentSingleIndex(), 5u);
    // Source-mix controllers from another channel are ignored too.
    const int before = host.listener.parameterChanges;
    play(host, {midi(0xB3, 16, 127, 0)});
    EXPECT_EQ(host.listener.parameterChanges, before);
}

TEST(MidiDispatch, OmniControllersChangeTheSettingsReportAndRemap)
{
    RateHost host(kRate);
    ASSERT_TRUE(host.engine->setSingle(0, plainSingle()));
    k1lib::Engine::Config config;
    config.omni = 0;
    config.receiveChannel = 2;
    host.engine->setConfig(config);
    const int reports = host.listener.configChanges;

    // Omni on: the single now listens on every channel, at once.
    play(host, {midi(0xB2, 125, 0, 0), midi(0x99, 60, 100, 1)});
    EXPECT_EQ(host.engine->getConfig().omni, 1u);
    EXPECT_EQ(host.listener.configChanges, reports + 1);
    EXPECT_EQ(host.engine->getMulti().getActiveVoiceCount(), 1u);

    // Omni off from any channel in single mode: receive channel 0.
    play(host, {midi(0xB5, 124, 0, 0), midi(0x95, 62, 100, 1), midi(0x90, 64, 100, 2)});
    EXPECT_EQ(host.engine->getConfig().omni, 0u);
    EXPECT_EQ(host.engine->getConfig().receiveChannel, 0u);
    EXPECT_EQ(host.listener.configChanges, reports + 2);
    EXPECT_EQ(voicesOnChannel(*host.engine, 5), 0u);
    EXPECT_EQ(voicesOnChannel(*host.engine, 0), 2u); // the first note and key 64
    // Saying it again changes and reports nothing.
    play(host, {midi(0xB0, 124, 0, 0)});
    EXPECT_EQ(host.listener.configChanges, reports + 2);

    // In multi mode the working channel is the event's own.
    host.engine->setPlayMode(k1lib::PlayMode::Multi);
    play(host, {midi(0xB0, 125, 0, 0), midi(0xB4, 124, 0, 1)});
    EXPECT_EQ(host.engine->getConfig().omni, 0u);
    EXPECT_EQ(host.engine->getConfig().receiveChannel, 4u);
    EXPECT_EQ(host.listener.configChanges, reports + 4);
}

TEST(MidiDispatch, ProgramChangesFollowTheSettingAndTheBankLsb)
{
    RateHost host(kRate);
    k1lib::Engine::Config config;
    config.programChange = 0;
    host.engine->setConfig(config);
    play(host, {midi(0xC0, 9, 0, 0)});
    EXPECT_EQ(host.engine->getCurrentSingleIndex(), 0u);

    // Bank LSB 2 picks the third storage of singles.
    config.programChange = 1;
    host.engine->setConfig(config);
    const auto& storages = k1lib::Engine::getStorageInfos(k1lib::PlayMode::Single);
    ASSERT_GT(storages.size(), 2u);
    play(host, {midi(0xB0, 32, 2, 0), midi(0xC0, 4, 0, 1)});
    EXPECT_EQ(host.engine->getCurrentSingleIndex(), storages[2].firstIndex + 4);
    // The bank registers are spent: the next program counts from 0 again.
    play(host, {midi(0xC0, 6, 0, 0)});
    EXPECT_EQ(host.engine->getCurrentSingleIndex(), 6u);

    // Per channel in multi mode: the section on that channel changes single,
    // the play mode stays.
    setupChannelMulti(*host.engine);
    config.programChange = 2;
    host.engine->setConfig(config);
    play(host, {midi(0xC1, 9, 0, 0)});
    EXPECT_EQ(host.engine->getPlayMode(), k1lib::PlayMode::Multi);
    const k1lib::CParam& row = k1lib::g_params[k1lib::Param_MultiS2Single];
    EXPECT_NEAR(host.engine->getParameter(k1lib::Param_MultiS2Single), (9.0f - row.min) * row.invRange, 1e-6f);
    // Programs 64-127 still select a multi.
    play(host, {midi(0xC1, 64 + 35, 0, 0)});
    EXPECT_EQ(host.engine->getCurrentMultiIndex(), 3u);
}

TEST(MidiDispatch, SourceMixControllersRampAndReport)
{
    RateHost host(kRate);
    play(host, {midi(0xB0, 16, 127, 0), midi(0xB0, 17, 0, 1)});
    ASSERT_EQ(host.listener.changes.size(), 2u);
    EXPECT_EQ(host.listener.changes[0].param, k1lib::Param_SourceMix12);
    EXPECT_FLOAT_EQ(host.listener.changes[0].value, 1.0f);
    EXPECT_EQ(host.listener.changes[1].param, k1lib::Param_SourceMix34);
    EXPECT_FLOAT_EQ(host.listener.changes[1].value, 0.0f);
    EXPECT_FLOAT_EQ(host.engine->getParameter(k1lib::Param_SourceMix12), 1.0f);
    // A ramp, not a jump: the smoothed value is still on its way.
    const float current = host.engine->getParameterManager().getCurrent(k1lib::Param_SourceMix12);
    EXPECT_GT(current, 0.0f);
    EXPECT_LT(current, 1.0f);
}

TEST(MidiDispatch, DataBytesFromABrokenHostAreMaskedToSevenBits)
{
    RateHost host(kRate);
    ASSERT_TRUE(host.engine->setSingle(0, plainSingle()));
    play(host, {midi(0x90, 200, 200, 0), midi(0xB0, 0x80 | 7, 255, 1), midi(0xE0, 0xFF, 0xFF, 2),
                midi(0xD0, 0xFF, 0, 3)});
    ASSERT_EQ(host.engine->getMulti().getActiveVoiceCount(0), 1u);
    EXPECT_EQ(host.engine->getMulti().getActiveVoice(0, 0).getKey(), 72);
    EXPECT_EQ(host.engine->getMulti().getActiveVoice(0, 0).getVelocity(), 72);
    EXPECT_FLOAT_EQ(host.engine->getMidiState(0).volume, 1.0f);
    EXPECT_FLOAT_EQ(host.engine->getMidiState(0).bend, 8191.0f / 8192.0f);
    EXPECT_FLOAT_EQ(host.engine->getMidiState(0).pressure, 1.0f);
    // Note-off of key 200 is the note-off of key 72; program 200 is 72.
    play(host, {midi(0x80, 200, 0, 0), midi(0xC0, 200, 0, 1)});
    EXPECT_EQ(host.engine->getPlayMode(), k1lib::PlayMode::Multi);
    EXPECT_EQ(host.engine->getCurrentMultiIndex(), 8u);
}

TEST(MidiDispatch, HoldPedalKeepsReleasedNotesUntilLifted)
{
    RateHost host(kRate);
    ASSERT_TRUE(host.engine->setSingle(0, plainSingle()));
    const int second = static_cast<int>(kRate);
    play(host, {midi(0xB0, 64, 127, 0), midi(0x90, 60, 100, 1), midi(0x90, 60, 0, 2)}, second);
    EXPECT_EQ(host.engine->getMulti().getActiveVoiceCount(), 1u);
    play(host, {midi(0xB0, 64, 0, 0)}, second);
    EXPECT_EQ(host.engine->getMulti().getActiveVoiceCount(), 0u);

    // With the pedal off in the settings it is ignored.
    k1lib::Engine::Config config;
    config.holdPedal = 0;
    host.engine->setConfig(config);
    play(host, {midi(0xB0, 64, 127, 0), midi(0x90, 60, 100, 1), midi(0x80, 60, 0, 2)}, second);
    EXPECT_EQ(host.engine->getMulti().getActiveVoiceCount(), 0u);
}
