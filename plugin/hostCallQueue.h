#pragma once

// The calls on the host bridge that arise while the facade holds the engine
// lock: inside an audio block (program changes, received sysex, CC16 and
// CC17, a ramped play mode) and in every other engine call (a preset selected
// from the UI thread). The host may answer such a call by waiting for a
// thread that itself waits for the engine lock, so they are recorded here and
// made once the lock is released.
//
// What the host needs is the state in force, so what changed is merged into
// one Changes (patch/changes.h) and delivered in one call, parameters with
// the value in force at delivery. Outgoing MIDI is kept event by event, in
// order, bytes included, up to a fixed count and size; beyond that events are
// dropped and counted.
//
// Threads: recording runs under the engine lock; delivery outside it by the
// one thread that holds the queue. All storage is reserved at construction:
// recording and delivering never allocate.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "patch/changes.h"
#include "patch/instrumentTypes.h"
#include "plugin/pluginListener.h"

namespace k1lib
{
class HostCallQueue
{
public:
    static constexpr size_t kMaxMidiEvents = 256;
    static constexpr size_t kMaxMidiBytes = 32 * 1024; // eleven all-singles dumps

    HostCallQueue();

    void add(const Change& change) { m_changes.add(change); }
    // False, and counted, when the queue holds as many events or bytes as
    // it can.
    bool pushMidi(const SMidiEvent& event);

    bool empty() const { return m_changes.empty() && m_midi.empty(); }
    const Changes& changes() const { return m_changes; }

    // Hands the outgoing events to the listener in the order recorded, then
    // what changed in one onChanges (none when nothing did). A parameter is
    // reported with its value in currentValues (indexed by parameter) when
    // given: other threads may have written it since, and the host must hear
    // the value in force, which its write-back then finds cached. An event's
    // bytes are valid for the length of its call.
    void deliver(IPluginListener& listener, const std::atomic<float>* currentValues = nullptr);
    // Forgets the calls; the storage stays.
    void clear();
    // Exchanges contents with another queue (no copy, no allocation).
    void swap(HostCallQueue& other) noexcept;
    // Outgoing events dropped since the last call.
    size_t takeDroppedMidi();

private:
    Changes m_changes;
    std::vector<SMidiEvent> m_midi; // their bytes point into m_bytes
    std::vector<uint8_t> m_bytes;   // capacity kMaxMidiBytes, never grown
    size_t m_droppedMidi = 0;
};
} // namespace k1lib
