#include "tools/wavegen/playback.h"

#include <cmath>

#include "tools/wavegen/synth.h"

namespace wavegen
{
namespace
{
// Images above this many cycles of the table are far below anything heard.
constexpr int kImageCycles = 6;
constexpr int kComponents = 256 * kImageCycles;

struct Tables
{
    double cosine[256], sine[256];
    double sinc4[kComponents]; // what the interpolation keeps of harmonic n, as power
};

const Tables& tables()
{
    static const Tables t = [] {
        Tables t{};
        for (int i = 0; i < 256; ++i)
        {
            t.cosine[i] = std::cos(2.0 * kPi * i / 256.0);
            t.sine[i] = std::sin(2.0 * kPi * i / 256.0);
        }
        for (int n = 1; n < kComponents; ++n)
        {
            const double x = kPi * n / 256.0;
            const double sinc = std::sin(x) / x;
            t.sinc4[n] = sinc * sinc * sinc * sinc;
        }
        return t;
    }();
    return t;
}
} // namespace

CycleModel::CycleModel(const int8_t* halfCycle)
{
    double x[256];
    for (int n = 0; n < 128; ++n)
    {
        x[n] = halfCycle[n];
        x[255 - n] = -static_cast<double>(halfCycle[n]) - 1.0;
    }
    const Tables& t = tables();
    for (int j = 0; j < 256; ++j)
    {
        double re = 0.0, im = 0.0;
        for (int n = 0; n < 256; ++n)
        {
            const int a = (j * n) & 255;
            re += x[n] * t.cosine[a];
            im -= x[n] * t.sine[a];
        }
        // Full scale is 128 steps; a sinusoid of amplitude A has power A^2 / 2.
        const double c = std::sqrt(re * re + im * im) / 256.0 / 128.0;
        m_power[static_cast<size_t>(j)] = 2.0 * c * c;
    }
}

double CycleModel::harmonic(int k) const
{
    return m_power[static_cast<size_t>(k % 256)] * tables().sinc4[k];
}

Playback CycleModel::play(double f0) const
{
    Playback p;
    const Tables& t = tables();
    for (int n = 1; n < kComponents; ++n)
    {
        const double base = m_power[static_cast<size_t>(n % 256)];
        if (base == 0.0)
            continue;
        const double power = base * t.sinc4[n];
        const double f = n * f0;
        if (f < 0.5 * kEngineRate)
        {
            if (f < kAudibleHz)
            {
                p.note += power;
                if (n >= 2)
                    p.upper += power;
                if (n >= 3)
                    p.third += power;
            }
            continue;
        }
        double g = std::fmod(f, kEngineRate);
        if (g > 0.5 * kEngineRate)
            g = kEngineRate - g;
        if (g < kAudibleHz)
            p.folded += power;
    }
    return p;
}
} // namespace wavegen
