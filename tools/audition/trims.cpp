// Trims from figures: the present trim plus what the measurement lacks.

#include "tools/audition/trims.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "patch/log.h"
#include "tools/patchdesigner/designer.h"

namespace audition
{
namespace
{
const char* const kFamilySymbols[] = {"Piano",  "EPiano",    "Clav",  "Organ", "Strings", "Pad",   "Brass",
                                      "SynthBrass", "Winds", "Reed",  "Bass",  "SynthBass", "Lead", "Bell",
                                      "Mallet", "Pluck",     "Ethnic", "Voice", "Drum",    "Fx",    "Layer"};
static_assert(std::size(kFamilySymbols) == static_cast<size_t>(designer::Family::Count));
} // namespace

bool writeTrims(const std::string& path, const std::vector<SingleFigures>& singles)
{
    std::vector<std::vector<int>> tenths(static_cast<size_t>(designer::Family::Count));
    size_t index = 0;
    for (size_t b = 0; b < designer::bankPlans().size(); ++b)
    {
        const designer::DesignedBank bank = designer::designBank(b);
        for (size_t i = 0; i < bank.singleFamilies.size(); ++i, ++index)
        {
            const auto figures = std::find_if(singles.begin(), singles.end(),
                                              [&](const SingleFigures& f) { return f.index == index; });
            if (figures == singles.end() || !figures->loud.c4Rendered || !figures->loud.chordRendered)
            {
                K1_LOG("No figures of single " << index);
                return false;
            }
            const TakeFigures& c4 = figures->loud.c4;
            const double crest = figures->loud.chord.peakDb - c4.loudnessDb;
            const double target = std::min(kCommonLoudnessDb, kChordHeadroomDb - crest);
            const int variant = bank.singleVariants[i];
            const designer::Family family = bank.singleFamilies[i];
            const double trim = designer::levelTrim(family, variant) + kCorrection * (target - c4.loudnessDb);
            std::vector<int>& t = tenths[static_cast<size_t>(family)];
            if (t.size() <= static_cast<size_t>(variant))
                t.resize(static_cast<size_t>(variant) + 1, 0);
            t[static_cast<size_t>(variant)] = static_cast<int>(std::lround(std::clamp(trim, -20.0, 20.0) * 10.0));
        }
    }

    std::ostringstream out;
    out << "// Loudness trims per family and variant, dB (see designer.h), written by\n"
           "// k1audition --trims: each moves its variant's C4 note at velocity 110 to\n"
           "// the common loudness, or lower where its chord would otherwise come within\n"
           "// 2 dB of full scale.\n\n"
           "#include \"tools/patchdesigner/designer.h\"\n\n#include <iterator>\n\n"
           "namespace designer\n{\nnamespace\n{\n// Tenths of a dB, by variant.\n";
    for (size_t f = 0; f < tenths.size(); ++f)
    {
        out << "const short k" << kFamilySymbols[f] << "[] = {\n";
        for (size_t v = 0; v < tenths[f].size(); v += 16)
        {
            out << "   ";
            for (size_t k = v; k < std::min(v + 16, tenths[f].size()); ++k)
                out << ' ' << tenths[f][k] << ',';
            out << '\n';
        }
        out << "};\n";
    }
    out << "\nstruct Trims\n{\n    const short* tenths;\n    size_t count;\n};\n\nconst Trims g_trims[] = {\n";
    for (const char* symbol : kFamilySymbols)
        out << "    {k" << symbol << ", std::size(k" << symbol << ")},\n";
    out << "};\nstatic_assert(std::size(g_trims) == static_cast<size_t>(Family::Count));\n} // namespace\n\n"
           "double levelTrim(Family family, int variant)\n{\n"
           "    const Trims& t = g_trims[static_cast<size_t>(family)];\n"
           "    if (variant < 0 || static_cast<size_t>(variant) >= t.count)\n        return 0.0;\n"
           "    return 0.1 * t.tenths[variant];\n}\n} // namespace designer\n";
    std::ofstream file(path);
    file << out.str();
    if (!file.good())
    {
        K1_LOG("Cannot write " << path);
        return false;
    }
    return true;
}
} // namespace audition
