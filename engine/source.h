#pragma once

// One of the up to four sources of a sounding voice: plays one block of the
// wave set with linear interpolation and a 32-bit phase (a fraction of the
// block), shaped by its own envelope and level.
//
// Units: pitch as a MIDI note number with fraction (69.0 = 440 Hz), times in
// seconds, rates in hertz, levels as linear gains 0..1, wave samples signed
// 8-bit scaled by 1/128.
//
// Most of the sound is fixed when the note starts (init). What may change
// while it sounds, the channel pressure, bend, fine tune and the single's
// per-source switches, is read once per stretch of samples in which nothing
// changes (beginSpan); step() then renders one engine sample.

#include <cstdint>

#include "engine/envelope.h"
#include "engine/fastPow2.h"
#include "patch/presets.h"

namespace k1lib
{
class Engine;

// Everything a source reads per stretch of samples besides its own state.
struct SourceSpanInput
{
    float pressure = 0.0f;       // channel pressure 0..1
    float bend = 0.0f;           // semitones
    float pressureToFreq = 0.0f; // semitones
    float fineTune = 0.0f;       // semitones
};

class Source
{
public:
    // Sets up the source for a new note; see voice.h for the arguments.
    void init(const Engine& engine, const SinglePreset& single, uint8_t index, uint8_t key, uint8_t velocity,
              float rate, int transpose, int tune, int level);

    const SingleSource& getSource() const { return m_single->sources[m_index]; }

    // Reads what stays constant until the next event or parameter change.
    void beginSpan(const SourceSpanInput& input);

    // Renders n engine samples: the wave values into value[i] and the
    // amplitudes (envelope times level) into amplitude[i]. pitchModulation
    // holds the voice's vibrato and auto-bend per sample (read only when
    // the source follows them). Returns how many samples it took until the
    // source was done (see isDone), or kNotDone. The samples after that are
    // rendered too but belong to nothing.
    static constexpr int kNotDone = 1 << 30;
    int render(float* value, float* amplitude, const float* pitchModulation, int n);

    // Note-off with the source's own release time, or with the release time
    // of the envelope value releaseValue (0..100).
    void onNoteOff(uint8_t velocity);
    void onNoteOff(uint8_t velocity, uint8_t releaseValue);

    // A one-shot wave has played to its end, or the envelope has finished.
    bool isDone() const { return m_stopped != 0 || m_env.isFinished(); }

    // Read by tests and tools.
    float getPitch() const { return m_pitch; }
    float getLevel() const { return m_level; }
    float getDecayTime() const { return m_decayTime; }
    float getSustainLevel() const { return m_sustainLevel; }
    uint32_t getIncrement() const { return static_cast<uint32_t>(m_increment); }
    uint32_t getLength() const { return m_length; }
    const Env& getEnv() const { return m_env; }

private:
    float raiseToMinimum(float pitch) const
    {
        // Pitches are bounded by the fields that make them; the count only
        // guards against a runaway loop.
        for (int n = 0; pitch < m_minimumPitch && n < 64; ++n)
            pitch += 12.0f;
        return pitch;
    }
    void updateIncrement(float pitch);

    const SinglePreset* m_single = nullptr;
    uint8_t m_index = 0;
    uint8_t m_velocity = 0;
    float m_pitch = 0.0f; // base pitch fixed at init
    Env m_env;
    const int8_t* m_data = nullptr;
    uint32_t m_length = 0;
    uint32_t m_phase = 0;
    uint32_t m_phaseScale = 0;
    float m_inversePhaseScale = 0.0f;
    uint32_t m_indexShift = 0;
    uint64_t m_increment = 0; // may exceed 2^32 for very high pitches
    double m_incrementPerHertz = 0.0;
    float m_rate = 0.0f;
    float m_level = 0.0f;
    float m_decayTime = 0.0f;
    float m_sustainLevel = 0.0f;
    float m_lastPitch = -1.0f;
    bool m_loop = false;
    uint32_t m_stopped = 0;
    float m_minimumPitch = -128.0f;

    // Hoisted per span by beginSpan.
    float m_spanLevel = 0.0f;
    float m_spanPitch = 0.0f; // the full pitch when vibrato/auto-bend is off
    float m_spanBend = 0.0f;
    float m_spanPressureToFreq = 0.0f;
    float m_spanFineTune = 0.0f;
    bool m_spanVibABend = false;
};
} // namespace k1lib
