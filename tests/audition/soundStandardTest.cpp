// The sound standard (checkSound) names every preset that misses it and each
// factory-wide figure missed; a single copied over another slot of its
// storage, rendered through the engine, is caught as a twin. The levels'
// takes follow a single's volume.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/tables.h"
#include "tools/audition/audition.h"
#include "tools/audition/standard.h"
#include "tools/audition/trims.h"

namespace
{
using audition::SingleFigures;

// Sixteen singles, eight in each of the first two storages, all different,
// at the target loudness, bright and keeping their harmonics across the splits.
std::vector<SingleFigures> factory()
{
    std::vector<SingleFigures> singles;
    for (size_t i = 0; i < 16; ++i)
    {
        SingleFigures f;
        f.index = i < 8 ? i : 64 + i - 8;
        f.name = "Snd " + std::to_string(i);
        f.bright = true;
        f.sustained = true;
        audition::SoundFigures& s = f.sound;
        s.rendered = true;
        s.splitChecked = true;
        s.chordLufs = -20.0 + 0.1 * static_cast<double>(i);
        s.fullChordPeakDb = -3.0;
        s.pumpDb = 2.0;
        s.rolloffHz = 6000.0;
        s.fingerprint.assign(16, -20.0);
        s.fingerprint[i] = -10.0;
        for (int key : {47, 48, 59, 60, 71, 72, 83, 84})
            s.sweep.push_back(audition::SweepKey{key, -20.0, -30.0, -32.0, -90.0});
        s.touchDb = {-34.0, -21.0, -20.0}; // velocities 40, 100, 127
        singles.push_back(f);
    }
    return singles;
}

std::vector<audition::MultiFigures> multis()
{
    std::vector<audition::MultiFigures> m(3);
    for (size_t i = 0; i < m.size(); ++i)
    {
        m[i].index = i;
        m[i].name = "Multi " + std::to_string(i);
        m[i].chordLufs = -20.0 - static_cast<double>(i);
    }
    return m;
}

size_t mentions(const std::vector<std::string>& lines, const std::string& what)
{
    size_t n = 0;
    for (const std::string& l : lines)
        n += l.find(what) != std::string::npos ? 1 : 0;
    return n;
}

std::string all(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& l : lines)
        text += "\n  " + l;
    return text;
}
} // namespace

TEST(AuditionSoundStandard, EveryMissIsALineWithItsFigures)
{
    EXPECT_TRUE(audition::checkSound(factory(), multis()).empty()) << all(audition::checkSound(factory(), multis()));

    auto s = factory();
    auto m = multis();
    s[1].sound.fingerprint = s[0].sound.fingerprint;
    s[2].sound.pumpDb = 8.0;
    s[3].sound.rolloffHz = 3000.0;
    s[4].sound.sweep.back().thirdDb = -55.0;
    s[7].sound.sweep.back().thirdDb = -55.0; // a pure partial falling silent: not the ranges' loss
    s[7].sound.splitChecked = false;
    for (size_t i = 8; i < 13; ++i)
        s[i].sound.sweep[3].thirdDb = -40.0; // 8 dB darker from key 59 to 60: a few may
    s[5].sound.pumpDb = 10.0;
    s[5].tremolo = true;
    s[6].sound.fullChordPeakDb = 1.0;
    m[2].chordLufs = -26.0;
    s[9].sound.touchDb = {-25.0, -20.0, -17.0}; // 8 dB to 127, 5 to 100
    s[10].sound.touchDb = {-22.0, -14.0, -14.0}; // 8 and 8: two of sixteen is over a tenth
    s[11].sound.touchDb.clear();                 // not struck, plucked or a keyboard
    const auto lines = audition::checkSound(s, m);
    EXPECT_EQ(lines.size(), 9u) << all(lines);
    EXPECT_EQ(mentions(lines, "K1INT #0 \"Snd 0\" and K1INT #1 \"Snd 1\": near-twins, fingerprints 0.00 dB apart"), 1u);
    EXPECT_EQ(mentions(lines, "factory: 2 of 16 singles (12.5 %) have a near-twin"), 1u);
    EXPECT_EQ(mentions(lines, "#2 \"Snd 2\": swings 8.0 dB"), 1u);
    EXPECT_EQ(mentions(lines, "#3 \"Snd 3\": meant bright, but 95 % of its C4 lies below 3000 Hz"), 1u);
    EXPECT_EQ(mentions(lines, "#4 \"Snd 4\": loses 23.0 dB of its brightness from key 83 to 84"), 1u);
    EXPECT_EQ(mentions(lines, "factory: 6 of 16 singles lose more than 6.0 dB of their brightness at a split key (at "
                              "most 5); worst K1INT #4 \"Snd 4\" 23.0 dB at key 84, A101 #64 \"Snd 8\" 8.0 dB at key 60"),
              1u);
    EXPECT_EQ(mentions(lines, "Snd 5"), 0u) << "a tremolo may swing";
    EXPECT_EQ(mentions(lines, "factory: 1 of 16 singles (6.2 %) peak above 0.0 dBFS"), 1u);
    EXPECT_EQ(mentions(lines, "factory: 13 of 15 struck, plucked and keyboard singles (86.7 %) rise 12 dB on a held C4 from "
                              "velocity 40 to 127 and 8 dB to 100 (at least 90 %); median rises 14.0 and 13.0 dB; least "
                              "A101 #65 \"Snd 9\" 8.0/5.0 dB, A101 #66 \"Snd 10\" 8.0/8.0 dB"),
              1u);
    EXPECT_EQ(mentions(lines, "K1INT multi #2 \"Multi 2\": -26.0 LUFS on the C3-C5 chord, -6.4 LU from the median single"), 1u);
    // Louder by the 6.4 LU it lacks, its loudest chord would peak over the
    // headroom: it may sit lower; with room to spare it may not.
    m[2].chordPeakDb = -9.0;
    EXPECT_EQ(mentions(audition::checkMultiLoudness(s, m), "Multi 2"), 0u);
    m[2].chordPeakDb = -11.0;
    EXPECT_EQ(mentions(audition::checkMultiLoudness(s, m), "Multi 2"), 1u);
    // A storage's multis a little under its singles, all alike: the median says so.
    for (audition::MultiFigures& multi : m)
        multi.chordLufs = -22.0;
    EXPECT_EQ(mentions(audition::checkMultiLoudness(s, m), "K1INT multis: median -22.0 LUFS on the C3-C5 chord, -2.4 LU"),
              1u);

    // Factory-wide figures count what was rendered.
    s = factory();
    for (SingleFigures& f : s)
        f.sound.chordLufs -= 4.0;
    s[8].sound.rendered = false;
    s[8].sound.fingerprint = s[9].sound.fingerprint;
    const auto quiet = audition::checkSound(s, {});
    ASSERT_EQ(quiet.size(), 1u) << all(quiet);
    EXPECT_EQ(mentions(quiet, "factory: median single -23.3 LUFS on the C3-C5 chord at velocity 100 (-22.0 to -18.0)"), 1u);
}

TEST(AuditionSoundStandard, UnplayedWavesAreListedByNumberAndName)
{
    std::vector<k1lib::SinglePreset> singles = audition::designedSingles();
    for (k1lib::SinglePreset& p : singles)
        for (k1lib::SingleSource& src : p.sources)
            src.wave = src.wave == 0 ? 1 : src.wave; // waves count from 001 by name
    const auto lines = audition::checkWavesUsed(singles);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("001: "), std::string::npos) << lines[0];
    EXPECT_EQ(lines[0].find("002: "), std::string::npos) << lines[0];
}

// A single copied over another slot of its storage: the copy and the
// original are heard as twins, and only they.
TEST(AuditionSoundStandard, ACopiedSingleIsATwin)
{
    audition::Auditioner a;
    const size_t first = 64, copy = 67; // A101
    testing::internal::CaptureStdout(); // the engine logs every preset change
    std::vector<SingleFigures> figures;
    for (size_t i = first; i < first + 3; ++i)
        figures.push_back(a.single(i, audition::Depth::Standard));
    ASSERT_TRUE(a.engine().setSingle(copy, *a.engine().getSinglePreset(first)));
    figures.push_back(a.single(copy, audition::Depth::Standard));
    testing::internal::GetCapturedStdout();

    const auto lines = audition::checkSound(figures, {});
    EXPECT_EQ(mentions(lines, "near-twins"), 1u) << all(lines);
    EXPECT_EQ(mentions(lines, "A101 #64 \"" + figures[0].name + "\" and A101 #67 \"" + figures[3].name + "\": near-twins"),
              1u)
        << all(lines);
}

// Grand Pno through the engine answers the touch; the same single with its
// sources back on a curve that is nearly full by velocity 40 is named, with
// its rises, and the loud end is the same for both.
TEST(AuditionSoundStandard, APianoThatIgnoresTheTouchIsNamed)
{
    audition::Auditioner a;
    const size_t piano = 0; // K1INT "Grand Pno"
    testing::internal::CaptureStdout();
    const SingleFigures voiced = a.single(piano, audition::Depth::Standard);
    k1lib::SinglePreset flat = *a.engine().getSinglePreset(piano);
    for (k1lib::SingleSource& src : flat.sources)
    {
        src.velCurve = 1;
        src.levelModVel = 64;
    }
    ASSERT_TRUE(a.engine().setSingle(piano, flat));
    const SingleFigures touchless = a.single(piano, audition::Depth::Standard);
    testing::internal::GetCapturedStdout();

    double loud = 0.0, middle = 0.0;
    ASSERT_TRUE(audition::touchRises(voiced.sound, loud, middle));
    EXPECT_GE(loud, 12.0);
    EXPECT_GE(middle, 8.0);
    EXPECT_EQ(mentions(audition::checkSoundFactory({voiced}), "struck, plucked and keyboard"), 0u);
    const auto lines = audition::checkSoundFactory({touchless});
    EXPECT_EQ(mentions(lines, "factory: 0 of 1 struck, plucked and keyboard singles (0.0 %) rise 12 dB"), 1u) << all(lines);
    EXPECT_EQ(mentions(lines, "least K1INT #0 \"Grand Pno\""), 1u) << all(lines);
    EXPECT_NEAR(touchless.sound.touchDb[2], voiced.sound.touchDb[2], 0.5);
}

// The levels' takes follow the single's volume as the trims assume: a volume
// step down lowers its note loudness and its chord peak by the step's dB.
TEST(AuditionLevels, TakesFollowTheVolume)
{
    audition::Auditioner a;
    testing::internal::CaptureStdout();
    const size_t index = 64; // A101
    const audition::LevelTakes before = audition::singleLevelTakes(a, index);
    k1lib::SinglePreset quieter = *a.engine().getSinglePreset(index);
    const float from = k1lib::volume(quieter.volume);
    while (quieter.volume > 0 && k1lib::volume(quieter.volume) > 0.7f * from)
        --quieter.volume;
    const double stepDb = 20.0 * std::log10(k1lib::volume(quieter.volume) / from);
    ASSERT_TRUE(a.engine().setSingle(index, quieter));
    const audition::LevelTakes after = audition::singleLevelTakes(a, index);
    testing::internal::GetCapturedStdout();

    ASSERT_LT(stepDb, -3.0);
    EXPECT_GT(before.loudness, -40.0);
    EXPECT_NEAR(after.loudness - before.loudness, stepDb, 0.3);
    EXPECT_NEAR(after.chordPeakDb - before.chordPeakDb, stepDb, 1.0); // the random wave starts move the peak
    EXPECT_NEAR(after.chordLufs - before.chordLufs, stepDb, 0.3);
}
