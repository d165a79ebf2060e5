// Parsing K1 system-exclusive messages, buffers of them and .syx files into a
// Sysex::SysexResult. Nothing is ever cleared from the result, so one result
// can collect many messages.

#include "patch/sysex.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "patch/log.h"
#include "patch/regularFile.h"
#include "patch/sysexFrame.h"

namespace k1lib
{
using namespace sysexFrame;

namespace
{
// Appends the blocks of a dump to list until one fails or the message ends.
template <typename Preset, typename Reader>
bool readBlocks(std::vector<Preset>& list, const uint8_t* message, size_t length, size_t blockSize, Reader read)
{
    for (size_t at = kDataAt; at + blockSize <= length; at += blockSize)
    {
        Preset preset{};
        if (!read(preset, message + at))
            return false;
        list.push_back(preset);
    }
    return true;
}
} // namespace

bool Sysex::readSysex(SysexResult& result, const uint8_t* message, size_t length, uint8_t expectedChannel)
{
    if (length < kMinMachineIdLength)
    {
        K1_LOG("Sysex message too short, needs at least " << kMinMachineIdLength << " bytes but got " << length);
        return false;
    }
    if (message[kStatusAt] != kStart)
    {
        K1_LOG("Not a sysex message");
        return false;
    }
    if (message[kManufacturerAt] != kManufacturer)
    {
        K1_LOG("Sysex from wrong manufacturer");
        return false;
    }
    const uint8_t channel = message[kChannelAt];
    if (channel > kMaxChannel)
    {
        K1_LOG("Invalid channel number " << int(channel) << ", expected 0-15");
        return false;
    }
    if (expectedChannel <= kMaxChannel && expectedChannel != channel)
    {
        K1_LOG("Skipping read, expected channel " << int(expectedChannel) << " but sysex has " << int(channel));
        return false;
    }
    result.channel = channel;

    const uint8_t function = message[kFunctionAt];
    if (function == kMachineIdRequest)
    {
        result.machineIdRequested = true;
        return true;
    }
    const size_t needed = function == kParameterSend ? kMinParameterLength : kMinLength;
    if (length < needed)
    {
        K1_LOG("Sysex message too short, needs at least " << needed << " bytes but got " << length);
        return false;
    }
    if (message[kGroupAt] != kGroup)
    {
        K1_LOG("Expected group to be 0x00 (Synthesizer group) but got " << int(message[kGroupAt]));
        return false;
    }
    if (message[kMachineAt] != kMachine)
    {
        K1_LOG("Expected machine ID to be 0x03 but got " << int(message[kMachineAt]));
        return false;
    }

    size_t sub1 = message[kSub1At];
    const uint8_t sub2 = message[kSub2At];
    switch (function)
    {
    case kOneBlockRequest:
        if (sub2 < kMultiBase)
            result.requestedSingles.push_back(sub1 * kSinglesPerMemory + sub2);
        else
            result.requestedMultis.push_back(sub2 - kMultiBase + sub1 * kMultisPerMemory);
        return true;
    case kAllBlockRequest:
        if (sub2 < kMultiBase)
        {
            result.allSinglesRequested = true;
            result.singleStart = sub1 * kSinglesPerMemory + sub2;
        }
        else
        {
            result.allMultisRequested = true;
            result.multiStart = sub1 * kMultisPerMemory;
        }
        return true;
    case kParameterSend:
    {
        const uint8_t flags = message[kParamSourceAt];
        result.parameterChanges.push_back({message[kParamAt], static_cast<uint8_t>((flags >> 1) & 3),
                                           static_cast<uint8_t>((message[kParamValueAt] & 0x7F) | ((flags & 1) << 7))});
        return true;
    }
    case kWriteComplete:
        return true;
    case kWriteError:
        K1_LOG("Got Sysex stating Write Error");
        return true;
    case kWriteErrorProtected:
        K1_LOG("Got Sysex stating Write Error Protected");
        return true;
    case kWriteErrorNoCard:
        K1_LOG("Got Sysex stating Write Error No Card");
        return true;
    case kOneBlockDump:
    case kAllBlockDump:
        break;
    default:
        K1_LOG("Invalid function, expected all block data dump (21h) or single block data dump (20h) but got " << int(function));
        return false;
    }

    if (sub1 > 1)
    {
        K1_LOG("Expected subcommand 1 to be 0=intern or 1=extern but got " << sub1 << ", treating as " << (sub1 & 1));
        sub1 &= 1;
    }
    if (sub2 < kMultiBase)
    {
        result.singleStart = sub1 * kSinglesPerMemory + sub2;
        if (function == kAllBlockDump && sub2 != 0 && sub2 != kUpperSingles)
        {
            K1_LOG("Invalid subcommand 2, needs to be 00h, 20h or 40h but got " << int(sub2));
            return false;
        }
        return readBlocks(result.singles, message, length, kSingleBlockSize, k1lib::readSingle);
    }
    result.multiStart = sub1 * kMultisPerMemory + sub2 - kMultiBase;
    return readBlocks(result.multis, message, length, kMultiBlockSize, k1lib::readMulti);
}

bool Sysex::readBuffer(SysexResult& result, const std::vector<uint8_t>& buffer, uint8_t expectedChannel)
{
    const uint8_t* data = buffer.data();
    const size_t size = buffer.size();
    bool parsed = false;
    bool found = false;
    size_t i = 0;
    while (i < size)
    {
        const auto* start = static_cast<const uint8_t*>(std::memchr(data + i, kStart, size - i));
        if (!start)
            break;
        const size_t from = static_cast<size_t>(start - data);
        // A second F0 before the F7 belongs to the same span. With no F7
        // after this F0 there is none after any later F0 either: stop here.
        const auto* end = static_cast<const uint8_t*>(std::memchr(start + 1, kEnd, size - from - 1));
        if (!end)
            break;
        const size_t to = static_cast<size_t>(end - data);
        found = true;
        if (readSysex(result, start, to - from + 1, expectedChannel))
            parsed = true;
        i = to + 1;
    }
    if (!found)
        K1_LOG("No complete sysex message in " << size << " bytes");
    return parsed;
}

bool Sysex::readFile(std::vector<uint8_t>& out, const std::string& path)
{
    std::uintmax_t size = 0;
    FileRefusal refusal = FileRefusal::None;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openRegularFile(path, refusal, &size), std::fclose);
    if (!file)
    {
        if (refusal == FileRefusal::NotRegular)
            K1_LOG("Failed to read file " << path << ", it is not a regular file");
        else
            K1_LOG("Failed to open file " << path);
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (got != bytes.size())
    {
        K1_LOG("Failed to read file " << path << ", got " << got << " of " << size << " bytes");
        return false;
    }
    out.swap(bytes);
    return true;
}

bool Sysex::readFile(SysexResult& result, const std::string& path, uint8_t expectedChannel)
{
    std::vector<uint8_t> bytes;
    if (!readFile(bytes, path))
        return false;
    return readBuffer(result, bytes, expectedChannel);
}
} // namespace k1lib
