// Envelope segments: each multiplies its state by (1 + k) per sample, so a
// segment of T seconds covers its distance in about T x rate samples.

#include "engine/envelope.h"

#include <cmath>

namespace k1lib
{
namespace
{
// ln(0.001): the distance from full level to silence.
constexpr double kLnSilence = -6.9077554f;
constexpr double kSilence = 0.001;
} // namespace

void Env::init(uint32_t delaySamples, float attackTime)
{
    m_value = 0.0;
    m_factor = 0.0;
    m_stage = StageDelay;
    m_counter = 0;
    m_delay = delaySamples;
    m_attackTime = attackTime;
}

float Env::process(float decayTime, float sustainLevel, float rate)
{
    ++m_counter;
    switch (m_stage)
    {
    case StageDelay:
        // Reaching or passing the delay ends it, so that a delay of 0 starts
        // the attack on the first sample.
        if (m_counter < m_delay)
            return static_cast<float>(m_value);
        m_stage = StageAttack;
        if (m_attackTime > 0.0f)
        {
            m_value = 1.0;
            m_factor = kLnSilence / (static_cast<double>(m_attackTime) * rate);
        }
        else
        {
            m_value = 0.0; // the attack completes on the next call
        }
        return static_cast<float>(1.0 - m_value);

    case StageAttack:
    {
        if (m_value <= kSilence)
        {
            endAttack(decayTime, sustainLevel, rate);
            return static_cast<float>(m_value);
        }
        const double next = m_value + m_value * m_factor;
        const bool stalled = next == m_value;
        m_value = next;
        if (stalled)
        {
            endAttack(decayTime, sustainLevel, rate);
            return static_cast<float>(m_value);
        }
        return static_cast<float>(1.0 - m_value);
    }

    case StageDecay:
    {
        if (sustainLevel >= m_value)
        {
            m_stage = StageSustain;
            return static_cast<float>(m_value);
        }
        const double next = m_value + m_value * m_factor;
        if (next == m_value)
            m_stage = StageSustain;
        m_value = next;
        return static_cast<float>(m_value);
    }

    case StageRelease:
    {
        if (m_value <= kSilence)
        {
            m_stage = StageFinished;
            return static_cast<float>(m_value);
        }
        const double next = m_value + m_value * m_factor;
        if (next == m_value)
            m_stage = StageFinished;
        m_value = next;
        return static_cast<float>(m_value);
    }

    default: // sustain and finished hold their level
        return static_cast<float>(m_value);
    }
}

void Env::endAttack(float decayTime, float sustainLevel, float rate)
{
    m_value = 1.0 - m_value; // the level reached, just below 1
    if (decayTime > 0.0f)
    {
        // The exact per-sample factor (rather than its first-order
        // approximation) keeps even the shortest decays, a few hundred
        // samples to a low sustain level, on their table times.
        const double samples = static_cast<double>(decayTime) * rate;
        m_factor = std::expm1((std::log(static_cast<double>(sustainLevel)) - std::log(m_value)) / samples);
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
    if (m_stage == StageAttack)
        m_value = level;
    if (level < kSilence)
    {
        m_value = 0.0;
        m_stage = StageFinished;
        return;
    }
    m_factor = (kLnSilence - std::log(level)) / (static_cast<double>(releaseTime) * rate);
    m_stage = StageRelease;
}
} // namespace k1lib
