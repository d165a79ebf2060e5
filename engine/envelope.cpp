// Envelope segments: each multiplies its state by r = 1 + k per sample, so a
// segment of T seconds covers its distance in about T x rate samples.

#include "engine/envelope.h"

#include <algorithm>
#include <cmath>

namespace k1lib
{
namespace
{
// ln(0.001): the distance from full level to silence.
constexpr double kLnSilence = -6.9077554f;
constexpr double kSilence = 0.001;

typedef double Doubles4 __attribute__((vector_size(32)));
typedef float Floats4 __attribute__((vector_size(16)));
} // namespace

void Env::init(uint32_t delaySamples, float attackTime)
{
    m_value = 0.0;
    m_ratio = 1.0;
    m_ratio4 = 1.0;
    m_segmentSteps = 0;
    m_stage = StageDelay;
    m_counter = 0;
    m_delay = delaySamples;
    m_attackTime = attackTime;
}

void Env::beginSegment(double start, double factor)
{
    m_value = start;
    m_ratio = 1.0 + factor;
    const double square = m_ratio * m_ratio;
    m_ratio4 = square * square;
    m_history[3] = start;
    m_segmentSteps = 0;
}

Env::Span Env::render(float* out, int n, float level, float decayTime, float sustainLevel, float rate)
{
    Span span;
    if (n <= 0)
        return span;
    int i = 0;
    if (m_stage == StageDelay)
    {
        // A call ends the delay once the counter reaches or passes it, so
        // that a delay of 0 starts the attack on the first sample.
        const uint64_t counter = m_counter;
        const uint64_t waiting = m_delay > counter + 1 ? m_delay - counter - 1 : 0;
        if (waiting >= static_cast<uint64_t>(n))
        {
            m_counter += static_cast<uint32_t>(n);
            span.delayed = n;
            return span;
        }
        i = static_cast<int>(waiting);
        span.delayed = i;
        m_stage = StageAttack;
        if (m_attackTime > 0.0f)
            beginSegment(1.0, kLnSilence / (static_cast<double>(m_attackTime) * rate));
        else
            beginSegment(0.0, 0.0); // the attack completes on the next sample
        out[i] = static_cast<float>(1.0 - m_value) * level;
        ++i;
    }
    m_counter += static_cast<uint32_t>(n);

    while (i < n)
    {
        if (m_stage == StageAttack || m_stage == StageDecay || m_stage == StageRelease)
        {
            i = renderSegment(out, i, n, level, decayTime, sustainLevel, rate, span);
            continue;
        }
        // Sustain and finished hold their level.
        const float held = static_cast<float>(m_value) * level;
        std::fill(out + i, out + n, held);
        i = n;
    }
    return span;
}

// Renders samples i.. of an attack, decay or release until the span ends or
// the segment does (its last sample included); returns the next sample.
int Env::renderSegment(float* out, int i, int n, float level, float decayTime, float sustainLevel, float rate,
                       Span& span)
{
    const bool attack = m_stage == StageAttack;
    // The segment ends at the sample after the one at or below this (the
    // sustain level of a decay, silence otherwise), or at once when the
    // ratio cannot move the state.
    const double threshold = m_stage == StageDecay ? static_cast<double>(sustainLevel) : kSilence;
    const double offset = attack ? 1.0 : 0.0; // output = offset + sign x
    const double sign = attack ? -1.0 : 1.0;

    while (i < n)
    {
        if (m_value <= threshold || m_ratio == 1.0)
        {
            if (m_stage == StageAttack)
            {
                endAttack(decayTime, sustainLevel, rate);
            }
            else if (m_stage == StageDecay)
            {
                m_stage = StageSustain;
            }
            else
            {
                m_stage = StageFinished;
                span.finishedAt = i + 1;
            }
            out[i] = static_cast<float>(m_value) * level;
            return i + 1;
        }

        if (m_segmentSteps >= 3 && n - i >= 4)
        {
            // Four samples at a time, each from the one four samples before.
            // Within a segment the state only falls (r < 1; a segment whose
            // ratio would not let it fall ends at its first sample), so the
            // last of four is the lowest: only it needs to be tested.
            Doubles4 history;
            __builtin_memcpy(&history, m_history, sizeof history);
            int take = 0; // of the last four, up to the first at or below the threshold
            Doubles4 next;
            for (;;)
            {
                next = history * m_ratio4;
                const Floats4 gains = __builtin_convertvector(offset + sign * next, Floats4) * level;
                __builtin_memcpy(out + i, &gains, sizeof gains);
                if (next[3] <= threshold)
                {
                    take = 1;
                    while (next[take - 1] > threshold)
                        ++take;
                    break;
                }
                history = next;
                i += 4;
                if (n - i < 4)
                    break;
            }
            if (take == 0)
            {
                __builtin_memcpy(m_history, &history, sizeof history);
                m_value = history[3];
                continue;
            }
            double all[8];
            __builtin_memcpy(all, &history, sizeof history);
            __builtin_memcpy(all + 4, &next, sizeof next);
            for (int l = 0; l < 4; ++l)
                m_history[l] = all[take + l];
            m_value = next[take - 1];
            i += take;
            continue;
        }

        // One sample: the first three of a segment follow each other, later
        // ones come from four samples before.
        const double next = m_segmentSteps < 3 ? m_value * m_ratio : m_history[0] * m_ratio4;
        m_history[0] = m_history[1];
        m_history[1] = m_history[2];
        m_history[2] = m_history[3];
        m_history[3] = next;
        if (m_segmentSteps < 3)
            ++m_segmentSteps;
        m_value = next;
        out[i] = static_cast<float>(offset + sign * next) * level;
        ++i;
    }
    return i;
}

float Env::process(float decayTime, float sustainLevel, float rate)
{
    float out = 0.0f;
    const Span span = render(&out, 1, 1.0f, decayTime, sustainLevel, rate);
    return span.delayed > 0 ? static_cast<float>(m_value) : out;
}

void Env::endAttack(float decayTime, float sustainLevel, float rate)
{
    const double reached = 1.0 - m_value; // the level reached, just below 1
    if (decayTime > 0.0f)
    {
        // The exact per-sample factor (rather than its first-order
        // approximation) keeps even the shortest decays, a few hundred
        // samples to a low sustain level, on their table times.
        const double samples = static_cast<double>(decayTime) * rate;
        beginSegment(reached, std::expm1((std::log(static_cast<double>(sustainLevel)) - std::log(reached)) / samples));
        m_stage = StageDecay;
    }
    else
    {
        m_value = sustainLevel;
        m_stage = StageSustain;
    }
}

void Env::release(float releaseTime, float rate)
{
    if (releaseTime <= 0.0f)
    {
        m_value = kSilence;
        m_stage = StageFinished;
        return;
    }
    // In the attack the state runs from 1 down; the level heard is 1 - x.
    const double level = m_stage == StageAttack ? 1.0 - m_value : m_value;
    if (level < kSilence)
    {
        m_value = 0.0;
        m_stage = StageFinished;
        return;
    }
    beginSegment(level, (kLnSilence - std::log(level)) / (static_cast<double>(releaseTime) * rate));
    m_stage = StageRelease;
}
} // namespace k1lib
