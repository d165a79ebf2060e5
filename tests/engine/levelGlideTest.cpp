// Levels heard while they move: a volume swept by the host glides, with no
// steps that would show as sidebands around a held tone.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/engine/engineTestSupport.h"
#include "tools/audition/spectrum.h"

using namespace k1test;

namespace
{
constexpr double kRate = 49920.0;
constexpr int kBlock = 512;

// The strongest part of x's spectrum outside the harmonics of f0, in dB
// under the tone, over frames of 4096 samples every 1024 from `from` on.
double worstSidebandDb(const std::vector<float>& x, size_t from, double f0)
{
    constexpr size_t kFrame = 4096;
    double worst = -200.0;
    for (size_t at = from; at + kFrame <= x.size(); at += kFrame / 4)
    {
        const audition::Spectrum s = audition::powerSpectrum(x, at, kFrame, kRate);
        const double zone = (audition::kMainLobeBins + 1.0) * s.binHz;
        double tone = 0.0;
        double side = 0.0;
        for (size_t k = 0; k < s.power.size(); ++k)
        {
            const double hz = static_cast<double>(k) * s.binHz;
            const double harmonic = std::max(1.0, std::round(hz / f0)) * f0;
            if (std::abs(hz - f0) <= zone)
                tone = std::max(tone, s.power[k]);
            else if (std::abs(hz - harmonic) > zone && hz > zone && hz < 20000.0)
                side = std::max(side, s.power[k]);
        }
        if (tone > 0.0)
            worst = std::max(worst, 10.0 * std::log10(std::max(side, 1e-30) / tone));
    }
    return worst;
}

// A held sine of about 1 kHz while the host writes `param` every block,
// rising from 0 to 1 over four seconds.
std::vector<float> sweep(k1lib::EParam param)
{
    TestEngine t;
    k1lib::SinglePreset p = plainSingle();
    t.engine->setSingle(0, p);
    std::vector<float> out;
    const int frames = static_cast<int>(4.0 * kRate);
    for (int start = 0; start < frames; start += kBlock)
    {
        t.engine->setParameter(param, static_cast<float>(start) / static_cast<float>(frames), true);
        std::vector<k1lib::SMidiEvent> events;
        if (start == 0)
            events.push_back(midi(0x90, 83, 100, 0));
        std::vector<float> left(kBlock), right(kBlock);
        float* outputs[2] = {left.data(), right.data()};
        t.engine->process(outputs, 2, kBlock, events);
        out.insert(out.end(), left.begin(), left.end());
    }
    return out;
}
} // namespace

TEST(LevelGlide, SweptLevelsRaiseNoSidebands)
{
    const double f0 = 440.0 * std::pow(2.0, (83 - 69) / 12.0);
    // The volume curve climbs in steps of up to 2 dB; the source's level
    // reaches held notes through its envelope.
    for (const k1lib::EParam param : {k1lib::Param_Volume, k1lib::Param_SourceS1EnvLevel})
    {
        const std::vector<float> out = sweep(param);
        EXPECT_LT(worstSidebandDb(out, 8192, f0), -60.0) << k1lib::CParam::getEnumString(param);
    }
}
