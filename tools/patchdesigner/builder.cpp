// Turns a recipe's musical description into a single in the K1's stored form.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "patch/waveformNames.h"
#include "tools/patchdesigner/designer.h"

namespace designer
{
namespace
{
constexpr int kCentre = 50;
constexpr int kUnisonCoarse = 84; // coarse value of "no transposition"
constexpr int kFixedKeyOffset = 24; // a fixed key plays coarse - 24

uint32_t clampField(int value, int low, int high)
{
    return static_cast<uint32_t>(std::clamp(value, low, high));
}

uint32_t centred(int offset)
{
    return clampField(kCentre + offset, 0, 100);
}
} // namespace

uint32_t hash(uint32_t a, uint32_t b, uint32_t c)
{
    uint32_t h = 0x9E3779B9u ^ (a * 0x85EBCA6Bu);
    h ^= b + 0x7F4A7C15u + (h << 6) + (h >> 2);
    h *= 0xC2B2AE35u;
    h ^= c + 0x165667B1u + (h << 6) + (h >> 2);
    h ^= h >> 16;
    h *= 0x27D4EB2Fu;
    h ^= h >> 15;
    return h;
}

int pick(uint32_t n, uint32_t a, uint32_t b, uint32_t c)
{
    return n == 0 ? 0 : static_cast<int>(hash(a, b, c) % n);
}

bool hasWave(const char* name, int occurrence)
{
    int seen = 0;
    for (int i = 0; i < k1lib::kWaveformCount; ++i)
    {
        if (std::strcmp(k1lib::g_waveformNames[i] + 5, name) == 0 && ++seen == occurrence)
            return true;
    }
    return false;
}

uint8_t wave(const char* name, int occurrence)
{
    int seen = 0;
    for (int i = 0; i < k1lib::kWaveformCount; ++i)
    {
        // "NNN: Name"
        const char* label = k1lib::g_waveformNames[i] + 5;
        if (std::strcmp(label, name) == 0 && ++seen == occurrence)
            return static_cast<uint8_t>(i);
    }
    std::fprintf(stderr, "patchdesigner: no wave \"%s\" (occurrence %d)\n", name, occurrence);
    std::abort();
}

int levelBudget(size_t toneCount)
{
    // Envelope level 72 is a gain of 0.37, 64 one of 0.25: four sources at
    // 64 are about as loud as two at 72, and a four-note chord of either
    // stays below full scale.
    return toneCount > 2 ? 64 : 72;
}

k1lib::SinglePreset build(const Patch& patch)
{
    k1lib::SinglePreset p;
    const std::string name = patch.name.substr(0, k1lib::kNameLength);
    std::memcpy(p.name, name.data(), name.size());

    const Common& c = patch.common;
    p.volume = static_cast<uint8_t>(std::clamp(c.volume, 0, 99));
    p.polyMode = clampField(c.polyMode, 0, 2);
    p.source2or4 = patch.tones.size() > 2 ? 1 : 0;
    p.ampModS1S2 = clampField(c.ampMod12, 0, 2);
    p.ampModS3S4 = clampField(c.ampMod34, 0, 2);
    p.pressureToFreq = static_cast<uint8_t>(centred(c.pressurePitch));
    p.vibratoDepth = static_cast<uint8_t>(centred(c.vibratoDepth));
    p.pressureToVibrato = static_cast<uint8_t>(centred(c.pressureVibrato));
    p.pitchBendDepth = clampField(c.bendRange, 0, 12);
    p.lfoSpeed = static_cast<uint8_t>(std::clamp(c.lfoSpeed, 0, 100));
    p.lfoShape = clampField(c.lfoShape, 0, 3);
    p.keyScaleCurve = clampField(c.keyCurve, 0, 4);
    p.vibWheelMode = clampField(c.wheelMode, 0, 1);
    p.autoBendDepth = static_cast<uint8_t>(centred(c.autoBendDepth));
    p.autoBendTime = static_cast<uint8_t>(std::clamp(c.autoBendTime, 0, 100));
    p.velToDepth = static_cast<uint8_t>(centred(c.velBend));
    p.autoBendKeyScaleToTime = static_cast<uint8_t>(centred(c.keyBendTime));
    for (int s = 0; s < 4; ++s)
        p.mute[s] = patch.mute[s];

    const int budget = levelBudget(patch.tones.size());
    for (size_t s = 0; s < 4; ++s)
    {
        // A two-source single keeps copies of its tones in sources 3 and 4,
        // so that switching it to four sources doubles it instead of adding
        // silence or noise.
        const Tone& t = patch.tones.empty() ? Tone{} : patch.tones[s % patch.tones.size()];
        k1lib::SingleSource& src = p.sources[s];
        src.fine = centred(t.fine);
        src.coarse = t.fixedKey ? clampField(t.fixedNote + kFixedKeyOffset, 0, 127)
                                : clampField(kUnisonCoarse + t.semitones, 0, 127);
        src.wave = t.wave;
        src.keyTrack = !t.fixedKey;
        src.vibABend = t.vibrato;
        src.pressureToFreq = t.pressurePitch;
        src.velCurve = clampField(t.velCurve, 0, 7);
        src.envLevel = clampField(budget + t.level, 0, 100);
        src.envDelay = clampField(t.env.delay, 0, 100);
        src.envAttack = clampField(t.env.attack, 0, 100);
        src.envDecay = clampField(t.env.decay, 0, 100);
        src.envSustain = clampField(t.env.sustain, 0, 100);
        src.envRelease = clampField(t.env.release, 0, 100);
        src.levelModVel = centred(t.velLevel);
        src.levelModPressure = centred(t.pressureLevel);
        src.levelModKeyScale = centred(t.keyLevel);
        src.timeModVel = centred(t.velTime);
        src.timeModKeyScale = centred(t.keyTime);
        src.freqKeyScaleToFreq = centred(t.keyPitch);
    }
    return p;
}
} // namespace designer
