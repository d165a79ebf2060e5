// The recipes: one per family, each a list of models (a name and a sound).
// Variant v plays model v % models in round v / models; later rounds keep the
// model's character and move its details (detune, envelope, brightness), so
// every variant is a different sound with a readable name.

#include <algorithm>
#include <iterator>

#include "tools/patchdesigner/recipeKit.h"

namespace designer
{
namespace
{
using namespace kit;
using namespace recipes;

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
    p.common.trimDb += levelTrim(family, variant);
    return p;
}
} // namespace designer
