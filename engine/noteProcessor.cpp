// Note bookkeeping of one channel.

#include "engine/noteProcessor.h"

#include <utility>

#include "patch/log.h"

namespace k1lib
{
namespace
{
constexpr uint8_t kPedalUpVelocity = 127;
constexpr uint8_t kAllNotesOffVelocity = 64;
} // namespace

NoteProcessor::NoteProcessor(NoteOnCallback onNoteOn, NoteOffCallback onNoteOff)
    : m_onNoteOn(std::move(onNoteOn)), m_onNoteOff(std::move(onNoteOff))
{
    clear();
}

bool NoteProcessor::noteOn(uint8_t key, uint8_t velocity)
{
    if (key >= kKeyCount)
    {
        K1_LOG("Invalid key " << static_cast<int>(key) << ", expected 0-127");
        return false;
    }
    ++m_keyDown[key];
    removeLastPressedNote(key);
    m_pressed[m_pressedCount++] = PressedNote{key, velocity};
    if (m_onNoteOn)
        m_onNoteOn(key, velocity);
    return true;
}

bool NoteProcessor::noteOff(uint8_t key, uint8_t velocity)
{
    if (key >= kKeyCount)
    {
        K1_LOG("Invalid key " << static_cast<int>(key) << ", expected 0-127");
        return false;
    }
    if (m_keyDown[key] > 0)
        --m_keyDown[key];
    if (m_hold)
    {
        // The key stays in the struck-order list until the pedal comes up.
        ++m_sustained[key];
        return true;
    }
    if (m_sustained[key] > 0)
        --m_sustained[key];

    const uint8_t struckVelocity = removeLastPressedNote(key);
    uint8_t lastKey = 0;
    uint8_t lastVelocity = 0;
    if (struckVelocity != 0 && m_pressedCount > 0)
    {
        lastKey = m_pressed[m_pressedCount - 1].key;
        lastVelocity = struckVelocity;
    }
    if (m_onNoteOff)
        m_onNoteOff(key, velocity, lastKey, lastVelocity);
    return true;
}

void NoteProcessor::setHoldPedal(bool on)
{
    m_hold = on;
    if (on)
        return;
    for (uint8_t key = 0; key < kKeyCount; ++key)
    {
        while (m_sustained[key] > 0)
            noteOff(key, kPedalUpVelocity);
    }
}

void NoteProcessor::allNotesOff()
{
    m_hold = false;
    for (uint8_t key = 0; key < kKeyCount; ++key)
    {
        while (m_keyDown[key] > 0 || m_sustained[key] > 0)
            noteOff(key, kAllNotesOffVelocity);
    }
    clear();
}

void NoteProcessor::clear()
{
    m_hold = false;
    m_pressedCount = 0;
    m_keyDown.fill(0);
    m_sustained.fill(0);
}

uint8_t NoteProcessor::removeLastPressedNote(uint8_t key)
{
    for (size_t i = 0; i < m_pressedCount; ++i)
    {
        if (m_pressed[i].key != key)
            continue;
        const uint8_t velocity = m_pressed[i].velocity;
        for (size_t j = i + 1; j < m_pressedCount; ++j)
            m_pressed[j - 1] = m_pressed[j];
        --m_pressedCount;
        return velocity;
    }
    return 0;
}
} // namespace k1lib
