#include "engine/parameterManager.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <utility>

#include "patch/log.h"
#include "patch/parameter.h"

namespace k1lib
{
namespace
{
constexpr float kRampSeconds = 0.1f;
// A value no parameter has, so that the first write of every value counts.
constexpr float kUnset = -99999.0f;

float defaultNormalized(const CParam& param)
{
    return (param.defaultValue - param.min) * param.invRange;
}

// Hosts and presets may hand over anything; what is stored stays in range.
float sanitizeNormalized(const CParam& param, float normalized)
{
    if (std::isnan(normalized))
        return defaultNormalized(param);
    return std::clamp(normalized, 0.0f, 1.0f);
}

float sanitizeReal(const CParam& param, float real)
{
    if (std::isnan(real))
        return param.defaultValue;
    return std::clamp(real, param.min, param.max);
}
} // namespace

ParameterManager::ParameterManager()
{
    m_normalized.fill(kUnset);
    m_real.fill(kUnset);
    m_current.fill(kUnset);
    m_target.fill(kUnset);
    m_delta.fill(0.0f);
    m_changed.fill(0);

    for (uint32_t p = 0; p < kParamCount; ++p)
    {
        const CParam& param = g_params[p];
        m_normalized[p] = defaultNormalized(param);
        m_real[p] = m_normalized[p] * param.range + param.min;
        setTarget(p, m_real[p], false);
    }
    // Everything lands at once and is reported by the first step.
    for (uint32_t p = 0; p < kParamCount; ++p)
    {
        m_current[p] = m_target[p];
        m_delta[p] = 0.0f;
        m_changed[p] = 1;
        m_changedRing.push(p);
    }
}

bool ParameterManager::setVSTParam(unsigned int p, float normalized, bool ramp)
{
    if (p >= kParamCount)
    {
        K1_LOG("Invalid parameter " << p << ", expected 0-" << kParamCount - 1);
        return false;
    }
    const CParam& param = g_params[p];
    normalized = sanitizeNormalized(param, normalized);
    if (m_normalized[p] == normalized)
        return false;
    m_normalized[p] = normalized;
    m_real[p] = normalized * param.range + param.min;
    setTarget(p, m_real[p], ramp);
    return true;
}

bool ParameterManager::setVSTParamReal(unsigned int p, float real, bool ramp)
{
    if (p >= kParamCount)
    {
        K1_LOG("Invalid parameter " << p << ", expected 0-" << kParamCount - 1);
        return false;
    }
    const CParam& param = g_params[p];
    real = sanitizeReal(param, real);
    if (m_real[p] == real)
        return false;
    m_real[p] = real;
    m_normalized[p] = (real - param.min) * param.invRange;
    setTarget(p, real, ramp);
    return true;
}

void ParameterManager::setIntParam(unsigned int p, float real, bool ramp)
{
    if (p >= kParamCount)
    {
        K1_LOG("Invalid parameter " << p << ", expected 0-" << kParamCount - 1);
        return;
    }
    setTarget(p, sanitizeReal(g_params[p], real), ramp);
}

// A new target restarts the ramp from the current value; a parameter already
// ramping keeps its one place in the ring.
void ParameterManager::setTarget(unsigned int p, float value, bool ramp)
{
    if (m_target[p] == value)
        return;
    RampEntry& entry = m_rampEntries[p];
    const bool wasIdle = entry.stepsLeft == 0;
    entry.parameter = p;
    m_target[p] = value;
    m_delta[p] = value - m_current[p];
    if (ramp)
    {
        m_delta[p] *= m_stepFactor;
        entry.stepsLeft = m_stepsPerRamp;
    }
    else
    {
        entry.stepsLeft = 1;
    }
    entry.quiet = quietSteps(p);
    if (wasIdle)
        m_rampRing.push(&entry);
}

bool ParameterManager::settlesInOneStep() const
{
    for (uint32_t i = 0; i < m_rampRing.count(); ++i)
        if (m_rampRing.at(i)->stepsLeft > 1)
            return false;
    return true;
}

bool ParameterManager::process()
{
    while (m_changedRing.count() > 0)
        m_changed[m_changedRing.pop()] = 0;

    if (m_rampRing.count() == 0)
        return false;

    // Finished entries are swapped to the read index and dropped there, so
    // the entries still ramping stay together and each steps exactly once.
    for (uint32_t i = 0; i < m_rampRing.count();)
    {
        RampEntry*& slot = m_rampRing.at(i);
        RampEntry& entry = *slot;
        const uint32_t p = entry.parameter;
        if (!m_changed[p])
        {
            m_changed[p] = 1;
            m_changedRing.push(p);
        }
        m_current[p] += m_delta[p];
        entry.quiet = quietSteps(p);
        if (--entry.stepsLeft == 0)
        {
            m_current[p] = m_target[p];
            if (i != 0)
                std::swap(slot, m_rampRing.at(0));
            m_rampRing.pop();
        }
        else
        {
            ++i;
        }
    }
    return true;
}

// How many steps of parameter p's ramp keep it rounding to the whole number
// it rounds to now. Whole numbers change at the halves. Each step adds delta
// with an error of at most half a unit in the last place, |x| 2^-24; the
// count stops short of the half by four times that per step.
uint32_t ParameterManager::quietSteps(uint32_t p) const
{
    const float delta = m_delta[p];
    if (g_params[p].step == 0.0f || delta == 0.0f)
        return UINT32_MAX;
    const double current = m_current[p];
    const double whole = std::round(current);
    const double edge = delta > 0.0f ? whole + 0.5 : whole - 0.5;
    const double room = std::abs(edge - current);
    const double perStep = std::abs(static_cast<double>(delta)) + (std::abs(edge) + 1.0) * 0x1p-22;
    return static_cast<uint32_t>(std::min(std::floor(room / perStep), 4.0e9));
}

uint32_t ParameterManager::getQuietSteps(uint32_t limit) const
{
    limit = std::min(limit, kMaxQuietSteps);
    for (uint32_t i = 0; i < m_rampRing.count() && limit > 0; ++i)
    {
        const RampEntry& entry = *m_rampRing.at(i);
        // The step that ends a ramp lands on the target exactly: never quiet.
        limit = std::min({limit, entry.stepsLeft - 1, entry.quiet});
    }
    return limit;
}

void ParameterManager::traceSteps(unsigned int p, uint32_t steps, float* values) const
{
    float current = m_current[p];
    const float delta = m_delta[p];
    for (uint32_t j = 0; j < steps; ++j)
    {
        current += delta;
        values[j] = current;
    }
}

void ParameterManager::advance(uint32_t steps)
{
    for (uint32_t i = 0; i < m_changedRing.count(); ++i)
        m_changed[m_changedRing.at(i)] = 0;
    m_changedRing.popAll();
    const uint32_t count = m_rampRing.count();
    if (count == 0 || steps == 0)
        return;

    // Eight ramps side by side: the additions of each parameter stay in
    // their order (the same values as step by step).
    typedef float Floats8 __attribute__((vector_size(32)));
    constexpr uint32_t kLanes = 8;
    const uint32_t groups = (count + kLanes - 1) / kLanes;
    alignas(32) float current[kParamCount + kLanes];
    alignas(32) float delta[kParamCount + kLanes];
    for (uint32_t i = count; i < groups * kLanes; ++i)
    {
        current[i] = 0.0f;
        delta[i] = 0.0f;
    }
    for (uint32_t i = 0; i < count; ++i)
    {
        RampEntry& entry = *m_rampRing.at(i);
        current[i] = m_current[entry.parameter];
        delta[i] = m_delta[entry.parameter];
        entry.stepsLeft -= steps;
        entry.quiet -= steps;
    }
    for (uint32_t g = 0; g < groups; ++g)
    {
        Floats8 c;
        Floats8 d;
        __builtin_memcpy(&c, current + g * kLanes, sizeof c);
        __builtin_memcpy(&d, delta + g * kLanes, sizeof d);
        for (uint32_t j = 0; j < steps; ++j)
            c += d;
        __builtin_memcpy(current + g * kLanes, &c, sizeof c);
    }
    uint32_t stepped[kParamCount];
    for (uint32_t i = 0; i < count; ++i)
    {
        const uint32_t p = m_rampRing.at(i)->parameter;
        m_current[p] = current[i];
        m_changed[p] = 1;
        stepped[i] = p;
    }
    m_changedRing.pushAll(stepped, count);
}

bool ParameterManager::setSamplerate(float rate)
{
    const float steps = rate * kRampSeconds;
    // Also refuses NaN; the upper bound keeps the step count within 32 bits.
    if (!(steps >= 1.0f && steps <= 1.0e9f))
    {
        K1_LOG("Invalid sample rate " << rate);
        return false;
    }
    m_stepsPerRamp = static_cast<uint32_t>(steps);
    m_stepFactor = 1.0f / steps;
    return true;
}
} // namespace k1lib
