// Drum and effect recipes: fixed-character hits that decay, and effects with their own motion.

#include "tools/patchdesigner/recipeKit.h"

namespace designer::recipes
{
using namespace kit;

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
    case 0: p.name = "Kick"; p.tones[1] = tone(wave("Sin 1st"), strike(36, 0, 10), -4); p.tones[1].semitones = -24; p.common.autoBendDepth = 20; p.common.autoBendTime = 6; break;
    case 1: p.name = "Snare"; p.tones[1] = tone(wave("Ac Snare Loop"), strike(34, 0, 14), -12); break;
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
    p.common.pressureVibrato = 8; // an effect may swing wide
    switch (m)
    {
    case 0: p.name = "Sci-Fi"; p.tones[1].wave = wave("Omnibus Loop 5"); p.common.vibratoDepth = 20; p.wideVibrato = true; p.common.lfoShape = 3; p.common.lfoSpeed = 70; break;
    case 1: p.name = "Wind"; p.tones = {tone(wave("White Noise Loop"), swell(50, 60, 80, 50)), tone(wave("White Noise Loop"), swell(54, 60, 60, 50), -6)}; p.tones[1].semitones = 12; p.common.vibratoDepth = 20; p.wideVibrato = true; p.common.lfoSpeed = 1; break;
    case 2: p.name = "Laser"; p.tones = {tone(wave("Saw 1"), strike(40, 0, 20)), tone(wave("Square 1"), strike(40, 0, 20), -6)}; p.common.autoBendDepth = 50; p.common.autoBendTime = 22; break;
    case 3: p.name = "Metal Hit"; p.common.ampMod12 = 1; p.tones = {tone(wave("Sin 9th"), strike(60, 0, 30)), tone(wave("Bell"), strike(64, 0, 34))}; p.tones[1].semitones = 5; break;
    case 4: p.name = "Rain Drops"; p.tones = {tone(wave("Kalimba", 3), strike(30, 0, 36)), tone(wave("Sin 8th"), strike(26, 0, 30), -6)}; p.tones[0].semitones = 24; p.common.vibratoDepth = 30; p.wideVibrato = true; p.common.lfoShape = 3; p.common.lfoSpeed = 50; break;
    case 5: p.name = "Omnibus"; p.tones[0].wave = wave("Omnibus Loop 2"); p.tones[1].wave = wave("Omnibus Loop 7"); break;
    case 6: p.name = "Space Vox"; p.tones = {tone(wave("Voice Loop"), swell(46, 60, 80, 50)), tone(wave("Sin 5th"), swell(50, 60, 60, 50), -10)}; p.common.vibratoDepth = 20; p.wideVibrato = true; p.common.lfoSpeed = 4; break;
    case 7: p.name = "Train"; p.tones = {tone(wave("Omnibus Loop 8"), swell(10, 50, 80, 30)), tone(wave("Omnibus Loop 6"), swell(10, 50, 60, 30), -10)}; break;
    case 8: p.name = "Ufo"; p.common.vibratoDepth = 40; p.wideVibrato = true; p.common.lfoShape = 0; p.common.lfoSpeed = 12; p.tones[0].wave = wave("Sin 1st"); break;
    case 9: p.name = "Rev Gtr Fx"; p.tones = {tone(wave("F Guitar Rev"), strike(60, 0, 20)), tone(wave("Crash Alt"), strike(50, 0, 20), -12)}; break;
    case 10: p.name = "Bubbles"; p.common.lfoShape = 3; p.common.vibratoDepth = 30; p.wideVibrato = true; p.common.lfoSpeed = 30; p.tones = {tone(wave("Sin 1st"), strike(50, 30, 30)), tone(wave("Sin 2nd"), strike(44, 20, 30), -8)}; p.tones[0].semitones = 12; break;
    case 11: p.name = "Thunder"; p.tones = {tone(wave("White Noise Loop"), swell(24, 74, 0, 50)), tone(wave("Crash"), strike(70, 0, 40), -6)}; p.tones[0].semitones = -24; p.tones[1].semitones = -24; break;
    case 12: p.name = "Heartbeat"; p.tones = {tone(wave("Bass Drum"), strike(30, 0, 12)), tone(wave("Sin 1st"), strike(30, 0, 12), -8)}; p.tones[1].semitones = -24; break;
    case 13: p.name = "Siren"; p.common.vibratoDepth = 40; p.wideVibrato = true; p.common.lfoShape = 0; p.common.lfoSpeed = 1; p.tones = {tone(wave("Square 2"), swell(8, 50, 90, 30)), tone(wave("Sin 1st"), swell(8, 50, 80, 30), -8)}; break;
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
} // namespace designer::recipes
