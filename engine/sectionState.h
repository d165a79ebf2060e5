#pragma once

// What the multi computes once per engine sample for one section and hands to
// every voice of that section: the section's LFO, the vibrato it drives and
// the channel's pitch offsets. Pitches are in semitones.

#include "engine/lfo.h"

namespace k1lib
{
struct SectionState
{
    Lfo lfo;                     // phase 0, nothing held, a random value drawn
    float vibrato = 0.0f;        // Vibrato::process output of this sample
    float depth = 0.0f;          // the vibrato's depth over the last span
    float bend = 0.0f;           // bend range x the channel's pitch bend
    float pressureToFreq = 0.0f; // the channel pressure through the single's depth
};
} // namespace k1lib
