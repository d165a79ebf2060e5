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

typedef double Doubles2 __attribute__((vector_size(16)));
typedef float Floats2 __attribute__((vector_size(8)));
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

        if (m_segmentSteps >= 3)
        {
            // Four samples at a time, each from the one four samples before;
            // a span's last one to three samples take the first values of one
            // more group, the history moving on by as many. Within a segment
            // the state only falls (r < 1; a segment whose ratio would not let
            // it fall ends at its first sample), so the last value taken is
            // the lowest: only it needs to be tested. The history is kept as
            // two pairs, which stay in registers on every x86-64.
            Doubles2 low = {m_history[0], m_history[1]};
            Doubles2 high = {m_history[2], m_history[3]};
            const Doubles2 ratio4 = {m_ratio4, m_ratio4};
            bool crossed = false;
            for (;;)
            {
                const Doubles2 nextLow = low * ratio4;
                const Doubles2 nextHigh = high * ratio4;
                const Floats2 gainsLow = __builtin_convertvector(offset + sign * nextLow, Floats2) * level;
                const Floats2 gainsHigh = __builtin_convertvector(offset + sign * nextHigh, Floats2) * level;
                const int count = n - i < 4 ? n - i : 4;
                if (count == 4)
                {
                    __builtin_memcpy(out + i, &gainsLow, sizeof gainsLow);
                    __builtin_memcpy(out + i + 2, &gainsHigh, sizeof gainsHigh);
                }
                else
                {
                    out[i] = gainsLow[0];
                    if (count > 1)
                        out[i + 1] = gainsLow[1];
                    if (count > 2)
                        out[i + 2] = gainsHigh[0];
                }
                const double next[4] = {nextLow[0], nextLow[1], nextHigh[0], nextHigh[1]};
                int take = count; // up to the first at or below the threshold
                if (next[count - 1] <= threshold)
                {
                    crossed = true;
                    take = 1;
                    while (next[take - 1] > threshold)
                        ++take;
                }
                switch (take)
                {
                case 1:
                    low = __builtin_shufflevector(low, high, 1, 2);
                    high = __builtin_shufflevector(high, nextLow, 1, 2);
                    break;
                case 2:
                    low = high;
                    high = nextLow;
                    break;
                case 3:
                    low = __builtin_shufflevector(high, nextLow, 1, 2);
                    high = __builtin_shufflevector(nextLow, nextHigh, 1, 2);
                    break;
                default:
                    low = nextLow;
                    high = nextHigh;
                    break;
                }
                i += take;
                if (crossed || i == n)
                    break;
            }
            m_history[0] = low[0];
            m_history[1] = low[1];
            m_history[2] = high[0];
            m_history[3] = high[1];
            m_value = high[1];
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
