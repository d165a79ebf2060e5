#pragma once

// The calls on the host bridge that arise while the audio thread renders a
// block with the engine lock held (program changes, received sysex, CC16 and
// CC17, a ramped play mode). The host may answer such a call by waiting for
// a thread that itself waits for the engine lock, so they are recorded here
// in order and delivered after the block has released the lock.
//
// Threads: recording runs under the engine lock; delivery runs on the audio
// thread outside it, and clearing under the lock again. Storage is kept from
// block to block: a steady stream of calls allocates nothing but the growth
// of outgoing sysex payloads.

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

    HostCallQueue();

    void push(uint32_t type, size_t first = 0, size_t count = 0);
    void pushParameter(EParam param, float value);
    void pushMidi(const SMidiEvent& event);

    bool empty() const { return m_calls.empty(); }
    size_t size() const { return m_calls.size(); }

    // Makes every recorded call on the listener, in the order recorded. A
    // parameter is reported with its value in currentValues (indexed by
    // parameter) when given: other threads may have written it since, and
    // the host must hear the value in force, which its write-back then finds
    // cached.
    void deliver(IPluginListener& listener, const std::atomic<float>* currentValues = nullptr) const;
    // Forgets the calls; the storage stays.
    void clear();

    // The listener call a notification stands for. SendMidi needs its event;
    // without one it calls nothing.
    static void notify(IPluginListener& listener, const Notification& call, const SMidiEvent* midi = nullptr);

private:
    std::vector<Notification> m_calls;
    // Events are overwritten in place so that their payload storage is reused.
    std::vector<SMidiEvent> m_midi;
    size_t m_midiCount = 0;
};
} // namespace k1lib
