#pragma once

// 2^x in single precision without a library call: a rational approximation
// written straight into the bits of a float. Relative error about 5e-6 over
// the pitch range of the voices; x below -126 counts as -126. Deterministic:
// the same x always gives the same bits.

#include <bit>
#include <cstdint>

namespace k1lib
{
inline float fastPow2(float x)
{
    const float offset = x < 0.0f ? 1.0f : 0.0f;
    const float c = x < -126.0f ? -126.0f : x;
    const int32_t w = static_cast<int32_t>(c);
    const float z = c - static_cast<float>(w) + offset;
    const float bits = 8388608.0f * (c + 121.2740575f + 27.7280233f / (4.84252568f - z) - 1.49012907f * z);
    return std::bit_cast<float>(static_cast<uint32_t>(static_cast<int32_t>(bits)));
}
} // namespace k1lib
