// The recipes: one per family, each a list of models (a name and a sound).
// Variant v plays model v % models in round v / models; later rounds keep the
// model's character and move its details (detune, envelope, brightness), so
// every variant is a different sound with a readable name.

#include <algorithm>

#include "tools/patchdesigner/designer.h"

namespace designer
{
namespace
{
Tone tone(uint8_t w, Env env, int level = 0)
{
    Tone t;
    t.wave = w;
    t.env = env;
    t.level = level;
    return t;
}

// Percussive envelope: instant attack, decays while held.
Env strike(int decay, int sustain, int release)
{
    return Env{0, 0, decay, sustain, release};
}

// Sustained envelope with an attack; pads use slow attacks.
Env swell(int attack, int decay, int sustain, int release)
{
    return Env{0, attack, decay, sustain, release};
}

Tone withPitch(Tone t, int semitones, int fine)
{
    t.semitones = semitones;
    t.fine = fine;
    return t;
}

// Wave number of the last wave with this name: the sampled waves follow the
// single-cycle ones, so this is the sampled one where both exist.
uint8_t lastWave(const char* name)
{
    int count = 1;
    while (count < 8 && hasWave(name, count + 1))
        ++count;
    return wave(name, count);
}

// A short, non-sustaining attack transient from a sampled wave.
Tone transient(const char* name, int decay, int level)
{
    Tone t = tone(lastWave(name), strike(decay, 0, 10), level);
    t.velLevel = 28;
    t.vibrato = false;
    return t;
}

// Later rounds: the same model with moved details.
void applyRound(Patch& p, int round, uint32_t seed)
{
    if (round == 0)
        return;
    for (size_t i = 0; i < p.tones.size(); ++i)
    {
        Tone& t = p.tones[i];
        const int sign = (i % 2 == 0) ? 1 : -1;
        t.fine = std::clamp(t.fine + sign * (2 + round + pick(3, seed, round, static_cast<uint32_t>(i))), -50, 50);
        t.env.decay = std::clamp(t.env.decay + 3 * round - 4, 0, 95);
        t.env.release = std::clamp(t.env.release + (round % 2 == 0 ? 3 : -3), 5, 68);
        if (t.velLevel != 0) // organs stay without velocity
            t.velLevel = std::clamp(t.velLevel + 2 * round, 0, 40);
    }
    p.common.lfoSpeed = std::clamp(p.common.lfoSpeed + 3 * round, 0, 100);
}

// ---------------------------------------------------------------- keys
Patch piano(int m)
{
    Patch p;
    const char* body[] = {"Piano 1", "Piano 2", "Piano 3", "Piano 4", "El Grand"};
    Tone main = tone(wave(body[m % 5]), strike(66, 0, 28));
    main.keyTime = -18;
    main.keyLevel = -10;
    main.velLevel = 24;
    main.velCurve = 1;
    Tone hammer = transient(m % 2 == 0 ? "Piano" : "Piano Noise", 30, -6);
    hammer.keyTime = -10;
    p.tones = {main, hammer};
    switch (m)
    {
    case 0: p.name = "Grand Pno"; break;
    case 1: p.name = "Bright Pno"; p.tones[0].wave = wave("Piano 2", 2); break;
    case 2: p.name = "Soft Piano"; p.tones[0].velCurve = 3; p.tones[1].level = -14; break;
    case 3:
        p.name = "Honky Tonk";
        p.tones = {main, withPitch(main, 0, 8), hammer, withPitch(main, 0, -8)};
        break;
    case 4: p.name = "El Grand"; p.tones[1] = transient("El Grand", 34, -6); break;
    case 5: p.name = "Upright"; p.tones[0].env.decay = 58; break;
    case 6:
        p.name = "Pno Octave";
        p.tones = {main, withPitch(main, 12, 2), hammer, withPitch(main, 0, -3)};
        break;
    case 7: p.name = "Dark Piano"; p.tones[0].wave = wave("Piano 1", 2); p.tones[1].level = -16; break;
    case 8: p.name = "Rock Piano"; p.tones[0].velLevel = 14; p.tones[1].level = -2; break;
    default:
        p.name = "Stage Pno";
        p.tones[1] = tone(wave("E Piano 1"), strike(60, 0, 26), -8);
        break;
    }
    return p;
}

Patch ePiano(int m)
{
    Patch p;
    const char* waves[] = {"E Piano 1", "E Piano 2", "E Piano 3", "Tine"};
    Tone main = tone(wave(waves[m % 4]), strike(70, 8, 30));
    main.keyTime = -14;
    main.velLevel = 26;
    Tone bell = tone(wave("Tine", 2), strike(44, 0, 20), -10);
    bell.semitones = 12;
    bell.velLevel = 36;
    bell.velCurve = 3;
    p.tones = {main, bell};
    p.common.lfoSpeed = 20;
    switch (m)
    {
    case 0: p.name = "E Piano"; break;
    case 1: p.name = "Tine Piano"; break;
    case 2: p.name = "Soft EP"; p.tones[1].level = -20; break;
    case 3:
        p.name = "Chorus EP";
        p.tones = {main, withPitch(main, 0, 6), bell, withPitch(main, 0, -6)};
        break;
    case 4: p.name = "Bell EP"; p.tones[1].level = -2; break;
    case 5: p.name = "Dyno EP"; p.tones[0].velLevel = 40; p.tones[0].velCurve = 3; break;
    case 6: p.name = "Wurly"; p.tones[0].wave = wave("E Piano 2", 2); p.tones[1] = transient("Piano Noise", 24, -12); break;
    default:
        p.name = "Pad EP";
        p.tones = {main, bell, tone(wave("String Pad"), swell(46, 60, 70, 40), -8), withPitch(main, 0, 5)};
        break;
    }
    return p;
}

Patch clav(int m)
{
    Patch p;
    Tone main = tone(wave(m % 2 == 0 ? "Clavi" : "Harpsichord"), strike(56, 0, 10));
    main.keyTime = -16;
    main.velLevel = 22;
    p.tones = {main, withPitch(main, 12, 3)};
    p.tones[1].level = -10;
    switch (m)
    {
    case 0: p.name = "Clavi"; break;
    case 1: p.name = "Harpsichrd"; p.tones[1].wave = wave("Harpsichord", 2); break;
    case 2: p.name = "Funk Clav"; p.tones[1] = transient("Strat Guitar", 20, -10); break;
    case 3: p.name = "Baroque"; p.tones[0].velLevel = 6; p.tones[1].velLevel = 6; p.tones[1].wave = wave("Harpsichord", 3); break;
    case 4: p.name = "Clav Wah"; p.common.autoBendDepth = -22; p.common.autoBendTime = 18; break;
    default:
        p.name = "Lute Harps";
        p.tones = {main, withPitch(main, 0, 7), tone(wave("Harp"), strike(50, 0, 20), -8), withPitch(main, -12, -4)};
        break;
    }
    return p;
}

Patch organ(int m)
{
    Patch p;
    const char* waves[] = {"Jazz Organ 1", "Rock Organ 1", "Draw Bar 1", "Draw Bar 2", "Pipe Organ 1",
                           "Jazz Organ 2", "Pipe Organ 2", "Rock Organ 2", "Pipe Organ 3"};
    Tone main = tone(wave(waves[m % 9]), Env{0, 0, 40, 100, 12});
    main.velLevel = 0;
    Tone sub = tone(wave("Sin 1st"), Env{0, 0, 40, 100, 12}, -8);
    sub.semitones = -12;
    sub.velLevel = 0;
    p.tones = {main, sub};
    p.common.lfoSpeed = 40;
    p.common.pressureVibrato = 0;
    switch (m)
    {
    case 0: p.name = "Jazz Organ"; p.tones[1] = transient("Rim", 10, -20); break;
    case 1: p.name = "Rock Organ"; p.tones.push_back(withPitch(main, 12, 2)); p.tones.push_back(withPitch(sub, 19, 0)); break;
    case 2: p.name = "Drawbars"; break;
    case 3: p.name = "Full Bars"; p.tones[1].semitones = 19; break;
    case 4: p.name = "Church Org"; p.tones[0].env.attack = 14; p.tones[1].env.attack = 14; p.tones[0].env.release = 34; p.tones[1].env.release = 34; break;
    case 5: p.name = "Perc Organ"; p.tones[1] = tone(wave("Sin 3rd"), strike(34, 0, 12), -4); break;
    case 6:
        p.name = "Pipe Tutti";
        p.tones = {main, withPitch(main, 12, 0), withPitch(main, -12, 0), withPitch(sub, 7, 0)};
        for (Tone& t : p.tones) { t.env.attack = 12; t.env.release = 36; }
        break;
    case 7: p.name = "Leslie Org"; p.common.vibratoDepth = 20; p.common.lfoSpeed = 58; p.tones[1].vibrato = false; break;
    default: p.name = "Reed Organ"; p.tones[1] = tone(wave("Accordion"), Env{0, 4, 40, 100, 14}, -6); break;
    }
    // An organ's keys are switches: every note speaks at the same level.
    for (Tone& t : p.tones)
        t.velLevel = 0;
    return p;
}

// ---------------------------------------------------------------- strings, pads, voices
Patch strings(int m)
{
    Patch p;
    Tone a = tone(wave("String Loop"), swell(30, 50, 90, 40));
    a.velTime = -12;
    a.velLevel = 16;
    Tone b = tone(wave("String", 1 + m % 3), swell(32, 50, 90, 40), -4);
    b.fine = 6;
    b.velTime = -12;
    b.velLevel = 16;
    p.tones = {a, b};
    p.common.lfoSpeed = 30;
    p.common.pressureVibrato = 14;
    switch (m)
    {
    case 0: p.name = "Strings"; break;
    case 1: p.name = "Str Ensmbl"; p.tones.push_back(withPitch(b, 12, -5)); p.tones.push_back(withPitch(a, 0, -7)); break;
    case 2: p.name = "Violin"; p.tones[1].wave = wave("Violin"); p.common.vibratoDepth = 20; p.common.autoBendTime = 30; break;
    case 3: p.name = "Slow Str"; for (Tone& t : p.tones) t.env.attack = 48; break;
    case 4: p.name = "Pizzicato"; p.tones = {transient("Pizzicato", 40, 0), tone(wave("String", 2), strike(36, 0, 14), -10)}; break;
    case 5: p.name = "Bowed Str"; p.tones[0] = transient("Bowed String", 40, -4); p.tones[0].env = swell(14, 60, 40, 30); break;
    case 6: p.name = "Cello Sect"; for (Tone& t : p.tones) t.semitones -= 12; p.tones[1].wave = wave("Violin"); break;
    case 7: p.name = "Orchestra"; p.tones[1].wave = wave("Orchestra"); p.tones.push_back(tone(wave("Brass", 3), swell(26, 50, 80, 34), -10)); p.tones.push_back(withPitch(a, -12, 4)); break;
    case 8: p.name = "Str Attack"; p.tones[0] = transient("String Attack", 44, -2); break;
    default: p.name = "Chamber"; p.tones[0].env = swell(24, 60, 70, 36); p.tones[0].fine = -4; break;
    }
    return p;
}

Patch pad(int m)
{
    Patch p;
    const char* waves[] = {"Mello Pad", "String Pad", "Synth 3", "Voice Loop", "Omnibus Loop 2", "Synth 4",
                           "Omnibus Loop 5", "Saw 8", "Synth 2"};
    Tone a = tone(wave(waves[m % 9]), swell(50, 60, 90, 52));
    a.velLevel = 12;
    a.keyLevel = -6;
    Tone b = withPitch(a, 0, 8);
    b.wave = wave(waves[(m + 4) % 9]);
    b.level = -4;
    b.env.attack = 54;
    p.tones = {a, b};
    p.common.lfoSpeed = 18;
    p.common.pressureVibrato = 12;
    switch (m)
    {
    case 0: p.name = "Warm Pad"; break;
    case 1: p.name = "Str Pad"; break;
    case 2: p.name = "Synth Pad"; p.tones.push_back(withPitch(a, 12, -6)); p.tones.push_back(withPitch(b, -12, 4)); break;
    case 3: p.name = "Air Pad"; p.tones[0].env.attack = 55; break;
    case 4: p.name = "Glass Pad"; p.tones[1] = tone(wave("Sin 4th"), swell(40, 70, 40, 50), -10); p.tones[1].semitones = 12; break;
    case 5: p.name = "Swell Pad"; for (Tone& t : p.tones) t.env.attack = 56; break;
    case 6: p.name = "Dark Pad"; for (Tone& t : p.tones) t.semitones -= 12; break;
    case 7: p.name = "Sweep Pad"; p.common.autoBendDepth = -20; p.common.autoBendTime = 60; break;
    case 8: p.name = "Shimmer"; p.common.ampMod12 = 1; p.tones[0].wave = wave("Sin 5th"); break;
    case 9: p.name = "Fifth Pad"; p.tones[1].semitones = 7; break;
    case 10: p.name = "Wave Pad"; p.common.lfoShape = 0; p.common.vibratoDepth = 20; p.common.lfoSpeed = 2; break;
    default:
        p.name = "Haze Pad";
        p.tones = {a, b, tone(wave("White Noise Loop"), swell(52, 50, 40, 50), -22), withPitch(a, 0, -9)};
        break;
    }
    return p;
}

Patch voice(int m)
{
    Patch p;
    Tone a = tone(wave(m % 2 == 0 ? "Voice 1" : "Voice 2"), swell(36, 50, 90, 44));
    a.velLevel = 14;
    Tone b = tone(wave("Voice Loop"), swell(34, 50, 90, 44), -4);
    b.fine = -6;
    p.tones = {a, b};
    p.common.vibratoDepth = 0;
    p.common.pressureVibrato = 16;
    p.common.lfoSpeed = 26;
    switch (m)
    {
    case 0: p.name = "Choir"; break;
    case 1: p.name = "Aah Voices"; break;
    case 2: p.name = "Ooh Voices"; p.tones[0].wave = wave("Sin 2nd"); p.tones[0].level = -6; break;
    case 3: p.name = "Big Choir"; p.tones.push_back(withPitch(a, 12, 5)); p.tones.push_back(withPitch(b, -12, 5)); break;
    case 4: p.name = "Solo Voice"; p.common.polyMode = 2; p.common.vibratoDepth = 20; p.common.autoBendTime = 40; break;
    case 5: p.name = "Whisper"; p.tones[1] = tone(wave("White Noise Loop"), swell(30, 40, 50, 40), -18); break;
    case 6: p.name = "Vox Pad"; for (Tone& t : p.tones) t.env.attack = 52; break;
    default: p.name = "Vocal Hit"; p.tones[1] = transient("Voice", 50, 0); p.tones[0].env = strike(60, 20, 30); break;
    }
    return p;
}

// ---------------------------------------------------------------- brass and winds
Patch brass(int m)
{
    Patch p;
    const char* waves[] = {"Brass", "Trumpet", "French Horn", "Brass"};
    Tone a = tone(wave(waves[m % 4], 1 + m % 2), swell(18, 50, 84, 24));
    a.velTime = -16;
    a.velLevel = 22;
    Tone b = withPitch(a, 0, 6);
    b.wave = wave("Brass", 2 + m % 4);
    b.level = -4;
    p.tones = {a, b};
    p.common.autoBendDepth = -22;
    p.common.autoBendTime = 12;
    p.common.velBend = 10;
    p.common.pressureVibrato = 14;
    switch (m)
    {
    case 0: p.name = "Brass Sect"; break;
    case 1: p.name = "Trumpet"; p.common.polyMode = 2; p.tones[1] = transient("Trumpet", 40, -4); break;
    case 2: p.name = "Fr Horn"; for (Tone& t : p.tones) { t.env.attack = 20; t.semitones -= 12; } break;
    case 3: p.name = "Big Brass"; p.tones.push_back(withPitch(a, -12, -4)); p.tones.push_back(withPitch(b, 12, 4)); break;
    case 4: p.name = "Soft Brass"; for (Tone& t : p.tones) t.env.attack = 20; p.common.autoBendDepth = 0; p.tones[0].velLevel = 30; break;
    case 5: p.name = "Brass Fall"; p.common.autoBendDepth = 22; p.common.autoBendTime = 10; break;
    case 6: p.name = "Tuba"; for (Tone& t : p.tones) t.semitones -= 24; p.tones[1].wave = wave("French Horn", 2); break;
    default: p.name = "Fanfare"; p.tones[1] = transient("Trumpet", 44, -2); p.tones[0].velLevel = 30; break;
    }
    return p;
}

Patch synthBrass(int m)
{
    Patch p;
    const char* waves[] = {"Saw 3", "Saw 6", "Square 2", "Synth 1", "Saw 10", "Synth 2"};
    Tone a = tone(wave(waves[m % 6]), swell(16, 54, 72, 26));
    a.velTime = -14;
    a.velLevel = 24;
    Tone b = withPitch(a, 0, 9);
    b.wave = wave(waves[(m + 1) % 6]);
    b.level = -2;
    p.tones = {a, b};
    p.common.autoBendDepth = -20;
    p.common.autoBendTime = 8;
    switch (m)
    {
    case 0: p.name = "Syn Brass"; break;
    case 1: p.name = "Poly Brass"; p.tones.push_back(withPitch(a, 12, -7)); p.tones.push_back(withPitch(b, 0, -11)); break;
    case 2: p.name = "Brass Stab"; for (Tone& t : p.tones) { t.env = strike(44, 20, 16); } break;
    case 3: p.name = "Jump Brass"; p.tones[1].semitones = 12; break;
    case 4: p.name = "Saw Brass"; p.common.ampMod12 = 0; p.tones[0].keyLevel = -8; break;
    default: p.name = "Fat Brass"; p.tones.push_back(withPitch(a, -12, 5)); p.tones.push_back(withPitch(b, 0, -13)); break;
    }
    return p;
}

Patch winds(int m)
{
    Patch p;
    Tone a = tone(wave("Flute"), swell(16, 50, 86, 20));
    a.velLevel = 18;
    a.velTime = -10;
    Tone b = tone(wave("Pan Flute Loop"), swell(18, 50, 80, 20), -8);
    p.tones = {a, b};
    p.common.polyMode = 0;
    p.common.vibratoDepth = 0;
    p.common.autoBendTime = 36;
    p.common.pressureVibrato = 18;
    switch (m)
    {
    case 0: p.name = "Flute"; break;
    case 1: p.name = "Pan Flute"; p.tones[0].wave = wave("Panflute"); p.tones[1] = transient("Pan Flute Attack", 30, -6); break;
    case 2: p.name = "Clarinet"; p.tones[0].wave = wave("Clarinet"); p.tones[1].wave = wave("Clarinet", 2); p.tones[1].semitones = -12; break;
    case 3: p.name = "Oboe"; p.tones[0].wave = wave("Oboe"); p.tones[1].wave = wave("Oboe", 2); p.tones[1].fine = 4; break;
    case 4: p.name = "Shakuhachi"; p.tones[0].wave = wave("Shakuhachi Loop"); p.tones[1] = transient("Shakuhachi Attack", 32, -4); p.common.autoBendDepth = -20; p.common.autoBendTime = 20; break;
    case 5: p.name = "Piccolo"; p.tones[0].semitones = 12; p.tones[1].semitones = 12; break;
    case 6: p.name = "Bassoon"; p.tones[0].wave = wave("Oboe", 2); p.tones[0].semitones = -12; p.tones[1].wave = wave("Clarinet", 2); p.tones[1].semitones = -12; break;
    case 7: p.name = "Wood Ens"; p.tones = {a, tone(wave("Clarinet"), a.env, -4), tone(wave("Oboe"), a.env, -6), withPitch(b, 12, 3)}; break;
    case 8: p.name = "Breath Flt"; p.tones[1] = tone(wave("White Noise Loop"), swell(10, 40, 20, 18), -20); break;
    default: p.name = "Recorder"; p.tones[0].wave = wave("Sin 2nd"); p.tones[1].wave = wave("Flute"); p.tones[1].semitones = 12; break;
    }
    return p;
}

Patch reed(int m)
{
    Patch p;
    Tone a = tone(wave("Accordion"), swell(10, 50, 90, 18));
    a.velLevel = 14;
    Tone b = withPitch(a, 0, 9);
    b.wave = wave("Accordion", 2);
    p.tones = {a, b};
    p.common.pressureVibrato = 10;
    switch (m)
    {
    case 0: p.name = "Accordion"; break;
    case 1: p.name = "Musette"; p.tones.push_back(withPitch(a, 0, -9)); p.tones.push_back(withPitch(b, 12, 0)); break;
    case 2: p.name = "Harmonica"; p.tones[0].wave = wave("Harmonica"); p.tones[1].wave = wave("Harmonica", 2); p.common.polyMode = 2; p.common.bendRange = 4; break;
    case 3: p.name = "Blues Harp"; p.tones[0].wave = wave("Harmonica", 3); p.tones[1].wave = wave("Harmonica", 4); p.common.autoBendDepth = -22; p.common.autoBendTime = 22; break;
    case 4: p.name = "Bandoneon"; p.tones[1].semitones = -12; break;
    default: p.name = "Melodica"; p.tones[0].wave = wave("Harmonica", 2); p.tones[1].wave = wave("Square 3"); p.tones[1].level = -10; break;
    }
    return p;
}

// ---------------------------------------------------------------- bass and lead
Patch bass(int m)
{
    Patch p;
    const char* waves[] = {"Ac Bass", "Pick Bass", "Round Bass", "Fretless", "Pull Bass", "Slap Bass", "Digi Bass 1", "Round Bass"};
    Tone a = tone(wave(waves[m % 8]), strike(64, 40, 14));
    a.semitones = -12;
    a.velLevel = 22;
    a.keyTime = -10;
    Tone sub = tone(wave("Sin 1st"), strike(70, 60, 14), -8);
    sub.semitones = -12;
    sub.velLevel = 10;
    p.tones = {a, sub};
    p.common.polyMode = 0;
    switch (m)
    {
    case 0: p.name = "Ac Bass"; p.tones[1] = transient("Bass Harmo", 30, -10); p.tones[1].semitones = -12; break;
    case 1: p.name = "Pick Bass"; p.tones[1] = transient("Pull Bass", 30, -8); p.tones[1].semitones = -12; break;
    case 2: p.name = "Finger Bs"; break;
    case 3: p.name = "Fretless"; p.common.polyMode = 2; p.common.autoBendDepth = -20; p.common.autoBendTime = 14; break;
    case 4: p.name = "Pull Bass"; p.tones[1] = transient("Pull Bass", 36, -4); p.tones[1].semitones = -12; break;
    case 5: p.name = "Slap Bass"; p.tones[0].velLevel = 32; p.tones[1] = tone(wave("Slap Bass", 2), strike(40, 0, 12), -6); p.tones[1].semitones = -12; break;
    case 6: p.name = "Digi Bass"; p.tones[1].wave = wave("Digi Bass 2"); break;
    case 7: p.name = "Wood Bass"; p.tones[0].wave = wave("Ac Bass", 2); p.tones[0].env = strike(56, 20, 18); break;
    case 8: p.name = "Mute Bass"; p.tones[0].env = strike(46, 0, 10); break;
    default: p.name = "Deep Bass"; p.tones[1].semitones = -24; break;
    }
    return p;
}

Patch synthBass(int m)
{
    Patch p;
    const char* waves[] = {"Synth Bass", "Saw 2", "Square 1", "Digi Bass 2", "Synth Bass", "Saw 5"};
    Tone a = tone(wave(waves[m % 6], m % 6 == 4 ? 2 : 1), strike(58, 46, 12));
    a.semitones = -12;
    a.velLevel = 24;
    Tone b = tone(wave("Sin 1st"), strike(62, 60, 12), -6);
    b.semitones = -12;
    p.tones = {a, b};
    switch (m)
    {
    case 0: p.name = "Syn Bass"; break;
    case 1: p.name = "Saw Bass"; p.tones[1].wave = wave("Saw 1"); p.tones[1].fine = 8; break;
    case 2: p.name = "Sqr Bass"; p.common.polyMode = 2; break;
    case 3: p.name = "Pluck Bass"; p.tones[0].env = strike(40, 10, 10); break;
    case 4: p.name = "Ring Bass"; p.common.ampMod12 = 1; p.tones[0].wave = wave("Sin 2nd"); break;
    case 5: p.name = "Fat Bass"; p.tones.push_back(withPitch(a, 0, 10)); p.tones.push_back(withPitch(b, -12, 0)); break;
    case 6: p.name = "Bend Bass"; p.common.autoBendDepth = 22; p.common.autoBendTime = 10; break;
    default: p.name = "Sub Bass"; p.tones[0].wave = wave("Triangle"); p.tones[1].semitones = -24; break;
    }
    return p;
}

Patch lead(int m)
{
    Patch p;
    const char* waves[] = {"Saw 1", "Square 4", "Synth Solo", "Saw 12", "Synth Solo", "Square 5", "Synth 4", "Saw 15"};
    Tone a = tone(wave(waves[m % 8], m % 8 == 4 ? 2 : 1), swell(4, 50, 86, 20));
    a.velLevel = 16;
    Tone b = withPitch(a, 12, 6);
    b.wave = wave(waves[(m + 3) % 8], 1);
    b.level = -6;
    p.tones = {a, b};
    p.common.polyMode = 2;
    p.common.bendRange = 2;
    p.common.pressureVibrato = 18;
    p.common.lfoSpeed = 40;
    switch (m)
    {
    case 0: p.name = "Saw Lead"; break;
    case 1: p.name = "Sqr Lead"; p.tones[1].semitones = 0; p.tones[1].fine = -8; break;
    case 2: p.name = "Solo Lead"; p.common.vibratoDepth = 20; p.common.autoBendTime = 30; break;
    case 3: p.name = "Sync Lead"; p.common.ampMod12 = 2; p.tones[0].wave = wave("Sin 3rd"); break;
    case 4: p.name = "Bend Lead"; p.common.autoBendDepth = -22; p.common.autoBendTime = 14; p.common.bendRange = 12; break;
    case 5: p.name = "Fifth Lead"; p.tones[1].semitones = 7; break;
    case 6: p.name = "Fat Lead"; p.tones.push_back(withPitch(a, 0, 10)); p.tones.push_back(withPitch(a, -12, -10)); break;
    case 7: p.name = "Whistle"; p.tones[0].wave = wave("Sin 1st"); p.tones[1].wave = wave("Sin 2nd"); p.common.vibratoDepth = 20; p.common.autoBendTime = 34; break;
    case 8: p.name = "Poly Lead"; p.common.polyMode = 0; break;
    default: p.name = "Screamer"; p.common.autoBendDepth = 24; p.common.autoBendTime = 18; p.tones[1].wave = wave("Saw 19"); break;
    }
    return p;
}

// ---------------------------------------------------------------- bells, mallets, plucked, ethnic
Patch bell(int m)
{
    Patch p;
    const char* waves[] = {"Bell", "Tube Bell", "Oriental Bell", "Glocken", "Tube Bell", "Sin 6th"};
    Tone a = tone(wave(waves[m % 6], m % 6 == 4 ? 2 : 1), strike(78, 0, 50));
    a.velLevel = 26;
    a.keyTime = -12;
    Tone b = withPitch(a, 12, 0);
    b.wave = wave("Sin 4th");
    b.env = strike(66, 0, 44);
    b.level = -6;
    p.tones = {a, b};
    switch (m)
    {
    case 0: p.name = "Bells"; break;
    case 1: p.name = "Tube Bells"; p.tones[1].semitones = 24; break;
    case 2: p.name = "Temple Bel"; p.common.ampMod12 = 1; p.tones[1].wave = wave("Sin 7th"); break;
    case 3: p.name = "Glocken"; p.tones[0].semitones = 12; p.tones[1] = transient("Rim", 10, -18); break;
    case 4: p.name = "Chimes"; p.tones.push_back(withPitch(a, 19, 3)); p.tones.push_back(withPitch(a, 0, -6)); break;
    case 5: p.name = "Celesta"; p.tones[0].wave = wave("Glocken", 2); p.tones[0].env = strike(62, 0, 36); break;
    case 6: p.name = "Ring Bell"; p.common.ampMod12 = 2; p.tones[0].wave = wave("Sin 11th"); p.tones[1].wave = wave("Sin 3rd"); break;
    case 7: p.name = "Crystal"; p.tones[1].wave = wave("Sin 12th"); p.tones[1].semitones = 0; break;
    case 8: p.name = "Gamelan"; p.tones[1].wave = wave("Oriental Bell", 2); p.tones[1].semitones = 7; break;
    default: p.name = "Music Box"; p.tones[0].wave = wave("Glocken", 3); p.tones[0].semitones = 24; p.tones[0].env = strike(58, 0, 30); break;
    }
    return p;
}

Patch mallet(int m)
{
    Patch p;
    const char* waves[] = {"Marimba", "Xylophone", "Vibe", "Kalimba", "Steel Drum", "Log Drum"};
    Tone a = tone(wave(waves[m % 6]), strike(54, 0, 26));
    a.velLevel = 26;
    a.keyTime = -14;
    Tone b = transient(m % 2 == 0 ? "Rim" : "Ac Tom", 16, -14);
    b.keyPitch = 0;
    p.tones = {a, b};
    switch (m)
    {
    case 0: p.name = "Marimba"; p.tones[1].wave = wave("Marimba", 2); p.tones[1].env = strike(40, 0, 20); break;
    case 1: p.name = "Xylophone"; p.tones[0].semitones = 12; p.tones[1].wave = wave("Xylophone", 2); break;
    case 2: p.name = "Vibes"; p.tones[0].env = strike(72, 0, 40); p.common.vibratoDepth = 0; p.tones[1].wave = wave("Vibe", 2); p.tones[1].env = strike(70, 0, 40); break;
    case 3: p.name = "Kalimba"; p.tones[1].wave = wave("Kalimba", 2); p.tones[1].env = strike(40, 0, 20); break;
    case 4: p.name = "Steel Drum"; p.tones[1].wave = wave("Steel Drum", 2); p.tones[1].env = strike(50, 0, 20); break;
    case 5: p.name = "Log Drum"; break;
    case 6: p.name = "Wood Block"; p.tones[0].env = strike(30, 0, 12); p.tones[0].semitones = 12; break;
    default: p.name = "Balafon"; p.tones[0].wave = wave("Marimba"); p.tones[1].wave = wave("Log Drum", 2); p.tones[1].env = strike(36, 0, 16); break;
    }
    return p;
}

Patch pluck(int m)
{
    Patch p;
    const char* waves[] = {"A Guitar", "F Guitar", "Strat", "Harp", "A Guitar", "F Guitar"};
    Tone a = tone(wave(waves[m % 6], m % 6 >= 4 ? 2 : 1), strike(62, 0, 24));
    a.velLevel = 24;
    a.keyTime = -14;
    Tone b = transient(m % 3 == 0 ? "A Guitar" : (m % 3 == 1 ? "F Guitar" : "Strat Guitar"), 40, -4);
    p.tones = {a, b};
    switch (m)
    {
    case 0: p.name = "Nylon Gtr"; break;
    case 1: p.name = "Steel Gtr"; break;
    case 2: p.name = "Elec Gtr"; break;
    case 3: p.name = "Harp"; p.tones[0].wave = wave("Harp", 2); p.tones[1] = tone(wave("Harp", 3), strike(58, 0, 30), -6); break;
    case 4: p.name = "12 String"; p.tones.push_back(withPitch(a, 12, 4)); p.tones.push_back(withPitch(a, 0, -5)); break;
    case 5: p.name = "Mute Gtr"; p.tones[1] = transient("Fuzz Mute", 30, 0); p.tones[0].env = strike(40, 0, 10); break;
    case 6: p.name = "Jazz Gtr"; p.tones[0].wave = wave("Strat", 2); p.tones[0].velLevel = 16; break;
    case 7: p.name = "Harmonics"; p.tones[1] = transient("Guitar Harmo", 50, 0); p.tones[0].semitones = 12; break;
    case 8: p.name = "Banjo"; p.tones[0].env = strike(46, 0, 16); p.tones[1].wave = wave("Rim"); break;
    case 9: p.name = "Dist Gtr"; p.tones[0].env = strike(70, 50, 16); p.tones[1] = tone(wave("Saw 14"), strike(66, 40, 16), -8); break;
    case 10: p.name = "Mandolin"; p.tones[0].semitones = 12; p.tones.push_back(withPitch(a, 12, 7)); p.tones.push_back(b); break;
    default: p.name = "Rev Guitar"; p.tones[1] = tone(wave("F Guitar Rev"), strike(60, 0, 20), -4); break;
    }
    return p;
}

Patch ethnic(int m)
{
    Patch p;
    const char* waves[] = {"Koto", "Sitar", "Kalimba", "Steel Drum", "Koto", "Sitar"};
    Tone a = tone(wave(waves[m % 6], m % 6 >= 4 ? 2 : 1), strike(62, 0, 24));
    a.velLevel = 24;
    a.keyTime = -12;
    Tone b = withPitch(a, 0, 5);
    b.wave = wave(waves[(m + 1) % 6], 2);
    b.level = -8;
    p.tones = {a, b};
    switch (m)
    {
    case 0: p.name = "Koto"; break;
    case 1: p.name = "Sitar"; p.common.autoBendDepth = -20; p.common.autoBendTime = 16; break;
    case 2: p.name = "Mbira"; break;
    case 3: p.name = "Pan Steel"; break;
    case 4: p.name = "Shamisen"; p.tones[0].env = strike(48, 0, 14); p.tones[1] = transient("Rim", 12, -12); break;
    case 5: p.name = "Tanpura"; p.tones[0].env = strike(80, 30, 40); p.tones.push_back(withPitch(a, -12, -4)); p.tones.push_back(withPitch(a, 7, 3)); break;
    case 6: p.name = "Santur"; p.tones[1].semitones = 12; break;
    case 7: p.name = "Bamboo"; p.tones[0] = tone(wave("Shakuhachi"), swell(14, 50, 80, 22)); p.tones[0].velLevel = 16; p.tones[1] = transient("Shakuhachi Attack", 30, -6); break;
    default: p.name = "Gu Zheng"; p.common.autoBendDepth = 20; p.common.autoBendTime = 12; break;
    }
    return p;
}

// ---------------------------------------------------------------- drums and effects
Patch drum(int m)
{
    Patch p;
    const char* hits[] = {"Bass Drum", "Ac Snare", "Tight Snare", "E Snare", "Rim", "Ac Tom", "H Hat", "Crash", "Ride"};
    const char* hit = hits[m % 9];
    Tone a = tone(wave(hit), strike(50, 0, 24));
    a.velLevel = 30;
    a.vibrato = false;
    Tone b = tone(wave("White Noise"), strike(30, 0, 14), -16);
    b.velLevel = 34;
    b.vibrato = false;
    p.tones = {a, b};
    p.common.pressureVibrato = 0;
    switch (m)
    {
    case 0: p.name = "Kick"; p.tones[1] = tone(wave("Sin 1st"), strike(36, 0, 10), -4); p.tones[1].semitones = -24; p.common.autoBendDepth = 24; p.common.autoBendTime = 6; break;
    case 1: p.name = "Snare"; break;
    case 2: p.name = "Tight Snr"; break;
    case 3: p.name = "E Snare"; p.tones[1].level = -8; break;
    case 4: p.name = "Rim Shot"; p.tones[1].level = -24; break;
    case 5: p.name = "Toms"; p.tones[1].env = strike(24, 0, 10); p.common.autoBendDepth = 20; p.common.autoBendTime = 14; break;
    case 6: p.name = "Hi Hat"; p.tones[1].level = -10; break;
    case 7: p.name = "Crash"; p.tones[0].env = strike(74, 0, 46); break;
    case 8: p.name = "Ride"; p.tones[0].env = strike(70, 0, 40); break;
    case 9: p.name = "Timpani"; p.tones[0] = tone(wave("Ac Tom"), strike(70, 0, 40)); p.tones[0].semitones = -12; p.tones[1] = tone(wave("Sin 1st"), strike(64, 0, 36), -6); p.tones[1].semitones = -12; break;
    case 10: p.name = "Cowbell"; p.common.ampMod12 = 1; p.tones = {tone(wave("Sin 5th"), strike(30, 0, 12)), tone(wave("Sin 8th"), strike(34, 0, 12), -4)}; p.tones[0].velLevel = 30; break;
    case 11: p.name = "Drum Kit"; p.tones = {tone(wave("Omnibus Loop 1"), strike(40, 0, 14)), tone(wave("Ac Snare"), strike(40, 0, 14), -6)}; break;
    case 12: p.name = "Claps"; p.tones[0].wave = wave("E Snare"); p.tones[1].env = strike(26, 0, 16); p.tones[1].level = -6; break;
    case 13: p.name = "Rev Snare"; p.tones[0] = tone(wave("Ac Snare Rev"), strike(60, 0, 20)); break;
    case 14: p.name = "Tom Rev"; p.tones[0] = tone(wave("Ac Tom Rev"), strike(60, 0, 20)); break;
    default: p.name = "Shaker"; p.tones[0] = tone(wave("H Hat Alt"), strike(24, 0, 12)); p.tones[1].env = strike(20, 0, 10); break;
    }
    for (Tone& t : p.tones)
    {
        t.vibrato = false;
        if (t.velLevel < 24)
            t.velLevel = 24;
    }
    return p;
}

Patch fx(int m)
{
    Patch p;
    Tone a = tone(wave("Omnibus Loop 3"), swell(20, 60, 70, 40));
    a.velLevel = 16;
    Tone b = tone(wave("Random"), swell(20, 60, 50, 40), -10);
    p.tones = {a, b};
    p.common.lfoSpeed = 60;
    switch (m)
    {
    case 0: p.name = "Sci-Fi"; p.common.vibratoDepth = 24; p.common.lfoShape = 3; p.common.lfoSpeed = 70; break;
    case 1: p.name = "Wind"; p.tones = {tone(wave("White Noise Loop"), swell(50, 60, 80, 50)), tone(wave("White Noise Loop"), swell(54, 60, 60, 50), -6)}; p.tones[1].semitones = 12; p.common.vibratoDepth = 24; p.common.lfoSpeed = 1; break;
    case 2: p.name = "Laser"; p.tones = {tone(wave("Saw 1"), strike(40, 0, 20)), tone(wave("Square 1"), strike(40, 0, 20), -6)}; p.common.autoBendDepth = 50; p.common.autoBendTime = 22; break;
    case 3: p.name = "Metal Hit"; p.common.ampMod12 = 1; p.tones = {tone(wave("Sin 9th"), strike(60, 0, 30)), tone(wave("Bell"), strike(64, 0, 34))}; p.tones[1].semitones = 5; break;
    case 4: p.name = "Rain Drops"; p.tones = {tone(wave("Kalimba", 3), strike(30, 0, 36)), tone(wave("Sin 8th"), strike(26, 0, 30), -6)}; p.tones[0].semitones = 24; p.common.vibratoDepth = 30; p.common.lfoShape = 3; p.common.lfoSpeed = 50; break;
    case 5: p.name = "Omnibus"; p.tones[1].wave = wave("Omnibus Loop 7"); break;
    case 6: p.name = "Space Vox"; p.tones = {tone(wave("Voice Loop"), swell(46, 60, 80, 50)), tone(wave("Sin 5th"), swell(50, 60, 60, 50), -10)}; p.common.vibratoDepth = 20; p.common.lfoSpeed = 4; break;
    case 7: p.name = "Train"; p.tones = {tone(wave("Omnibus Loop 8"), swell(10, 50, 80, 30)), tone(wave("White Noise Loop"), swell(10, 50, 60, 30), -10)}; break;
    case 8: p.name = "Ufo"; p.common.vibratoDepth = 40; p.common.lfoShape = 0; p.common.lfoSpeed = 12; p.tones[0].wave = wave("Sin 1st"); break;
    case 9: p.name = "Rev Gtr Fx"; p.tones = {tone(wave("F Guitar Rev"), strike(60, 0, 20)), tone(wave("Crash Alt"), strike(50, 0, 20), -12)}; break;
    case 10: p.name = "Bubbles"; p.common.lfoShape = 3; p.common.vibratoDepth = 34; p.common.lfoSpeed = 30; p.tones = {tone(wave("Sin 1st"), strike(50, 30, 30)), tone(wave("Sin 2nd"), strike(44, 20, 30), -8)}; p.tones[0].semitones = 12; break;
    case 11: p.name = "Thunder"; p.tones = {tone(wave("White Noise Loop"), swell(24, 74, 0, 50)), tone(wave("Crash"), strike(70, 0, 40), -6)}; p.tones[0].semitones = -24; p.tones[1].semitones = -24; break;
    case 12: p.name = "Heartbeat"; p.tones = {tone(wave("Bass Drum"), strike(30, 0, 12)), tone(wave("Sin 1st"), strike(30, 0, 12), -8)}; p.tones[1].semitones = -24; break;
    case 13: p.name = "Siren"; p.common.vibratoDepth = 40; p.common.lfoShape = 0; p.common.lfoSpeed = 1; p.tones = {tone(wave("Square 2"), swell(8, 50, 90, 30)), tone(wave("Sin 1st"), swell(8, 50, 80, 30), -8)}; break;
    case 14: p.name = "Ghosts"; p.common.ampMod12 = 1; p.tones[0].wave = wave("Voice Loop"); p.tones[1].wave = wave("Omnibus Loop 4"); break;
    default: p.name = "Noise Hit"; p.tones = {tone(wave("White Noise"), strike(40, 0, 20)), tone(wave("Crash"), strike(50, 0, 26), -6)}; break;
    }
    for (Tone& t : p.tones)
    {
        if (t.velLevel < 14)
            t.velLevel = 14;
    }
    return p;
}

// Two families in one single: the first two tones of each.
Patch layer(int m)
{
    struct Pair
    {
        Family a;
        int ma;
        Family b;
        int mb;
        const char* name;
    };
    static const Pair pairs[] = {
        {Family::Piano, 0, Family::Strings, 0, "Pno+Str"},
        {Family::EPiano, 0, Family::Pad, 0, "EP+Pad"},
        {Family::Piano, 1, Family::Voice, 0, "Pno+Choir"},
        {Family::Bass, 2, Family::Piano, 0, "Bass+Pno"},
        {Family::Strings, 0, Family::Brass, 0, "Str+Brass"},
        {Family::Organ, 2, Family::Strings, 3, "Org+Str"},
        {Family::Bell, 0, Family::Pad, 1, "Bell+Pad"},
        {Family::Winds, 0, Family::Strings, 0, "Flute+Str"},
        {Family::Pluck, 0, Family::Strings, 3, "Gtr+Str"},
        {Family::Mallet, 2, Family::Pad, 0, "Vibe+Pad"},
        {Family::Brass, 1, Family::SynthBrass, 0, "Trp+Syn"},
        {Family::Lead, 0, Family::Bell, 5, "Lead+Bell"},
        {Family::Voice, 1, Family::Bell, 1, "Vox+Bell"},
        {Family::EPiano, 1, Family::Strings, 0, "EP+Str"},
        {Family::Clav, 1, Family::Strings, 0, "Harp+Str"},
        {Family::Mallet, 0, Family::Winds, 0, "Mrmba+Flt"},
    };
    const Pair& pair = pairs[m % std::size(pairs)];
    Patch a = makeFamily(pair.a, pair.ma);
    Patch b = makeFamily(pair.b, pair.mb);
    Patch p = a;
    p.name = pair.name;
    p.common.ampMod12 = a.common.ampMod12;
    p.common.ampMod34 = b.common.ampMod12;
    p.common.polyMode = 0;
    p.tones = {a.tones[0], a.tones[1 % a.tones.size()], b.tones[0], b.tones[1 % b.tones.size()]};
    return p;
}

struct FamilyInfo
{
    const char* name;
    Patch (*recipe)(int model);
    int models;
};

const FamilyInfo g_families[] = {
    {"piano", piano, 10},       {"electric piano", ePiano, 8}, {"clavi", clav, 6},
    {"organ", organ, 9},        {"strings", strings, 10},      {"pad", pad, 12},
    {"brass", brass, 8},        {"synth brass", synthBrass, 6}, {"winds", winds, 10},
    {"reed", reed, 6},          {"bass", bass, 10},            {"synth bass", synthBass, 8},
    {"lead", lead, 10},         {"bell", bell, 10},            {"mallet", mallet, 8},
    {"plucked", pluck, 12},     {"ethnic", ethnic, 9},         {"voice", voice, 8},
    {"drum", drum, 16},         {"effect", fx, 16},            {"layer", layer, 16},
};
static_assert(std::size(g_families) == static_cast<size_t>(Family::Count));
} // namespace

const char* familyName(Family family)
{
    return g_families[static_cast<size_t>(family)].name;
}

Patch makeFamily(Family family, int variant)
{
    const FamilyInfo& info = g_families[static_cast<size_t>(family)];
    const int model = variant % info.models;
    const int round = variant / info.models;
    Patch p = info.recipe(model);
    applyRound(p, round, static_cast<uint32_t>(family) * 131u + static_cast<uint32_t>(model));
    p.name = roundName(p.name, round);
    return p;
}
} // namespace designer
