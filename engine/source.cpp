// A source's note start, its spans (envelope, pitch and phase worked out, then
// the wave rendered by the wave kernels) and its release.

#include "engine/source.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

#include "engine/engine.h"
#include "engine/tables.h"
#include "engine/waveKernels.h"

namespace k1lib
{
namespace
{
// Single-cycle waves come first in the wave set; the rest are sampled waves,
// which are never played below this pitch (they are raised by octaves).
constexpr uint8_t kLastSingleCycleWave = 203;
constexpr float kSampledMinimumPitch = 19.94f;
constexpr float kSingleCycleMinimumPitch = -128.0f;
constexpr uint64_t kPhaseRange = 1ull << 32;

int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
float clampFloat(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }
int centred(uint32_t v) { return static_cast<int>(v) - 50; }

// The phase after count samples of an increment that moves by step each sample.
uint32_t advancedPhase(uint32_t phase, uint64_t increment, uint32_t step, uint64_t count)
{
    WaveCursor after;
    after.phase = phase;
    after.increment = static_cast<uint32_t>(increment);
    after.step = step;
    advanceCursor(after, static_cast<uint32_t>(count));
    return after.phase;
}
} // namespace

void Source::init(const Engine& engine, const SinglePreset& single, uint8_t index, uint8_t key, uint8_t velocity,
                  float rate, int transpose, int tune, int level, float cycle)
{
    m_single = &single;
    m_kernels = &waveKernels();
    m_index = index;
    m_velocity = velocity;
    m_lastPitch = -1.0f;
    m_otherPitch = -1.0f;
    m_stopped = 0;
    m_loop = false;
    const SingleSource& src = getSource();
    const uint8_t curve = static_cast<uint8_t>(single.keyScaleCurve);

    // Base pitch: tracking keys transpose with the section; fixed keys do not.
    // Stored fields are in range; the clamps only guard the arithmetic.
    const int coarse = static_cast<int>(std::min<uint32_t>(src.coarse, 127));
    float pitch;
    if (src.keyTrack)
        pitch = static_cast<float>(coarse + key - 84 + transpose) + static_cast<float>(tune) * 0.02f;
    else
        pitch = static_cast<float>(coarse - 24);
    pitch += static_cast<float>(centred(std::min<uint32_t>(src.fine, 100))) * 0.02f;

    const float kf = ksCurveMod(key, curve, true);
    const float f = ksToFreq(static_cast<uint8_t>(std::abs(centred(src.freqKeyScaleToFreq))));
    pitch += (src.freqKeyScaleToFreq >= 50 ? 1.0f : -1.0f) * f * kf;
    m_pitch = pitch;

    // The smallest whole key not below the pitch (within 1/512).
    const int keyIndex = clampInt(65535 - static_cast<int>(65535.0f - pitch), 0, 127);

    const WaveBlock block = engine.getWaveBlock(src.wave, static_cast<uint8_t>(keyIndex));
    m_loop = block.loop;
    m_data = block.data;
    m_length = block.length;
    // A block the player cannot index (none, or not a power of two) stays
    // silent instead of reading outside its samples.
    const bool playable = m_data != nullptr && m_length >= 2 && std::has_single_bit(m_length);
    if (!playable)
    {
        m_length = 1;
        m_stopped = 1;
    }
    uint32_t start = playable && block.randomStart ? engine.getRandom().next() & (m_length - 1) : 0;
    // A copy of a section starts its cycles elsewhere than the original
    // (Multi::onNoteOn); sampled waves keep their own start.
    if (playable && cycle > 0.0f && src.wave <= kLastSingleCycleWave)
        start = static_cast<uint32_t>(cycle * static_cast<float>(m_length)) & (m_length - 1);
    m_phaseScale = static_cast<uint32_t>(kPhaseRange / m_length);
    m_inversePhaseScale = 1.0f / static_cast<float>(m_phaseScale);
    m_indexShift = static_cast<uint32_t>(std::countr_zero(m_phaseScale));
    m_phase = static_cast<uint32_t>(static_cast<uint64_t>(start) * m_phaseScale);
    m_minimumPitch = src.wave > kLastSingleCycleWave ? kSampledMinimumPitch : kSingleCycleMinimumPitch;
    m_incrementPerHertz = playable && block.baseFrequency > 0.0f
                              ? static_cast<double>((1.0f / block.baseFrequency) * block.sampleRate / rate *
                                                    static_cast<float>(m_phaseScale))
                              : 0.0;
    m_increment = 0;
    m_rate = rate;

    // Envelope times, moved by velocity and key.
    const uint8_t vc = velocityCurveValue(velocity, static_cast<uint8_t>(src.velCurve));
    int attack = static_cast<int>(src.envAttack);
    int decay = static_cast<int>(src.envDecay);
    if (src.timeModVel != 50)
        attack = clampInt(attack + static_cast<int>(centred(src.timeModVel) * vc / 127.0), 0, 100);
    const float kt = ksCurveMod(key, curve, false);
    if (src.timeModKeyScale != 50)
    {
        const int m = static_cast<int>(static_cast<float>(centred(src.timeModKeyScale)) * (kt * 0.5f + 0.5f));
        attack = clampInt(attack + m, 0, 100);
        decay = clampInt(decay + m, 0, 100);
    }
    m_env.init(static_cast<uint32_t>(envDelayTime(static_cast<uint8_t>(std::min<uint32_t>(src.envDelay, 100))) * rate),
               envAttackTime(static_cast<uint8_t>(attack)));

    // Level, moved by velocity and key (key scaling only lowers it).
    float l = static_cast<float>(src.envLevel) * 0.01f;
    if (src.levelModVel != 50)
        l *= velocityWithStrength(src.levelModVel >= 50 ? vc : 127 - vc, std::abs(centred(src.levelModVel)));
    if (src.levelModKeyScale != 50)
    {
        const float k = src.levelModKeyScale < 50 ? -kt : kt;
        l = clampFloat(l + (k - 1.0f) * 0.5f * static_cast<float>(std::abs(centred(src.levelModKeyScale))) * 0.02f,
                       0.0f, 1.0f);
    }
    const int levelIndex = static_cast<int>(static_cast<float>(level) * l + 0.5f);
    m_level = envLevel(static_cast<uint8_t>(clampInt(levelIndex, 0, 100)));
    m_decayTime = envDecayTime(static_cast<uint8_t>(std::min<int>(decay, 100)));
    m_sustainLevel = envSustainLevel(static_cast<uint8_t>(std::min<uint32_t>(src.envSustain, 100)));
}

float Source::levelUnderPressure(const SingleSource& src, float pressure) const
{
    const int p = static_cast<int>(pressure * 127.0f + 0.5f);
    const int q = src.levelModPressure >= 50 ? p : 127 - p;
    return clampFloat(m_level - pressureToEnvLevel(static_cast<uint8_t>(clampInt(q, 0, 127))) *
                                    genericDepthModToLevel(static_cast<int>(src.levelModPressure)),
                      0.0f, 1.0f);
}

void Source::plan(SourceSpan& span, float* amplitude, const SpanRuns& modulation, int n)
{
    span.doneAt = isDone() ? 1 : kNotDone;
    span.delayed = 0;
    span.oneAmplitude = false;
    span.runCount = 0;

    // In the sustain stage (and once finished) the envelope holds its level
    // until the next note-off, which ends the span: one step gives the
    // amplitude of the whole span. Its sample counter only matters during
    // the delay, so the steps skipped here change nothing.
    if (m_env.isHolding())
    {
        amplitude[0] = m_env.hold() * m_spanLevel;
        span.oneAmplitude = true;
    }
    else
    {
        const Env::Span env = m_env.render(amplitude, n, m_spanLevel, m_decayTime, m_sustainLevel, m_rate);
        span.delayed = env.delayed;
        if (env.finishedAt > 0 && span.doneAt == kNotDone)
            span.doneAt = env.finishedAt;
    }

    span.phase = m_phase;
    span.sounding = span.delayed;
    if (m_stopped || span.delayed >= n)
        return;

    // The phase holds still during the delay. Each stretch of the pitch
    // modulation gets one increment, or, where the modulation glides, an
    // increment that moves by a fixed step per sample along the line between
    // the increments of its two anchors: two pitch conversions per line (none
    // when the next span goes on along it), not one per sample.
    uint32_t phase = m_phase;
    const int runCount = m_spanVibABend ? modulation.count : 1;
    for (int r = 0; r < runCount; ++r)
    {
        const int first = std::max(m_spanVibABend ? modulation.start[r] : 0, span.delayed);
        const int end = m_spanVibABend ? std::min(modulation.start[r + 1], n) : n;
        if (end <= first)
            continue;
        uint64_t increment = 0;
        int64_t perSample = 0;
        if (!m_spanVibABend)
        {
            increment = incrementOf(m_spanPitch);
        }
        else
        {
            const float from = modulation.value[r];
            const float to = modulation.next[r];
            increment = incrementOf(raiseToMinimum(from + m_pitch + m_spanBend + m_spanPressureToFreq + m_spanFineTune));
            if (to != from)
            {
                const uint64_t target =
                    incrementOf(raiseToMinimum(to + m_pitch + m_spanBend + m_spanPressureToFreq + m_spanFineTune));
                perSample = (static_cast<int64_t>(target) - static_cast<int64_t>(increment)) / modulation.width[r];
                // From the line's first anchor to this stretch's first sample
                // (which the delay may have moved on).
                increment = static_cast<uint64_t>(static_cast<int64_t>(increment) +
                                                  perSample * (modulation.lead[r] + first - modulation.start[r]));
            }
        }
        const auto step = static_cast<uint32_t>(perSample);
        span.runStart[span.runCount] = first;
        span.runIncrement[span.runCount] = static_cast<uint32_t>(increment);
        span.runStep[span.runCount] = step;
        ++span.runCount;

        const auto samples = static_cast<uint64_t>(end - first);
        if (!m_loop)
        {
            // A one-shot ends with the sample whose step passes the end of
            // its block: that sample still sounds.
            const uint64_t room = kPhaseRange - phase;
            uint64_t steps = 0;
            if (perSample == 0)
            {
                if (increment > 0)
                    steps = (room + increment - 1) / increment;
            }
            else
            {
                const int64_t lastIncrement = static_cast<int64_t>(increment) +
                                              perSample * static_cast<int64_t>(samples - 1);
                const auto widest = static_cast<uint64_t>(std::max<int64_t>(
                    {static_cast<int64_t>(increment), lastIncrement, 0}));
                if (widest >= room || widest * samples >= room)
                {
                    uint64_t moved = 0;
                    auto at = static_cast<int64_t>(increment);
                    for (uint64_t k = 0; k < samples && steps == 0; ++k, at += perSample)
                    {
                        moved += static_cast<uint64_t>(std::max<int64_t>(at, 0));
                        if (moved >= room)
                            steps = k + 1;
                    }
                }
            }
            if (steps > 0 && steps <= samples)
            {
                phase = advancedPhase(phase, increment, step, steps);
                m_stopped = 1;
                span.sounding = first + static_cast<int>(steps);
                span.runStart[span.runCount] = span.sounding;
                span.doneAt = std::min(span.doneAt, span.sounding);
                m_phase = phase;
                return;
            }
        }
        phase = advancedPhase(phase, increment, step, samples);
    }
    span.runStart[span.runCount] = n;
    span.sounding = n;
    m_phase = phase;
}

void Source::read(float* values, const SourceSpan& span, int n) const
{
    std::fill(values, values + n, 0.0f);
    const ReadWaveFn kernel = m_kernels->read;
    forEachRun(span, span.sounding, [&](const WaveCursor& cursor, int first, int count) {
        kernel(values + first, cursor, count);
    });
}

void Source::updateIncrement(float pitch)
{
    const float p = fastPow2((pitch - 69.0f) / 12.0f);
    const double increment = static_cast<double>(p * 440.0f) * m_incrementPerHertz;
    // Far beyond any playable pitch; keeps the conversion defined.
    m_increment = increment < 1.0e18 ? static_cast<uint64_t>(increment) : static_cast<uint64_t>(1.0e18);
    m_lastPitch = pitch;
}

void Source::onNoteOff(uint8_t /*velocity*/)
{
    m_env.release(envDecayTime(static_cast<uint8_t>(std::min<uint32_t>(getSource().envRelease, 100))), m_rate);
}

void Source::onNoteOff(uint8_t /*velocity*/, uint8_t releaseValue)
{
    m_env.release(envDecayTime(releaseValue), m_rate);
}
} // namespace k1lib
