// The outgoing MIDI ring, the block's list and the VstEvents built from it.

#include "vst/outgoingMidi.h"

#include <algorithm>
#include <cstring>

#include "patch/log.h"

namespace k1effect
{
namespace
{
// The VstEvents header declares room for two pointers; the list runs on past it.
constexpr size_t kHeaderWords = offsetof(VstEvents, events) / sizeof(VstIntPtr);
} // namespace

OutgoingMidi::OutgoingMidi()
    : m_waiting(kMaxEvents), m_ring(kMaxBytes)
{
    m_block.reserve(kMaxEvents);
    m_blockBytes.reserve(kMaxBytes);
    m_midi.reserve(kMaxEvents);
    m_sysex.reserve(kMaxEvents);
    m_header.reserve(kHeaderWords + kMaxEvents);
}

void OutgoingMidi::beginRender()
{
    m_renderThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
}

void OutgoingMidi::endRender()
{
    m_renderThread.store(std::thread::id(), std::memory_order_relaxed);
    m_block.clear();
    m_blockBytes.clear();
}

void OutgoingMidi::dropped()
{
    m_dropped.fetch_add(1, std::memory_order_relaxed);
    if (!m_dropping.exchange(true, std::memory_order_relaxed))
        K1_LOG("Outgoing MIDI queue full, the host is not rendering: dropping events");
}

bool OutgoingMidi::append(uint8_t status, uint8_t data1, uint8_t data2, int32_t offset, const uint8_t* bytes,
                          size_t size)
{
    const size_t used = m_blockBytes.size();
    if (m_block.size() == kMaxEvents || size > kMaxBytes - used)
        return false;
    k1lib::SMidiEvent& e = m_block.emplace_back();
    e.status = status;
    e.data1 = data1;
    e.data2 = data2;
    e.sampleOffset = offset;
    if (size > 0)
    {
        // Within the reserved capacity: the bytes before never move.
        m_blockBytes.resize(used + size);
        std::memcpy(m_blockBytes.data() + used, bytes, size);
        e.sysexView = m_blockBytes.data() + used;
        e.sysexViewSize = static_cast<uint32_t>(size);
    }
    return true;
}

void OutgoingMidi::push(const k1lib::SMidiEvent& event)
{
    const uint8_t* bytes = event.sysexData();
    const size_t size = event.sysexSize();
    if (m_renderThread.load(std::memory_order_relaxed) == std::this_thread::get_id())
    {
        if (!append(event.status, event.data1, event.data2, event.sampleOffset, bytes, size))
            dropped();
        return;
    }

    std::lock_guard<std::mutex> producers(m_producers);
    const uint64_t written = m_waitingWritten.load(std::memory_order_relaxed);
    uint64_t at = m_bytesWritten.load(std::memory_order_relaxed);
    // A message never wraps: one that does not fit before the ring's end
    // starts at its beginning, and the bytes skipped count as used.
    if (size > 0 && at % kMaxBytes + size > kMaxBytes)
        at += kMaxBytes - at % kMaxBytes;
    const bool fits = written - m_waitingRead.load(std::memory_order_acquire) < kMaxEvents &&
                      at + size - m_bytesRead.load(std::memory_order_acquire) <= kMaxBytes;
    if (!fits)
    {
        dropped();
        return;
    }
    m_dropping.store(false, std::memory_order_relaxed);
    Waiting& w = m_waiting[written % kMaxEvents];
    w.status = event.status;
    w.data1 = event.data1;
    w.data2 = event.data2;
    w.sampleOffset = event.sampleOffset;
    w.size = static_cast<uint32_t>(size);
    w.bytesAt = at;
    w.bytesEnd = at + size;
    if (size > 0)
        std::memcpy(m_ring.data() + at % kMaxBytes, bytes, size);
    m_bytesWritten.store(at + size, std::memory_order_release);
    m_waitingWritten.store(written + 1, std::memory_order_release);
}

bool OutgoingMidi::take()
{
    // Events that waited came before the block's own.
    const uint64_t written = m_waitingWritten.load(std::memory_order_acquire);
    uint64_t read = m_waitingRead.load(std::memory_order_relaxed);
    const size_t ownCount = m_block.size();
    // Appended after the block's own events, then rotated before them.
    for (; read < written; ++read)
    {
        const Waiting& w = m_waiting[read % kMaxEvents];
        if (!append(w.status, w.data1, w.data2, w.sampleOffset, m_ring.data() + w.bytesAt % kMaxBytes, w.size))
            break; // the rest waits for the next block
        m_bytesRead.store(w.bytesEnd, std::memory_order_release);
    }
    m_waitingRead.store(read, std::memory_order_release);
    std::rotate(m_block.begin(), m_block.begin() + static_cast<std::ptrdiff_t>(ownCount), m_block.end());
    return !m_block.empty();
}

VstEvents* OutgoingMidi::build(bool sysex, VstInt32 frames)
{
    const VstInt32 lastFrame = std::max<VstInt32>(frames - 1, 0);
    size_t count = 0;
    for (const k1lib::SMidiEvent& e : m_block)
        count += e.isSysex() == sysex ? 1 : 0;
    if (count == 0)
        return nullptr;

    m_midi.assign(sysex ? 0 : count, VstMidiEvent{});
    m_sysex.assign(sysex ? count : 0, VstMidiSysexEvent{});
    m_header.assign(kHeaderWords + std::max<size_t>(count, 2), 0);
    auto* block = reinterpret_cast<VstEvents*>(m_header.data());
    VstEvent** list = block->events;

    size_t n = 0;
    for (const k1lib::SMidiEvent& e : m_block)
    {
        if (e.isSysex() != sysex)
            continue;
        const VstInt32 offset = std::clamp<VstInt32>(e.sampleOffset, 0, lastFrame);
        if (sysex)
        {
            VstMidiSysexEvent& s = m_sysex[n];
            s.type = kVstSysExType;
            s.byteSize = sizeof(VstMidiSysexEvent);
            s.deltaFrames = offset;
            s.dumpBytes = static_cast<VstInt32>(e.sysexSize());
            s.sysexDump = const_cast<char*>(reinterpret_cast<const char*>(e.sysexData()));
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
