#pragma once

// The engine's state chunk: the whole persistent state as one byte block,
// handed to the host as the plug-in's chunk. All integers are unsigned 32-bit
// little-endian (the current indexes of version 3 are 64-bit); parameter
// values are IEEE single-precision floats, little-endian, normalized 0..1.
//
// Version 4, as written:
//   version (4), configSize (52), the 13 Config fields, playMode (0/1),
//   paramCount (209), paramCount values, customSize, custom bytes,
//   currentSingle, singleCount, singleBytes, singles stream,
//   currentMulti, multiCount, multiBytes, multis stream.
// A stream holds its presets as K1 dumps of 32 (the last one shorter), run k
// holding presets 32k to 32k+31; so every preset sits at a fixed offset and
// one damaged message never moves another preset.
// Version 3 is version 4 with 64-bit current indexes. Versions 1 and 2 have
// no play mode and no multis: after currentSingle and one skipped field the
// rest of the block is one stream of single dumps; version 1 also lacks the
// custom data.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/engine.h"
#include "patch/presets.h"
#include "patch/sysexFrame.h"

namespace k1lib
{
namespace stateChunk
{
constexpr uint32_t kVersion = 4;
constexpr uint32_t kOldestVersion = 1;
constexpr uint32_t kFirstVersionWithCustomData = 2;
constexpr uint32_t kFirstVersionWithMultis = 3;
constexpr uint32_t kVersionWithWideIndexes = 3;

constexpr size_t kConfigFieldCount = 13;
constexpr uint32_t kConfigSize = kConfigFieldCount * 4;
constexpr uint32_t kStoredParamCount = kParamCount;

// Offsets of the fixed part of a version 4 block.
constexpr size_t kVersionAt = 0;
constexpr size_t kConfigSizeAt = 4;
constexpr size_t kConfigAt = 8;
constexpr size_t kPlayModeAt = kConfigAt + kConfigSize;   // 60
constexpr size_t kParamCountAt = kPlayModeAt + 4;         // 64
constexpr size_t kParamsAt = kParamCountAt + 4;           // 68
constexpr size_t kCustomSizeAt = kParamsAt + 4 * kStoredParamCount; // 904
constexpr size_t kCustomAt = kCustomSizeAt + 4;           // 908

// Presets per dump message, and the bytes of a full message of each kind.
constexpr size_t kPresetsPerMessage = sysexFrame::kMaxPresetsPerDump;
constexpr size_t kMessageOverhead = sysexFrame::kDataAt + 1; // header, sub-commands, F7
constexpr size_t kFullSinglesMessage = kMessageOverhead + kPresetsPerMessage * kSingleBlockSize; // 2825
constexpr size_t kFullMultisMessage = kMessageOverhead + kPresetsPerMessage * kMultiBlockSize;   // 2441

// The Config fields in stored order, with the largest value each may hold.
struct ConfigField
{
    uint32_t Engine::Config::*field;
    uint32_t max;
};
inline constexpr ConfigField kConfigFields[kConfigFieldCount] = {
    {&Engine::Config::receiveChannel, 15}, {&Engine::Config::omni, 1},       {&Engine::Config::programChange, 2},
    {&Engine::Config::pressure, 1},        {&Engine::Config::pitchBend, 1},  {&Engine::Config::modWheel, 1},
    {&Engine::Config::volume, 1},          {&Engine::Config::holdPedal, 1},  {&Engine::Config::velocity, 1},
    {&Engine::Config::sysexReceive, 1},    {&Engine::Config::pan, 1},        {&Engine::Config::sysexSend, 1},
    {&Engine::Config::audioOutputMode, 1},
};
} // namespace stateChunk

// What a state block holds, decoded without touching any engine. Each part
// is present only when the block held all of it. `truncated` says that it
// ended before its last field, `damaged` that a preset or the frame of its
// stream did not decode (a failed checksum, a message out of its place, a
// count that does not match): such a block is not restored at all.
// `repaired` says that it holds something saveState does not write but that
// loses nothing (bytes after its end, padding or foreign messages in an old
// stream); the reader has logged each.
struct StateChunk
{
    uint32_t version = 0;
    bool damaged = false;
    bool truncated = false;
    bool repaired = false;

    std::optional<std::vector<uint8_t>> config; // the first min(configSize, 52) bytes
    std::optional<uint32_t> playMode;            // versions 3 and 4
    std::optional<std::vector<float>> params;    // at most the first 209 values
    std::optional<std::vector<uint8_t>> custom;  // versions 2 and later
    std::optional<uint64_t> currentSingle;
    std::optional<uint64_t> currentMulti;        // versions 3 and 4

    // One entry per slot of the working list; an empty entry is a preset
    // that did not arrive intact. Present once the stream's length arrived.
    std::optional<std::vector<std::optional<SinglePreset>>> singles;
    std::optional<std::vector<std::optional<MultiPreset>>> multis;
};

// Decodes a block for a store of singleSlots singles and multiSlots multis.
// False when nothing of it can be restored: an empty block (no log line), a
// block without a whole version field, an unknown version (one log line
// each). Everything else is reported through the chunk's fields.
bool readStateChunk(const std::vector<uint8_t>& in, size_t singleSlots, size_t multiSlots, StateChunk& out);
} // namespace k1lib
