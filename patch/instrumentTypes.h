#pragma once

// The plain records that the engine, the plug-in facade and the editor share:
// what plays (the play mode), the build variant, one MIDI event, the system
// settings, and the description of one storage of a preset list. They live
// below the engine so that the facade can hand them out without exposing
// the engine itself: the editor reads them and never sees the engine.

#include <cstdint>
#include <string>
#include <vector>

namespace k1lib
{
// What the instrument plays: the current single, or the current multi with its
// eight sections. Everything that numbers presets does so per play mode.
enum class PlayMode : uint8_t
{
    Single = 0,
    Multi = 1,
};

// The build variant the host bridge hands to the facade and the engine. The
// engine keeps it for the facade and never reads it; the VST bridge passes
// Vst (1), which hides the audio-output choice on the settings page.
enum class PluginType : uint32_t
{
    Default = 0,
    Vst = 1,
};

// One incoming or outgoing MIDI event: a short message in three bytes, or a
// whole system-exclusive message (F0 .. F7), in which case the three bytes
// are ignored. sampleOffset is the event's engine sample within the block; a
// negative offset acts at the start of the block, before anything of the
// block is rendered.
//
// The message's bytes are either the event's own (`sysex`) or, on the audio
// path, held in storage that the producer keeps for as long as the event is
// handled (`sysexView`, `sysexViewSize`; then `sysex` stays empty), so that
// passing an event along never allocates. Readers use sysexData() and
// sysexSize(), which see either.
struct SMidiEvent
{
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    std::vector<uint8_t> sysex;
    int32_t sampleOffset = 0;
    const uint8_t* sysexView = nullptr;
    uint32_t sysexViewSize = 0;

    bool isSysex() const { return !sysex.empty() || sysexViewSize != 0; }
    const uint8_t* sysexData() const { return sysex.empty() ? sysexView : sysex.data(); }
    size_t sysexSize() const { return sysex.empty() ? sysexViewSize : sysex.size(); }
    // A copy that owns its bytes, for keeping beyond the call that passed it
    // (allocates: not on the audio path).
    SMidiEvent owned() const
    {
        SMidiEvent copy;
        copy.status = status;
        copy.data1 = data1;
        copy.data2 = data2;
        copy.sampleOffset = sampleOffset;
        copy.sysex.assign(sysexData(), sysexData() + sysexSize());
        return copy;
    }
};

// The system settings (the engine's Engine::Config), stored in this order in
// the state chunk.
struct EngineConfig
{
    uint32_t receiveChannel = 0;  // 0-15, when omni is off
    uint32_t omni = 1;
    uint32_t programChange = 1;   // 0 ignore, 1 act, 2 per channel in multi mode
    uint32_t pressure = 1;
    uint32_t pitchBend = 1;
    uint32_t modWheel = 1;
    uint32_t volume = 1;
    uint32_t holdPedal = 1;
    uint32_t velocity = 1;        // 0: every note plays at velocity 127
    uint32_t sysexReceive = 1;
    uint32_t pan = 1;
    uint32_t sysexSend = 1;
    uint32_t audioOutputMode = 0; // 0 two outputs, 1 eight outputs

    bool operator==(const EngineConfig&) const = default;
};

// One storage of one preset list (the engine's Engine::StorageInfo): where its
// presets start in the factory list of its play mode, and how many there are.
struct StorageInfo
{
    uint64_t storageIndex = 0; // row of the bank table, 0-12
    uint32_t storageType = 0;  // 0 K1 internal, 1 K1 ROM card, 2 PHm module
    std::string shortName;
    std::string longName;
    uint64_t firstIndex = 0;
    uint64_t count = 0;
};
} // namespace k1lib
