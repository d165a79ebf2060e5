#pragma once

// The instrument's two loudness curves as linear gains: the single's volume
// (stored 0-99) and a source's envelope level (0-100). The builder reads
// them to reach a loudness in dB with the stored steps; a test holds them
// equal to the engine's own tables.

#include <array>

namespace designer
{
extern const std::array<float, 100> g_volumeGain;
extern const std::array<float, 101> g_levelGain;
} // namespace designer
