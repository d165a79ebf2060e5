// k1audition: renders the factory presets with the audition phrases, prints
// the table of figures per storage and every preset that misses the
// standard, and on request writes a contact sheet (PNG) and a listening copy
// (WAV) per storage.
//
//   k1audition [--singles | --multis] [--storage N] [--standard] [--sheets DIR] [--csv FILE]
//   k1audition [--trims FILE] [--multi-levels FILE]
//
// --storage N: only storage N (0-12, bank order); --standard: render only
// what the standard's checks need (as the test does); --sheets DIR: write
// <DIR>/<storage>-singles.png/.wav and <DIR>/<storage>-multis.png/.wav;
// --csv FILE: the figures of every single, one line each (with its nearest
// single by fingerprint). --trims FILE and --multi-levels FILE render only
// the takes of the levels (trims.h) of every single or multi and write a new
// tools/patchdesigner/levelTrims.cpp or multiLevels.cpp (rebuild and run
// again until they no longer change). The engine's own
// log lines are dropped so that standard output holds the report alone.
// After the summary come the lines of the sound standard (standard.h,
// checkSound) that fail over what was rendered, and the waves no designed
// single plays. Exit status 1 when a preset or a line misses the standard.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "engine/engine.h"
#include "tools/audition/audition.h"
#include "tools/audition/contactSheet.h"
#include "tools/audition/fingerprint.h"
#include "tools/audition/report.h"
#include "tools/audition/standard.h"
#include "tools/audition/trims.h"
#include "tools/patchdesigner/designer.h"

namespace
{
using k1lib::Engine;
using k1lib::PlayMode;

int usage()
{
    std::fprintf(stderr, "usage: k1audition [--singles | --multis] [--storage N] [--standard] [--sheets DIR] "
                         "[--csv FILE]\n       k1audition [--trims FILE] [--multi-levels FILE]\n");
    return 2;
}

struct Options
{
    bool singles = true;
    bool multis = true;
    long storage = -1;
    bool standard = false;
    std::string sheets;
    FILE* csv = nullptr;
    std::string trims;
    std::string multiLevels;
    std::vector<audition::SingleFigures> allSingles;
    std::vector<audition::MultiFigures> allMultis;
};

FILE* g_report = stdout;

// One line per single; the last columns are what the sound standard hears
// and the nearest other rendered single by fingerprint ("-" when alone).
void writeCsv(FILE* csv, const std::vector<audition::SingleFigures>& singles)
{
    std::fprintf(csv, "storage,index,name,c4Db,chordPeakDb,centroidHz,softC4Db,softCentroidHz,decayDb,firstSound,"
                      "releaseToSilence,velocitySensitive,swell,percussive,bass,leadOrBell,chordLufs,"
                      "fullChordPeakDb,pumpDb,pumpHz,rolloffHz,sustained,tremolo,bright,nearest,nearestDb\n");
    for (const audition::SingleFigures& f : singles)
    {
        const audition::TakeFigures& c4 = f.loud.c4;
        const audition::SoundFigures& s = f.sound;
        const audition::SingleFigures* nearest = nullptr;
        double nearestDb = 1e9;
        for (const audition::SingleFigures& other : singles)
        {
            if (&other == &f || !other.sound.rendered || !s.rendered)
                continue;
            const double d = audition::fingerprintDistance(s.fingerprint, other.sound.fingerprint);
            if (d < nearestDb)
            {
                nearestDb = d;
                nearest = &other;
            }
        }
        std::fprintf(csv, "%s,%zu,%s,%.2f,%.2f,%.0f,%.2f,%.0f,%.2f,%.4f,%.3f,%d,%d,%d,%d,%d,%.2f,%.2f,%.2f,%.2f,%.0f,%d,%d,%d,",
                     designer::bankPlans()[std::min<size_t>(f.index / 64, 12)].symbol, f.index, f.name.c_str(),
                     c4.loudnessDb, f.loud.chord.peakDb, c4.centroidHz, f.soft.c4.loudnessDb,
                     f.soft.c4.centroidHz, c4.decayDb, c4.firstSound, c4.releaseToSilence, f.velocitySensitive, f.swell,
                     f.percussive, f.bass, f.leadOrBell, s.chordLufs, s.fullChordPeakDb, s.pumpDb, s.pumpHz,
                     s.rolloffHz, f.sustained, f.tremolo, f.bright);
        if (nearest == nullptr)
            std::fprintf(csv, "-,-\n");
        else
            std::fprintf(csv, "%zu %s,%.2f\n", nearest->index, nearest->name.c_str(), nearestDb);
    }
}

size_t auditionStorage(audition::Auditioner& a, const Engine::StorageInfo& info, bool multi, Options& o)
{
    const std::string symbol = designer::bankPlans()[info.storageIndex].symbol;
    const PlayMode mode = multi ? PlayMode::Multi : PlayMode::Single;
    std::vector<audition::SheetEntry> sheet;
    std::vector<audition::SingleFigures> singles;
    std::vector<audition::MultiFigures> multis;
    for (size_t i = info.firstIndex; i < info.firstIndex + info.count; ++i)
    {
        audition::SheetEntry entry;
        audition::Stereo* audio = o.sheets.empty() ? nullptr : &entry.audio;
        if (multi)
            multis.push_back(a.multi(i, audio));
        else
            singles.push_back(a.single(i, o.standard ? audition::Depth::Standard : audition::Depth::Phrase, audio));
        if (audio != nullptr)
        {
            entry.label = Engine::getPresetNumberAsName(i, mode);
            entry.name = multi ? multis.back().name : singles.back().name;
            sheet.push_back(std::move(entry));
        }
    }
    o.allSingles.insert(o.allSingles.end(), singles.begin(), singles.end());
    o.allMultis.insert(o.allMultis.end(), multis.begin(), multis.end());
    const std::vector<std::string> failures = multi ? audition::checkMultis(multis) : audition::checkSingles(singles);
    for (const std::string& line : failures)
        std::fprintf(g_report, "  %s %s\n", symbol.c_str(), line.c_str());
    std::fprintf(g_report, "%s\n", multi ? audition::multisRow(symbol, multis, failures.size()).c_str()
                              : audition::singlesRow(symbol, singles, failures.size()).c_str());
    if (!sheet.empty())
    {
        for (audition::SheetEntry& e : sheet)
        {
            const std::string quoted = "\"" + e.name + "\"";
            for (const std::string& line : failures)
                e.failed = e.failed || line.find(quoted) != std::string::npos;
        }
        const std::string stem = o.sheets + "/" + symbol + (multi ? "-multis" : "-singles");
        const std::string title = info.longName + (multi ? " - multis" : " - singles");
        if (!audition::writeContactSheet(stem + ".png", title, sheet) ||
            !audition::writeListeningCopy(stem + ".wav", sheet, static_cast<int>(a.rate())))
            std::exit(1);
    }
    return failures.size();
}

// The levels mode: the takes of the levels alone, on three auditioners.
bool levels(const Options& o)
{
    constexpr unsigned kThreads = 3;
    std::string report;
    const std::vector<audition::LevelTakes> singles = audition::allLevelTakes(false, kThreads);
    if (!o.trims.empty())
    {
        if (!audition::writeTrims(o.trims, singles, report))
            return false;
        std::fprintf(g_report, "%s\n", report.c_str());
    }
    if (!o.multiLevels.empty())
    {
        if (!audition::writeMultiLevels(o.multiLevels, audition::allLevelTakes(true, kThreads), singles, report))
            return false;
        std::fprintf(g_report, "%s\n", report.c_str());
    }
    std::fclose(g_report);
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--singles")
            o.multis = false;
        else if (arg == "--multis")
            o.singles = false;
        else if (arg == "--standard")
            o.standard = true;
        else if (arg == "--storage" && i + 1 < argc)
            o.storage = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--sheets" && i + 1 < argc)
            o.sheets = argv[++i];
        else if (arg == "--trims" && i + 1 < argc)
            o.trims = argv[++i];
        else if (arg == "--multi-levels" && i + 1 < argc)
            o.multiLevels = argv[++i];
        else if (arg == "--csv" && i + 1 < argc)
        {
            if ((o.csv = std::fopen(argv[++i], "w")) == nullptr)
                return usage();
        }
        else
            return usage();
    }

    // The report keeps the original standard output; the engine's log lines
    // ("Switching to single ...") go nowhere.
    std::fflush(stdout);
    g_report = fdopen(dup(STDOUT_FILENO), "w");
    const int null = open("/dev/null", O_WRONLY);
    if (g_report == nullptr || null < 0 || dup2(null, STDOUT_FILENO) < 0)
        return 1;
    close(null);

    if (!o.trims.empty() || !o.multiLevels.empty())
        return levels(o) ? 0 : 1;

    audition::Auditioner a;
    size_t failures = 0;
    for (bool multi : {false, true})
    {
        if ((multi && !o.multis) || (!multi && !o.singles))
            continue;
        std::fprintf(g_report, "%s\n", multi ? audition::multisHeader().c_str() : audition::singlesHeader().c_str());
        for (const Engine::StorageInfo& info : Engine::getStorageInfos(multi ? PlayMode::Multi : PlayMode::Single))
        {
            if (o.storage < 0 || static_cast<uint64_t>(o.storage) == info.storageIndex)
                failures += auditionStorage(a, info, multi, o);
        }
    }
    for (const std::string& line : audition::soundSummary(o.allSingles, o.allMultis))
        std::fprintf(g_report, "%s\n", line.c_str());
    // The sound standard over everything rendered, and which waves the
    // designed banks leave unplayed (no rendering needed).
    std::vector<std::string> sound = audition::checkSound(o.allSingles, o.allMultis);
    if (o.singles)
    {
        const std::vector<std::string> waves = audition::checkWavesUsed(audition::designedSingles());
        sound.insert(sound.end(), waves.begin(), waves.end());
    }
    for (const std::string& line : sound)
        std::fprintf(g_report, "  %s\n", line.c_str());
    std::fprintf(g_report, "%zu presets miss the standard, %zu lines of the sound standard fail (rendered at %.0f Hz)\n",
                 failures, sound.size(), a.rate());
    failures += sound.size();
    if (o.csv != nullptr)
    {
        writeCsv(o.csv, o.allSingles);
        std::fclose(o.csv);
    }
    std::fclose(g_report);
    return failures == 0 ? 0 : 1;
}
