// Note start and release of a source; the per-sample step is inline in the
// header.

#include "engine/source.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

#include "engine/engine.h"
#include "engine/tables.h"

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

// One sample of the wave at a 32-bit phase: linear interpolation between the
// two neighbouring samples (the second wraps within the power-of-two block),
// scaled from signed 8-bit to -1..1.
inline float readWave(const int8_t* data, uint32_t phase, uint32_t shift, uint32_t mask, float inversePhaseScale)
{
    const uint32_t index = phase >> shift;
    const float frac = static_cast<float>(phase - (index << shift)) * inversePhaseScale;
    const float s0 = static_cast<float>(data[index]);
    const float s1 = static_cast<float>(data[(index + 1) & mask]);
    return (s0 + frac * (s1 - s0)) * 0.0078125f;
}
int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
float clampFloat(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }
int centred(uint32_t v) { return static_cast<int>(v) - 50; }
} // namespace

void Source::init(const Engine& engine, const SinglePreset& single, uint8_t index, uint8_t key, uint8_t velocity,
                  float rate, int transpose, int tune, int level)
{
    m_single = &single;
    m_index = index;
    m_velocity = velocity;
    m_lastPitch = -1.0f;
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
    const uint32_t start = playable && block.randomStart ? engine.getRandom().next() & (m_length - 1) : 0;
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

void Source::beginSpan(const SourceSpanInput& input)
{
    const SingleSource& src = getSource();
    float lv = m_level;
    if (src.levelModPressure != 50)
    {
        const int p = static_cast<int>(input.pressure * 127.0f + 0.5f);
        const int q = src.levelModPressure >= 50 ? p : 127 - p;
        lv = clampFloat(lv - pressureToEnvLevel(static_cast<uint8_t>(clampInt(q, 0, 127))) *
                                 genericDepthModToLevel(static_cast<int>(src.levelModPressure)),
                        0.0f, 1.0f);
    }
    m_spanLevel = lv;
    m_spanBend = input.bend;
    m_spanPressureToFreq = src.pressureToFreq ? input.pressureToFreq : 0.0f;
    m_spanFineTune = input.fineTune;
    m_spanVibABend = src.vibABend;
    m_spanPitch = raiseToMinimum(0.0f + m_pitch + m_spanBend + m_spanPressureToFreq + m_spanFineTune);
}

int Source::render(float* value, float* amplitude, const float* pitchModulation, int n)
{
    int doneAt = isDone() ? 1 : kNotDone;
    int i = 0;

    // In the sustain stage (and once finished) the envelope holds its level
    // until the next note-off, which ends the span: one step gives the
    // amplitude of the whole span. Its sample counter only matters during
    // the delay, so the steps skipped here change nothing.
    const bool holding = m_env.getStage() == Env::StageSustain || m_env.getStage() == Env::StageFinished;
    float heldAmplitude = 0.0f;
    if (holding)
        heldAmplitude = m_env.process(m_decayTime, m_sustainLevel, m_rate) * m_spanLevel;

    // The common case of a held note at a steady pitch on a looping wave:
    // nothing but the phase moves.
    if (holding && !m_stopped && m_loop && !m_spanVibABend)
    {
        if (m_spanPitch != m_lastPitch)
            updateIncrement(m_spanPitch);
        const auto increment = static_cast<uint32_t>(m_increment);
        const int8_t* data = m_data;
        const uint32_t shift = m_indexShift;
        const uint32_t mask = m_length - 1;
        const float inverse = m_inversePhaseScale;
        uint32_t phase = m_phase;
        for (; i < n; ++i)
        {
            amplitude[i] = heldAmplitude;
            value[i] = readWave(data, phase, shift, mask, inverse);
            phase += increment;
        }
        m_phase = phase;
        return doneAt;
    }
    // The same under vibrato or auto-bend: the pitch is summed per sample,
    // the increment recomputed only when it moves.
    if (holding && !m_stopped && m_loop)
    {
        const int8_t* data = m_data;
        const uint32_t shift = m_indexShift;
        const uint32_t mask = m_length - 1;
        const float inverse = m_inversePhaseScale;
        uint32_t phase = m_phase;
        for (; i < n; ++i)
        {
            amplitude[i] = heldAmplitude;
            value[i] = readWave(data, phase, shift, mask, inverse);
            const float pitch =
                raiseToMinimum(pitchModulation[i] + m_pitch + m_spanBend + m_spanPressureToFreq + m_spanFineTune);
            if (pitch != m_lastPitch)
                updateIncrement(pitch);
            phase += static_cast<uint32_t>(m_increment);
        }
        m_phase = phase;
        return doneAt;
    }

    for (; i < n; ++i)
    {
        float a;
        if (holding)
        {
            a = heldAmplitude;
        }
        else
        {
            const float e = m_env.process(m_decayTime, m_sustainLevel, m_rate);
            if (m_env.isDelaying())
            {
                // Silent, and the wave does not move until the delay is over.
                amplitude[i] = 0.0f;
                value[i] = 0.0f;
                continue;
            }
            a = e * m_spanLevel;
            if (doneAt == kNotDone && m_env.isFinished())
                doneAt = i + 1;
        }
        amplitude[i] = a;
        if (m_stopped)
        {
            value[i] = 0.0f;
            continue;
        }

        value[i] = readWave(m_data, m_phase, m_indexShift, m_length - 1, m_inversePhaseScale);

        float pitch = m_spanPitch;
        if (m_spanVibABend)
            pitch = raiseToMinimum(pitchModulation[i] + m_pitch + m_spanBend + m_spanPressureToFreq + m_spanFineTune);
        if (pitch != m_lastPitch)
            updateIncrement(pitch);

        const uint64_t next = static_cast<uint64_t>(m_phase) + m_increment;
        m_phase = static_cast<uint32_t>(next);
        if (next > 0xFFFFFFFFull && !m_loop)
        {
            m_stopped = 1;
            if (doneAt == kNotDone)
                doneAt = i + 1;
        }
    }
    return doneAt;
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
