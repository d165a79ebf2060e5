#pragma once

// The vibrato of one multi section: turns the section's LFO output, the
// channel pressure and the modulation wheel into a pitch offset in semitones
// (-12..12). No state; audio thread, once per engine sample and section.

#include "patch/presets.h"

namespace k1lib
{
struct Vibrato
{
    // lfo: this sample's Lfo::process output (-1..1); pressure: the channel
    // pressure 0..1; modWheel: the channel's CC1 value / 127.
    static float process(const SinglePreset& single, float lfo, float pressure, float modWheel)
    {
        return depth(single, pressure, modWheel) * lfo;
    }
    // The depth in semitones the LFO output is multiplied by: the same for a
    // whole stretch in which the single, the pressure and the wheel hold.
    static float depth(const SinglePreset& single, float pressure, float modWheel);
};
} // namespace k1lib
