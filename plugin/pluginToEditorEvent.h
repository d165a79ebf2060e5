#pragma once

// One notification of the facade: copied by value into the open editor's
// queue and handled later on the editor's own thread, and the same record is
// what the facade keeps of a host-bridge call it delivers later (see
// HostCallQueue). index and count name a preset or a range of presets
// (working indexes); param and value belong to ParameterChanged only (value
// normalized 0..1). Fields a type does not use hold 0, and param holds
// Param_Count (no parameter).

#include <cstdint>

#include "patch/parameterEnum.h"

namespace k1lib
{
struct PluginToEditorEvent
{
    enum Type : uint32_t
    {
        ParameterChanged = 0,
        SinglesModified = 1,
        SingleModified = 2,
        ActiveSingleModified = 3,
        ActiveSingleChanged = 4,
        MultisModified = 5,
        MultiModified = 6,
        ActiveMultiModified = 7,
        ActiveMultiChanged = 8,
        PlayModeChanged = 9,
        ConfigChanged = 10,
        // For the host bridge only, never queued for the editor (which skips
        // types above ConfigChanged): outgoing MIDI, index naming the event
        // recorded alongside.
        SendMidi = 11,
    };

    uint32_t type = ParameterChanged;
    uint64_t index = 0;
    uint64_t count = 0;
    uint32_t param = Param_Count;
    float value = 0.0f;

    bool operator==(const PluginToEditorEvent&) const = default;
};
} // namespace k1lib
