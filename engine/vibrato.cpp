// Vibrato depth: the single's depth in semitones, deepened by pressure
// in the depth's own direction and widened by the wheel in "Depth" mode.

#include "engine/vibrato.h"

#include <algorithm>
#include <cstdlib>

#include "engine/tables.h"

namespace k1lib
{
namespace
{
constexpr int kCentre = 50;
constexpr float kMaxDepth = 12.0f; // semitones
constexpr uint32_t kWheelDepth = 0;
} // namespace

float Vibrato::depth(const SinglePreset& single, float pressure, float modWheel)
{
    const int depthField = single.vibratoDepth;
    const bool up = depthField >= kCentre;
    const float sign = up ? 1.0f : -1.0f;
    float depth = sign * vibratoDepth(static_cast<uint8_t>(std::abs(depthField - kCentre)));

    if (single.pressureToVibrato != kCentre)
    {
        const int amount = (static_cast<int>(single.pressureToVibrato) - kCentre) * 12;
        depth += sign * (static_cast<float>(amount) * 0.02f * pressure);
        depth = up ? std::clamp(depth, 0.0f, kMaxDepth) : std::clamp(depth, -kMaxDepth, 0.0f);
    }

    if (single.vibWheelMode == kWheelDepth)
        depth += modWheel; // up to one semitone more, whatever the sign

    return std::clamp(depth, -kMaxDepth, kMaxDepth);
}
} // namespace k1lib
