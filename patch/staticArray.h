#pragma once

// A fixed-size array of N elements with indexed access and element-wise
// equality. Used wherever the count is part of the design (sections of a
// multi, MIDI channels, waveforms, voice lists) so that no size ever changes
// after construction.

#include <array>
#include <cstddef>

template <typename T, size_t N>
class StaticArray
{
public:
    static constexpr size_t kSize = N;

    constexpr T& operator[](size_t i) { return m_items[i]; }
    constexpr const T& operator[](size_t i) const { return m_items[i]; }

    static constexpr size_t size() { return N; }

    constexpr T* begin() { return m_items.data(); }
    constexpr T* end() { return m_items.data() + N; }
    constexpr const T* begin() const { return m_items.data(); }
    constexpr const T* end() const { return m_items.data() + N; }
    constexpr T* data() { return m_items.data(); }
    constexpr const T* data() const { return m_items.data(); }

    void fill(const T& value) { m_items.fill(value); }

    // Compares the elements in order and stops at the first difference.
    bool operator==(const StaticArray& other) const
    {
        for (size_t i = 0; i < N; ++i)
        {
            if (!(m_items[i] == other.m_items[i]))
                return false;
        }
        return true;
    }
    bool operator!=(const StaticArray& other) const { return !(*this == other); }

private:
    std::array<T, N> m_items{};
};
