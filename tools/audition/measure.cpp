// Take measurements: windowed RMS through prefix sums, a radix-2 FFT for the
// spectral centroid, and the scans for onset, silence and faults.

#include "tools/audition/measure.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace audition
{
namespace
{
constexpr double kLoudnessWindow = 0.4; // seconds, as a momentary loudness meter
constexpr double kLoudnessHop = 0.05;
constexpr double kOnsetFraction = 0.1; // -20 dB of the take's peak
constexpr size_t kFrame = 2048;

void fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i)
    {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1)
    {
        const double angle = -2.0 * M_PI / static_cast<double>(len);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += len)
        {
            std::complex<double> w(1.0, 0.0);
            for (size_t k = 0; k < len / 2; ++k)
            {
                const std::complex<double> u = a[i + k];
                const std::complex<double> v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

// Mean power of [begin, end) from prefix sums of (L^2 + R^2) / 2.
double meanPower(const std::vector<double>& prefix, size_t begin, size_t end)
{
    return end > begin ? (prefix[end] - prefix[begin]) / static_cast<double>(end - begin) : 0.0;
}
} // namespace

double toDb(double linear)
{
    return linear > 0.0 ? std::max(20.0 * std::log10(linear), kSilentDb) : kSilentDb;
}

double timeToFraction(const std::vector<float>& x, double rate, size_t from, size_t end, double fraction)
{
    end = std::min(end, x.size());
    float peak = 0.0f;
    for (size_t i = from; i < end; ++i)
        peak = std::max(peak, std::fabs(x[i]));
    if (!(peak > 0.0f))
        return -1.0;
    const float threshold = static_cast<float>(fraction) * peak;
    for (size_t i = from; i < end; ++i)
    {
        if (std::fabs(x[i]) >= threshold)
            return static_cast<double>(i - from) / rate;
    }
    return -1.0;
}

double spectralCentroid(const Stereo& x, double rate, size_t begin, size_t end)
{
    end = std::min(end, x.size());
    static const std::vector<double> window = [] {
        std::vector<double> w(kFrame);
        for (size_t i = 0; i < kFrame; ++i)
            w[i] = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / static_cast<double>(kFrame));
        return w;
    }();
    std::vector<std::complex<double>> frame(kFrame);
    double weighted = 0.0, total = 0.0;
    for (size_t start = begin; start + kFrame <= end; start += kFrame)
    {
        for (size_t i = 0; i < kFrame; ++i)
            frame[i] = 0.5 * (static_cast<double>(x.left[start + i]) + x.right[start + i]) * window[i];
        fft(frame);
        for (size_t k = 1; k < kFrame / 2; ++k)
        {
            const double power = std::norm(frame[k]);
            weighted += power * static_cast<double>(k) * rate / static_cast<double>(kFrame);
            total += power;
        }
    }
    return total > 0.0 ? weighted / total : 0.0;
}

TakeFigures measureTake(const Stereo& x, double rate, size_t release, bool silent)
{
    TakeFigures f;
    const size_t n = x.size();
    const size_t held = std::min(release, n);
    std::vector<double> prefix(n + 1, 0.0);
    std::vector<float> mono(n);
    float peak = 0.0f;
    size_t lastSound = 0;
    bool any = false;
    for (size_t i = 0; i < n; ++i)
    {
        const float l = x.left[i], r = x.right[i];
        if (!std::isfinite(l) || !std::isfinite(r))
        {
            f.nonFinite = true;
            prefix[i + 1] = prefix[i];
            mono[i] = 0.0f;
            continue;
        }
        const float m = std::max(std::fabs(l), std::fabs(r));
        mono[i] = m;
        peak = std::max(peak, m);
        if (m != 0.0f)
        {
            lastSound = i;
            any = true;
        }
        prefix[i + 1] = prefix[i] + 0.5 * (static_cast<double>(l) * l + static_cast<double>(r) * r);
    }
    f.sounded = any;
    f.peakDb = toDb(peak);
    f.clipped = peak > 1.0f;
    if (!any)
        return f;

    const auto window = std::min(held, static_cast<size_t>(kLoudnessWindow * rate));
    const auto hop = std::max<size_t>(1, static_cast<size_t>(kLoudnessHop * rate));
    double loudest = 0.0;
    for (size_t start = 0; window > 0 && start + window <= held; start += hop)
        loudest = std::max(loudest, meanPower(prefix, start, start + window));
    f.loudnessDb = toDb(std::sqrt(loudest));
    if (window > 0 && loudest > 0.0)
        f.decayDb = std::min(0.0, toDb(std::sqrt(meanPower(prefix, held - window, held))) - f.loudnessDb);

    f.firstSound = timeToFraction(mono, rate, 0, held > 0 ? held : n, kOnsetFraction);
    f.centroidHz = spectralCentroid(x, rate, 0, held);
    if (silent && release < n)
        f.releaseToSilence = lastSound >= release ? static_cast<double>(lastSound + 1 - release) / rate : 0.0;
    return f;
}
} // namespace audition
