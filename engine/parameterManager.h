#pragma once

// The engine's 209 automation parameters, each held three ways: the host's
// normalised value 0..1, the real value in the parameter's own units
// (min + normalised * range), and the current value the engine applies, which
// moves towards its target in equal steps: 4992 engine samples (0.1 s at
// 49920 Hz) with a ramp, one without. Once per engine sample process() steps
// every ramp and lists the parameters that moved in the changed ring, which
// the engine reads before the next step.
//
// Values written here never leave their range: normalised values are held
// within 0..1 and real values within min..max, and NaN stands for the
// parameter's default. The rings are single-producer/single-consumer queues
// without allocation or locks, but setters and process() share plain fields,
// so callers serialise them (the engine calls both under its one lock).

#include <cstdint>

#include "engine/parameterRing.h"
#include "patch/parameterEnum.h"
#include "patch/staticArray.h"

namespace k1lib
{
class ParameterManager
{
public:
    static constexpr uint32_t kDefaultStepsPerRamp = 4992; // 0.1 s at 49920 Hz

    // Every parameter at its default, all of them in the changed ring.
    ParameterManager();
    ParameterManager(const ParameterManager&) = delete;
    ParameterManager& operator=(const ParameterManager&) = delete;

    // False when the value equals the stored one (nothing changes) or p is not
    // a parameter; else true.
    bool setVSTParam(unsigned int p, float normalized, bool ramp);
    bool setVSTParamReal(unsigned int p, float real, bool ramp);
    // Moves the target only; normalised and real values stay.
    void setIntParam(unsigned int p, float real, bool ramp);

    // One engine sample: empties the changed ring, steps every ramp once and
    // lists the stepped parameters as changed. True when any was ramping.
    bool process();
    // Whether the next process() brings every parameter to its target: no
    // ramp takes more than one step (after construction, or values set
    // without a ramp).
    bool settlesInOneStep() const;

    // How many process() steps may follow in a row, at most `limit` (up to
    // kMaxQuietSteps), in which no ramp ends and no ramping parameter on the
    // whole-number grid (every parameter but the two source mixes) comes to
    // round (half away from zero) to another whole number: applying those
    // steps' values would change no preset field. Errs on the short side.
    static constexpr uint32_t kMaxQuietSteps = 64;
    uint32_t getQuietSteps(uint32_t limit) const;
    // The value parameter p will hold after each of the next `steps` steps,
    // into values[0 .. steps-1]; steps must be quiet (see getQuietSteps).
    void traceSteps(unsigned int p, uint32_t steps, float* values) const;
    // The same as `steps` calls of process() (steps >= 1, all quiet): the
    // changed ring then lists the parameters of the last step.
    void advance(uint32_t steps);

    // Ramps last 0.1 s at this rate from now on. False for a rate that gives
    // less than one step.
    bool setSamplerate(float rate);

    // Out-of-range parameters read as 0.
    float getNormalized(unsigned int p) const { return p < kParamCount ? m_normalized[p] : 0.0f; }
    float getReal(unsigned int p) const { return p < kParamCount ? m_real[p] : 0.0f; }
    float getCurrent(unsigned int p) const { return p < kParamCount ? m_current[p] : 0.0f; }

    // The parameters that moved in the last step, in ring order: the i-th of
    // getChangedCount() entries counted from the ring's read index.
    uint32_t getChangedCount() const { return m_changedRing.count(); }
    uint32_t getChanged(uint32_t i) const { return m_changedRing.at(i); }
    uint64_t getChangedReadIndex() const { return m_changedRing.readIndex(); }
    // Parameters still heading for their target.
    uint32_t getRampCount() const { return m_rampRing.count(); }
    bool isRamping(unsigned int p) const { return p < kParamCount && m_rampEntries[p].stepsLeft > 0; }
    // Nothing ramping and nothing waiting to be applied.
    bool isIdle() const { return getRampCount() == 0 && getChangedCount() == 0; }

    uint32_t getStepsPerRamp() const { return m_stepsPerRamp; }

private:
    struct RampEntry
    {
        uint32_t parameter = 0xFFFFFFFF;
        uint32_t stepsLeft = 0; // 0: not ramping
        uint32_t quiet = 0;     // steps before the value may round to another whole number
    };

    void setTarget(unsigned int p, float value, bool ramp);
    uint32_t quietSteps(uint32_t p) const;

    StaticArray<float, kParamCount> m_normalized;
    StaticArray<float, kParamCount> m_real;
    StaticArray<float, kParamCount> m_current;
    StaticArray<float, kParamCount> m_target;
    StaticArray<float, kParamCount> m_delta;
    StaticArray<uint8_t, kParamCount> m_changed;
    StaticArray<RampEntry, kParamCount> m_rampEntries;
    ParameterRing<RampEntry*, kParamCount> m_rampRing;
    ParameterRing<uint32_t, kParamCount> m_changedRing;
    uint32_t m_stepsPerRamp = kDefaultStepsPerRamp;
    float m_stepFactor = 1.0f / kDefaultStepsPerRamp;
};
} // namespace k1lib
