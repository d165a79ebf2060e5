#pragma once

// A handful of hand-made presets for the demo dump: enough to show singles
// and multis of both memories in one .syx file.

#include <cstdint>
#include <vector>

namespace syxlist
{
// The demo dump: a page of three singles, one single on its own and a page
// of two multis, back to back as one .syx file.
std::vector<uint8_t> makeDemoDump();
} // namespace syxlist
