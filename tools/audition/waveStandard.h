#pragma once

// The standard every wave meets across the keyboard (figures from
// waveSweep.h), as readable failure lines naming the wave:
// - folded partials (between the harmonics, below 20 kHz) at least 45 dB
//   under the note for keys up to 96 and 30 dB for keys 97-108; where a
//   wave has faded to silence its level at C4 stands for the note. "Sin
//   16th" is held to 44 dB: a partial 16 samples long, read with linear
//   interpolation, has images 44.7 dB under it whatever its samples are;
//   wherever they fold into the band it cannot do better;
// - at each split key (48, 60, 72, 84) the harmonics above the fundamental
//   lose at most 6 dB against the key below (pure partials exempt: they
//   have none);
// - a pure partial is silent (40 dB under its C4) wherever it would fold
//   back into the audible band;
// - names kept: a "Sin" wave is its one partial; "Saw 1", "Inverse Saw" and
//   "Square 1" fall 6 dB per octave (+-1) up to their band limit, the
//   square and the triangle without even harmonics;
// - no two of the 256 waves within 1 dB of each other's fingerprint, but for
//   a wave and its inverse ("Saw 1", "Inverse Saw"): turned upside down a
//   wave keeps its spectrum, and is heard alike alone.

#include <string>
#include <vector>

#include "tools/audition/waveSweep.h"

namespace audition
{
struct WaveLimits
{
    double foldedToC7 = -45.0; // dB re the note, keys <= 96
    double foldedToC8 = -30.0; // keys 97-108
    double foldedSixteenth = -44.0;
    double splitDrop = 6.0;    // dB
    double faded = -40.0;      // dB re C4
    double slope = 1.0;        // dB per octave either side of -6
};

// The worst of each figure, for the tables.
struct WaveWorst
{
    double value = -1e9;
    int wave = -1;
    int key = 0;
};
struct WaveSummary
{
    WaveWorst foldedToC7, foldedSixteenth, foldedToC8, splitDrop, closest;
    int closestOther = -1;
};

// "Inverse X" and the first wave named "X ..." (or "X").
bool mirrorImages(const WaveFigures& a, const WaveFigures& b);
// The harmonic of a pure-partial wave ("Sin 12th": 12), 0 for other names.
int purePartial(const std::string& name);
// Folded level of the wave at one key of its sweep, dB re the note (or
// the C4 note where the wave has faded).
double foldedDb(const WaveFigures& wave, const WaveKeyFigures& key);

std::vector<std::string> checkWaves(const std::vector<WaveFigures>& waves, const WaveLimits& limits = {});
WaveSummary summarizeWaves(const std::vector<WaveFigures>& waves);
} // namespace audition
