// Building K1 system-exclusive messages: dumps, requests, answers and
// parameter changes. Each writer checks its arguments before it touches the
// output, then replaces the output with exactly one message.

#include <cstring>

#include "patch/blockLayout.h"
#include "patch/log.h"
#include "patch/sysex.h"
#include "patch/sysexFrame.h"

namespace k1lib
{
using namespace sysexFrame;

uint8_t getSysexSubcommand1Storage(StorageLocation location)
{
    return static_cast<uint8_t>(location) >> 1;
}

uint8_t getSysexSubcommand2Storage(StorageLocation location)
{
    return (static_cast<uint8_t>(location) & ~2) != 0 ? kUpperSingles : 0;
}

bool verifySingleNumberAgainstStorageLocation(StorageLocation location, uint8_t number)
{
    const bool lowerHalf = number < kSinglesPerMemory / 2;
    if ((location == StorageLocation::I || location == StorageLocation::E) && !lowerHalf)
    {
        K1_LOG("If single number is >= 32, storage location needs to be i or e");
        return false;
    }
    if ((location == StorageLocation::i || location == StorageLocation::e) && lowerHalf)
    {
        K1_LOG("If single number is < 32, storage location needs to be I or E");
        return false;
    }
    return true;
}

size_t writeHeader(std::vector<uint8_t>& out, uint8_t channel, uint8_t function)
{
    if (out.size() < kHeaderSize)
        out.resize(kHeaderSize);
    // Bytes above 7Fh would end or corrupt the message on the wire.
    out[kStatusAt] = kStart;
    out[kManufacturerAt] = kManufacturer;
    out[kChannelAt] = channel & kDataByteMask;
    out[kFunctionAt] = function & kDataByteMask;
    out[kGroupAt] = kGroup;
    out[kMachineAt] = kMachine;
    return kSub1At;
}

namespace
{
// Header, sub-commands, room for count blocks of blockSize, and the closing F7.
void startDump(std::vector<uint8_t>& out, uint8_t channel, size_t count, size_t blockSize, uint8_t sub1, uint8_t sub2)
{
    out.assign(kDataAt + count * blockSize + 1, 0);
    writeHeader(out, channel, count < 2 ? kOneBlockDump : kAllBlockDump);
    out[kSub1At] = sub1;
    out[kSub2At] = sub2;
    out.back() = kEnd;
}
} // namespace

bool Sysex::writeSingles(std::vector<uint8_t>& out, const std::vector<SinglePreset>& presets, uint8_t channel, StorageLocation location, uint8_t number)
{
    return writeSingles(out, presets.data(), presets.size(), channel, location, number);
}

bool Sysex::writeSingles(std::vector<uint8_t>& out, const SinglePreset* presets, size_t count, uint8_t channel, StorageLocation location, uint8_t number)
{
    if (count > kMaxPresetsPerDump)
    {
        K1_LOG("Too many singles for one command");
        return false;
    }
    uint8_t sub2 = getSysexSubcommand2Storage(location);
    if (count < 2)
    {
        if (number >= kSinglesPerMemory)
        {
            K1_LOG("Preset number needs to be within range 0-63");
            return false;
        }
        if (!verifySingleNumberAgainstStorageLocation(location, number))
            return false;
        sub2 = number;
    }
    startDump(out, channel, count, kSingleBlockSize, getSysexSubcommand1Storage(location), sub2);
    for (size_t k = 0; k < count; ++k)
        k1lib::writeSingle(out.data() + kDataAt + k * kSingleBlockSize, presets[k]);
    return true;
}

bool Sysex::writeSingle(std::vector<uint8_t>& out, const SinglePreset& preset, uint8_t channel, StorageLocation location, uint8_t number)
{
    return writeSingles(out, &preset, 1, channel, location, number);
}

bool Sysex::writeMultis(std::vector<uint8_t>& out, const std::vector<MultiPreset>& multis, uint8_t channel, StorageLocation location, uint8_t number)
{
    return writeMultis(out, multis.data(), multis.size(), channel, location, number);
}

bool Sysex::writeMultis(std::vector<uint8_t>& out, const MultiPreset* multis, size_t count, uint8_t channel, StorageLocation location, uint8_t number)
{
    if (count > kMaxPresetsPerDump)
    {
        K1_LOG("Too many multis for one command");
        return false;
    }
    uint8_t sub2 = kMultiBase;
    if (count < 2)
    {
        if (number >= kMultisPerMemory)
        {
            K1_LOG("Multi number needs to be within range 0-31");
            return false;
        }
        sub2 = static_cast<uint8_t>(kMultiBase + number);
    }
    startDump(out, channel, count, kMultiBlockSize, getSysexSubcommand1Storage(location), sub2);
    for (size_t k = 0; k < count; ++k)
        k1lib::writeMulti(out.data() + kDataAt + k * kMultiBlockSize, multis[k]);
    return true;
}

bool Sysex::writeMulti(std::vector<uint8_t>& out, const MultiPreset& multi, uint8_t channel, StorageLocation location, uint8_t number)
{
    return writeMultis(out, &multi, 1, channel, location, number);
}

bool Sysex::writeOneSingleRequest(std::vector<uint8_t>& out, uint8_t channel, StorageLocation location, uint8_t number)
{
    if (channel > kMaxChannel)
    {
        K1_LOG("Channel number needs to be within range 0-15");
        return false;
    }
    if (number >= kSinglesPerMemory)
    {
        K1_LOG("Single number needs to be within range 0-63");
        return false;
    }
    if (!verifySingleNumberAgainstStorageLocation(location, number))
        return false;
    out.assign(kDataAt + 1, 0);
    writeHeader(out, channel, kOneBlockRequest);
    out[kSub1At] = getSysexSubcommand1Storage(location);
    out[kSub2At] = number;
    out.back() = kEnd;
    return true;
}

bool Sysex::writeAllSinglesRequest(std::vector<uint8_t>& out, uint8_t channel, StorageLocation location)
{
    if (channel > kMaxChannel)
    {
        K1_LOG("Channel number needs to be within range 0-15");
        return false;
    }
    out.assign(kDataAt + 1, 0);
    writeHeader(out, channel, kAllBlockRequest);
    out[kSub1At] = getSysexSubcommand1Storage(location);
    out[kSub2At] = getSysexSubcommand2Storage(location);
    out.back() = kEnd;
    return true;
}

bool Sysex::writeMachineIdRequest(std::vector<uint8_t>& out, uint8_t channel)
{
    if (channel > kMaxChannel)
    {
        K1_LOG("Channel number needs to be within range 0-15");
        return false;
    }
    out = {kStart, kManufacturer, channel, kMachineIdRequest, kEnd};
    return true;
}

void Sysex::writeMachineIdResponse(std::vector<uint8_t>& out, uint8_t channel)
{
    writeWriteResult(out, channel, kMachineIdAnswer);
}

void Sysex::writeWriteResult(std::vector<uint8_t>& out, uint8_t channel, uint8_t code)
{
    out.assign(kHeaderSize + 1, 0);
    writeHeader(out, channel, code);
    out.back() = kEnd;
}

void Sysex::writeParameterChange(std::vector<uint8_t>& out, uint8_t channel, const SysexResult::ParameterChange& change)
{
    out.assign(kParamValueAt + 2, 0);
    writeHeader(out, channel, kParameterSend);
    out[kParamAt] = change.param & kDataByteMask;
    out[kParamSourceAt] = static_cast<uint8_t>(((change.source << 1) & 0x06) | (change.value >> 7));
    out[kParamValueAt] = change.value & kDataByteMask;
    out.back() = kEnd;
}
} // namespace k1lib
