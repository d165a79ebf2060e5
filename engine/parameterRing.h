#pragma once

// A fixed ring of N entries for one producer and one consumer: the producer
// appends at the write index, the consumer takes from the read index; both
// indices wrap from N - 1 to 0 and only the count is shared atomically. No
// allocation, no locks. Whoever fills it guarantees that it never holds more
// than N entries; a push into a full ring is refused rather than overwrite.

#include <atomic>
#include <cstdint>

#include "patch/staticArray.h"

namespace k1lib
{
template <typename T, uint32_t N>
class ParameterRing
{
public:
    static_assert(std::atomic<uint32_t>::is_always_lock_free);

    bool push(const T& value)
    {
        if (m_count.load(std::memory_order_acquire) >= N)
            return false;
        m_items[m_write] = value;
        m_write = next(m_write);
        m_count.fetch_add(1, std::memory_order_release);
        return true;
    }

    // Removes the entry at the read index; the caller checked count() > 0.
    T pop()
    {
        const T value = m_items[m_read];
        m_read = next(m_read);
        m_count.fetch_sub(1, std::memory_order_release);
        return value;
    }

    // Removes every entry at once (one atomic update instead of one each).
    void popAll()
    {
        const uint32_t n = m_count.load(std::memory_order_acquire);
        m_read = wrap(m_read + n);
        m_count.fetch_sub(n, std::memory_order_release);
    }

    // Appends n entries at once, as n pushes would; false (nothing appended)
    // when they do not fit.
    bool pushAll(const T* values, uint32_t n)
    {
        if (m_count.load(std::memory_order_acquire) + n > N)
            return false;
        for (uint32_t i = 0; i < n; ++i)
        {
            m_items[m_write] = values[i];
            m_write = next(m_write);
        }
        m_count.fetch_add(n, std::memory_order_release);
        return true;
    }

    // The i-th entry counted from the read index (i below count()).
    T& at(uint32_t i) { return m_items[wrap(m_read + i)]; }
    const T& at(uint32_t i) const { return m_items[wrap(m_read + i)]; }

    uint32_t count() const { return m_count.load(std::memory_order_acquire); }
    uint64_t readIndex() const { return m_read; }

private:
    static uint64_t next(uint64_t index) { return index + 1 == N ? 0 : index + 1; }
    // Both indices stay below N, so one subtraction wraps any position.
    static uint64_t wrap(uint64_t index) { return index >= N ? index - N : index; }

    StaticArray<T, N> m_items;
    uint64_t m_write = 0;
    uint64_t m_read = 0;
    std::atomic<uint32_t> m_count{0};
};
} // namespace k1lib
