// The render tool: the demo renders with factory presets at a sane level, the
// WAV it writes has the expected size, and its MIDI file reader places
// events by the tempo map and survives broken files.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/engine.h"
#include "patch/sysex.h"
#include "tools/render/renderer.h"

namespace
{
double peakOf(const std::vector<float>& x)
{
    double peak = 0.0;
    for (float v : x)
        peak = std::max(peak, std::fabs(static_cast<double>(v)));
    return peak;
}

double rmsOf(const std::vector<float>& x)
{
    double sum = 0.0;
    for (float v : x)
        sum += static_cast<double>(v) * v;
    return x.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(x.size()));
}

// A format-1 file: a tempo track (120 -> 60 bpm at beat 1) and a note track
// using running status, 96 ticks per quarter note.
std::vector<uint8_t> smallSmf()
{
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96,
            // tempo track: 500000 us at 0, 1000000 us at tick 96
            'M', 'T', 'r', 'k', 0, 0, 0, 18, 0x00, 0xFF, 0x51, 3, 0x07, 0xA1, 0x20, 0x60, 0xFF, 0x51, 3, 0x0F, 0x42,
            0x40, 0x00, 0xFF, 0x2F, 0x00,
            // notes: on at 0, (running) on at 96, off at 192, bend, program
            'M', 'T', 'r', 'k', 0, 0, 0, 22, 0x00, 0x90, 60, 100, 0x60, 64, 90, 0x60, 0x80, 60, 0, 0x00, 0xE0, 0,
            0x40, 0x00, 0xC0, 5, 0x00, 0xFF, 0x2F, 0x00};
}
} // namespace

TEST(RenderTool, DemoWithAFactorySingleIsAudibleAndOfTheExpectedLength)
{
    k1render::RenderOptions options;
    options.preset = 0;
    k1render::RenderResult result;
    ASSERT_TRUE(k1render::render(options, result));
    EXPECT_EQ(result.sampleRate, 49920);
    EXPECT_NEAR(result.seconds(), 4.0 - 0.5 + 0.45 + 2.0, 0.05);
    EXPECT_GT(rmsOf(result.left), 0.01);
    EXPECT_GT(rmsOf(result.right), 0.01);
    EXPECT_GT(peakOf(result.left), 0.05);
    EXPECT_LT(peakOf(result.left), 4.0);

    const std::string path = ::testing::TempDir() + "k1render-demo.wav";
    ASSERT_TRUE(k1render::writeWav(path, result));
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.size(), 44 + result.left.size() * 4);
    std::remove(path.c_str());
}

TEST(RenderTool, DemoWithAFactoryMultiPlaysItsSections)
{
    k1render::RenderOptions options;
    options.multi = true;
    options.preset = 0;
    k1render::RenderResult result;
    ASSERT_TRUE(k1render::render(options, result));
    EXPECT_GT(rmsOf(result.left) + rmsOf(result.right), 0.01);

    options.preset = 384;
    EXPECT_FALSE(k1render::render(options, result));
}

TEST(RenderTool, MidiFileEventsFollowTheTempoMap)
{
    std::vector<k1render::TimedEvent> events;
    ASSERT_TRUE(k1render::readSmf(smallSmf(), events));
    ASSERT_EQ(events.size(), 5u);
    EXPECT_DOUBLE_EQ(events[0].seconds, 0.0);
    EXPECT_EQ(events[1].status, 0x90); // running status
    EXPECT_EQ(events[1].data1, 64);
    EXPECT_NEAR(events[1].seconds, 0.5, 1e-9);
    EXPECT_NEAR(events[2].seconds, 1.5, 1e-9); // one beat at 60 bpm later
    EXPECT_EQ(events[4].status, 0xC0);

    // Every cut of the file is refused or read in part, never read past.
    const std::vector<uint8_t> full = smallSmf();
    for (size_t n = 0; n < full.size(); ++n)
    {
        std::vector<k1render::TimedEvent> part;
        k1render::readSmf(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<long>(n)), part);
        EXPECT_LE(part.size(), 5u);
    }
}

TEST(RenderTool, MidiFileSysexReachesTheEngine)
{
    // A one-single dump into I-1 (the single played) of a single whose
    // sources are all muted, split over an F0 and an F7 packet, then a note:
    // the dump must be taken, so the note is silent.
    k1lib::initFactoryData();
    k1lib::SinglePreset muted = k1lib::Engine::getFactorySingle(0);
    for (bool& m : muted.mute)
        m = true;
    std::vector<uint8_t> dump;
    ASSERT_TRUE(k1lib::Sysex::writeSingle(dump, muted, 0, k1lib::StorageLocation::I, 0));
    const size_t half = dump.size() / 2;
    std::vector<uint8_t> track = {0x00, 0xF0, static_cast<uint8_t>(half - 1)}; // length fits one byte
    ASSERT_LT(half, 128u);
    track.insert(track.end(), dump.begin() + 1, dump.begin() + static_cast<long>(half));
    track.push_back(0x00);
    track.push_back(0xF7);
    const size_t rest = dump.size() - half;
    ASSERT_LT(rest, 128u);
    track.push_back(static_cast<uint8_t>(rest));
    track.insert(track.end(), dump.begin() + static_cast<long>(half), dump.end());
    const std::vector<uint8_t> notes = {0x10, 0x90, 60, 100, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00};
    track.insert(track.end(), notes.begin(), notes.end());
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0,
                                 static_cast<uint8_t>(track.size())};
    ASSERT_LT(track.size(), 256u);
    file.insert(file.end(), track.begin(), track.end());

    std::vector<k1render::TimedEvent> events;
    ASSERT_TRUE(k1render::readSmf(file, events));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].sysex, dump);

    const std::string path = ::testing::TempDir() + "k1render-sysex.mid";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    k1render::RenderOptions options;
    options.midiFile = path;
    options.tailSeconds = 0.2;
    k1render::RenderResult result;
    ASSERT_TRUE(k1render::render(options, result));
    EXPECT_EQ(rmsOf(result.left), 0.0);
    std::remove(path.c_str());
}
