#pragma once

// What the facade tells the host bridge: preset switches and edits, outgoing
// MIDI, parameter values to report as host automation (normalized 0..1), the
// bridge's custom block of the state chunk, and play-mode and configuration
// changes. Preset indexes count the engine's working singles and multis.
//
// Threads: calls come from the thread that caused the change, with no facade
// lock held. Calls caused inside an audio block (program change, received
// sysex, CC16/CC17, a ramped play mode) arrive on the audio thread after the
// block; all others at the end of the facade call that caused them. Each
// parameter and each kind of report arrives once per delivery, with its
// latest value; an outgoing event's bytes (sysexData()) are valid for the
// length of its call. The custom-data pair always comes with the engine lock
// held, while a state chunk is written or read.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "patch/instrumentTypes.h"
#include "patch/parameterEnum.h"

namespace k1lib
{
class IPluginListener
{
public:
    virtual void onActiveSingleChanged(size_t index) = 0;
    virtual void onSingleModified(size_t index) = 0;
    virtual void onActiveSingleModified(size_t index) = 0;
    virtual void onSinglesModified(size_t first, size_t count) = 0;
    virtual void onActiveMultiChanged(size_t index) = 0;
    virtual void onMultiModified(size_t index) = 0;
    virtual void onActiveMultiModified(size_t index) = 0;
    virtual void onMultisModified(size_t first, size_t count) = 0;
    virtual void sendMidi(const SMidiEvent& event) = 0;
    virtual void onParameterChanged(EParam param, float value) = 0;
    virtual void serializeCustomData(std::vector<uint8_t>& data) = 0;
    virtual void deserializeCustomData(const std::vector<uint8_t>& data) = 0;
    virtual void onPlayModeChanged() = 0;
    virtual void onConfigChanged() = 0;

protected:
    // The facade never deletes its listener.
    ~IPluginListener() = default;
};
} // namespace k1lib
