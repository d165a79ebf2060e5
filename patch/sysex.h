#pragma once

// The K1's system-exclusive messages: parsing any byte stream (a received
// message, a .syx file, a chunk, a factory bank) into a SysexResult, and
// building the messages the instrument sends or stores. Frame of every K1
// message except the machine-ID request:
//   F0 40 <channel> <function> 00 03 <sub1> <sub2> <data...> F7

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "patch/presets.h"

namespace k1lib
{
// Where a preset lives in K1 sysex terms: internal or external (card) memory,
// lower (singles 0-31) or upper (32-63) half.
enum class StorageLocation : uint8_t
{
    I = 0,
    i = 1,
    E = 2,
    e = 3,
};

uint8_t getSysexSubcommand1Storage(StorageLocation location);
uint8_t getSysexSubcommand2Storage(StorageLocation location);
bool verifySingleNumberAgainstStorageLocation(StorageLocation location, uint8_t number);

// Writes F0 40 channel function 00 03 into the first six bytes of out (which
// already holds at least six) and returns 6, the index of sub-command 1.
size_t writeHeader(std::vector<uint8_t>& out, uint8_t channel, uint8_t function);

class Sysex
{
public:
    struct SysexResult
    {
        struct ParameterChange
        {
            uint8_t param = 0;  // K1 parameter number
            uint8_t source = 0; // 0-3
            uint8_t value = 0;  // 0-255

            bool operator==(const ParameterChange&) const = default;
        };

        std::vector<SinglePreset> singles;
        std::vector<MultiPreset> multis;
        std::vector<size_t> requestedSingles;
        std::vector<size_t> requestedMultis;
        size_t singleStart = 0;
        size_t multiStart = 0;
        std::vector<ParameterChange> parameterChanges;
        uint8_t channel = 0;
        bool machineIdRequested = false;
        bool allMultisRequested = false;
        bool allSinglesRequested = false;
    };

    // An expected channel above 15 accepts every channel (callers pass 255).
    static bool readSysex(SysexResult& result, const uint8_t* message, size_t length, uint8_t expectedChannel);
    static bool readBuffer(SysexResult& result, const std::vector<uint8_t>& buffer, uint8_t expectedChannel);
    static bool readFile(std::vector<uint8_t>& out, const std::string& path);
    static bool readFile(SysexResult& result, const std::string& path, uint8_t expectedChannel);

    // Each writer replaces the content of out with exactly one message; with
    // out's capacity large enough, none allocates.
    static bool writeSingles(std::vector<uint8_t>& out, const std::vector<SinglePreset>& presets, uint8_t channel, StorageLocation location, uint8_t number);
    static bool writeSingles(std::vector<uint8_t>& out, const SinglePreset* presets, size_t count, uint8_t channel, StorageLocation location, uint8_t number);
    static bool writeSingle(std::vector<uint8_t>& out, const SinglePreset& preset, uint8_t channel, StorageLocation location, uint8_t number);
    static bool writeMultis(std::vector<uint8_t>& out, const std::vector<MultiPreset>& multis, uint8_t channel, StorageLocation location, uint8_t number);
    static bool writeMultis(std::vector<uint8_t>& out, const MultiPreset* multis, size_t count, uint8_t channel, StorageLocation location, uint8_t number);
    static bool writeMulti(std::vector<uint8_t>& out, const MultiPreset& multi, uint8_t channel, StorageLocation location, uint8_t number);
    static bool writeOneSingleRequest(std::vector<uint8_t>& out, uint8_t channel, StorageLocation location, uint8_t number);
    static bool writeAllSinglesRequest(std::vector<uint8_t>& out, uint8_t channel, StorageLocation location);
    static bool writeMachineIdRequest(std::vector<uint8_t>& out, uint8_t channel);
    static void writeMachineIdResponse(std::vector<uint8_t>& out, uint8_t channel);
    static void writeWriteResult(std::vector<uint8_t>& out, uint8_t channel, uint8_t code);
    static void writeParameterChange(std::vector<uint8_t>& out, uint8_t channel, const SysexResult::ParameterChange& change);

    // One PHm single (the 76 bytes of a K1 single block without name, mute
    // byte and checksum) as a 97-byte K1 one-single dump.
    static bool convertPhmPreset(std::vector<uint8_t>& out, uint8_t channel, uint8_t number, const std::string& name, const uint8_t* data, size_t size);
};
} // namespace k1lib
