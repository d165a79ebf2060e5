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

float Lfo::render(const SinglePreset& single, float rate, float modWheel, int n, float* out)
{
    int speed = single.lfoSpeed;
    if (single.vibWheelMode == WheelSpeed)
    {
        speed += static_cast<int>(modWheel * 32.0f + 0.5f);
        speed = speed < 0 ? 0 : (speed > 100 ? 100 : speed);
    }
    const float increment = lfoSpeed(static_cast<uint8_t>(speed)) / rate;
    // The phase stays in 0..1; below one cycle per sample it wraps at most
    // once per step, and dropping the whole part is subtracting 1.
    const bool slow = increment < 1.0f;
    const int32_t holdSamples = static_cast<int32_t>(rate) * kHoldMilliseconds / 1000;
    const uint32_t shape = single.lfoShape;

    float phase = m_phase;
    int32_t hold = m_hold;
    int step = m_step;
    for (int i = 0; i < n; ++i)
    {
        const float old = phase;
        phase += increment;
        if (slow)
            phase = phase >= 1.0f ? phase - 1.0f : phase;
        else
            phase -= static_cast<float>(static_cast<int>(phase));

        // The counter stops at 0 instead of running on below it: every value
        // under 2 means "evaluate", and an idle LFO must not count forever.
        const int32_t h = hold;
        if (h > 0)
            hold = h - 1;
        if (h < 2)
        {
            int v;
            switch (shape)
            {
            case ShapeSaw:
                v = static_cast<int>((phase * 2.0f - 1.0f) * kStepsPerUnit);
                break;
            case ShapeSquare: // unipolar
                v = phase >= 0.5f ? kStepsPerUnit : 0;
                break;
            case ShapeRandom:
                if (old > phase) // the phase wrapped in this step
                    createRandomValue();
                v = static_cast<int>(m_randomValue * kStepsPerUnit);
                break;
            case ShapeTri:
            default: // presets are validated on reading; anything else plays as "Tri"
            {
                const float t = phase <= 0.5f ? phase : 1.0f - phase;
                v = static_cast<int>((t * 4.0f - 1.0f) * kStepsPerUnit);
                break;
            }
            }
            if (v != step)
            {
                step = v;
                hold = holdSamples;
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
