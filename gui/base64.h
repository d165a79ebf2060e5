#pragma once

// Base64 (RFC 4648, standard alphabet) as UI descriptions store inline
// bitmaps. Whitespace is skipped; anything else outside the alphabet, or
// padding in the wrong place, makes the decode fail.

#include <cstdint>
#include <string_view>
#include <vector>

namespace VSTGUI
{
bool decodeBase64(std::string_view text, std::vector<uint8_t>& out);
} // namespace VSTGUI
