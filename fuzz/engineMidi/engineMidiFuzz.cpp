// Arbitrary MIDI through the engine: every input is a block of events (four
// bytes each: status, two data bytes, a signed offset) rendered on two or
// eight outputs in either play mode, at the engine's rate or through the
// resampler at a host rate. The engine must neither crash nor write outside
// the outputs, and its samples must stay finite.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "tools/common/nullEngineListener.h"

namespace
{
constexpr int kFrames = 96;
// Host rates picked by bits 4-6 of the first byte; 0 keeps the current one.
constexpr float kHostRates[8] = {0.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f, 22050.0f, 49920.0f, 8000.0f};
constexpr int kGuard = 16;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // One engine for the whole run, as a host keeps one: state carries over.
    static k1tools::NullEngineListener listener;
    static auto engine = std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType::Vst);
    if (size < 1)
        return 0;

    const uint8_t flags = data[0];
    k1lib::Engine::Config config = engine->getConfig();
    config.audioOutputMode = flags & 1;
    engine->setConfig(config);
    if (flags & 2)
        engine->setPlayMode((flags & 4) ? k1lib::PlayMode::Multi : k1lib::PlayMode::Single);
    const int outputs = (flags & 8) ? 8 : 2;
    if (const float rate = kHostRates[(flags >> 4) & 7]; rate > 0.0f)
        engine->setSamplerate(rate);

    std::vector<k1lib::SMidiEvent> events;
    for (size_t i = 1; i + 4 <= size; i += 4)
    {
        k1lib::SMidiEvent e;
        e.status = data[i];
        e.data1 = data[i + 1];
        e.data2 = data[i + 2];
        e.sampleOffset = static_cast<int8_t>(data[i + 3]);
        events.push_back(e);
    }

    std::vector<std::vector<float>> buffers(outputs, std::vector<float>(kFrames + kGuard, 5.0f));
    std::vector<float*> ptrs;
    for (auto& b : buffers)
        ptrs.push_back(b.data());
    engine->process(ptrs.data(), outputs, kFrames, events);
    for (const auto& b : buffers)
    {
        for (int i = 0; i < kFrames; ++i)
            if (!std::isfinite(b[i]))
                std::abort();
        for (int i = kFrames; i < kFrames + kGuard; ++i)
            if (b[i] != 5.0f)
                std::abort();
    }
    return 0;
}
