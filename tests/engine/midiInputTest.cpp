// MIDI input as far as playing needs it: program changes with bank select,
// the registered parameters for bend range and fine tune, the controller
// state of a channel.

#include <gtest/gtest.h>

#include "tests/engine/engineTestSupport.h"

using namespace k1test;

TEST(EngineMidiInput, ProgramChangesSelectPresetsAndPlayModes)
{
    TestEngine t;
    // Bank MSB 1 without LSB, program 5 in single mode: single 105.
    t.render(1, {midi(0xB0, 0, 1, 0), midi(0xC0, 5, 0, 0)});
    EXPECT_EQ(t.engine->getCurrentSingleIndex(), 105u);
    // Program 70 without bank select: multi mode, multi 6.
    t.render(1, {midi(0xC0, 70, 0, 0)});
    EXPECT_EQ(t.engine->getPlayMode(), k1lib::PlayMode::Multi);
    EXPECT_EQ(t.engine->getCurrentMultiIndex(), 6u);
    EXPECT_EQ(t.listener.playModeChanges, 1);
    // Program 3 goes back to single mode.
    t.render(1, {midi(0xC0, 3, 0, 0)});
    EXPECT_EQ(t.engine->getPlayMode(), k1lib::PlayMode::Single);
    EXPECT_EQ(t.engine->getCurrentSingleIndex(), 3u);

    // Across a switch the bank counts in the storages of the mode selected:
    // ROM A1-01 (bank LSB 1) holds multis 32-63 and singles 64-127.
    t.render(1, {midi(0xB0, 32, 1, 0), midi(0xC0, 70, 0, 0)});
    EXPECT_EQ(t.engine->getPlayMode(), k1lib::PlayMode::Multi);
    EXPECT_EQ(t.engine->getCurrentMultiIndex(), 38u);
    t.render(1, {midi(0xB0, 32, 1, 0), midi(0xC0, 5, 0, 0)});
    EXPECT_EQ(t.engine->getPlayMode(), k1lib::PlayMode::Single);
    EXPECT_EQ(t.engine->getCurrentSingleIndex(), 69u);
}

TEST(EngineMidiInput, RegisteredParametersSetBendRangeAndFineTune)
{
    TestEngine t;
    t.render(1);
    // Data entry before any RPN is selected changes nothing.
    t.render(1, {midi(0xB0, 6, 5, 0)});
    EXPECT_EQ(t.engine->getBendRange(), static_cast<int32_t>(t.engine->getCurrentSingle().pitchBendDepth));
    // Ranges past 12 (controllers send 24 or 48) are taken as 12, not as off.
    t.render(1, {midi(0xB0, 101, 0, 0), midi(0xB0, 100, 0, 0), midi(0xB0, 6, 13, 0)});
    EXPECT_EQ(t.engine->getBendRange(), 12);
    t.render(1, {midi(0xB0, 6, 0, 0)});
    EXPECT_EQ(t.engine->getBendRange(), 0);
    t.render(1, {midi(0xB0, 6, 48, 0)});
    EXPECT_EQ(t.engine->getBendRange(), 12);
    t.render(1, {midi(0xB0, 6, 7, 0)});
    EXPECT_EQ(t.engine->getBendRange(), 7);
    t.render(1, {midi(0xB0, 100, 1, 0), midi(0xB0, 6, 0, 0)});
    EXPECT_FLOAT_EQ(t.engine->getFineTune(), -1.0f);
    t.render(1, {midi(0xB0, 6, 127, 0)});
    EXPECT_FLOAT_EQ(t.engine->getFineTune(), 1.0f);
    t.render(1, {midi(0xB0, 6, 64, 0)});
    EXPECT_FLOAT_EQ(t.engine->getFineTune(), 0.0f);
}

TEST(EngineMidiInput, ChannelControllerState)
{
    TestEngine t;
    k1lib::Engine::Config config;
    config.omni = 0;
    config.receiveChannel = 2;
    t.engine->setConfig(config);
    t.render(1, {midi(0xE3, 0, 0, 0), midi(0xD3, 127, 0, 0), midi(0xB3, 1, 127, 0), midi(0xB3, 7, 0, 0),
                 midi(0xB3, 126, 0, 0), midi(0xB3, 127, 0, 0)});
    const k1lib::MidiState& m = t.engine->getMidiState(3);
    EXPECT_FLOAT_EQ(m.bend, -1.0f);
    EXPECT_FLOAT_EQ(m.pressure, 1.0f);
    EXPECT_FLOAT_EQ(m.modWheel, 1.0f);
    EXPECT_FLOAT_EQ(m.volume, 0.0f);
    EXPECT_EQ(t.engine->getConfig(), config); // CC126 and CC127 are ignored
    t.render(1, {midi(0xE3, 0x7F, 0x7F, 0)});
    EXPECT_FLOAT_EQ(m.bend, 8191.0f / 8192.0f);

    // With pitch bend off in the settings the wheel is ignored.
    config.pitchBend = 0;
    t.engine->setConfig(config);
    t.render(1, {midi(0xE3, 0, 0x40, 0)});
    EXPECT_FLOAT_EQ(m.bend, 8191.0f / 8192.0f);
}

TEST(EngineMidiInput, VelocityOffPlaysEveryNoteAtFullVelocity)
{
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
    k1lib::Engine::Config config;
    config.velocity = 0;
    t.engine->setConfig(config);
    t.render(1, {midi(0x90, 60, 10, 0)});
    ASSERT_EQ(t.engine->getMulti().getActiveVoiceCount(0), 1u);
    EXPECT_EQ(t.engine->getMulti().getActiveVoice(0, 0).getVelocity(), 127);
}
