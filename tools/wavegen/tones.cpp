// Pitched PCM regions. One-shots are modal string models (plucked or struck
// partials with frequency-dependent decay), blown and bowed tones with breath
// or bow noise; they start from silence and fade out at the region's end.
// Sustained regions that loops play are periodic over the whole region:
// every partial, the vibrato and the noise complete whole periods, and the
// region starts at its quietest point.

#include <cmath>

#include "tools/wavegen/romLayout.h"

namespace wavegen
{
namespace
{
constexpr size_t kAttackFade = 24;  // samples of fade-in against a start click
constexpr size_t kEndFade = 1024;   // samples of fade-out at a one-shot's end

double resonance(double f, double centre, double bw) { return 1.0 / (1.0 + std::pow((f - centre) / bw, 2.0)); }

struct StringModel
{
    double pluckPosition = 0.2;   // fraction of the string length
    double pickupPosition = 0.0;  // 0: acoustic (no pickup comb)
    double inharmonicity = 0.0;   // B of f_k = k f0 sqrt(1 + B k^2)
    double tau = 1.0;             // decay of the fundamental, s
    double lossHz = 3000.0;       // partials above decay ever faster
    double rolloff = 1.0;         // amplitude ~ 1/k^rolloff
    double hardnessHz = 20000.0;  // hammer or plectrum low-pass
    double bodyHz = 0.0, bodyBw = 1.0, bodyGain = 0.0;
};

// The modes of a plucked or struck string tuned so that its first partial is kPcmPitch.
std::vector<Mode> stringModes(const StringModel& m, double pitch, Rng& rng)
{
    std::vector<Mode> modes;
    const double f0 = pitch / std::sqrt(1.0 + m.inharmonicity);
    for (int k = 1; k < 200; ++k)
    {
        const double f = k * f0 * std::sqrt(1.0 + m.inharmonicity * k * k);
        if (f > 22000.0)
            break;
        double amp = std::abs(std::sin(kPi * k * m.pluckPosition)) / std::pow(k, m.rolloff);
        if (m.pickupPosition > 0.0)
            amp *= std::abs(std::sin(kPi * k * m.pickupPosition));
        amp /= std::sqrt(1.0 + std::pow(f / m.hardnessHz, 2.0));
        amp *= 1.0 + m.bodyGain * resonance(f, m.bodyHz, m.bodyBw);
        const double tau = m.tau / (1.0 + std::pow(f / m.lossHz, 2.0));
        modes.push_back({f, amp, tau, 0.2 * rng.signedUniform()});
    }
    return modes;
}

// A burst of filtered noise: plectrum, hammer, bow or breath onset.
void addNoiseBurst(Signal& s, Rng& rng, double level, double tau, Biquad filter)
{
    for (size_t i = 0; i < s.size(); ++i)
    {
        const double env = std::exp(-static_cast<double>(i) / (tau * kRate));
        if (env < 1e-5)
            break;
        s[i] += level * env * filter.process(rng.noise());
    }
}

void finishOneShot(Signal& s)
{
    dcBlock(s, 15.0);
    fadeIn(s, kAttackFade);
    fadeOut(s, kEndFade);
}

Signal plucked(size_t n, const StringModel& model, uint64_t seed, double noise)
{
    Rng rng(seed);
    Signal s(n, 0.0);
    addModes(s, stringModes(model, kPcmPitch, rng));
    addNoiseBurst(s, rng, noise, 0.003, Biquad::bandpass(3000.0, 0.7));
    finishOneShot(s);
    return s;
}

// A piano note: three slightly detuned strings per partial (their beating gives
// the two-stage decay), stiff-string inharmonicity and hammer noise.
Signal piano(size_t n, double hardness, double brightTau, uint64_t seed)
{
    Rng rng(seed);
    Signal s(n, 0.0);
    StringModel m;
    m.pluckPosition = 1.0 / 8.0;
    m.inharmonicity = 0.0004;
    m.tau = 1.6;
    m.lossHz = brightTau;
    m.rolloff = 0.8;
    m.hardnessHz = hardness;
    for (int string = 0; string < 3; ++string)
    {
        const double detune = std::pow(2.0, (string - 1) * 0.6 / 1200.0);
        std::vector<Mode> modes = stringModes(m, kPcmPitch * detune, rng);
        addModes(s, modes);
    }
    addNoiseBurst(s, rng, 0.6, 0.006, Biquad::lowpass(2500.0, 0.7));
    finishOneShot(s);
    return s;
}

// A sustained tone whose partials all repeat exactly over the region.
template <typename Spectrum>
Signal periodicTone(size_t n, uint64_t seed, Spectrum spectrum, uint64_t vibCycles, double vibDepth)
{
    Rng rng(seed);
    Signal s(n, 0.0);
    const uint64_t cycles = loopCycles(n);
    const double f0 = static_cast<double>(cycles) * kRate / static_cast<double>(n);
    for (uint64_t k = 1; static_cast<double>(k) * f0 < 20000.0; ++k)
    {
        const double amp = spectrum(static_cast<int>(k), static_cast<double>(k) * f0);
        if (amp != 0.0)
            addPeriodicPartial(s, k * cycles, amp, 2.0 * kPi * rng.uniform(), vibCycles, vibDepth);
    }
    return s;
}

// Breath noise that repeats over the region, centred on the tone's partials and above.
template <typename Shape>
void addPeriodicBreath(Signal& s, uint64_t seed, double level, Shape shape)
{
    Rng rng(seed);
    const Signal breath = periodicNoise(s.size(), rng, shape);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] += level * breath[i];
}

Signal finishLoop(Signal s)
{
    removeDc(s);
    rotateToQuietPoint(s);
    return s;
}

// Vibrato rate: whole cycles over the region, near 5.5 Hz.
uint64_t vibratoCycles(size_t n) { return std::max<uint64_t>(1, std::llround(5.5 * static_cast<double>(n) / kRate)); }

Signal stringEnsemble(size_t n)
{
    // Three players a few cents apart: each partial gets neighbours on the loop's grid.
    Rng rng(0x57e1);
    Signal s(n, 0.0);
    const uint64_t cycles = loopCycles(n);
    const double f0 = static_cast<double>(cycles) * kRate / static_cast<double>(n);
    for (uint64_t k = 1; static_cast<double>(k) * f0 < 20000.0; ++k)
    {
        const double f = static_cast<double>(k) * f0;
        // Body resonances and the bridge's hill near 3 kHz over a bowed
        // string's sawtooth.
        const double amp = (0.2 + 0.8 * resonance(f, 300, 150) + 0.6 * resonance(f, 1000, 400) +
                            2.0 * resonance(f, 3500, 2000) + 1.2 * resonance(f, 7000, 3000)) /
                           std::pow(static_cast<double>(k), 0.6) / (1.0 + std::pow(f / 15000.0, 2.0));
        const uint64_t spread = std::max<uint64_t>(1, std::llround(0.003 * static_cast<double>(k * cycles)));
        for (int player = -1; player <= 1; ++player)
            // The other players stay soft: together at 0.3 of the first, their
            // beating moves the level by at most 6 dB.
            addPeriodicPartial(s, k * cycles + static_cast<uint64_t>(player) * spread, player == 0 ? amp : 0.15 * amp,
                               2.0 * kPi * rng.uniform());
    }
    addPeriodicBreath(s, 0x57e2, 0.03, [](double f) { return f > 2000.0 && f < 9000.0 ? 1.0 : 0.0; });
    return finishLoop(s);
}

Signal blownLoop(size_t n, uint64_t seed, std::vector<double> harmonics, double breath)
{
    Signal s = periodicTone(
        n, seed, [&](int k, double) { return k <= static_cast<int>(harmonics.size()) ? harmonics[k - 1] : 0.0; },
        vibratoCycles(n), 0.004);
    const double f0 = static_cast<double>(loopCycles(n)) * kRate / static_cast<double>(n);
    addPeriodicBreath(s, seed + 1, breath, [f0](double f) {
        const double h = f / f0, near = std::abs(h - std::round(h));
        return (f > 800.0 ? 0.5 : 0.1) + (near < 0.1 ? 1.0 : 0.0);
    });
    return finishLoop(s);
}

Signal voiceLoop(size_t n)
{
    Signal s = periodicTone(
        n, 0x701c,
        [](int k, double f) {
            return (resonance(f, 730, 120) + 0.6 * resonance(f, 1090, 150) + 0.3 * resonance(f, 2440, 250) + 0.01) /
                   std::pow(k, 1.0);
        },
        vibratoCycles(n), 0.006);
    addPeriodicBreath(s, 0x701d, 0.02, [](double f) { return resonance(f, 2440, 800); });
    return finishLoop(s);
}

Signal guitarLoop(size_t n)
{
    // A driven guitar tone: bright pick spectrum through a speaker's low-pass.
    Signal s = periodicTone(
        n, 0xf022,
        [](int k, double f) {
            return (std::abs(std::sin(kPi * k * 0.13)) + 0.3) / std::pow(k, 0.9) / (1.0 + std::pow(f / 4000.0, 4.0)) *
                   (1.0 + resonance(f, 1800, 500));
        },
        0, 0.0);
    return finishLoop(s);
}

Signal pullBassLoop(size_t n)
{
    Signal s = periodicTone(
        n, 0xba55,
        [](int k, double f) {
            return std::abs(std::sin(kPi * k * 0.08)) / k * std::abs(std::sin(kPi * k * 0.1) + 0.2) *
                   (1.0 + resonance(f, 2000, 600));
        },
        0, 0.0);
    return finishLoop(s);
}

// A note of a sustained instrument with an onset: bow or breath noise, a rising
// level and brightness, vibrato entering after the attack.
Signal sustainedOneShot(size_t n, uint64_t seed, std::vector<double> harmonics, double attackS, double noiseLevel,
                        double noiseHz, double brightRise)
{
    Rng rng(seed);
    Signal s(n, 0.0);
    std::vector<double> phase(harmonics.size(), 0.0);
    Biquad noiseFilter = Biquad::bandpass(noiseHz, 0.8);
    double vibPhase = 0.0;
    for (size_t i = 0; i < n; ++i)
    {
        const double t = static_cast<double>(i) / kRate;
        const double rise = 1.0 - std::exp(-t / attackS);
        const double vib = 1.0 + 0.004 * std::min(1.0, t / 0.15) * std::sin(vibPhase);
        vibPhase += 2.0 * kPi * 5.5 / kRate;
        double v = 0.0;
        for (size_t h = 0; h < harmonics.size(); ++h)
        {
            const double k = static_cast<double>(h + 1);
            phase[h] += 2.0 * kPi * k * kPcmPitch * vib / kRate;
            const double bright = std::pow(rise, 1.0 + brightRise * static_cast<double>(h));
            v += harmonics[h] * bright * std::sin(phase[h]);
        }
        const double noiseEnv = noiseLevel * (0.3 + 0.7 * std::exp(-t / (attackS * 1.5)));
        s[i] = v + noiseEnv * noiseFilter.process(rng.noise());
    }
    finishOneShot(s);
    return s;
}

std::vector<double> sawHarmonics(int count, double rolloff, double cutoffHz)
{
    std::vector<double> h;
    for (int k = 1; k <= count && k * kPcmPitch < 20000.0; ++k)
        h.push_back(1.0 / std::pow(k, rolloff) / (1.0 + std::pow(k * kPcmPitch / cutoffHz, 2.0)));
    return h;
}
} // namespace

Signal makeTone(int cue)
{
    const size_t n = kPcmRegions[cue].length;
    StringModel m;
    switch (cue)
    {
    case 0: return piano(n, 3500.0, 2500.0, 0x9a01);
    case 1: return stringEnsemble(n);
    case 2: return blownLoop(n, 0x5a40, {1.0, 0.35, 0.15, 0.08, 0.04}, 0.06);
    case 3: return voiceLoop(n);
    case 5: // Strat: bright pluck heard through a bridge pickup
        m = {0.11, 0.09, 0.0001, 0.8, 6000.0, 0.65, 16000.0, 3500.0, 1500.0, 0.8};
        return plucked(n, m, 0x57a7, 0.05);
    case 6: return guitarLoop(n);
    case 7: // Guitar harmonic: the string touched at its middle, nearly a sine
        m = {0.5, 0.0, 0.0001, 0.5, 1500.0, 2.0, 20000.0, 0.0, 1.0, 0.0};
        return plucked(n, m, 0x6a27, 0.02);
    case 11: return blownLoop(n, 0x9af1, {1.0, 0.1, 0.08, 0.03}, 0.09);
    case 12: // Pizzicato: short-lived plucked string on a violin body
        m = {0.25, 0.0, 0.0, 0.12, 3000.0, 1.2, 8000.0, 2800.0, 800.0, 1.5};
        return plucked(n, m, 0x9122, 0.04);
    case 14: return piano(n, 6000.0, 4000.0, 0xe16a);
    case 15: // F Guitar: steel strings on a flat top
        m = {0.1, 0.0, 0.00005, 1.0, 6000.0, 0.75, 14000.0, 3500.0, 1200.0, 1.2};
        return plucked(n, m, 0xf6a1, 0.05);
    case 16: // A Guitar: nylon strings, warmer
        m = {0.16, 0.0, 0.00003, 0.9, 4000.0, 0.9, 9000.0, 200.0, 80.0, 1.5};
        return plucked(n, m, 0xa6a1, 0.03);
    case 18: return sustainedOneShot(n, 0x9af2, {1.0, 0.1, 0.08, 0.03}, 0.03, 0.25, 2500.0, 0.5);
    case 19: return sustainedOneShot(n, 0x5a7a, sawHarmonics(40, 1.0, 6000.0), 0.02, 0.2, 3500.0, 0.3);
    case 20: return sustainedOneShot(n, 0xb0e5, sawHarmonics(48, 0.9, 7000.0), 0.04, 0.08, 3000.0, 0.1);
    case 21: // Trumpet: brightness grows with the level
    {
        std::vector<double> h;
        for (int k = 1; k * kPcmPitch < 20000.0; ++k)
        {
            const double f = k * kPcmPitch;
            h.push_back(f < 2400.0 ? std::pow(f / 2400.0, 0.7) : std::pow(2400.0 / f, 0.9));
        }
        return sustainedOneShot(n, 0x7a0e, h, 0.025, 0.03, 1500.0, 0.25);
    }
    case 22: return sustainedOneShot(n, 0x5a41, {1.0, 0.35, 0.15, 0.08}, 0.05, 0.5, 1800.0, 0.6);
    case 23: // Bass harmonic
        m = {0.5, 0.0, 0.0, 0.6, 1000.0, 2.0, 20000.0, 0.0, 1.0, 0.0};
        return plucked(n, m, 0xba22, 0.01);
    case 27: return pullBassLoop(n);
    default: return Signal(n, 0.0);
    }
}
} // namespace wavegen
