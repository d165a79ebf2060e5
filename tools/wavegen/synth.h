#pragma once

// Building blocks of the wave generator: a fixed-seed random source, filters,
// an FFT, periodic (seamlessly looping) noise and partials, and the final
// scaling to signed 8-bit. Signals are doubles in -1..1 at kRate Hz.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace wavegen
{
constexpr double kRate = 50000.0;
constexpr double kPi = 3.14159265358979323846;
// Pitch of every pitched PCM wave when played at kRate.
constexpr double kPcmPitch = 415.28961;

using Signal = std::vector<double>;

// splitmix64: the same numbers on every machine and compiler.
class Rng
{
public:
    explicit Rng(uint64_t seed) : m_state(seed) {}
    uint64_t next();
    double uniform();  // [0, 1)
    double signedUniform() { return 2.0 * uniform() - 1.0; }
    double noise();    // roughly Gaussian, unit variance

private:
    uint64_t m_state;
};

// RBJ biquad, direct form I.
class Biquad
{
public:
    static Biquad lowpass(double hz, double q);
    static Biquad highpass(double hz, double q);
    static Biquad bandpass(double hz, double q); // 0 dB at the centre
    double process(double x);

private:
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// In-place radix-2 FFT of re/im (size a power of two); inverse without 1/N.
void fft(std::vector<double>& re, std::vector<double>& im, bool inverse);

// Noise of length n (a power of two) that repeats seamlessly with period n:
// random phases, magnitudes from shape(frequency in Hz). Unit peak.
template <typename Shape>
Signal periodicNoise(size_t n, Rng& rng, Shape shape)
{
    std::vector<double> re(n, 0.0), im(n, 0.0);
    for (size_t k = 1; k < n / 2; ++k)
    {
        const double mag = shape(static_cast<double>(k) * kRate / static_cast<double>(n));
        const double phase = 2.0 * kPi * rng.uniform();
        re[k] = mag * std::cos(phase);
        im[k] = mag * std::sin(phase);
        re[n - k] = re[k];
        im[n - k] = -im[k];
    }
    fft(re, im, true);
    double peak = 1e-12;
    for (double v : re)
        peak = std::max(peak, std::abs(v));
    for (double& v : re)
        v /= peak;
    return re;
}

// A partial that completes whole periods over n samples: cycles per n
// samples, optional vibrato (vibCycles per n samples, depth in radians per cycle).
void addPeriodicPartial(Signal& s, uint64_t cycles, double amp, double phase, uint64_t vibCycles = 0,
                        double vibDepth = 0.0);

// Cycles per n samples nearest to the PCM pitch, so loops keep whole periods.
uint64_t loopCycles(size_t n);

// Rotates a periodic signal so that it starts where it is nearest to zero.
void rotateToQuietPoint(Signal& s);

// A decaying sinusoid: frequency in Hz, start amplitude, time constant in s.
struct Mode
{
    double hz;
    double amp;
    double tau;
    double phase = 0.0;
};
// Adds the modes from sample `start` on; modes at or above 24 kHz are left out.
void addModes(Signal& s, const std::vector<Mode>& modes, size_t start = 0);

// Raised-cosine fades over the first / last n samples.
void fadeIn(Signal& s, size_t n);
void fadeOut(Signal& s, size_t n);

// Removes the mean.
void removeDc(Signal& s);

// One-pole DC blocker run forwards (keeps silence at both ends).
void dcBlock(Signal& s, double hz);

// Scales to the given peak (fraction of full scale) and rounds to signed 8 bits.
std::vector<int8_t> toBytes(const Signal& s, double peak);
} // namespace wavegen
