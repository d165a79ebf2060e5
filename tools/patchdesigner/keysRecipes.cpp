// Keyboard recipes: acoustic and electric pianos, clavichords and harpsichords, organs.

#include "tools/patchdesigner/recipeKit.h"

namespace designer::recipes
{
using namespace kit;

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
    case 7: p.name = "Dark Piano"; p.tones[0].wave = wave("Piano 1", 2); p.tones[1] = transient("Piano Noise Alt", 26, -16); break;
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
    case 4: p.name = "Sparkle EP"; p.tones[1].level = -2; p.tones[1].semitones = 19; break;
    case 5: // the tine's bark up front: a brighter tine and its bell louder
        p.name = "Dyno EP";
        p.tones[0].wave = wave("E Piano 1", 2);
        p.tones[0].velLevel = 40;
        p.tones[0].velCurve = 3;
        p.tones[1].level = -4;
        break;
    case 6: p.name = "Wurly"; p.tones[0].wave = wave("E Piano 2", 2); p.tones[1] = transient("Piano Noise", 24, -12); break;
    default:
        p.name = "Pad EP";
        p.tones = {main, bell, tone(wave("String Pad"), swell(46, 60, 30, 40), -8), withPitch(main, 0, 5)};
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
    case 4: p.name = "Clav Wah"; p.common.autoBendDepth = -20; p.common.autoBendTime = 18; p.tones[1] = tone(wave("Clavi", 3), strike(30, 0, 10), -2); p.tones[1].semitones = 12; break;
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
    case 7: p.name = "Leslie Org"; p.common.vibratoDepth = 9; p.common.lfoSpeed = 58; p.tones[1].vibrato = false; p.tremolo = true; break; // the rotor throbs
    default: p.name = "Reed Organ"; p.tones[1] = tone(wave("Accordion"), Env{0, 4, 40, 100, 14}, -6); break;
    }
    // An organ's keys are switches: every note speaks at the same level.
    for (Tone& t : p.tones)
        t.velLevel = 0;
    return p;
}
} // namespace designer::recipes
