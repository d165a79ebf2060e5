#pragma once

// One of the up to four sources of a sounding voice: plays one block of the
// wave set with linear interpolation and a 32-bit phase (a fraction of the
// block), shaped by its own envelope and level.
//
// Units: pitch as a MIDI note number with fraction (69.0 = 440 Hz), times in
// seconds, rates in hertz, levels as linear gains 0..1, wave samples signed
// 8-bit scaled by 1/128.
//
// Most of the sound is fixed when the note starts (init). What may change
// while it sounds, the channel pressure, bend, fine tune and the single's
// per-source switches, is read once per stretch of samples in which nothing
// changes (beginSpan). A span is then worked out (plan: envelope, pitch,
// phase, whether the source ends) before its wave is rendered (play, read),
// so that a voice knows where it ends before it adds anything.

#include <algorithm>
#include <cstdint>

#include "engine/envelope.h"
#include "engine/fastPow2.h"
#include "engine/waveKernels.h"
#include "patch/presets.h"

namespace k1lib
{
class Engine;

// Everything a source reads per stretch of samples besides its own state.
struct SourceSpanInput
{
    float pressure = 0.0f;       // channel pressure 0..1
    float bend = 0.0f;           // semitones
    float pressureToFreq = 0.0f; // semitones
    float fineTune = 0.0f;       // semitones
};

constexpr int kMaxRenderSpan = 64; // samples rendered at once

// Stretches of a span over which a value holds still or moves along a
// straight line: run r covers samples start[r] .. start[r + 1] - 1, and
// start[count] is the span's length. A still run has next[r] == value[r].
// A moving run lies on a line from value[r] to next[r] between two anchors
// width[r] samples apart, its first sample lead[r] samples after the first
// anchor. The anchors sit at fixed points of the voice's clock, so that a
// line is the same whichever spans it is cut into.
struct SpanRuns
{
    // Written before they are read; left uninitialised, as they are made
    // per span.
    int count = 0;
    int start[kMaxRenderSpan + 1];
    float value[kMaxRenderSpan];
    float next[kMaxRenderSpan];
    int lead[kMaxRenderSpan];
    int width[kMaxRenderSpan];

    void reset(int n, float v)
    {
        count = 1;
        start[0] = 0;
        start[1] = n;
        value[0] = v;
        next[0] = v;
        lead[0] = 0;
        width[0] = 1;
    }
    // The runs of `other` from its sample `first` on.
    void takeFrom(const SpanRuns& other, int first)
    {
        count = 0;
        for (int r = 0; r < other.count; ++r)
        {
            if (other.start[r + 1] <= first)
                continue;
            const int cut = other.start[r] > first ? other.start[r] : first;
            start[count] = cut - first;
            value[count] = other.value[r];
            next[count] = other.next[r];
            lead[count] = other.lead[r] + (cut - other.start[r]);
            width[count] = other.width[r];
            ++count;
        }
        start[count] = other.start[other.count] - first;
    }
    // Appends sample i's value: a new run when it differs from the last.
    void append(int i, float v)
    {
        if (count > 0 && value[count - 1] == v)
        {
            start[count] = i + 1;
            return;
        }
        start[count] = i;
        value[count] = v;
        next[count] = v;
        lead[count] = 0;
        width[count] = 1;
        start[++count] = i + 1;
    }
    // Appends samples from .. to - 1 on the line from v to `toward` (see
    // above).
    void appendLine(int from, int to, float v, float toward, int leadSamples, int widthSamples)
    {
        if (count > 0 && v == toward && value[count - 1] == v && next[count - 1] == v)
        {
            start[count] = to;
            return;
        }
        start[count] = from;
        value[count] = v;
        next[count] = toward;
        lead[count] = leadSamples;
        width[count] = widthSamples;
        start[++count] = to;
    }
};

// What a source will do over one span, worked out before any sample of the
// voice is mixed (see Source::plan).
struct SourceSpan
{
    static constexpr int kNotDone = 1 << 30;
    int delayed = 0;           // leading samples in the envelope's delay: silent, the wave holds still
    int doneAt = kNotDone;     // 1 + the sample at which the source was done, or kNotDone
    int sounding = 0;          // the wave sounds in samples delayed .. sounding - 1
    bool oneAmplitude = false; // amplitude[0] holds for the whole span
    uint32_t phase = 0;        // at sample `delayed`
    int runCount = 0;          // stretches of one increment (or one glide of it) from `delayed` on
    int runStart[kMaxRenderSpan + 1];
    uint32_t runIncrement[kMaxRenderSpan]; // at the run's first sample
    uint32_t runStep[kMaxRenderSpan];      // added to the increment after each sample
};

class Source
{
public:
    static constexpr int kNotDone = SourceSpan::kNotDone;

    // Sets up the source for a new note; see voice.h for the arguments.
    void init(const Engine& engine, const SinglePreset& single, uint8_t index, uint8_t key, uint8_t velocity,
              float rate, int transpose, int tune, int level, float cycle = 0.0f);

    const SingleSource& getSource() const { return m_single->sources[m_index]; }
    bool followsPitchModulation() const { return m_spanVibABend; }

    // Reads what stays constant until the next event or parameter change.
    void beginSpan(const SourceSpanInput& input);

    // Advances the source over n samples (after beginSpan): the envelope
    // into amplitude[] (amplitude x level, from span.delayed on, or one value
    // in amplitude[0]), the pitch and phase into span, and whether the source
    // was done. modulation holds the voice's vibrato and auto-bend per
    // sample, read only when the source follows them. Then play() or read()
    // render the wave of the span.
    void plan(SourceSpan& span, float* amplitude, const SpanRuns& modulation, int n);
    // Adds (mix x wave) x amplitude into out[i] for the first `count` samples
    // of the planned span; mix is one value when oneMix, else per sample.
    void play(float* out, const SourceSpan& span, const float* amplitude, const float* mix, bool oneMix,
              int count) const;
    // Whether the source holds its level and plays its wave through the
    // whole of any span (sustaining, looping, not stopped) at one increment
    // or one glide of it (after beginSpan): the span then needs no plan (see
    // playSteady).
    bool isSteady(const SpanRuns& modulation) const
    {
        return m_env.getStage() == Env::StageSustain && m_loop && m_stopped == 0 &&
               (!m_spanVibABend || modulation.count == 1);
    }
    // plan() and play() of a steady source's span in one: the same samples,
    // without the span's record. Adds only when `sounds`.
    void playSteady(float* out, const SpanRuns& modulation, const float* mix, bool oneMix, bool sounds, int n);
    // The wave's values of the planned span, 0 where it is silent.
    void read(float* values, const SourceSpan& span, int n) const;

    // Note-off with the source's own release time, or with the release time
    // of the envelope value releaseValue (0..100).
    void onNoteOff(uint8_t velocity);
    void onNoteOff(uint8_t velocity, uint8_t releaseValue);

    // A one-shot wave has played to its end, or the envelope has finished.
    bool isDone() const { return m_stopped != 0 || m_env.isFinished(); }

    // What rendering moves on: the envelope, the phase, the end of a
    // one-shot. The rest is fixed when the note starts or read again per
    // span (the cached increments are those of their pitches, whenever
    // worked out).
    struct Progress
    {
        Env env;
        uint32_t phase = 0;
        uint32_t stopped = 0;
    };
    void saveProgress(Progress& p) const
    {
        p.env = m_env;
        p.phase = m_phase;
        p.stopped = m_stopped;
    }
    void restoreProgress(const Progress& p)
    {
        m_env = p.env;
        m_phase = p.phase;
        m_stopped = p.stopped;
    }

    // Read by tests and tools.
    float getPitch() const { return m_pitch; }
    float getLevel() const { return m_level; }
    float getDecayTime() const { return m_decayTime; }
    float getSustainLevel() const { return m_sustainLevel; }
    uint32_t getIncrement() const { return static_cast<uint32_t>(m_increment); }
    uint32_t getLength() const { return m_length; }
    const Env& getEnv() const { return m_env; }

private:
    float raiseToMinimum(float pitch) const
    {
        // Pitches are bounded by the fields that make them; the count only
        // guards against a runaway loop.
        for (int n = 0; pitch < m_minimumPitch && n < 64; ++n)
            pitch += 12.0f;
        return pitch;
    }
    // The span's level while the source's level follows the pressure.
    float levelUnderPressure(const SingleSource& src, float pressure) const;
    void updateIncrement(float pitch);
    // The increment of a pitch, through a cache of the last two (the two
    // ends of a line).
    uint64_t incrementOf(float pitch)
    {
        if (pitch == m_lastPitch)
            return m_increment;
        if (pitch == m_otherPitch)
            return m_otherIncrement;
        m_otherPitch = m_lastPitch;
        m_otherIncrement = m_increment;
        updateIncrement(pitch);
        return m_increment;
    }
    template <typename Render>
    void forEachRun(const SourceSpan& span, int end, Render&& render) const;

    const SinglePreset* m_single = nullptr;
    const WaveKernels* m_kernels = nullptr; // the ones in use, looked up once per note
    uint8_t m_index = 0;
    uint8_t m_velocity = 0;
    float m_pitch = 0.0f; // base pitch fixed at init
    Env m_env;
    const int8_t* m_data = nullptr; // guarded block (see GuardedWaves)
    uint32_t m_length = 0;
    uint32_t m_phase = 0;
    uint32_t m_phaseScale = 0;
    float m_inversePhaseScale = 0.0f;
    uint32_t m_indexShift = 0;
    uint64_t m_increment = 0; // may exceed 2^32 for very high pitches
    double m_incrementPerHertz = 0.0;
    float m_rate = 0.0f;
    float m_level = 0.0f;
    float m_decayTime = 0.0f;
    float m_sustainLevel = 0.0f;
    float m_lastPitch = -1.0f;
    float m_otherPitch = -1.0f;
    uint64_t m_otherIncrement = 0;
    bool m_loop = false;
    uint32_t m_stopped = 0;
    float m_minimumPitch = -128.0f;

    // Hoisted per span by beginSpan.
    float m_spanLevel = 0.0f;
    float m_spanPitch = 0.0f; // the full pitch when vibrato/auto-bend is off
    float m_spanBend = 0.0f;
    float m_spanPressureToFreq = 0.0f;
    float m_spanFineTune = 0.0f;
    bool m_spanVibABend = false;
};

// Called for every source of every voice in every span: kept inline, as short
// spans (small host blocks) make their calls a large part of the cost.
inline void Source::beginSpan(const SourceSpanInput& input)
{
    const SingleSource& src = getSource();
    m_spanLevel = src.levelModPressure != 50 ? levelUnderPressure(src, input.pressure) : m_level;
    m_spanBend = input.bend;
    m_spanPressureToFreq = src.pressureToFreq ? input.pressureToFreq : 0.0f;
    m_spanFineTune = input.fineTune;
    m_spanVibABend = src.vibABend;
    m_spanPitch = raiseToMinimum(0.0f + m_pitch + m_spanBend + m_spanPressureToFreq + m_spanFineTune);
}

inline void Source::playSteady(float* out, const SpanRuns& modulation, const float* mix, bool oneMix, bool sounds,
                               int n)
{
    const float amplitude = m_env.hold() * m_spanLevel;
    // As plan() works out its one run.
    uint64_t increment = 0;
    int64_t perSample = 0;
    if (!m_spanVibABend)
    {
        increment = incrementOf(m_spanPitch);
    }
    else
    {
        const float from = modulation.value[0];
        const float to = modulation.next[0];
        increment = incrementOf(raiseToMinimum(from + m_pitch + m_spanBend + m_spanPressureToFreq + m_spanFineTune));
        if (to != from)
        {
            const uint64_t target =
                incrementOf(raiseToMinimum(to + m_pitch + m_spanBend + m_spanPressureToFreq + m_spanFineTune));
            perSample = (static_cast<int64_t>(target) - static_cast<int64_t>(increment)) / modulation.width[0];
            increment = static_cast<uint64_t>(static_cast<int64_t>(increment) + perSample * modulation.lead[0]);
        }
    }
    WaveCursor cursor;
    cursor.data = m_data;
    cursor.phase = m_phase;
    cursor.increment = static_cast<uint32_t>(increment);
    cursor.step = static_cast<uint32_t>(perSample);
    cursor.shift = m_indexShift;
    cursor.inverseScale = m_inversePhaseScale;
    if (sounds)
        m_kernels->mix[1][oneMix ? 1 : 0](out, cursor, &amplitude, mix, n);
    advanceCursor(cursor, static_cast<uint32_t>(n));
    m_phase = cursor.phase;
}

// Calls render(cursor, first, count) for each stretch of one increment of
// the planned span that lies before sample `end`.
template <typename Render>
void Source::forEachRun(const SourceSpan& span, int end, Render&& render) const
{
    WaveCursor cursor;
    cursor.data = m_data;
    cursor.phase = span.phase;
    cursor.shift = m_indexShift;
    cursor.inverseScale = m_inversePhaseScale;
    for (int r = 0; r < span.runCount; ++r)
    {
        const int first = span.runStart[r];
        if (first >= end)
            break;
        const int last = std::min(span.runStart[r + 1], end);
        cursor.increment = span.runIncrement[r];
        cursor.step = span.runStep[r];
        render(cursor, first, last - first);
        advanceCursor(cursor, static_cast<uint32_t>(last - first));
    }
}

inline void Source::play(float* out, const SourceSpan& span, const float* amplitude, const float* mix, bool oneMix,
                         int count) const
{
    const MixWaveFn kernel = m_kernels->mix[span.oneAmplitude ? 1 : 0][oneMix ? 1 : 0];
    forEachRun(span, std::min(span.sounding, count), [&](const WaveCursor& cursor, int first, int n) {
        kernel(out + first, cursor, span.oneAmplitude ? amplitude : amplitude + first, oneMix ? mix : mix + first, n);
    });
}
} // namespace k1lib
