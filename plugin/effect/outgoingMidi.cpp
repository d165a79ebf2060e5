// The outgoing MIDI queue and the VstEvents blocks built from it.

#include "plugin/effect/outgoingMidi.h"

#include <algorithm>
#include <cstddef>

#include "patch/log.h"

namespace k1effect
{
namespace
{
constexpr size_t kReserved = 64;
} // namespace

OutgoingMidi::OutgoingMidi()
{
    m_queued.reserve(kReserved);
    m_taken.reserve(kReserved);
}

void OutgoingMidi::push(const k1lib::SMidiEvent& event)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_queued.size() >= kMaxQueued)
    {
        if (!m_dropping)
            K1_LOG("Outgoing MIDI queue full, the host is not rendering: dropping events");
        m_dropping = true;
        return;
    }
    m_dropping = false;
    m_queued.push_back(event);
}

bool OutgoingMidi::take()
{
    m_taken.clear();
    std::unique_lock<std::mutex> lock(m_lock, std::try_to_lock);
    if (!lock.owns_lock() || m_queued.empty())
        return false;
    // The storages change hands: both keep their capacity.
    m_taken.swap(m_queued);
    return true;
}

VstEvents* OutgoingMidi::build(bool sysex, VstInt32 frames)
{
    const VstInt32 lastFrame = std::max<VstInt32>(frames - 1, 0);
    size_t count = 0;
    for (const k1lib::SMidiEvent& e : m_taken)
        count += e.sysex.empty() != sysex ? 1 : 0;
    if (count == 0)
        return nullptr;

    m_midi.assign(sysex ? 0 : count, VstMidiEvent{});
    m_sysex.assign(sysex ? count : 0, VstMidiSysexEvent{});
    // The header declares room for two pointers; the list runs on past it.
    const size_t headerWords = offsetof(VstEvents, events) / sizeof(VstIntPtr);
    m_block.assign(headerWords + std::max<size_t>(count, 2), 0);
    auto* block = reinterpret_cast<VstEvents*>(m_block.data());
    VstEvent** list = block->events;

    size_t n = 0;
    for (k1lib::SMidiEvent& e : m_taken)
    {
        if (e.sysex.empty() == sysex)
            continue;
        const VstInt32 offset = std::clamp<VstInt32>(e.sampleOffset, 0, lastFrame);
        if (sysex)
        {
            VstMidiSysexEvent& s = m_sysex[n];
            s.type = kVstSysExType;
            s.byteSize = sizeof(VstMidiSysexEvent);
            s.deltaFrames = offset;
            s.dumpBytes = static_cast<VstInt32>(e.sysex.size());
            s.sysexDump = reinterpret_cast<char*>(e.sysex.data());
            list[n] = reinterpret_cast<VstEvent*>(&s);
        }
        else
        {
            VstMidiEvent& m = m_midi[n];
            m.type = kVstMidiType;
            m.byteSize = sizeof(VstMidiEvent);
            m.deltaFrames = offset;
            m.midiData[0] = static_cast<char>(e.status);
            m.midiData[1] = static_cast<char>(e.data1);
            m.midiData[2] = static_cast<char>(e.data2);
            list[n] = reinterpret_cast<VstEvent*>(&m);
        }
        ++n;
    }
    block->numEvents = static_cast<VstInt32>(n);
    return block;
}
} // namespace k1effect
