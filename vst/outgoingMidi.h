#pragma once

// The instrument's outgoing MIDI on its way to the host. Events arrive from
// any thread (K1 parameter changes and dumps sent from the editor on the UI
// thread, sysex replies on the audio thread) and are handed to the host only
// from processReplacing, where hosts expect them, as VstEvents blocks: short
// messages first, then system-exclusive ones, each batch in arrival order.
// Offsets are samples within the block being rendered.
//
// Threads: events pushed by the render thread while it renders go straight
// into the block's list; events from any other thread wait in a fixed ring
// (producers take turns on a lock of their own; the render thread reads the
// ring without one). Neither side ever waits for the other. Everything is
// reserved at construction; what does not fit is dropped and counted, with
// a log line.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "patch/instrumentTypes.h"
#include "vst/sdk/aeffectx.h"

namespace k1effect
{
class OutgoingMidi
{
public:
    static constexpr size_t kMaxEvents = 512;        // per block handed to the host
    static constexpr size_t kMaxBytes = 64 * 1024;   // of sysex per block, and waiting

    OutgoingMidi();

    // Render thread: marks the render of a block (pushes from this thread
    // then join the block's list), and its end.
    void beginRender();
    void endRender();

    // Any thread.
    void push(const k1lib::SMidiEvent& event);

    // Render thread: adds the waiting events to the block's list (false when
    // the list is empty).
    bool take();
    // Render thread: the short messages (sysex false) or the system-exclusive
    // messages (sysex true) of the block's list as one VstEvents block, with
    // offsets clamped into 0..frames-1; null when there are none. Valid until
    // the next call.
    VstEvents* build(bool sysex, VstInt32 frames);

private:
    struct Waiting
    {
        uint8_t status = 0;
        uint8_t data1 = 0;
        uint8_t data2 = 0;
        int32_t sampleOffset = 0;
        uint32_t size = 0;     // sysex bytes
        uint64_t bytesAt = 0;  // where they start in the byte ring (running count)
        uint64_t bytesEnd = 0; // the byte ring's write count after them
    };

    // Render thread: appends an event to the block's list; false when full.
    bool append(uint8_t status, uint8_t data1, uint8_t data2, int32_t offset, const uint8_t* bytes, size_t size);
    void dropped();

    // The ring: written by one producer at a time (m_producers), read by the
    // render thread. Counts run on; positions are counts modulo the size.
    std::mutex m_producers;
    std::vector<Waiting> m_waiting;  // kMaxEvents entries
    std::vector<uint8_t> m_ring;     // kMaxBytes
    std::atomic<uint64_t> m_waitingWritten{0};
    std::atomic<uint64_t> m_waitingRead{0};
    std::atomic<uint64_t> m_bytesWritten{0};
    std::atomic<uint64_t> m_bytesRead{0};
    std::atomic<uint64_t> m_dropped{0};
    std::atomic<bool> m_dropping{false};

    std::atomic<std::thread::id> m_renderThread{};

    // Render thread only: the block's list and the VstEvents built from it.
    std::vector<k1lib::SMidiEvent> m_block;
    std::vector<uint8_t> m_blockBytes; // capacity kMaxBytes, never grown
    std::vector<VstMidiEvent> m_midi;
    std::vector<VstMidiSysexEvent> m_sysex;
    std::vector<VstIntPtr> m_header; // VstEvents header and its pointer list
};
} // namespace k1effect
