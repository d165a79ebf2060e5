#pragma once

// Spectral shapes the single-cycle recipes are built from: filters and
// formants over frequency f in Hz, pluck positions, sparse partial sets and
// organ drawbars. Amplitudes are linear.

#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/wavegen/recipes.h"
#include "tools/wavegen/synth.h"

namespace wavegen
{
using Amp = std::function<double(int, double)>;

inline double lowpass(double f, double fc, double order)
{
    return 1.0 / std::sqrt(1.0 + std::pow(f / fc, 2.0 * order));
}
inline double highpass(double f, double fc, double order)
{
    return 1.0 / std::sqrt(1.0 + std::pow(fc / f, 2.0 * order));
}
// A broad resonance: 1 at the centre, falling off over bw Hz.
inline double formant(double f, double centre, double bw)
{
    return 1.0 / (1.0 + std::pow((f - centre) / bw, 2.0));
}
inline double resonance(double k, double r, double q)
{
    const double x = k / r;
    return 1.0 / std::sqrt((1.0 - x * x) * (1.0 - x * x) + (x / q) * (x / q));
}
inline double pluck(int k, double position)
{
    return std::abs(std::sin(kPi * k * position));
}

// Sparse harmonic sets (bells, mallets, drawbars): harmonic -> level.
inline Amp partials(std::map<int, double> levels)
{
    return [levels](int k, double)
    {
        const auto it = levels.find(k);
        return it == levels.end() ? 0.0 : it->second;
    };
}

// Organ drawbars 8', 4', 2 2/3', 2', 1 3/5', 1 1/3', 1' (0-8, about 3 dB a step).
inline Amp drawbars(std::vector<int> bars)
{
    static const int harmonic[7] = {1, 2, 3, 4, 5, 6, 8};
    std::map<int, double> levels;
    for (size_t i = 0; i < bars.size() && i < 7; ++i)
        if (bars[i] > 0)
            levels[harmonic[i]] = std::pow(10.0, -3.0 * (8 - bars[i]) / 20.0);
    return partials(levels);
}

inline Amp saw(double rolloff = 1.0)
{
    return [rolloff](int k, double) { return 1.0 / std::pow(k, rolloff); };
}

inline Amp plucked(double position, double rolloff, double cutoffHz)
{
    return [=](int k, double f) { return pluck(k, position) / std::pow(k, rolloff) * lowpass(f, cutoffHz, 1.0); };
}

// Source with spectral tilt through up to three formants (Hz, bandwidth Hz, gain).
inline Amp formants(double tilt, std::vector<std::array<double, 3>> peaks, double floor = 0.05)
{
    return [=](int k, double f)
    {
        double g = floor;
        for (const auto& p : peaks)
            g += p[2] * formant(f, p[0], p[1]);
        return g / std::pow(k, tilt);
    };
}

// Brass: the spectrum rises to a peak frequency and falls steeply above it; the
// lowest partials keep some weight so low notes do not turn thin.
inline Amp brass(double peakHz, double slopeAbove)
{
    return [=](int k, double f)
    { return (f < peakHz ? std::pow(f / peakHz, 0.7) : std::pow(peakHz / f, slopeAbove)) + 0.3 / (k * k); };
}

inline Amp scaled(Amp a, std::function<double(int, double)> g)
{
    return [a, g](int k, double f) { return a(k, f) * g(k, f); };
}

inline Recipe classic(Amp amp)
{
    return Recipe{std::move(amp), true};
}
inline Recipe voiced(Amp amp)
{
    return Recipe{std::move(amp), false};
}

// Instrument-named waves (and "Random", "Inverse Saw", "Triangle").
Recipe instrumentRecipe(const std::string& name, int index);
} // namespace wavegen
