#pragma once

// The engine's only way out: reports to its owner (the plug-in facade) made
// synchronously on the thread that caused them, with the engine lock held.
// Preset indexes count the working singles and multis of the engine.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "patch/instrumentTypes.h"
#include "patch/parameterEnum.h"

namespace k1lib
{
class IEngineListener
{
public:
    virtual void onActiveSingleChanged(size_t index) = 0;
    virtual void onSingleModified(size_t index) = 0;
    virtual void onSinglesModified(size_t first, size_t count) = 0;
    virtual void onActiveSingleModified(size_t index) = 0;
    virtual void onActiveMultiChanged(size_t index) = 0;
    virtual void onMultiModified(size_t index) = 0;
    virtual void onMultisModified(size_t first, size_t count) = 0;
    virtual void onActiveMultiModified(size_t index) = 0;
    // normalized: the parameter's new host value 0..1 (CC16 / CC17).
    virtual void onParameterChanged(EParam param, float normalized) = 0;
    virtual void sendMidi(const SMidiEvent& event) = 0;
    virtual void serializeCustomData(std::vector<uint8_t>& data) = 0;
    virtual void deserializeCustomData(const std::vector<uint8_t>& data) = 0;
    virtual void onPlayModeChanged() = 0;
    virtual void onConfigChanged() = 0;

    virtual ~IEngineListener() = default;
};
} // namespace k1lib
