#pragma once

// One sounding note of one multi section: two or four sources playing the
// section's single, with the single's auto-bend and the section's vibrato.
// Pitches in semitones, times in seconds, rates in hertz.
//
// Voices live in the multi's preallocated pool and are started in place
// (start), so that a note-on never allocates; they hold a pointer to their
// single in the engine's preset store, whose vectors never reallocate, and
// read its live fields (auto-bend time, per-source switches) while they sound.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "engine/sectionState.h"
#include "engine/source.h"
#include "patch/presets.h"

namespace k1lib
{
class Engine;

constexpr int kMaxVoiceSpan = kMaxRenderSpan; // samples per render call

// What one voice reads for a stretch of samples in which no event and no
// parameter change happens. vibrato holds one value per sample, vibratoRuns
// the same as stretches of one value.
struct VoiceSpanInput
{
    const float* vibrato = nullptr;
    const SpanRuns* vibratoRuns = nullptr;
    const float* sourceMix = nullptr; // four gains, by source number
    const float (*movingSourceMix)[kMaxVoiceSpan] = nullptr; // per sample instead, when not null
    SourceSpanInput source;
};

class Voice
{
public:
    static constexpr size_t kMaxSources = 4;
    static constexpr uint8_t kStealReleaseValue = 7; // 0.02 s
    static constexpr int kMaxSpan = kMaxVoiceSpan;

    // rate: the engine's processing rate; transpose in semitones, tune -50..50
    // (0.02 semitone steps), level 0..100 from the section; clock continues
    // the auto-bend and vibrato fade-in of a voice already sounding. cycle
    // (0..1): where in their cycle the single-cycle waves start, 0 for every
    // voice but a copy's (Multi::onNoteOn).
    void start(const Engine& engine, const SinglePreset& single, uint8_t key, uint8_t velocity, uint8_t channel,
               float rate, int transpose, int tune, int level, uint32_t clock, float cycle = 0.0f);

    // Renders up to n samples and adds source k's output into acc[k][i].
    // Returns the number of samples rendered: n, or fewer when the voice
    // finishes (it then adds nothing more and must be dropped).
    int render(float* const* acc, const VoiceSpanInput& input, int n);

    void onNoteOff(uint8_t velocity);
    void onNoteOff(uint8_t velocity, uint8_t releaseValue);

    bool isFinished() const
    {
        for (size_t i = 0; i < m_slotCount; ++i)
        {
            if (!m_sources[i].isDone())
                return false;
        }
        return true;
    }

    uint8_t getKey() const { return m_key; }
    uint8_t getVelocity() const { return m_velocity; }
    uint8_t getChannel() const { return m_channel; }
    bool isKeyHeld() const { return m_keyHeld; }
    uint32_t getClock() const { return m_clock; }
    size_t getSlotCount() const { return m_slotCount; }
    const Source& getSlot(size_t i) const { return m_sources[i]; }
    size_t getSourceIndex(size_t slot) const { return m_sourceIndex[slot]; }

    // What rendering moves on (see Source::Progress): a voice given back the
    // progress it had at some sample renders the same samples from there
    // again.
    struct Progress
    {
        uint32_t clock = 0;
        Source::Progress sources[kMaxSources];
    };
    void saveProgress(Progress& p) const
    {
        p.clock = m_clock;
        for (size_t j = 0; j < m_slotCount; ++j)
            m_sources[j].saveProgress(p.sources[j]);
    }
    void restoreProgress(const Progress& p)
    {
        m_clock = p.clock;
        for (size_t j = 0; j < m_slotCount; ++j)
            m_sources[j].restoreProgress(p.sources[j]);
    }
    float getAutoBendTime() const { return m_autoBendTime; }
    float getAutoBendDepth() const { return m_autoBendDepth; }

private:
    float pitchModulation(float vibrato, uint32_t clock) const;
    const SpanRuns* pitchModulationRuns(SpanRuns& own, const VoiceSpanInput& input, int n) const;
    void renderModulated(float* const* acc, const VoiceSpanInput& input, const SourceSpan* spans,
                         float (*amplitude)[kMaxSpan], int count) const;

    const SinglePreset* m_single = nullptr;
    uint8_t m_key = 0;
    uint8_t m_velocity = 0;
    uint8_t m_channel = 0;
    bool m_keyHeld = false;
    float m_inverseRate = 0.0f;
    Source m_sources[kMaxSources];
    size_t m_slotCount = 0;
    // Amplitude modulation: slot m's wave value is multiplied by slot c's.
    struct AmPair
    {
        uint8_t modulated = 0;
        uint8_t modulator = 0;
    };
    AmPair m_amPairs[2];
    size_t m_amPairCount = 0;
    float m_gain[kMaxSources] = {};
    uint8_t m_sourceIndex[kMaxSources] = {};
    uint32_t m_clock = 0;
    float m_autoBendTime = 0.0f;
    float m_inverseAutoBendTime = 0.0f;
    float m_autoBendDepth = 0.0f;
    // Where the glide's pitch modulation bends: the clock at which the bend
    // settles and at which the vibrato has faded in; and the distance of the
    // lines' anchors (a power of two up to 256 samples, shorter for steep
    // glides).
    static constexpr uint32_t kLongestLine = 256;
    uint32_t m_corners[2] = {};
    uint32_t m_lineSamples = kLongestLine;
};

inline float Voice::pitchModulation(float vibrato, uint32_t clock) const
{
    // A positive time is required: a single edited to a bend time while the
    // voice sounds must not jump by the whole depth.
    if (m_single->autoBendTime == 0 || m_inverseAutoBendTime <= 0.0f)
        return vibrato;
    const float t = static_cast<float>(clock) * m_inverseRate * m_inverseAutoBendTime;
    float a = 1.0f - t;
    a = a < 0.0f ? 0.0f : (a > 1.0f ? 1.0f : a);
    float b = (t - 1.0f) * 0.5f;
    b = b < 0.0f ? 0.0f : (b > 1.0f ? 1.0f : b);
    return b * vibrato + a * m_autoBendDepth;
}

inline const SpanRuns* Voice::pitchModulationRuns(SpanRuns& own, const VoiceSpanInput& input, int n) const
{
    const SpanRuns& vibrato = *input.vibratoRuns;
    if (m_single->autoBendTime == 0 || m_inverseAutoBendTime <= 0.0f)
        return &vibrato;
    // Once the bend has settled and the vibrato has faded in (the first
    // sample's weights are those of every later one: they only move one
    // way), the modulation follows the vibrato's stretches.
    const float t = static_cast<float>(m_clock) * m_inverseRate * m_inverseAutoBendTime;
    if (1.0f - t <= 0.0f && (t - 1.0f) * 0.5f >= 1.0f && m_clock <= UINT32_MAX - static_cast<uint32_t>(n))
    {
        own.count = vibrato.count;
        for (int r = 0; r < vibrato.count; ++r)
        {
            own.start[r] = vibrato.start[r];
            own.value[r] = pitchModulation(vibrato.value[r], m_clock);
            own.next[r] = own.value[r];
        }
        own.start[vibrato.count] = vibrato.start[vibrato.count];
        return &own;
    }
    // While the bend glides and the vibrato fades in, the modulation moves
    // along straight lines between anchors every m_lineSamples of the voice's
    // clock and at the two corners of the glide (the bend's end, the
    // fade-in's end), each line at the vibrato's value of the stretch: the
    // sources follow each line with a gliding increment.
    own.count = 0;
    for (int r = 0; r < vibrato.count; ++r)
    {
        const int runEnd = std::min(vibrato.start[r + 1], n);
        const float v = vibrato.value[r];
        for (int from = vibrato.start[r]; from < runEnd;)
        {
            const uint32_t clock = m_clock + static_cast<uint32_t>(from);
            uint32_t first = clock & ~(m_lineSamples - 1);
            uint32_t last = first + m_lineSamples;
            for (const uint32_t corner : m_corners)
            {
                if (corner > first && corner <= clock)
                    first = corner;
                if (corner > clock && corner < last)
                    last = corner;
            }
            const int to = std::min(runEnd, from + static_cast<int>(last - clock));
            own.appendLine(from, to, pitchModulation(v, first), pitchModulation(v, last), static_cast<int>(clock - first),
                           static_cast<int>(last - first));
            from = to;
        }
    }
    own.start[own.count] = n;
    return &own;
}

inline int Voice::render(float* const* acc, const VoiceSpanInput& input, int n)
{
    if (n > kMaxSpan)
        n = kMaxSpan;

    // Vibrato and auto-bend, for the sources that follow them.
    bool anyVibABend = false;
    for (size_t j = 0; j < m_slotCount; ++j)
    {
        m_sources[j].beginSpan(input.source);
        anyVibABend = anyVibABend || m_sources[j].followsPitchModulation();
    }
    SpanRuns own;
    const SpanRuns* modulation = anyVibABend ? pitchModulationRuns(own, input, n) : input.vibratoRuns;

    // Sources that sustain a looping wave at one pitch, or along one glide of
    // it, cannot end within the span: when every source does, each plays its
    // span at once.
    bool steady = m_amPairCount == 0;
    for (size_t j = 0; j < m_slotCount && steady; ++j)
        steady = m_sources[j].isSteady(*modulation);
    if (steady)
    {
        for (size_t j = 0; j < m_slotCount; ++j)
        {
            const size_t k = m_sourceIndex[j];
            const bool moving = input.movingSourceMix != nullptr;
            m_sources[j].playSteady(acc[k], *modulation, moving ? input.movingSourceMix[k] : input.sourceMix + k,
                                    !moving, m_gain[j] != 0.0f, n);
        }
        m_clock += static_cast<uint32_t>(n);
        return n;
    }

    // Every source works its span out first; the voice ends after the sample
    // at which its last source is done, and nothing after it is added.
    SourceSpan spans[kMaxSources];
    alignas(32) float amplitude[kMaxSources][kMaxSpan];
    int count = 1;
    for (size_t j = 0; j < m_slotCount; ++j)
    {
        m_sources[j].plan(spans[j], amplitude[j], *modulation, n);
        count = spans[j].doneAt > count ? spans[j].doneAt : count;
    }
    if (count > n)
        count = n;

    if (m_amPairCount != 0)
    {
        renderModulated(acc, input, spans, amplitude, count);
    }
    else
    {
        // A muted source keeps a slot only as a modulator: without one it
        // adds nothing.
        for (size_t j = 0; j < m_slotCount; ++j)
        {
            if (m_gain[j] == 0.0f)
                continue;
            const size_t k = m_sourceIndex[j];
            if (input.movingSourceMix != nullptr)
                m_sources[j].play(acc[k], spans[j], amplitude[j], input.movingSourceMix[k], false, count);
            else
                m_sources[j].play(acc[k], spans[j], amplitude[j], input.sourceMix + k, true, count);
        }
    }
    m_clock += static_cast<uint32_t>(count);
    return count;
}

// Amplitude modulation: the modulated source's wave is multiplied by its
// modulator's wave before it is mixed.
inline void Voice::renderModulated(float* const* acc, const VoiceSpanInput& input, const SourceSpan* spans,
                                   float (*amplitude)[kMaxSpan], int count) const
{
    alignas(32) float value[kMaxSources][kMaxSpan];
    for (size_t j = 0; j < m_slotCount; ++j)
    {
        m_sources[j].read(value[j], spans[j], count);
        float* a = amplitude[j];
        if (spans[j].oneAmplitude)
            std::fill(a + 1, a + count, a[0]);
        else
            std::fill(a, a + std::min(spans[j].delayed, count), 0.0f);
    }
    for (size_t p = 0; p < m_amPairCount; ++p)
    {
        float* modulated = value[m_amPairs[p].modulated];
        const float* modulator = value[m_amPairs[p].modulator];
        for (int i = 0; i < count; ++i)
            modulated[i] *= modulator[i];
    }
    for (size_t j = 0; j < m_slotCount; ++j)
    {
        const size_t k = m_sourceIndex[j];
        const float gain = m_gain[j];
        float* __restrict out = acc[k];
        const float* __restrict v = value[j];
        const float* __restrict a = amplitude[j];
        if (input.movingSourceMix != nullptr)
        {
            const float* __restrict mix = input.movingSourceMix[k];
            for (int i = 0; i < count; ++i)
                out[i] += mix[i] * v[i] * gain * a[i];
            continue;
        }
        const float mix = input.sourceMix[k];
        for (int i = 0; i < count; ++i)
            out[i] += mix * v[i] * gain * a[i];
    }
}
} // namespace k1lib
