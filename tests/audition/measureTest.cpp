// The measurements the standard rests on, on signals whose figures are known,
// and the name lookups on names that are easy to misread.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tools/audition/measure.h"
#include "tools/audition/names.h"

namespace
{
using audition::Stereo;

constexpr double kRate = 48000.0;

// A sine of `amplitude` at `hz` from sample `start` to `stop`, zeros elsewhere.
Stereo tone(size_t length, double hz, float amplitude, size_t start, size_t stop)
{
    Stereo x;
    x.left.assign(length, 0.0f);
    for (size_t i = start; i < stop && i < length; ++i)
        x.left[i] = amplitude * static_cast<float>(std::sin(2.0 * M_PI * hz * static_cast<double>(i - start) / kRate));
    x.right = x.left;
    return x;
}
} // namespace

TEST(AuditionMeasure, LevelsTimesAndCentroidOfASine)
{
    // 0.1 s of silence, 1 s of a 1 kHz sine at half scale, released there,
    // silent for good 0.2 s later.
    const size_t on = 4800, off = 52800;
    Stereo x = tone(72000, 1000.0, 0.5f, on, off + 9600);
    const audition::TakeFigures f = audition::measureTake(x, kRate, off, true);
    EXPECT_TRUE(f.sounded);
    EXPECT_NEAR(f.peakDb, -6.02, 0.05);
    EXPECT_NEAR(f.loudnessDb, -9.03, 0.1); // RMS of a sine: peak - 3 dB
    EXPECT_NEAR(f.firstSound, 0.1, 0.001);
    EXPECT_NEAR(f.releaseToSilence, 0.2, 0.001);
    EXPECT_NEAR(f.centroidHz, 1000.0, 30.0);
    EXPECT_NEAR(f.decayDb, 0.0, 0.1);
    EXPECT_FALSE(f.clipped);
    EXPECT_FALSE(f.nonFinite);

    // Not silent when the render stopped at its cap.
    EXPECT_LT(audition::measureTake(x, kRate, off, false).releaseToSilence, 0.0);
}

TEST(AuditionMeasure, DecayClippingAndFaults)
{
    Stereo x = tone(96000, 440.0, 1.5f, 0, 96000);
    for (size_t i = 0; i < x.size(); ++i)
    {
        x.left[i] *= static_cast<float>(std::exp(-3.0 * static_cast<double>(i) / kRate));
        x.right[i] = x.left[i];
    }
    audition::TakeFigures f = audition::measureTake(x, kRate, x.size(), false);
    EXPECT_TRUE(f.clipped);
    EXPECT_LT(f.decayDb, -10.0);

    x.right[1000] = std::numeric_limits<float>::quiet_NaN();
    x.left[2000] = std::numeric_limits<float>::infinity();
    f = audition::measureTake(x, kRate, x.size(), false);
    EXPECT_TRUE(f.nonFinite);
    EXPECT_TRUE(std::isfinite(f.peakDb));
    EXPECT_TRUE(std::isfinite(f.loudnessDb));

    const Stereo zeros{std::vector<float>(9600), std::vector<float>(9600)};
    const audition::TakeFigures silence = audition::measureTake(zeros, kRate, 4800, true);
    EXPECT_FALSE(silence.sounded);
    EXPECT_EQ(silence.peakDb, audition::kSilentDb);
}

TEST(AuditionMeasure, BrighterSoundsHaveHigherCentroids)
{
    const Stereo low = tone(48000, 110.0, 0.5f, 0, 48000);
    Stereo mixed = low;
    const Stereo high = tone(48000, 3520.0, 0.5f, 0, 48000);
    for (size_t i = 0; i < mixed.size(); ++i)
    {
        mixed.left[i] += high.left[i];
        mixed.right[i] += high.right[i];
    }
    const double dark = audition::spectralCentroid(low, kRate, 0, low.size());
    const double bright = audition::spectralCentroid(mixed, kRate, 0, mixed.size());
    EXPECT_NEAR(dark, 110.0, 25.0);
    EXPECT_NEAR(bright, (110.0 + 3520.0) / 2.0, 100.0);
}

TEST(AuditionNames, FamiliesByWord)
{
    EXPECT_TRUE(audition::namedAsBass("Slap Bs 2"));
    EXPECT_TRUE(audition::namedAsBass("Bass+Pno"));
    EXPECT_TRUE(audition::namedAsBass("Fretless 3"));
    EXPECT_FALSE(audition::namedAsBass("Bassoon 5"));
    EXPECT_FALSE(audition::namedAsBass("Bando 2"));
    EXPECT_TRUE(audition::namedAsLead("5th Lead"));
    EXPECT_TRUE(audition::namedAsLead("Solo Ld 3"));
    EXPECT_FALSE(audition::namedAsLead("Leader"));
    EXPECT_TRUE(audition::namedAsBell("TubeBell 2"));
    EXPECT_TRUE(audition::namedAsBell("Bells"));
    EXPECT_TRUE(audition::namedAsBell("Vox+Bell"));
    EXPECT_TRUE(audition::namedAsBell("Chimes"));
    EXPECT_FALSE(audition::namedAsBell("Bellow"));
    EXPECT_TRUE(audition::namedAsSwell("Warm Pad"));
    EXPECT_TRUE(audition::namedAsSwell("RevGtrFx 2"));
    EXPECT_FALSE(audition::namedAsSwell("Paddle"));
}
