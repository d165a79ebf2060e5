#pragma once

// Helpers of the state chunk tests: reading and patching the fields of a
// saved block, finding where its parts sit, rewriting it as an older
// version, and an engine whose every preset differs from the factory one
// (so that a preset in a wrong slot cannot go unnoticed).

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/stateChunk.h"
#include "tests/store/storeTestSupport.h"

namespace k1store
{
using Block = std::vector<uint8_t>;

inline uint32_t u32At(const Block& b, size_t at)
{
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

inline void putU32(Block& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

inline void putFloat(Block& b, size_t at, float f)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    putU32(b, at, bits);
}

inline float floatAt(const Block& b, size_t at)
{
    const uint32_t bits = u32At(b, at);
    float f = 0.0f;
    std::memcpy(&f, &bits, 4);
    return f;
}

// Where the variable part of a version 4 block sits.
struct Layout
{
    size_t customSize, currentSingle, singleCount, singleBytes, singles;
    size_t currentMulti, multiCount, multiBytes, multis, end;

    explicit Layout(const Block& b)
    {
        customSize = k1lib::stateChunk::kCustomSizeAt;
        currentSingle = k1lib::stateChunk::kCustomAt + u32At(b, customSize);
        singleCount = currentSingle + 4;
        singleBytes = singleCount + 4;
        singles = singleBytes + 4;
        currentMulti = singles + u32At(b, singleBytes);
        multiCount = currentMulti + 4;
        multiBytes = multiCount + 4;
        multis = multiBytes + 4;
        end = multis + u32At(b, multiBytes);
    }
};

inline Block slice(const Block& b, size_t from, size_t to)
{
    return Block(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(to));
}

inline void append(Block& b, const Block& more) { b.insert(b.end(), more.begin(), more.end()); }

inline void appendU32(Block& b, uint32_t v)
{
    b.resize(b.size() + 4);
    putU32(b, b.size() - 4, v);
}

// The same state as version 3: both current indexes 64 bits wide.
inline Block asVersion3(const Block& v4)
{
    const Layout l(v4);
    Block b = slice(v4, 0, l.currentSingle);
    putU32(b, 0, 3);
    append(b, slice(v4, l.currentSingle, l.currentSingle + 4));
    appendU32(b, 0);
    append(b, slice(v4, l.singleCount, l.currentMulti + 4));
    appendU32(b, 0);
    append(b, slice(v4, l.multiCount, l.end));
    return b;
}

// Version 2 (or 1 without custom data): no play mode, the singles stream
// runs to the end, no multis.
inline Block asVersion2(const Block& v4, bool withCustomData = true)
{
    const Layout l(v4);
    Block b;
    appendU32(b, withCustomData ? 2 : 1);
    append(b, slice(v4, k1lib::stateChunk::kConfigSizeAt, k1lib::stateChunk::kPlayModeAt));
    append(b, slice(v4, k1lib::stateChunk::kParamCountAt, k1lib::stateChunk::kCustomSizeAt));
    if (withCustomData)
        append(b, slice(v4, l.customSize, l.currentSingle));
    append(b, slice(v4, l.currentSingle, l.singleBytes));
    append(b, slice(v4, l.singles, l.currentMulti));
    return b;
}

// Every single and multi different from the factory's and from each other.
inline void fillDistinct(StoreEngine& t, uint32_t seed)
{
    std::vector<k1lib::SinglePreset> singles;
    for (size_t i = 0; i < t->getSingleCount(); ++i)
        singles.push_back(distinctSingle(seed + static_cast<uint32_t>(i)));
    std::vector<k1lib::MultiPreset> multis;
    for (size_t i = 0; i < t->getMultiCount(); ++i)
        multis.push_back(distinctMulti(seed + static_cast<uint32_t>(i)));
    for (size_t first = 0; first < singles.size(); first += 32)
        t->setSingles(first, std::vector<k1lib::SinglePreset>(singles.begin() + static_cast<std::ptrdiff_t>(first),
                                                               singles.begin() + static_cast<std::ptrdiff_t>(std::min(first + 32, singles.size()))));
    for (size_t first = 0; first < multis.size(); first += 32)
        t->setMultis(first, std::vector<k1lib::MultiPreset>(multis.begin() + static_cast<std::ptrdiff_t>(first),
                                                             multis.begin() + static_cast<std::ptrdiff_t>(std::min(first + 32, multis.size()))));
}

inline std::vector<k1lib::SinglePreset> singlesOf(const k1lib::Engine& e)
{
    return std::vector<k1lib::SinglePreset>(e.getSinglePreset(0), e.getSinglePreset(0) + e.getSingleCount());
}

inline std::vector<k1lib::MultiPreset> multisOf(const k1lib::Engine& e)
{
    return std::vector<k1lib::MultiPreset>(e.getMultiPreset(0), e.getMultiPreset(0) + e.getMultiCount());
}

inline std::vector<uint32_t> parameterBits(const k1lib::Engine& e)
{
    std::vector<uint32_t> bits(k1lib::kParamCount);
    for (uint32_t p = 0; p < k1lib::kParamCount; ++p)
    {
        const float v = e.getParameter(static_cast<k1lib::EParam>(p));
        std::memcpy(&bits[p], &v, 4);
    }
    return bits;
}
} // namespace k1store
