#pragma once

// The K1's response curves: constant tables that turn the 0-100 (or 0-127)
// values of a single into seconds, linear gains, semitones and curve factors,
// and the small accessors the voice engine reads them through.
//
// Units: times in seconds, gains linear 0..1, pitch depths in semitones,
// key-scaling factors -1..1, velocity curve values 0..127.
//
// The tables are compile-time constants (no start-up work, no shared mutable
// state) and are safe to read from any thread. Every accessor clamps its index
// to the table's range, so values carried in by presets, sysex or parameter
// edits beyond the documented ranges can never read outside a table; inside
// the documented ranges the clamp changes nothing. The accessors are inline
// because the voices call several of them on every engine sample.

#include <array>
#include <cstdint>
#include <cstdlib>

namespace k1lib
{
// Delay and auto-bend times in units of 12.0276 / 4000 seconds.
extern const std::array<uint16_t, 101> g_bufPhm_08754;
// Decay and release times, seconds.
extern const std::array<float, 101> envDecayToSeconds;
// Attack times, seconds.
extern const std::array<float, 101> envAttackToSeconds;
// LFO period, seconds per cycle.
extern const std::array<float, 101> lfoSpeedToSeconds;
// Envelope level, linear gain.
extern const std::array<float, 101> envLevelToGain;
// Sustain level, linear gain.
extern const std::array<float, 101> envSustainLevelToGain;
// Key-scaling curves by key, 0..127.
extern const std::array<std::array<uint8_t, 128>, 5> g_ksCurves;
// Pitch depths in 1/128 semitone, symmetric around entry 50.
extern const std::array<uint16_t, 101> g_bufPhm_11045;
// Pressure and depth curve, 0..1.
extern const std::array<float, 128> pressureToEnvLvl;
// Single and multi volume (stored 0..99), linear gain.
extern const std::array<float, 100> volumeToGain;
// Velocity expansion, indexed by velocity / 2, 0..127.
extern const std::array<uint8_t, 64> g_bufK1_25881;
// Level-modulation curve of velocityWithStrength.
extern const std::array<uint16_t, 101> g_bufPHm_08855;
// The eight velocity curves (shown to the user as 1-8), 0..127.
extern const std::array<std::array<uint8_t, 64>, 8> g_velocityCurves;

namespace tables
{
// Clamps an index to the last entry of a table.
constexpr unsigned clampIndex(unsigned v, unsigned last) { return v > last ? last : v; }

// Pitch depth of a distance 0..50 from the centre of a 0-100 field, with the
// table's 1/128-semitone fraction kept: small depths give a vibrato of a few
// cents rather than none, and the depth rises smoothly instead of in whole
// semitones.
inline float pitchDepth(uint8_t v)
{
    return static_cast<float>(g_bufPhm_11045[clampIndex(v, 50) + 50]) * 0.0078125f;
}
} // namespace tables

// Delay and auto-bend time of a value 0..100: 0 to 12.0276 seconds.
inline float envDelayTime(uint8_t v)
{
    return static_cast<float>(g_bufPhm_08754[tables::clampIndex(v, 100)]) * 12.0276f / 4000.0f;
}
// Decay and release time of a value 0..100, seconds (never 0).
inline float envDecayTime(uint8_t v) { return envDecayToSeconds[tables::clampIndex(v, 100)]; }
// Attack time of a value 0..100, seconds (0 for value 0).
inline float envAttackTime(uint8_t v) { return envAttackToSeconds[tables::clampIndex(v, 100)]; }
// LFO frequency of a speed 0..100, hertz.
inline float lfoSpeed(uint8_t v) { return 1.0f / lfoSpeedToSeconds[tables::clampIndex(v, 100)]; }
// Envelope level of a value 0..100, linear gain.
inline float envLevel(uint8_t v) { return envLevelToGain[tables::clampIndex(v, 100)]; }
// Sustain level of a value 0..100, linear gain.
inline float envSustainLevel(uint8_t v) { return envSustainLevelToGain[tables::clampIndex(v, 100)]; }

// Key-scaling factor of a key 0..127 on curve 0..4: -1 .. 0.984. Curve 4 (a
// step at key 66) can be asked for unipolar, 0 .. 0.992; the flag does
// nothing for the other curves.
inline float ksCurveMod(uint8_t key, uint8_t curve, bool unipolar)
{
    const unsigned c = tables::clampIndex(curve, 4);
    const float x = static_cast<float>(g_ksCurves[c][tables::clampIndex(key, 127)]) * 2.0f * 0.0078125f - 1.0f;
    if (unipolar && c == 4)
        return (1.0f + x) * 0.5f;
    return x;
}

// The four pitch depths take the distance 0..50 of a centred field from 50 and
// give semitones 0..12 in 1/128 steps; the caller applies the sign.
inline float vibratoDepth(uint8_t v) { return tables::pitchDepth(v); }
inline float ksToFreq(uint8_t v) { return tables::pitchDepth(v); }
inline float autoBendDepth(uint8_t v) { return tables::pitchDepth(v); }
inline float pressureToFreq(uint8_t v) { return tables::pitchDepth(v); }

// Pressure curve of a value 0..127, 0..1.
inline float pressureToEnvLevel(uint8_t v) { return pressureToEnvLvl[tables::clampIndex(v, 127)]; }
// Volume of a stored value 0..99, linear gain.
inline float volume(uint8_t v) { return volumeToGain[tables::clampIndex(v, 99)]; }

// Depth of a centred field 0..100 (50 = none) on the pressure curve: 0..1.
inline float genericDepthModToLevel(int d)
{
    const int c = d < 0 ? 0 : (d > 100 ? 100 : d);
    return pressureToEnvLvl[static_cast<unsigned>(std::abs(c - 50) * 127 / 50)];
}

// Velocity 0..127 through velocity curve 0..7: 0..127.
inline uint8_t velocityCurveValue(uint8_t velocity, uint8_t curve)
{
    const unsigned expanded = g_bufK1_25881[tables::clampIndex(velocity, 127) >> 1];
    return g_velocityCurves[tables::clampIndex(curve, 7)][expanded >> 1];
}

// Level factor 0.01..1 of a velocity-like amount a (0..127) at a strength
// 0..50 (0 leaves the level alone).
float velocityWithStrength(int a, int strength);
} // namespace k1lib
