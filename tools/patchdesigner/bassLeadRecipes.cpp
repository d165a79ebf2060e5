// Bass and lead recipes: basses sound an octave below the key, leads are bright and mostly solo.

#include "tools/patchdesigner/recipeKit.h"

namespace designer::recipes
{
using namespace kit;

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
    case 3: p.name = "Fretless"; p.common.polyMode = 2; p.common.autoBendDepth = -14; p.common.autoBendTime = 14; break;
    case 4: p.name = "Pull Bass"; p.tones[0].level = -12; p.tones[1].level = 0; break; // the sub keeps the bright pull below the leads
    case 5: p.name = "Slap Bass"; p.tones[0].velLevel = 32; p.tones[0].level = -16; p.tones[1].level = 0; break;
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
    case 6: p.name = "Bend Bass"; p.common.autoBendDepth = 20; p.common.autoBendTime = 10; p.tones[0].wave = wave("Saw 2"); p.tones[1].level = -2; break;
    default: p.name = "Sub Bass"; p.tones[0].wave = wave("Triangle"); p.tones[1].semitones = -24; break;
    }
    return p;
}

Patch lead(int m)
{
    Patch p;
    const char* waves[] = {"Saw 1", "Square 4", "Synth Solo", "Saw 12", "Synth Solo", "Saw 15", "Saw 13", "Saw 14"};
    Tone a = tone(wave(waves[m % 8], m % 8 == 4 ? 2 : 1), swell(4, 50, 86, 20));
    a.velLevel = 16;
    Tone b = withPitch(a, 12, 6);
    b.wave = wave(waves[(m + 3) % 8], 1);
    b.level = -6;
    p.tones = {a, b};
    p.common.polyMode = 2;
    p.common.bendRange = 2;
    p.common.pressureVibrato = 1; // +24 cents at full pressure
    p.common.lfoSpeed = 40;
    p.common.vibratoDepth = 9; // +-14 cents
    switch (m)
    {
    case 0: p.name = "Saw Lead"; break;
    case 1: p.name = "Sqr Lead"; p.tones[1].semitones = 0; p.tones[1].fine = -8; break;
    case 2: p.name = "Solo Lead"; p.common.vibratoDepth = 11; p.common.autoBendTime = 30; break;
    case 3: p.name = "Sync Lead"; p.common.ampMod12 = 2; p.tones[0].wave = wave("Sin 3rd"); break;
    case 4: p.name = "Bend Lead"; p.common.autoBendDepth = -20; p.common.autoBendTime = 14; p.common.bendRange = 12; break;
    case 5: p.name = "Fifth Lead"; p.tones[1].semitones = 7; break;
    case 6: p.name = "Fat Lead"; p.tones[0].wave = wave("Saw 1"); a.wave = p.tones[0].wave; p.tones.push_back(withPitch(a, 0, 10)); p.tones.push_back(withPitch(a, 0, -14)); break;
    case 7: p.name = "Whistle"; p.tones[0].wave = wave("Sin 1st"); p.tones[1].wave = wave("Sin 2nd"); p.common.vibratoDepth = 10; p.common.autoBendTime = 34; break;
    case 8: p.name = "Poly Lead"; p.common.polyMode = 0; p.tones[0].wave = wave("Synth 1"); p.tones[1].semitones = 0; break;
    default: p.name = "Screamer"; p.common.autoBendDepth = 20; p.common.autoBendTime = 18; p.tones[1].wave = wave("Saw 19"); break;
    }
    return p;
}
} // namespace designer::recipes
