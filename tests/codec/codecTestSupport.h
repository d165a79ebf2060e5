#pragma once

// Helpers of the codec tests: blocks built from records, checksum repair
// after a test pokes a byte, and log capture with line numbers taken out.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "patch/presets.h"
#include "patch/sysex.h"

namespace codecTest
{
inline std::array<uint8_t, k1lib::kSingleBlockSize> blockOf(const k1lib::SinglePreset& preset)
{
    std::array<uint8_t, k1lib::kSingleBlockSize> block{};
    k1lib::writeSingle(block.data(), preset);
    return block;
}

inline std::array<uint8_t, k1lib::kMultiBlockSize> blockOf(const k1lib::MultiPreset& multi)
{
    std::array<uint8_t, k1lib::kMultiBlockSize> block{};
    k1lib::writeMulti(block.data(), multi);
    return block;
}

// Recomputes the last byte of a block after a test changed another one.
template <size_t N>
void fixChecksum(std::array<uint8_t, N>& block)
{
    block[N - 1] = k1lib::getChecksum(block.data(), N - 1);
}

inline k1lib::SinglePreset namedSingle(const char* name)
{
    k1lib::SinglePreset p{};
    std::memcpy(p.name, name, std::min(std::strlen(name), k1lib::kNameLength));
    p.volume = 80;
    p.pitchBendDepth = 2;
    for (k1lib::SingleSource& s : p.sources)
    {
        s.fine = 50;
        s.coarse = 60;
        s.envLevel = 100;
        s.envSustain = 70;
    }
    return p;
}

inline k1lib::MultiPreset namedMulti(const char* name)
{
    k1lib::MultiPreset m{};
    std::memcpy(m.name, name, std::min(std::strlen(name), k1lib::kNameLength));
    m.volume = 90;
    for (k1lib::MultiSection& s : m.sections)
    {
        s.zoneHigh = 127;
        s.level = 100;
        s.output = 1;
    }
    return m;
}

// Starts capturing standard output, where log lines go.
inline void startLog()
{
    testing::internal::CaptureStdout();
}

// The captured log lines with the "@<line>" part removed:
// "readSingle: Invalid checksum, expected 37 but got 38".
inline std::vector<std::string> stopLog()
{
    const std::string text = testing::internal::GetCapturedStdout();
    static const std::regex lineNumber("^(\\w+)@[0-9]+: ");
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < text.size())
    {
        size_t to = text.find('\n', from);
        if (to == std::string::npos)
            to = text.size();
        lines.push_back(std::regex_replace(text.substr(from, to - from), lineNumber, "$1: "));
        from = to + 1;
    }
    return lines;
}

inline std::vector<uint8_t> bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}
} // namespace codecTest
