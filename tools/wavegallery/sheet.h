#pragma once

// The PNG sheet of wavegallery: all 256 waves in a 16 x 16 grid, single-cycle
// waves as their key-60 cycle, PCM waves as their min/max envelope.

#include <string>

#include "engine/waveforms.h"

namespace wavegallery
{
bool drawSheet(const k1lib::Waveforms& set, const std::string& pngFile);
} // namespace wavegallery
