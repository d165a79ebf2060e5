#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "patch/log.h"
#include "patch/presets.h"
#include "patch/waveformNames.h"

namespace
{
int reportingFunction()
{
    K1_LOG("Invalid channel number " << 17 << ", expected 0-15");
    return __LINE__ - 1;
}
} // namespace

TEST(LogSink, LineCarriesFunctionNameLineNumberAndMessage)
{
    testing::internal::CaptureStdout();
    const int line = reportingFunction();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "reportingFunction@" + std::to_string(line) + ": Invalid channel number 17, expected 0-15\n");
}

TEST(WaveformNames, NumberedInWaveOrder)
{
    EXPECT_STREQ(k1lib::g_waveformNames[0], "001: Sin 1st");
    EXPECT_STREQ(k1lib::g_waveformNames[12], "013: Sin 16th");
    EXPECT_STREQ(k1lib::g_waveformNames[31], "032: Saw 19");
    EXPECT_STREQ(k1lib::g_waveformNames[39], "040: Random");
    EXPECT_STREQ(k1lib::g_waveformNames[203], "204: Synth 1");
    EXPECT_STREQ(k1lib::g_waveformNames[204], "205: Bass Drum");
    EXPECT_STREQ(k1lib::g_waveformNames[234], "235: String Loop");
    EXPECT_STREQ(k1lib::g_waveformNames[249], "250: Omnibus Loop 8");
    EXPECT_STREQ(k1lib::g_waveformNames[255], "256: Piano Noise Alt");
    for (int i = 0; i < k1lib::kWaveformCount; ++i)
    {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%03d: ", i + 1);
        EXPECT_EQ(std::strncmp(k1lib::g_waveformNames[i], prefix, 5), 0) << i;
    }
}

TEST(PresetRecords, EqualityStopsAtAnyDifferentField)
{
    k1lib::SinglePreset a, b;
    EXPECT_TRUE(a == b);
    b.sources[3].envRelease = 1;
    EXPECT_FALSE(a == b);

    k1lib::MultiPreset m, n;
    EXPECT_TRUE(m == n);
    n.sections[7].level = 1;
    EXPECT_FALSE(m == n);
}
