// Cost of the engine at its own rate (49920 Hz, no resampler) for fixed
// scenes: 33 voices of a four-source single, 264 voices in eight multi
// sections, the same with moving pitch, and note churn with stealing; and of
// the 264 voices for a host at 44.1 kHz, converted by the resampler.
//
// Counters: cpu_per_audio_s (CPU seconds per second of audio; below 1/3 is
// three times faster than real time), voice_s_per_cpu_s (voices x audio
// seconds per CPU second) and ns_per_source_sample.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "tests/engine/engineScenes.h"
#include "tests/engine/engineTestSupport.h"

namespace
{
constexpr int kBlock = 512;
constexpr double kRate = 49920.0;

struct Host
{
    k1test::CountingListener listener;
    std::unique_ptr<k1lib::Engine> engine = std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType::Vst);
    double rate = kRate; // of the host's blocks
    std::vector<float> left = std::vector<float>(kBlock);
    std::vector<float> right = std::vector<float>(kBlock);
    float* outputs[2] = {left.data(), right.data()};

    void block(std::vector<k1lib::SMidiEvent>& events) { engine->process(outputs, 2, kBlock, events); }
};

void report(benchmark::State& state, double voiceBlocks, double sourceBlocks, double rate = kRate)
{
    const double blocks = static_cast<double>(state.iterations());
    const double audioSeconds = blocks * kBlock / rate;
    state.counters["cpu_per_audio_s"] =
        benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["voice_s_per_cpu_s"] =
        benchmark::Counter(voiceBlocks * kBlock / rate, benchmark::Counter::kIsRate);
    state.counters["ns_per_source_sample"] = benchmark::Counter(
        1e-9 * sourceBlocks * kBlock, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Held voices: sections x 33 voices of four sources. A host rate other than
// the engine's own goes through the resampler; source samples are then
// counted at the host rate too.
void heldScene(benchmark::State& state, bool multi, bool movingPitch, double hostRate = kRate)
{
    Host host;
    if (hostRate != kRate)
    {
        host.engine->setSamplerate(static_cast<float>(hostRate));
        host.rate = hostRate;
    }
    if (multi)
        k1scenes::setupMulti(*host.engine, movingPitch);
    else
        k1scenes::setupSingle(*host.engine, movingPitch);
    std::vector<k1lib::SMidiEvent> events = k1scenes::heldNotes(multi ? 8 : 1);
    host.block(events);
    events.clear();
    double voiceBlocks = 0.0;
    double sourceBlocks = 0.0;
    for (auto _ : state)
    {
        host.block(events);
        const double voices = static_cast<double>(host.engine->getMulti().getActiveVoiceCount());
        voiceBlocks += voices;
        sourceBlocks += voices * 4.0;
        benchmark::DoNotOptimize(host.left.data());
    }
    report(state, voiceBlocks, sourceBlocks, host.rate);
}

void Single33Voices(benchmark::State& state) { heldScene(state, false, false); }
void Multi264Voices(benchmark::State& state) { heldScene(state, true, false); }
void Multi264VoicesAt44100Hz(benchmark::State& state) { heldScene(state, true, false, 44100.0); }
void Multi264VoicesMovingPitch(benchmark::State& state) { heldScene(state, true, true); }

void NoteChurn1000PerSecond(benchmark::State& state)
{
    Host host;
    k1scenes::setupSingle(*host.engine, false);
    k1scenes::Churn churn;
    std::vector<k1lib::SMidiEvent> events;
    events.reserve(64);
    double voiceBlocks = 0.0;
    double sourceBlocks = 0.0;
    for (auto _ : state)
    {
        state.PauseTiming();
        churn.next(events, kBlock);
        state.ResumeTiming();
        host.block(events);
        const double voices = static_cast<double>(host.engine->getMulti().getActiveVoiceCount());
        voiceBlocks += voices;
        sourceBlocks += voices * 4.0;
    }
    report(state, voiceBlocks, sourceBlocks);
}
} // namespace

BENCHMARK(Single33Voices)->Unit(benchmark::kMicrosecond);
BENCHMARK(Multi264Voices)->Unit(benchmark::kMicrosecond);
BENCHMARK(Multi264VoicesAt44100Hz)->Unit(benchmark::kMicrosecond);
BENCHMARK(Multi264VoicesMovingPitch)->Unit(benchmark::kMicrosecond);
BENCHMARK(NoteChurn1000PerSecond)->Unit(benchmark::kMicrosecond);
