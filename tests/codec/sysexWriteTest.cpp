#include "patch/blockLayout.h"
#include "patch/sysexFrame.h"
#include "tests/codec/codecTestSupport.h"

using namespace codecTest;
using k1lib::StorageLocation;
using k1lib::Sysex;
using Result = k1lib::Sysex::SysexResult;

TEST(WriteSingles, SubCommandsFollowCountAndLocation)
{
    std::vector<uint8_t> out;
    ASSERT_TRUE(Sysex::writeSingle(out, namedSingle("One"), 4, StorageLocation::i, 40));
    ASSERT_EQ(out.size(), 97u);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 8), bytes({0xF0, 0x40, 4, 0x20, 0, 3, 0x00, 0x28}));
    EXPECT_EQ(out.back(), 0xF7);

    const std::vector<k1lib::SinglePreset> bank(32, namedSingle("Bank"));
    ASSERT_TRUE(Sysex::writeSingles(out, bank, 0, StorageLocation::e, 99));
    ASSERT_EQ(out.size(), 2825u);
    EXPECT_EQ(out[3], 0x21);
    EXPECT_EQ(out[6], 0x01);
    EXPECT_EQ(out[7], 0x20);
    EXPECT_EQ(out.back(), 0xF7);

    ASSERT_TRUE(Sysex::writeSingles(out, {}, 5, StorageLocation::I, 0));
    EXPECT_EQ(out, bytes({0xF0, 0x40, 5, 0x20, 0, 3, 0, 0, 0xF7}));
}

TEST(WriteSingles, RefusalsLeaveTheOutputAsItWas)
{
    const std::vector<uint8_t> previous = bytes({1, 2, 3});
    struct Case
    {
        size_t count;
        StorageLocation location;
        uint8_t number;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {33, StorageLocation::I, 0, {"writeSingles: Too many singles for one command"}},
        {1, StorageLocation::I, 40,
         {"verifySingleNumberAgainstStorageLocation: If single number is >= 32, storage location needs to be i or e"}},
        {1, StorageLocation::e, 3,
         {"verifySingleNumberAgainstStorageLocation: If single number is < 32, storage location needs to be I or E"}},
        {1, StorageLocation::i, 64, {"writeSingles: Preset number needs to be within range 0-63"}},
    };
    for (const Case& c : cases)
    {
        std::vector<uint8_t> out = previous;
        startLog();
        EXPECT_FALSE(Sysex::writeSingles(out, std::vector<k1lib::SinglePreset>(c.count), 0, c.location, c.number));
        EXPECT_EQ(stopLog(), c.lines);
        EXPECT_EQ(out, previous);
    }

    std::vector<uint8_t> out = previous;
    startLog();
    EXPECT_FALSE(Sysex::writeMultis(out, std::vector<k1lib::MultiPreset>(33), 0, StorageLocation::I, 0));
    EXPECT_FALSE(Sysex::writeMulti(out, namedMulti("M"), 0, StorageLocation::E, 32));
    EXPECT_EQ(stopLog(), (std::vector<std::string>{"writeMultis: Too many multis for one command",
                                                  "writeMultis: Multi number needs to be within range 0-31"}));
    EXPECT_EQ(out, previous);
}

TEST(WriteMultis, SubCommandsAndBlocks)
{
    std::vector<uint8_t> out;
    ASSERT_TRUE(Sysex::writeMulti(out, namedMulti("Five"), 1, StorageLocation::E, 5));
    ASSERT_EQ(out.size(), 85u);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 8), bytes({0xF0, 0x40, 1, 0x20, 0, 3, 0x01, 0x45}));

    ASSERT_TRUE(Sysex::writeMultis(out, std::vector<k1lib::MultiPreset>(32, namedMulti("All")), 0, StorageLocation::I, 0));
    ASSERT_EQ(out.size(), 2441u);
    EXPECT_EQ(out[3], 0x21);
    EXPECT_EQ(out[7], 0x40);
    Result r;
    ASSERT_TRUE(Sysex::readSysex(r, out.data(), out.size(), 0));
    EXPECT_EQ(r.multis.size(), 32u);
}

TEST(WriteRequests, ExactBytes)
{
    std::vector<uint8_t> out = bytes({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
    ASSERT_TRUE(Sysex::writeOneSingleRequest(out, 2, StorageLocation::e, 33));
    EXPECT_EQ(out, bytes({0xF0, 0x40, 2, 0x00, 0, 3, 0x01, 33, 0xF7}));
    ASSERT_TRUE(Sysex::writeAllSinglesRequest(out, 2, StorageLocation::i));
    EXPECT_EQ(out, bytes({0xF0, 0x40, 2, 0x01, 0, 3, 0x00, 0x20, 0xF7}));
    ASSERT_TRUE(Sysex::writeMachineIdRequest(out, 15));
    EXPECT_EQ(out, bytes({0xF0, 0x40, 15, 0x60, 0xF7}));
    Sysex::writeMachineIdResponse(out, 3);
    EXPECT_EQ(out, bytes({0xF0, 0x40, 3, 0x61, 0, 3, 0xF7}));
    Sysex::writeWriteResult(out, 3, 0x42);
    EXPECT_EQ(out, bytes({0xF0, 0x40, 3, 0x42, 0, 3, 0xF7}));

    const std::vector<uint8_t> previous = out;
    startLog();
    EXPECT_FALSE(Sysex::writeOneSingleRequest(out, 16, StorageLocation::I, 0));
    EXPECT_FALSE(Sysex::writeOneSingleRequest(out, 0, StorageLocation::I, 64));
    EXPECT_FALSE(Sysex::writeAllSinglesRequest(out, 16, StorageLocation::I));
    EXPECT_FALSE(Sysex::writeMachineIdRequest(out, 200));
    EXPECT_EQ(stopLog(), (std::vector<std::string>{"writeOneSingleRequest: Channel number needs to be within range 0-15",
                                                  "writeOneSingleRequest: Single number needs to be within range 0-63",
                                                  "writeAllSinglesRequest: Channel number needs to be within range 0-15",
                                                  "writeMachineIdRequest: Channel number needs to be within range 0-15"}));
    EXPECT_EQ(out, previous);

    EXPECT_EQ(k1lib::getSysexSubcommand2Storage(static_cast<StorageLocation>(7)), 0x20);
    EXPECT_TRUE(k1lib::verifySingleNumberAgainstStorageLocation(static_cast<StorageLocation>(4), 40));
}

TEST(ConvertPhm, RebuildsTheDumpItCameFrom)
{
    namespace sb = k1lib::singleBlock;
    k1lib::SinglePreset p = namedSingle("Organ 2");
    p.sources[3].wave = 250;
    p.lfoSpeed = 77;
    std::vector<uint8_t> dump;
    ASSERT_TRUE(Sysex::writeSingle(dump, p, 0, StorageLocation::i, 39));

    const uint8_t* block = dump.data() + k1lib::sysexFrame::kDataAt;
    std::vector<uint8_t> phm(block + sb::kVolume, block + sb::kMute);
    phm.insert(phm.end(), block + sb::kFine, block + sb::kChecksum);
    ASSERT_EQ(phm.size(), 76u);

    std::vector<uint8_t> out;
    ASSERT_TRUE(Sysex::convertPhmPreset(out, 0, 39, "Organ 2", phm.data(), phm.size()));
    dump[6] = 0; // always internal memory
    EXPECT_EQ(out, dump);

    const std::vector<uint8_t> previous = out;
    startLog();
    EXPECT_FALSE(Sysex::convertPhmPreset(out, 0, 1, "X", phm.data(), 75));
    EXPECT_FALSE(Sysex::convertPhmPreset(out, 0, 1, "Eleven char", phm.data(), 76));
    EXPECT_FALSE(Sysex::convertPhmPreset(out, 0, 64, "X", phm.data(), 76));
    phm[40] = 0x80;
    EXPECT_FALSE(Sysex::convertPhmPreset(out, 0, 1, "X", phm.data(), 76));
    EXPECT_EQ(stopLog(), (std::vector<std::string>{"convertPhmPreset: Invalid PHm data size",
                                                  "convertPhmPreset: Invalid PHm single name, max length is 10",
                                                  "convertPhmPreset: Preset number needs to be within range 0-63",
                                                  "convertPhmPreset: Invalid PHm data byte 128 at offset 40, expected 0-127"}));
    EXPECT_EQ(out, previous);
}
