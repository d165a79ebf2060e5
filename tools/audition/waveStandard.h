#pragma once

// The standard every wave meets across the keyboard (figures from
// waveSweep.h), as readable failure lines naming the wave:
// - folded partials (between the harmonics, below 20 kHz) at least 45 dB
//   under the note for keys up to 96 and 30 dB for keys 97-108; where a
//   wave has faded to silence its level at C4 stands for the note. "Sin
//   16th" is held to 44 dB: a partial 16 samples long, read with linear
//   interpolation, has images 44.7 dB under it whatever its samples are;
//   wherever they fold into the band it cannot do better;
// - one timbre across each split key (48, 60, 72, 84), against the key
//   below: the third harmonic and up (brightness) change by at most 6 dB,
//   and by at most 3 dB for 95 % of the wave/split pairs; no harmonic both
//   keys carry (50 dB under the note or closer, 40 dB at one of them)
//   changes its share of all they carry by more than 6 dB (pure partials exempt: they have no others);
//   and at 48, 60 and 72 no harmonic within 6 dB of the strongest at the key
//   below falls more than 30 dB (against the strongest) at the split key: a
//   wave keeps the cluster that gives it its colour. At 84 the top range
//   cannot carry every such harmonic below the band limit: those losses are
//   listed apart (topRangeLosses), not failed;
// - a pure partial is silent (40 dB under its C4) wherever it would fold
//   back into the audible band;
// - names kept: a "Sin" wave is its one partial; "Saw 1", "Inverse Saw" and
//   "Square 1" fall 6 dB per octave (+-1) up to their band limit, the
//   square and the triangle without even harmonics; at C6 they carry (3 dB
//   under the line at most) every harmonic that at C8, the top key their
//   range is built for, still folds back out of hearing;
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
    double splitDrop = 6.0;    // dB, brightness change at a split, every pair
    double splitShift = 3.0;   // dB, ...
    double splitShare = 0.95;  // ... for this share of the wave/split pairs
    double harmonicShift = 6.0; // dB, one harmonic both keys carry
    double nearStrongest = -6.0; // dB re the strongest harmonic: one of the wave's colour
    double harmonicLoss = 30.0;  // dB such a harmonic may fall at a split key
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
    WaveWorst splitAt[4];   // the largest brightness change at keys 48, 60, 72, 84
    int splitPairs = 0;     // wave/split pairs with brightness at the key below
    int splitOver[4] = {};  // of them, changing more than 3 dB, per split
    WaveWorst harmonicShift; // the largest change of one harmonic
    int harmonic = 0;        // which
};

// Brightness and harmonics of a wave across one split key.
struct SplitChange
{
    bool bright = false;      // brightness at either key to lose or gain
    double third = 0.0;       // dB change of the third harmonic and up, key below minus split key
    double harmonic = 0.0;    // the largest change of one harmonic both keys carry, dB
    int harmonicIndex = 0;
};
SplitChange splitChange(const WaveFigures& wave, int split);
constexpr int kWaveSplitKeys[] = {48, 60, 72, 84};

// The largest fall, at a split key, of a harmonic that stood within
// `nearStrongest` dB of the strongest at the key below; levels against each
// key's strongest harmonic (a harmonic beyond 20 kHz at the split key counts
// as silent). harmonic 0: none stood there.
struct HarmonicLoss
{
    int harmonic = 0;
    double belowDb = 0.0; // re the strongest, at the key below
    double atDb = 0.0;    // re the strongest, at the split key
    double loss() const { return belowDb - atDb; }
};
HarmonicLoss harmonicLoss(const WaveFigures& wave, int split, double nearStrongest = WaveLimits{}.nearStrongest);
// The losses at key 84 over the limit, one line each: the top range's band
// limit leaves them, so they are reported, not failed.
std::vector<std::string> topRangeLosses(const std::vector<WaveFigures>& waves, const WaveLimits& limits = {});

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
