// Voice start and release.

#include "engine/voice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/tables.h"

namespace k1lib
{
void Voice::start(const Engine& engine, const SinglePreset& single, uint8_t key, uint8_t velocity, uint8_t channel,
                  float rate, int transpose, int tune, int level, uint32_t clock, float cycle)
{
    m_single = &single;
    m_key = key;
    m_velocity = velocity;
    m_channel = channel;
    m_keyHeld = true;
    m_inverseRate = 1.0f / rate;
    m_clock = clock;

    // Auto-bend: a glide from the bend depth to the played pitch.
    const float ks = ksCurveMod(key, static_cast<uint8_t>(single.keyScaleCurve), false);
    float t = envDelayTime(single.autoBendTime);
    t = t + ks * static_cast<float>(static_cast<int>(single.autoBendKeyScaleToTime) - 50) * 0.02f * (t * 0.5f);
    m_autoBendTime = t;
    m_inverseAutoBendTime = t > 0.0f ? 1.0f / t : 0.0f;
    // The clocks at which t reaches 1 and 3 in pitchModulation.
    const double samplesPerT =
        m_inverseAutoBendTime > 0.0f ? 1.0 / (static_cast<double>(m_inverseRate) * m_inverseAutoBendTime) : 0.0;
    for (int k = 0; k < 2; ++k)
        m_corners[k] = static_cast<uint32_t>(std::min(std::ceil(samplesPerT * (k == 0 ? 1.0 : 3.0)), 4.0e9));

    const int depthField = static_cast<int>(single.autoBendDepth) - 50;
    float d = autoBendDepth(static_cast<uint8_t>(std::abs(depthField)));
    if (depthField < 0)
        d = -d;
    m_autoBendDepth = d + (static_cast<float>(static_cast<int>(velocity) - 64) / 63.0f) *
                              (static_cast<float>(static_cast<int>(single.velToDepth) - 50) * 0.02f * (0.5f * d));

    // The sources glide their increment in a straight line between anchors,
    // while the pitch's own glide is exponential: anchors close enough that
    // the pitch moves at most 0.6 semitone between them keep the two within
    // 0.3 cent. The steepest glide is the bend's, or the fade-in of a vibrato
    // as wide as it gets (12 semitones and the wheel's one, over twice the
    // bend time).
    m_lineSamples = kLongestLine;
    if (samplesPerT > 0.0)
    {
        const double steepest = std::max(static_cast<double>(std::abs(m_autoBendDepth)), 6.5) / samplesPerT;
        while (m_lineSamples > 1 && steepest * m_lineSamples > 0.6)
            m_lineSamples /= 2;
    }

    // Slots: a muted source keeps a slot only as an amplitude modulator.
    m_slotCount = 0;
    m_amPairCount = 0;
    const size_t sourceCount = single.source2or4 != 0 ? 4 : 2;
    for (size_t s = 0; s < sourceCount; ++s)
    {
        const bool modulator = (s == 0 && single.ampModS1S2 != 0) || (s == 2 && single.ampModS3S4 != 0);
        if (single.mute[s] && !modulator)
            continue;
        const size_t slot = m_slotCount++;
        m_gain[slot] = single.mute[s] ? 0.0f : 1.0f;
        m_sourceIndex[slot] = static_cast<uint8_t>(s);
        m_sources[slot].init(engine, single, static_cast<uint8_t>(s), key, velocity, rate, transpose, tune, level, cycle);
        // The modulator's slot is always the one just before: its source is
        // never muted away when modulation is on.
        const bool modulated = (s == 1 && single.ampModS1S2 != 0) || (s == 3 && single.ampModS3S4 != 0);
        if (modulated)
            m_amPairs[m_amPairCount++] = AmPair{static_cast<uint8_t>(slot), static_cast<uint8_t>(slot - 1)};
    }
}

void Voice::onNoteOff(uint8_t velocity)
{
    for (size_t i = 0; i < m_slotCount; ++i)
        m_sources[i].onNoteOff(velocity);
    m_keyHeld = false;
}

void Voice::onNoteOff(uint8_t velocity, uint8_t releaseValue)
{
    for (size_t i = 0; i < m_slotCount; ++i)
        m_sources[i].onNoteOff(velocity, releaseValue);
    m_keyHeld = false;
}
} // namespace k1lib
