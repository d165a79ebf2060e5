#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/wavLoader.h"
#include "tests/waverom/wavBuilder.h"

using k1lib::CuePoint;
using k1lib::WavLoader;
using namespace wavtest;

namespace
{
Bytes pcm8(std::initializer_list<unsigned char> samples)
{
    return Bytes(samples);
}

// Runs f with stdout captured; returns what the log printed.
template <typename F> std::string logOf(F f)
{
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

int lineCount(const std::string& s)
{
    return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}
} // namespace

TEST(WavLoader, RejectsNonRiffAndNonWaveSilently)
{
    Bytes good = riff({chunk("fmt ", fmt(1, 1, 8000, 8)), chunk("data", pcm8({1, 2, 3, 4}))});
    Bytes noRiff = good, noWave = good;
    noRiff[0] = 'X';
    noWave[8] = 'X';
    k1lib::Data d;
    const std::string log = logOf(
        [&]
        {
            EXPECT_FALSE(WavLoader::load(d, nullptr, noRiff.data(), noRiff.size()));
            EXPECT_FALSE(WavLoader::load(d, nullptr, noWave.data(), noWave.size()));
            EXPECT_FALSE(WavLoader::load(d, nullptr, good.data(), 6));
        });
    EXPECT_EQ(log, "");
    EXPECT_TRUE(WavLoader::load(d, nullptr, good.data(), good.size()));
}

TEST(WavLoader, ReadsChunksInAnyOrderWithPaddingAndBothListSpellings)
{
    // data before fmt, an odd-sized unknown chunk with its pad byte, lower-case "list".
    const Bytes wav =
        riff({chunk("data", pcm8({0x80, 0xff, 0x00})), chunk("junk", pcm8({7, 7, 7})),
              chunk("fmt ", fmt(1, 1, 22050, 8)), chunk("cue ", cues({{3, 2, 2}})), list({label(3, "third")}, "list")});
    std::vector<char> samples;
    int rate = 0;
    std::vector<CuePoint> cueList;
    ASSERT_TRUE(WavLoader::load(samples, rate, &cueList, wav.data(), wav.size()));
    EXPECT_EQ(rate, 22050);
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[0], 0);
    EXPECT_EQ(samples[1], 127);
    EXPECT_EQ(samples[2], -128);
    ASSERT_EQ(cueList.size(), 1u);
    EXPECT_EQ(cueList[0].position, 2u);
    EXPECT_EQ(cueList[0].label, "third");
}

TEST(WavLoader, CuesSortedByIdWithFirstLabelsKept)
{
    const Bytes wav =
        riff({chunk("fmt ", fmt(1, 1, 8000, 8)), chunk("data", Bytes(100, 0x80)),
              chunk("cue ", cues({{7, 70, 70}, {2, 20, 20}, {5, 0, 50}, {2, 99, 99}})),
              list({label(2, "two"), label(2, "", "note"), label(7, "seven"), label(7, "again", "note")})});
    std::vector<CuePoint> cueList;
    k1lib::Data d;
    const std::string log = logOf([&] { ASSERT_TRUE(WavLoader::load(d, &cueList, wav.data(), wav.size())); });
    EXPECT_NE(log.find("Warning: duplicated cue point 2 found"), std::string::npos) << log;
    EXPECT_NE(log.find("Warning: duplicated cue label again found for cue id 7"), std::string::npos) << log;
    EXPECT_EQ(lineCount(log), 2) << log;
    ASSERT_EQ(cueList.size(), 3u);
    EXPECT_EQ(cueList[0].position, 20u);
    EXPECT_EQ(cueList[0].label, "two");
    EXPECT_EQ(cueList[1].position, 50u); // given only by its data offset
    EXPECT_EQ(cueList[1].label, "");
    EXPECT_EQ(cueList[2].position, 70u);
    EXPECT_EQ(cueList[2].label, "seven");
}

TEST(WavLoader, EightBitLoaderTakesOnlyMonoEightBitPcm)
{
    std::vector<char> samples;
    int rate = 0;
    const Bytes wide = riff({chunk("fmt ", fmt(1, 1, 8000, 16)), chunk("data", Bytes(8, 0))});
    const Bytes stereo = riff({chunk("fmt ", fmt(1, 2, 8000, 8)), chunk("data", Bytes(8, 0))});
    const Bytes floats = riff({chunk("fmt ", fmt(3, 1, 8000, 8)), chunk("data", Bytes(8, 0))});
    logOf(
        [&]
        {
            EXPECT_FALSE(WavLoader::load(samples, rate, nullptr, wide.data(), wide.size()));
            EXPECT_FALSE(WavLoader::load(samples, rate, nullptr, stereo.data(), stereo.size()));
            EXPECT_FALSE(WavLoader::load(samples, rate, nullptr, floats.data(), floats.size()));
        });
}

TEST(WavLoader, FloatLoaderConvertsEachDepthAndMixesToMono)
{
    std::vector<float> out;
    int rate = 0;
    Bytes s16;
    putU16(s16, 32767);
    putU16(s16, static_cast<uint16_t>(-32767));
    putU16(s16, 16384);
    putU16(s16, 0);
    const Bytes stereo = riff({chunk("fmt ", fmt(1, 2, 44100, 16)), chunk("data", s16)});
    ASSERT_TRUE(WavLoader::load(out, rate, nullptr, stereo.data(), stereo.size()));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_NEAR(out[1], 0.25f, 1e-4);

    const Bytes s24 = riff({chunk("fmt ", fmt(1, 1, 8000, 24)), chunk("data", Bytes{0x00, 0x00, 0xc0, 0, 0, 0x40})});
    ASSERT_TRUE(WavLoader::load(out, rate, nullptr, s24.data(), s24.size()));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_FLOAT_EQ(out[0], -0.5f);
    EXPECT_FLOAT_EQ(out[1], 0.5f);

    Bytes d64(8);
    const double v = -0.75;
    std::memcpy(d64.data(), &v, 8);
    const Bytes f64 = riff({chunk("fmt ", fmt(3, 1, 8000, 64)), chunk("data", d64)});
    ASSERT_TRUE(WavLoader::load(out, rate, nullptr, f64.data(), f64.size()));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_FLOAT_EQ(out[0], -0.75f);

    const Bytes u8 = riff({chunk("fmt ", fmt(1, 1, 8000, 8)), chunk("data", Bytes{0, 128, 192, 0})});
    ASSERT_TRUE(WavLoader::load(out, rate, nullptr, u8.data(), u8.size()));
    EXPECT_FLOAT_EQ(out[0], -1.0f);
    EXPECT_FLOAT_EQ(out[1], 0.0f);
    EXPECT_FLOAT_EQ(out[2], 0.5f);

    const Bytes odd = riff({chunk("fmt ", fmt(1, 1, 8000, 12)), chunk("data", Bytes(6, 0))});
    logOf([&] { EXPECT_FALSE(WavLoader::load(out, rate, nullptr, odd.data(), odd.size())); });
}

TEST(WavLoader, RejectsSizesThatDisagreeWithTheData)
{
    const Bytes fmtChunk = chunk("fmt ", fmt(1, 1, 8000, 8));
    const Bytes data = chunk("data", Bytes(16, 0x80));
    struct Case
    {
        const char* what;
        Bytes wav;
    };
    Bytes shortLabel;
    putU32(shortLabel, 0); // a "labl" whose size cannot hold its cue id
    const std::vector<Case> cases = {
        {"chunk past the end", riff({fmtChunk, chunk("data", Bytes(16, 0x80), 1000)})},
        {"cue count past its chunk", riff({fmtChunk, data, chunk("cue ", cues({{0, 1, 1}}, 3))})},
        {"list entry past its list", riff({fmtChunk, data, chunk("cue ", cues({{0, 1, 1}})),
                                           chunk("LIST",
                                                 []
                                                 {
                                                     Bytes p{'a', 'd', 't', 'l', 'l', 'a', 'b', 'l'};
                                                     putU32(p, 200);
                                                     return p;
                                                 }())})},
        {"label without cue id",
         riff({fmtChunk, data, chunk("cue ", cues({{0, 1, 1}})), list({chunk("labl", Bytes{1, 2})})})},
        {"short format", riff({chunk("fmt ", Bytes(10, 1)), data})},
        {"zero channels", riff({chunk("fmt ", fmt(1, 0, 8000, 8)), data})},
        {"zero bits", riff({chunk("fmt ", fmt(1, 1, 8000, 0)), data})},
        {"no data", riff({fmtChunk})},
        {"no format", riff({data})},
    };
    for (const Case& c : cases)
    {
        std::vector<CuePoint> cueList;
        std::vector<float> samples;
        int rate = 0;
        const std::string log = logOf(
            [&] { EXPECT_FALSE(WavLoader::load(samples, rate, &cueList, c.wav.data(), c.wav.size())) << c.what; });
        EXPECT_EQ(lineCount(log), 1) << c.what << ": " << log;
    }
}

TEST(WavLoader, WrittenFilesReadBackWithSamplesRateCuesAndLabels)
{
    const std::string file = (std::filesystem::temp_directory_path() / "waverom_roundtrip.wav").string();
    std::vector<float> samples = {0.0f, 0.5f, -0.25f, 1.0f, -1.0f, 0.125f, 0.75f};
    std::vector<CuePoint> written = {{0, "start"}, {3, "odd"}, {5, ""}, {6, "w225 w245L2"}};
    ASSERT_TRUE(WavLoader::write(file, samples, 49920, &written));

    std::vector<float> back;
    int rate = 0;
    std::vector<CuePoint> read;
    ASSERT_TRUE(WavLoader::load(back, rate, &read, file));
    EXPECT_EQ(rate, 49920);
    EXPECT_EQ(back, samples);
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < read.size(); ++i)
    {
        EXPECT_EQ(read[i].position, written[i].position) << i;
        EXPECT_EQ(read[i].label, written[i].label) << i;
    }
    std::filesystem::remove(file);

    const std::string log = logOf([&] { EXPECT_FALSE(WavLoader::load(back, rate, nullptr, file)); });
    EXPECT_EQ(log.find("Failed to open file " + file) != std::string::npos, true) << log;
}

TEST(WavLoader, ConvertScalesShortsAndUnsignedBytes)
{
    std::vector<float> out;
    const short s[] = {32767, -32767, 0};
    k1lib::convert(out, s, 3);
    EXPECT_EQ(out, (std::vector<float>{1.0f, -1.0f, 0.0f}));
    const unsigned char u[] = {0, 128, 255};
    k1lib::convert(out, u, 3);
    EXPECT_EQ(out, (std::vector<float>{-1.0f, 0.0f, 127.0f / 128.0f}));
}
