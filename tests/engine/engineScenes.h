#pragma once

// Fixed scenes shared by the engine tests and the engine benchmark: a
// four-source single held in 33 voices, eight such sections in a multi, the
// same with moving pitch, and a stream of notes that keeps stealing voices.

#include <cstdint>
#include <vector>

#include "engine/engine.h"

namespace k1scenes
{
constexpr int kVoicesPerSection = 33;

// Four sounding sources on four different single-cycle waves, full sustain.
// With movingPitch every source follows a long auto-bend, then the vibrato.
inline k1lib::SinglePreset fourSourceSingle(bool movingPitch)
{
    k1lib::SinglePreset p;
    p.volume = 99;
    p.polyMode = 1; // Poly 2
    p.source2or4 = 1;
    p.pressureToFreq = 50;
    p.vibratoDepth = movingPitch ? 70 : 50;
    p.pressureToVibrato = 50;
    p.pitchBendDepth = 12;
    p.lfoSpeed = 70;
    p.vibWheelMode = 1;
    p.autoBendDepth = movingPitch ? 90 : 50;
    p.autoBendTime = movingPitch ? 80 : 0; // 3.4 s
    p.velToDepth = 50;
    p.autoBendKeyScaleToTime = 50;
    const uint8_t waves[4] = {0, 33, 60, 120};
    for (int s = 0; s < 4; ++s)
    {
        k1lib::SingleSource& src = p.sources[s];
        src.fine = 50 + s;
        src.coarse = 84;
        src.wave = waves[s];
        src.keyTrack = true;
        src.vibABend = movingPitch;
        src.envLevel = 90;
        src.envAttack = 10;
        src.envDecay = 60;
        src.envSustain = 100;
        src.envRelease = 30;
        src.levelModVel = 60;
        src.levelModPressure = 50;
        src.levelModKeyScale = 50;
        src.timeModVel = 50;
        src.timeModKeyScale = 50;
        src.freqKeyScaleToFreq = 50;
    }
    return p;
}

// Single mode playing fourSourceSingle.
inline void setupSingle(k1lib::Engine& engine, bool movingPitch)
{
    engine.setSingle(0, fourSourceSingle(movingPitch));
    engine.setPlayMode(k1lib::PlayMode::Single);
}

// Multi mode: section s plays single s on channel s over the whole keyboard.
inline void setupMulti(k1lib::Engine& engine, bool movingPitch)
{
    k1lib::MultiPreset m;
    m.volume = 80;
    for (int s = 0; s < 8; ++s)
    {
        engine.setSingle(static_cast<size_t>(s), fourSourceSingle(movingPitch));
        k1lib::MultiSection& sec = m.sections[s];
        sec.single = s;
        sec.zoneLow = 0;
        sec.zoneHigh = 127;
        sec.poly = 0; // VR
        sec.output = 1;
        sec.channel = s;
        sec.level = 80;
    }
    engine.setMulti(0, m);
    engine.setPlayMode(k1lib::PlayMode::Multi);
}

inline k1lib::SMidiEvent event(uint8_t status, uint8_t d1, uint8_t d2, int32_t offset)
{
    k1lib::SMidiEvent e;
    e.status = status;
    e.data1 = d1;
    e.data2 = d2;
    e.sampleOffset = offset;
    return e;
}

// 33 held notes on each of `channels` channels, at the start of a block.
inline std::vector<k1lib::SMidiEvent> heldNotes(int channels)
{
    std::vector<k1lib::SMidiEvent> events;
    for (int c = 0; c < channels; ++c)
        for (int k = 0; k < kVoicesPerSection; ++k)
            events.push_back(event(static_cast<uint8_t>(0x90 | c), static_cast<uint8_t>(36 + k), 100, 0));
    return events;
}

// About 1,000 note-ons a second on one channel, each released 40 ms later:
// with the notes still sounding in their release the section keeps stealing.
class Churn
{
public:
    // The events of the next block of `frames` engine samples, into `out`
    // (cleared first; reserve capacity to keep it from allocating).
    void next(std::vector<k1lib::SMidiEvent>& out, int frames)
    {
        out.clear();
        for (int i = 0; i < frames; ++i, ++m_sample)
        {
            if (m_sample % kSpacing != 0)
                continue;
            const uint8_t key = static_cast<uint8_t>(24 + (m_count * 37) % 80);
            out.push_back(event(0x90, key, static_cast<uint8_t>(40 + m_count % 80), i));
            m_pending[m_count % kPending] = key;
            if (m_count >= kPending - 1)
                out.push_back(event(0x80, m_pending[(m_count + 1) % kPending], 64, i));
            ++m_count;
        }
    }

private:
    static constexpr int kSpacing = 50;  // samples between note-ons at 49920 Hz
    static constexpr int kPending = 40;  // notes held at once
    long m_sample = 0;
    long m_count = 0;
    uint8_t m_pending[kPending] = {};
};
} // namespace k1scenes
