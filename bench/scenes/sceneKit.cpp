#include "bench/scenes/sceneKit.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <numbers>

#include "engine/engine.h"
#include "engine/tables.h"
#include "patch/parameter.h"
#include "tools/common/nullEngineListener.h"

namespace k1bench
{
namespace
{
constexpr int kLowestKey = 36;
constexpr double kReleaseAhead = 0.001;
constexpr double kPreroll = 0.1; // lets parameter writes reach the engine before the scene
constexpr uint8_t kPolyVr = 0;

using k1lib::Engine;
using k1lib::EParam;

float normalizedOf(EParam p, float real)
{
    const k1lib::CParam& row = k1lib::g_params[p];
    return std::clamp((real - row.min) * row.invRange, 0.0f, 1.0f);
}

EParam sectionParam(EParam first, int section) { return static_cast<EParam>(first + section); }

// Renders an in-process engine at its own rate; returns the sounding voices.
size_t voicesAfter(Engine& engine, std::vector<k1lib::SMidiEvent>& events, double seconds)
{
    constexpr int kBlock = 512;
    std::vector<float> left(kBlock), right(kBlock);
    float* outputs[2] = {left.data(), right.data()};
    const int blocks = static_cast<int>(seconds * Engine::kProcessingRate / kBlock) + 1;
    for (int b = 0; b < blocks; ++b)
    {
        engine.process(outputs, 2, kBlock, events);
        events.clear();
    }
    return engine.getMulti().getActiveVoiceCount();
}

k1lib::SMidiEvent noteOn(int channel, int key)
{
    k1lib::SMidiEvent e;
    e.status = static_cast<uint8_t>(0x90 | channel);
    e.data1 = static_cast<uint8_t>(key);
    e.data2 = static_cast<uint8_t>(70 + (key * 7) % 50);
    e.sampleOffset = 0;
    return e;
}

// Whether 33 held keys of a single (a store index) still sound after two
// seconds in single mode. One engine serves every probe.
bool sustains(size_t single)
{
    static k1tools::NullEngineListener listener;
    static Engine engine(&listener, k1lib::PluginType::Vst);
    engine.clearAllVoices();
    engine.setPlayMode(k1lib::PlayMode::Single);
    engine.setSingle(single);
    std::vector<k1lib::SMidiEvent> events;
    for (int k = 0; k < kVoicesPerSection; ++k)
        events.push_back(noteOn(0, kLowestKey + k));
    const bool result = voicesAfter(engine, events, 2.0) == kVoicesPerSection;
    engine.clearAllVoices();
    return result;
}

bool isMultitimbral(const k1lib::MultiPreset& m)
{
    for (int s = 0; s < kSections; ++s)
    {
        const k1lib::MultiSection& section = m.sections[s];
        if (section.channel != s || section.level == 0 || section.zoneLow != 0 || section.zoneHigh != 127 ||
            section.velocitySwitch != 0)
            return false;
    }
    return true;
}

k1lib::MultiPreset layout(const HeldMulti& held)
{
    k1lib::MultiPreset m = Engine::getFactoryMulti(held.multi);
    for (int s = 0; s < kSections; ++s)
    {
        m.sections[s].single = held.singles[static_cast<size_t>(s)];
        m.sections[s].poly = kPolyVr;
    }
    return m;
}

HeldMulti chooseHeldMulti()
{
    k1tools::NullEngineListener listener;
    Engine probe(&listener, k1lib::PluginType::Vst); // fills the factory lists
    for (size_t i = 0; i < Engine::multiCount(); ++i)
    {
        const k1lib::MultiPreset& factory = Engine::getFactoryMulti(i);
        if (!isMultitimbral(factory))
            continue;
        const size_t offset = Engine::getSinglesOffsetForMulti(i);
        HeldMulti held;
        held.multi = i;
        bool complete = true;
        for (int s = 0; s < kSections && complete; ++s)
        {
            // A section whose single does not keep sounding (a drum, a
            // one-shot) takes the next one of the bank that does.
            int single = factory.sections[s].single;
            int tries = 0;
            while (tries < 64 && !sustains(offset + static_cast<size_t>(single)))
            {
                single = (single + 1) % 64;
                ++tries;
            }
            complete = tries < 64;
            held.singles[static_cast<size_t>(s)] = single;
        }
        if (!complete)
            continue;

        // The whole multi, as the plug-in will play it.
        Engine engine(&listener, k1lib::PluginType::Vst);
        engine.setMulti(i, layout(held));
        engine.setMulti(i);
        engine.setPlayMode(k1lib::PlayMode::Multi);
        std::vector<k1lib::SMidiEvent> events;
        for (int c = 0; c < kSections; ++c)
            for (int k = 0; k < kVoicesPerSection; ++k)
                events.push_back(noteOn(c, kLowestKey + k));
        const size_t voices = voicesAfter(engine, events, 2.0);
        if (voices != static_cast<size_t>(kSections * kVoicesPerSection))
            continue;
        held.name = Engine::getFactoryPresetName(i, k1lib::PlayMode::Multi) + " (";
        for (int s = 0; s < kSections; ++s)
            held.name += (s ? ", " : "") + singleName(offset + static_cast<size_t>(held.singles[s]));
        held.name += ")";
        return held;
    }
    std::fprintf(stderr, "no factory multitimbral multi keeps 264 voices sounding\n");
    std::abort();
}

// The engine logs preset selections to standard output; the benchmark's
// table goes there too.
class QuietStdout
{
public:
    QuietStdout()
    {
        std::fflush(stdout);
        m_saved = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~QuietStdout()
    {
        std::fflush(stdout);
        dup2(m_saved, 1);
        close(m_saved);
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int m_saved = -1;
};

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void prime(vsthost::HostedPlugin& plugin)
{
    // Blocks without notes: parameter writes and program changes reach the
    // engine through its ramps.
    play(plugin, {}, kPreroll);
}
} // namespace

const HeldMulti& heldMulti()
{
    static HeldMulti held;
    static std::once_flag once;
    std::call_once(once, [] {
        QuietStdout quiet;
        held = chooseHeldMulti();
    });
    return held;
}

size_t heldSingle()
{
    static size_t chosen = 0;
    static std::once_flag once;
    std::call_once(once, [] {
        QuietStdout quiet;
        k1tools::NullEngineListener listener;
        Engine probe(&listener, k1lib::PluginType::Vst);
        for (size_t i = 0; i < Engine::singleCount(); ++i)
        {
            if (sustains(i))
            {
                chosen = i;
                return;
            }
        }
    });
    return chosen;
}

std::string singleName(size_t index)
{
    std::string name = Engine::getFactoryPresetName(index, k1lib::PlayMode::Single);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

void appendKeys(std::vector<vsthost::TimedMidi>& events, int channel, int lowest, int count, bool retrigger,
                double seconds)
{
    const auto status = static_cast<uint8_t>(channel & 0x0F);
    for (double t = 0.0; t < seconds; t += kRetriggerSeconds)
    {
        for (int i = 0; i < count; ++i)
        {
            const auto key = static_cast<uint8_t>(lowest + i);
            events.push_back({t, {static_cast<uint8_t>(0x90 | status), key, static_cast<uint8_t>(70 + (i * 7) % 50)}});
            if (retrigger)
                events.push_back({t + kRetriggerSeconds - kReleaseAhead, {static_cast<uint8_t>(0x80 | status), key, 64}});
        }
        if (!retrigger)
            break;
    }
}

std::vector<vsthost::TimedMidi> multiScene(bool retrigger, double seconds)
{
    std::vector<vsthost::TimedMidi> events;
    for (int c = 0; c < kSections; ++c)
        appendKeys(events, c, kLowestKey, kVoicesPerSection, retrigger, seconds);
    return events;
}

std::vector<vsthost::TimedMidi> chordScene(int notes, bool retrigger, double seconds)
{
    std::vector<vsthost::TimedMidi> events;
    appendKeys(events, 0, 60 - notes / 2, notes, retrigger, seconds);
    return events;
}

Figures play(vsthost::HostedPlugin& plugin, const std::vector<vsthost::TimedMidi>& events, double seconds,
             const std::vector<Automation>& automation)
{
    const double rate = plugin.sampleRate();
    const int block = plugin.blockSize();
    const auto total = static_cast<int64_t>(std::llround(seconds * rate));

    // Everything a block needs, made before the first one.
    std::vector<vsthost::TimedMidi> ordered = events;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const vsthost::TimedMidi& a, const vsthost::TimedMidi& b) { return a.seconds < b.seconds; });
    std::vector<int64_t> frames;
    for (const vsthost::TimedMidi& e : ordered)
        frames.push_back(std::llround(e.seconds * rate));
    std::vector<VstMidiEvent> midi(std::max<size_t>(ordered.size(), 1));
    std::vector<VstIntPtr> storage(offsetof(VstEvents, events) / sizeof(VstIntPtr) + midi.size() + 2, 0);
    auto* list = reinterpret_cast<VstEvents*>(storage.data());
    // The record declares two pointers; the list runs on past them.
    auto** slots = reinterpret_cast<VstEvent**>(reinterpret_cast<char*>(list) + offsetof(VstEvents, events));
    const int channels = std::max(plugin.numOutputs(), 2);
    std::vector<std::vector<float>> buffers(static_cast<size_t>(channels), std::vector<float>(block));
    std::vector<float*> outputs;
    for (std::vector<float>& b : buffers)
        outputs.push_back(b.data());
    std::vector<float> silence(block);
    std::vector<float> values(automation.size());
    float* inputs[2] = {silence.data(), silence.data()};

    Figures figures;
    figures.blockSeconds = block / rate;
    uint64_t hash = 1469598103934665603ull;
    size_t next = 0;
    for (int64_t start = 0; start < total; start += block)
    {
        const int n = static_cast<int>(std::min<int64_t>(block, total - start));
        int count = 0;
        for (; next < ordered.size() && frames[next] < start + n; ++next)
        {
            const std::vector<uint8_t>& bytes = ordered[next].bytes;
            VstMidiEvent& m = midi[static_cast<size_t>(count)];
            m = VstMidiEvent{};
            m.type = kVstMidiType;
            m.byteSize = sizeof(VstMidiEvent);
            m.deltaFrames = static_cast<VstInt32>(std::max<int64_t>(frames[next] - start, 0));
            for (size_t b = 0; b < bytes.size() && b < 3; ++b)
                m.midiData[b] = static_cast<char>(bytes[b]);
            slots[count++] = reinterpret_cast<VstEvent*>(&m);
        }
        list->numEvents = count;

        // The host's automation curves are its own work: worked out first.
        const double t = static_cast<double>(start) / rate;
        for (size_t p = 0; p < automation.size(); ++p)
        {
            const Automation& a = automation[p];
            const double v = a.centre + a.depth * std::sin(2.0 * std::numbers::pi * t / a.period);
            values[p] = static_cast<float>(std::clamp(v, 0.0, 1.0));
        }
        const double before = threadCpuSeconds();
        for (size_t p = 0; p < automation.size(); ++p)
            plugin.setParameter(automation[p].parameter, values[p]);
        plugin.setPosition(start);
        plugin.process(count > 0 ? list : nullptr, inputs, outputs.data(), n);
        const double used = threadCpuSeconds() - before;
        figures.cpuSeconds += used;
        figures.peakBlockSeconds = std::max(figures.peakBlockSeconds, used);
        figures.audioSeconds += n / rate;
        for (int c = 0; c < plugin.numOutputs(); ++c)
        {
            for (int i = 0; i < n; ++i)
            {
                uint32_t bits;
                std::memcpy(&bits, &outputs[static_cast<size_t>(c)][i], sizeof bits);
                hash = (hash ^ bits) * 1099511628211ull;
            }
        }
    }
    figures.outputHash = hash;
    return figures;
}

namespace
{
// Selects the 264-voice multi in a loaded instance.
std::unique_ptr<vsthost::HostedPlugin> finishMulti(std::unique_ptr<vsthost::HostedPlugin> plugin, const HeldMulti& held)
{
    plugin->setParameter(k1lib::Param_Mode, 1.0f);
    plugin->setProgram(static_cast<int>(held.multi));
    prime(*plugin);
    const k1lib::MultiPreset m = layout(held);
    for (int s = 0; s < kSections; ++s)
    {
        plugin->setParameter(sectionParam(k1lib::Param_MultiS1Single, s),
                             normalizedOf(k1lib::Param_MultiS1Single, static_cast<float>(m.sections[s].single)));
        plugin->setParameter(sectionParam(k1lib::Param_MultiS1Poly, s),
                             normalizedOf(k1lib::Param_MultiS1Poly, static_cast<float>(m.sections[s].poly)));
    }
    prime(*plugin);
    return plugin;
}
} // namespace

std::unique_ptr<vsthost::HostedPlugin> openDarvelloMulti(const std::string& path, float rate, int block)
{
    const HeldMulti& held = heldMulti();
    QuietStdout quiet;
    std::unique_ptr<vsthost::HostedPlugin> plugin = vsthost::HostedPlugin::load(path, rate, block);
    if (!plugin)
        return nullptr;
    plugin->resume();
    return finishMulti(std::move(plugin), held);
}

std::unique_ptr<vsthost::HostedPlugin> openDarvelloPitchMulti(const std::string& path, float rate, int block,
                                                              PitchMotion motion)
{
    const HeldMulti& held = heldMulti();
    const size_t offset = Engine::getSinglesOffsetForMulti(held.multi);
    // The shortest auto-bend time of at least 1.3 s: glide and fade-in
    // (three times as long) cover a four-second scene.
    int bendTime = 0;
    while (bendTime < 100 && k1lib::envDelayTime(static_cast<uint8_t>(bendTime)) < 1.3f)
        ++bendTime;
    {
        QuietStdout quiet;
        std::unique_ptr<vsthost::HostedPlugin> plugin = vsthost::HostedPlugin::load(path, rate, block);
        if (!plugin)
            return nullptr;
        plugin->resume();
        plugin->setParameter(k1lib::Param_Mode, 0.0f);
        prime(*plugin);
        const bool vibrato = motion != PitchMotion::Steady;
        const bool bend = motion == PitchMotion::AutoBend;
        for (int s = 0; s < kSections; ++s)
        {
            plugin->setProgram(static_cast<int>(offset + static_cast<size_t>(held.singles[static_cast<size_t>(s)])));
            prime(*plugin);
            plugin->setParameter(k1lib::Param_VibratoDepth, normalizedOf(k1lib::Param_VibratoDepth, vibrato ? 20.0f : 0.0f));
            plugin->setParameter(k1lib::Param_LfoSpeed, normalizedOf(k1lib::Param_LfoSpeed, 60.0f));
            plugin->setParameter(k1lib::Param_PressureToVibrato, normalizedOf(k1lib::Param_PressureToVibrato, 0.0f));
            plugin->setParameter(k1lib::Param_AutoBendDepth, normalizedOf(k1lib::Param_AutoBendDepth, bend ? 20.0f : 0.0f));
            plugin->setParameter(k1lib::Param_AutoBendTime,
                                 normalizedOf(k1lib::Param_AutoBendTime, bend ? static_cast<float>(bendTime) : 0.0f));
            for (int k = 0; k < 4; ++k)
                plugin->setParameter(static_cast<EParam>(k1lib::Param_SourceS1VibABend + k), vibrato ? 1.0f : 0.0f);
            prime(*plugin);
        }
        // The edited singles stay in the store of this instance: the multi
        // below plays them.
        return finishMulti(std::move(plugin), held);
    }
}

std::unique_ptr<vsthost::HostedPlugin> openDarvelloSingle(const std::string& path, float rate, int block)
{
    const size_t single = heldSingle();
    QuietStdout quiet;
    std::unique_ptr<vsthost::HostedPlugin> plugin = vsthost::HostedPlugin::load(path, rate, block);
    if (!plugin)
        return nullptr;
    plugin->resume();
    plugin->setProgram(static_cast<int>(single));
    prime(*plugin);
    return plugin;
}

namespace
{
Automation swing(vsthost::HostedPlugin& plugin, EParam p, int i, float lowest = 0.1f, float highest = 0.9f)
{
    Automation a;
    a.parameter = p;
    a.depth = 0.1f;
    a.centre = std::clamp(plugin.parameter(p), lowest + a.depth, highest - a.depth);
    a.period = 1.5 + 0.37 * i; // no two in step
    return a;
}
} // namespace

std::vector<Automation> multiAutomation(vsthost::HostedPlugin& plugin)
{
    std::vector<Automation> list;
    int i = 0;
    list.push_back(swing(plugin, k1lib::Param_MultiVolume, i++, 0.6f, 1.0f));
    list.push_back(swing(plugin, k1lib::Param_SourceMix12, i++));
    list.push_back(swing(plugin, k1lib::Param_SourceMix34, i++));
    for (int s = 0; s < kSections; ++s)
        list.push_back(swing(plugin, sectionParam(k1lib::Param_MultiS1Level, s), i++, 0.5f, 1.0f));
    for (int s = 0; s < 5; ++s)
        list.push_back(swing(plugin, sectionParam(k1lib::Param_MultiS1Tune, s), i++));
    return list;
}

std::vector<Automation> singleAutomation(vsthost::HostedPlugin& plugin)
{
    std::vector<Automation> list;
    int i = 0;
    list.push_back(swing(plugin, k1lib::Param_Volume, i++, 0.6f, 1.0f));
    list.push_back(swing(plugin, k1lib::Param_VibratoDepth, i++));
    list.push_back(swing(plugin, k1lib::Param_LfoSpeed, i++));
    list.push_back(swing(plugin, k1lib::Param_SourceMix12, i++));
    list.push_back(swing(plugin, k1lib::Param_SourceMix34, i++));
    for (int s = 0; s < 4; ++s)
        list.push_back(swing(plugin, static_cast<EParam>(k1lib::Param_SourceS1EnvLevel + s), i++, 0.5f, 1.0f));
    for (int s = 0; s < 4; ++s)
        list.push_back(swing(plugin, static_cast<EParam>(k1lib::Param_SourceS1Fine + s), i++));
    list.push_back(swing(plugin, k1lib::Param_PressureToFreq, i++));
    list.push_back(swing(plugin, k1lib::Param_AutoBendDepth, i++));
    list.push_back(swing(plugin, k1lib::Param_VelToDepth, i++));
    return list;
}
} // namespace k1bench
