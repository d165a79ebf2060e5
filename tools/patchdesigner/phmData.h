#pragma once

// A single as PHm data: the 76 bytes of its K1 block without the name, the
// source mute byte and the checksum (what convertPhmPreset takes).

#include <cstdint>
#include <vector>

#include "patch/presets.h"

namespace designer
{
std::vector<uint8_t> toPhmData(const k1lib::SinglePreset& single);
} // namespace designer
