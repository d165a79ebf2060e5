#pragma once

// An engine listener that ignores every report: for tools, benchmarks, fuzz
// targets and tests that drive k1lib::Engine without a facade.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/engineListener.h"

namespace k1tools
{
struct NullEngineListener : k1lib::IEngineListener
{
    void onActiveSingleChanged(size_t) override {}
    void onSingleModified(size_t) override {}
    void onSinglesModified(size_t, size_t) override {}
    void onActiveSingleModified(size_t) override {}
    void onActiveMultiChanged(size_t) override {}
    void onMultiModified(size_t) override {}
    void onMultisModified(size_t, size_t) override {}
    void onActiveMultiModified(size_t) override {}
    void onParameterChanged(k1lib::EParam, float) override {}
    void sendMidi(const k1lib::SMidiEvent&) override {}
    void serializeCustomData(std::vector<uint8_t>&) override {}
    void deserializeCustomData(const std::vector<uint8_t>&) override {}
    void onPlayModeChanged() override {}
    void onConfigChanged() override {}
};
} // namespace k1tools
