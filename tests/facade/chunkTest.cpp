// Presets and state as byte chunks: a preset chunk is one K1 block dump that
// reads back equal, a bank chunk is the engine's state; and the preset
// look-ups of the browser (names, search) through the facade.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "patch/sysex.h"
#include "tests/engine/engineTestSupport.h"
#include "tests/facade/facadeTestSupport.h"

using k1lib::PlayMode;
using Lines = std::vector<std::string>;

namespace
{
constexpr size_t kSingleDumpSize = 97; // F0 40 ch 20 00 03 sub1 sub2, 88 bytes, F7
constexpr size_t kMultiDumpSize = 85;

k1lib::Sysex::SysexResult parse(const std::vector<uint8_t>& bytes)
{
    k1lib::Sysex::SysexResult result;
    k1lib::Sysex::readBuffer(result, bytes, 255);
    return result;
}
} // namespace

TEST(FacadeChunks, PresetChunkIsOneBlockDumpThatReadsBackEqual)
{
    k1test::TestFacade f;
    ASSERT_TRUE(f.plugin->setCurrentPresetIndex(12));
    std::vector<uint8_t> bytes(300, 0xAB); // whatever it held goes
    ASSERT_TRUE(f.plugin->getCurrentPreset(bytes));
    ASSERT_EQ(bytes.size(), kSingleDumpSize);
    EXPECT_EQ(bytes.front(), 0xF0);
    EXPECT_EQ(bytes.back(), 0xF7);
    k1lib::Sysex::SysexResult result = parse(bytes);
    ASSERT_EQ(result.singles.size(), 1u);
    EXPECT_TRUE(result.multis.empty());
    EXPECT_EQ(result.singles[0], f.plugin->getCurrentSingle());

    // Written back into another slot and read from there, it is the same.
    ASSERT_TRUE(f.plugin->setPreset(bytes, 20));
    std::vector<uint8_t> again;
    ASSERT_TRUE(f.plugin->getPreset(again, 20));
    EXPECT_EQ(again, bytes);
    ASSERT_TRUE(f.plugin->getSingle(again, 12));
    EXPECT_EQ(again, bytes);

    // A changed preset chunk replaces the current single, with its reports.
    k1lib::SinglePreset plain = k1test::plainSingle();
    ASSERT_TRUE(k1lib::Sysex::writeSingle(bytes, plain, 5, k1lib::StorageLocation::e, 40));
    f.journal.take();
    ASSERT_TRUE(f.plugin->setCurrentPreset(bytes));
    EXPECT_EQ(f.plugin->getCurrentSingleIndex(), 12u);
    EXPECT_EQ(f.plugin->getCurrentSingle(), plain);
    EXPECT_EQ(f.journal.take(), (Lines{"editor:ActiveSingleModified(12)", "editor:SinglesModified(12,1)",
                                       "host:ActiveSingleModified(12)", "host:SinglesModified(12,1)"}));

    // Out of range: false, nothing written.
    std::vector<uint8_t> untouched = {1, 2, 3};
    EXPECT_FALSE(f.plugin->getSingle(untouched, f.plugin->getSingleCount()));
    EXPECT_FALSE(f.plugin->getPreset(untouched, f.plugin->getPresetCount()));
    EXPECT_EQ(untouched, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(f.plugin->setSingle(bytes, f.plugin->getSingleCount()));
    EXPECT_EQ(f.plugin->getPresetName(f.plugin->getPresetCount()), "");
}

TEST(FacadeChunks, MultiChunksFollowThePlayMode)
{
    k1test::TestFacade f;
    std::vector<uint8_t> multiBytes;
    ASSERT_TRUE(f.plugin->getMulti(multiBytes, 4));
    ASSERT_EQ(multiBytes.size(), kMultiDumpSize);
    k1lib::MultiPreset multi;
    ASSERT_TRUE(f.plugin->getMulti(multi, 4));
    EXPECT_EQ(parse(multiBytes).multis.at(0), multi);

    // A multi dump holds no single: refused in single mode, store unchanged.
    k1lib::SinglePreset before;
    ASSERT_TRUE(f.plugin->getSingle(before, 2));
    EXPECT_FALSE(f.plugin->setSingle(multiBytes, 2));
    EXPECT_FALSE(f.plugin->setPreset(multiBytes, 2));
    EXPECT_FALSE(f.plugin->setSingle(std::vector<uint8_t>{}, 2));
    k1lib::SinglePreset after;
    ASSERT_TRUE(f.plugin->getSingle(after, 2));
    EXPECT_EQ(after, before);

    // In multi mode the same bytes are a preset.
    f.plugin->setPlayMode(PlayMode::Multi);
    ASSERT_TRUE(f.plugin->setPreset(multiBytes, 2));
    k1lib::MultiPreset stored;
    ASSERT_TRUE(f.plugin->getMulti(stored, 2));
    EXPECT_EQ(stored, multi);
    std::vector<uint8_t> current;
    ASSERT_TRUE(f.plugin->getCurrentPreset(current));
    EXPECT_EQ(parse(current).multis.at(0), f.plugin->getCurrentMulti());
    EXPECT_EQ(f.plugin->getPresetName(2), std::string(multi.name, strnlen(multi.name, 11)));
}

TEST(FacadeChunks, BankChunkIsTheEngineState)
{
    k1test::TestFacade f;
    f.listener.customData = {9, 8, 7, 6};
    ASSERT_TRUE(f.plugin->setCurrentPresetIndex(33));
    ASSERT_TRUE(f.plugin->setParameter(k1lib::Param_SourceMix34, 0.25f));
    std::vector<uint8_t> state = {1, 2, 3};
    ASSERT_TRUE(f.plugin->getState(state));
    // The chunk replaces what the buffer held.
    ASSERT_GT(state.size(), 3u);
    EXPECT_EQ(state[0], 4);

    k1test::TestFacade g;
    g.journal.take();
    EXPECT_FALSE(g.plugin->setState({}));
    EXPECT_TRUE(g.journal.take().empty());
    ASSERT_TRUE(g.plugin->setState(state));
    EXPECT_EQ(g.plugin->getCurrentSingleIndex(), 33u);
    EXPECT_EQ(g.plugin->getParameter(k1lib::Param_SourceMix34), 0.25f);
    const Lines lines = g.journal.take();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "host:deserializeCustomData 4");
    std::vector<uint8_t> restored;
    g.listener.customData = f.listener.customData;
    ASSERT_TRUE(g.plugin->getState(restored));
    EXPECT_EQ(restored, state);
}

TEST(FacadePresets, SearchFindsNamesInAnyCaseAscendingAndBounded)
{
    k1test::TestFacade f;
    const size_t count = f.plugin->getSingleCount();
    // Take a piece of the first single's name and look for it in capitals.
    const std::string name = f.plugin->getPresetName(0);
    ASSERT_GE(name.size(), 3u);
    std::string piece = name.substr(0, 3);
    std::string shouted = piece;
    for (char& c : shouted)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto lower = [](std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };

    std::vector<size_t> result = {999};
    ASSERT_TRUE(f.plugin->searchSingles(result, shouted, count));
    ASSERT_FALSE(result.empty());
    EXPECT_EQ(result.front(), 0u);
    EXPECT_TRUE(std::is_sorted(result.begin(), result.end()));
    size_t expected = 0;
    for (size_t i = 0; i < count; ++i)
        if (lower(f.plugin->getPresetName(i)).find(lower(piece)) != std::string::npos)
            ++expected;
    EXPECT_EQ(result.size(), expected);

    std::vector<size_t> bounded;
    ASSERT_TRUE(f.plugin->searchSingles(bounded, "", 5));
    EXPECT_EQ(bounded, (std::vector<size_t>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(f.plugin->searchSingles(bounded, "no such name at all", count));
    EXPECT_TRUE(bounded.empty());
    EXPECT_FALSE(f.plugin->searchMultis(bounded, "", 0));

    std::vector<size_t> multis;
    ASSERT_TRUE(f.plugin->searchMultis(multis, "", 1000));
    EXPECT_EQ(multis.size(), f.plugin->getMultiCount());
}
