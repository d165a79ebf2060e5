// Plays a list of timed events through the engine block by block.

#include "tools/render/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "engine/engine.h"
#include "tools/common/nullEngineListener.h"
#include "patch/log.h"

namespace k1render
{
namespace
{
constexpr int kBlock = 512;

// The channels the current multi's sections listen to, each once.
std::vector<uint8_t> multiChannels(const k1lib::Engine& engine)
{
    std::vector<uint8_t> channels;
    for (const k1lib::MultiSection& s : engine.getCurrentMulti().sections)
    {
        if (s.poly == 1 || s.level == 0 || s.channel < 0 || s.channel > 15)
            continue;
        const auto c = static_cast<uint8_t>(s.channel);
        if (std::find(channels.begin(), channels.end(), c) == channels.end())
            channels.push_back(c);
    }
    if (channels.empty())
        channels.push_back(0);
    return channels;
}

void put(std::vector<TimedEvent>& out, double beat, uint8_t status, uint8_t d1, uint8_t d2)
{
    constexpr double kSecondsPerBeat = 0.5; // 120 beats a minute
    out.push_back(TimedEvent{beat * kSecondsPerBeat, status, d1, d2, {}});
}

void note(std::vector<TimedEvent>& out, uint8_t channel, double beat, double beats, uint8_t key, uint8_t velocity)
{
    put(out, beat, static_cast<uint8_t>(0x90 | channel), key, velocity);
    put(out, beat + beats, static_cast<uint8_t>(0x80 | channel), key, 64);
}
} // namespace

std::vector<TimedEvent> demoPhrase(const std::vector<uint8_t>& channels)
{
    std::vector<TimedEvent> events;
    if (channels.empty())
        return events;
    // C, A minor, F, G: two beats each, twice.
    const uint8_t roots[4] = {48, 45, 41, 43};
    const uint8_t chords[4][3] = {{60, 64, 67}, {60, 64, 69}, {60, 65, 69}, {59, 62, 67}};
    const uint8_t melody[16] = {72, 74, 76, 79, 76, 74, 72, 69, 72, 77, 76, 74, 71, 74, 79, 77};
    for (int bar = 0; bar < 4; ++bar)
    {
        const double beat = bar * 2.0;
        note(events, channels.front(), beat, 1.8, roots[bar], 100);
        for (uint8_t c : channels)
            for (uint8_t key : chords[bar])
                note(events, c, beat, 1.9, key, 80);
        for (int i = 0; i < 4; ++i)
            note(events, channels.back(), beat + i * 0.5, 0.45, melody[bar * 4 + i], static_cast<uint8_t>(90 + i * 8));
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.seconds < b.seconds; });
    return events;
}

bool playedEvents(const RenderOptions& options, std::vector<TimedEvent>& events)
{
    events.clear();
    if (!options.midiFile.empty())
        return readSmfFile(options.midiFile, events);
    k1tools::NullEngineListener listener;
    auto engine = std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType::Default);
    if (options.multi && !engine->setMulti(options.preset))
    {
        K1_LOG("No multi " << options.preset);
        return false;
    }
    events = demoPhrase(options.multi ? multiChannels(*engine) : std::vector<uint8_t>{0});
    return true;
}

bool render(const RenderOptions& options, RenderResult& result)
{
    const bool hostRate = options.sampleRate != 0.0;
    if (hostRate && !(options.sampleRate >= kMinSampleRate && options.sampleRate <= kMaxSampleRate))
    {
        K1_LOG("Sample rate " << options.sampleRate << " Hz is outside " << kMinSampleRate << "-" << kMaxSampleRate);
        return false;
    }
    k1tools::NullEngineListener listener;
    auto engine = std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType::Default);
    if (hostRate)
        engine->setSamplerate(static_cast<float>(options.sampleRate));
    const bool selected = options.multi ? engine->setMulti(options.preset) : engine->setSingle(options.preset);
    if (!selected)
    {
        K1_LOG("No " << (options.multi ? "multi " : "single ") << options.preset);
        return false;
    }
    engine->setPlayMode(options.multi ? k1lib::PlayMode::Multi : k1lib::PlayMode::Single);

    std::vector<TimedEvent> events;
    if (options.midiFile.empty())
        events = demoPhrase(options.multi ? multiChannels(*engine) : std::vector<uint8_t>{0});
    else if (!readSmfFile(options.midiFile, events))
        return false;

    const double rate = hostRate ? options.sampleRate : engine->getProcessingSamplerate();
    const double lastEvent = events.empty() ? 0.0 : events.back().seconds;
    const double seconds = std::min(lastEvent + options.tailSeconds, options.maxSeconds);
    const auto frames = static_cast<size_t>(seconds * rate);
    result.sampleRate = static_cast<int>(std::lround(rate));
    result.left.assign(frames, 0.0f);
    result.right.assign(frames, 0.0f);

    std::vector<k1lib::SMidiEvent> block;
    size_t next = 0;
    for (size_t start = 0; start < frames; start += kBlock)
    {
        const int n = static_cast<int>(std::min<size_t>(kBlock, frames - start));
        block.clear();
        while (next < events.size())
        {
            const auto at = static_cast<size_t>(events[next].seconds * rate);
            if (at >= start + static_cast<size_t>(n))
                break;
            k1lib::SMidiEvent e;
            e.status = events[next].status;
            e.data1 = events[next].data1;
            e.data2 = events[next].data2;
            e.sysex = events[next].sysex; // dumps and parameter changes, as the plug-in takes them
            e.sampleOffset = static_cast<int32_t>(at >= start ? at - start : 0);
            block.push_back(e);
            ++next;
        }
        float* outputs[2] = {result.left.data() + start, result.right.data() + start};
        engine->process(outputs, 2, n, block);
    }
    return true;
}

bool writeWav(const std::string& path, const RenderResult& result)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
    {
        K1_LOG("Cannot write " << path);
        return false;
    }
    const uint32_t frames = static_cast<uint32_t>(result.left.size());
    const uint32_t dataBytes = frames * 4;
    const uint32_t rate = static_cast<uint32_t>(result.sampleRate);
    std::vector<uint8_t> bytes;
    bytes.reserve(44 + dataBytes);
    auto text = [&](const char* s) { bytes.insert(bytes.end(), s, s + 4); };
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](uint32_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    };
    text("RIFF");
    u32(36 + dataBytes);
    text("WAVE");
    text("fmt ");
    u32(16);
    u16(1); // PCM
    u16(2);
    u32(rate);
    u32(rate * 4);
    u16(4);
    u16(16);
    text("data");
    u32(dataBytes);
    for (uint32_t i = 0; i < frames; ++i)
    {
        for (float v : {result.left[i], result.right[i]})
        {
            const float clipped = std::clamp(v, -1.0f, 1.0f);
            u16(static_cast<uint16_t>(static_cast<int16_t>(std::lrint(clipped * 32767.0f))));
        }
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok)
    {
        K1_LOG("Cannot write " << path);
        return false;
    }
    return true;
}
} // namespace k1render
