// Ensemble recipes: strings, pads and voices, which swell in, then brass, winds and reeds.

#include "tools/patchdesigner/recipeKit.h"

namespace designer::recipes
{
using namespace kit;

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
    p.common.pressureVibrato = 1; // +24 cents at full pressure
    p.common.vibratoDepth = 8; // +-12 cents: a section's shimmer
    switch (m)
    {
    case 0: p.name = "Strings"; break;
    case 1: p.name = "Str Ensmbl"; p.tones.push_back(withPitch(b, 12, -5)); p.tones.push_back(withPitch(a, 0, -7)); break;
    case 2: p.name = "Violin"; p.tones[1].wave = wave("Violin"); p.common.vibratoDepth = 11; p.common.autoBendTime = 30; break;
    case 3: p.name = "Slow Str"; for (Tone& t : p.tones) t.env.attack = 48; p.tones[1].wave = wave("String Pad"); p.tones[1].semitones = 12; break;
    case 4: p.name = "Pizzicato"; p.tones = {transient("Pizzicato", 40, 0), tone(wave("String", 2), strike(36, 0, 14), -10)}; break;
    case 5: p.name = "Bowed Str"; p.tones[0] = transient("Bowed String", 40, -4); p.tones[0].env = swell(14, 60, 40, 30); break;
    case 6: p.name = "Cello Sect"; for (Tone& t : p.tones) t.semitones -= 12; p.tones[1].wave = wave("Violin"); break;
    case 7: p.name = "Orchestra"; p.tones[1].wave = wave("Orchestra"); p.tones.push_back(tone(wave("Brass", 3), swell(26, 50, 80, 34), -10)); p.tones.push_back(withPitch(a, -12, 4)); break;
    case 8: p.name = "Str Attack"; p.tones[0] = transient("String Attack", 44, -2); p.tones[1].wave = wave("Saw 7"); break;
    default: p.name = "Chamber"; p.tones[0].env = swell(24, 60, 70, 36); p.tones[0].fine = -4; break;
    }
    return p;
}

Patch pad(int m)
{
    Patch p;
    const char* waves[] = {"Mello Pad", "String Pad", "Synth 3", "Voice Loop", "Synth 1", "Synth 4",
                           "Saw 11", "Saw 8", "Synth 2"};
    Tone a = tone(wave(waves[m % 9]), swell(50, 60, 90, 52));
    a.velLevel = 12;
    a.keyLevel = -6;
    Tone b = withPitch(a, 0, 8);
    b.wave = wave(waves[(m + 4) % 9]);
    b.level = -4;
    b.env.attack = 54;
    p.tones = {a, b};
    p.common.lfoSpeed = 18;
    p.common.pressureVibrato = 2; // +-48 cents at full pressure
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
    case 8: p.name = "Shimmer"; p.common.ampMod12 = 1; p.tones[0].wave = wave("Sin 5th"); p.tones[1].wave = wave("String Pad"); break;
    case 9: p.name = "Fifth Pad"; p.tones[1].semitones = 7; break;
    case 10: p.name = "Wave Pad"; p.common.lfoShape = 0; p.common.vibratoDepth = 12; p.common.lfoSpeed = 2; p.common.pressureVibrato = 0; break;
    default:
        p.name = "Haze Pad";
        p.tones = {a, b, tone(wave("White Noise Loop"), swell(52, 50, 40, 50), -22), withPitch(a, 0, -9)};
        break;
    }
    // Once the sweep has settled its two waves beat against each other where
    // their harmonics meet: the second stays further back.
    if (m == 7)
        p.tones[1].level -= 12;
    return p;
}

Patch voice(int m)
{
    Patch p;
    Tone a = tone(wave(m % 2 == 0 ? "Voice 1" : "Voice 2"), swell(36, 50, 90, 44));
    a.velLevel = 14;
    // The breathy loop an octave up: at the voice's own pitch its drift
    // would beat against the steady wave.
    Tone b = tone(wave("Voice Loop"), swell(34, 50, 90, 44), -6);
    b.semitones = 12;
    p.tones = {a, b};
    p.common.vibratoDepth = 8; // +-12 cents
    p.common.pressureVibrato = 1;
    p.common.lfoSpeed = 26;
    switch (m)
    {
    case 0: p.name = "Choir"; break;
    case 1: p.name = "Aah Voices"; break;
    case 2: p.name = "Ooh Voices"; p.tones[0].wave = wave("Sin 2nd"); p.tones[0].level = -6; break;
    case 3: p.name = "Big Choir"; p.tones.push_back(withPitch(a, 12, 0)); p.tones.push_back(withPitch(a, -12, 0)); break;
    case 4: p.name = "Solo Voice"; p.common.polyMode = 2; p.common.vibratoDepth = 11; p.common.autoBendTime = 40; break;
    case 5: p.name = "Whisper"; p.tones[1] = tone(wave("White Noise Loop"), swell(30, 40, 50, 40), -18); break;
    case 6: p.name = "Vox Pad"; for (Tone& t : p.tones) t.env.attack = 52; break;
    default: p.name = "Vocal Hit"; p.tones[1] = transient("Voice", 50, 0); p.tones[0].env = strike(60, 20, 30); break;
    }
    return p;
}

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
    p.common.autoBendDepth = -13; // a scoop of 40 cents into each note
    p.common.autoBendTime = 12;
    p.common.velBend = 10;
    p.common.pressureVibrato = 2;
    switch (m)
    {
    case 0: p.name = "Brass Sect"; break;
    case 1: p.name = "Trumpet"; p.common.polyMode = 2; p.tones[1] = transient("Trumpet", 40, -4); break;
    case 2: p.name = "Fr Horn"; for (Tone& t : p.tones) { t.env.attack = 20; t.semitones -= 12; } break;
    case 3: p.name = "Big Brass"; p.tones.push_back(withPitch(a, -12, -4)); p.tones.push_back(withPitch(b, 12, 4)); break;
    case 4: p.name = "Soft Brass"; for (Tone& t : p.tones) t.env.attack = 20; p.common.autoBendDepth = 0; p.tones[0].velLevel = 30; p.tones[0].wave = wave("French Horn", 3); break;
    case 5: p.name = "Brass Fall"; p.common.autoBendDepth = 20; p.common.autoBendTime = 10; break;
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
    p.common.autoBendDepth = -12;
    p.common.autoBendTime = 8;
    p.common.pressureVibrato = 1;
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
    Tone b = tone(wave("Pan Flute Sus"), swell(18, 50, 80, 20), -8);
    p.tones = {a, b};
    p.common.polyMode = 0;
    p.common.vibratoDepth = 0;
    p.common.autoBendTime = 36;
    p.common.pressureVibrato = 2;
    switch (m)
    {
    case 0: p.name = "Flute"; break;
    case 1: p.name = "Pan Flute"; p.tones[0].wave = wave("Pan Flute Loop"); p.tones[1] = transient("Pan Flute Attack", 30, -6); break;
    case 2: p.name = "Clarinet"; p.tones[0].wave = wave("Clarinet"); p.tones[1].wave = wave("Clarinet", 2); p.tones[1].semitones = -12; break;
    case 3: p.name = "Oboe"; p.tones[0].wave = wave("Oboe"); p.tones[1].wave = wave("Oboe", 2); p.tones[1].fine = 4; break;
    case 4: // the held breath is the loop; the sustain sample, which plays once, is the onset
        p.name = "Shakuhachi";
        p.tones[0].wave = wave("Shakuhachi Loop");
        p.tones[1] = transient("Shakuhachi Sus", 40, -4);
        p.common.autoBendDepth = -15;
        p.common.autoBendTime = 20;
        break;
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
    p.common.pressureVibrato = 1;
    switch (m)
    {
    case 0: p.name = "Accordion"; break;
    case 1: p.name = "Musette"; p.tones.push_back(withPitch(a, 0, -9)); p.tones.push_back(withPitch(b, 12, 0)); break;
    case 2: p.name = "Harmonica"; p.tones[0].wave = wave("Harmonica"); p.tones[1].wave = wave("Harmonica", 2); p.common.polyMode = 2; p.common.bendRange = 4; break;
    case 3: p.name = "Blues Harp"; p.tones[0].wave = wave("Harmonica", 3); p.tones[1].wave = wave("Harmonica", 4); p.common.autoBendDepth = -18; p.common.autoBendTime = 22; break;
    case 4: p.name = "Bandoneon"; p.tones[1].semitones = -12; break;
    default: p.name = "Melodica"; p.tones[0].wave = wave("Harmonica", 2); p.tones[1].wave = wave("Square 3"); p.tones[1].level = -10; break;
    }
    return p;
}
} // namespace designer::recipes
