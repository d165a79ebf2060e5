#pragma once

// What the facade tells the host bridge: what changed (the kinds of
// patch/changes.h: preset switches and edits, parameter values to report as
// host automation, play-mode and configuration changes), outgoing MIDI, and
// the bridge's custom block of the state chunk. Preset indexes count the
// engine's working singles and multis.
//
// Threads: calls come from the thread that caused the change, with no facade
// lock held. What changed inside an audio block (program change, received
// sysex, CC16/CC17, a ramped play mode) arrives on the audio thread after the
// block; all else at the end of the facade call that caused it. Each delivery
// is the outgoing events in order, then one onChanges with everything that
// changed, merged (a dump of 32 singles is one SinglesModified for the run);
// a parameter's value is the one in force at delivery. An outgoing event's
// bytes (sysexData()) are valid for the length of its call. The custom-data
// pair always comes with the engine lock held, while a state chunk is
// written or read.

#include <cstdint>
#include <vector>

#include "patch/changes.h"
#include "patch/instrumentTypes.h"

namespace k1lib
{
class IPluginListener
{
public:
    virtual void onChanges(const Changes& changes) = 0;
    virtual void sendMidi(const SMidiEvent& event) = 0;
    virtual void serializeCustomData(std::vector<uint8_t>& data) = 0;
    virtual void deserializeCustomData(const std::vector<uint8_t>& data) = 0;

protected:
    // The facade never deletes its listener.
    ~IPluginListener() = default;
};
} // namespace k1lib
