// The waveform set on small hand-made ROMs: faulty labels and regions are
// refused with a log line, and no wave is ever left without a block to play.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/waveforms.h"
#include "tests/waverom/wavBuilder.h"

using k1lib::Waveforms;
using namespace wavtest;

namespace
{
struct Loaded
{
    std::unique_ptr<Waveforms> set;
    bool ok;
    std::string log;
};

Loaded load(const Bytes& image)
{
    Loaded r{std::make_unique<Waveforms>(), false, ""};
    testing::internal::CaptureStdout();
    r.ok = r.set->loadFromMemory(image.data(), image.size());
    r.log = testing::internal::GetCapturedStdout();
    return r;
}

// 2048 samples: a 1024-sample PCM region labelled `label`, one single-cycle
// region of 640 samples, and 384 samples after the closing cue.
Bytes smallRom(const std::string& label, std::vector<uint32_t> positions = {0, 1024, 1664})
{
    Bytes samples(2048);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<unsigned char>(i * 7);
    return rom(samples, positions, {{0, label}});
}

void expectSilentAndPlayable(const Waveforms& set, int w)
{
    const auto& wave = set.waves[w];
    EXPECT_TRUE(wave.loop) << w;
    EXPECT_GT(wave.sampleRate, 0.0f) << w;
    for (const auto& key : wave.keys)
    {
        ASSERT_EQ(key.length, 256u) << w;
        ASSERT_GT(key.baseFrequency, 0.0f) << w;
        for (size_t i = 0; i < key.length; ++i)
            ASSERT_EQ(key.data[i], 0) << w;
    }
}
} // namespace

TEST(WaveformFaults, BadTokensStopLoadingAndEveryWaveStaysPlayable)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"w210  w211", "Invalid waveform desc \n"},
        {"x210", "Invalid waveform desc x210"},
        {"w", "Invalid waveform desc w"},
        {"w210q", "Invalid waveform desc w210q"},
        {"w210l0", "Invalid loop region count in w210l0"},
        {"w210l", "Invalid loop region count in w210l"},
        {"w210l2x", "Invalid loop region count in w210l2x"},
        {"w210l9", "Error: cue point index out of bounds"},
        {"w300", "Error: Invalid waveform 299"},
        {"w0", "Error: Invalid waveform -1"},
        {"w99999", "Invalid waveform desc w99999"},
    };
    for (const auto& [label, message] : cases)
    {
        const Loaded r = load(smallRom(label));
        EXPECT_FALSE(r.ok) << label;
        EXPECT_NE(r.log.find(message), std::string::npos) << label << ": " << r.log;
        EXPECT_NE(r.log.find(" waveforms undefined"), std::string::npos) << label << ": " << r.log;
        expectSilentAndPlayable(*r.set, 0); // the single-cycle region after the bad label is never reached
        expectSilentAndPlayable(*r.set, 255);
    }
}

TEST(WaveformFaults, RegionsOutsideTheRomOrOfOddLengthAreRefused)
{
    const std::vector<std::pair<std::vector<uint32_t>, std::string>> cases = {
        {{0, 1000, 1640}, "Error: Waveform 209 has 1000 samples, not a power of two"},
        {{0, 1024, 5000}, "Error: region 1 from 1024 to 5000 lies outside the ROM of 2048 samples"},
        {{1024, 0, 1664}, "Error: region 0 from 1024 to 0 lies outside the ROM"},
    };
    for (const auto& [positions, message] : cases)
    {
        const Loaded r = load(smallRom("w210", positions));
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.log.find(message), std::string::npos) << r.log;
        expectSilentAndPlayable(*r.set, 250);
    }
    // A loop running past the ROM's end through a bad cue.
    const Loaded r = load(smallRom("w210l2", {0, 1024, 9000}));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.log.find("lies outside the ROM"), std::string::npos) << r.log;
}

TEST(WaveformFaults, UnreadableRomLeavesSilentWaves)
{
    const Bytes garbage(100, 0x42);
    const Loaded r = load(garbage);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.log.find("Failed to load Wave ROM"), std::string::npos) << r.log;
    EXPECT_NE(r.log.find("Error: 256 waveforms undefined (first 0)"), std::string::npos) << r.log;
    for (int w = 0; w < k1lib::kWaveformCount; ++w)
        expectSilentAndPlayable(*r.set, w);
    EXPECT_FLOAT_EQ(r.set->waves[0].keys[0].baseFrequency, 50000.0f / 256.0f);
}

TEST(WaveformFaults, TokensAreCaseInsensitiveAndBuildTheirOwnCopies)
{
    const Loaded r = load(smallRom("W210 w211R w212A w213L1"));
    EXPECT_FALSE(r.ok); // most waves are undefined in so small a ROM
    EXPECT_NE(r.log.find("Error: 251 waveforms undefined (first 1)"), std::string::npos) << r.log;
    const Waveforms& set = *r.set;
    const char* rom = set.rom.data();

    EXPECT_EQ(set.waves[209].keys[5].data, rom);
    EXPECT_EQ(set.waves[209].keys[5].length, 1024u);
    EXPECT_FALSE(set.waves[209].loop);

    ASSERT_EQ(set.waves[210].keys[5].length, 1024u);
    EXPECT_TRUE(set.waves[210].reverse);
    EXPECT_EQ(set.waves[210].keys[5].data[0], rom[1023]);
    EXPECT_EQ(set.waves[210].keys[5].data[1023], rom[0]);

    ASSERT_EQ(set.waves[211].keys[5].length, 2048u);
    EXPECT_TRUE(set.waves[211].alternate);
    EXPECT_TRUE(set.waves[211].loop);
    EXPECT_EQ(set.waves[211].keys[5].data[1024], rom[1023]);

    EXPECT_TRUE(set.waves[212].multiSegmentLoop);
    EXPECT_TRUE(set.waves[212].loop);
    EXPECT_FALSE(set.canRandomStart(212));

    // The single-cycle region defines wave 0.
    EXPECT_EQ(set.waves[0].keys[60].data, reinterpret_cast<const char*>(set.cycleTables[0]) + 512);
    EXPECT_EQ(static_cast<unsigned char>(set.waves[0].keys[60].data[0]), static_cast<unsigned char>(rom[1024 + 256]));
}

TEST(WaveformFaults, SecondDefinitionReplacesTheFirst)
{
    const Loaded r = load(smallRom("w210 w210a"));
    EXPECT_NE(r.log.find("Error: Waveform 209 is defined twice!"), std::string::npos) << r.log;
    EXPECT_TRUE(r.set->waves[209].alternate);
    EXPECT_EQ(r.set->waves[209].keys[0].length, 2048u);
}

TEST(WaveformFaults, MoreSingleCycleRegionsThanTablesAreRefused)
{
    std::vector<uint32_t> positions;
    for (uint32_t i = 0; i <= 205; ++i)
        positions.push_back(i * 640);
    const Bytes image = rom(Bytes(205 * 640, 0x80), positions, {});
    const Loaded r = load(image);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.log.find("Error: more than 204 single-cycle waves"), std::string::npos) << r.log;
}
