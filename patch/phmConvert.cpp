// A PHm single (76 bytes: a K1 single block without name, mute byte and
// checksum) turned into a 97-byte K1 one-single dump for internal memory.

#include <cstring>

#include "patch/blockLayout.h"
#include "patch/log.h"
#include "patch/sysex.h"
#include "patch/sysexFrame.h"

namespace k1lib
{
namespace
{
using namespace singleBlock;

constexpr size_t kPhmSize = 76;
constexpr size_t kPhmCommonSize = kMute - kVolume;    // PHm bytes 0-11: block bytes 10-21
constexpr size_t kPhmSourcesSize = kChecksum - kFine; // PHm bytes 12-75: block bytes 23-86
static_assert(kPhmCommonSize + kPhmSourcesSize == kPhmSize);
} // namespace

bool Sysex::convertPhmPreset(std::vector<uint8_t>& out, uint8_t channel, uint8_t number, const std::string& name, const uint8_t* data, size_t size)
{
    using namespace sysexFrame;
    if (size != kPhmSize || !data)
    {
        K1_LOG("Invalid PHm data size");
        return false;
    }
    if (name.size() > kNameLength)
    {
        K1_LOG("Invalid PHm single name, max length is 10");
        return false;
    }
    if (number >= kSinglesPerMemory)
    {
        K1_LOG("Preset number needs to be within range 0-63");
        return false;
    }
    // Copied bytes are not re-encoded, so one with bit 7 set would break the dump.
    if (const size_t at = findNonDataByte(data, size); at < size)
    {
        K1_LOG("Invalid PHm data byte " << int(data[at]) << " at offset " << at << ", expected 0-127");
        return false;
    }

    out.assign(kDataAt + kSingleBlockSize + 1, 0);
    writeHeader(out, channel, kOneBlockDump);
    out[kSub1At] = 0;
    out[kSub2At] = number;
    uint8_t* block = out.data() + kDataAt;
    writeName(block + kName, name.c_str(), kNameLength);
    std::memcpy(block + kVolume, data, kPhmCommonSize);
    block[kMute] = 0;
    std::memcpy(block + kFine, data + kPhmCommonSize, kPhmSourcesSize);
    block[kChecksum] = getChecksum(block, kChecksum);
    out.back() = kEnd;
    return true;
}
} // namespace k1lib
