// The host's Standard MIDI File reader: timing, running status, sysex
// packets, track merging and malformed files.

#include "tools/vsthost/midiFile.h"

#include <gtest/gtest.h>

namespace
{
using vsthost::parseMidiFile;
using vsthost::TimedMidi;
using Bytes = std::vector<uint8_t>;

Bytes header(uint16_t format, uint16_t tracks, uint16_t division)
{
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<uint8_t>(format), 0,
            static_cast<uint8_t>(tracks), static_cast<uint8_t>(division >> 8),
            static_cast<uint8_t>(division)};
}

void addTrack(Bytes& file, const Bytes& events)
{
    Bytes body = events;
    body.insert(body.end(), {0x00, 0xff, 0x2f, 0x00});
    uint32_t n = static_cast<uint32_t>(body.size());
    file.insert(file.end(), {'M', 'T', 'r', 'k', static_cast<uint8_t>(n >> 24),
                             static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
                             static_cast<uint8_t>(n)});
    file.insert(file.end(), body.begin(), body.end());
}

TEST(MidiFile, TempoMapAndRunningStatus)
{
    Bytes file = header(0, 1, 96);
    addTrack(file, {
        0x00, 0x90, 60, 100,             // note on at 0
        0x60, 62, 100,                   // running status, one quarter later (0.5 s at 120 bpm)
        0x00, 0xff, 0x51, 0x03, 0x0f, 0x42, 0x40, // tempo 1 s per quarter from here
        0x81, 0x40, 0xc0, 5,             // 192 ticks = two quarters later: program change
        0x00, 0xd0, 7,                   // channel pressure
    });
    std::vector<TimedMidi> events;
    ASSERT_TRUE(parseMidiFile(file, events));
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].bytes, (Bytes{0x90, 60, 100}));
    EXPECT_DOUBLE_EQ(events[1].seconds, 0.5);
    EXPECT_EQ(events[1].bytes, (Bytes{0x90, 62, 100}));
    EXPECT_DOUBLE_EQ(events[2].seconds, 2.5);
    EXPECT_EQ(events[2].bytes, (Bytes{0xc0, 5}));
    EXPECT_EQ(events[3].bytes, (Bytes{0xd0, 7}));
}

TEST(MidiFile, SysexPacketsAreJoined)
{
    Bytes file = header(0, 1, 96);
    addTrack(file, {
        0x00, 0xf0, 0x03, 0x40, 0x00, 0x20,  // unterminated first packet
        0x10, 0xf7, 0x02, 0x01, 0xf7,        // continuation ends it
        0x00, 0xf0, 0x02, 0x7d, 0xf7,        // a whole one
        0x00, 0xf7, 0x01, 0xfa,              // an escaped realtime byte
    });
    std::vector<TimedMidi> events;
    ASSERT_TRUE(parseMidiFile(file, events));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].bytes, (Bytes{0xf0, 0x40, 0x00, 0x20, 0x01, 0xf7}));
    EXPECT_EQ(events[1].bytes, (Bytes{0xf0, 0x7d, 0xf7}));
    EXPECT_EQ(events[2].bytes, (Bytes{0xfa}));
}

TEST(MidiFile, TracksMergeInTimeOrderAndTheTempoTrackAppliesToAll)
{
    Bytes file = header(1, 2, 480);
    addTrack(file, {0x00, 0xff, 0x51, 0x03, 0x07, 0xa1, 0x20}); // 0.5 s per quarter
    addTrack(file, {0x83, 0x60, 0x90, 64, 1, 0x00, 0x80, 64, 0});
    std::vector<TimedMidi> events;
    ASSERT_TRUE(parseMidiFile(file, events));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_DOUBLE_EQ(events[0].seconds, 0.5);
    EXPECT_EQ(events[1].bytes[0], 0x80);

    // 25 frames per second, 40 ticks per frame: 1000 ticks a second.
    Bytes smpte = header(0, 1, static_cast<uint16_t>((256 - 25) << 8 | 40));
    addTrack(smpte, {0x87, 0x68, 0x90, 60, 1});
    events.clear();
    ASSERT_TRUE(parseMidiFile(smpte, events));
    EXPECT_DOUBLE_EQ(events[0].seconds, 1.0);
}

TEST(MidiFile, MalformedFilesAreRefusedWithNothingAdded)
{
    std::vector<TimedMidi> events{{1.0, {0x90, 1, 1}}};
    Bytes noRunningStatus = header(0, 1, 96);
    addTrack(noRunningStatus, {0x00, 60, 100});
    Bytes truncated = header(0, 1, 96);
    addTrack(truncated, {0x00, 0x90, 60, 100});
    truncated.resize(truncated.size() - 6);
    Bytes longSysex = header(0, 1, 96);
    addTrack(longSysex, {0x00, 0xf0, 0x7f, 0x01});
    Bytes badVlq = header(0, 1, 96);
    addTrack(badVlq, {0xff, 0xff, 0xff, 0xff, 0x7f, 0x90, 60, 100});
    Bytes noTracks = header(0, 0, 96);
    Bytes zeroDivision = header(0, 1, 0);
    addTrack(zeroDivision, {0x00, 0x90, 60, 100});
    for (const Bytes& file : {noRunningStatus, truncated, longSysex, badVlq, noTracks, zeroDivision,
                              Bytes{'M', 'T', 'h', 'd'}})
    {
        EXPECT_FALSE(parseMidiFile(file, events));
        EXPECT_EQ(events.size(), 1u);
    }
}

} // namespace
