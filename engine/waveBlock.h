#pragma once

// The part of the wave set one source plays: the signed 8-bit sample block of
// one wave for one key, with what the player needs to know about it. data is
// followed by the block's first three samples again (Waveforms::guarded).
// length is a power of two (0 for a wave the ROM does not define);
// baseFrequency is the pitch in hertz at which the block plays when read at
// sampleRate (hertz).

#include <cstdint>

namespace k1lib
{
struct WaveBlock
{
    const int8_t* data = nullptr;
    uint32_t length = 0;
    float baseFrequency = 0.0f;
    float sampleRate = 0.0f;
    bool loop = false;
    bool randomStart = false; // a looping wave that may start anywhere
};
} // namespace k1lib
