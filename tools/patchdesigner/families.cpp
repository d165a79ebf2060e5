// The recipes: one per family, each a list of models (a name and a sound).
// Variant v plays model v % models in round v / models; a later round plays
// another wave of the model's kin and moves its layers (octave, fifth,
// envelope, mix), so every variant is a different sound with a readable name.
// Held sounds stay in tune with themselves, bright ones get their sheen.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <mutex>
#include <set>
#include <string>

#include "patch/waveformNames.h"
#include "tools/patchdesigner/recipeKit.h"

namespace designer
{
namespace
{
using namespace kit;
using namespace recipes;

// Waves a family's later rounds draw from: kin of its models' own waves and
// waves the first round leaves unplayed, so that a later round changes the
// source itself, not only its tuning.
struct WaveRef
{
    const char* name;
    int occurrence;
};

std::vector<uint8_t> waves(std::initializer_list<WaveRef> refs)
{
    std::vector<uint8_t> out;
    for (const WaveRef& r : refs)
        out.push_back(wave(r.name, r.occurrence));
    return out;
}

const std::vector<uint8_t>& palette(Family f)
{
    static const std::vector<std::vector<uint8_t>> all = [] {
        std::vector<std::vector<uint8_t>> p(static_cast<size_t>(Family::Count));
        auto set = [&p](Family family, std::initializer_list<WaveRef> refs) { p[static_cast<size_t>(family)] = waves(refs); };
        set(Family::Piano, {{"Piano 3", 2}, {"Piano 4", 2}, {"El Grand", 2}, {"Piano 1", 3}, {"Piano 4", 3},
                            {"Piano 2", 2}, {"Piano 1", 2}, {"Piano 3", 1}, {"Piano 4", 1}, {"Piano 2", 1}, {"El Grand", 1}});
        set(Family::EPiano, {{"E Piano 1", 2}, {"E Piano 2", 3}, {"E Piano 1", 3}, {"E Piano 1", 4}, {"E Piano 2", 4},
                             {"E Piano 3", 2}, {"Tine", 3}, {"Tine", 4}, {"Tine", 2}, {"E Piano 2", 2}});
        set(Family::Clav, {{"Clavi", 2}, {"Clavi", 3}, {"Clavi", 4}, {"Harpsichord", 2}, {"Harpsichord", 3}, {"Clavi", 1}, {"Harpsichord", 1}});
        set(Family::Organ, {{"Pipe Organ 3", 2}, {"Draw Bar 2", 1}, {"Jazz Organ 2", 1}, {"Rock Organ 2", 1},
                            {"Draw Bar 1", 1}, {"Pipe Organ 2", 1}, {"Rock Organ 1", 1}, {"Jazz Organ 1", 1},
                            {"Pipe Organ 1", 1}, {"Pipe Organ 3", 1}});
        set(Family::Strings, {{"String Sus", 1}, {"String", 1}, {"Saw 4", 1}, {"String", 3}, {"Violin", 1},
                              {"Saw 7", 1}, {"String", 2}, {"Orchestra", 1}, {"String Pad", 1}});
        set(Family::Pad, {{"Synth 2", 2}, {"Synth 3", 2}, {"Synth 1", 2}, {"Synth 2", 3}, {"Saw 6", 1},
                          {"Synth 3", 3}, {"Synth 4", 2}, {"Saw 9", 1}, {"Synth 2", 4}, {"Inverse Saw", 1},
                          {"Saw 11", 1}, {"Triangle", 1}, {"Saw 10", 1}, {"Saw 16", 1}, {"Square 4", 1}});
        set(Family::Brass, {{"Brass", 6}, {"Trumpet", 2}, {"French Horn", 3}, {"Brass", 5}, {"Brass", 2},
                            {"Trumpet", 1}, {"Brass", 4}, {"French Horn", 2}, {"Brass", 3}});
        set(Family::SynthBrass, {{"Saw 13", 1}, {"Saw 16", 1}, {"Saw 18", 1}, {"Synth 1", 2}, {"Saw 17", 1},
                                 {"Inverse Saw", 1}, {"Saw 4", 1}, {"Synth 2", 3}, {"Saw 9", 1}});
        set(Family::Winds, {{"Triangle", 1}, {"Pan Flute Sus", 1}, {"Clarinet", 2}, {"Oboe", 2}, {"Flute", 1},
                            {"Panflute", 1}, {"Oboe", 1}, {"Clarinet", 1}, {"Shakuhachi", 1}});
        set(Family::Reed, {{"Harmonica", 3}, {"Accordion", 2}, {"Harmonica", 4}, {"Harmonica", 2}, {"Accordion", 1},
                           {"Harmonica", 1}, {"Square 3", 1}});
        set(Family::Bass, {{"Fretless", 2}, {"Ac Bass", 3}, {"Pull Bass", 2}, {"Round Bass", 2}, {"Slap Bass", 2},
                           {"Slap Bass", 3}, {"Fretless", 3}, {"Fretless", 4}, {"Pick Bass", 2}, {"Pick Bass", 3},
                           {"Pick Bass", 4}, {"Round Bass", 3}, {"Round Bass", 4}, {"Pull Bass Loop", 1},
                           {"Digi Bass 1", 2}, {"Digi Bass 1", 3}, {"Digi Bass 1", 4}, {"Digi Bass 2", 2},
                           {"Digi Bass 2", 3}, {"Ac Bass", 2}, {"Pull Bass", 1}});
        set(Family::SynthBass, {{"Synth Bass", 2}, {"Saw 7", 1}, {"Square 3", 1}, {"Square 5", 1}, {"Triangle", 1},
                                {"Inverse Saw", 1}, {"Square 1", 1}, {"Saw 2", 1}, {"Saw 9", 1}});
        set(Family::Lead, {{"Synth Solo", 3}, {"Synth 3", 3}, {"Saw 18", 1}, {"Synth 1", 1}, {"Saw 14", 1},
                           {"Synth Solo", 2}, {"Square 3", 1}, {"Saw 13", 1}, {"Synth 3", 2}, {"Saw 19", 1}, {"Saw 12", 1}});
        set(Family::Bell, {{"Tube Bell", 3}, {"Sin 6th", 1}, {"Oriental Bell", 2}, {"Sin 12th", 1}, {"Sin 10th", 1},
                           {"Glocken", 3}, {"Tube Bell", 2}, {"Sin 16th", 1}, {"Bell", 1}, {"Oriental Bell", 1}, {"Sin 5th", 1}});
        set(Family::Mallet, {{"Vibe", 3}, {"Log Drum", 2}, {"Steel Drum", 3}, {"Log Drum", 4}, {"E Tom", 1},
                             {"Xylophone", 2}, {"Marimba", 2}, {"Kalimba", 2}, {"Vibe", 2}, {"Steel Drum", 2},
                             {"E Tom", 2}, {"Kalimba", 3}});
        set(Family::Pluck, {{"F Guitar", 2}, {"Strat", 2}, {"A Guitar", 2}, {"F Guitar", 3},
                            {"Harp", 3}, {"A Guitar", 1}, {"Strat", 1}, {"Harp", 2}});
        set(Family::Ethnic, {{"Koto", 3}, {"Sitar", 3}, {"Sitar", 4}, {"Koto", 2}, {"Sitar", 2}, {"Kalimba", 3},
                             {"Steel Drum", 3}, {"Koto", 1}});
        set(Family::Voice, {{"Voice 2", 1}, {"String Pad", 1}, {"Voice 1", 1}, {"Sin 2nd", 1}, {"Mello Pad", 1}});
        return p;
    }();
    return all[static_cast<size_t>(f)];
}

bool struck(Family f)
{
    return f == Family::Piano || f == Family::EPiano || f == Family::Clav || f == Family::Bell ||
           f == Family::Mallet || f == Family::Pluck || f == Family::Ethnic || f == Family::Drum;
}

// A player's touch moves their level and brightness (voiceTouch).
bool answersTouch(Family f)
{
    return f == Family::Piano || f == Family::EPiano || f == Family::Clav || f == Family::Bell ||
           f == Family::Mallet || f == Family::Pluck;
}

// Intervals above the key that stay in the harmony of a sustained sound.
bool layersFifths(Family f)
{
    return f == Family::Organ || f == Family::Pad || f == Family::Lead || f == Family::SynthBrass || f == Family::Bell;
}

// A short, non-sustaining source: an attack transient, too brief to carry
// a round's change on its own.
bool transientTone(const Tone& t)
{
    return t.env.sustain == 0 && t.env.decay <= 44;
}

// A later round of a model. The round's variant number (counted from the
// first later round) walks the family's kin waves for the main source; each
// lap over them brings another audible move of the sources (an octave or a
// fifth layer, the envelope's shape, the mix), so that no two rounds differ
// only in their tuning.
void applyRound(Patch& p, Family family, int model, int round, int variant, int shift)
{
    if (round == 0 || p.tones.empty())
        return;
    const std::vector<uint8_t>& kin = palette(family);
    Tone& main = p.tones[0];
    // The moves go to the second source, or to the main one where the
    // second is only a transient.
    Tone& other = p.tones.size() > 1 && !transientTone(p.tones[1]) ? p.tones[1] : main;
    const bool low = family == Family::Bass || family == Family::SynthBass;
    const bool slow = family == Family::Pad || family == Family::Strings || family == Family::Voice;
    const size_t lap = kin.empty() ? static_cast<size_t>(round) : static_cast<size_t>(variant) / kin.size();
    if (!kin.empty())
    {
        const uint8_t w = kin[static_cast<size_t>(variant + shift) % kin.size()];
        main.wave = w != main.wave ? w : kin[(static_cast<size_t>(variant) + kin.size() / 2) % kin.size()];
    }
    if (family == Family::Drum || family == Family::Fx)
    {
        // A hit or an effect keeps its sample and is tuned and voiced anew.
        static const int shifts[] = {5, -7, 9, -4, 12, -10};
        const int shift = shifts[static_cast<size_t>(variant) % std::size(shifts)];
        for (Tone& t : p.tones)
            t.semitones += shift;
        if (p.tones.size() > 1)
            p.tones[1].level = std::clamp(p.tones[1].level + (round % 2 == 1 ? 6 : -6), -24, 0);
        main.env.decay = std::clamp(main.env.decay + (shift > 0 ? -8 : 8), 10, 90);
        return;
    }
    // The breath and voice loops drift in pitch: in unison with a steady
    // wave they beat, so they only move further up.
    const bool drifts = other.wave == wave("Voice Loop") || other.wave == wave("Pan Flute Loop");
    auto octave = [&](Tone& t) {
        if (low)
            t.semitones = std::max(t.semitones - 12, -24);
        else if (drifts && &t == &other)
            t.semitones = t.semitones >= 24 ? 12 : t.semitones + 12;
        else
            t.semitones += t.semitones >= 12 ? -12 : 12;
    };
    auto shape = [&] {
        for (Tone& t : p.tones)
        {
            if (struck(family))
            {
                // Short hits ring longer, long rings get shorter: either way they still die away.
                t.env.decay = std::clamp(t.env.decay + (t.env.decay < 50 ? 10 : -12), 10, 80);
            }
            else
            {
                t.env.attack = std::clamp(t.env.attack + (lap % 2 == 1 ? -8 : 6), 0, slow ? 56 : 20);
                if (family != Family::Organ) // an organ holds its level
                    t.env.sustain = std::clamp(t.env.sustain - 16, 40, 100);
            }
            t.env.release = std::clamp(t.env.release + (lap % 2 == 1 ? 6 : -6), 5, 68);
        }
    };
    switch ((lap + 2 * static_cast<size_t>(model) + static_cast<size_t>(shift / static_cast<int>(std::max<size_t>(kin.size(), 1)))) % 5)
    {
    case 0: octave(other); break;
    case 1: shape(); break;
    case 2: // the mix: the second source comes forward with a wave of its own
        if (p.tones.size() > 1)
        {
            Tone& second = p.tones[1];
            // A transient keeps its shape with another wave; a layer comes
            // forward while the main source steps back (in tune they add up).
            const bool brief = transientTone(second);
            if (!kin.empty())
            {
                const size_t at = static_cast<size_t>(variant) + 1 + lap;
                second.wave = kin[at % kin.size()] != main.wave ? kin[at % kin.size()] : kin[(at + 1) % kin.size()];
            }
            if (brief)
            {
                second.level = std::min(second.level + 4, -6);
            }
            else
            {
                second.level = std::min(second.level + 5, -4);
                second.env = main.env;
                main.level -= 4;
            }
        }
        break;
    case 3: // a fifth above or an octave below; a layer of its kin where the rest is a transient
        if (&other == &main && p.tones.size() > 1 && !kin.empty())
        {
            Tone layer = tone(kin[(static_cast<size_t>(variant) + 3) % kin.size()], main.env, -14);
            main.level -= 2;
            layer.semitones = main.semitones + (low ? 0 : 12);
            layer.velLevel = main.velLevel;
            p.tones[1] = layer;
        }
        else if (low)
            main.env = strike(std::max(main.env.decay - 16, 20), main.env.sustain / 2, main.env.release);
        else if ((layersFifths(family) || struck(family)) && &other != &main)
            other.semitones += struck(family) ? 19 : 7;
        else
            other.semitones += other.semitones >= 0 && !struck(family) && !drifts ? -12 : 12;
        break;
    default: // an octave and another shape
        octave(other);
        shape();
        break;
    }
}

int modelsOf(Family family);

// A layer's later rounds layer later rounds of its two families.
Patch layer(int m, int round)
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
        {Family::Bell, 0, Family::Pad, 2, "Bell+Pad"},
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
    Patch a = makeFamily(pair.a, pair.ma + round * modelsOf(pair.a));
    Patch b = makeFamily(pair.b, pair.mb + round * modelsOf(pair.b));
    Patch p = a;
    p.name = pair.name;
    p.common.trimDb = 0.0; // the layer has its own trim
    p.common.ampMod12 = a.common.ampMod12;
    p.common.ampMod34 = b.common.ampMod12;
    p.common.polyMode = 0;
    p.tones = {a.tones[0], a.tones[1 % a.tones.size()], b.tones[0], b.tones[1 % b.tones.size()]};
    // A layer is played as one instrument: an organ half follows the touch
    // of the other half too.
    for (Tone& t : p.tones)
    {
        if (t.velLevel == 0)
            t.velLevel = 18;
    }
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
    {"drum", drum, 16},         {"effect", fx, 16},            {"layer", nullptr, 16},
};
static_assert(std::size(g_families) == static_cast<size_t>(Family::Count));
bool sustains(Family f)
{
    return f == Family::Pad || f == Family::Strings || f == Family::Organ || f == Family::Brass ||
           f == Family::SynthBrass || f == Family::Lead || f == Family::Winds || f == Family::Reed || f == Family::Voice;
}

// Sources a few cents apart beat: a held note of a sustained sound swells and
// fades at the difference of their pitches. Held sounds keep their sources
// in tune unless the recipe asks for the throb.
void steady(Patch& p)
{
    for (Tone& t : p.tones)
        t.fine = 0;
}

// The models of the bright families whose names promise a dark or soft
// tone: a horn, a tuba, soft brass, pizzicato, a whistle, a harp, harmonics
// and the pianos other than the bright one.
bool meantBright(Family f, int model)
{
    switch (f)
    {
    case Family::Brass: return model != 2 && model != 4 && model != 6;
    case Family::SynthBrass:
    case Family::Clav:
    case Family::Organ: return true;
    case Family::Strings: return model != 4;
    case Family::Lead: return model != 7;
    case Family::Pluck: return model != 3 && model != 7;
    case Family::Piano: return model == 1;
    default: return false;
    }
}

// A bright sound keeps a fair share of its power above 4 kHz at middle C:
// a sixteenth partial of the key (four octaves up, the sheen a mixture stop
// or a bright bow or bell of the horn adds) following the main envelope, and
// in a two-source single the main wave doubled an octave up as well.
void brighten(Patch& p, Family family, int sheenLevel)
{
    // The sheen follows the body of the sound (not an attack transient) and
    // stands against its loudest source.
    const Tone main = p.tones[0];
    const Tone* body = &p.tones[0];
    int loudest = main.level;
    for (const Tone& t : p.tones)
    {
        if (transientTone(*body) && !transientTone(t))
            body = &t;
        loudest = std::max(loudest, t.level);
    }
    Tone sheen = *body;
    sheen.wave = wave("Sin 16th");
    sheen.semitones = 0;
    sheen.level = loudest + sheenLevel - (family == Family::Pluck ? 3 : 0);
    if (p.tones.size() == 2)
    {
        Tone octave = main;
        octave.semitones = main.semitones + 12;
        octave.level = main.level - (struck(family) ? 10 : 4); // a struck string's double stays behind
        p.tones.push_back(octave);
        p.tones.push_back(sheen);
        // A main source already an octave up needs no double.
        p.mute[2] = main.semitones >= 12;
    }
    else
    {
        p.tones[3] = sheen;
    }
}

int modelsOf(Family family)
{
    return g_families[static_cast<size_t>(family)].models;
}

const char* waveName(uint8_t w)
{
    return k1lib::g_waveformNames[w] + 5; // "NNN: Name"
}

// A sampled wave plays once and falls silent unless it loops; the ROM's
// loops and its forwards-and-backwards waves say so in their names.
bool playsOnce(uint8_t w)
{
    const char* name = waveName(w);
    return w >= k1lib::kSingleCycleWaveformCount && std::strstr(name, "Loop") == nullptr &&
           std::strstr(name, " Alt") == nullptr;
}

// The loop of a sample that plays once ("Pan Flute Sus" and "Pan Flute"
// both loop as "Pan Flute Loop"); -1 where the ROM has none.
int loopOf(uint8_t w)
{
    std::string name = waveName(w);
    const std::string sus = " Sus";
    if (name.size() > sus.size() && name.compare(name.size() - sus.size(), sus.size(), sus) == 0)
        name.resize(name.size() - sus.size());
    name += " Loop";
    return hasWave(name.c_str(), 1) ? wave(name.c_str()) : -1;
}

// A held sound keeps sounding while the key is held: where every sustaining
// source plays a sample that plays once, the first of them plays the
// sample's loop instead (the others keep their onset).
void holdWhileHeld(Patch& p)
{
    constexpr int kSustains = 40;
    Tone* first = nullptr;
    for (size_t i = 0; i < p.tones.size(); ++i)
    {
        Tone& t = p.tones[i];
        if (p.mute[i] || t.env.sustain < kSustains)
            continue;
        if (!playsOnce(t.wave))
            return;
        if (first == nullptr && loopOf(t.wave) >= 0)
            first = &t;
    }
    if (first != nullptr)
        first->wave = static_cast<uint8_t>(loopOf(first->wave));
}

// The partial number of a pure partial ("Sin 5th": 5); 0 for any other wave.
int partialOf(uint8_t w)
{
    if (w >= k1lib::kSingleCycleWaveformCount || std::strncmp(waveName(w), "Sin ", 4) != 0)
        return 0;
    return std::atoi(waveName(w) + 4);
}

// Whether a partial of one wave of a ring meets a partial of the other:
// two waves with all their harmonics meet at one pitch and octaves apart;
// a pure partial meets the other wave where it falls on one of its
// harmonics; two pure partials only where they coincide. (Pitches in
// semitones against the key.)
bool partialsMeet(int partialA, int semitonesA, int partialB, int semitonesB)
{
    if (partialA == 0 && partialB == 0)
        return (semitonesA - semitonesB) % 12 == 0;
    if ((semitonesA - semitonesB) % 12 != 0)
        return false;
    const int octaves = (semitonesA - semitonesB) / 12; // A above B
    if (partialA != 0 && partialB != 0)
        return octaves >= 0 ? partialA * (1 << std::min(octaves, 16)) == partialB
                            : partialA == partialB * (1 << std::min(-octaves, 16));
    // A pure partial falls on a harmonic of the other wave where its
    // frequency is a whole multiple of that wave's fundamental.
    const int pure = partialA != 0 ? partialA : partialB;
    const int above = partialA != 0 ? octaves : -octaves; // the pure one above the other
    return above >= 0 || pure % (1 << std::min(-above, 16)) == 0;
}

// Two waves multiplied meet partial for partial where their partials
// coincide, and the product holds a steady offset (DC) that moves the
// speaker instead of the air. A ring of single-cycle waves whose partials
// meet therefore rings a fifth apart: the carrier (the second of the pair,
// heard only through the ring) a fifth up, where its partials fall between
// the other's.
void ringApart(Patch& p)
{
    for (size_t first : {size_t{0}, size_t{2}})
    {
        const int mode = first == 0 ? p.common.ampMod12 : p.common.ampMod34;
        if (mode == 0 || p.tones.size() < first + 2)
            continue;
        const Tone& modulator = p.tones[first];
        Tone& carrier = p.tones[first + 1];
        const bool singleCycle =
            modulator.wave < k1lib::kSingleCycleWaveformCount && carrier.wave < k1lib::kSingleCycleWaveformCount;
        const bool tracked = !modulator.fixedKey && !carrier.fixedKey && modulator.fine == carrier.fine;
        if (singleCycle && tracked &&
            partialsMeet(partialOf(modulator.wave), modulator.semitones, partialOf(carrier.wave), carrier.semitones))
            carrier.semitones += 7;
    }
}
} // namespace

const char* familyName(Family family)
{
    return g_families[static_cast<size_t>(family)].name;
}

namespace
{
// What a listener tells two singles of a family apart by: the waves and
// transpositions of the sources that carry the sound (an attack transient
// does not). Envelopes alone do not make a different sound.
std::vector<int> signature(const Patch& p)
{
    std::vector<int> s;
    for (size_t i = 0; i < p.tones.size(); ++i)
    {
        const Tone& t = p.tones[i];
        if (i > 0 && transientTone(t))
            continue;
        s.push_back(t.wave * 1000 + t.semitones + 500);
    }
    std::sort(s.begin(), s.end());
    return s;
}

Patch recipeRound(Family family, int variant, int shift)
{
    const FamilyInfo& info = g_families[static_cast<size_t>(family)];
    const int model = variant % info.models;
    const int round = variant / info.models;
    Patch p = family == Family::Layer ? layer(model, round) : info.recipe(model);
    if (family != Family::Layer)
        applyRound(p, family, model, round, variant - info.models, shift);
    return p;
}

// A later round whose sources came out as those of an earlier variant of
// its family walks on to the next kin wave (and move) until it differs.
int roundShift(Family family, int variant)
{
    static std::recursive_mutex mutex; // a layer designs its two families inside
    static std::vector<std::vector<int>> shifts(static_cast<size_t>(Family::Count));
    static std::vector<std::set<std::vector<int>>> taken(static_cast<size_t>(Family::Count));
    const std::lock_guard<std::recursive_mutex> lock(mutex);
    const int models = g_families[static_cast<size_t>(family)].models;
    std::vector<int>& known = shifts[static_cast<size_t>(family)];
    while (static_cast<int>(known.size()) <= variant)
    {
        const int v = static_cast<int>(known.size());
        int shift = 0;
        if (v >= models && family != Family::Layer)
        {
            while (shift < 60 && taken[static_cast<size_t>(family)].count(signature(recipeRound(family, v, shift))) != 0)
                ++shift;
            if (shift == 60)
                shift = 0;
        }
        taken[static_cast<size_t>(family)].insert(signature(recipeRound(family, v, shift)));
        known.push_back(shift);
    }
    return known[static_cast<size_t>(variant)];
}
} // namespace

Patch makeFamily(Family family, int variant)
{
    Patch p = recipeRound(family, variant, roundShift(family, variant));
    const int round = variant / g_families[static_cast<size_t>(family)].models;
    if (!p.tremolo && sustains(family))
        steady(p);
    if (meantBright(family, variant % g_families[static_cast<size_t>(family)].models))
        brighten(p, family, -7);
    if (answersTouch(family))
        voiceTouch(p);
    holdWhileHeld(p);
    ringApart(p);
    p.name = roundName(p.name, round);
    p.common.trimDb += levelTrim(family, variant);
    return p;
}
} // namespace designer
