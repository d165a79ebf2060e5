// What each storage holds: a theme of its own, as families and counts.

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "tools/patchdesigner/designer.h"

namespace designer
{
namespace
{
using F = Family;
} // namespace

const std::vector<BankPlan>& bankPlans()
{
    static const std::vector<BankPlan> plans = {
        // The instrument's own memory: a general palette.
        {"K1INT", {{F::Piano, 5}, {F::EPiano, 4}, {F::Clav, 2}, {F::Organ, 4}, {F::Strings, 5}, {F::Pad, 5},
                   {F::Brass, 4}, {F::SynthBrass, 2}, {F::Winds, 4}, {F::Reed, 2}, {F::Bass, 4}, {F::SynthBass, 3},
                   {F::Lead, 4}, {F::Bell, 3}, {F::Mallet, 3}, {F::Pluck, 3}, {F::Ethnic, 2}, {F::Voice, 2},
                   {F::Drum, 2}, {F::Fx, 1}}},
        {"A101", {{F::Piano, 16}, {F::EPiano, 14}, {F::Clav, 10}, {F::Organ, 8}, {F::Mallet, 8}, {F::Bell, 4}, {F::Pluck, 4}}},
        {"A102", {{F::Strings, 22}, {F::Pad, 26}, {F::Voice, 10}, {F::Fx, 6}}},
        {"A103", {{F::Brass, 22}, {F::SynthBrass, 8}, {F::Winds, 24}, {F::Reed, 10}}},
        {"A104", {{F::Bass, 18}, {F::SynthBass, 14}, {F::Lead, 32}}},
        {"A105", {{F::Organ, 28}, {F::Bell, 24}, {F::Mallet, 12}}},
        {"A200", {{F::Drum, 32}, {F::Mallet, 8}, {F::Fx, 24}}},
        {"E101", {{F::Lead, 14}, {F::Pad, 16}, {F::SynthBrass, 14}, {F::SynthBass, 12}, {F::Fx, 8}}},
        {"E102", {{F::Pluck, 36}, {F::Bass, 12}, {F::Strings, 6}, {F::Ethnic, 10}}},
        {"J101", {{F::Ethnic, 26}, {F::Winds, 12}, {F::Mallet, 10}, {F::Drum, 8}, {F::Bell, 8}}},
        {"J102", {{F::Voice, 24}, {F::Pad, 24}, {F::Fx, 16}}},
        {"J103", {{F::Layer, 48}, {F::Piano, 4}, {F::Strings, 4}, {F::Brass, 4}, {F::Bass, 4}}},
        // The PHm module: 200 singles of every family.
        {"PHm", {{F::Piano, 14}, {F::EPiano, 12}, {F::Clav, 6}, {F::Organ, 14}, {F::Strings, 14}, {F::Pad, 16},
                 {F::Brass, 12}, {F::SynthBrass, 8}, {F::Winds, 14}, {F::Reed, 6}, {F::Bass, 12}, {F::SynthBass, 10},
                 {F::Lead, 14}, {F::Bell, 10}, {F::Mallet, 8}, {F::Pluck, 10}, {F::Ethnic, 6}, {F::Voice, 6},
                 {F::Drum, 4}, {F::Fx, 4}}},
    };
    return plans;
}

DesignedBank designBank(size_t bankIndex)
{
    const std::vector<BankPlan>& plans = bankPlans();

    // Variant numbers continue from the banks before this one.
    int next[static_cast<size_t>(Family::Count)] = {};
    for (size_t b = 0; b < bankIndex; ++b)
    {
        for (const auto& [family, count] : plans[b].families)
            next[static_cast<size_t>(family)] += count;
    }

    DesignedBank bank;
    std::set<std::string> names;
    for (const auto& [family, count] : plans[bankIndex].families)
    {
        for (int i = 0; i < count; ++i)
        {
            const int variant = next[static_cast<size_t>(family)]++;
            const Patch patch = makeFamily(family, variant);
            if (!names.insert(patch.name).second)
            {
                std::fprintf(stderr, "patchdesigner: name \"%s\" twice in bank %s\n", patch.name.c_str(), plans[bankIndex].symbol);
                std::exit(1);
            }
            bank.singles.push_back(build(patch));
            bank.singleFamilies.push_back(family);
            bank.singleVariants.push_back(variant);
            bank.singleTremolo.push_back(patch.tremolo);
            bank.singleWideVibrato.push_back(patch.wideVibrato);
        }
    }
    return bank;
}
} // namespace designer
