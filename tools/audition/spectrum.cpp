// Spectra: FFT, window, harmonic zones, roll-off and bands.

#include "tools/audition/spectrum.h"

#include <algorithm>
#include <cmath>

#include "tools/audition/figures.h"

namespace audition
{
namespace
{
// Four-term Blackman-Harris: side lobes 92 dB down, so strong harmonics do
// not leak into what is measured between them.
const std::vector<double>& window(size_t n)
{
    thread_local std::vector<double> w;
    if (w.size() != n)
    {
        w.resize(n);
        for (size_t i = 0; i < n; ++i)
        {
            const double x = 2.0 * M_PI * static_cast<double>(i) / static_cast<double>(n);
            w[i] = 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2.0 * x) - 0.01168 * std::cos(3.0 * x);
        }
    }
    return w;
}
} // namespace

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
        for (size_t i = 0; i < n; i += len)
        {
            for (size_t k = 0; k < len / 2; ++k)
            {
                // Twiddles from the angle, not by repeated products: exact
                // enough for the 92 dB the window promises at any size.
                const std::complex<double> w(std::cos(angle * static_cast<double>(k)),
                                             std::sin(angle * static_cast<double>(k)));
                const std::complex<double> u = a[i + k];
                const std::complex<double> v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

Spectrum powerSpectrum(const std::vector<float>& x, size_t begin, size_t n, double rate)
{
    const std::vector<double>& w = window(n);
    std::vector<std::complex<double>> a(n);
    double sumW2 = 0.0;
    for (size_t i = 0; i < n; ++i)
    {
        const double v = begin + i < x.size() ? static_cast<double>(x[begin + i]) : 0.0;
        a[i] = v * w[i];
        sumW2 += w[i] * w[i];
    }
    fft(a);
    Spectrum s;
    s.binHz = rate / static_cast<double>(n);
    s.power.resize(n / 2);
    const double scale = 2.0 / (static_cast<double>(n) * sumW2);
    for (size_t k = 0; k < n / 2; ++k)
        s.power[k] = std::norm(a[k]) * (k == 0 ? 0.5 * scale : scale);
    return s;
}

Spectrum averageSpectrum(const std::vector<float>& x, size_t begin, size_t end, size_t frame, double rate)
{
    Spectrum sum;
    size_t frames = 0;
    for (size_t at = begin; at + frame <= end; at += frame, ++frames)
    {
        const Spectrum s = powerSpectrum(x, at, frame, rate);
        if (sum.power.empty())
            sum = s;
        else
            for (size_t k = 0; k < s.power.size(); ++k)
                sum.power[k] += s.power[k];
    }
    for (double& p : sum.power)
        p /= static_cast<double>(std::max<size_t>(frames, 1));
    if (sum.power.empty())
    {
        sum.binHz = rate / static_cast<double>(frame);
        sum.power.assign(frame / 2, 0.0);
    }
    return sum;
}

NoteSplit splitNote(const Spectrum& s, double f0, double limitHz, double relativeTolerance)
{
    NoteSplit out;
    const double lobe = kMainLobeBins * s.binHz;
    for (size_t k = 1; k < s.power.size(); ++k)
    {
        const double f = static_cast<double>(k) * s.binHz;
        if (f >= limitHz)
            break;
        if (f <= lobe)
            continue; // what sits at 0 Hz is not heard as a tone
        const double harmonic = std::max(1.0, std::round(f / f0));
        if (std::abs(f - harmonic * f0) <= lobe + relativeTolerance * harmonic * f0)
        {
            (harmonic == 1.0 ? out.fundamental : out.upper) += s.power[k];
            if (harmonic >= 3.0)
                out.third += s.power[k];
            const auto h = static_cast<size_t>(harmonic);
            if (out.harmonics.size() < h)
                out.harmonics.resize(h, 0.0);
            out.harmonics[h - 1] += s.power[k];
        }
        else
            out.inharmonic += s.power[k];
    }
    return out;
}

double rolloffHz(const Spectrum& s, double fraction, double limitHz)
{
    const size_t top = std::min(s.power.size(), static_cast<size_t>(limitHz / s.binHz));
    double total = 0.0;
    for (size_t k = 1; k < top; ++k)
        total += s.power[k];
    double sum = 0.0;
    for (size_t k = 1; k < top; ++k)
    {
        sum += s.power[k];
        if (sum >= fraction * total)
            return static_cast<double>(k) * s.binHz;
    }
    return 0.0;
}

std::vector<double> bandPowers(const Spectrum& s)
{
    std::vector<double> bands(kBandCount, 0.0);
    for (size_t k = 1; k < s.power.size(); ++k)
    {
        const double f = static_cast<double>(k) * s.binHz;
        // Band b is centred on 50 Hz * 2^(b/3).
        const double b = std::round(3.0 * std::log2(f / 50.0));
        if (b >= 0.0 && b < static_cast<double>(kBandCount))
            bands[static_cast<size_t>(b)] += s.power[k];
    }
    return bands;
}

double keyHz(double key)
{
    return 440.0 * std::pow(2.0, (key - 69.0) / 12.0);
}

double powerDb(double power)
{
    return power > 0.0 ? std::max(10.0 * std::log10(power), kSilentDb) : kSilentDb;
}
} // namespace audition
