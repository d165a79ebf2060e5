// Levels from takes of their own: the present level plus part of what the
// takes lack, written as the designer's generated tables.

#include "tools/audition/trims.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <fstream>
#include <sstream>
#include <thread>

#include "patch/log.h"
#include "tools/audition/loudness.h"
#include "tools/audition/standard.h"
#include "tools/patchdesigner/designer.h"

namespace audition
{
namespace
{
const char* const kFamilySymbols[] = {"Piano",  "EPiano",    "Clav",  "Organ", "Strings", "Pad",   "Brass",
                                      "SynthBrass", "Winds", "Reed",  "Bass",  "SynthBass", "Lead", "Bell",
                                      "Mallet", "Pluck",     "Ethnic", "Voice", "Drum",    "Fx",    "Layer"};
static_assert(std::size(kFamilySymbols) == static_cast<size_t>(designer::Family::Count));

struct Voicing
{
    std::vector<uint8_t> keys;
    double weight;
};
// A single's notes: one at a time, the middle octaves weighing twice.
const Voicing kSingleNotes[] = {{{36}, 1.0}, {{48}, 2.0}, {{60}, 2.0}, {{72}, 2.0}, {{84}, 1.0}};
constexpr struct
{
    uint8_t value;
    double weight;
} kVelocities[] = {{64, 1.0}, {100, 2.0}, {127, 1.0}};
constexpr double kNoteHold = 2.0;
constexpr double kChordHold = 1.6;

// Weighted mean of the takes' loudness.
template <typename Hold, size_t N>
double takesLoudness(Auditioner& a, Hold hold, const Voicing (&voicings)[N])
{
    double sum = 0.0, weights = 0.0;
    for (const Voicing& voicing : voicings)
    {
        for (const auto& velocity : kVelocities)
        {
            const Stereo x = hold(voicing.keys, velocity.value);
            const double lufs = integratedLoudness(x, a.rate(), 0, x.size());
            if (lufs <= kSilentDb)
                continue;
            sum += voicing.weight * velocity.weight * lufs;
            weights += voicing.weight * velocity.weight;
        }
    }
    return weights > 0.0 ? sum / weights : kSilentDb;
}

const LevelTakes* takesOf(const std::vector<LevelTakes>& takes, size_t index)
{
    const auto t = std::find_if(takes.begin(), takes.end(), [&](const LevelTakes& l) { return l.index == index; });
    if (t == takes.end() || t->loudness <= kSilentDb)
    {
        K1_LOG("No level takes of " << index);
        return nullptr;
    }
    return &*t;
}

int tenths(double db)
{
    return static_cast<int>(std::lround(std::clamp(db, -20.0, 20.0) * 10.0));
}

void table(std::ostringstream& out, const std::string& name, const std::vector<int>& values)
{
    out << "const short " << name << "[] = {\n";
    for (size_t v = 0; v < values.size(); v += 16)
    {
        out << "   ";
        for (size_t k = v; k < std::min(v + 16, values.size()); ++k)
            out << ' ' << values[k] << ',';
        out << '\n';
    }
    out << "};\n";
}

bool write(const std::string& path, const std::string& text)
{
    std::ofstream file(path);
    file << text;
    if (!file.good())
    {
        K1_LOG("Cannot write " << path);
        return false;
    }
    return true;
}

std::string figures(const char* what, const std::vector<double>& loudness, double target, size_t limited)
{
    std::vector<double> sorted = loudness;
    std::sort(sorted.begin(), sorted.end());
    char text[200];
    std::snprintf(text, sizeof text, "%s: note loudness median %.1f LUFS (5-95 %% %.1f to %.1f), target %.1f; %zu held "
                  "down by the chord ceiling", what, median(loudness), sorted[sorted.size() * 5 / 100],
                  sorted[sorted.size() * 95 / 100], target, limited);
    return text;
}
} // namespace

LevelTakes singleLevelTakes(Auditioner& a, size_t index)
{
    LevelTakes t;
    t.index = index;
    if (!a.selectSingle(index))
        return t;
    t.loudness = takesLoudness(
        a, [&](const std::vector<uint8_t>& keys, uint8_t velocity) { return a.hold(keys, velocity, kNoteHold); },
        kSingleNotes);
    const Stereo chord = a.hold(kFullChord, 127, kChordHold);
    t.chordPeakDb = measureTake(chord, a.rate(), chord.size(), false).peakDb;
    const Stereo loudness = a.hold(kLoudnessChord, kSoundVelocity, kLoudnessHold);
    t.chordLufs = integratedLoudness(loudness, a.rate(), 0, loudness.size());
    return t;
}

LevelTakes multiLevelTakes(Auditioner& a, size_t index)
{
    LevelTakes t;
    t.index = index;
    if (!a.selectMulti(index))
        return t;
    // On every channel its sections listen to, as the sound standard plays it.
    const Stereo chord = a.holdMulti(kLoudnessChord, kSoundVelocity, kLoudnessHold);
    t.loudness = t.chordLufs = integratedLoudness(chord, a.rate(), 0, chord.size());
    t.chordPeakDb = a.multiChordPeakDb();
    return t;
}

std::vector<LevelTakes> allLevelTakes(bool multis, unsigned threads)
{
    size_t count = 0;
    {
        Auditioner a; // fills the factory lists
        count = multis ? a.engine().getMultiCount() : a.engine().getSingleCount();
    }
    std::vector<LevelTakes> takes(count);
    std::vector<std::thread> workers;
    for (unsigned w = 0; w < std::max(threads, 1u); ++w)
    {
        workers.emplace_back([&takes, multis, w, threads] {
            Auditioner a;
            for (size_t i = w; i < takes.size(); i += std::max(threads, 1u))
                takes[i] = multis ? multiLevelTakes(a, i) : singleLevelTakes(a, i);
        });
    }
    for (std::thread& t : workers)
        t.join();
    return takes;
}

bool writeTrims(const std::string& path, const std::vector<LevelTakes>& singles, std::string& report)
{
    std::vector<std::vector<int>> trims(static_cast<size_t>(designer::Family::Count));
    std::vector<double> loudness;
    size_t index = 0, limited = 0;
    for (size_t b = 0; b < designer::bankPlans().size(); ++b)
    {
        const designer::DesignedBank bank = designer::designBank(b);
        for (size_t i = 0; i < bank.singleFamilies.size(); ++i, ++index)
        {
            const LevelTakes* t = takesOf(singles, index);
            if (t == nullptr)
                return false;
            loudness.push_back(t->loudness);
            const int variant = bank.singleVariants[i];
            const designer::Family family = bank.singleFamilies[i];
            double step = kCorrection * (kSingleNoteLufs - t->loudness);
            if (step > kChordCeilingDb - t->chordPeakDb)
            {
                step = kChordCeilingDb - t->chordPeakDb;
                ++limited;
            }
            std::vector<int>& v = trims[static_cast<size_t>(family)];
            if (v.size() <= static_cast<size_t>(variant))
                v.resize(static_cast<size_t>(variant) + 1, 0);
            v[static_cast<size_t>(variant)] = tenths(designer::levelTrim(family, variant) + step);
        }
    }
    report = figures("singles", loudness, kSingleNoteLufs, limited);

    std::ostringstream out;
    out << "// Loudness trims per family and variant, dB (see designer.h), written by\n"
           "// k1audition --trims (tools/audition/trims.h): each moves its variant's\n"
           "// notes to the singles' common loudness, and no further than keeps its\n"
           "// ten-note chord at velocity 127 below the ceiling.\n\n"
           "#include \"tools/patchdesigner/designer.h\"\n\n#include <iterator>\n\n"
           "namespace designer\n{\nnamespace\n{\n// Tenths of a dB, by variant.\n";
    for (size_t f = 0; f < trims.size(); ++f)
        table(out, std::string("k") + kFamilySymbols[f], trims[f]);
    out << "\nstruct Trims\n{\n    const short* tenths;\n    size_t count;\n};\n\nconst Trims g_trims[] = {\n";
    for (const char* symbol : kFamilySymbols)
        out << "    {k" << symbol << ", std::size(k" << symbol << ")},\n";
    out << "};\nstatic_assert(std::size(g_trims) == static_cast<size_t>(Family::Count));\n} // namespace\n\n"
           "double levelTrim(Family family, int variant)\n{\n"
           "    const Trims& t = g_trims[static_cast<size_t>(family)];\n"
           "    if (variant < 0 || static_cast<size_t>(variant) >= t.count)\n        return 0.0;\n"
           "    return 0.1 * t.tenths[variant];\n}\n} // namespace designer\n";
    return write(path, out.str());
}

bool writeMultiLevels(const std::string& path, const std::vector<LevelTakes>& multis,
                      const std::vector<LevelTakes>& singles, std::string& report)
{
    std::vector<double> loudness;
    for (size_t index = 0; index < multis.size(); ++index)
    {
        const LevelTakes* t = takesOf(multis, index);
        if (t == nullptr)
            return false;
        loudness.push_back(t->loudness);
    }
    // Every bank's multis as the present tables make them, and how far their
    // volume and sections can still carry them.
    std::vector<k1lib::MultiPreset> designed;
    std::vector<designer::LevelRoom> rooms;
    for (size_t b = 0; b * 32 < loudness.size(); ++b)
    {
        const std::vector<k1lib::MultiPreset> bankMultis = designer::designMultis(b, designer::designBank(b), &rooms);
        designed.insert(designed.end(), bankMultis.begin(), bankMultis.end());
    }
    if (designed.size() < loudness.size() || rooms.size() < loudness.size())
    {
        K1_LOG("The designer has fewer multis than the takes");
        return false;
    }
    // The multis of a storage meet its median single on the loudness chord,
    // as far as their volume and sections carry them.
    std::vector<double> targets;
    for (size_t first = 0; first < loudness.size(); first += 32)
    {
        std::vector<double> storage;
        for (size_t i = first / 32 * 64; i < first / 32 * 64 + 64; ++i)
        {
            const LevelTakes* t = takesOf(singles, i);
            if (t == nullptr)
                return false;
            storage.push_back(t->chordLufs);
        }
        targets.push_back(median(storage));
    }
    // A multi's loudest chord stays under the ceiling, as a single's does:
    // a bounce to 16 or 24 bits must not clip.
    std::vector<int> levels, sections;
    size_t limited = 0;
    for (size_t index = 0; index < loudness.size(); ++index)
    {
        const designer::LevelRoom& room = rooms[index];
        double step = kCorrection * (targets[index / 32] - loudness[index]);
        const double headroom = kMultiChordCeilingDb - takesOf(multis, index)->chordPeakDb;
        if (step > headroom)
        {
            step = headroom;
            ++limited;
        }
        // A step up that doubles the copies of its sections moves the peak
        // by more than the step: near the ceiling it stops short of that.
        constexpr double kDoublingJumpDb = 3.0;
        for (const double doubling : {room.once, room.once + 10.0 * std::log10(2.0)})
        {
            if (step > 0.0 && room.applied <= doubling && room.applied + step > doubling &&
                step + kDoublingJumpDb > headroom)
                step = std::max(0.0, doubling - 0.05 - room.applied);
        }
        levels.push_back(tenths(std::min(room.applied + step, room.most)));
    }
    // Each section makes up for how far its single lies below the loudest of
    // the multi's singles, so that a split or a layer keeps the balance it
    // was designed with whatever the singles' trims. Raised only: the multi
    // volume lowers the whole, and a section lowered would flatten its
    // velocity steps.
    for (size_t index = 0; index < loudness.size(); ++index)
    {
        const size_t bank = index / 32;
        std::vector<double> own(8, kSilentDb);
        double loudest = kSilentDb;
        for (size_t s = 0; s < 8; ++s)
        {
            const k1lib::MultiSection& sec = designed[index].sections[s];
            if (sec.poly == 1 || sec.level == 0)
                continue;
            const LevelTakes* t = takesOf(singles, bank * 64 + static_cast<size_t>(std::max(sec.single, 0)));
            if (t == nullptr)
                return false;
            own[s] = t->loudness;
            loudest = std::max(loudest, t->loudness);
        }
        for (size_t s = 0; s < 8; ++s)
            sections.push_back(own[s] <= kSilentDb ? 0 : tenths(std::min(loudest - own[s], 12.0)));
    }
    report = figures("multis' loudness chords", loudness, median(targets), limited) + "; storage targets";
    for (double t : targets)
    {
        char target[16];
        std::snprintf(target, sizeof target, " %.1f", t);
        report += target;
    }

    std::ostringstream out;
    out << "// The level of each multi and of its sections against their design, dB\n"
           "// (see designer.h), written by k1audition --multi-levels (tools/audition/\n"
           "// trims.h): each multi's loudness chord, on every channel its sections\n"
           "// listen to, moves to the median single of its storage on that chord;\n"
           "// each section makes up for how far its single lies below the loudest of\n"
           "// the multi's singles.\n\n"
           "#include \"tools/patchdesigner/designer.h\"\n\n#include <iterator>\n\n"
           "namespace designer\n{\nnamespace\n{\n// Tenths of a dB, 32 multis per bank.\n";
    table(out, "kLevels", levels);
    out << "// Tenths of a dB, 8 sections per multi.\n";
    table(out, "kSections", sections);
    out << "} // namespace\n\n"
           "double multiLevel(size_t bankIndex, size_t multi)\n{\n"
           "    const size_t i = bankIndex * 32 + multi;\n"
           "    return multi < 32 && i < std::size(kLevels) ? 0.1 * kLevels[i] : 0.0;\n}\n\n"
           "double sectionLevel(size_t bankIndex, size_t multi, size_t section)\n{\n"
           "    const size_t i = (bankIndex * 32 + multi) * 8 + section;\n"
           "    return multi < 32 && section < 8 && i < std::size(kSections) ? 0.1 * kSections[i] : 0.0;\n}\n"
           "} // namespace designer\n";
    return write(path, out.str());
}
} // namespace audition
