// The standard's checks catch each kind of fault on made-up figures, and a
// storage of sound figures passes. The designer's copy of the loudness
// curves matches the engine's.

#include <gtest/gtest.h>

#include "engine/tables.h"
#include "tools/audition/standard.h"
#include "tools/patchdesigner/levelCurves.h"

namespace
{
using audition::SingleFigures;

audition::TakeFigures take(double loudness, double centroid)
{
    audition::TakeFigures t;
    t.sounded = true;
    t.loudnessDb = loudness;
    t.peakDb = loudness + 12.0;
    t.firstSound = 0.002;
    t.releaseToSilence = 0.5;
    t.centroidHz = centroid;
    t.decayDb = -2.0;
    return t;
}

SingleFigures single(const std::string& name, double loudness, double centroid)
{
    SingleFigures f;
    f.name = name;
    f.loud.c4 = take(loudness, centroid);
    f.loud.chord = take(loudness + 6.0, centroid);
    f.loud.c4Rendered = f.loud.chordRendered = true;
    f.velocitySensitive = true;
    f.soft.c4 = take(loudness - 4.0, centroid * 0.9);
    f.soft.c4Rendered = true;
    return f;
}

std::vector<SingleFigures> storage()
{
    std::vector<SingleFigures> s;
    for (int i = 0; i < 5; ++i)
        s.push_back(single("Pad " + std::to_string(i), -26.0 + i * 0.5, 500.0));
    s.push_back(single("Deep Bass", -25.0, 200.0));
    s.back().bass = true;
    s.push_back(single("Saw Lead", -25.0, 900.0));
    s.back().leadOrBell = true;
    return s;
}

bool mentions(const std::vector<std::string>& lines, const std::string& what)
{
    for (const std::string& l : lines)
        if (l.find(what) != std::string::npos)
            return true;
    return false;
}
} // namespace

TEST(AuditionStandard, EachFaultOfASingleIsCaught)
{
    EXPECT_TRUE(audition::checkSingles(storage()).empty());

    auto s = storage();
    s[0].loud.c4.firstSound = 0.08;
    s[1].loud.c4.releaseToSilence = -1.0;
    s[2].loud.chord.clipped = true;
    s[3].loud.c4.loudnessDb = -35.0;
    s[4].soft.c4 = s[4].loud.c4;
    s[5].loud.c4.centroidHz = 950.0;
    s[6].percussive = true;
    // A vibrato of a semitone is a fault unless the recipe wants it.
    s[2].vibratoCents = 100.0;
    s[3].vibratoCents = 1200.0;
    s[3].wideVibrato = true;
    const auto lines = audition::checkSingles(s);
    EXPECT_EQ(lines.size(), 8u);
    EXPECT_TRUE(mentions(lines, "\"Pad 2\": vibrato swings 100 cents either way (at most 50)"));
    EXPECT_TRUE(mentions(lines, "\"Pad 0\": v110 C4 first sound after 0.080 s"));
    EXPECT_TRUE(mentions(lines, "\"Pad 1\": C4 not silent"));
    EXPECT_TRUE(mentions(lines, "\"Pad 2\": chord at velocity 110 clips"));
    EXPECT_TRUE(mentions(lines, "\"Pad 3\": C4 loudness -35.0 dB"));
    EXPECT_TRUE(mentions(lines, "\"Pad 4\": velocity 40"));
    EXPECT_TRUE(mentions(lines, "\"Deep Bass\": bass centroid"));
    EXPECT_TRUE(mentions(lines, "\"Saw Lead\": struck or plucked"));
}

// What a player with a real keyboard meets: pressure bending a note out of
// tune, a held note dying under the key, an offset that only moves the
// speaker; an effect may swing wide.
TEST(AuditionStandard, PressureHeldNotesAndOffsetsOfASingleAreCaught)
{
    auto s = storage();
    for (SingleFigures& f : s)
    {
        f.sound.rendered = true;
        f.sustains = true;
        f.heldDb = -40.0;
        f.dcDb = -90.0;
        f.pressureCents = 48.0;
    }
    EXPECT_TRUE(audition::checkSingles(s).empty()) << s.size();
    s[0].pressureCents = 192.0;
    s[1].pressureCents = 392.0;
    s[1].effect = true;
    s[2].heldDb = audition::kSilentDb;
    s[3].heldDb = audition::kSilentDb;
    s[3].sustains = false; // a struck sound may die away
    s[4].dcDb = -31.7;
    const auto lines = audition::checkSingles(s);
    EXPECT_EQ(lines.size(), 3u);
    EXPECT_TRUE(mentions(lines, "\"Pad 0\": channel pressure swings the pitch 192 cents either way (at most 50)"));
    EXPECT_TRUE(mentions(lines, "\"Pad 2\": sustains, but a held C4 is silent 2.4 s in (-200.0 dBFS, at least -80.0)"));
    EXPECT_TRUE(mentions(lines, "\"Pad 4\": offset (DC) of -31.7 dBFS on a held C2 or C4 (at most -45.0)"));
}

TEST(AuditionStandard, SwellsMayTakeTheirTimeAndInsensitivePresetsNeedNoVelocity)
{
    // A single held down by its ten-note chord's headroom may sit lower.
    auto quiet = storage();
    quiet[3].loud.c4.loudnessDb = -40.0;
    quiet[3].sound.rendered = true;
    quiet[3].sound.fullChordPeakDb = -1.5;
    EXPECT_TRUE(audition::checkSingles(quiet).empty());

    auto s = storage();
    s[0].loud.c4.firstSound = 1.2;
    s[0].swell = true;
    s[1].soft.c4 = s[1].loud.c4;
    s[1].velocitySensitive = false;
    s[2].loud.c4.nonFinite = true;
    s[3].loud.c4.firstSound = 1.6;
    s[3].swell = true;
    const auto lines = audition::checkSingles(s);
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_TRUE(mentions(lines, "\"Pad 2\": v110 C4 produced NaN"));
    EXPECT_TRUE(mentions(lines, "\"Pad 3\": v110 C4 first sound after 1.600 s (allowed 1.500 s)"));
}

TEST(AuditionStandard, MultiSectionsThatNeverSoundTailsThatNeverEndOrChordsThatClip)
{
    audition::MultiFigures m;
    m.name = "Combo";
    m.mix = take(-30.0, 500.0);
    for (int s = 0; s < 3; ++s)
    {
        audition::SectionFigures sf;
        sf.section = s;
        sf.sounded = true;
        sf.firstSound = 0.001;
        m.sections.push_back(sf);
    }
    EXPECT_TRUE(audition::checkMultis({m}).empty());
    m.chordPeakDb = -1.0;
    EXPECT_TRUE(audition::checkMultis({m}).empty());
    m.sections[2].sounded = false;
    m.mix.releaseToSilence = 11.0;
    m.chordPeakDb = 6.9; // a bounce to 16 or 24 bits clips
    const auto lines = audition::checkMultis({m});
    EXPECT_EQ(lines.size(), 3u);
    EXPECT_TRUE(mentions(lines, "section 3 never sounds"));
    EXPECT_TRUE(mentions(lines, "not silent within 10 s"));
    EXPECT_TRUE(mentions(lines, "\"Combo\": chord C4 E4 G4 C5 at velocity 127 peaks at +6.9 dBFS (at most -1.0)"));
}

TEST(AuditionStandard, DesignerCurvesAreTheEngines)
{
    for (uint8_t v = 0; v < 100; ++v)
        EXPECT_EQ(designer::g_volumeGain[v], k1lib::volume(v)) << int(v);
    for (uint8_t v = 0; v <= 100; ++v)
        EXPECT_EQ(designer::g_levelGain[v], k1lib::envLevel(v)) << int(v);
}
