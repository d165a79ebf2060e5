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
    void onActiveSingleChanged(size_t) override {}
    void onSingleModified(size_t) override {}
    void onActiveSingleModified(size_t) override {}
    void onSinglesModified(size_t, size_t) override {}
    void onActiveMultiChanged(size_t) override {}
    void onMultiModified(size_t) override {}
    void onActiveMultiModified(size_t) override {}
    void onMultisModified(size_t, size_t) override {}
    void sendMidi(const k1lib::SMidiEvent&) override {}
    void onParameterChanged(k1lib::EParam, float) override {}
    void serializeCustomData(std::vector<uint8_t>&) override {}
    void deserializeCustomData(const std::vector<uint8_t>&) override {}
    void onPlayModeChanged() override {}
    void onConfigChanged() override {}
};
} // namespace k1test
