#pragma once

// The key state of one MIDI channel: counts how often each key (0..127) is
// down, defers note-offs while the hold pedal is down and replays them when it
// comes up, and keeps the held keys in the order they were struck, so that a
// note-off can name the key still held last (a "Solo" single strikes it
// again). Events leave through two callbacks, called synchronously.
//
// Audio thread only. No allocation after construction: the struck-order list
// has room for every key.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "patch/staticArray.h"

namespace k1lib
{
class NoteProcessor
{
public:
    using NoteOnCallback = std::function<void(uint8_t key, uint8_t velocity)>;
    // lastKey and lastVelocity: the key struck last among those still held,
    // and the velocity the released key was struck with; lastVelocity 0
    // means no key is held.
    using NoteOffCallback =
        std::function<void(uint8_t key, uint8_t velocity, uint8_t lastKey, uint8_t lastVelocity)>;

    static constexpr size_t kKeyCount = 128;

    NoteProcessor(NoteOnCallback onNoteOn, NoteOffCallback onNoteOff);

    // False (and a log line) for a key above 127, which is then ignored.
    bool noteOn(uint8_t key, uint8_t velocity);
    bool noteOff(uint8_t key, uint8_t velocity);

    // Pedal up replays every deferred note-off with velocity 127.
    void setHoldPedal(bool on);
    // Releases every down or held key with velocity 64, then forgets them all.
    void allNotesOff();
    // Forgets every key without any callback.
    void clear();

    // Removes the key from the struck-order list; its velocity, 0 when absent.
    uint8_t removeLastPressedNote(uint8_t key);

    uint32_t getKeyDownCount(uint8_t key) const { return key < kKeyCount ? m_keyDown[key] : 0; }
    uint32_t getSustainedCount(uint8_t key) const { return key < kKeyCount ? m_sustained[key] : 0; }
    size_t getPressedCount() const { return m_pressedCount; }
    bool getHoldPedal() const { return m_hold; }

private:
    struct PressedNote
    {
        uint8_t key = 0;
        uint8_t velocity = 0;
    };

    StaticArray<uint32_t, kKeyCount> m_keyDown;   // note-ons not yet matched by a note-off
    StaticArray<uint32_t, kKeyCount> m_sustained; // note-offs deferred by the pedal
    StaticArray<PressedNote, kKeyCount> m_pressed; // held keys, oldest first, each once
    size_t m_pressedCount = 0;
    NoteOnCallback m_onNoteOn;
    NoteOffCallback m_onNoteOff;
    bool m_hold = false;
};
} // namespace k1lib
