// The wave standard's checks and its worst cases.

#include "tools/audition/waveStandard.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/engine.h"
#include "tools/audition/fingerprint.h"
#include "tools/audition/spectrum.h"

namespace audition
{
namespace
{
constexpr int kSplitKeys[] = {48, 60, 72, 84};
// A partial above this folds back below 20 kHz at the engine's rate.
constexpr double kFoldsAudibleHz = k1lib::Engine::kProcessingRate - 20000.0;
// Upper harmonics this far under the note are too weak to lose.
constexpr double kUpperFloorDb = -40.0;

std::string fmt(const char* format, double a, double b = 0.0, double c = 0.0)
{
    char text[200];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

std::string label(const WaveFigures& w)
{
    return fmt("wave %03.0f", w.wave + 1) + " \"" + w.name + "\": ";
}

double c4NoteDb(const WaveFigures& w)
{
    const WaveKeyFigures* c4 = w.at(60);
    return c4 != nullptr ? c4->noteDb : kSilentDb;
}

// Least-squares slope in dB per octave of the harmonics (odd ones only when
// asked) that stand above -60 dB, up to the band limit: what a cycle of the
// wave set can hold (above it the interpolation mirrors the spectrum), and
// the largest gap under the line.
bool slopeOf(const std::vector<double>& levels, bool oddOnly, double& slope, double& sag)
{
    constexpr int kCycleHarmonics = k1lib::Waveforms::kCycleLength / 2 - 1;
    std::vector<double> x, y;
    for (size_t i = 0; i < levels.size() && static_cast<int>(i) < kCycleHarmonics; ++i)
    {
        const int k = static_cast<int>(i) + 1;
        if ((oddOnly && k % 2 == 0) || levels[i] < -60.0)
            continue;
        x.push_back(std::log2(static_cast<double>(k)));
        y.push_back(levels[i]);
    }
    if (x.size() < 4)
        return false;
    const double n = static_cast<double>(x.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < x.size(); ++i)
    {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
    }
    // A power slope: 20 dB per decade of amplitude is 6 dB per octave either way.
    slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double offset = (sy - slope * sx) / n;
    sag = 0.0;
    for (size_t i = 0; i < x.size(); ++i)
        sag = std::max(sag, offset + slope * x[i] - y[i]);
    return true;
}

double evenOverOddDb(const std::vector<double>& levels)
{
    double even = 0.0, odd = 0.0;
    for (size_t i = 0; i < levels.size(); ++i)
        ((i % 2 == 1) ? even : odd) += std::pow(10.0, levels[i] / 10.0);
    return powerDb(even) - powerDb(odd);
}
} // namespace

bool mirrorImages(const WaveFigures& a, const WaveFigures& b)
{
    // "Inverse Saw" is "Saw 1" upside down.
    auto inverts = [](const std::string& inverse, const std::string& plain) {
        return inverse.rfind("Inverse ", 0) == 0 && plain.rfind(inverse.substr(8), 0) == 0;
    };
    return inverts(a.name, b.name) || inverts(b.name, a.name);
}

int purePartial(const std::string& name)
{
    if (name.rfind("Sin ", 0) != 0)
        return 0;
    return std::atoi(name.c_str() + 4);
}

double foldedDb(const WaveFigures& wave, const WaveKeyFigures& key)
{
    const double c4 = c4NoteDb(wave);
    const double reference = key.noteDb >= c4 - 30.0 ? key.noteDb : c4;
    return key.inharmonicDb - reference;
}

std::vector<std::string> checkWaves(const std::vector<WaveFigures>& waves, const WaveLimits& limits)
{
    std::vector<std::string> out;
    for (const WaveFigures& w : waves)
    {
        const std::string who = label(w);
        const int partial = purePartial(w.name);
        const double c4 = c4NoteDb(w);
        for (const WaveKeyFigures& k : w.keys)
        {
            const double folded = foldedDb(w, k);
            const double allowed =
                k.key <= 96 ? (partial == 16 ? limits.foldedSixteenth : limits.foldedToC7) : limits.foldedToC8;
            if (folded > allowed)
                out.push_back(who + fmt("folded partials at key %.0f only %.1f dB under the note (allowed %.0f dB)",
                                        k.key, -folded, -allowed));
            if (partial > 0 && partial * keyHz(k.key) > kFoldsAudibleHz &&
                std::max(k.noteDb, k.inharmonicDb) > c4 + limits.faded)
                out.push_back(who + fmt("still sounds at key %.0f (%.1f dB re C4) where its partial would fold back",
                                        k.key, std::max(k.noteDb, k.inharmonicDb) - c4));
        }
        for (int split : kSplitKeys)
        {
            const WaveKeyFigures* below = w.at(split - 1);
            const WaveKeyFigures* at = w.at(split);
            if (partial > 0 || below == nullptr || at == nullptr || below->upperDb < below->noteDb + kUpperFloorDb)
                continue;
            const double drop = below->upperDb - at->upperDb;
            if (drop > limits.splitDrop)
                out.push_back(who + fmt("loses %.1f dB of its harmonics above the fundamental from key %.0f to %.0f",
                                        drop, split - 1, split));
        }
        if (w.harmonics.size() > 1)
        {
            const std::vector<double>& h = w.harmonics[1]; // C4
            if (partial > 0)
            {
                for (size_t i = 0; i < h.size(); ++i)
                    if (static_cast<int>(i) + 1 != partial && h[i] > -20.0)
                        out.push_back(who + fmt("harmonic %.0f at %.1f dB beside its partial", static_cast<double>(i + 1), h[i]));
            }
            const bool odd = w.name == "Square 1" || w.name == "Triangle";
            if (odd && evenOverOddDb(h) > -25.0)
                out.push_back(who + fmt("even harmonics only %.1f dB under the odd ones", -evenOverOddDb(h)));
            if (w.name == "Saw 1" || w.name == "Inverse Saw" || w.name == "Square 1")
            {
                for (size_t i = 0; i < w.harmonics.size(); ++i)
                {
                    double slope = 0.0, sag = 0.0;
                    if (slopeOf(w.harmonics[i], odd, slope, sag) &&
                        (std::abs(slope + 6.0) > limits.slope || sag > 3.0))
                        out.push_back(who + fmt("falls %.1f dB per octave at key %.0f (harmonics up to %.1f dB under the line)",
                                                -slope, kHarmonicKeys[i], sag));
                }
            }
        }
    }
    for (size_t a = 0; a < waves.size(); ++a)
    {
        for (size_t b = a + 1; b < waves.size(); ++b)
        {
            const double d = fingerprintDistance(waves[a].fingerprint, waves[b].fingerprint);
            if (d < kTwinDistanceDb && !mirrorImages(waves[a], waves[b]))
                out.push_back(label(waves[a]) + fmt("within %.2f dB of wave %03.0f", d, waves[b].wave + 1) + " \"" +
                              waves[b].name + "\"");
        }
    }
    return out;
}

WaveSummary summarizeWaves(const std::vector<WaveFigures>& waves)
{
    WaveSummary s;
    s.closest.value = 1e9;
    for (const WaveFigures& w : waves)
    {
        for (const WaveKeyFigures& k : w.keys)
        {
            WaveWorst& worst = k.key > 96 ? s.foldedToC8 : purePartial(w.name) == 16 ? s.foldedSixteenth : s.foldedToC7;
            const double folded = foldedDb(w, k);
            if (k.key <= 108 && folded > worst.value)
                worst = WaveWorst{folded, w.wave, k.key};
        }
        for (int split : kSplitKeys)
        {
            const WaveKeyFigures* below = w.at(split - 1);
            const WaveKeyFigures* at = w.at(split);
            if (purePartial(w.name) > 0 || below == nullptr || at == nullptr ||
                below->upperDb < below->noteDb + kUpperFloorDb)
                continue;
            if (below->upperDb - at->upperDb > s.splitDrop.value)
                s.splitDrop = WaveWorst{below->upperDb - at->upperDb, w.wave, split};
        }
    }
    for (size_t a = 0; a < waves.size(); ++a)
        for (size_t b = a + 1; b < waves.size(); ++b)
        {
            const double d = fingerprintDistance(waves[a].fingerprint, waves[b].fingerprint);
            if (d < s.closest.value && !mirrorImages(waves[a], waves[b]))
            {
                s.closest = WaveWorst{d, waves[a].wave, 0};
                s.closestOther = waves[b].wave;
            }
        }
    return s;
}
} // namespace audition
