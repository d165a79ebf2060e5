// Every factory preset, rendered through the engine, meets the standard
// (tools/audition/standard.h). One test per storage, so that ctest spreads
// them over the cores; each prints its row of the figures table.
//
// Renders only what the checks need (audition::Depth::Standard) and stops
// each take once the engine has fallen silent. Under AddressSanitizer only
// every 16th preset plays, which keeps the suite within its time budget.
//
// The sound standard (checkSound) reads the figures the per-storage cases
// leave next to the test binary (ctest runs its cases after those, see
// CMakeLists.txt): its per-storage cases need one storage's figures, its
// factory-wide case all of them. Figures written by another build of the
// binary do not count; a storage without valid figures is rendered again.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/engine.h"
#include "tools/audition/audition.h"
#include "tools/audition/report.h"
#include "tools/audition/standard.h"
#include "tools/patchdesigner/designer.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DARVELLO_AUDITION_SPARSE 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define DARVELLO_AUDITION_SPARSE 1
#endif

namespace
{
using k1lib::Engine;
using k1lib::PlayMode;

#ifdef DARVELLO_AUDITION_SPARSE
constexpr size_t kStride = 16;
#else
constexpr size_t kStride = 1;
#endif

std::string failures(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "\n  " + line;
    return text;
}

std::string storageName(const ::testing::TestParamInfo<size_t>& info)
{
    return designer::bankPlans()[info.param].symbol;
}

// ---- Figures kept between the cases ---------------------------------------

// The binary that renders: figures of another build do not count.
std::string binaryStamp()
{
    char path[4096] = {};
    struct stat st = {};
    if (readlink("/proc/self/exe", path, sizeof path - 1) <= 0 || stat(path, &st) != 0)
        return "";
    return std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) + " " +
           std::to_string(st.st_size) + " " + std::to_string(kStride);
}

std::string keptPath(const std::string& symbol, const char* kind)
{
    char path[4096] = {};
    std::string self = readlink("/proc/self/exe", path, sizeof path - 1) > 0 ? path : "./x";
    return self.substr(0, self.rfind('/') + 1) + "sound-" + symbol + "-" + kind + ".txt";
}

// One line per single: index, flags, figures, fingerprint, sweep, touch, name.
// Written aside and renamed, so that a reader never sees half a file.
void publish(const std::string& path, const std::string& text)
{
    const std::string aside = path + "." + std::to_string(getpid());
    std::ofstream(aside) << text;
    std::rename(aside.c_str(), path.c_str());
}

void keep(const std::string& symbol, const std::vector<audition::SingleFigures>& figures)
{
    std::ostringstream out;
    out.precision(17);
    out << binaryStamp() << '\n';
    for (const audition::SingleFigures& f : figures)
    {
        const audition::SoundFigures& s = f.sound;
        out << f.index << ' ' << f.sustained << ' ' << f.tremolo << ' ' << f.bright << ' ' << s.rendered << ' '
            << s.splitChecked << ' '
            << s.chordLufs << ' ' << s.fullChordPeakDb << ' ' << s.pumpDb << ' ' << s.pumpHz << ' ' << s.rolloffHz << ' '
            << s.fingerprint.size();
        for (double c : s.fingerprint)
            out << ' ' << c;
        out << ' ' << s.sweep.size();
        for (const audition::SweepKey& k : s.sweep)
            out << ' ' << k.key << ' ' << k.noteDb << ' ' << k.upperDb << ' ' << k.thirdDb << ' ' << k.inharmonicDb;
        out << ' ' << s.touchDb.size();
        for (double level : s.touchDb)
            out << ' ' << level;
        out << ' ' << f.name << '\n';
    }
    publish(keptPath(symbol, "singles"), out.str());
}

void keep(const std::string& symbol, const std::vector<audition::MultiFigures>& figures)
{
    std::ostringstream out;
    out.precision(17);
    out << binaryStamp() << '\n';
    for (const audition::MultiFigures& m : figures)
        out << m.index << ' ' << m.chordLufs << ' ' << m.chordPeakDb << ' ' << m.name << '\n';
    publish(keptPath(symbol, "multis"), out.str());
}

std::ifstream kept(const std::string& symbol, const char* kind)
{
    std::ifstream in(keptPath(symbol, kind));
    std::string stamp;
    if (!std::getline(in, stamp) || stamp != binaryStamp())
        in.setstate(std::ios::failbit);
    return in;
}

std::string restOfLine(std::istream& in)
{
    std::string name;
    std::getline(in, name);
    return name.empty() ? name : name.substr(1);
}

bool recall(const std::string& symbol, std::vector<audition::SingleFigures>& figures)
{
    std::ifstream in = kept(symbol, "singles");
    std::string line;
    while (in && std::getline(in, line))
    {
        std::istringstream l(line);
        audition::SingleFigures f;
        audition::SoundFigures& s = f.sound;
        size_t cells = 0, keys = 0;
        l >> f.index >> f.sustained >> f.tremolo >> f.bright >> s.rendered >> s.splitChecked >> s.chordLufs >> s.fullChordPeakDb >>
            s.pumpDb >> s.pumpHz >> s.rolloffHz >> cells;
        s.fingerprint.resize(cells);
        for (double& c : s.fingerprint)
            l >> c;
        l >> keys;
        s.sweep.resize(keys);
        for (audition::SweepKey& k : s.sweep)
            l >> k.key >> k.noteDb >> k.upperDb >> k.thirdDb >> k.inharmonicDb;
        size_t touches = 0;
        l >> touches;
        s.touchDb.resize(std::min<size_t>(touches, 8));
        for (double& level : s.touchDb)
            l >> level;
        f.name = restOfLine(l);
        if (l.fail())
            return false;
        figures.push_back(f);
    }
    return !figures.empty();
}

bool recall(const std::string& symbol, std::vector<audition::MultiFigures>& figures)
{
    std::ifstream in = kept(symbol, "multis");
    std::string line;
    while (in && std::getline(in, line))
    {
        std::istringstream l(line);
        audition::MultiFigures m;
        l >> m.index >> m.chordLufs >> m.chordPeakDb;
        m.name = restOfLine(l);
        figures.push_back(m);
    }
    return !figures.empty();
}

// ---- Rendering a storage --------------------------------------------------

std::vector<audition::SingleFigures> renderSingles(size_t storage)
{
    audition::Auditioner a; // fills the factory lists
    const Engine::StorageInfo& info = Engine::getStorageInfos(PlayMode::Single).at(storage);
    std::vector<audition::SingleFigures> figures;
    testing::internal::CaptureStdout(); // the engine logs every preset change
    for (size_t i = info.firstIndex; i < info.firstIndex + info.count; i += kStride)
        figures.push_back(a.single(i, audition::Depth::Standard));
    testing::internal::GetCapturedStdout();
    keep(designer::bankPlans()[storage].symbol, figures);
    return figures;
}

std::vector<audition::MultiFigures> renderMultis(size_t storage)
{
    audition::Auditioner a;
    const Engine::StorageInfo& info = Engine::getStorageInfos(PlayMode::Multi).at(storage);
    std::vector<audition::MultiFigures> figures;
    testing::internal::CaptureStdout();
    for (size_t i = info.firstIndex; i < info.firstIndex + info.count; i += kStride)
        figures.push_back(a.multi(i));
    testing::internal::GetCapturedStdout();
    keep(designer::bankPlans()[storage].symbol, figures);
    return figures;
}

template <typename Figures, typename Render>
std::vector<Figures> recallOrRender(size_t storage, Render render)
{
    std::vector<Figures> figures;
    if (!recall(designer::bankPlans()[storage].symbol, figures))
        figures = render(storage);
    return figures;
}

class FactorySingles : public ::testing::TestWithParam<size_t>
{
};

class FactoryMultis : public ::testing::TestWithParam<size_t>
{
};

TEST_P(FactorySingles, MeetTheStandard)
{
    const std::vector<audition::SingleFigures> figures = renderSingles(GetParam());
    ASSERT_FALSE(figures.empty());
    for (const audition::SingleFigures& f : figures)
        EXPECT_TRUE(f.loud.c4.sounded && f.loud.chord.sounded) << f.name;
    const std::vector<std::string> lines = audition::checkSingles(figures);
    EXPECT_TRUE(lines.empty()) << failures(lines);
    std::printf("%s\n%s\n", audition::singlesHeader().c_str(),
                audition::singlesRow(designer::bankPlans()[GetParam()].symbol, figures, lines.size()).c_str());
}

TEST_P(FactoryMultis, ReachEverySectionAndFallSilent)
{
    const std::vector<audition::MultiFigures> figures = renderMultis(GetParam());
    ASSERT_FALSE(figures.empty());
    for (const audition::MultiFigures& f : figures)
    {
        EXPECT_GE(f.sections.size(), 2u) << f.name;
        EXPECT_FALSE(f.mix.clipped) << f.name;
    }
    const std::vector<std::string> lines = audition::checkMultis(figures);
    EXPECT_TRUE(lines.empty()) << failures(lines);
    std::printf("%s\n%s\n", audition::multisHeader().c_str(),
                audition::multisRow(designer::bankPlans()[GetParam()].symbol, figures, lines.size()).c_str());
}

// The sound standard, per storage: twins within it, pumping, brightness,
// split keys; multis against their storage's median.
TEST_P(FactorySingles, MeetTheSoundStandard)
{
    const auto figures = recallOrRender<audition::SingleFigures>(GetParam(), renderSingles);
    const std::vector<std::string> lines = audition::checkSoundPresets(figures, {});
    EXPECT_TRUE(lines.empty()) << failures(lines);
}

TEST_P(FactoryMultis, MeetTheSoundStandard)
{
#ifdef DARVELLO_AUDITION_SPARSE
    GTEST_SKIP() << "the median of every 16th multi is not the storage's";
#endif
    const auto figures = recallOrRender<audition::MultiFigures>(GetParam(), renderMultis);
    // Against the singles of the same storage: the level a player hears
    // switching from one to the other.
    const auto singles = recallOrRender<audition::SingleFigures>(GetParam(), renderSingles);
    const std::vector<std::string> lines = audition::checkMultiLoudness(singles, figures);
    EXPECT_TRUE(lines.empty()) << failures(lines);
}

// Across the factory: near-twins, the loudness median, chord peaks.
TEST(FactoryWide, SinglesMeetTheSoundStandard)
{
#ifdef DARVELLO_AUDITION_SPARSE
    GTEST_SKIP() << "shares and medians of every 16th single are not the factory's";
#endif
    std::vector<audition::SingleFigures> all;
    for (size_t storage = 0; storage < designer::bankPlans().size(); ++storage)
    {
        const auto figures = recallOrRender<audition::SingleFigures>(storage, renderSingles);
        all.insert(all.end(), figures.begin(), figures.end());
    }
    const std::vector<std::string> lines = audition::checkSoundFactory(all);
    EXPECT_TRUE(lines.empty()) << failures(lines);
}

// Twelve K1 storages with singles and multis, then the PHm storage of singles.
INSTANTIATE_TEST_SUITE_P(Storages, FactorySingles, ::testing::Range<size_t>(0, 13), storageName);
INSTANTIATE_TEST_SUITE_P(Storages, FactoryMultis, ::testing::Range<size_t>(0, 12), storageName);
} // namespace
