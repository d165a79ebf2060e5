#pragma once

// How the engine plays a stored 256-sample cycle, worked out from the
// cycle's spectrum instead of by rendering: the voice reads the cycle with
// linear interpolation (harmonic n of the interpolated cycle is the cycle's
// DFT bin n mod 256 weighted by sinc^2(n / 256)), at the engine's rate of
// 49920 Hz, where everything above 24960 Hz folds back; the host's rates
// keep what lies below 20 kHz. Powers are mean squares.

#include <array>
#include <cstdint>

namespace wavegen
{
constexpr double kEngineRate = 49920.0;
constexpr double kAudibleHz = 20000.0;
// A partial above this folds back below 20 kHz.
constexpr double kFoldLimitHz = kEngineRate - kAudibleHz;

struct Playback
{
    double note = 0.0;   // the key's harmonics below 20 kHz
    double upper = 0.0;  // the second harmonic and up, below 20 kHz
    double third = 0.0;  // the third harmonic and up, below 20 kHz
    double folded = 0.0; // what folded back below 20 kHz
};

class CycleModel
{
public:
    // The stored cycle as the engine plays it: the 128 stored half-cycle
    // samples followed by their mirrored complements.
    explicit CycleModel(const int8_t* halfCycle);
    Playback play(double f0) const;
    // Power of harmonic k (1-255) as the interpolation keeps it.
    double harmonic(int k) const;

private:
    std::array<double, 256> m_power{}; // 2 |C_j|^2 for j = 0..255
};
} // namespace wavegen
