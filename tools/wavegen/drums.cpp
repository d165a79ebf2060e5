// Unpitched PCM regions: drums (pitch-swept and modal membranes with noise),
// cymbals and hi-hat (metallic: band-limited square oscillators at
// inharmonic ratios and dense inharmonic partials), piano noise, white noise.
// Every drum decays to silence inside its region.

#include <cmath>

#include "tools/wavegen/romLayout.h"

namespace wavegen
{
namespace
{
constexpr size_t kAttackFade = 8;

double decay(size_t i, double tau) { return std::exp(-static_cast<double>(i) / (tau * kRate)); }

// Tail fade so the region ends in true silence whatever the decay left.
void finishDrum(Signal& s, size_t tail)
{
    dcBlock(s, 20.0);
    fadeIn(s, kAttackFade);
    fadeOut(s, tail);
}

void addNoise(Signal& s, Rng& rng, double level, double tau, Biquad filter)
{
    for (size_t i = 0; i < s.size(); ++i)
        s[i] += level * decay(i, tau) * filter.process(rng.noise());
}

// Six band-limited squares at the ratios of the classic analogue hi-hat.
Signal metallic(size_t n, double scale)
{
    static const double base[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    std::vector<Mode> modes;
    for (double f : base)
        for (int k = 1; k * f * scale < 24000.0; k += 2)
            modes.push_back({k * f * scale, 1.0 / k, 1e9, 0.0});
    Signal s(n, 0.0);
    addModes(s, modes);
    return s;
}

// Many inharmonic partials of a struck plate, each with its own decay.
void addPlate(Signal& s, Rng& rng, int count, double lowHz, double highHz, double tau, double level)
{
    std::vector<Mode> modes;
    for (int i = 0; i < count; ++i)
    {
        const double f = lowHz * std::pow(highHz / lowHz, rng.uniform());
        modes.push_back({f, level * (0.5 + rng.uniform()) / std::sqrt(count), tau * (0.5 + rng.uniform()),
                         2.0 * kPi * rng.uniform()});
    }
    addModes(s, modes);
}

Signal cymbal(size_t n, uint64_t seed, double tau, double hpHz, double plateLevel, double squareScale)
{
    Rng rng(seed);
    Signal s = metallic(n, squareScale);
    Biquad band = Biquad::highpass(hpHz, 0.7), air = Biquad::lowpass(16000.0, 0.7);
    for (size_t i = 0; i < n; ++i)
        s[i] = air.process(band.process(0.25 * s[i] + 0.6 * rng.noise())) * decay(i, tau);
    addPlate(s, rng, 300, 3000.0, 16000.0, tau, plateLevel);
    finishDrum(s, n / 8);
    return s;
}

Signal bassDrum(size_t n)
{
    Rng rng(0xbd);
    Signal s(n, 0.0);
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i)
    {
        // The head's pitch falls from about 200 Hz to 55 Hz as the tension relaxes.
        const double f = 55.0 + 145.0 * decay(i, 0.012);
        phase += 2.0 * kPi * f / kRate;
        s[i] = std::sin(phase) * decay(i, 0.018);
    }
    addNoise(s, rng, 0.5, 0.0012, Biquad::highpass(2000.0, 0.7)); // beater click
    finishDrum(s, n / 4);
    return s;
}

// A snare: body modes of the head plus snare-wire noise.
Signal snare(size_t n, uint64_t seed, double bodyHz, double bodyTau, double noiseTau, double noiseHp, double noiseLevel)
{
    Rng rng(seed);
    Signal s(n, 0.0);
    addModes(s, {{bodyHz, 1.0, bodyTau}, {bodyHz * 1.78, 0.5, bodyTau * 0.7}, {bodyHz * 2.3, 0.25, bodyTau * 0.5}});
    Biquad hp = Biquad::highpass(noiseHp, 0.7), lp = Biquad::lowpass(9000.0, 0.7);
    for (size_t i = 0; i < n; ++i)
        s[i] += noiseLevel * decay(i, noiseTau) * lp.process(hp.process(rng.noise()));
    finishDrum(s, n / 4);
    return s;
}

Signal tom(size_t n)
{
    Rng rng(0x703);
    Signal s(n, 0.0);
    static const double ratio[4] = {1.0, 1.59, 2.14, 2.30};
    static const double level[4] = {1.0, 0.4, 0.25, 0.15};
    double phase[4] = {};
    for (size_t i = 0; i < n; ++i)
    {
        const double bend = 1.0 + 0.25 * decay(i, 0.03);
        for (int m = 0; m < 4; ++m)
        {
            phase[m] += 2.0 * kPi * 150.0 * ratio[m] * bend / kRate;
            s[i] += level[m] * std::sin(phase[m]) * decay(i, 0.03 / (1.0 + m));
        }
    }
    addNoise(s, rng, 0.3, 0.004, Biquad::bandpass(2500.0, 0.7)); // stick
    finishDrum(s, n / 4);
    return s;
}

Signal rim(size_t n)
{
    Rng rng(0x417);
    Signal s(n, 0.0);
    addModes(s, {{1700.0, 1.0, 0.010}, {820.0, 0.6, 0.014}, {5000.0, 0.4, 0.004}, {3300.0, 0.3, 0.006}});
    addNoise(s, rng, 0.4, 0.002, Biquad::highpass(3000.0, 0.7));
    finishDrum(s, n / 4);
    return s;
}

Signal pianoNoise(size_t n)
{
    Rng rng(0x9a0e);
    Signal s(n, 0.0);
    addModes(s, {{90.0, 1.0, 0.030}, {210.0, 0.4, 0.020}});                  // key bed thump
    addNoise(s, rng, 0.5, 0.012, Biquad::bandpass(1500.0, 0.8));          // felt and action
    addNoise(s, rng, 0.2, 0.030, Biquad::bandpass(400.0, 1.2));           // soundboard
    finishDrum(s, n / 4);
    return s;
}

Signal whiteNoise(size_t n)
{
    Rng rng(0x0123);
    Signal s = periodicNoise(n, rng, [](double) { return 1.0; });
    removeDc(s);
    rotateToQuietPoint(s);
    return s;
}
} // namespace

Signal makeDrum(int cue)
{
    const size_t n = kPcmRegions[cue].length;
    switch (cue)
    {
    case 4: return cymbal(n, 0xc4a5, 0.11, 4000.0, 0.8, 1.7);   // crash
    case 8: return tom(n);
    case 9: return snare(n, 0x7195, 250.0, 0.025, 0.014, 3000.0, 0.7); // tight snare
    case 10: return cymbal(n, 0x41de, 0.05, 2500.0, 1.6, 1.1);  // ride
    case 13: return whiteNoise(n);
    case 17: return pianoNoise(n);
    case 24: return rim(n);
    case 25: return bassDrum(n);
    case 26: return snare(n, 0xe5, 180.0, 0.022, 0.02, 1500.0, 0.6);   // electronic snare
    case 28: return snare(n, 0xac5, 185.0, 0.02, 0.016, 800.0, 0.9);   // acoustic snare
    case 29: return cymbal(n, 0x44a7, 0.04, 7000.0, 0.3, 2.2);  // hi-hat
    default: return Signal(n, 0.0);
    }
}

Signal makePcmRegion(int cue)
{
    static const int kDrumRegions[] = {4, 8, 9, 10, 13, 17, 24, 25, 26, 28, 29};
    for (int d : kDrumRegions)
        if (d == cue)
            return makeDrum(cue);
    return makeTone(cue);
}
} // namespace wavegen
