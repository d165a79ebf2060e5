#include "engine/waveKernels.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define K1_HAVE_AVX2_KERNELS 1
#endif

namespace k1lib
{
namespace
{
constexpr float kSampleScale = 0.0078125f; // 1/128: signed 8-bit to -1..1

inline float waveAt(const int8_t* data, uint32_t phase, uint32_t shift, uint32_t lowMask, float inverseScale)
{
    const uint32_t index = phase >> shift;
    const float frac = static_cast<float>(static_cast<int32_t>(phase & lowMask)) * inverseScale;
    const float s0 = static_cast<float>(data[index]);
    const float s1 = static_cast<float>(data[index + 1]);
    return (s0 + frac * (s1 - s0)) * kSampleScale;
}

// ---- Baseline: plain loops --------------------------------------------------

template <bool kOneAmplitude, bool kOneMix>
void mixPlain(float* out, const WaveCursor& c, const float* amplitude, const float* mix, int n)
{
    const uint32_t lowMask = (1u << c.shift) - 1u;
    uint32_t phase = c.phase;
    uint32_t increment = c.increment;
    for (int i = 0; i < n; ++i)
    {
        const float v = waveAt(c.data, phase, c.shift, lowMask, c.inverseScale);
        const float a = kOneAmplitude ? amplitude[0] : amplitude[i];
        const float m = kOneMix ? mix[0] : mix[i];
        out[i] += (m * v) * a;
        phase += increment;
        increment += c.step;
    }
}

void readPlain(float* out, const WaveCursor& c, int n)
{
    const uint32_t lowMask = (1u << c.shift) - 1u;
    uint32_t phase = c.phase;
    uint32_t increment = c.increment;
    for (int i = 0; i < n; ++i)
    {
        out[i] = waveAt(c.data, phase, c.shift, lowMask, c.inverseScale);
        phase += increment;
        increment += c.step;
    }
}

const WaveKernels kPlain = {"plain",
                            {{mixPlain<false, false>, mixPlain<false, true>}, {mixPlain<true, false>, mixPlain<true, true>}},
                            readPlain};

#if K1_HAVE_AVX2_KERNELS
// ---- AVX2: eight samples at a time, both bytes of each read by one gather ----

struct Lanes8
{
    __m256i phase;
    __m256i advance;     // what each lane's phase moves by over the next eight samples
    __m256i advanceStep; // what the advance moves by over eight samples
    __m256i lowMask;
    __m128i shift;
    __m256 inverseScale;
};

__attribute__((target("avx2"))) inline Lanes8 startLanes(const WaveCursor& c)
{
    Lanes8 l;
    // Lane j starts at phase_j = phase + j x increment + j (j - 1) / 2 x step
    // and moves by 8 x increment_j + 28 x step, increment_j = increment + j x step.
    const __m256i offsets = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i increment = _mm256_set1_epi32(static_cast<int32_t>(c.increment));
    if (c.step == 0)
    {
        // A steady pitch: one multiply.
        l.phase =
            _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(c.phase)), _mm256_mullo_epi32(offsets, increment));
        l.advance = _mm256_set1_epi32(static_cast<int32_t>(c.increment * 8u));
        l.advanceStep = _mm256_setzero_si256();
        l.lowMask = _mm256_set1_epi32(static_cast<int32_t>((1u << c.shift) - 1u));
        l.shift = _mm_cvtsi32_si128(static_cast<int32_t>(c.shift));
        l.inverseScale = _mm256_set1_ps(c.inverseScale);
        return l;
    }
    const __m256i triangles = _mm256_setr_epi32(0, 0, 1, 3, 6, 10, 15, 21);
    const __m256i step = _mm256_set1_epi32(static_cast<int32_t>(c.step));
    l.phase = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(c.phase)),
                               _mm256_add_epi32(_mm256_mullo_epi32(offsets, increment),
                                                _mm256_mullo_epi32(triangles, step)));
    const __m256i laneIncrement = _mm256_add_epi32(increment, _mm256_mullo_epi32(offsets, step));
    l.advance = _mm256_add_epi32(_mm256_slli_epi32(laneIncrement, 3),
                                 _mm256_set1_epi32(static_cast<int32_t>(c.step * 28u)));
    l.advanceStep = _mm256_set1_epi32(static_cast<int32_t>(c.step * 64u));
    l.lowMask = _mm256_set1_epi32(static_cast<int32_t>((1u << c.shift) - 1u));
    l.shift = _mm_cvtsi32_si128(static_cast<int32_t>(c.shift));
    l.inverseScale = _mm256_set1_ps(c.inverseScale);
    return l;
}

__attribute__((target("avx2"))) inline __m256 waveAt8(const int8_t* data, const Lanes8& l)
{
    const __m256i index = _mm256_srl_epi32(l.phase, l.shift);
    const __m256 frac = _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_and_si256(l.phase, l.lowMask)), l.inverseScale);
    // Four bytes from each index: the sample and the one after it in the low two.
    const __m256i words = _mm256_i32gather_epi32(reinterpret_cast<const int*>(data), index, 1);
    const __m256 s0 = _mm256_cvtepi32_ps(_mm256_srai_epi32(_mm256_slli_epi32(words, 24), 24));
    const __m256 s1 = _mm256_cvtepi32_ps(_mm256_srai_epi32(_mm256_slli_epi32(words, 16), 24));
    const __m256 v = _mm256_add_ps(s0, _mm256_mul_ps(frac, _mm256_sub_ps(s1, s0)));
    return _mm256_mul_ps(v, _mm256_set1_ps(kSampleScale));
}

template <bool kOneAmplitude, bool kOneMix>
__attribute__((target("avx2"))) void mixAvx2(float* out, const WaveCursor& c, const float* amplitude, const float* mix,
                                             int n)
{
    Lanes8 l = startLanes(c);
    const __m256 oneAmplitude = _mm256_set1_ps(amplitude[0]);
    const __m256 oneMix = _mm256_set1_ps(mix[0]);
    int i = 0;
    for (; i + 8 <= n; i += 8)
    {
        const __m256 v = waveAt8(c.data, l);
        const __m256 a = kOneAmplitude ? oneAmplitude : _mm256_loadu_ps(amplitude + i);
        const __m256 m = kOneMix ? oneMix : _mm256_loadu_ps(mix + i);
        const __m256 sum = _mm256_add_ps(_mm256_loadu_ps(out + i), _mm256_mul_ps(_mm256_mul_ps(m, v), a));
        _mm256_storeu_ps(out + i, sum);
        l.phase = _mm256_add_epi32(l.phase, l.advance);
        l.advance = _mm256_add_epi32(l.advance, l.advanceStep);
    }
    if (i < n)
    {
        WaveCursor rest = c;
        advanceCursor(rest, static_cast<uint32_t>(i));
        mixPlain<kOneAmplitude, kOneMix>(out + i, rest, kOneAmplitude ? amplitude : amplitude + i,
                                         kOneMix ? mix : mix + i, n - i);
    }
}

__attribute__((target("avx2"))) void readAvx2(float* out, const WaveCursor& c, int n)
{
    Lanes8 l = startLanes(c);
    int i = 0;
    for (; i + 8 <= n; i += 8)
    {
        _mm256_storeu_ps(out + i, waveAt8(c.data, l));
        l.phase = _mm256_add_epi32(l.phase, l.advance);
        l.advance = _mm256_add_epi32(l.advance, l.advanceStep);
    }
    if (i < n)
    {
        WaveCursor rest = c;
        advanceCursor(rest, static_cast<uint32_t>(i));
        readPlain(out + i, rest, n - i);
    }
}

const WaveKernels kAvx2 = {"avx2",
                           {{mixAvx2<false, false>, mixAvx2<false, true>}, {mixAvx2<true, false>, mixAvx2<true, true>}},
                           readAvx2};

bool hasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
const bool g_hasAvx2 = hasAvx2();
#else
const bool g_hasAvx2 = false;
#endif

// Chosen once, when the library loads, never on the audio thread.
const WaveKernels* const g_kernels =
#if K1_HAVE_AVX2_KERNELS
    g_hasAvx2 ? &kAvx2 :
#endif
              &kPlain;
} // namespace

const WaveKernels& waveKernels() { return *g_kernels; }

int waveKernelVariantCount() { return g_hasAvx2 ? 2 : 1; }

const WaveKernels& waveKernelVariant(int i)
{
#if K1_HAVE_AVX2_KERNELS
    if (i == 1 && g_hasAvx2)
        return kAvx2;
#endif
    (void)i;
    return kPlain;
}
} // namespace k1lib
