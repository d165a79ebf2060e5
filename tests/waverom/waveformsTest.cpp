#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "data/k1data.h"
#include "engine/waveforms.h"

using k1lib::Waveforms;

namespace
{
// One set for the whole suite: it is built from the compiled-in ROM once.
class ShippedRom : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        testing::internal::CaptureStdout();
        s_set = std::make_unique<Waveforms>();
        s_log = testing::internal::GetCapturedStdout();
    }
    static void TearDownTestSuite() { s_set.reset(); }

    static const char* romAt(size_t position) { return s_set->rom.data() + position; }

    static std::unique_ptr<Waveforms> s_set;
    static std::string s_log;
};
std::unique_ptr<Waveforms> ShippedRom::s_set;
std::string ShippedRom::s_log;
} // namespace

TEST_F(ShippedRom, LoadsEveryWaveWithoutComplaint)
{
    EXPECT_EQ(s_log, "");
    EXPECT_EQ(s_set->rom.size(), 524288u);
    for (int w = 0; w < k1lib::kWaveformCount; ++w)
    {
        EXPECT_EQ(s_set->waves[w].sampleRate, 50000.0f) << w;
        for (const auto& key : s_set->waves[w].keys)
        {
            ASSERT_NE(key.data, nullptr) << w;
            ASSERT_NE(key.length, 0u) << w;
            ASSERT_EQ(key.length & (key.length - 1), 0u) << w;
        }
    }
}

TEST_F(ShippedRom, SingleCycleWavesPlayOneMirroredCyclePerKeyRange)
{
    const auto& sine = s_set->waves[0];
    EXPECT_TRUE(sine.loop);
    const char* table = reinterpret_cast<const char*>(s_set->cycleTables[0]);
    EXPECT_EQ(sine.keys[0].data, table);
    EXPECT_EQ(sine.keys[47].data, table);
    EXPECT_EQ(sine.keys[48].data, table + 256);
    EXPECT_EQ(sine.keys[59].data, table + 256);
    EXPECT_EQ(sine.keys[60].data, table + 512);
    EXPECT_EQ(sine.keys[72].data, table + 768);
    EXPECT_EQ(sine.keys[84].data, table + 1024);
    EXPECT_EQ(sine.keys[127].data, table + 1024);
    for (const auto& key : sine.keys)
    {
        EXPECT_EQ(key.length, 256u);
        EXPECT_FLOAT_EQ(key.baseFrequency, 195.3125f);
    }
    for (int w = 0; w < k1lib::kSingleCycleWaveformCount; ++w)
    {
        const unsigned char* t = s_set->cycleTables[w];
        for (int c = 0; c < 5; ++c)
            for (int n = 0; n < 128; ++n)
                ASSERT_EQ(t[256 * c + 255 - n], static_cast<unsigned char>(~t[256 * c + n])) << w << " " << c;
    }
    // The cycles come from the ROM's 640-sample regions in order, from sample 393216 on.
    EXPECT_EQ(std::memcmp(s_set->cycleTables[1] + 256, romAt(393216 + 640 + 128), 128), 0);
}

TEST_F(ShippedRom, MultiSegmentAlternatingAndReversedWaves)
{
    const auto& omnibus3 = s_set->waves[244];
    EXPECT_EQ(omnibus3.keys[60].data, romAt(0));
    EXPECT_EQ(omnibus3.keys[60].length, 65536u);
    EXPECT_TRUE(omnibus3.loop);
    EXPECT_TRUE(omnibus3.multiSegmentLoop);
    EXPECT_FLOAT_EQ(omnibus3.keys[0].baseFrequency, 415.28961f);

    const auto& crashAlt = s_set->waves[254];
    ASSERT_EQ(crashAlt.keys[60].length, 65536u);
    EXPECT_TRUE(crashAlt.loop);
    EXPECT_TRUE(crashAlt.alternate);
    const char* alt = crashAlt.keys[60].data;
    for (size_t i = 0; i < 32768; ++i)
    {
        ASSERT_EQ(alt[i], *romAt(98304 + i)) << i;
        ASSERT_EQ(alt[65535 - i], *romAt(98304 + i)) << i;
    }

    // The player reads forwards only: a reversed wave carries its own reversed copy.
    const auto& tomRev = s_set->waves[251];
    EXPECT_TRUE(tomRev.reverse);
    EXPECT_FALSE(tomRev.loop);
    ASSERT_EQ(tomRev.keys[60].length, 8192u);
    for (size_t i = 0; i < 8192; ++i)
        ASSERT_EQ(tomRev.keys[60].data[i], *romAt(163840 + 8191 - i)) << i;
    EXPECT_EQ(s_set->waves[209].keys[60].data, romAt(163840)); // the tom itself plays forwards

    const auto& stringLoop = s_set->waves[234];
    EXPECT_TRUE(stringLoop.loop); // by its name: its token has no suffix
    EXPECT_FALSE(stringLoop.multiSegmentLoop);
    EXPECT_FALSE(s_set->waves[222].loop); // "223: String Sus" shares the region and plays once
}

TEST_F(ShippedRom, RandomStartOnlyForSingleRegionLoops)
{
    for (int w = 0; w < k1lib::kWaveformCount; ++w)
        EXPECT_EQ(s_set->canRandomStart(static_cast<unsigned char>(w)), w >= 234 && w <= 241) << w;
}

TEST_F(ShippedRom, NamesComeFromTheSharedTable)
{
    EXPECT_STREQ(Waveforms::getName(0), "001: Sin 1st");
    EXPECT_STREQ(Waveforms::getName(39), "040: Random");
    EXPECT_STREQ(Waveforms::getName(255), "256: Piano Noise Alt");
    EXPECT_EQ(Waveforms::getName(100), k1lib::g_waveformNames[100]);
}
