#include "tools/wavecheck/measure.h"

#include <algorithm>
#include <cmath>

#include "tools/wavegen/romLayout.h"

namespace wavecheck
{
namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr int kSingle = k1lib::kSingleCycleWaveformCount;
constexpr int kProbeKey = 60;
constexpr int kSeamWindow = 32;
constexpr size_t kTuningSpan = 8192;

const k1lib::Waveforms::WaveformData& block(const k1lib::Waveforms& set, int wave, int key = kProbeKey)
{
    return set.waves[wave].keys[key];
}

double dbfs(double level)
{
    return 20.0 * std::log10(std::max(level, 1e-9) / 128.0);
}

bool expectedLoop(int w)
{
    return w < kSingle || (w >= 234 && w <= 249) || w >= 253;
}
bool expectedMultiSegment(int w)
{
    return w >= 242 && w <= 249;
}
bool expectedAlternate(int w)
{
    return w >= 253;
}
bool expectedReverse(int w)
{
    return w >= 250 && w <= 252;
}
bool isDrum(int w)
{
    return w >= 204 && w <= 212;
}
bool isPitched(int w)
{
    return (w >= 213 && w <= 225) || (w >= 227 && w <= 232) || (w >= 234 && w <= 237) || w == 240 || w == 241;
}

// The first sample of each key range's block: the five cycles of a single-cycle wave.
int rangeKey(int range)
{
    return range == 0 ? 0 : 36 + 12 * range;
}
// Whether some looping wave plays exactly this wave's block (a sustained region).
bool isLoopedRegion(const k1lib::Waveforms& set, int wave)
{
    const auto& b = block(set, wave);
    for (int w = kSingle; w < k1lib::kWaveformCount; ++w)
    {
        const auto& other = block(set, w);
        if (set.waves[w].loop && !set.waves[w].alternate && other.data == b.data && other.length == b.length)
            return true;
    }
    return false;
}
} // namespace

double magnitudeAt(const char* x, size_t n, double hz, double rate, bool periodic)
{
    double re = 0.0, im = 0.0;
    const double w = 2.0 * kPi * hz / rate;
    for (size_t i = 0; i < n; ++i)
    {
        const double win =
            periodic ? 1.0 : 0.5 - 0.5 * std::cos(2.0 * kPi * static_cast<double>(i) / static_cast<double>(n));
        re += win * x[i] * std::cos(w * static_cast<double>(i));
        im -= win * x[i] * std::sin(w * static_cast<double>(i));
    }
    return std::sqrt(re * re + im * im);
}

double layoutMismatches(const std::vector<k1lib::CuePoint>& cues)
{
    using namespace wavegen;
    const size_t expected = kPcmRegionCount + kSingleCycleCount + 1;
    double bad = cues.size() == expected ? 0 : 1;
    for (size_t i = 0; i < std::min(cues.size(), expected); ++i)
    {
        if (i < static_cast<size_t>(kPcmRegionCount))
            bad += (cues[i].position != kPcmRegions[i].start || cues[i].label != kPcmRegions[i].label ||
                    cues[i + 1].position - cues[i].position != kPcmRegions[i].length)
                       ? 1
                       : 0;
        else
            bad += cues[i].position != kSingleCycleStart + (i - kPcmRegionCount) * kSingleCycleRegion ? 1 : 0;
    }
    return bad;
}

double lengthFaults(const k1lib::Waveforms& set)
{
    double bad = 0;
    for (int w = 0; w < k1lib::kWaveformCount; ++w)
    {
        bool ok = set.waves[w].sampleRate == 50000.0f;
        for (const auto& key : set.waves[w].keys)
            ok = ok && key.data != nullptr && key.length != 0 && (key.length & (key.length - 1)) == 0;
        bad += ok ? 0 : 1;
    }
    return bad;
}

double flagMismatches(const k1lib::Waveforms& set)
{
    double bad = 0;
    for (int w = 0; w < k1lib::kWaveformCount; ++w)
    {
        const auto& wave = set.waves[w];
        bad += (wave.loop != expectedLoop(w) || wave.multiSegmentLoop != expectedMultiSegment(w) ||
                wave.alternate != expectedAlternate(w) || wave.reverse != expectedReverse(w))
                   ? 1
                   : 0;
    }
    return bad;
}

Worst worstBandLeak(const k1lib::Waveforms& set)
{
    Worst worst{-300.0, -1, 0};
    for (int w = wavegen::isPurePartial(0) ? 13 : 0; w < kSingle; ++w)
    {
        for (int r = 0; r < wavegen::kKeyRanges; ++r)
        {
            const auto& b = block(set, w, rangeKey(r));
            double strongest = 1e-9, leak = 0.0;
            for (int k = 1; k <= 128; ++k)
            {
                const double m = magnitudeAt(b.data, b.length, k, static_cast<double>(b.length), true);
                strongest = std::max(strongest, m);
                if (k > wavegen::maxHarmonic(r))
                    leak = std::max(leak, m);
            }
            const double db = 20.0 * std::log10(std::max(leak, 1e-9) / strongest);
            if (db > worst.value)
                worst = {db, w, static_cast<double>(r)};
        }
    }
    return worst;
}

Worst lowestPeak(const k1lib::Waveforms& set)
{
    Worst worst{0.0, -1, 0};
    for (int w = 0; w < k1lib::kWaveformCount; ++w)
    {
        for (int r = 0; r < (w < kSingle ? wavegen::kKeyRanges : 1); ++r)
        {
            const auto& b = block(set, w, w < kSingle ? rangeKey(r) : kProbeKey);
            double peak = 0.0;
            for (size_t i = 0; i < b.length; ++i)
                peak = std::max(peak, std::abs(static_cast<double>(b.data[i]) + (w < kSingle ? 0.5 : 0.0)));
            if (wavegen::isPurePartial(w) && peak <= 0.5)
                continue; // a pure partial silent where it would fold back
            if (dbfs(peak) < worst.value || worst.wave < 0)
                worst = {dbfs(peak), w, static_cast<double>(r)};
        }
    }
    return worst;
}

double clippedSamples(const k1lib::Waveforms& set)
{
    double count = 0;
    for (int w = 0; w < k1lib::kWaveformCount; ++w)
    {
        for (int r = 0; r < (w < kSingle ? wavegen::kKeyRanges : 1); ++r)
        {
            const auto& b = block(set, w, w < kSingle ? rangeKey(r) : kProbeKey);
            for (size_t i = 0; i < b.length; ++i)
                count += (b.data[i] == -128 || b.data[i] == 127) ? 1 : 0;
        }
    }
    return count;
}

Worst worstDc(const k1lib::Waveforms& set)
{
    Worst worst{-300.0, -1, 0};
    for (int w = 0; w < k1lib::kWaveformCount; ++w)
    {
        for (int r = 0; r < (w < kSingle ? wavegen::kKeyRanges : 1); ++r)
        {
            const auto& b = block(set, w, w < kSingle ? rangeKey(r) : kProbeKey);
            double sum = 0.0;
            for (size_t i = 0; i < b.length; ++i)
                sum += b.data[i];
            const double db = dbfs(std::abs(sum / static_cast<double>(b.length)));
            if (db > worst.value)
                worst = {db, w, static_cast<double>(r)};
        }
    }
    return worst;
}

Worst worstSeam(const k1lib::Waveforms& set)
{
    Worst worst{-1e9, -1, -1.0};
    for (int w = kSingle; w < k1lib::kWaveformCount; ++w)
    {
        if (!set.waves[w].loop)
            continue;
        const auto& b = block(set, w);
        const size_t n = b.length;
        auto step = [&](size_t i) { return std::abs(b.data[(i + 1) % n] - b.data[i % n]); };
        int local = 0;
        for (size_t i = 0; i < kSeamWindow; ++i)
            local = std::max({local, step(i), step(n - 2 - i)});
        const int seam = step(n - 1);
        // A seam no steeper than its surroundings cannot click; allow a few LSB near silence.
        worst.value = std::max(worst.value, static_cast<double>(seam - std::max(local, 3)));
        if (seam > worst.detail)
        {
            worst.detail = seam;
            worst.wave = w;
        }
    }
    return worst;
}

Worst worstDrumTail(const k1lib::Waveforms& set)
{
    Worst worst{-1.0, -1, 0};
    for (int w = kSingle; w < k1lib::kWaveformCount; ++w)
    {
        if (!isDrum(w))
            continue;
        const auto& b = block(set, w);
        double level = 0.0;
        for (size_t i = b.length - b.length / 20; i < b.length; ++i)
            level = std::max(level, std::abs(static_cast<double>(b.data[i])));
        if (level > worst.value)
            worst = {level, w, 0};
    }
    return worst;
}

Worst worstTuning(const k1lib::Waveforms& set)
{
    Worst worst{0.0, -1, 0};
    for (int w = kSingle; w < k1lib::kWaveformCount; ++w)
    {
        if (!isPitched(w))
            continue;
        const auto& b = block(set, w);
        // A loop is one period of its sound: measure all of it, unwindowed.
        const bool periodic = isLoopedRegion(set, w);
        const size_t n = periodic ? b.length : std::min<size_t>(b.length, kTuningSpan);
        const double target = b.baseFrequency;
        double bestCents = 0.0, best = -1.0;
        for (double cents = -100.0; cents <= 100.0; cents += 1.0)
        {
            const double m =
                magnitudeAt(b.data, n, target * std::pow(2.0, cents / 1200.0), set.waves[w].sampleRate, periodic);
            if (m > best)
            {
                best = m;
                bestCents = cents;
            }
        }
        // Refine to a tenth of a cent around the best whole cent.
        for (double cents = bestCents - 1.0; cents <= bestCents + 1.0; cents += 0.1)
        {
            const double m =
                magnitudeAt(b.data, n, target * std::pow(2.0, cents / 1200.0), set.waves[w].sampleRate, periodic);
            if (m > best)
            {
                best = m;
                bestCents = cents;
            }
        }
        if (std::abs(bestCents) > std::abs(worst.value) || worst.wave < 0)
            worst = {bestCents, w, 0};
    }
    return worst;
}
} // namespace wavecheck
