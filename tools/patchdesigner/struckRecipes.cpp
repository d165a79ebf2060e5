// Struck and plucked recipes: bells, mallets, guitars and harps, instruments of other traditions; they die away while held.

#include "tools/patchdesigner/recipeKit.h"

namespace designer::recipes
{
using namespace kit;

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
    case 5: p.name = "Log Drum"; p.tones[1].wave = wave("Log Drum", 3); p.tones[1].env = strike(30, 0, 14); break;
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
    case 4: p.name = "12 String"; p.tones.push_back(withPitch(a, 12, 4)); p.tones.push_back(withPitch(a, 0, -5)); p.tones[2].wave = wave("F Guitar Loop"); break;
    case 5: p.name = "Mute Gtr"; p.tones[1] = transient("Fuzz Mute", 30, 0); p.tones[0].env = strike(40, 0, 10); break;
    case 6: p.name = "Jazz Gtr"; p.tones[0].wave = wave("Strat", 2); p.tones[0].velLevel = 16; break;
    case 7: p.name = "Harmonics"; p.tones[1] = transient("Guitar Harmo", 50, 0); p.tones[0].semitones = 12; break;
    case 8: p.name = "Banjo"; p.tones[0].env = strike(46, 0, 16); p.tones[1].wave = wave("Rim"); break;
    case 9: p.name = "Dist Gtr"; p.tones[0].env = strike(70, 30, 16); p.tones[1] = tone(wave("Saw 14"), strike(66, 20, 16), -8); break;
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
    case 7: p.name = "Bamboo"; p.tones[0] = tone(wave("Shakuhachi Loop"), swell(14, 50, 80, 22)); p.tones[0].velLevel = 16; p.tones[1] = transient("Shakuhachi Attack", 30, -6); break;
    default: p.name = "Gu Zheng"; p.common.autoBendDepth = 20; p.common.autoBendTime = 12; p.tones[0].wave = wave("Koto", 2); p.tones[1].semitones = 12; break;
    }
    return p;
}
} // namespace designer::recipes
