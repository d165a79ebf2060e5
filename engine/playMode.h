#pragma once

// What the instrument plays: the current single, or the current multi with its
// eight sections. Everything that numbers presets does so per play mode.

#include <cstdint>

namespace k1lib
{
enum class PlayMode : uint8_t
{
    Single = 0,
    Multi = 1,
};
} // namespace k1lib
