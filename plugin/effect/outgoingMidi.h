#pragma once

// The instrument's outgoing MIDI on its way to the host. Events arrive from
// any thread (K1 parameter changes and dumps sent from the editor on the UI
// thread, sysex replies on the audio thread) and are handed to the host only
// from processReplacing, where hosts expect them, as VstEvents blocks: short
// messages first, then system-exclusive ones, each batch in arrival order.
// Offsets are samples within the block being rendered.
//
// Threads: push from any thread; take and the VstEvents building from the
// audio thread only. The audio thread never waits: when the UI thread holds
// the lock, the events go out with the next block.

#include <cstddef>
#include <mutex>
#include <vector>

#include "patch/instrumentTypes.h"
#include "plugin/vst/aeffectx.h"

namespace k1effect
{
class OutgoingMidi
{
public:
    // More than any burst the instrument sends; past it events are dropped
    // with a log line rather than growing while the host renders nothing.
    static constexpr size_t kMaxQueued = 4096;

    OutgoingMidi();

    // Any thread.
    void push(const k1lib::SMidiEvent& event);

    // Audio thread: moves the queued events into the block's list (false when
    // there are none, or the queue is busy right now).
    bool take();
    // Audio thread: the short messages (sysex false) or the system-exclusive
    // messages (sysex true) of the taken events as one VstEvents block, with
    // offsets clamped into 0..frames-1; null when there are none. Valid until
    // the next call.
    VstEvents* build(bool sysex, VstInt32 frames);

private:
    std::mutex m_lock;
    std::vector<k1lib::SMidiEvent> m_queued;  // guarded by m_lock
    bool m_dropping = false;                  // guarded by m_lock

    // Audio thread only.
    std::vector<k1lib::SMidiEvent> m_taken;
    std::vector<VstMidiEvent> m_midi;
    std::vector<VstMidiSysexEvent> m_sysex;
    std::vector<VstIntPtr> m_block;  // VstEvents header and its pointer list
};
} // namespace k1effect
