#pragma once

// The calls on the host bridge that arise while the facade holds the engine
// lock: inside an audio block (program changes, received sysex, CC16 and
// CC17, a ramped play mode) and in every other engine call (a preset selected
// from the UI thread). The host may answer such a call by waiting for a
// thread that itself waits for the engine lock, so they are recorded here and
// made once the lock is released.
//
// What the host needs is the state in force, so reports coalesce: each
// parameter is recorded once (and delivered with the value in force at
// delivery), each other kind of report once, at the place of its first
// report, with the arguments of its latest. Outgoing MIDI is kept event by
// event, in order, bytes included, up to a fixed count and size; beyond that
// events are dropped and counted.
//
// Threads: recording runs under the engine lock; delivery outside it by the
// one thread that holds the queue. All storage is reserved at construction:
// recording and delivering never allocate.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "patch/instrumentTypes.h"
#include "patch/parameterEnum.h"
#include "plugin/pluginListener.h"
#include "plugin/pluginToEditorEvent.h"

namespace k1lib
{
class HostCallQueue
{
public:
    using Notification = PluginToEditorEvent;

    static constexpr size_t kMaxMidiEvents = 256;
    static constexpr size_t kMaxMidiBytes = 32 * 1024; // eleven all-singles dumps

    HostCallQueue();

    void push(uint32_t type, size_t first = 0, size_t count = 0);
    void pushParameter(EParam param, float value);
    // False, and counted, when the queue holds as many events or bytes as
    // it can.
    bool pushMidi(const SMidiEvent& event);

    bool empty() const { return m_calls.empty(); }
    size_t size() const { return m_calls.size(); }

    // Makes every recorded call on the listener, in the order recorded. A
    // parameter is reported with its value in currentValues (indexed by
    // parameter) when given: other threads may have written it since, and
    // the host must hear the value in force, which its write-back then finds
    // cached. An event's bytes are valid for the length of its call.
    void deliver(IPluginListener& listener, const std::atomic<float>* currentValues = nullptr) const;
    // Forgets the calls; the storage stays.
    void clear();
    // Exchanges contents with another queue (no copy, no allocation).
    void swap(HostCallQueue& other) noexcept;
    // Outgoing events dropped since the last call.
    size_t takeDroppedMidi();

    // The listener call a notification stands for. SendMidi needs its event;
    // without one it calls nothing.
    static void notify(IPluginListener& listener, const Notification& call, const SMidiEvent* midi = nullptr);

private:
    static constexpr uint32_t kKinds = Notification::SendMidi;
    static constexpr uint32_t kNone = UINT32_MAX;

    std::vector<Notification> m_calls;
    std::vector<SMidiEvent> m_midi;   // their bytes point into m_bytes
    std::vector<uint8_t> m_bytes;     // capacity kMaxMidiBytes, never grown
    std::vector<uint32_t> m_kindAt;   // per report kind: its place in m_calls, or kNone
    std::vector<uint8_t> m_paramQueued;
    size_t m_droppedMidi = 0;
};
} // namespace k1lib
