#pragma once

// The standard every factory preset meets, as checks over the figures of
// one storage. Each failure is one readable line naming the preset.
//
// - Sound within 50 ms of note-on (1.5 s for a slow swell); exact silence
//   within 10 s of the release; never NaN or infinity.
// - No clipping of the chord at velocity 110; the C4 loudness of each single
//   within 8 dB of the storage's median.
// - Velocity 40 at least 1 dB quieter or 3 % darker than 110 wherever
//   velocity moves a source's level (for a multi: of a section its first
//   note reaches, or the velocity halves reach different sections).
// - Named basses darker than every named lead or bell of the storage;
//   struck and plucked families 6 dB down by the end of a 2 s hold.
// - Every used section of a multi sounds in its phrase.

#include <string>
#include <vector>

#include "tools/audition/figures.h"

namespace audition
{
struct Limits
{
    double firstSound = 0.05;      // seconds
    double swellFirstSound = 1.5;  // seconds
    double silence = 10.0;         // seconds after the release
    double loudnessSpread = 8.0;   // dB either side of the storage median
    double velocityQuieter = 1.0;  // dB
    double velocityDarker = 0.97;  // centroid ratio
    double percussiveDecay = -6.0; // dB by the end of the hold
};

std::vector<std::string> checkSingles(const std::vector<SingleFigures>& storage, const Limits& limits = {});
std::vector<std::string> checkMultis(const std::vector<MultiFigures>& storage, const Limits& limits = {});

double median(std::vector<double> values);
} // namespace audition
