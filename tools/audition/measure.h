#pragma once

// Measurements of rendered stereo samples at a given rate (hertz). Samples
// are linear floats; results follow figures.h.

#include <cstddef>
#include <vector>

#include "tools/audition/figures.h"

namespace audition
{
struct Stereo
{
    std::vector<float> left;
    std::vector<float> right;
    size_t size() const { return left.size(); }
};

double toDb(double linear);

// Peak, loudness, first sound, decay while held, centroid, release and the
// NaN/infinity/clipping flags of a take whose notes start at sample 0, are
// released at sample `release` (or never, when release >= size) and whose
// render stopped at `end` samples with `silent` true when the output had
// reached exact zeros for good.
TakeFigures measureTake(const Stereo& x, double rate, size_t release, bool silent);

// Power-weighted spectral centroid of samples [begin, end) of the mono sum,
// over Hann-windowed frames of 2048 samples. 0 for silence.
double spectralCentroid(const Stereo& x, double rate, size_t begin, size_t end);

// How far the level of [begin, end) swings, dB: the short-term level (25 ms
// windows every 10 ms) after a straight line in dB is taken out, highest
// minus lowest. hz, when given, receives how often it swings (crossings of
// the line / 2 per second).
double levelSwing(const Stereo& x, double rate, size_t begin, size_t end, double* hz = nullptr);

// Seconds from `from` to the first sample whose magnitude reaches `fraction`
// of the peak of [from, end); -1 when none does.
double timeToFraction(const std::vector<float>& x, double rate, size_t from, size_t end, double fraction);
} // namespace audition
