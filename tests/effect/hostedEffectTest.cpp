// Darvello.so loaded through its entry point into the command-line host's
// library, as a Linux host loads it: texts within the VST limits, chunks that
// bring the sound back, programs and automation that reach the engine, the
// play mode's program list, and event input a host may get wrong.

#include "engine/engine.h"
#include "tests/support/stdoutCapture.h"
#include "tools/vsthost/hostedPlugin.h"
#include "tools/vsthost/phrase.h"
#include "tools/vsthost/renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
using namespace vsthost;

constexpr int kVolume = 10;   // the single's volume
constexpr int kMode = 208;    // play mode: 0 single, 1 multi

std::unique_ptr<HostedPlugin> load()
{
    k1lib::initFactoryData(); // for the expected names
    return HostedPlugin::load(DARVELLO_PATH, 44100.0f, 256);
}

// Waves that start at random points draw from the instance's own generator:
// a fresh instance renders the same every time.
Audio renderPhrase(HostedPlugin& plugin, const RenderOptions& options = RenderOptions{0.3, 0.0, {}, {}},
                   std::vector<TimedMidi> events = builtInPhrase())
{
    Audio audio;
    render(plugin, events, options, audio);
    return audio;
}

// Largest sample difference between two renders of the same length.
double difference(const Audio& a, const Audio& b)
{
    if (a.channels.size() != b.channels.size() || a.frames() != b.frames())
        return 1e9;
    double d = 0.0;
    for (size_t c = 0; c < a.channels.size(); ++c)
        for (size_t i = 0; i < a.frames(); ++i)
            d = std::fmax(d, std::fabs(static_cast<double>(a.channels[c][i]) - b.channels[c][i]));
    return d;
}

double peak(const Audio& audio)
{
    double p = 0.0;
    for (const std::vector<float>& c : audio.channels)
        for (float s : c)
            p = std::fmax(p, std::fabs(static_cast<double>(s)));
    return p;
}

TEST(HostedDarvello, TextsAreCutToTheVstLimits)
{
    std::unique_ptr<HostedPlugin> plugin = load();
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->effectName(), "Darvello");
    EXPECT_EQ(plugin->productString(), "Darvello");
    EXPECT_EQ(plugin->vendorString(), "Quorwen");
    ASSERT_EQ(plugin->numParams(), 209);
    ASSERT_EQ(plugin->numPrograms(), static_cast<int>(k1lib::Engine::singleCount()));
    size_t cut = 0;
    for (int p = 0; p < plugin->numParams(); ++p)
    {
        const std::string name = plugin->parameterName(p);
        EXPECT_FALSE(name.empty()) << p;
        EXPECT_LE(name.size(), 8u) << p;
        EXPECT_LE(plugin->parameterDisplay(p).size(), 8u) << p;
        EXPECT_LE(plugin->parameterLabel(p).size(), 8u) << p;
        cut += name.size() == 8 ? 1 : 0;
    }
    EXPECT_GT(cut, 0u) << "no parameter name reaches the limit: the cut is not exercised";
    for (int i = 0; i < plugin->numPrograms(); ++i)
    {
        std::string name;
        ASSERT_TRUE(plugin->programName(i, name)) << i;
        const std::string whole = k1lib::Engine::getPresetNumberAsName(i, k1lib::PlayMode::Single) + " " +
                                  k1lib::Engine::getFactoryPresetName(i, k1lib::PlayMode::Single);
        EXPECT_EQ(name, whole.substr(0, 24)) << i;
    }
    std::string none;
    EXPECT_FALSE(plugin->programName(plugin->numPrograms(), none));
    EXPECT_FALSE(plugin->programName(-1, none));
    EXPECT_EQ(plugin->canDo("RECEIVEVSTEVENTS"), 1);
    EXPECT_EQ(plugin->canDo("bypass"), 0);
}

// Renders depend on how long the instrument has been running (its LFOs run
// freely, and not while it idles): each compared render comes from a fresh
// instance whose first block starts the phrase. The instrument is changed by
// selecting other presets and modes, which takes no running time.
TEST(HostedDarvello, PresetChunkSavedChangedAndLoadedRendersTheSame)
{
    std::unique_ptr<HostedPlugin> original = load();
    ASSERT_NE(original, nullptr);
    original->setProgram(5);
    std::vector<uint8_t> chunk;
    ASSERT_TRUE(original->saveChunk(true, chunk));
    EXPECT_EQ(chunk.size(), 97u); // one K1 single dump
    const Audio before = renderPhrase(*original);
    ASSERT_GT(peak(before), 0.01);

    std::unique_ptr<HostedPlugin> other = load();
    other->setProgram(6);
    EXPECT_GT(difference(renderPhrase(*other), before), 0.01) << "single 6 sounds like single 5";

    // The program chunk goes into the current slot.
    std::unique_ptr<HostedPlugin> restored = load();
    restored->setProgram(6);
    ASSERT_TRUE(restored->loadChunk(true, chunk));
    EXPECT_EQ(restored->program(), 6);
    for (int p = 0; p < 209; ++p)
        EXPECT_EQ(restored->parameter(p), original->parameter(p)) << "parameter " << p;
    EXPECT_EQ(difference(renderPhrase(*restored), before), 0.0);
}

TEST(HostedDarvello, BankChunkSavedChangedAndLoadedRendersTheSame)
{
    std::unique_ptr<HostedPlugin> original = load();
    ASSERT_NE(original, nullptr);
    original->setProgram(9);
    std::vector<uint8_t> chunk;
    ASSERT_TRUE(original->saveChunk(false, chunk));
    const Audio before = renderPhrase(*original);
    ASSERT_GT(peak(before), 0.01);

    std::unique_ptr<HostedPlugin> restored = load();
    restored->setProgram(20);
    restored->setParameter(kMode, 1.0f);
    ASSERT_EQ(restored->numPrograms(), static_cast<int>(k1lib::Engine::multiCount()));
    ASSERT_TRUE(restored->loadChunk(false, chunk));
    EXPECT_EQ(restored->numPrograms(), static_cast<int>(k1lib::Engine::singleCount()));
    EXPECT_EQ(restored->program(), 9);
    for (int p = 0; p < 209; ++p)
        EXPECT_EQ(restored->parameter(p), original->parameter(p)) << "parameter " << p;
    EXPECT_EQ(difference(renderPhrase(*restored), before), 0.0);

    // A damaged chunk is refused and changes nothing.
    std::vector<uint8_t> damaged(chunk.begin(), chunk.begin() + static_cast<long>(chunk.size() / 2));
    restored->loadChunk(false, damaged);
    EXPECT_EQ(restored->program(), 9);
}

TEST(HostedDarvello, ProgramsReachTheEngineAndFollowThePlayMode)
{
    std::unique_ptr<HostedPlugin> plugin = load();
    ASSERT_NE(plugin, nullptr);
    const float nameChar = plugin->parameter(0);
    const Audio first = renderPhrase(*plugin);

    plugin->setProgram(3);
    EXPECT_EQ(plugin->program(), 3);
    EXPECT_EQ(plugin->currentProgramName().rfind("IA-4 ", 0), 0u) << plugin->currentProgramName();
    EXPECT_NE(plugin->parameter(0), nameChar) << "the preset's name did not reach the parameters";
    EXPECT_NE(renderPhrase(*plugin).channels, first.channels);

    // Out of range and negative program numbers change nothing.
    plugin->dispatch(effSetProgram, 0, -1);
    plugin->dispatch(effSetProgram, 0, plugin->numPrograms());
    EXPECT_EQ(plugin->program(), 3);

    // A MIDI program change in a block: the host's program follows, its
    // display is refreshed, and each changed value is reported once.
    plugin->clearLog();
    std::vector<TimedMidi> change{{0.0, {0xC0, 0x07}}};
    renderPhrase(*plugin, RenderOptions{0.05, 0.0, {}, {}}, change);
    EXPECT_EQ(plugin->program(), 7);
    HostLog log = plugin->log();
    EXPECT_GT(log.displayUpdates, 0);
    ASSERT_FALSE(log.automation.empty());
    std::vector<int> reports(209, 0);
    for (const Automation& a : log.automation)
    {
        ASSERT_TRUE(a.index >= 0 && a.index < 209);
        EXPECT_EQ(++reports[a.index], 1) << "parameter " << a.index << " reported twice";
        EXPECT_FLOAT_EQ(a.value, plugin->parameter(a.index));
    }

    // Multi mode: the multis are the programs, starting from the current one.
    plugin->setParameter(kMode, 1.0f);
    EXPECT_EQ(plugin->numPrograms(), static_cast<int>(k1lib::Engine::multiCount()));
    EXPECT_EQ(plugin->program(), 0);
    plugin->setProgram(33);
    EXPECT_EQ(plugin->program(), 33);
    MidiProgramName record{};
    record.thisProgramIndex = 33;
    EXPECT_EQ(plugin->dispatch(effGetMidiProgramName, 0, 0, &record), static_cast<VstIntPtr>(k1lib::Engine::multiCount()));
    EXPECT_EQ(record.midiProgram, 65);
    EXPECT_EQ(record.midiBankLsb, 1);
    EXPECT_EQ(record.midiBankMsb, -1);
    EXPECT_EQ(record.flags, kMidiIsOmni);
    EXPECT_EQ(std::string(record.name), k1lib::Engine::getFactoryPresetName(33, k1lib::PlayMode::Multi));

    // Back in single mode the program is the single that was playing.
    plugin->setParameter(kMode, 0.0f);
    EXPECT_EQ(plugin->numPrograms(), static_cast<int>(k1lib::Engine::singleCount()));
    EXPECT_EQ(plugin->program(), 7);
    record.thisProgramIndex = 70;
    plugin->dispatch(effGetMidiProgramName, 0, 0, &record);
    EXPECT_EQ(record.midiProgram, 6);
    EXPECT_EQ(record.midiBankLsb, 1);
}

TEST(HostedDarvello, AutomationReachesTheEngineAndHostValuesAreClamped)
{
    std::unique_ptr<HostedPlugin> plugin = load();
    ASSERT_NE(plugin, nullptr);
    const Audio plain = renderPhrase(*plugin);
    RenderOptions fade{0.3, 0.0, {{kVolume, 1.0f, 0.0f}}, {}};
    const Audio faded = renderPhrase(*plugin, fade);
    ASSERT_EQ(faded.frames(), plain.frames());
    // The volume falls across the render: the end is quieter than without.
    auto tailEnergy = [](const Audio& a) {
        double e = 0.0;
        for (size_t i = a.frames() * 3 / 4; i < a.frames(); ++i)
            e += static_cast<double>(a.channels[0][i]) * a.channels[0][i];
        return e;
    };
    EXPECT_LT(tailEnergy(faded), tailEnergy(plain) * 0.5);
    EXPECT_LT(plugin->parameter(kVolume), 0.01f);

    plugin->setParameter(kVolume, std::nanf(""));
    EXPECT_EQ(plugin->parameter(kVolume), 0.0f);
    plugin->setParameter(kVolume, 7.0f);
    EXPECT_EQ(plugin->parameter(kVolume), 1.0f);
    plugin->setParameter(kVolume, -3.0f);
    EXPECT_EQ(plugin->parameter(kVolume), 0.0f);
    // Outside the table: ignored, answered with 0 and empty texts.
    plugin->setParameter(209, 0.5f);
    plugin->setParameter(-1, 0.5f);
    EXPECT_EQ(plugin->parameter(209), 0.0f);
    EXPECT_EQ(plugin->parameterName(209), "");
}

TEST(HostedDarvello, BadEventsAreSkippedAndTheRestPlays)
{
    std::unique_ptr<HostedPlugin> plugin = load();
    ASSERT_NE(plugin, nullptr);
    plugin->resume();
    VstMidiEvent noteOn{};
    noteOn.type = kVstMidiType;
    noteOn.byteSize = sizeof(VstMidiEvent);
    noteOn.midiData[0] = static_cast<char>(0x90);
    noteOn.midiData[1] = 60;
    noteOn.midiData[2] = 100;
    char bytes[] = {static_cast<char>(0xF0), 0x40, static_cast<char>(0xF7)};
    VstMidiSysexEvent empty{kVstSysExType, sizeof(VstMidiSysexEvent), 0, 0, 0, 0, bytes, 0};
    VstMidiSysexEvent negative{kVstSysExType, sizeof(VstMidiSysexEvent), 0, 0, -5, 0, bytes, 0};
    VstMidiSysexEvent null{kVstSysExType, sizeof(VstMidiSysexEvent), 0, 0, 3, 0, nullptr, 0};
    VstEvent other{5, sizeof(VstEvent), 0, 0, {}};
    struct
    {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[6];
    } block{6, 0, {reinterpret_cast<VstEvent*>(&empty), reinterpret_cast<VstEvent*>(&negative),
                   reinterpret_cast<VstEvent*>(&null), &other, nullptr, reinterpret_cast<VstEvent*>(&noteOn)}};

    std::vector<float> left(256), right(256);
    float* outputs[2] = {left.data(), right.data()};
    k1test::StdoutCapture capture;
    plugin->process(reinterpret_cast<VstEvents*>(&block), nullptr, outputs, 256);
    // Lines logged on the audio thread are printed by the plug-in's writer
    // thread, or by the host's suspend when the writer is not at it.
    plugin->suspend();
    const std::string log = capture.waitFor({"Skipping a sysex event of 0 bytes", "Skipping a sysex event of -5 bytes",
                                             "Skipping a sysex event of 3 bytes", "Unknown event type 5"});
    EXPECT_NE(log.find("Skipping a sysex event of 0 bytes"), std::string::npos) << log;
    EXPECT_NE(log.find("Skipping a sysex event of -5 bytes"), std::string::npos) << log;
    EXPECT_NE(log.find("Skipping a sysex event of 3 bytes"), std::string::npos) << log;
    EXPECT_NE(log.find("Unknown event type 5"), std::string::npos) << log;
    // The note after them sounds.
    double energy = 0.0;
    for (int block2 = 0; block2 < 8; ++block2)
    {
        if (block2 == 0)
            plugin->resume();
        plugin->process(nullptr, nullptr, outputs, 256);
        for (float s : left)
            energy += static_cast<double>(s) * s;
    }
    EXPECT_GT(energy, 0.0);
}

} // namespace
