// Single-cycle waves: each a sine series (so the loader's mirror-and-invert
// continues it into a whole cycle). Each key range holds as many harmonics
// as it can without anything folding back into the audible band at the
// keys it serves (worked out with the playback model, images of the linear
// interpolation and the 8-bit steps included), pre-emphasized against the
// interpolation's high-frequency loss so that the heard slope is the
// recipe's. The five ranges are one instrument: going down from the top
// range, each range keeps the harmonics the one above it carries close to
// that one's levels, and rolls off (or cuts) the ones only it carries so
// that no split key changes the third harmonic and up by more than a few
// dB, and (below C6) so that none of them stands near the strongest where
// the range above has nothing: brightness falls gently from range to
// range, the cluster that colours a wave does not vanish at a split, and
// each range's top is rolled off within it. Instrument spectra are built from pluck and hammer
// positions, formants in Hz (taken at the middle key of each range) and
// organ drawbar registrations.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "patch/waveformNames.h"
#include "tools/wavegen/playback.h"
#include "tools/wavegen/recipes.h"
#include "tools/wavegen/romLayout.h"

namespace wavegen
{
namespace
{
constexpr int kTableHarmonics = 127;
constexpr int kRangeBottomKey[kKeyRanges] = {0, 48, 60, 72, 84};
constexpr int kRangeMiddleKey[kKeyRanges] = {40, 54, 66, 78, 90};
// Keys below C1 are not held to the band limit (nothing folds there anyway).
constexpr int kLowestCheckedKey = 24;
constexpr double kPeak = 0.97 * 127.5; // samples sit on half steps around -0.5
constexpr int kSignCandidates = 24;
// Folded power the generator allows, dB re the note: 2 dB inside what the
// wave standard asks (45 dB to key 96, 30 dB above); the model follows the
// engine within a few tenths of a dB, and a wider margin would leave the
// top range, whose 8-bit steps fold back from C6 up, with two harmonics.
constexpr double kFoldedToC7Db = -47.0;
constexpr double kFoldedToC8Db = -32.0;
constexpr int kFoldedToC7Key = 96;
// A pure partial's interpolation images alone come near 45 dB (the 16th's
// stand 44.7 dB under it where they fold into the band), so its own margin
// is narrow; its amplitude is chosen so that the 8-bit steps add least.
constexpr double kPurePartialFoldedDb = -44.0;
// Change of the third harmonic and up allowed at a split key, dB (the
// standard allows 3 dB; the engine's resampler and the 8-bit steps of two
// tables take some of it).
constexpr double kSplitLossDb = 2.0;
// The steepest roll-off of the harmonics only a lower range carries, dB per
// octave above the top of the range over it.
constexpr double kMaxRollOffDb = 240.0;
// How far a harmonic two neighbouring ranges carry may differ between them, dB.
constexpr double kSharedSpreadDb = 2.0;
// A wave's colour: the harmonics within kColourDb of its strongest at the key
// under a split key. The range above may carry each of them at most
// kColourLossDb lower (against its own strongest) at the split key; the
// standard asks 6 and 30 dB, the model and the engine differ by tenths.
// The top range, band-limited for C8, cannot carry such a cluster at C6.
constexpr double kColourDb = 8.0;
constexpr double kColourLossDb = 26.0;

// Power of harmonic k as heard at a key: what the interpolation keeps,
// nothing at or above 20 kHz.
std::vector<double> heardHarmonics(const std::vector<int8_t>& stored, int key)
{
    const CycleModel model(stored.data());
    std::vector<double> h;
    for (int k = 1; k <= kTableHarmonics && k * keyHz(key) < kAudibleHz; ++k)
        h.push_back(model.harmonic(k));
    return h;
}

// The largest fall, dB against each key's strongest, from the key under the
// split (the lower range) to the split key (the upper range) of a harmonic
// within kColourDb of the lower range's strongest.
double colourLoss(const std::vector<int8_t>& lower, const std::vector<int8_t>& upper, int split)
{
    const std::vector<double> below = heardHarmonics(lower, split - 1);
    const std::vector<double> at = heardHarmonics(upper, split);
    if (below.empty() || at.empty())
        return 0.0;
    auto db = [](double power, double strongest) { return 10.0 * std::log10(std::max(power, 1e-30) / strongest); };
    const double strongestBelow = *std::max_element(below.begin(), below.end());
    const double strongestAt = std::max(*std::max_element(at.begin(), at.end()), 1e-30);
    double worst = 0.0;
    for (size_t i = 0; i < below.size(); ++i)
    {
        const double before = db(below[i], strongestBelow);
        if (before < -kColourDb)
            continue;
        const double after = i < at.size() ? db(at[i], strongestAt) : -300.0;
        worst = std::max(worst, before - after);
    }
    return worst;
}

std::string plainName(int index)
{
    const char* full = k1lib::g_waveformNames[index];
    return std::string(full + 5); // after "001: "
}

int variantOf(int index)
{
    int v = 0;
    for (int i = 0; i < index; ++i)
        v += std::strcmp(k1lib::g_waveformNames[i] + 5, k1lib::g_waveformNames[index] + 5) == 0 ? 1 : 0;
    return v;
}

// Half-cycle samples of a sine series, sampled between the table's points.
void halfCycle(const std::vector<double>& b, double* y)
{
    static const std::vector<double> sine = [] {
        std::vector<double> s(512);
        for (int i = 0; i < 512; ++i)
            s[static_cast<size_t>(i)] = std::sin(2.0 * kPi * i / 512.0);
        return s;
    }();
    for (int n = 0; n < static_cast<int>(kHalfCycle); ++n)
    {
        double sum = 0.0;
        for (size_t k = 1; k < b.size(); ++k)
        {
            if (b[k] != 0.0)
                sum += b[k] * sine[(k * static_cast<size_t>(2 * n + 1)) % 512];
        }
        y[n] = sum;
    }
}

double crest(const std::vector<double>& b)
{
    double y[kHalfCycle];
    halfCycle(b, y);
    double peak = 0.0, energy = 1e-12;
    for (double v : y)
    {
        peak = std::max(peak, std::abs(v));
        energy += v * v;
    }
    return peak / std::sqrt(energy / kHalfCycle);
}

// Partials of an instrument wave may take either sign; pick the pattern
// with the lowest crest factor so the wave is as loud as it can be.
std::vector<double> chooseSigns(const std::vector<double>& widest, int index)
{
    std::vector<double> best(widest.size(), 1.0);
    double bestCrest = 1e300;
    Rng rng(0x5eed0000u + static_cast<uint64_t>(index));
    for (int c = 0; c < kSignCandidates; ++c)
    {
        std::vector<double> signs(widest.size(), 1.0);
        for (size_t k = 1; k < signs.size(); ++k)
        {
            if (c == 1)
                signs[k] = (k % 2) ? 1.0 : -1.0;
            else if (c == 2)
                signs[k] = ((k * (k - 1) / 2) % 2) ? -1.0 : 1.0;
            else if (c > 2)
                signs[k] = (rng.next() >> 63) ? -1.0 : 1.0;
        }
        std::vector<double> b(widest.size());
        for (size_t k = 0; k < b.size(); ++k)
            b[k] = widest[k] * signs[k];
        const double cr = crest(b);
        if (cr < bestCrest)
        {
            bestCrest = cr;
            best = signs;
        }
    }
    // Turned upside down a wave keeps its crest; the right way up (a rising
    // fundamental) it adds to, rather than cancels, another wave the same
    // way up that a single layers at the same pitch.
    if (best[1] < 0.0)
        for (double& s : best)
            s = -s;
    return best;
}

// The 128 stored samples of a sine series, scaled to the common peak (or to
// `peak` steps). All zeros (a silent series) store the quietest cycle the
// format has.
std::vector<int8_t> quantize(const std::vector<double>& b, double steps = kPeak)
{
    double y[kHalfCycle];
    halfCycle(b, y);
    double peak = 0.0;
    for (double v : y)
        peak = std::max(peak, std::abs(v));
    std::vector<int8_t> out(kHalfCycle, 0);
    if (peak == 0.0)
        return out;
    for (uint32_t n = 0; n < kHalfCycle; ++n)
    {
        // Stored x plays as x and -x-1: symmetric around -0.5, so round to half steps.
        const double v = std::floor(y[n] * steps / peak);
        out[n] = static_cast<int8_t>(std::max(-128.0, std::min(127.0, v)));
    }
    return out;
}

// How much the linear interpolation keeps of harmonic k of the cycle.
double interpolationGain(int k)
{
    const double x = kPi * k / 256.0;
    const double sinc = std::sin(x) / x;
    return sinc * sinc;
}

int checkedFrom(int range)
{
    return std::max(kRangeBottomKey[range], kLowestCheckedKey);
}

// Nothing folds back into the audible band above what the generator allows
// at any key the range serves.
// The worst folded level over the keys a range serves, dB re the note, with
// the keys above kFoldedToC7Key counted by how far they exceed their own
// allowance beyond the lower one's.
double worstFolded(const std::vector<int8_t>& stored, int range)
{
    const CycleModel model(stored.data());
    double worst = -300.0;
    for (int key = checkedFrom(range); key <= kRangeTopKey[range]; ++key)
    {
        const Playback p = model.play(keyHz(key));
        const double db = 10.0 * std::log10(std::max(p.folded, 1e-30) / std::max(p.note, 1e-30));
        worst = std::max(worst, key <= kFoldedToC7Key ? db : db - (kFoldedToC8Db - kFoldedToC7Db));
    }
    return worst;
}

bool clean(const std::vector<int8_t>& stored, int range, double foldedToC7Db = kFoldedToC7Db)
{
    return worstFolded(stored, range) <= foldedToC7Db;
}

struct Range
{
    std::vector<double> b;      // the series, k = 0..top (b[0] unused)
    std::vector<int8_t> stored; // its 128 samples
    double corner = 0.0;        // the harmonic its top is rolled off from (0: not rolled off)
};

class WaveBuilder
{
public:
    WaveBuilder(int index) : m_index(index), m_recipe(recipeFor(plainName(index), variantOf(index), index)) {}

    std::vector<int8_t> build()
    {
        if (isPurePartial(m_index))
            return purePartial();
        m_signs = m_recipe.fixedSigns ? std::vector<double>(kTableHarmonics + 1, 1.0)
                                      : chooseSigns(series(0, maxHarmonic(0), 0.0), m_index);
        for (int r = 0; r < kKeyRanges; ++r)
            m_ranges[r] = widestClean(r, 0.0);
        // Downwards from the top range, the narrowest: each range below then
        // continues the one above it.
        for (int r = kKeyRanges - 1; r >= 1; --r)
            matchBelow(r);
        std::vector<int8_t> out;
        for (const Range& r : m_ranges)
            out.insert(out.end(), r.stored.begin(), r.stored.end());
        return out;
    }

private:
    // The recipe's series for a range up to harmonic `top`, pre-emphasized,
    // signed, the harmonics above the fundamental raised by `raiseDb`.
    std::vector<double> series(int range, int top, double raiseDb) const
    {
        const double f0 = keyHz(kRangeMiddleKey[range]);
        std::vector<double> b(static_cast<size_t>(top) + 1, 0.0);
        double total = 0.0;
        for (int k = 1; k <= top; ++k)
        {
            b[k] = m_recipe.amp(k, k * f0) / interpolationGain(k);
            if (k >= 2)
                b[k] *= std::pow(10.0, raiseDb / 20.0);
            if (!m_signs.empty())
                b[k] *= m_signs[k];
            total += std::abs(b[k]);
        }
        if (total == 0.0)
            b[1] = 1.0;
        return b;
    }

    // The brightest series that stays clean. A classic shape keeps its slope
    // and stops at the most harmonics that stay clean (fewer fold less, so a
    // bisection finds the edge); an instrument keeps all the harmonics the
    // range may hold and has their top rolled off (a gentle low-pass on the
    // harmonic number) only as far as the interpolation's images need.
    Range widestClean(int range, double raiseDb) const
    {
        auto make = [&](int top, double corner) {
            Range r{series(range, top, raiseDb), {}, corner};
            if (corner > 0.0)
                for (size_t k = 1; k < r.b.size(); ++k)
                    r.b[k] /= 1.0 + std::pow(static_cast<double>(k) / corner, 2.0);
            r.stored = quantize(r.b);
            return r;
        };
        const int widest = maxHarmonic(range);
        Range best = make(widest, 0.0);
        if (clean(best.stored, range))
            return best;
        if (!m_recipe.fixedSigns)
        {
            for (double corner : {96.0, 64.0, 48.0, 36.0, 28.0, 22.0, 18.0, 14.0})
            {
                if (corner > widest)
                    continue;
                Range r = make(widest, corner);
                if (clean(r.stored, range))
                    return r;
            }
        }
        best = make(1, 0.0);
        int good = 1, bad = widest;
        while (bad - good > 1)
        {
            const int mid = (good + bad) / 2;
            Range r = make(mid, 0.0);
            if (clean(r.stored, range))
            {
                good = mid;
                best = std::move(r);
            }
            else
                bad = mid;
        }
        return best;
    }

    // Power of the third harmonic and up at a key, as heard: what the ear
    // follows as brightness (the second alone is heard as body).
    static double third(const Range& r, int key) { return CycleModel(r.stored.data()).play(keyHz(key)).third; }

    // The series of a range as it is stored: its corner's roll-off applied.
    static std::vector<double> rolled(const Range& r)
    {
        std::vector<double> b = r.b;
        if (r.corner > 0.0)
            for (size_t k = 1; k < b.size(); ++k)
                b[k] /= 1.0 + std::pow(static_cast<double>(k) / r.corner, 2.0);
        return b;
    }

    // The highest harmonic a range carries: its series' top, less what a
    // roll-off has taken below the quantization floor.
    static int topOf(const Range& r)
    {
        const std::vector<double> b = rolled(r);
        const double strongest = std::abs(b.size() > 1 ? b[1] : 0.0);
        int top = 1;
        for (size_t k = 1; k < b.size(); ++k)
            if (std::abs(b[k]) > 1e-3 * strongest)
                top = static_cast<int>(k);
        return top;
    }

    // Makes the range under the split key at the bottom of `range` the same
    // instrument as the range above it. The harmonics both carry keep the
    // lower range's own voicing only as far as kSharedSpreadDb from the
    // upper range's levels (relative to the fundamental), and closer where
    // the brightness would otherwise jump; the ones only the lower range
    // carries are rolled off (an instrument, so many dB per octave above the
    // upper range's top) or cut (a classic shape, which keeps its slope)
    // until the third harmonic and up change by at most kSplitLossDb across
    // the split, and further while the range folds back.
    void matchBelow(int range)
    {
        const int split = kRangeBottomKey[range];
        const Range& high = m_ranges[range];
        const Range own = m_ranges[range - 1];
        const int shared = topOf(high);
        const std::vector<double> upperSeries = rolled(high);
        const double heard = third(high, split);
        const double keep = std::pow(10.0, kSplitLossDb / 10.0);
        Range fallback = own;
        for (double spreadDb : {kSharedSpreadDb, 0.5 * kSharedSpreadDb, 0.0})
        {
            std::vector<double> base = rolled(own);
            const double scale = upperSeries[1] != 0.0 ? base[1] / upperSeries[1] : 1.0;
            const double spread = std::pow(10.0, spreadDb / 20.0);
            for (int k = 2; k <= shared && k < static_cast<int>(base.size()); ++k)
            {
                const double target = std::abs(upperSeries[static_cast<size_t>(k)] * scale);
                const double level = std::clamp(std::abs(base[static_cast<size_t>(k)]), target / spread, target * spread);
                base[static_cast<size_t>(k)] = std::copysign(level, upperSeries[static_cast<size_t>(k)]);
            }
            // steepness 0-1: no roll-off to the steepest, or no cut to a cut at the shared top.
            auto make = [&](double steepness) {
                std::vector<double> b = base;
                const auto top = static_cast<size_t>(shared);
                if (m_recipe.fixedSigns)
                    b.resize(top + 1 + static_cast<size_t>(std::lround((1.0 - steepness) * (b.size() - top - 1))));
                else
                    for (size_t k = top + 1; k < b.size(); ++k)
                        b[k] *= std::pow(10.0, -steepness * kMaxRollOffDb * std::log2(static_cast<double>(k) / shared) / 20.0);
                Range r{b, {}, 0.0};
                r.stored = quantize(r.b);
                return r;
            };
            auto brighter = [&](const Range& r) { return third(r, split - 1) > keep * heard; };
            // Steeper roll-off of the harmonics above the shared top lowers
            // them until none of the wave's colour is lost at the split.
            auto keepsColour = [&](const Range& r) {
                return range == kKeyRanges - 1 || colourLoss(r.stored, high.stored, split) <= kColourLossDb;
            };
            auto fits = [&](const Range& r) { return !brighter(r) && keepsColour(r) && clean(r.stored, range - 1); };
            Range best = make(0.0);
            if (!fits(best))
            {
                // Steeper takes away more: bisect.
                double good = 1.0, bad = 0.0;
                best = make(good);
                for (int i = 0; i < 12; ++i)
                {
                    const double mid = 0.5 * (good + bad);
                    Range r = make(mid);
                    if (fits(r))
                    {
                        good = mid;
                        best = std::move(r);
                    }
                    else
                        bad = mid;
                }
            }
            if (!clean(best.stored, range - 1))
                continue;
            fallback = best;
            if (!brighter(best) && third(best, split - 1) * keep >= heard)
                break; // nor darker than the range above by more than allowed
        }
        m_ranges[range - 1] = std::move(fallback);
    }

    // A pure partial keeps its one partial in every range where neither it
    // nor its interpolation images fold back into the audible band, and is
    // silent elsewhere.
    std::vector<int8_t> purePartial() const
    {
        std::vector<int8_t> out;
        for (int r = 0; r < kKeyRanges; ++r)
        {
            std::vector<double> b(kTableHarmonics + 1, 0.0);
            const int h = kPureHarmonics[m_index];
            if (h <= maxHarmonic(r))
                b[static_cast<size_t>(h)] = 1.0;
            std::vector<int8_t> stored = quantize(b);
            double worst = worstFolded(stored, r);
            for (double steps = 0.90 * 127.5; steps < kPeak; steps += 0.25)
            {
                std::vector<int8_t> candidate = quantize(b, steps);
                const double folded = worstFolded(candidate, r);
                if (folded < worst - 0.05)
                {
                    worst = folded;
                    stored = candidate;
                }
            }
            // The interpolation's images of a high partial fold back as well.
            if (worst > kPurePartialFoldedDb)
                stored = quantize(std::vector<double>(kTableHarmonics + 1, 0.0));
            out.insert(out.end(), stored.begin(), stored.end());
        }
        return out;
    }

    int m_index;
    Recipe m_recipe;
    std::vector<double> m_signs;
    Range m_ranges[kKeyRanges];
};
} // namespace

double keyHz(double key) { return 440.0 * std::pow(2.0, (key - 69.0) / 12.0); }

int maxHarmonic(int range)
{
    const int h = static_cast<int>(std::floor(kFoldLimitHz / keyHz(kRangeTopKey[range])));
    return std::max(1, std::min(kTableHarmonics, h));
}

bool isPurePartial(int index) { return index < kPureSineCount; }

std::vector<int8_t> makeSingleCycle(int index)
{
    return WaveBuilder(index).build();
}
} // namespace wavegen
