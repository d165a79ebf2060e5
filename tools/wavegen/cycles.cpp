// Single-cycle waves: each a sine series (so the loader's mirror-and-invert
// continues it into a whole cycle), band-limited per key range. Instrument
// spectra are built from pluck and hammer positions, formants in Hz (taken at
// the middle key of each range) and organ drawbar registrations.

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "patch/waveformNames.h"
#include "tools/wavegen/recipes.h"
#include "tools/wavegen/romLayout.h"

namespace wavegen
{
namespace
{
constexpr double kBandLimitHz = 20000.0;
constexpr int kTableHarmonics = 127;
constexpr int kRangeMiddleKey[kKeyRanges] = {40, 54, 66, 78, 90};
constexpr double kPeak = 0.97 * 127.5; // samples sit on half steps around -0.5
constexpr int kSignCandidates = 24;

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
    for (int n = 0; n < static_cast<int>(kHalfCycle); ++n)
    {
        double sum = 0.0;
        for (size_t k = 1; k < b.size(); ++k)
        {
            if (b[k] == 0.0)
                continue;
            const int64_t step = (static_cast<int64_t>(k) * (2 * n + 1)) % 512;
            sum += b[k] * std::sin(2.0 * kPi * static_cast<double>(step) / 512.0);
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
    return best;
}
} // namespace

double keyHz(double key) { return 440.0 * std::pow(2.0, (key - 69.0) / 12.0); }

int maxHarmonic(int range)
{
    const int h = static_cast<int>(std::floor(kBandLimitHz / keyHz(kRangeTopKey[range])));
    return std::max(1, std::min(kTableHarmonics, h));
}

bool isPurePartial(int index) { return index < kPureSineCount; }

std::vector<int8_t> makeSingleCycle(int index)
{
    const Recipe recipe = recipeFor(plainName(index), variantOf(index), index);
    std::vector<double> spectra[kKeyRanges];
    for (int r = 0; r < kKeyRanges; ++r)
    {
        const int top = isPurePartial(index) ? kTableHarmonics : maxHarmonic(r);
        const double f0 = keyHz(kRangeMiddleKey[r]);
        std::vector<double>& b = spectra[r];
        b.assign(static_cast<size_t>(top) + 1, 0.0);
        double total = 0.0;
        for (int k = 1; k <= top; ++k)
        {
            // Lanczos sigma: tames the ringing of truncated series and eases the
            // change of brightness from one key range to the next.
            const double x = kPi * k / (top + 1.0);
            const double sigma = recipe.smooth ? std::sin(x) / x : 1.0;
            b[k] = recipe.amp(k, k * f0) * sigma;
            total += std::abs(b[k]);
        }
        if (total == 0.0)
            b[1] = 1.0;
    }
    if (!recipe.fixedSigns)
    {
        const std::vector<double> signs = chooseSigns(spectra[0], index);
        for (std::vector<double>& b : spectra)
            for (size_t k = 0; k < b.size(); ++k)
                b[k] *= signs[k];
    }

    std::vector<int8_t> out(kSingleCycleRegion);
    for (int r = 0; r < kKeyRanges; ++r)
    {
        double y[kHalfCycle];
        halfCycle(spectra[r], y);
        double peak = 1e-12;
        for (double v : y)
            peak = std::max(peak, std::abs(v));
        for (uint32_t n = 0; n < kHalfCycle; ++n)
        {
            // Stored x plays as x and -x-1: symmetric around -0.5, so round to half steps.
            const double v = std::floor(y[n] * kPeak / peak);
            out[r * kHalfCycle + n] = static_cast<int8_t>(std::max(-128.0, std::min(127.0, v)));
        }
    }
    return out;
}
} // namespace wavegen
