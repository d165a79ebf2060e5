// Every factory preset, rendered through the engine, meets the standard
// (tools/audition/standard.h). One test per storage, so that ctest spreads
// them over the cores; each prints its row of the figures table.
//
// Renders only what the checks need (audition::Depth::Standard) and stops
// each take once the engine has fallen silent. Under AddressSanitizer only
// every 16th preset plays, which keeps the suite within its time budget.

#include <gtest/gtest.h>

#include <cstdio>

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

class FactorySingles : public ::testing::TestWithParam<size_t>
{
};

class FactoryMultis : public ::testing::TestWithParam<size_t>
{
};

TEST_P(FactorySingles, MeetTheStandard)
{
    audition::Auditioner a; // fills the factory lists
    const Engine::StorageInfo& info = Engine::getStorageInfos(PlayMode::Single).at(GetParam());
    const std::string symbol = designer::bankPlans()[info.storageIndex].symbol;
    std::vector<audition::SingleFigures> figures;
    testing::internal::CaptureStdout(); // the engine logs every preset change
    for (size_t i = info.firstIndex; i < info.firstIndex + info.count; i += kStride)
        figures.push_back(a.single(i, audition::Depth::Standard));
    testing::internal::GetCapturedStdout();

    ASSERT_FALSE(figures.empty());
    for (const audition::SingleFigures& f : figures)
        EXPECT_TRUE(f.loud.c4.sounded && f.loud.chord.sounded) << f.name;
    const std::vector<std::string> lines = audition::checkSingles(figures);
    EXPECT_TRUE(lines.empty()) << failures(lines);
    std::printf("%s\n%s\n", audition::singlesHeader().c_str(), audition::singlesRow(symbol, figures, lines.size()).c_str());
}

TEST_P(FactoryMultis, ReachEverySectionAndFallSilent)
{
    audition::Auditioner a;
    const Engine::StorageInfo& info = Engine::getStorageInfos(PlayMode::Multi).at(GetParam());
    const std::string symbol = designer::bankPlans()[info.storageIndex].symbol;
    std::vector<audition::MultiFigures> figures;
    testing::internal::CaptureStdout();
    for (size_t i = info.firstIndex; i < info.firstIndex + info.count; i += kStride)
        figures.push_back(a.multi(i));
    testing::internal::GetCapturedStdout();

    ASSERT_FALSE(figures.empty());
    for (const audition::MultiFigures& f : figures)
    {
        EXPECT_GE(f.sections.size(), 2u) << f.name;
        EXPECT_FALSE(f.mix.clipped) << f.name;
    }
    const std::vector<std::string> lines = audition::checkMultis(figures);
    EXPECT_TRUE(lines.empty()) << failures(lines);
    std::printf("%s\n%s\n", audition::multisHeader().c_str(), audition::multisRow(symbol, figures, lines.size()).c_str());
}

// Twelve K1 storages with singles and multis, then the PHm storage of singles.
INSTANTIATE_TEST_SUITE_P(Storages, FactorySingles, ::testing::Range<size_t>(0, 13), storageName);
INSTANTIATE_TEST_SUITE_P(Storages, FactoryMultis, ::testing::Range<size_t>(0, 12), storageName);
} // namespace
