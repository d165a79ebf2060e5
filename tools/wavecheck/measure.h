#pragma once

// Measurements of the wave set behind wavecheck's rules. Levels in dBFS
// (full scale = 128 steps of 8-bit), steps in LSB, pitch errors in cents.

#include <vector>

#include "engine/wavLoader.h"
#include "engine/waveforms.h"

namespace wavecheck
{
constexpr double kMaxLeakDb = -40.0;  // strongest partial above the band limit, re the strongest partial
constexpr double kMinPeakDb = -3.0;
constexpr double kMaxDcDb = -40.0;
constexpr double kMaxTailLsb = 1.0;   // level of a drum's last 5 %
constexpr double kMaxCents = 5.0;

struct Worst
{
    double value = 0.0;
    int wave = -1;       // 0-based
    double detail = 0.0; // rule-specific: key range, step
};

double layoutMismatches(const std::vector<k1lib::CuePoint>& cues);
double lengthFaults(const k1lib::Waveforms& set);
double flagMismatches(const k1lib::Waveforms& set);
Worst worstBandLeak(const k1lib::Waveforms& set);
Worst lowestPeak(const k1lib::Waveforms& set);
double clippedSamples(const k1lib::Waveforms& set);
Worst worstDc(const k1lib::Waveforms& set);
// value: the largest excess of a seam step over the largest step within 32
// samples either side of it (at least 3 LSB); wave and detail: the steepest seam.
Worst worstSeam(const k1lib::Waveforms& set);
Worst worstDrumTail(const k1lib::Waveforms& set);
Worst worstTuning(const k1lib::Waveforms& set);

// Magnitude of x at hz (sample rate rate); Hann-windowed unless x is one period
// of a periodic signal, whose partials then fall exactly on DFT bins.
double magnitudeAt(const char* x, size_t n, double hz, double rate, bool periodic);
} // namespace wavecheck
