// Cost of the per-sample parameter step and of automation writes.

#include <benchmark/benchmark.h>

#include "engine/parameterManager.h"
#include "patch/parameterConverter.h"

using namespace k1lib;

// One engine sample with every parameter ramping: the worst case.
static void BM_ProcessAllRamping(benchmark::State& state)
{
    ParameterManager m;
    m.process();
    bool up = true;
    uint32_t steps = 0;
    for (auto _ : state)
    {
        if (steps == 0)
        {
            for (uint32_t p = 0; p < kParamCount; ++p)
                m.setVSTParam(p, up ? 1.0f : 0.0f, true);
            up = !up;
            steps = m.getStepsPerRamp();
        }
        benchmark::DoNotOptimize(m.process());
        --steps;
    }
}
BENCHMARK(BM_ProcessAllRamping);

// One engine sample with nothing to do: what an idle instrument pays.
static void BM_ProcessIdle(benchmark::State& state)
{
    ParameterManager m;
    m.process();
    for (auto _ : state)
        benchmark::DoNotOptimize(m.process());
}
BENCHMARK(BM_ProcessIdle);

// Writing automated values into a single, as the engine does per change.
static void BM_ToSingle(benchmark::State& state)
{
    SinglePreset preset;
    int value = 0;
    for (auto _ : state)
    {
        for (uint32_t p = Param_Volume; p <= Param_SourceS4FreqKeyScaleToFreq; ++p)
            ParameterConverter::toSingle(preset, static_cast<EParam>(p), value);
        value = (value + 1) & 63;
        benchmark::DoNotOptimize(preset);
    }
}
BENCHMARK(BM_ToSingle);
