// The base classes through the real ABI: SineTest loaded from its .so by the
// host library, driven through the dispatcher and the render entries.

#include "tests/vsthost/sineSynth.h"
#include "tools/vsthost/hostedPlugin.h"
#include "tools/vsthost/renderer.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>

namespace
{
using namespace vsthost;

double rms(const std::vector<float>& s, size_t from, size_t to)
{
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(s[i]) * s[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

std::vector<TimedMidi> longNote(double seconds = 0.5)
{
    return {{0.0, {0x90, 69, 127}}, {seconds, {0x80, 69, 0}}};
}

class SineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plugin = HostedPlugin::load(SINETEST_PATH, 44100.0f, 64);
        ASSERT_NE(plugin, nullptr);
    }
    Audio renderWith(const std::vector<TimedMidi>& events, RenderOptions options = {})
    {
        Audio audio;
        render(*plugin, events, options, audio);
        return audio;
    }
    std::unique_ptr<HostedPlugin> plugin;
};

VstIntPtr silentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float)
{
    return 0;
}

VstIntPtr versionHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

TEST(SineTestModule, ExportsOnlyTheEntryPoints)
{
    void* library = dlopen(SINETEST_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const char* name : {"VSTPluginMain", "main_plugin", "main"})
    {
        auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(library, name));
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_EQ(entry(silentHost), nullptr) << name; // no version answer, no effect
        AEffect* e = entry(versionHost);
        ASSERT_NE(e, nullptr) << name;
        EXPECT_EQ(e->uniqueID, sinetest::kUniqueId);
        EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
    }
    EXPECT_EQ(dlsym(library, "createEffectInstance"), nullptr);
    EXPECT_EQ(dlsym(library, "_ZN11AudioEffect10dispatcherEiilPvf"), nullptr);
    dlclose(library);
}

TEST_F(SineTest, IdentityAndCapabilities)
{
    EXPECT_EQ(plugin->effectName(), "SineTest Synthesizer For Tests O"); // cut to 32
    EXPECT_EQ(plugin->vendorString(), "Quorwen");
    EXPECT_EQ(plugin->productString(), "SineTest");
    EXPECT_EQ(plugin->effect()->uniqueID, sinetest::kUniqueId);
    EXPECT_EQ(plugin->numInputs(), 0);
    EXPECT_EQ(plugin->numOutputs(), 2);
    EXPECT_TRUE(plugin->hasFlag(effFlagsIsSynth));
    EXPECT_TRUE(plugin->hasFlag(effFlagsProgramChunks));
    EXPECT_TRUE(plugin->hasFlag(effFlagsHasEditor));
    EXPECT_EQ(plugin->dispatch(effGetPlugCategory), kPlugCategSynth);
    EXPECT_EQ(plugin->dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(plugin->dispatch(effGetVendorVersion), 7);
    EXPECT_EQ(plugin->dispatch(effGetNumMidiInputChannels), 16);
    EXPECT_EQ(plugin->dispatch(effGetNumMidiOutputChannels), 0);
    EXPECT_EQ(plugin->canDo("receiveVstMidiEvent"), 1);
    EXPECT_EQ(plugin->canDo("bypass"), 0);
    EXPECT_FALSE(plugin->log().wantsMidi);
    plugin->resume();
    EXPECT_TRUE(plugin->log().wantsMidi); // a synth asks for MIDI when switched on
}

TEST_F(SineTest, ParameterTextsAreCutToTheLimit)
{
    EXPECT_EQ(plugin->parameterName(0), "Volume");
    EXPECT_EQ(plugin->parameterName(1), "Detune A");
    EXPECT_EQ(plugin->parameterLabel(1), "semitone");
    EXPECT_EQ(plugin->parameterDisplay(1), "0.000000");
    plugin->setParameter(0, 0.0f);
    EXPECT_EQ(plugin->parameterDisplay(0), "-oo");
    plugin->setParameter(0, 0.5f);
    EXPECT_EQ(plugin->parameterDisplay(0), "-6.02060");
    EXPECT_FLOAT_EQ(plugin->parameter(0), 0.5f);
    EXPECT_EQ(plugin->parameterName(7), "");
    EXPECT_EQ(plugin->dispatch(effCanBeAutomated, 0), 1);
}

TEST_F(SineTest, ProgramsAndTheirNames)
{
    ASSERT_EQ(plugin->numPrograms(), 4);
    std::string name;
    ASSERT_TRUE(plugin->programName(2, name));
    EXPECT_EQ(name, "Low Detuned Sine With A "); // 24 characters
    EXPECT_FALSE(plugin->programName(4, name));
    plugin->setProgram(1);
    EXPECT_EQ(plugin->program(), 1);
    EXPECT_EQ(plugin->currentProgramName(), "Loud Sine");
    EXPECT_FLOAT_EQ(plugin->parameter(0), 0.9f);
    plugin->dispatch(effSetProgram, 0, 4);
    plugin->dispatch(effSetProgram, 0, -2);
    EXPECT_EQ(plugin->program(), 1);
    EXPECT_GE(plugin->log().displayUpdates, 1);

    MidiProgramName midi{};
    midi.thisProgramIndex = 3;
    EXPECT_EQ(plugin->dispatch(effGetMidiProgramName, 0, 0, &midi), 4);
    EXPECT_STREQ(midi.name, "Quiet");
    EXPECT_EQ(midi.midiProgram, 3);
    EXPECT_EQ(midi.flags, kMidiIsOmni);
}

TEST_F(SineTest, BankChunkRestoresWhatRendersTheSame)
{
    plugin->setProgram(2);
    plugin->setParameter(0, 0.7f);
    std::vector<uint8_t> chunk;
    ASSERT_TRUE(plugin->saveChunk(false, chunk));
    Audio before = renderWith(longNote(0.1));

    plugin->setParameter(0, 0.1f);
    plugin->setParameter(1, 0.9f);
    ASSERT_TRUE(plugin->loadChunk(false, chunk));
    Audio after = renderWith(longNote(0.1));
    EXPECT_EQ(before.channels, after.channels);
    EXPECT_GT(rms(before.channels[0], 0, before.frames()), 0.01);

    // A program chunk holds the current program only.
    ASSERT_TRUE(plugin->saveChunk(true, chunk));
    EXPECT_EQ(chunk.size(), 4 + sizeof(sinetest::Program));
    plugin->setParameter(1, 0.0f);
    ASSERT_TRUE(plugin->loadChunk(true, chunk));
    EXPECT_FLOAT_EQ(plugin->parameter(1), 0.25f);
    uint8_t junk[3] = {1, 2, 3};
    EXPECT_EQ(plugin->dispatch(effSetChunk, 0, sizeof junk, junk), 0);
}

TEST_F(SineTest, EventsInAndOutKeepTheirFrames)
{
    std::vector<TimedMidi> events = {
        {0.01, {0x90, 60, 100}},
        {0.02, {0xf0, 0x7d, 0x01, 0x02, 0xf7}},
        {0.03, {0xb0, 7, 127}},
        {0.05, {0x80, 60, 0}},
    };
    Audio audio = renderWith(events, RenderOptions{0.1, 0.0, {}, {}});
    HostLog log = plugin->log();
    ASSERT_EQ(log.midiOut.size(), 2u);
    EXPECT_EQ(log.midiOut[0].frame, 441);
    EXPECT_EQ(log.midiOut[0].bytes, (std::vector<uint8_t>{0x9f, 60, 100}));
    EXPECT_EQ(log.midiOut[1].frame, 882);
    EXPECT_EQ(log.midiOut[1].bytes, (std::vector<uint8_t>{0xf0, 0x7d, 0x52, 5, 0xf7}));
    ASSERT_EQ(log.automation.size(), 1u);
    EXPECT_EQ(log.automation[0].index, 0);
    EXPECT_FLOAT_EQ(log.automation[0].value, 1.0f);
    EXPECT_FLOAT_EQ(plugin->parameter(0), 1.0f);
    // Silent up to the note-on's frame, sounding right after it.
    EXPECT_EQ(rms(audio.channels[0], 0, 441), 0.0);
    EXPECT_GT(rms(audio.channels[1], 441, 882), 0.01);
}

TEST_F(SineTest, IoChangesAreTakenBetweenBlocks)
{
    RenderOptions options{0.0, 0.4, {{2, 0.0f, 1.0f}}, {}};
    Audio audio = renderWith(longNote(0.4), options);
    ASSERT_EQ(audio.channels.size(), 4u);
    EXPECT_EQ(plugin->numOutputs(), 4);
    EXPECT_EQ(plugin->log().ioChanges, 1);
    size_t half = audio.frames() / 2;
    EXPECT_EQ(rms(audio.channels[3], 0, half - 64), 0.0);
    EXPECT_GT(rms(audio.channels[3], half + 64, audio.frames()), 0.01);
    EXPECT_EQ(audio.channels[3].size(), audio.channels[0].size());

    // A host that refuses the change keeps the plug-in at two outputs.
    plugin->acceptIoChanges(false);
    plugin->setParameter(2, 0.0f); // refused: stays at four
    EXPECT_EQ(plugin->numOutputs(), 4);
    EXPECT_FLOAT_EQ(plugin->parameter(2), 1.0f);
}

TEST_F(SineTest, ProgramSwitchesAndRampsReachThePlugin)
{
    plugin->setProgram(3); // quiet
    Audio switched = renderWith(longNote(0.5), RenderOptions{0.0, 0.0, {}, {{0.25, 1}}});
    size_t at = 11025;
    EXPECT_GT(rms(switched.channels[0], at + 64, 2 * at), 5 * rms(switched.channels[0], 0, at - 64));

    Audio ramped = renderWith(longNote(0.5), RenderOptions{0.0, 0.0, {{0, 0.0f, 1.0f}}, {}});
    EXPECT_GT(rms(ramped.channels[0], at, 2 * at), 2 * rms(ramped.channels[0], 0, at));
}

TEST_F(SineTest, EditorOpcodesReachTheEditor)
{
    ERect* rect = nullptr;
    ASSERT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 300);
    EXPECT_EQ(rect->bottom, 200);
    int window = 0;
    EXPECT_EQ(plugin->dispatch(effEditOpen, 0, 0, &window), 1);
    EXPECT_EQ(plugin->log().sizeWindowWidth, 300); // asked after the sizeWindow capability
    EXPECT_EQ(plugin->log().sizeWindowHeight, 200);
    EXPECT_EQ(plugin->dispatch(effEditKeyDown, 'a', VKEY_LEFT, nullptr, MODIFIER_SHIFT), 1);
    EXPECT_EQ(plugin->dispatch(effVendorSpecific, sinetest::kQueryLastKey),
              'a' | VKEY_LEFT << 8 | MODIFIER_SHIFT << 16);
    EXPECT_EQ(plugin->dispatch(effSetEditKnobMode, 0, 2), 1);
    plugin->dispatch(effEditIdle);
    plugin->dispatch(effEditClose);
}

} // namespace
