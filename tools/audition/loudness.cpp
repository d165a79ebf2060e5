// K-weighting filters from their analogue prototypes (a high shelf of +4 dB
// above 1.7 kHz and a high-pass at 38 Hz), valid at any rate, then gating.

#include "tools/audition/loudness.h"

#include <algorithm>
#include <cmath>

namespace audition
{
namespace
{
struct Biquad
{
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double run(double x)
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

Biquad shelf(double rate)
{
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(M_PI * f0 / rate);
    const double vh = std::pow(10.0, gainDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    return Biquad{(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                  2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad highpass(double rate)
{
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(M_PI * f0 / rate);
    const double a0 = 1.0 + k / q + k * k;
    return Biquad{1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

// Prefix sums of the K-weighted squares of one channel.
void weightedSquares(const std::vector<float>& x, double rate, size_t begin, size_t end, std::vector<double>& prefix)
{
    Biquad a = shelf(rate), b = highpass(rate);
    prefix.assign(end - begin + 1, 0.0);
    for (size_t i = begin; i < end; ++i)
    {
        const double y = b.run(a.run(static_cast<double>(x[i])));
        prefix[i - begin + 1] = prefix[i - begin] + y * y;
    }
}
} // namespace

double integratedLoudness(const Stereo& x, double rate, size_t begin, size_t end)
{
    end = std::min(end, x.size());
    const auto block = static_cast<size_t>(0.4 * rate);
    const auto hop = static_cast<size_t>(0.1 * rate);
    if (end <= begin || end - begin < block)
        return kSilentDb;
    std::vector<double> left, right;
    weightedSquares(x.left, rate, begin, end, left);
    weightedSquares(x.right, rate, begin, end, right);
    std::vector<double> z;
    for (size_t at = 0; at + block <= end - begin; at += hop)
        z.push_back((left[at + block] - left[at] + right[at + block] - right[at]) / static_cast<double>(block));

    auto lufs = [](double meanSquare) { return meanSquare > 0.0 ? -0.691 + 10.0 * std::log10(meanSquare) : kSilentDb; };
    auto gatedMean = [&](double gate) {
        double sum = 0.0;
        size_t n = 0;
        for (double v : z)
        {
            if (lufs(v) > gate)
            {
                sum += v;
                ++n;
            }
        }
        return n > 0 ? sum / static_cast<double>(n) : 0.0;
    };
    const double ungated = gatedMean(-70.0);
    if (ungated <= 0.0)
        return kSilentDb;
    return lufs(gatedMean(lufs(ungated) - 10.0));
}
} // namespace audition
