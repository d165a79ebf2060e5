#include <regex>

#include "patch/blockLayout.h"
#include "tests/codec/codecTestSupport.h"

using namespace codecTest;
using k1lib::SinglePreset;
namespace sb = k1lib::singleBlock;

TEST(LogLine, HasFunctionLineAndMessage)
{
    auto block = blockOf(namedSingle("Bell"));
    const uint8_t good = block[sb::kChecksum];
    block[sb::kChecksum] = static_cast<uint8_t>(good + 1);
    SinglePreset out{};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(k1lib::readSingle(out, block.data()));
    const std::string line = testing::internal::GetCapturedStdout();
    const std::string expected = "readSingle@[0-9]+: Invalid checksum, expected " + std::to_string(good) + " but got " +
                                 std::to_string(good + 1) + "\n";
    EXPECT_TRUE(std::regex_match(line, std::regex(expected))) << line;
}

TEST(Checksum, SumsFromA5hInSevenBits)
{
    EXPECT_EQ(k1lib::getChecksum(nullptr, 0), 0x25);
    const uint8_t bytes[] = {0x7F, 0x7F, 0x01};
    EXPECT_EQ(k1lib::getChecksum(bytes, 3), (0xA5 + 0xFF) & 0x7F);
}

TEST(SingleBlock, RejectedBlocksLeaveTheRecordUntouched)
{
    SinglePreset keep = namedSingle("Keep");
    SinglePreset out = keep;

    auto badSum = blockOf(namedSingle("Other"));
    badSum[sb::kChecksum] ^= 1;
    startLog();
    EXPECT_FALSE(k1lib::readSingle(out, badSum.data()));
    EXPECT_EQ(stopLog().size(), 1u);
    EXPECT_EQ(out, keep);

    // A pitch-bend range of 13 used to leave a half-decoded record behind.
    auto badBend = blockOf(namedSingle("Other"));
    badBend[sb::kPitchBend] = 0x0D;
    fixChecksum(badBend);
    startLog();
    EXPECT_FALSE(k1lib::readSingle(out, badBend.data()));
    EXPECT_EQ(stopLog(), std::vector<std::string>{"readSingle: Invalid pitch bend range, valid is 0-12 but got 13"});
    EXPECT_EQ(out, keep);

    // Bit 7 is invisible to the 7-bit checksum: 80h + 80h adds nothing.
    auto highBit = blockOf(namedSingle("Other"));
    highBit[sb::kVolume] |= 0x80;
    highBit[sb::kLfoSpeed] |= 0x80;
    ASSERT_EQ(k1lib::getChecksum(highBit.data(), sb::kChecksum), highBit[sb::kChecksum]);
    startLog();
    EXPECT_FALSE(k1lib::readSingle(out, highBit.data()));
    EXPECT_EQ(stopLog(), std::vector<std::string>{"readSingle: Invalid data byte 208 at offset 10, expected 0-127"});
    EXPECT_EQ(out, keep);
}

TEST(SingleBlock, PitchBendIgnoresHighBits)
{
    auto block = blockOf(namedSingle("Bend"));
    block[sb::kPitchBend] = 0x2C;
    fixChecksum(block);
    SinglePreset out{};
    ASSERT_TRUE(k1lib::readSingle(out, block.data()));
    EXPECT_EQ(out.pitchBendDepth, 12u);
}

TEST(SingleBlock, WheelModeAndMuteRepairsAreLoggedAndDecodingGoesOn)
{
    struct Case
    {
        uint8_t byte17;
        uint32_t mode;
        bool logged;
    };
    for (const Case c : {Case{0x40, 0, true}, Case{0x60, 1, true}, Case{0x20, 1, false}})
    {
        auto block = blockOf(namedSingle("Wheel"));
        block[sb::kLfoAndCurve] = c.byte17;
        fixChecksum(block);
        SinglePreset out{};
        startLog();
        ASSERT_TRUE(k1lib::readSingle(out, block.data()));
        const auto log = stopLog();
        EXPECT_EQ(out.vibWheelMode, c.mode);
        if (c.logged)
            EXPECT_EQ(log, std::vector<std::string>{"readSingle: Wheel: Invalid vibrato wheel mode, needs to be 0 or 1 but got " +
                                                    std::to_string(c.byte17 >> 5)});
        else
            EXPECT_TRUE(log.empty());
    }

    auto block = blockOf(namedSingle("Mute"));
    block[sb::kMute] = 0x13;
    fixChecksum(block);
    SinglePreset out{};
    startLog();
    ASSERT_TRUE(k1lib::readSingle(out, block.data()));
    EXPECT_EQ(stopLog(), std::vector<std::string>{"readSingle: Invalid sources mute flags, allowed are 0000xxxx but got 19"});
    EXPECT_TRUE(out.mute[0] && out.mute[1]);
    EXPECT_FALSE(out.mute[2] || out.mute[3]);
}

TEST(SingleBlock, OutOfRangeFieldsAreRepairedWithTheNameFirst)
{
    auto block = blockOf(namedSingle("Range"));
    block[sb::kVolume] = 120;
    block[sb::kModes] = 0x03 | 0x18;          // poly mode 3, AM S1/S2 3
    block[sb::kLfoAndCurve] = 7 << 2;         // key-scale curve 7
    block[sb::kVibratoDepth] = 101;
    block[sb::kFine + 1] = 127;
    block[sb::kEnvAttack + 3] = 110;
    block[sb::kFreqKeyScale + 2] = 101;
    fixChecksum(block);
    SinglePreset out{};
    startLog();
    ASSERT_TRUE(k1lib::readSingle(out, block.data()));
    const std::vector<std::string> expected = {
        "readSingle: Range: Invalid single volume 120",
        "readSingle: Range: Invalid vibrato depth 101",
        "readSingle: Range: Invalid poly mode 3",
        "readSingle: Range: Invalid amplitude modulation S1/S2 3",
        "readSingle: Range: Invalid key scale curve 7",
        "readSingle: Range: Invalid fine tuning 127 in source 1",
        "readSingle: Range: Invalid frequency key scaling 101 in source 2",
        "readSingle: Range: Invalid envelope attack 110 in source 3",
    };
    EXPECT_EQ(stopLog(), expected);
    EXPECT_EQ(out.volume, 99);
    EXPECT_EQ(out.polyMode, 0u);
    EXPECT_EQ(out.ampModS1S2, 0u);
    EXPECT_EQ(out.keyScaleCurve, 4u);
    EXPECT_EQ(out.vibratoDepth, 100);
    EXPECT_EQ(out.sources[1].fine, 100u);
    EXPECT_EQ(out.sources[3].envAttack, 100u);
    EXPECT_EQ(out.sources[2].freqKeyScaleToFreq, 100u);
}

TEST(SingleBlock, WaveNumberSplitsItsTopBit)
{
    SinglePreset p = namedSingle("Wave");
    p.sources[2].wave = 200;
    p.sources[2].velCurve = 7;
    p.sources[2].keyTrack = true;
    const auto block = blockOf(p);
    EXPECT_EQ(block[sb::kWaveLow + 2], 0x48);
    EXPECT_EQ(block[sb::kSourceFlags + 2], 0x01 | 0x02 | 0x70);
    SinglePreset out{};
    ASSERT_TRUE(k1lib::readSingle(out, block.data()));
    EXPECT_EQ(out.sources[2].wave, 200);
    EXPECT_EQ(out, p);
}

TEST(SingleBlock, NamesArePaddedTrimmedAndKeptPrintable)
{
    SinglePreset p = namedSingle("Piano");
    auto block = blockOf(p);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data()), 10), "Piano     ");
    SinglePreset out{};
    ASSERT_TRUE(k1lib::readSingle(out, block.data()));
    EXPECT_STREQ(out.name, "Piano");
    for (size_t i = 5; i < sizeof out.name; ++i)
        EXPECT_EQ(out.name[i], 0) << i;

    char name[11];
    EXPECT_FALSE(k1lib::readName(name, reinterpret_cast<const uint8_t*>("          "), 10));
    EXPECT_STREQ(name, "");

    // A byte of 80h or more inside a dump ends it early (F7) or corrupts it.
    uint8_t field[10];
    k1lib::writeName(field, "A\xF7\xE9\x01~\x7F", 10);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(field), 10), "A   ~     ");
}
