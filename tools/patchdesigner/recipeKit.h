#pragma once

// The vocabulary the recipes are written in: tones from named waves, struck
// and swelling envelopes (K1 envelope values 0-100), transposition in
// semitones and fine steps of 2 cents, sampled attack transients. Each recipe
// function makes the model-th model of its family (see families.cpp).

#include "tools/patchdesigner/designer.h"

namespace designer::kit
{
inline Tone tone(uint8_t w, Env env, int level = 0)
{
    Tone t;
    t.wave = w;
    t.env = env;
    t.level = level;
    return t;
}

// Percussive envelope: instant attack, decays while held.
inline Env strike(int decay, int sustain, int release)
{
    return Env{0, 0, decay, sustain, release};
}

// Sustained envelope with an attack; pads use slow attacks.
inline Env swell(int attack, int decay, int sustain, int release)
{
    return Env{0, attack, decay, sustain, release};
}

inline Tone withPitch(Tone t, int semitones, int fine)
{
    t.semitones = semitones;
    t.fine = fine;
    return t;
}

// Wave number of the last wave with this name: the sampled waves follow the
// single-cycle ones, so this is the sampled one where both exist.
inline uint8_t lastWave(const char* name)
{
    int count = 1;
    while (count < 8 && hasWave(name, count + 1))
        ++count;
    return wave(name, count);
}

// A short, non-sustaining attack transient from a sampled wave.
inline Tone transient(const char* name, int decay, int level)
{
    Tone t = tone(lastWave(name), strike(decay, 0, 10), level);
    t.velLevel = 28;
    t.vibrato = false;
    return t;
}

} // namespace designer::kit

namespace designer::recipes
{
Patch piano(int model);
Patch ePiano(int model);
Patch clav(int model);
Patch organ(int model);
Patch strings(int model);
Patch pad(int model);
Patch voice(int model);
Patch brass(int model);
Patch synthBrass(int model);
Patch winds(int model);
Patch reed(int model);
Patch bass(int model);
Patch synthBass(int model);
Patch lead(int model);
Patch bell(int model);
Patch mallet(int model);
Patch pluck(int model);
Patch ethnic(int model);
Patch drum(int model);
Patch fx(int model);
} // namespace designer::recipes
