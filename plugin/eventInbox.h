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
// Threads: add() from one thread at a time (the host's event delivery);
// take() from the render only. Neither ever waits for the other: a take()
// that meets an add() in progress takes nothing, and the events wait for
// the next block.

#include <atomic>
#include <cstddef>
#include <cstdint>
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
    // The events delivered since the last take, in delivery order, with their
    // bytes. The list is the render's until the next take.
    std::vector<SMidiEvent>& take();
    // Events refused since the last call.
    uint64_t takeRefused() { return m_refused.exchange(0, std::memory_order_relaxed); }

private:
    struct Side
    {
        std::vector<SMidiEvent> events;
        std::vector<uint8_t> bytes; // capacity kMaxSysexBytes, never grown
    };
    static constexpr uint32_t kSideBit = 1; // the side add() writes
    static constexpr uint32_t kBusy = 2;    // an add() is in progress

    Side m_sides[2];
    std::atomic<uint32_t> m_state{0};
    std::atomic<uint64_t> m_refused{0};
};
} // namespace k1lib
