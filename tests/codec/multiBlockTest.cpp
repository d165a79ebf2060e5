#include "patch/blockLayout.h"
#include "tests/codec/codecTestSupport.h"

using namespace codecTest;
using k1lib::MultiPreset;
namespace mb = k1lib::multiBlock;

TEST(MultiBlock, RepairsAreLoggedPerSection)
{
    auto block = blockOf(namedMulti("Layer"));
    block[mb::kVolume] = 120;
    block[mb::kPolyOut + 3] = 0x30 | 1;  // output bits 3
    block[mb::kPolyOut + 5] = 12;        // poly 12
    block[mb::kLevel + 6] = 127;
    block[mb::kChannel + 1] = 0x30 | 4;  // velocity switch 3
    block[mb::kTranspose + 2] = 49;      // transpose 25
    block[mb::kTune + 4] = 101;          // tune 51
    fixChecksum(block);
    MultiPreset out{};
    startLog();
    ASSERT_TRUE(k1lib::readMulti(out, block.data()));
    const std::vector<std::string> expected = {
        "readMulti: Layer: Invalid multi volume 120",
        "readMulti: Layer: Invalid multi velo switch 3 in section 1",
        "readMulti: Layer: Invalid multi transpose 25 in section 2",
        "readMulti: Layer: Invalid multi output mode 3 in section 3",
        "readMulti: Layer: Invalid multi tune 51 in section 4",
        "readMulti: Layer: Invalid multi poly mode 12",
        "readMulti: Layer: Invalid multi section level 127 in section 6",
    };
    EXPECT_EQ(stopLog(), expected);
    EXPECT_EQ(out.volume, 99u);
    EXPECT_EQ(out.sections[1].velocitySwitch, 0);
    EXPECT_EQ(out.sections[1].channel, 4);
    EXPECT_EQ(out.sections[2].transpose, 24);
    EXPECT_EQ(out.sections[3].output, 1);
    EXPECT_EQ(out.sections[3].poly, 1);
    EXPECT_EQ(out.sections[4].tune, 50);
    EXPECT_EQ(out.sections[5].poly, 0);
    EXPECT_EQ(out.sections[6].level, 100);
}

TEST(MultiBlock, RejectedBlocksLeaveTheRecordUntouched)
{
    const MultiPreset keep = namedMulti("Keep");
    MultiPreset out = keep;
    auto block = blockOf(namedMulti("Other"));
    block[mb::kChecksum] ^= 1;
    startLog();
    EXPECT_FALSE(k1lib::readMulti(out, block.data()));
    EXPECT_EQ(stopLog().size(), 1u);
    EXPECT_EQ(out, keep);

    block = blockOf(namedMulti("Other"));
    block[mb::kZoneLow] |= 0x80;
    block[mb::kZoneHigh] |= 0x80;
    startLog();
    EXPECT_FALSE(k1lib::readMulti(out, block.data()));
    EXPECT_EQ(stopLog(), std::vector<std::string>{"readMulti: Invalid data byte 128 at offset 19, expected 0-127"});
    EXPECT_EQ(out, keep);
}

TEST(MultiBlock, SignedFieldsAreStoredWithOffsets)
{
    MultiPreset m = namedMulti("Offsets");
    m.sections[0].transpose = -24;
    m.sections[0].tune = 50;
    m.sections[7].transpose = 24;
    m.sections[7].tune = -50;
    const auto block = blockOf(m);
    EXPECT_EQ(block[mb::kTranspose], 0);
    EXPECT_EQ(block[mb::kTune], 100);
    EXPECT_EQ(block[mb::kTranspose + 7], 48);
    EXPECT_EQ(block[mb::kTune + 7], 0);
    MultiPreset out{};
    ASSERT_TRUE(k1lib::readMulti(out, block.data()));
    EXPECT_EQ(out, m);
}

// Bit 0 of the MIDI mode lives in bit 6 of the poly/output byte, bit 1 in bit 6
// of the channel byte.
TEST(MultiBlock, MidiModeSurvivesAndBothBitsRepairToBoth)
{
    MultiPreset m = namedMulti("Modes");
    m.sections[0].midiMode = 0;
    m.sections[1].midiMode = 1;
    m.sections[2].midiMode = 2;
    m.sections[3].midiMode = 3; // out of range: written as Both
    const auto block = blockOf(m);
    const uint8_t bit6 = 0x40;
    EXPECT_EQ(block[mb::kPolyOut + 0] & bit6, 0);
    EXPECT_EQ(block[mb::kChannel + 0] & bit6, 0);
    EXPECT_EQ(block[mb::kPolyOut + 1] & bit6, bit6);
    EXPECT_EQ(block[mb::kChannel + 1] & bit6, 0);
    EXPECT_EQ(block[mb::kPolyOut + 2] & bit6, 0);
    EXPECT_EQ(block[mb::kChannel + 2] & bit6, bit6);
    EXPECT_EQ(block[mb::kChannel + 3] & bit6, bit6);

    MultiPreset out{};
    ASSERT_TRUE(k1lib::readMulti(out, block.data()));
    EXPECT_EQ(out.sections[0].midiMode, 0);
    EXPECT_EQ(out.sections[1].midiMode, 1);
    EXPECT_EQ(out.sections[2].midiMode, 2);
    EXPECT_EQ(out.sections[3].midiMode, 2);

    auto both = block;
    both[mb::kPolyOut + 5] |= bit6;
    both[mb::kChannel + 5] |= bit6;
    fixChecksum(both);
    startLog();
    ASSERT_TRUE(k1lib::readMulti(out, both.data()));
    EXPECT_EQ(stopLog(), std::vector<std::string>{"readMulti: Modes: Invalid multi midi mode 3 in section 5"});
    EXPECT_EQ(out.sections[5].midiMode, 2);
}

TEST(MultiBlock, WriterClampsEveryFieldIntoItsByte)
{
    MultiPreset m{};
    std::memcpy(m.name, "\x80\x90\xA0\xB0\xC0\xD0\xE0\xF0\xF7\xFF", 10);
    m.volume = 0xFFFFFFFF;
    for (k1lib::MultiSection& s : m.sections)
        s = {255, -5, 300, -1, 7, 99, 255, -3, -100, 1000, 0x7FFFFFFF};
    const auto block = blockOf(m);
    for (size_t i = 0; i < block.size(); ++i)
        EXPECT_LT(block[i], 0x80) << i;
    MultiPreset out{};
    startLog();
    ASSERT_TRUE(k1lib::readMulti(out, block.data()));
    EXPECT_TRUE(stopLog().empty());
    EXPECT_STREQ(out.name, "");
    EXPECT_EQ(out.volume, 99u);
    const k1lib::MultiSection expected{63, 0, 127, 0, 1, 2, 15, 0, -24, 50, 100};
    for (const k1lib::MultiSection& s : out.sections)
        EXPECT_EQ(s, expected);
}
