// Take measurements: windowed RMS through prefix sums, a radix-2 FFT for the
// spectral centroid, and the scans for onset, silence and faults.

#include "tools/audition/measure.h"

#include "tools/audition/spectrum.h"

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

double levelSwing(const Stereo& x, double rate, size_t begin, size_t end, double* hz)
{
    end = std::min(end, x.size());
    const auto window = static_cast<size_t>(0.025 * rate);
    const auto hop = static_cast<size_t>(0.010 * rate);
    std::vector<double> t, db;
    for (size_t at = begin; at + window <= end; at += hop)
    {
        double sum = 0.0;
        for (size_t i = at; i < at + window; ++i)
        {
            const double m = 0.5 * (static_cast<double>(x.left[i]) + x.right[i]);
            sum += m * m;
        }
        t.push_back(static_cast<double>(at) / rate);
        db.push_back(10.0 * std::log10(std::max(sum / static_cast<double>(window), 1e-20)));
    }
    if (t.size() < 3)
        return 0.0;
    // Least-squares line through the levels.
    const double n = static_cast<double>(t.size());
    double st = 0, sd = 0, stt = 0, std_ = 0;
    for (size_t i = 0; i < t.size(); ++i)
    {
        st += t[i];
        sd += db[i];
        stt += t[i] * t[i];
        std_ += t[i] * db[i];
    }
    const double slope = (n * std_ - st * sd) / std::max(n * stt - st * st, 1e-12);
    const double offset = (sd - slope * st) / n;
    double high = -1e300, low = 1e300;
    size_t crossings = 0;
    double previous = 0.0;
    for (size_t i = 0; i < t.size(); ++i)
    {
        const double r = db[i] - (offset + slope * t[i]);
        high = std::max(high, r);
        low = std::min(low, r);
        if (i > 0 && (r > 0.0) != (previous > 0.0))
            ++crossings;
        previous = r;
    }
    if (hz != nullptr)
        *hz = 0.5 * static_cast<double>(crossings) / (t.back() - t.front());
    return high - low;
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
