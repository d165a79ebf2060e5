#include "plugin/eventInbox.h"

#include <cstring>

namespace k1lib
{
EventInbox::EventInbox()
{
    for (Side& side : m_sides)
    {
        side.events.reserve(kMaxEvents);
        side.bytes.reserve(kMaxSysexBytes);
    }
}

bool EventInbox::add(const SMidiEvent& event)
{
    const uint32_t state = m_state.fetch_or(kBusy, std::memory_order_acquire);
    Side& side = m_sides[state & kSideBit];
    const size_t size = event.sysexSize();
    const size_t used = side.bytes.size();
    const bool fits = side.events.size() < kMaxEvents && size <= kMaxSysexBytes - used;
    if (fits)
    {
        SMidiEvent& copy = side.events.emplace_back();
        copy.status = event.status;
        copy.data1 = event.data1;
        copy.data2 = event.data2;
        copy.sampleOffset = event.sampleOffset;
        if (size > 0)
        {
            // Within the reserved capacity: bytes already taken never move.
            side.bytes.resize(used + size);
            std::memcpy(side.bytes.data() + used, event.sysexData(), size);
            copy.sysexView = side.bytes.data() + used;
            copy.sysexViewSize = static_cast<uint32_t>(size);
        }
    }
    m_state.fetch_and(~kBusy, std::memory_order_release);
    if (!fits)
        m_refused.fetch_add(1, std::memory_order_relaxed);
    return fits;
}

std::vector<SMidiEvent>& EventInbox::take()
{
    uint32_t state = m_state.load(std::memory_order_acquire);
    // The render's side is the one add() does not write: emptied, it becomes
    // add()'s next, unless an add() is in progress right now.
    Side& mine = m_sides[(state & kSideBit) ^ 1];
    mine.events.clear();
    mine.bytes.clear();
    if ((state & kBusy) != 0 ||
        !m_state.compare_exchange_strong(state, state ^ kSideBit, std::memory_order_acq_rel))
        return mine.events;
    return m_sides[state & kSideBit].events;
}
} // namespace k1lib
