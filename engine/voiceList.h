#pragma once

// An ordered list of voice numbers (indexes into the multi's voice pool) with
// a fixed capacity: the oldest voice first. Removing a voice keeps the order
// of the others; nothing allocates. Voices themselves never move: lists hold
// their numbers only.

#include <cstddef>
#include <cstdint>

#include "patch/staticArray.h"

namespace k1lib
{
using VoiceId = uint16_t;

template <size_t N>
class VoiceList
{
public:
    static constexpr size_t kCapacity = N;

    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    bool full() const { return m_count == N; }
    VoiceId operator[](size_t i) const { return m_ids[i]; }
    VoiceId front() const { return m_ids[0]; }

    // The caller checks full() first.
    void push_back(VoiceId id) { m_ids[m_count++] = id; }

    void erase(size_t i)
    {
        for (size_t j = i + 1; j < m_count; ++j)
            m_ids[j - 1] = m_ids[j];
        --m_count;
    }
    void clear() { m_count = 0; }

private:
    StaticArray<VoiceId, N> m_ids;
    size_t m_count = 0;
};
} // namespace k1lib
