// The wave standard's checks and its worst cases.

#include "tools/audition/waveStandard.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdio>
#include <cstdlib>

#include "engine/engine.h"
#include "tools/audition/fingerprint.h"
#include "tools/audition/spectrum.h"

namespace audition
{
namespace
{
// A partial above this folds back below 20 kHz at the engine's rate.
constexpr double kFoldsAudibleHz = k1lib::Engine::kProcessingRate - 20000.0;
// Upper harmonics this far under the note are too weak to lose.
constexpr double kUpperFloorDb = -40.0;
// A harmonic this far under the note at either key is not carried there.
constexpr double kCarriedFloorDb = -50.0;
// The top key range serves up to C8.
constexpr int kTopRangeKey = 108;
constexpr int kTopRangeFirstKey = 84;

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
// asked) that stand above -50 dB (under it lie the 8-bit steps), up to the
// band limit: what a cycle of the wave set can hold (above it the
// interpolation mirrors the spectrum), and the largest gap under the line.
bool slopeOf(const std::vector<double>& levels, bool oddOnly, double& slope, double& sag)
{
    constexpr int kCycleHarmonics = k1lib::Waveforms::kCycleLength / 2 - 1;
    std::vector<double> x, y;
    for (size_t i = 0; i < levels.size() && static_cast<int>(i) < kCycleHarmonics; ++i)
    {
        const int k = static_cast<int>(i) + 1;
        if ((oddOnly && k % 2 == 0) || levels[i] < -50.0)
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

SplitChange splitChange(const WaveFigures& w, int split)
{
    SplitChange c;
    const WaveKeyFigures* below = w.at(split - 1);
    const WaveKeyFigures* at = w.at(split);
    if (purePartial(w.name) > 0 || below == nullptr || at == nullptr)
        return c;
    c.bright = std::max(below->thirdDb - below->noteDb, at->thirdDb - at->noteDb) >= kUpperFloorDb;
    if (c.bright)
        c.third = below->thirdDb - at->thirdDb;
    // The harmonics both keys carry, and each one's share of all of them:
    // the tables are each as loud as they can be, so a range with fewer
    // harmonics plays the ones it has a little louder.
    std::vector<size_t> carried;
    double sumBelow = 0.0, sumAt = 0.0;
    for (size_t i = 0; i < below->harmonicDb.size() && i < at->harmonicDb.size(); ++i)
    {
        const double a = below->harmonicDb[i] - below->noteDb;
        const double b = at->harmonicDb[i] - at->noteDb;
        if (std::max(a, b) < kUpperFloorDb || std::min(a, b) < kCarriedFloorDb)
            continue;
        carried.push_back(i);
        sumBelow += std::pow(10.0, below->harmonicDb[i] / 10.0);
        sumAt += std::pow(10.0, at->harmonicDb[i] / 10.0);
    }
    for (size_t i : carried)
    {
        const double change =
            std::abs((below->harmonicDb[i] - powerDb(sumBelow)) - (at->harmonicDb[i] - powerDb(sumAt)));
        if (change > c.harmonic)
        {
            c.harmonic = change;
            c.harmonicIndex = static_cast<int>(i) + 1;
        }
    }
    return c;
}

HarmonicLoss harmonicLoss(const WaveFigures& w, int split, double nearStrongest)
{
    HarmonicLoss worst;
    const WaveKeyFigures* below = w.at(split - 1);
    const WaveKeyFigures* at = w.at(split);
    if (purePartial(w.name) > 0 || below == nullptr || at == nullptr || below->harmonicDb.empty() ||
        at->harmonicDb.empty())
        return worst;
    const double strongestBelow = *std::max_element(below->harmonicDb.begin(), below->harmonicDb.end());
    const double strongestAt = *std::max_element(at->harmonicDb.begin(), at->harmonicDb.end());
    for (size_t i = 0; i < below->harmonicDb.size(); ++i)
    {
        const double before = below->harmonicDb[i] - strongestBelow;
        if (before < nearStrongest)
            continue;
        const double after = i < at->harmonicDb.size() ? at->harmonicDb[i] - strongestAt : kSilentDb;
        if (worst.harmonic == 0 || before - after > worst.loss())
            worst = HarmonicLoss{static_cast<int>(i) + 1, before, after};
    }
    return worst;
}

namespace
{
std::string lossLine(const WaveFigures& w, int split, const HarmonicLoss& h)
{
    return label(w) + fmt("harmonic %.0f falls from %.1f to ", h.harmonic, h.belowDb) +
           fmt("%.1f dB re the strongest from key %.0f to %.0f", h.atDb, split - 1, split);
}
} // namespace

std::vector<std::string> topRangeLosses(const std::vector<WaveFigures>& waves, const WaveLimits& limits)
{
    std::vector<std::string> out;
    for (const WaveFigures& w : waves)
    {
        const HarmonicLoss h = harmonicLoss(w, kTopRangeFirstKey, limits.nearStrongest);
        if (h.harmonic > 0 && h.loss() > limits.harmonicLoss)
            out.push_back(lossLine(w, kTopRangeFirstKey, h));
    }
    return out;
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
    int pairs = 0, shifted = 0;
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
        for (int split : kWaveSplitKeys)
        {
            const SplitChange c = splitChange(w, split);
            pairs += c.bright ? 1 : 0;
            shifted += std::abs(c.third) > limits.splitShift ? 1 : 0;
            if (std::abs(c.third) > limits.splitDrop)
                out.push_back(who + (c.third > 0.0 ? "loses" : "gains") +
                              fmt(" %.1f dB of its third harmonic and up from key %.0f to %.0f", std::abs(c.third),
                                  split - 1, split));
            if (c.harmonic > limits.harmonicShift)
                out.push_back(who + fmt("harmonic %.0f changes %.1f dB from key %.0f to ", c.harmonicIndex, c.harmonic,
                                        split - 1) +
                              fmt("%.0f", split));
            const HarmonicLoss lost = harmonicLoss(w, split, limits.nearStrongest);
            if (split < kTopRangeFirstKey && lost.harmonic > 0 && lost.loss() > limits.harmonicLoss)
                out.push_back(lossLine(w, split, lost));
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
                // At C6 the top range's band limit: what still folds out of
                // hearing at its top key.
                const int carried = static_cast<int>(kFoldsAudibleHz / keyHz(kTopRangeKey));
                const size_t atC6 = static_cast<size_t>(std::find(std::begin(kHarmonicKeys), std::end(kHarmonicKeys),
                                                                  kTopRangeFirstKey) - std::begin(kHarmonicKeys));
                for (int k = 2; atC6 < w.harmonics.size() && k <= carried; ++k)
                {
                    const std::vector<double>& c6 = w.harmonics[atC6];
                    if ((odd && k % 2 == 0) || static_cast<size_t>(k) > c6.size())
                        continue;
                    const double line = -20.0 * std::log10(static_cast<double>(k));
                    if (c6[static_cast<size_t>(k) - 1] < line - 3.0)
                    {
                        out.push_back(who + fmt("harmonic %.0f at key %.0f %.1f dB under its line", k,
                                                kTopRangeFirstKey, line - c6[static_cast<size_t>(k) - 1]) +
                                      fmt(" (the band limit carries %.0f harmonics)", carried));
                        break;
                    }
                }
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
    if (pairs > 0 && shifted > (1.0 - limits.splitShare) * pairs)
        out.push_back(fmt("waves: %.0f of %.0f wave/split pairs change their brightness by more than %.0f dB", shifted,
                          pairs, limits.splitShift) +
                      fmt(" (at most %.0f %%)", 100.0 * (1.0 - limits.splitShare)));
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
        for (size_t i = 0; i < std::size(kWaveSplitKeys); ++i)
        {
            const int split = kWaveSplitKeys[i];
            const SplitChange c = splitChange(w, split);
            if (!c.bright)
                continue;
            ++s.splitPairs;
            s.splitOver[i] += std::abs(c.third) > WaveLimits{}.splitShift ? 1 : 0;
            if (std::abs(c.third) > s.splitAt[i].value)
                s.splitAt[i] = WaveWorst{std::abs(c.third), w.wave, split};
            if (std::abs(c.third) > s.splitDrop.value)
                s.splitDrop = WaveWorst{std::abs(c.third), w.wave, split};
            if (c.harmonic > s.harmonicShift.value)
            {
                s.harmonicShift = WaveWorst{c.harmonic, w.wave, split};
                s.harmonic = c.harmonicIndex;
            }
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
