#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "patch/midiFile.h"

#include <unistd.h>

namespace
{
using Bytes = std::vector<unsigned char>;

Bytes header()
{
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0, 96};
}

void appendChunk(Bytes& file, const char* id, const Bytes& body)
{
    file.insert(file.end(), id, id + 4);
    const size_t n = body.size();
    file.push_back(static_cast<unsigned char>(n >> 24));
    file.push_back(static_cast<unsigned char>(n >> 16));
    file.push_back(static_cast<unsigned char>(n >> 8));
    file.push_back(static_cast<unsigned char>(n));
    file.insert(file.end(), body.begin(), body.end());
}

Bytes track(Bytes events, bool endOfTrack = true)
{
    if (endOfTrack)
        events.insert(events.end(), {0x00, 0xFF, 0x2F, 0x00});
    return events;
}

class MidiFile : public testing::Test
{
protected:
    std::string m_path;

    void SetUp() override
    {
        m_path = (std::filesystem::temp_directory_path() /
                  ("darvello_midi_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".mid"))
                     .string();
    }
    void TearDown() override { std::remove(m_path.c_str()); }

    void write(const Bytes& bytes)
    {
        FILE* f = std::fopen(m_path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

    // Reads the file and captures what was logged.
    bool read(Bytes& out, std::string& log)
    {
        testing::internal::CaptureStdout();
        const bool ok = k1lib::MidiToSysex::readFile(out, m_path.c_str());
        log = testing::internal::GetCapturedStdout();
        return ok;
    }
};
} // namespace

TEST_F(MidiFile, ExtractsSysexFromTracksInFileOrderSkippingMetaAndForeignChunks)
{
    Bytes f = header();
    appendChunk(f, "MTrk", track({0x00, 0xF0, 0x03, 0x01, 0x02, 0xF7}));
    appendChunk(f, "XYZW", {1, 2, 3, 4, 5});
    appendChunk(f, "MTrk", track({0x00, 0xFF, 0x03, 0x04, 'a', 'b', 'c', 'd', 0x10, 0xF0, 0x02, 0x05, 0xF7}));
    write(f);

    Bytes out = {0xAA};
    std::string log;
    EXPECT_TRUE(read(out, log));
    EXPECT_EQ(out, (Bytes{0xAA, 0xF0, 0x01, 0x02, 0xF7, 0xF0, 0x05, 0xF7}));
    EXPECT_EQ(log, "");
}

TEST_F(MidiFile, EmptyTrackAndZeroLengthSysex)
{
    Bytes only = header();
    appendChunk(only, "MTrk", track({}));
    write(only);
    Bytes nothing;
    std::string quiet;
    EXPECT_TRUE(read(nothing, quiet));
    EXPECT_TRUE(nothing.empty());
    EXPECT_EQ(quiet, "");

    Bytes f = header();
    appendChunk(f, "MTrk", track({}));
    appendChunk(f, "MTrk", track({0x00, 0xF0, 0x00}));
    write(f);
    Bytes out;
    std::string log;
    EXPECT_TRUE(read(out, log));
    EXPECT_EQ(out, (Bytes{0xF0}));
}

TEST_F(MidiFile, ChannelEventsWithRunningStatusDoNotHideSysex)
{
    // Note-ons with running status (a data byte F0-like value would never
    // occur, but 0x70 as a note and velocity must not be read as delta times),
    // a program change and channel pressure (one data byte each), then sysex.
    Bytes f = header();
    appendChunk(f, "MTrk",
                track({0x00, 0x90, 0x3C, 0x70,         // note on
                       0x10, 0x40, 0x70,               // running status
                       0x10, 0x3C, 0x00,               // running status, velocity 0
                       0x00, 0xC0, 0x05,               // program change
                       0x00, 0xD0, 0x40,               // channel pressure
                       0x00, 0xB0, 0x07, 0x64,         // controller
                       0x00, 0xE0, 0x00, 0x40,         // pitch bend
                       0x00, 0xF0, 0x04, 0x40, 0x00, 0x60, 0xF7,
                       0x00, 0x80, 0x3C, 0x40}));
    write(f);
    Bytes out;
    std::string log;
    EXPECT_TRUE(read(out, log)) << log;
    EXPECT_EQ(out, (Bytes{0xF0, 0x40, 0x00, 0x60, 0xF7}));
}

TEST_F(MidiFile, LongMetaTextAndSplitSysexAndEscapes)
{
    Bytes text = {0x00, 0xFF, 0x01, 0x81, 0x48}; // length 200 as a two-byte quantity
    text.insert(text.end(), 200, 'x');
    // An F7 escape that is not part of a sysex is dropped; a sysex without its
    // F7 is completed by the continuation packet that follows.
    Bytes events = text;
    events.insert(events.end(), {0x00, 0xF7, 0x02, 0xF8, 0xFA,
                                 0x00, 0xF0, 0x02, 0x40, 0x00,
                                 0x30, 0xF7, 0x03, 0x60, 0x01, 0xF7,
                                 0x00, 0xF7, 0x01, 0x42});
    Bytes f = header();
    appendChunk(f, "MTrk", track(events));
    write(f);
    Bytes out;
    std::string log;
    EXPECT_TRUE(read(out, log)) << log;
    EXPECT_EQ(out, (Bytes{0xF0, 0x40, 0x00, 0x60, 0x01, 0xF7}));
}

TEST_F(MidiFile, TrackLengthBeyondEndOfTrackIsSkipped)
{
    Bytes body = track({0x00, 0xF0, 0x01, 0xF7});
    body.insert(body.end(), {0xF0, 0x01, 0xF7}); // padding inside the chunk
    Bytes f = header();
    appendChunk(f, "MTrk", body);
    appendChunk(f, "MTrk", track({0x00, 0xF0, 0x02, 0x11, 0xF7}));
    write(f);
    Bytes out;
    std::string log;
    EXPECT_TRUE(read(out, log)) << log;
    EXPECT_EQ(out, (Bytes{0xF0, 0xF7, 0xF0, 0x11, 0xF7}));
}

TEST_F(MidiFile, RejectsFilesThatAreNotMidi)
{
    Bytes out = {1, 2};
    std::string log;
    write({'R', 'I', 'F', 'F', 0, 0, 0, 0});
    EXPECT_FALSE(read(out, log));
    write({});
    EXPECT_FALSE(read(out, log));
    EXPECT_EQ(out, (Bytes{1, 2}));
    EXPECT_EQ(log, "");

    std::remove(m_path.c_str());
    EXPECT_FALSE(read(out, log));
    EXPECT_NE(log.find("Failed to open file " + m_path), std::string::npos);
}

TEST_F(MidiFile, CutOffFilesFailAndKeepEarlierMessages)
{
    const Bytes first = {0x00, 0xF0, 0x01, 0xF7};
    struct Case
    {
        Bytes tail;
        const char* message;
    };
    const Case cases[] = {
        {{0x81}, "Failed to read variable length variable"},            // delta time
        {{0x00}, "Track ends inside an event"},                         // status byte
        {{0x00, 0xFF}, "Track ends inside an event"},                   // meta type
        {{0x00, 0xFF, 0x01}, "Failed to read variable length variable"}, // meta length
        {{0x00, 0xF0, 0x85}, "Failed to read variable length variable"}, // sysex length
        {{0x00, 0x90, 0x3C}, "Track ends inside an event"},             // note data
        {{0x00, 0xF0, 0x05, 0x40, 0x00}, "runs past the end of the file"},
        // A length of gigabytes must neither allocate them nor pad with zeros.
        {{0x00, 0xF0, 0xFF, 0xFF, 0xFF, 0x7F, 0x40}, "runs past the end of the file"},
        {{0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, "runs past the end of the file"},
        {{0x00, 0x40}, "without a running status"},
    };
    for (const Case& c : cases)
    {
        Bytes events = first;
        events.insert(events.end(), c.tail.begin(), c.tail.end());
        Bytes f = header();
        appendChunk(f, "MTrk", track(events, false));
        write(f);
        Bytes out;
        std::string log;
        EXPECT_FALSE(read(out, log)) << c.message;
        EXPECT_EQ(out, (Bytes{0xF0, 0xF7})) << c.message;
        EXPECT_NE(log.find(c.message), std::string::npos) << log;
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    }
}

TEST_F(MidiFile, VariableLengthQuantities)
{
    write({0x00, 0x7F, 0x81, 0x00, 0xFF, 0xFF, 0xFF, 0x7F, 0x81});
    FILE* f = std::fopen(m_path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    int count = -5;
    EXPECT_EQ(k1lib::MidiToSysex::readVarLen(f, &count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(k1lib::MidiToSysex::readVarLen(f, &count), 127);
    EXPECT_EQ(k1lib::MidiToSysex::readVarLen(f, &count), 128);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(k1lib::MidiToSysex::readVarLen(f, &count), 0x0FFFFFFF);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(k1lib::MidiToSysex::readVarLen(f, &count), -1);
    EXPECT_EQ(count, 0);
    std::fclose(f);
}
