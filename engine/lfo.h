#pragma once

// The low-frequency oscillator of one multi section: four shapes (triangle,
// saw, square, random), the output quantised to steps of 1/64 in -1..1 and
// each new step held for at least 17 ms. Rates are in hertz; the phase runs
// 0..1 per cycle.
//
// Audio thread only. Per sample: one phase step; the shape is evaluated at
// most once per held step. The "Random" shape draws once per cycle from the
// LFO's own generator, which its multi seeds from the engine's.

#include <cstdint>

#include "engine/randomSource.h"
#include "patch/presets.h"

namespace k1lib
{
class Lfo
{
public:
    // Phase 0, nothing held, a fresh random value drawn.
    Lfo();

    // One engine sample. rate is the engine's processing rate, modWheel the
    // channel's CC1 value / 127. Returns a multiple of 1/64 in -1..1.
    float process(const SinglePreset& single, float rate, float modWheel);
    // n samples, as many process() calls, their outputs into out[] (which may
    // be null: the LFO still moves as if it had been heard). Returns the
    // output of the last sample (n >= 1).
    float render(const SinglePreset& single, float rate, float modWheel, int n, float* out);

    // Draws a new level -1 <= value < 1 for the "Random" shape.
    void createRandomValue();
    // Restarts the generator the "Random" shape draws from and draws anew.
    void seedRandom(uint64_t seed);

    // Of the next `limit` samples, how many in a row keep the output of the
    // last one rendered (the LFO does not move).
    int steadyFor(const SinglePreset& single, float rate, float modWheel, int limit) const;

    float getPhase() const { return m_phase; }
    float getRandomValue() const { return m_randomValue; }

private:
    // What render() and steadyFor() step by.
    struct Motion
    {
        float increment = 0.0f;
        bool slow = true;
        int32_t holdSamples = 0;
        uint32_t shape = 0;
    };
    static Motion motionOf(const SinglePreset& single, float rate, float modWheel);
    // One sample from phase, hold and step; returns whether the shape was
    // evaluated (and step may have changed). wrapped: the phase wrapped.
    static bool advance(const Motion& motion, float& phase, int32_t& hold, bool& wrapped);
    static int shapeStep(uint32_t shape, float phase, float randomValue);

    float m_phase = 0.0f;       // 0 <= phase < 1
    float m_randomValue = 0.0f; // the "Random" shape's current level
    int8_t m_step = 0;          // current output in 1/64 units, -64..64
    int32_t m_hold = 0;         // engine samples before the shape is evaluated again
    RandomSource m_random;
};
} // namespace k1lib
