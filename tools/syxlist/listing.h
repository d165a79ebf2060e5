#pragma once

// The lines syxlist prints: one per preset (kind, K1 number, name, a few key
// fields), and, for a dump that an import would keep only in part, where it
// stopped and why.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "patch/presets.h"

namespace syxlist
{
std::string singleLine(const std::string& number, const k1lib::SinglePreset& p);
// Section singles are numbers in the dump, or slot labels from singlesOffset.
std::string multiLine(const std::string& number, const k1lib::MultiPreset& m, const size_t* singlesOffset = nullptr);

// Appends the lines of every message in bytes, each parsed on its own so that
// every preset gets its number from the dump it came in. A dump with a
// damaged block lists the presets before it, as an import keeps them, and a
// line saying where it stopped. Returns the presets listed.
size_t listDumps(const std::vector<uint8_t>& bytes, std::string& out);
} // namespace syxlist
