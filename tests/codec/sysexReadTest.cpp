#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "patch/blockLayout.h"
#include "patch/sysexFrame.h"
#include "tests/codec/codecTestSupport.h"

using namespace codecTest;
using k1lib::StorageLocation;
using k1lib::Sysex;
using Result = k1lib::Sysex::SysexResult;

namespace
{
std::vector<k1lib::SinglePreset> numberedSingles(size_t count)
{
    std::vector<k1lib::SinglePreset> list;
    for (size_t i = 0; i < count; ++i)
    {
        list.push_back(namedSingle(("Single " + std::to_string(i)).c_str()));
        list.back().sources[0].wave = static_cast<uint8_t>(i);
    }
    return list;
}

bool read(Result& r, const std::vector<uint8_t>& message, uint8_t channel = 255)
{
    return Sysex::readSysex(r, message.data(), message.size(), channel);
}
} // namespace

TEST(ReadBuffer, FindsMessagesBetweenJunk)
{
    std::vector<uint8_t> singles, multi;
    ASSERT_TRUE(Sysex::writeSingles(singles, numberedSingles(2), 0, StorageLocation::I, 0));
    ASSERT_TRUE(Sysex::writeMulti(multi, namedMulti("Split"), 0, StorageLocation::I, 3));
    std::vector<uint8_t> buffer = bytes({0x01, 0xF7, 0x7F});
    buffer.insert(buffer.end(), singles.begin(), singles.end());
    buffer.insert(buffer.end(), {0x00, 0xF7, 0x33});
    buffer.insert(buffer.end(), multi.begin(), multi.end());
    buffer.insert(buffer.end(), {0xF0, 0x40}); // unfinished

    Result r;
    startLog();
    EXPECT_TRUE(Sysex::readBuffer(r, buffer, 255));
    EXPECT_TRUE(stopLog().empty());
    EXPECT_EQ(r.singles, numberedSingles(2));
    ASSERT_EQ(r.multis.size(), 1u);
    EXPECT_EQ(r.multis[0], namedMulti("Split"));
    EXPECT_EQ(r.multiStart, 3u);

    Result junk;
    startLog();
    EXPECT_FALSE(Sysex::readBuffer(junk, bytes({0x10, 0xF7, 0x20, 0xF0, 0x41}), 255));
    EXPECT_EQ(stopLog(), std::vector<std::string>{"readBuffer: No complete sysex message in 5 bytes"});
    startLog();
    EXPECT_FALSE(Sysex::readBuffer(junk, {}, 255));
    stopLog();
}

TEST(ReadBuffer, FailingMessageKeepsEarlierBlocksAndOtherMessages)
{
    std::vector<uint8_t> bank, request;
    ASSERT_TRUE(Sysex::writeSingles(bank, numberedSingles(32), 0, StorageLocation::I, 0));
    bank[k1lib::sysexFrame::kDataAt + 9 * k1lib::kSingleBlockSize + k1lib::singleBlock::kChecksum] ^= 1;
    ASSERT_TRUE(Sysex::writeAllSinglesRequest(request, 0, StorageLocation::i));

    Result one;
    startLog();
    EXPECT_FALSE(read(one, bank));
    EXPECT_EQ(stopLog().size(), 1u);
    EXPECT_EQ(one.singles, numberedSingles(9));

    Result both;
    std::vector<uint8_t> buffer = bank;
    buffer.insert(buffer.end(), request.begin(), request.end());
    startLog();
    EXPECT_TRUE(Sysex::readBuffer(both, buffer, 255));
    stopLog();
    EXPECT_EQ(both.singles.size(), 9u);
    EXPECT_TRUE(both.allSinglesRequested);
    EXPECT_EQ(both.singleStart, 32u);
}

// A file of F0 bytes used to be rescanned to its end for every byte.
TEST(ReadBuffer, StartBytesWithoutEndReturnAtOnce)
{
    const std::vector<uint8_t> starts(4 << 20, 0xF0);
    Result r;
    const auto before = std::chrono::steady_clock::now();
    startLog();
    EXPECT_FALSE(Sysex::readBuffer(r, starts, 255));
    stopLog();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
}

TEST(ReadSysex, FrameAndChannelChecks)
{
    struct Case
    {
        std::vector<uint8_t> message;
        uint8_t expectedChannel;
        std::string line;
    };
    const Case cases[] = {
        {bytes({0x80, 0x40, 0, 0x40, 0, 3, 0, 0, 0xF7}), 255, "readSysex: Not a sysex message"},
        {bytes({0xF0, 0x41, 0, 0x40, 0, 3, 0, 0, 0xF7}), 255, "readSysex: Sysex from wrong manufacturer"},
        {bytes({0xF0, 0x40, 17, 0x40, 0, 3, 0, 0, 0xF7}), 255, "readSysex: Invalid channel number 17, expected 0-15"},
        {bytes({0xF0, 0x40, 3, 0x40, 0, 3, 0, 0, 0xF7}), 5, "readSysex: Skipping read, expected channel 5 but sysex has 3"},
        {bytes({0xF0, 0x40, 0, 0x40, 1, 3, 0, 0, 0xF7}), 255, "readSysex: Expected group to be 0x00 (Synthesizer group) but got 1"},
        {bytes({0xF0, 0x40, 0, 0x40, 0, 4, 0, 0, 0xF7}), 255, "readSysex: Expected machine ID to be 0x03 but got 4"},
        {bytes({0xF0, 0x40, 0, 0x61, 0, 3, 0xF7, 0xF7}), 255,
         "readSysex: Invalid function, expected all block data dump (21h) or single block data dump (20h) but got 97"},
        // Messages shorter than the bytes the reader looks at.
        {bytes({0xF0, 0x40, 0xF7}), 255, "readSysex: Sysex message too short, needs at least 4 bytes but got 3"},
        {bytes({0xF0, 0x40, 0x00, 0xF7}), 255, "readSysex: Sysex message too short, needs at least 8 bytes but got 4"},
        {bytes({0xF0, 0x40, 0x00, 0x40, 0x00, 0x03, 0xF7}), 255, "readSysex: Sysex message too short, needs at least 8 bytes but got 7"},
        {bytes({0xF0, 0x40, 0x00, 0x10, 0x00, 0x03, 0x1F, 0xF7}), 255,
         "readSysex: Sysex message too short, needs at least 9 bytes but got 8"},
    };
    for (const Case& c : cases)
    {
        Result r;
        startLog();
        EXPECT_FALSE(read(r, c.message, c.expectedChannel)) << c.line;
        EXPECT_EQ(stopLog(), std::vector<std::string>{c.line});
    }

    Result r;
    EXPECT_TRUE(read(r, bytes({0xF0, 0x40, 3, 0x40, 0, 3, 0, 0, 0xF7}), 255));
    EXPECT_EQ(r.channel, 3);
    EXPECT_TRUE(read(r, bytes({0xF0, 0x40, 0, 0x60, 0xF7}), 0));
    EXPECT_TRUE(r.machineIdRequested);
    EXPECT_EQ(r.channel, 0);
    startLog();
    EXPECT_FALSE(Sysex::readSysex(r, nullptr, 0, 255));
    stopLog();

    startLog();
    EXPECT_TRUE(read(r, bytes({0xF0, 0x40, 0, 0x42, 0, 3, 0, 0, 0xF7})));
    EXPECT_EQ(stopLog(), std::vector<std::string>{"readSysex: Got Sysex stating Write Error Protected"});
}

TEST(ReadSysex, DumpSubCommands)
{
    std::vector<uint8_t> dump;
    ASSERT_TRUE(Sysex::writeSingles(dump, numberedSingles(2), 0, StorageLocation::I, 0));
    dump[7] = 0x10;

    Result r;
    startLog();
    EXPECT_FALSE(read(r, dump));
    EXPECT_EQ(stopLog(), std::vector<std::string>{"readSysex: Invalid subcommand 2, needs to be 00h, 20h or 40h but got 16"});
    EXPECT_TRUE(r.singles.empty());

    dump[3] = 0x20; // a one-block dump may start anywhere and hold more blocks
    EXPECT_TRUE(read(r, dump));
    EXPECT_EQ(r.singleStart, 16u);
    EXPECT_EQ(r.singles, numberedSingles(2));

    dump[6] = 3;
    startLog();
    EXPECT_TRUE(read(r, dump));
    EXPECT_EQ(stopLog(), std::vector<std::string>{
                             "readSysex: Expected subcommand 1 to be 0=intern or 1=extern but got 3, treating as 1"});
    EXPECT_EQ(r.singleStart, 64u + 16u);

    // Too short for one block: parsed, nothing added.
    Result empty;
    EXPECT_TRUE(read(empty, bytes({0xF0, 0x40, 0, 0x20, 0, 3, 0, 0x45, 1, 2, 0xF7})));
    EXPECT_TRUE(empty.multis.empty());
    EXPECT_EQ(empty.multiStart, 5u);
}

TEST(ReadSysex, RequestsAndParameterChanges)
{
    Result r;
    EXPECT_TRUE(read(r, bytes({0xF0, 0x40, 0, 0x00, 0, 3, 0x01, 0x45, 0xF7})));
    EXPECT_TRUE(read(r, bytes({0xF0, 0x40, 0, 0x00, 0, 3, 0x01, 0x05, 0xF7})));
    EXPECT_EQ(r.requestedMultis, std::vector<size_t>{37});
    EXPECT_EQ(r.requestedSingles, std::vector<size_t>{69});

    EXPECT_TRUE(read(r, bytes({0xF0, 0x40, 0, 0x01, 0, 3, 0x01, 0x47, 0xF7})));
    EXPECT_TRUE(r.allMultisRequested);
    EXPECT_EQ(r.multiStart, 32u);

    const auto change = bytes({0xF0, 0x40, 0x02, 0x10, 0, 3, 0x1F, 0x05, 0x23, 0xF7});
    EXPECT_TRUE(read(r, change));
    ASSERT_EQ(r.parameterChanges.size(), 1u);
    EXPECT_EQ(r.parameterChanges[0], (Result::ParameterChange{31, 2, 163}));
    std::vector<uint8_t> written;
    Sysex::writeParameterChange(written, 2, r.parameterChanges[0]);
    EXPECT_EQ(written, change);
}

TEST(ReadFile, ReadsWholeFilesAndRefusesOthers)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("codecTest" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::vector<uint8_t> dump;
    ASSERT_TRUE(Sysex::writeSingle(dump, namedSingle("File"), 0, StorageLocation::I, 4));
    const std::string path = (dir / "one.syx").string();
    {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(dump.data()), static_cast<std::streamsize>(dump.size()));
    }

    std::vector<uint8_t> content = {1, 2, 3};
    EXPECT_TRUE(Sysex::readFile(content, path));
    EXPECT_EQ(content, dump);
    Result r;
    EXPECT_TRUE(Sysex::readFile(r, path, 255));
    EXPECT_EQ(r.singles, std::vector<k1lib::SinglePreset>{namedSingle("File")});
    EXPECT_EQ(r.singleStart, 4u);

    const std::vector<uint8_t> before = content;
    startLog();
    EXPECT_FALSE(Sysex::readFile(content, (dir / "missing.syx").string()));
    EXPECT_FALSE(Sysex::readFile(content, dir.string()));
    EXPECT_FALSE(Sysex::readFile(r, dir.string(), 255));
    const auto log = stopLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "readFile: Failed to open file " + (dir / "missing.syx").string());
    EXPECT_EQ(log[1], "readFile: Failed to read file " + dir.string() + ", it is not a regular file");
    EXPECT_EQ(content, before);
    std::filesystem::remove_all(dir);
}
