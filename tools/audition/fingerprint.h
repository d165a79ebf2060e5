#pragma once

// A sound's fingerprint: its third-octave band levels in a few spectra (time
// frames of a held note, or the same wave at several keys), in dB against the
// power of all of them together, so that loudness does not enter. Two sounds
// whose fingerprints lie within 1 dB of each other (RMS over the cells) are
// heard as the same sound.

#include <utility>
#include <vector>

#include "tools/audition/measure.h"
#include "tools/audition/spectrum.h"

namespace audition
{
constexpr double kFingerprintFloorDb = -60.0;
constexpr double kTwinDistanceDb = 1.0;

std::vector<double> fingerprint(const std::vector<Spectrum>& spectra);
// Spectra of the mono sum over each span [from, to) in seconds.
std::vector<double> fingerprint(const Stereo& x, double rate, const std::vector<std::pair<double, double>>& spans);
// RMS of the cell differences over the cells where either sound stands
// above the floor; a large value when the sizes differ.
double fingerprintDistance(const std::vector<double>& a, const std::vector<double>& b);
} // namespace audition
