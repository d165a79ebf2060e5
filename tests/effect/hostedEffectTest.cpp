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
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
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

// ---- Notes that end whatever changed while they were held --------------------

namespace
{
constexpr int kSectionLevel = 200; // the first section's level; + s for section s
constexpr int kSectionPoly = 144;  // the first section's poly; 1 of 0..9 is "off"
constexpr int kPolyMode = 11;      // the current single's: Poly 1, Poly 2, Solo

// A MIDI message delivered on its own block, or (param >= 0) automation
// before it; then 0.1 s passes.
struct Step
{
    uint8_t status = 0, data1 = 0, data2 = 0;
    int param = -1;
    float value = 0.0f;
};
Step automate(int param, float value) { return Step{0, 0, 0, param, value}; }

// The first multi of the first bank (reached by a program change without
// bank select) with a section that plays keys 60 to 67 on MIDI channel 1.
bool findMulti(int& multi, int& section, int& single)
{
    for (size_t m = 0; m < 32; ++m)
        for (size_t s = 0; s < 8; ++s)
        {
            const k1lib::MultiSection& sec = k1lib::factoryMultis.at(m).sections[s];
            if (sec.channel == 0 && sec.level > 0 && sec.poly != 1 && sec.velocitySwitch == 0 && sec.zoneLow <= 60 &&
                sec.zoneHigh >= 67 && sec.single >= 0)
            {
                multi = static_cast<int>(m);
                section = static_cast<int>(s);
                single = sec.single + static_cast<int>(k1lib::Engine::getSinglesOffsetForMulti(m));
                return true;
            }
        }
    return false;
}

// The multi is the current one in either mode, its section's single the
// current single, made Solo (it strikes a key still held again at a
// note-off). After the steps, 300 s of audio: the peak of the last second.
double peakAfter(const std::vector<Step>& steps, bool startsInMulti, int multi, int single, int block)
{
    std::unique_ptr<HostedPlugin> plugin = HostedPlugin::load(DARVELLO_PATH, 44100.0f, block);
    if (!plugin)
        return 1e9;
    plugin->setParameter(kMode, 1.0f);
    plugin->setProgram(multi);
    plugin->setParameter(kMode, 0.0f);
    plugin->setProgram(single);
    plugin->setParameter(kPolyMode, 1.0f);
    plugin->resume();
    std::vector<float> left(static_cast<size_t>(block)), right(static_cast<size_t>(block));
    float* outputs[2] = {left.data(), right.data()};
    plugin->process(nullptr, nullptr, outputs, block);
    plugin->setParameter(kMode, startsInMulti ? 1.0f : 0.0f);
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = block / 3;
    VstEvents events{1, 0, {reinterpret_cast<VstEvent*>(&event), nullptr}};
    const long tenth = static_cast<long>(4410 / block) + 1;
    for (const Step& step : steps)
    {
        if (step.param >= 0)
            plugin->setParameter(step.param, step.value);
        event.midiData[0] = static_cast<char>(step.status);
        event.midiData[1] = static_cast<char>(step.data1);
        event.midiData[2] = static_cast<char>(step.data2);
        for (long b = 0; b < tenth; ++b)
            plugin->process(step.status != 0 && b == 0 ? &events : nullptr, nullptr, outputs, block);
    }
    double last = 0.0;
    for (long b = 0, total = 3000 * tenth; b < total; ++b)
    {
        plugin->process(nullptr, nullptr, outputs, block);
        for (int i = 0; i < block && b >= total - 10 * tenth; ++i)
            last = std::fmax(last, std::fmax(std::fabs(left[i]), std::fabs(right[i])));
    }
    return last;
}
} // namespace

// Keys held while the play mode switches (by automation or a MIDI program
// change, both ways and there and back, with and without the pedal), or
// while the section that plays them leaves its channel (level 0, poly "off"),
// or while omni goes off or on in single mode (by CC124 and CC125), end with
// their note-offs and the pedal's release, as the same chord does
// with nothing changed; so does a chord struck after them.
TEST(HostedDarvello, HeldNotesEndWhateverChangedWhileTheyWereHeld)
{
    k1lib::initFactoryData();
    int multi = 0, section = 0, single = 0;
    ASSERT_TRUE(findMulti(multi, section, single)) << "no multi of the first bank plays keys 60 to 67 on channel 1";
    const Step toMulti = automate(kMode, 1.0f), toSingle = automate(kMode, 0.0f);
    const Step levelOff = automate(kSectionLevel + section, 0.0f), polyOff = automate(kSectionPoly + section, 1.0f / 9);
    struct Scene
    {
        std::string name;
        bool startsInMulti;
        std::vector<Step> change, after;
        bool ofASection = false;
        bool underThePedal = false;    // with the pedal: the change made after the note-offs
        std::vector<Step> before = {}; // ahead of the pedal and the keys
    };
    // Omni off by CC124 on channel 2 listens on channel 1; omni on by CC125
    // from receiving on channel 2 (set by CC124 in multi mode).
    const Step omniOff{0xB1, 124, 0}, omniOn{0xB1, 125, 0};
    const std::vector<Scene> changes = {
        {"nothing changed, single mode", false, {}, {}},
        {"nothing changed, multi mode", true, {}, {}},
        {"to multi by automation", false, {toMulti}, {}},
        {"to multi by program change", false, {{0xC0, static_cast<uint8_t>(64 + multi)}}, {}},
        {"to single by automation", true, {toSingle}, {}},
        {"to single by program change", true, {{0xC0, 5}}, {}},
        {"to single and back", true, {toSingle}, {toMulti}},
        {"to multi and back", false, {toMulti}, {toSingle}},
        {"section level to 0", true, {levelOff}, {}, true},
        {"section poly off", true, {polyOff}, {}, true},
        {"omni off", false, {omniOff}, {}, false, true},
        {"omni on", false, {omniOn}, {}, false, true, {toMulti, omniOff, toSingle}},
    };
    int sounding = 0;
    std::string which;
    k1test::StdoutCapture quiet; // the preset switches' log lines
    for (const Scene& scene : changes)
        for (bool pedal : {false, true})
        {
            // Key 60 on channel 2 and 62 on channel 1, the pedal on channel 2
            // (on channel 1 for a section's change); a section's change and
            // an omni change are made after the note-offs while the pedal
            // holds them. Then a chord on both channels.
            const bool sectionChange = scene.ofASection;
            const bool late = (sectionChange || scene.underThePedal) && pedal;
            const auto pedalChannel = static_cast<uint8_t>(sectionChange ? 0xB0 : 0xB1);
            std::vector<Step> steps = scene.before;
            steps.insert(steps.end(),
                         {{pedalChannel, 64, static_cast<uint8_t>(pedal ? 127 : 0)}, {0x91, 60, 100}, {0x90, 62, 90}});
            if (!late)
                steps.insert(steps.end(), scene.change.begin(), scene.change.end());
            steps.insert(steps.end(), {{0x81, 60, 64}, {0x80, 62, 64}});
            if (late)
                steps.insert(steps.end(), scene.change.begin(), scene.change.end());
            steps.push_back({pedalChannel, 64, 0});
            steps.insert(steps.end(), scene.after.begin(), scene.after.end());
            steps.insert(steps.end(), {{0x90, 64, 100}, {0x91, 67, 100}, {0x90, 64, 0}, {0x81, 67, 0}});
            for (int block : {256, 61})
            {
                const double last = peakAfter(steps, scene.startsInMulti, multi, single, block);
                const std::string name = scene.name + (pedal ? " with the pedal" : "") + ", block " + std::to_string(block);
                std::fprintf(stderr, "%-50s peak %.6f 300 s after\n", name.c_str(), last);
                if (last != 0.0)
                {
                    ++sounding;
                    which += "\n  " + name;
                }
            }
        }
    EXPECT_EQ(sounding, 0) << "still sounding 300 s after their note-offs:" << which;
}
