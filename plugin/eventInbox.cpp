#include "plugin/eventInbox.h"

#include <algorithm>
#include <cstring>

namespace k1lib
{
EventInbox::EventInbox()
{
    for (Side& side : m_sides)
    {
        side.slots = std::make_unique<Slot[]>(kMaxEvents);
        side.bytes = std::make_unique<uint8_t[]>(kMaxSysexBytes);
    }
    m_taken.reserve(kMaxEvents);
}

bool EventInbox::add(const SMidiEvent& event)
{
    // Counted in: the render does not swap the sides until every add() that
    // entered this side has left it.
    const uint32_t state = m_state.fetch_add(kOneWriter, std::memory_order_acquire);
    Side& side = m_sides[state & kSideBit];
    const size_t size = event.sysexSize();
    bool fits = size <= kMaxSysexBytes;
    size_t at = 0;
    if (fits && size > 0)
    {
        at = side.claimedBytes.fetch_add(size, std::memory_order_relaxed);
        fits = at <= kMaxSysexBytes - size;
    }
    if (fits)
    {
        const size_t n = side.claimed.fetch_add(1, std::memory_order_relaxed);
        fits = n < kMaxEvents;
        if (fits)
        {
            Slot& slot = side.slots[n];
            slot.status = event.status;
            slot.data1 = event.data1;
            slot.data2 = event.data2;
            slot.sampleOffset = event.sampleOffset;
            slot.byteOffset = static_cast<uint32_t>(at);
            slot.size = static_cast<uint32_t>(size);
            if (size > 0)
                std::memcpy(side.bytes.get() + at, event.sysexData(), size);
        }
    }
    m_state.fetch_sub(kOneWriter, std::memory_order_release);
    if (!fits)
        m_refused.fetch_add(1, std::memory_order_relaxed);
    return fits;
}

std::vector<SMidiEvent>& EventInbox::take()
{
    m_taken.clear();
    uint32_t state = m_state.load(std::memory_order_acquire);
    // The side add() does not write held the last block's events: emptied,
    // it becomes add()'s next, unless an add() is in progress right now.
    Side& next = m_sides[(state & kSideBit) ^ 1];
    next.claimed.store(0, std::memory_order_relaxed);
    next.claimedBytes.store(0, std::memory_order_relaxed);
    if (state >= kOneWriter ||
        !m_state.compare_exchange_strong(state, state ^ kSideBit, std::memory_order_acq_rel))
        return m_taken;
    // Every add() that wrote into this side has left it.
    const Side& full = m_sides[state & kSideBit];
    const size_t count = std::min(full.claimed.load(std::memory_order_relaxed), kMaxEvents);
    for (size_t n = 0; n < count; ++n)
    {
        const Slot& slot = full.slots[n];
        SMidiEvent& event = m_taken.emplace_back();
        event.status = slot.status;
        event.data1 = slot.data1;
        event.data2 = slot.data2;
        event.sampleOffset = slot.sampleOffset;
        if (slot.size > 0)
        {
            event.sysexView = full.bytes.get() + slot.byteOffset;
            event.sysexViewSize = slot.size;
        }
    }
    return m_taken;
}
} // namespace k1lib
