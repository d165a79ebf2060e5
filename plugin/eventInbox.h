#pragma once

// The events the host delivers for the next block, double-buffered between
// the host's event delivery and the block render without a lock: delivery
// writes into one side while the render reads the other, and the render
// swaps the sides at the start of each block.
//
// Each side holds at most kMaxEvents events and kMaxSysexBytes bytes of
// system-exclusive messages, reserved at construction: what arrives beyond
// that in one block is refused and counted (the facade logs the count).
// Events are copied in; their messages are copied into the side's own bytes.
//
// Threads: add() from any number of threads at once (a host may deliver
// from its audio thread and from a MIDI or sequencer thread); each claims a
// slot and a stretch of bytes of its own. take() from the render only.
// Nobody ever waits for anybody: a take() that meets an add() in progress
// takes nothing, and the events wait for the next block.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "patch/instrumentTypes.h"

namespace k1lib
{
class EventInbox
{
public:
    static constexpr size_t kMaxEvents = 4096;
    static constexpr size_t kMaxSysexBytes = 64 * 1024;

    EventInbox();
    EventInbox(const EventInbox&) = delete;
    EventInbox& operator=(const EventInbox&) = delete;

    // False, and counted, when the block's storage is full.
    bool add(const SMidiEvent& event);
    // The events delivered since the last take (each delivering thread's in
    // its order), with their bytes. The list is the render's until the next
    // take.
    std::vector<SMidiEvent>& take();
    // Events refused since the last call.
    uint64_t takeRefused() { return m_refused.exchange(0, std::memory_order_relaxed); }

private:
    struct Slot
    {
        uint8_t status = 0;
        uint8_t data1 = 0;
        uint8_t data2 = 0;
        int32_t sampleOffset = 0;
        uint32_t byteOffset = 0;
        uint32_t size = 0; // bytes of its message, 0 for a short one
    };
    struct Side
    {
        std::unique_ptr<Slot[]> slots;     // kMaxEvents
        std::unique_ptr<uint8_t[]> bytes;  // kMaxSysexBytes
        std::atomic<size_t> claimed{0};    // slots handed out; beyond kMaxEvents, refused
        std::atomic<size_t> claimedBytes{0};
    };
    static constexpr uint32_t kSideBit = 1;   // the side add() writes
    static constexpr uint32_t kOneWriter = 2; // the count of add()s in progress, above the side bit

    Side m_sides[2];
    std::vector<SMidiEvent> m_taken; // capacity kMaxEvents
    std::atomic<uint32_t> m_state{0};
    std::atomic<uint64_t> m_refused{0};
};
} // namespace k1lib
