#include "engine/guardedWaves.h"

#include "engine/waveforms.h"

#include <algorithm>
#include <functional>

namespace k1lib
{
namespace
{
bool before(const char* aData, uint64_t aLength, const char* bData, uint64_t bLength)
{
    return std::less<const char*>()(aData, bData) || (aData == bData && aLength < bLength);
}
} // namespace

void GuardedWaves::build(const Waveforms& waves)
{
    m_entries.clear();
    for (const Waveforms::Waveform& wave : waves.waves)
    {
        for (const Waveforms::WaveformData& block : wave.keys)
        {
            if (block.data != nullptr && block.length > 0)
                m_entries.push_back({block.data, block.length, 0});
        }
    }
    std::sort(m_entries.begin(), m_entries.end(),
              [](const Entry& a, const Entry& b) { return before(a.data, a.length, b.data, b.length); });
    m_entries.erase(std::unique(m_entries.begin(), m_entries.end(),
                                [](const Entry& a, const Entry& b) { return a.data == b.data && a.length == b.length; }),
                    m_entries.end());

    uint64_t total = 0;
    for (Entry& e : m_entries)
    {
        e.offset = total;
        total += e.length + kGuardSamples;
    }
    m_samples.resize(total);
    for (const Entry& e : m_entries)
    {
        int8_t* out = m_samples.data() + e.offset;
        std::copy(e.data, e.data + e.length, out);
        for (uint64_t g = 0; g < kGuardSamples; ++g)
            out[e.length + g] = out[g % e.length];
    }
}

const int8_t* GuardedWaves::find(const char* data, uint64_t length) const
{
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), Entry{data, length, 0},
                                     [](const Entry& a, const Entry& b) { return before(a.data, a.length, b.data, b.length); });
    if (it == m_entries.end() || it->data != data || it->length != length)
        return nullptr;
    return m_samples.data() + it->offset;
}
} // namespace k1lib
