#pragma once

// A host bridge that ignores every report of the facade: tests derive from it
// and listen only to what they check.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugin/pluginListener.h"

namespace k1test
{
struct QuietPluginListener : k1lib::IPluginListener
{
    void onChanges(const k1lib::Changes&) override {}
    void sendMidi(const k1lib::SMidiEvent&) override {}
    void serializeCustomData(std::vector<uint8_t>&) override {}
    void deserializeCustomData(const std::vector<uint8_t>&) override {}
};
} // namespace k1test
