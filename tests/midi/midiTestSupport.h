#pragma once

// Shared helpers of the MIDI input and resampler tests: a listener that
// records when each controller-driven parameter change acts (in engine
// samples) and what the engine reported, and a host that renders at any rate
// in blocks of chosen sizes with events at absolute host frames.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "tests/engine/engineTestSupport.h"

namespace k1test
{
struct RecordingListener : CountingListener
{
    const k1lib::Engine* engine = nullptr;
    struct Change
    {
        k1lib::EParam param;
        float value;
        uint64_t sample; // engine sample at which the event acted
    };
    std::vector<Change> changes;
    void onChange(const k1lib::Change& change) override
    {
        CountingListener::onChange(change);
        if (change.kind == k1lib::ChangeKind::ParameterChanged)
            changes.push_back({change.param, change.value, engine != nullptr ? engine->getSampleTime() : 0});
    }
};

// An engine at a host rate (0: none set) and the blocks a host would send.
struct RateHost
{
    RecordingListener listener;
    std::unique_ptr<k1lib::Engine> engine;

    explicit RateHost(float rate)
    {
        engine = std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType::Vst);
        listener.engine = engine.get();
        if (rate > 0.0f)
            engine->setSamplerate(rate);
    }

    // Renders frames host frames on `channels` outputs; nextBlock gives each
    // block's size. Events carry absolute host frames. Returns channel-major
    // samples.
    std::vector<std::vector<float>> render(int frames, std::vector<k1lib::SMidiEvent> events,
                                           const std::function<int()>& nextBlock, int channels = 2)
    {
        std::vector<std::vector<float>> out(static_cast<size_t>(channels), std::vector<float>(frames, -7.0f));
        std::vector<k1lib::SMidiEvent> block;
        std::vector<float*> pointers(static_cast<size_t>(channels));
        size_t next = 0;
        for (int start = 0; start < frames;)
        {
            const int n = std::min(std::max(nextBlock(), 1), frames - start);
            block.clear();
            while (next < events.size() && events[next].sampleOffset < start + n)
            {
                k1lib::SMidiEvent e = events[next++];
                e.sampleOffset -= start;
                block.push_back(e);
            }
            for (int c = 0; c < channels; ++c)
                pointers[static_cast<size_t>(c)] = out[static_cast<size_t>(c)].data() + start;
            engine->process(pointers.data(), channels, n, block);
            start += n;
        }
        return out;
    }
};

// The engine sample a host frame starts at.
inline uint64_t engineSampleOf(int64_t hostFrame, double rate)
{
    return static_cast<uint64_t>(static_cast<double>(hostFrame) * k1lib::Engine::kProcessingRate / rate);
}

// Deterministic pseudo-random numbers for block sizes and event times.
struct Lcg
{
    uint32_t state;
    explicit Lcg(uint32_t seed) : state(seed) {}
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int between(int low, int high) { return low + static_cast<int>(next() % static_cast<uint32_t>(high - low + 1)); }
};
} // namespace k1test
