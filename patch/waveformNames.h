#pragma once

// Display names of the 256 waves of the wave ROM, "001: Sin 1st" to
// "256: Piano Noise Alt". They live in the patch model because the parameter
// table shows them as wave values and the waveform set derives loop flags from
// them ("Loop", " Alt").

namespace k1lib
{
constexpr int kWaveformCount = 256;
constexpr int kSingleCycleWaveformCount = 204;

extern const char* const g_waveformNames[kWaveformCount];
} // namespace k1lib
