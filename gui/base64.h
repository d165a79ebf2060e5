#pragma once

// Base64 (RFC 4648, standard alphabet) as UI descriptions store inline
// bitmaps. Decoding: Whitespace is skipped; anything else outside the alphabet, or
// padding in the wrong place, makes the decode fail.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace VSTGUI
{
bool decodeBase64(std::string_view text, std::vector<uint8_t>& out);
// The padded encoding of bytes, on one line.
std::string encodeBase64(const uint8_t* bytes, size_t size);
} // namespace VSTGUI
