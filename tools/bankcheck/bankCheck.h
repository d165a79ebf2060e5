#pragma once

// Validation of a factory bank file: a K1 bank (8,091 bytes: three all-block
// dumps on channel 0, internal memory, singles 1-32, singles 33-64, multis
// 1-32) or the PHm data (19,400 bytes: 200 one-single dumps numbered k mod 64).
// Checks size, framing, checksums, 7-bit data, stored ranges, printable and
// unique names; every problem found becomes one entry of problems.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bankcheck
{
enum class Kind
{
    K1Bank,
    Phm,
};

constexpr size_t kK1BankSize = 8091;
constexpr size_t kPhmSize = 19400;

struct Report
{
    size_t singles = 0;
    size_t multis = 0;
    std::vector<std::string> problems;
};

Report check(Kind kind, const uint8_t* data, size_t size);

// "<label>: ok, 64 singles, 32 multis" or "<label>: FAILED, <first problem>
// (and n more)".
std::string summary(const std::string& label, const Report& report);
} // namespace bankcheck
