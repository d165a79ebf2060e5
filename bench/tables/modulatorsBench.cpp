// Per-sample cost of the modulators the voice engine runs: one envelope step
// per source, one LFO and vibrato step per section, and the curve accessors.

#include <benchmark/benchmark.h>

#include <array>

#include "engine/envelope.h"
#include "engine/lfo.h"
#include "engine/tables.h"
#include "engine/vibrato.h"

namespace
{
constexpr float kRate = 49920.0f;
constexpr size_t kSources = 256; // e.g. 64 four-source voices

void envelopeStep(benchmark::State& state)
{
    std::array<k1lib::Env, kSources> envs;
    for (size_t i = 0; i < kSources; ++i)
        envs[i].init(static_cast<uint32_t>(i), k1lib::envAttackTime(static_cast<uint8_t>(i % 101)));
    const float decay = k1lib::envDecayTime(60);
    const float sustain = k1lib::envSustainLevel(70);
    for (auto _ : state)
    {
        float sum = 0.0f;
        for (auto& env : envs)
            sum += env.process(decay, sustain, kRate);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSources);
}
BENCHMARK(envelopeStep);

void lfoAndVibratoStep(benchmark::State& state)
{
    k1lib::SinglePreset single;
    single.lfoSpeed = 80;
    single.lfoShape = static_cast<uint32_t>(state.range(0));
    single.vibratoDepth = 70;
    single.pressureToVibrato = 60;
    std::array<k1lib::Lfo, 8> lfos;
    for (auto _ : state)
    {
        float sum = 0.0f;
        for (auto& lfo : lfos)
        {
            const float v = lfo.process(single, kRate, 0.25f);
            sum += k1lib::Vibrato::process(single, v, 0.5f, 0.25f);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 8);
}
BENCHMARK(lfoAndVibratoStep)->DenseRange(0, 3);

void perSampleAccessors(benchmark::State& state)
{
    uint8_t v = 0;
    for (auto _ : state)
    {
        v = static_cast<uint8_t>(v + 37);
        float sum = k1lib::lfoSpeed(v) + k1lib::pressureToEnvLevel(v) + k1lib::volume(v) +
                    k1lib::genericDepthModToLevel(v) + k1lib::pressureToFreq(v);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(perSampleAccessors);
} // namespace
