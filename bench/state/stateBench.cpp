// Cost of the host's chunk requests: saving the whole state (115,707 bytes
// with a 20-byte custom blob) and restoring it, and answering a K1's
// all-singles request. All run under the engine lock, the last one on the
// audio thread.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine/engine.h"

namespace
{
struct QuietListener : k1lib::IEngineListener
{
    size_t sent = 0;
    void onActiveSingleChanged(size_t) override {}
    void onSingleModified(size_t) override {}
    void onSinglesModified(size_t, size_t) override {}
    void onActiveSingleModified(size_t) override {}
    void onActiveMultiChanged(size_t) override {}
    void onMultiModified(size_t) override {}
    void onMultisModified(size_t, size_t) override {}
    void onActiveMultiModified(size_t) override {}
    void onParameterChanged(k1lib::EParam, float) override {}
    void sendMidi(const k1lib::SMidiEvent& e) override { sent += e.sysex.size(); }
    void serializeCustomData(std::vector<uint8_t>& data) override { data.assign(20, 1); }
    void deserializeCustomData(const std::vector<uint8_t>&) override {}
    void onPlayModeChanged() override {}
    void onConfigChanged() override {}
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
