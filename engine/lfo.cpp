// LFO shapes and step holding.

#include "engine/lfo.h"

#include "engine/tables.h"

namespace k1lib
{
namespace
{
enum LfoShape : uint32_t
{
    ShapeTri = 0,
    ShapeSaw = 1,
    ShapeSquare = 2,
    ShapeRandom = 3,
};

enum VibWheelMode : uint32_t
{
    WheelDepth = 0,
    WheelSpeed = 1,
};

constexpr int kStepsPerUnit = 64;
constexpr int kHoldMilliseconds = 17;
} // namespace

Lfo::Lfo()
{
    createRandomValue();
}

float Lfo::process(const SinglePreset& single, float rate, float modWheel)
{
    float out = 0.0f;
    render(single, rate, modWheel, 1, &out);
    return out;
}

Lfo::Motion Lfo::motionOf(const SinglePreset& single, float rate, float modWheel)
{
    int speed = single.lfoSpeed;
    if (single.vibWheelMode == WheelSpeed)
    {
        speed += static_cast<int>(modWheel * 32.0f + 0.5f);
        speed = speed < 0 ? 0 : (speed > 100 ? 100 : speed);
    }
    Motion motion;
    motion.increment = lfoSpeed(static_cast<uint8_t>(speed)) / rate;
    // The phase stays in 0..1; below one cycle per sample it wraps at most
    // once per step, and dropping the whole part is subtracting 1.
    motion.slow = motion.increment < 1.0f;
    motion.holdSamples = static_cast<int32_t>(rate) * kHoldMilliseconds / 1000;
    motion.shape = single.lfoShape;
    return motion;
}

inline bool Lfo::advance(const Motion& motion, float& phase, int32_t& hold, bool& wrapped)
{
    const float old = phase;
    phase += motion.increment;
    if (motion.slow)
        phase = phase >= 1.0f ? phase - 1.0f : phase;
    else
        phase -= static_cast<float>(static_cast<int>(phase));
    wrapped = old > phase;

    // The counter stops at 0 instead of running on below it: every value
    // under 2 means "evaluate", and an idle LFO must not count forever.
    const int32_t h = hold;
    if (h > 0)
        hold = h - 1;
    return h < 2;
}

inline int Lfo::shapeStep(uint32_t shape, float phase, float randomValue)
{
    switch (shape)
    {
    case ShapeSaw:
        return static_cast<int>((phase * 2.0f - 1.0f) * kStepsPerUnit);
    case ShapeSquare: // unipolar
        return phase >= 0.5f ? kStepsPerUnit : 0;
    case ShapeRandom:
        return static_cast<int>(randomValue * kStepsPerUnit);
    case ShapeTri:
    default: // presets are validated on reading; anything else plays as "Tri"
    {
        const float t = phase <= 0.5f ? phase : 1.0f - phase;
        return static_cast<int>((t * 4.0f - 1.0f) * kStepsPerUnit);
    }
    }
}

float Lfo::render(const SinglePreset& single, float rate, float modWheel, int n, float* out)
{
    const Motion motion = motionOf(single, rate, modWheel);
    float phase = m_phase;
    int32_t hold = m_hold;
    int step = m_step;
    for (int i = 0; i < n; ++i)
    {
        bool wrapped = false;
        if (advance(motion, phase, hold, wrapped))
        {
            if (motion.shape == ShapeRandom && wrapped)
                createRandomValue();
            const int v = shapeStep(motion.shape, phase, m_randomValue);
            if (v != step)
            {
                step = v;
                hold = motion.holdSamples;
            }
        }
        if (out != nullptr)
            out[i] = static_cast<float>(step) * (1.0f / kStepsPerUnit);
    }
    m_phase = phase;
    m_hold = hold;
    m_step = static_cast<int8_t>(step);
    return static_cast<float>(step) * (1.0f / kStepsPerUnit);
}

int Lfo::steadyFor(const SinglePreset& single, float rate, float modWheel, int limit) const
{
    // A held step is certain; past it the samples are worked out as render()
    // would, without its draws: a "Random" cycle that ends moves the LFO.
    if (m_hold > limit)
        return limit;
    const Motion motion = motionOf(single, rate, modWheel);
    // Most of the time no step lies ahead, which is quicker to see: every
    // shape is monotonic up to its turns at 0.5 and 1, so a stretch without
    // a turn that ends on the step the last sample evaluated keeps it. (The
    // end's phase is not the one the steps add up to; a step it misses is
    // found by the caller, who compares the samples anyway.)
    const float last = m_phase + motion.increment * static_cast<float>(limit);
    const bool turns = last >= (m_phase < 0.5f ? 0.5f : 1.0f);
    if (m_hold <= 1 && !turns && shapeStep(motion.shape, last, m_randomValue) == m_step)
        return limit;
    float phase = m_phase;
    int32_t hold = m_hold;
    for (int i = 0; i < limit; ++i)
    {
        bool wrapped = false;
        if (!advance(motion, phase, hold, wrapped))
            continue;
        if (motion.shape == ShapeRandom && wrapped)
            return i;
        if (shapeStep(motion.shape, phase, m_randomValue) != m_step)
            return i;
    }
    return limit;
}

void Lfo::seedRandom(uint64_t seed)
{
    m_random.seed(seed);
    createRandomValue();
}

void Lfo::createRandomValue()
{
    // The draw spans 0..2^31-1; the result must stay below 1 after the
    // narrowing to float as well.
    const double unit = static_cast<double>(m_random.next()) * 0x1p-31;
    const float value = static_cast<float>(unit * 2.0 - 1.0);
    m_randomValue = value < 1.0f ? value : 0x1.fffffep-1f;
}
} // namespace k1lib
