#pragma once

// The engine's only way out: reports to its owner (the plug-in facade) made
// synchronously on the thread that caused them, with the engine lock held.
// Every change of presets, parameters, play mode and configuration is one
// Change of the kinds declared in patch/changes.h (preset indexes count the
// working singles and multis; a parameter's value is normalized 0..1, as of
// CC16 / CC17). Outgoing MIDI and the owner's custom block of the state chunk
// are calls of their own.

#include <cstdint>
#include <vector>

#include "patch/changes.h"
#include "patch/instrumentTypes.h"

namespace k1lib
{
class IEngineListener
{
public:
    virtual void onChange(const Change& change) = 0;
    virtual void sendMidi(const SMidiEvent& event) = 0;
    virtual void serializeCustomData(std::vector<uint8_t>& data) = 0;
    virtual void deserializeCustomData(const std::vector<uint8_t>& data) = 0;

    virtual ~IEngineListener() = default;
};
} // namespace k1lib
