// The parts the single and the multi block share: checksum and name field.

#include "patch/presets.h"

#include <cstring>

#include "patch/blockLayout.h"

namespace k1lib
{
uint8_t getChecksum(const uint8_t* data, size_t length)
{
    // Only the low seven bits survive, so an 8-bit running sum is enough.
    uint8_t sum = 0xA5;
    for (size_t i = 0; i < length; ++i)
        sum = static_cast<uint8_t>(sum + data[i]);
    return sum & kDataByteMask;
}

bool readName(char* dest, const uint8_t* src, size_t length)
{
    std::memset(dest, 0, length + 1);
    for (size_t i = 0; i < length && src[i] != 0; ++i)
        dest[i] = static_cast<char>(src[i]);
    for (size_t i = length; i > 0 && dest[i - 1] == kBlank; --i)
        dest[i - 1] = 0;
    return dest[0] != 0;
}

void writeName(uint8_t* dest, const char* name, size_t length)
{
    std::memset(dest, kBlank, length);
    for (size_t i = 0; i < length && name[i] != 0; ++i)
    {
        // Anything but printable ASCII would break the 7-bit frame or show as
        // garbage on the K1's display.
        const auto c = static_cast<uint8_t>(name[i]);
        dest[i] = (c >= kBlank && c <= kLastPrintable) ? c : kBlank;
    }
}
} // namespace k1lib
