#pragma once

// The wave set's sample blocks as the sources play them: one copy of every
// distinct block, each followed by its first three samples again. Reading the
// sample after the last one then needs no wrap, and four bytes can be read at
// any index of a block (the wide reads of the wave kernels). Rebuilt by every
// load of the wave set, read-only afterwards; lookups at note-on are a
// binary search.

#include <cstdint>
#include <vector>

namespace k1lib
{
class Waveforms;

class GuardedWaves
{
public:
    static constexpr uint64_t kGuardSamples = 3;

    GuardedWaves() = default;
    GuardedWaves(const GuardedWaves&) = delete;
    GuardedWaves& operator=(const GuardedWaves&) = delete;

    void build(const Waveforms& waves);

    // The guarded copy of a block of the wave set (its data pointer and
    // length); null for a block the set does not hold.
    const int8_t* find(const char* data, uint64_t length) const;

private:
    struct Entry
    {
        const char* data;
        uint64_t length;
        uint64_t offset; // into m_samples
    };
    std::vector<Entry> m_entries; // sorted by data, then length
    std::vector<int8_t> m_samples;
};
} // namespace k1lib
