#pragma once

// The controller state of one MIDI channel as the voices and the output
// routing read it. All values are plain gains or fractions:
// modWheel 0..1 (CC1), bend -1..8191/8192 (pitch bend), pressure 0..1
// (channel pressure), panLeft / panRight 1/64..1 and 0..1 (CC10), volume
// 0..1 (CC7). Written by the MIDI input between engine samples.

namespace k1lib
{
struct MidiState
{
    float modWheel = 0.0f;
    float bend = 0.0f;
    float pressure = 0.0f;
    float panLeft = 1.0f;
    float panRight = 1.0f;
    float volume = 1.0f;

    bool operator==(const MidiState&) const = default;
};
} // namespace k1lib
