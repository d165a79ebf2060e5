#pragma once

// Spectra of rendered notes: a Blackman-Harris power spectrum, its split
// into the note's harmonics and everything else (what folded back from
// above the engine's Nyquist frequency), the roll-off frequency and band
// levels. Powers are mean squares: a sine of amplitude A sums to A*A/2.

#include <complex>
#include <cstddef>
#include <vector>

namespace audition
{
// In-place radix-2 FFT (size a power of two).
void fft(std::vector<std::complex<double>>& a);

struct Spectrum
{
    std::vector<double> power; // bins 0 .. n/2 - 1
    double binHz = 0.0;
};

// The power spectrum of x[begin, begin + n); n a power of two, the samples
// inside x (missing ones count as zeros).
Spectrum powerSpectrum(const std::vector<float>& x, size_t begin, size_t n, double rate);
// The mean of the spectra of consecutive frames of `frame` samples over
// [begin, end).
Spectrum averageSpectrum(const std::vector<float>& x, size_t begin, size_t end, size_t frame, double rate);

// Half the width of the window's main lobe, in bins: the harmonics' own zone.
constexpr double kMainLobeBins = 4.0;

// A note's spectrum below limitHz, as powers: the fundamental's zone, the
// zones of harmonics 2 and up (of them, 3 and up: what is heard as
// brightness), and everything outside the zones (above the zone around
// 0 Hz). A harmonic's zone is its main lobe around k * f0, widened by
// relativeTolerance * k * f0 for sources tuned a little apart.
struct NoteSplit
{
    double fundamental = 0.0;
    double upper = 0.0;
    double third = 0.0;
    double inharmonic = 0.0;
    std::vector<double> harmonics; // each harmonic's zone, index k - 1
    double note() const { return fundamental + upper; }
};
NoteSplit splitNote(const Spectrum& s, double f0, double limitHz, double relativeTolerance = 0.0);

// The frequency below which `fraction` of the power under limitHz lies.
double rolloffHz(const Spectrum& s, double fraction, double limitHz);

// Power in third-octave bands from 50 Hz to 16 kHz (26 bands).
constexpr size_t kBandCount = 26;
std::vector<double> bandPowers(const Spectrum& s);

// Frequency of MIDI key (69 = 440 Hz).
double keyHz(double key);
// dB of a power ratio; kSilentDb for nothing.
double powerDb(double power);
} // namespace audition
