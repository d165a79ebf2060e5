#pragma once

// The 256 waves the sources play, built once from the compiled-in wave ROM.
// Waves 0-203 are single-cycle waves: five 256-sample cycles, one per key
// range. Waves 204-255 are PCM blocks cut out of the ROM at its cue points.
// Samples are signed 8-bit; lengths in samples (always a power of two);
// baseFrequency in Hz is the pitch a block has when played at sampleRate.
// Blocks point into `rom`, the cycle tables or a wave's own `samples`
// (alternating and reversed waves), so the set is neither copied nor moved.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/guardedWaves.h"
#include "patch/staticArray.h"
#include "patch/waveformNames.h"

namespace k1lib
{
class Waveforms
{
public:
    static constexpr int kKeyCount = 128;
    static constexpr int kCycleLength = 256;      // samples of one stored cycle
    static constexpr int kKeyRangeCount = 5;      // keys <48, 48-59, 60-71, 72-83, >=84
    static constexpr int kHalfCycleLength = 128;  // samples per key range in the ROM
    static constexpr int kSingleCycleRegionLength = kKeyRangeCount * kHalfCycleLength;
    static constexpr float kPcmBaseFrequency = 415.28961f; // Hz at the ROM's rate

    struct WaveformData
    {
        const char* data = nullptr; // signed 8-bit samples
        uint64_t length = 0;        // samples, a power of two once loaded
        float baseFrequency = 0.0f; // Hz when played at the wave's sampleRate
    };

    struct Waveform
    {
        StaticArray<WaveformData, kKeyCount> keys; // per MIDI key
        std::vector<char> samples;                 // own storage: alternating and reversed waves
        bool loop = false;
        bool alternate = false;        // forwards then backwards, already laid out in samples
        bool reverse = false;          // marked reversed; samples already hold the reversed copy
        bool multiSegmentLoop = false; // the loop spans several ROM regions
        float sampleRate = 0.0f;       // Hz
    };

    StaticArray<Waveform, kWaveformCount> waves;
    std::vector<char> rom; // the whole ROM, signed 8-bit
    unsigned char cycleTables[kSingleCycleWaveformCount][kKeyRangeCount * kCycleLength] = {};
    // The blocks above as the sources read them; rebuilt by every load.
    GuardedWaves guarded;

    Waveforms();
    Waveforms(const Waveforms&) = delete;
    Waveforms& operator=(const Waveforms&) = delete;

    // Builds every wave from k1data's wave ROM.
    void loadFromMemory();
    // Builds every wave from the given RIFF/WAVE image. Whatever a faulty image
    // leaves undefined plays a silent cycle. Returns false when anything was wrong.
    bool loadFromMemory(const unsigned char* data, size_t size);

    // The process's one wave set from the compiled-in ROM, built by the first
    // caller (whatever thread) and read-only afterwards: every engine plays
    // from it, so instances share it instead of each holding a copy.
    static const Waveforms& shared();

    static const char* getName(unsigned char wave);

    // True for looping PCM waves that loop over their whole single region.
    bool canRandomStart(unsigned char wave) const;

private:
    void clear();
};
} // namespace k1lib
