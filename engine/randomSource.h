#pragma once

// The engine's own pseudo-random numbers: random wave start points and the
// LFO's "Random" shape. Each engine (and each section LFO) draws from its own
// generator, so one instance's sound never depends on another instance in the
// same process, and a fresh instance always plays the same sequence. No lock,
// no allocation; not thread-safe (audio thread, under the engine lock).

#include <cstdint>

namespace k1lib
{
class RandomSource
{
public:
    static constexpr uint64_t kDefaultSeed = 0x4b31u; // the same for every fresh instance

    explicit RandomSource(uint64_t seed = kDefaultSeed) { this->seed(seed); }

    void seed(uint64_t seed) { m_state = seed; }

    // A whole number 0 .. 2^31 - 1 (the range of the C library's rand()),
    // taken from the high bits of a 64-bit splitmix step.
    uint32_t next()
    {
        m_state += 0x9e3779b97f4a7c15ull;
        uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        z ^= z >> 31;
        return static_cast<uint32_t>(z >> 33);
    }

private:
    uint64_t m_state = 0;
};
} // namespace k1lib
