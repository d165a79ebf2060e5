// Cost of the host's chunk requests: saving the whole state (115,707 bytes
// with a 20-byte custom blob) and restoring it, and answering a K1's
// all-singles request. All run under the engine lock, the last one on the
// audio thread.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine/engine.h"
#include "tools/common/nullEngineListener.h"

namespace
{
struct QuietListener : k1tools::NullEngineListener
{
    size_t sent = 0;
    void sendMidi(const k1lib::SMidiEvent& e) override { sent += e.sysexSize(); }
    void serializeCustomData(std::vector<uint8_t>& data) override { data.assign(20, 1); }
};

void BM_SaveState(benchmark::State& state)
{
    QuietListener listener;
    auto engine = std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType::Vst);
    std::vector<uint8_t> block;
    for (auto _ : state)
    {
        block.clear();
        engine->saveState(block);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * block.size()));
}
BENCHMARK(BM_SaveState)->Unit(benchmark::kMicrosecond);

void BM_LoadState(benchmark::State& state)
{
    QuietListener listener;
    auto engine = std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType::Vst);
    std::vector<uint8_t> block;
    engine->saveState(block);
    for (auto _ : state)
        benchmark::DoNotOptimize(engine->loadState(block));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * block.size()));
}
BENCHMARK(BM_LoadState)->Unit(benchmark::kMicrosecond);

void BM_AnswerAllSinglesRequest(benchmark::State& state)
{
    QuietListener listener;
    auto engine = std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType::Vst);
    const std::vector<uint8_t> request = {0xF0, 0x40, 0x00, 0x01, 0x00, 0x03, 0x00, 0x20, 0xF7};
    for (auto _ : state)
        engine->processMidiSysex(request);
    benchmark::DoNotOptimize(listener.sent);
}
BENCHMARK(BM_AnswerAllSinglesRequest)->Unit(benchmark::kMicrosecond);
} // namespace
