#pragma once

// The K1's patch data in memory: a single (up to four sources) and a multi
// (eight sections). Every field keeps the K1's stored form: values the K1
// treats as signed around zero are "centred bytes" 0..100 with 50 as zero, and
// volumes are 0..99 (shown 1..100). The parameter converter translates to and
// from what a user sees. All four records are plain values: copyable, with
// element-wise equality in field order.

#include <cstdint>

#include "patch/staticArray.h"

namespace k1lib
{
struct SingleSource
{
    uint32_t fine = 0;               // 0..100 centred
    uint32_t coarse = 0;             // 0..127, a key number
    uint8_t wave = 0;                // 0..255, wave ROM index
    bool keyTrack = false;
    bool vibABend = false;           // vibrato / auto bend on for this source
    bool pressureToFreq = false;
    uint32_t velCurve = 0;           // 0..7 (shown 1..8)
    uint32_t envLevel = 0;           // 0..100
    uint32_t envDelay = 0;           // 0..100
    uint32_t envAttack = 0;          // 0..100
    uint32_t envDecay = 0;           // 0..100
    uint32_t envSustain = 0;         // 0..100
    uint32_t envRelease = 0;         // 0..100
    uint32_t levelModVel = 0;        // 0..100 centred
    uint32_t levelModPressure = 0;   // 0..100 centred
    uint32_t levelModKeyScale = 0;   // 0..100 centred
    uint32_t timeModVel = 0;         // 0..100 centred
    uint32_t timeModKeyScale = 0;    // 0..100 centred
    uint32_t freqKeyScaleToFreq = 0; // 0..100 centred

    bool operator==(const SingleSource&) const = default;
};

struct SinglePreset
{
    char name[11] = {};                // 10 characters, trailing blanks removed, rest zero
    uint8_t volume = 0;                // 0..99 (shown 1..100)
    uint32_t polyMode = 0;             // 0..2: Poly 1, Poly 2, Solo
    uint32_t source2or4 = 0;           // 0..1: two or four sources
    uint32_t ampModS1S2 = 0;           // 0..2: off, S2>S1, S1>S2
    uint32_t ampModS3S4 = 0;           // 0..2: off, S4>S3, S3>S4
    uint8_t pressureToFreq = 0;        // 0..100 centred
    uint8_t vibratoDepth = 0;          // 0..100 centred
    uint8_t pressureToVibrato = 0;     // 0..100 centred
    uint32_t pitchBendDepth = 0;       // 0..12 semitones
    uint8_t lfoSpeed = 0;              // 0..100
    uint32_t lfoShape = 0;             // 0..3: Tri, Saw, Square, Random
    uint32_t keyScaleCurve = 0;        // 0..4 (shown 1..5)
    uint32_t vibWheelMode = 0;         // 0..1: Depth, Speed
    uint8_t autoBendDepth = 0;         // 0..100 centred
    uint8_t autoBendTime = 0;          // 0..100
    uint8_t velToDepth = 0;            // 0..100 centred
    uint8_t autoBendKeyScaleToTime = 0; // 0..100 centred
    bool mute[4] = {};
    SingleSource sources[4] = {};

    bool operator==(const SinglePreset&) const = default;
};

struct MultiSection
{
    int32_t single = 0;         // 0..63 (the engine's single-mode multi uses 255)
    int32_t zoneLow = 0;        // 0..127
    int32_t zoneHigh = 0;       // 0..127
    int32_t poly = 0;           // 0..9: VR, off, 1..8
    int32_t output = 0;         // 0..2: R, LR, L
    int32_t midiMode = 0;       // 0..2: Keys, Midi, Both
    int32_t channel = 0;        // 0..15 (the single-mode multi uses 255)
    int32_t velocitySwitch = 0; // 0..2: All, Soft, Loud
    int32_t transpose = 0;      // -24..24 semitones
    int32_t tune = 0;           // -50..50
    int32_t level = 0;          // 0..100

    bool operator==(const MultiSection&) const = default;
};

struct MultiPreset
{
    char name[11] = {};
    uint32_t volume = 0; // 0..99 (shown 1..100)
    StaticArray<MultiSection, 8> sections;

    bool operator==(const MultiPreset&) const = default;
};
} // namespace k1lib

// ---------------------------------------------------------------------------
// One K1 block: 88 bytes for a single, 76 for a multi, each closed by a 7-bit
// checksum. The caller guarantees that the whole block is readable/writable.
#include <cstddef>

namespace k1lib
{
constexpr size_t kSingleBlockSize = 88;
constexpr size_t kMultiBlockSize = 76;
constexpr size_t kNameLength = 10;

// (A5h + sum of the bytes) & 7Fh; 25h for an empty range.
uint8_t getChecksum(const uint8_t* data, size_t length);

// Copies at most length characters (stopping at a zero byte) into dest, which
// holds length + 1 bytes, and removes trailing blanks. True when not empty.
bool readName(char* dest, const uint8_t* src, size_t length);
// Writes the name into length bytes, padded with blanks.
void writeName(uint8_t* dest, const char* name, size_t length);

bool readSingle(SinglePreset& out, const uint8_t* block);
bool writeSingle(uint8_t* block, const SinglePreset& preset);
bool readMulti(MultiPreset& out, const uint8_t* block);
bool writeMulti(uint8_t* block, const MultiPreset& multi);
} // namespace k1lib
