#include "tools/wavegen/synth.h"

#include <algorithm>
#include <cmath>

namespace wavegen
{
uint64_t Rng::next()
{
    uint64_t z = (m_state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

double Rng::uniform()
{
    return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);
}

double Rng::noise()
{
    double sum = 0.0;
    for (int i = 0; i < 6; ++i)
        sum += uniform();
    return (sum - 3.0) * std::sqrt(2.0); // variance 6/12 scaled to 1
}

Biquad Biquad::lowpass(double hz, double q)
{
    const double w = 2.0 * kPi * hz / kRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    Biquad f;
    f.b0 = (1.0 - c) / 2.0 / a0;
    f.b1 = (1.0 - c) / a0;
    f.b2 = f.b0;
    f.a1 = -2.0 * c / a0;
    f.a2 = (1.0 - alpha) / a0;
    return f;
}

Biquad Biquad::highpass(double hz, double q)
{
    const double w = 2.0 * kPi * hz / kRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    Biquad f;
    f.b0 = (1.0 + c) / 2.0 / a0;
    f.b1 = -(1.0 + c) / a0;
    f.b2 = f.b0;
    f.a1 = -2.0 * c / a0;
    f.a2 = (1.0 - alpha) / a0;
    return f;
}

Biquad Biquad::bandpass(double hz, double q)
{
    const double w = 2.0 * kPi * hz / kRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    Biquad f;
    f.b0 = alpha / a0;
    f.b1 = 0.0;
    f.b2 = -alpha / a0;
    f.a1 = -2.0 * c / a0;
    f.a2 = (1.0 - alpha) / a0;
    return f;
}

double Biquad::process(double x)
{
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

void fft(std::vector<double>& re, std::vector<double>& im, bool inverse)
{
    const size_t n = re.size();
    for (size_t i = 1, j = 0; i < n; ++i)
    {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
        {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    for (size_t len = 2; len <= n; len <<= 1)
    {
        const double angle = 2.0 * kPi / static_cast<double>(len) * (inverse ? 1.0 : -1.0);
        for (size_t i = 0; i < n; i += len)
        {
            for (size_t k = 0; k < len / 2; ++k)
            {
                const double wr = std::cos(angle * static_cast<double>(k));
                const double wi = std::sin(angle * static_cast<double>(k));
                const size_t a = i + k, b = i + k + len / 2;
                const double tr = re[b] * wr - im[b] * wi;
                const double ti = re[b] * wi + im[b] * wr;
                re[b] = re[a] - tr;
                im[b] = im[a] - ti;
                re[a] += tr;
                im[a] += ti;
            }
        }
    }
}

void addPeriodicPartial(Signal& s, uint64_t cycles, double amp, double phase, uint64_t vibCycles, double vibDepth)
{
    const uint64_t n = s.size();
    for (uint64_t i = 0; i < n; ++i)
    {
        // Arguments reduced modulo n keep the period exact.
        const double main = 2.0 * kPi * static_cast<double>((cycles * i) % n) / static_cast<double>(n);
        const double vib = 2.0 * kPi * static_cast<double>((vibCycles * i) % n) / static_cast<double>(n);
        s[i] += amp * std::sin(main + phase + vibDepth * static_cast<double>(cycles) * std::sin(vib));
    }
}

void addModes(Signal& s, const std::vector<Mode>& modes, size_t start)
{
    for (const Mode& m : modes)
    {
        if (m.hz >= 24000.0 || m.hz <= 0.0 || m.amp == 0.0)
            continue;
        // A rotating phasor, shrinking by the decay each sample.
        const double w = 2.0 * kPi * m.hz / kRate;
        const double r = std::exp(-1.0 / (m.tau * kRate));
        const double cr = r * std::cos(w), ci = r * std::sin(w);
        double zr = m.amp * std::cos(m.phase), zi = m.amp * std::sin(m.phase);
        for (size_t i = start; i < s.size(); ++i)
        {
            s[i] += zi;
            const double nr = zr * cr - zi * ci;
            zi = zr * ci + zi * cr;
            zr = nr;
            if (std::abs(zr) + std::abs(zi) < 1e-7)
                break;
        }
    }
}

uint64_t loopCycles(size_t n)
{
    return static_cast<uint64_t>(std::llround(kPcmPitch * static_cast<double>(n) / kRate));
}

void rotateToQuietPoint(Signal& s)
{
    const size_t n = s.size();
    size_t best = 0;
    double bestLevel = 1e300;
    for (size_t i = 0; i < n; ++i)
    {
        const double level = std::abs(s[i]) + std::abs(s[(i + n - 1) % n]);
        if (level < bestLevel)
        {
            bestLevel = level;
            best = i;
        }
    }
    std::rotate(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(best), s.end());
}

void fadeIn(Signal& s, size_t n)
{
    n = std::min(n, s.size());
    for (size_t i = 0; i < n; ++i)
        s[i] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(n));
}

void fadeOut(Signal& s, size_t n)
{
    n = std::min(n, s.size());
    const size_t first = s.size() - n;
    for (size_t i = 0; i < n; ++i)
        s[first + i] *= 0.5 + 0.5 * std::cos(kPi * static_cast<double>(i + 1) / static_cast<double>(n));
}

void removeDc(Signal& s)
{
    double mean = 0.0;
    for (double v : s)
        mean += v;
    mean /= static_cast<double>(s.size());
    for (double& v : s)
        v -= mean;
}

void dcBlock(Signal& s, double hz)
{
    const double r = std::exp(-2.0 * kPi * hz / kRate);
    double x1 = 0.0, y1 = 0.0;
    for (double& v : s)
    {
        const double y = v - x1 + r * y1;
        x1 = v;
        y1 = y;
        v = y;
    }
}

std::vector<int8_t> toBytes(const Signal& s, double peak)
{
    double maxAbs = 1e-12;
    for (double v : s)
        maxAbs = std::max(maxAbs, std::abs(v));
    const double scale = peak * 127.0 / maxAbs;
    std::vector<int8_t> out(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        out[i] = static_cast<int8_t>(std::clamp(std::lround(s[i] * scale), -127L, 127L));
    return out;
}
} // namespace wavegen
