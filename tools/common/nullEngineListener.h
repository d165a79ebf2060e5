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
    void onChange(const k1lib::Change&) override {}
    void sendMidi(const k1lib::SMidiEvent&) override {}
    void serializeCustomData(std::vector<uint8_t>&) override {}
    void deserializeCustomData(const std::vector<uint8_t>&) override {}
};
} // namespace k1tools
