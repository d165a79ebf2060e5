// Fingerprints: band powers, normalized and floored, and their distance.

#include "tools/audition/fingerprint.h"

#include <algorithm>
#include <cmath>

namespace audition
{
namespace
{
constexpr size_t kFrame = 2048;
} // namespace

std::vector<double> fingerprint(const std::vector<Spectrum>& spectra)
{
    std::vector<double> cells;
    for (const Spectrum& s : spectra)
    {
        const std::vector<double> bands = bandPowers(s);
        cells.insert(cells.end(), bands.begin(), bands.end());
    }
    double total = 0.0;
    for (double p : cells)
        total += p;
    for (double& c : cells)
        c = total > 0.0 && c > 0.0 ? std::max(10.0 * std::log10(c / total), kFingerprintFloorDb) : kFingerprintFloorDb;
    return cells;
}

std::vector<double> fingerprint(const Stereo& x, double rate, const std::vector<std::pair<double, double>>& spans)
{
    std::vector<float> mono(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        mono[i] = 0.5f * (x.left[i] + x.right[i]);
    std::vector<Spectrum> spectra;
    for (const auto& [from, to] : spans)
    {
        const auto begin = static_cast<size_t>(from * rate);
        const auto end = std::max(begin + kFrame, static_cast<size_t>(to * rate));
        spectra.push_back(averageSpectrum(mono, begin, end, kFrame, rate));
    }
    return fingerprint(spectra);
}

double fingerprintDistance(const std::vector<double>& a, const std::vector<double>& b)
{
    if (a.size() != b.size() || a.empty())
        return 1e9;
    // Cells where neither sound reaches above the floor say nothing: they
    // would only thin out the differences of the others.
    double sum = 0.0;
    size_t cells = 0;
    for (size_t i = 0; i < a.size(); ++i)
    {
        if (a[i] <= kFingerprintFloorDb && b[i] <= kFingerprintFloorDb)
            continue;
        sum += (a[i] - b[i]) * (a[i] - b[i]);
        ++cells;
    }
    return cells == 0 ? 0.0 : std::sqrt(sum / static_cast<double>(cells));
}
} // namespace audition
