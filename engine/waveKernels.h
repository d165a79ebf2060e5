#pragma once

// The innermost loops of the sources: read a wave block with linear
// interpolation at a 32-bit phase that moves by an increment per sample, the
// increment itself moving by a fixed step (0 for a steady pitch), and add it,
// scaled by the source mix and the amplitude, into a sum:
//
//   out[i] += (mix[i] x wave(phase_i)) x amplitude[i]
//   phase_0 = phase, phase_i+1 = phase_i + increment + i x step (modulo 2^32)
//
// wave(p) = (s0 + f x (s1 - s0)) / 128, s0 the sample at index p >> shift, s1
// the one after it, f the phase's low bits x inverseScale. The blocks come
// from GuardedWaves: the three samples after a block's last repeat its first
// ones, so s1 needs no wrap and four bytes may be read at any index.
//
// Every variant performs the same single-precision operations in the same
// order, so they give the same bits; the widest one the processor has (AVX2,
// else the SSE2 baseline) is chosen when the library loads.

#include <cstdint>

namespace k1lib
{
struct WaveCursor
{
    const int8_t* data = nullptr;
    uint32_t phase = 0;
    uint32_t increment = 0; // modulo 2^32
    uint32_t step = 0;      // added to the increment after each sample, modulo 2^32
    uint32_t shift = 1;     // 1..31
    float inverseScale = 0.0f;
};

// amplitude and mix point at n values each, or at one value for the whole run
// when the kernel's flag says so.
using MixWaveFn = void (*)(float* out, const WaveCursor& cursor, const float* amplitude, const float* mix, int n);
// out[i] = wave(phase_i).
using ReadWaveFn = void (*)(float* out, const WaveCursor& cursor, int n);

struct WaveKernels
{
    const char* name;
    MixWaveFn mix[2][2]; // [one amplitude][one mix]
    ReadWaveFn read;
};

// Where the cursor's phase and increment stand after n samples.
inline void advanceCursor(WaveCursor& c, uint32_t n)
{
    c.phase += n * c.increment + (n * (n - 1) / 2) * c.step;
    c.increment += n * c.step;
}

// The kernels in use.
const WaveKernels& waveKernels();
// Every variant this processor can run, the baseline first (for tests and benchmarks).
int waveKernelVariantCount();
const WaveKernels& waveKernelVariant(int i);
} // namespace k1lib
