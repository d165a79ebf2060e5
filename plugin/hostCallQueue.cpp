#include "plugin/hostCallQueue.h"

#include <cstring>
#include <utility>

namespace k1lib
{
HostCallQueue::HostCallQueue()
{
    m_midi.reserve(kMaxMidiEvents);
    m_bytes.reserve(kMaxMidiBytes);
}

bool HostCallQueue::pushMidi(const SMidiEvent& event)
{
    const size_t size = event.sysexSize();
    const size_t used = m_bytes.size();
    if (m_midi.size() == kMaxMidiEvents || size > kMaxMidiBytes - used)
    {
        ++m_droppedMidi;
        return false;
    }
    SMidiEvent& slot = m_midi.emplace_back();
    slot.status = event.status;
    slot.data1 = event.data1;
    slot.data2 = event.data2;
    slot.sampleOffset = event.sampleOffset;
    if (size > 0)
    {
        // Within the reserved capacity: the bytes before never move.
        m_bytes.resize(used + size);
        std::memcpy(m_bytes.data() + used, event.sysexData(), size);
        slot.sysexView = m_bytes.data() + used;
        slot.sysexViewSize = static_cast<uint32_t>(size);
    }
    return true;
}

void HostCallQueue::deliver(IPluginListener& listener, const std::atomic<float>* currentValues)
{
    for (const SMidiEvent& event : m_midi)
        listener.sendMidi(event);
    if (m_changes.empty())
        return;
    if (currentValues)
        m_changes.forEachParameter([&](EParam param, float) {
            m_changes.setValue(param, currentValues[param].load(std::memory_order_relaxed));
        });
    listener.onChanges(m_changes);
}

void HostCallQueue::clear()
{
    m_changes.clear();
    m_midi.clear();
    m_bytes.clear();
}

void HostCallQueue::swap(HostCallQueue& other) noexcept
{
    std::swap(m_changes, other.m_changes);
    m_midi.swap(other.m_midi);
    m_bytes.swap(other.m_bytes);
    std::swap(m_droppedMidi, other.m_droppedMidi);
}

size_t HostCallQueue::takeDroppedMidi()
{
    return std::exchange(m_droppedMidi, 0);
}
} // namespace k1lib
