// Automation values <-> preset fields <-> K1 parameter changes.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "patch/parameter.h"
#include "patch/parameterConverter.h"

using namespace k1lib;
using Change = Sysex::SysexResult::ParameterChange;

namespace
{
// A single whose every field holds a different in-range value, so that a
// write into the wrong field shows.
SinglePreset makeSingle()
{
    SinglePreset s;
    std::strcpy(s.name, "ABCDEFGHIJ");
    s.volume = 80;
    s.polyMode = 1;
    s.source2or4 = 1;
    s.ampModS1S2 = 2;
    s.ampModS3S4 = 1;
    s.pressureToFreq = 51;
    s.vibratoDepth = 52;
    s.pressureToVibrato = 53;
    s.pitchBendDepth = 7;
    s.lfoSpeed = 44;
    s.lfoShape = 3;
    s.keyScaleCurve = 4;
    s.vibWheelMode = 1;
    s.autoBendDepth = 54;
    s.autoBendTime = 45;
    s.velToDepth = 55;
    s.autoBendKeyScaleToTime = 56;
    for (uint32_t i = 0; i < 4; ++i)
    {
        SingleSource& src = s.sources[i];
        s.mute[i] = i == 2;
        src.fine = 10 + i;
        src.coarse = 20 + i;
        src.wave = static_cast<uint8_t>(30 + i);
        src.keyTrack = i % 2 == 0;
        src.vibABend = i % 2 == 1;
        src.pressureToFreq = i == 3;
        src.velCurve = i + 1;
        src.envLevel = 40 + i;
        src.envDelay = 50 + i;
        src.envAttack = 60 + i;
        src.envDecay = 70 + i;
        src.envSustain = 80 + i;
        src.envRelease = 90 + i;
        src.levelModVel = 11 + i;
        src.levelModPressure = 21 + i;
        src.levelModKeyScale = 31 + i;
        src.timeModVel = 41 + i;
        src.timeModKeyScale = 61 + i;
        src.freqKeyScaleToFreq = 71 + i;
    }
    return s;
}

MultiPreset makeMulti()
{
    MultiPreset m;
    std::strcpy(m.name, "Multi Name");
    m.volume = 70;
    for (int i = 0; i < 8; ++i)
        m.sections[i] = {i, 10 + i, 100 + i, i, i % 3, (i + 1) % 3, 15 - i, (i + 2) % 3, i - 4, 3 * i - 10, 50 + i};
    return m;
}

int readSingle(const SinglePreset& s, uint32_t p)
{
    int value = -12345;
    EXPECT_TRUE(ParameterConverter::getValue(value, static_cast<EParam>(p), s)) << p;
    return value;
}

int readMulti(const MultiPreset& m, uint32_t p)
{
    int value = -12345;
    EXPECT_TRUE(ParameterConverter::getValue(value, static_cast<EParam>(p), m)) << p;
    return value;
}

// Follows the engine's way of sending an edit: number, edited copy, wire value.
bool makeChange(Change& change, const SinglePreset& preset, EParam p, int value, SinglePreset& edited)
{
    unsigned char source = 0;
    const ParameterCursor number = ParameterConverter::toCursor(source, p);
    if (number == Cursor_None)
        return false;
    edited = preset;
    EXPECT_TRUE(ParameterConverter::toSingle(edited, p, value));
    unsigned char wire = 0;
    EXPECT_TRUE(ParameterConverter::fromSingle(wire, edited, number, source));
    change = {number, source, wire};
    return true;
}
} // namespace

// Every value of every preset parameter survives a write and a read, and
// reaches no other parameter.
TEST(ParameterConverter, EveryValueRoundTripsThroughItsOwnField)
{
    const SinglePreset single = makeSingle();
    for (uint32_t p = Param_Volume; p <= Param_SourceS4FreqKeyScaleToFreq; ++p)
    {
        const CParam& param = g_params[p];
        for (int v = static_cast<int>(param.min); v <= static_cast<int>(param.max); ++v)
        {
            SinglePreset s = single;
            ASSERT_TRUE(ParameterConverter::toSingle(s, static_cast<EParam>(p), v));
            ASSERT_EQ(readSingle(s, p), v) << p;
            for (uint32_t q = 0; q <= Param_SourceS4FreqKeyScaleToFreq; ++q)
            {
                if (q == p)
                    continue;
                ASSERT_EQ(readSingle(s, q), readSingle(single, q)) << p << " wrote into " << q;
            }
        }
    }
    const MultiPreset multi = makeMulti();
    for (uint32_t p = Param_MultiVolume; p <= Param_MultiS8Level; ++p)
    {
        const CParam& param = g_params[p];
        for (int v = static_cast<int>(param.min); v <= static_cast<int>(param.max); ++v)
        {
            MultiPreset m = multi;
            ASSERT_TRUE(ParameterConverter::toMulti(m, static_cast<EParam>(p), v));
            ASSERT_EQ(readMulti(m, p), v) << p;
            for (uint32_t q = Param_MultiName01; q <= Param_MultiS8Level; ++q)
            {
                if (q == p)
                    continue;
                ASSERT_EQ(readMulti(m, q), readMulti(multi, q)) << p << " wrote into " << q;
            }
        }
    }
}

TEST(ParameterConverter, StoredFormsOfSingleParameters)
{
    SinglePreset s = makeSingle();
    EXPECT_TRUE(ParameterConverter::toSingle(s, Param_Volume, 100));
    EXPECT_EQ(s.volume, 99);
    EXPECT_EQ(readSingle(s, Param_Volume), 100);
    EXPECT_TRUE(ParameterConverter::toSingle(s, Param_SourceS1Fine, -50));
    EXPECT_EQ(s.sources[0].fine, 0u);
    EXPECT_TRUE(ParameterConverter::toSingle(s, Param_SourceS4Fine, 50));
    EXPECT_EQ(s.sources[3].fine, 100u);
    EXPECT_TRUE(ParameterConverter::toSingle(s, Param_SourceS2KeyTrack, 7));
    EXPECT_TRUE(s.sources[1].keyTrack);
    EXPECT_TRUE(ParameterConverter::toSingle(s, Param_SourceS3Mute, 0));
    EXPECT_FALSE(s.mute[2]);

    // Name characters are read, never written by automation.
    const SinglePreset before = s;
    EXPECT_TRUE(ParameterConverter::toSingle(s, Param_Name06, 65));
    EXPECT_EQ(s, before);
    EXPECT_EQ(readSingle(s, Param_Name01), 'A');
    MultiPreset m = makeMulti();
    const MultiPreset multiBefore = m;
    EXPECT_TRUE(ParameterConverter::toMulti(m, Param_MultiName04, 65));
    EXPECT_EQ(m, multiBefore);
}

TEST(ParameterConverter, AutomationOutsideARangeIsClamped)
{
    SinglePreset s = makeSingle();
    EXPECT_TRUE(ParameterConverter::toSingle(s, Param_Volume, 0));
    EXPECT_EQ(s.volume, 0);
    EXPECT_TRUE(ParameterConverter::toSingle(s, Param_Volume, -1000));
    EXPECT_EQ(s.volume, 0);
    EXPECT_TRUE(ParameterConverter::toSingle(s, Param_SourceS1Fine, 1000));
    EXPECT_EQ(s.sources[0].fine, 100u);
    EXPECT_TRUE(ParameterConverter::toSingle(s, Param_SourceS2Wave, 300));
    EXPECT_EQ(s.sources[1].wave, 255);
    EXPECT_TRUE(ParameterConverter::toSingle(s, Param_LfoShape, 9));
    EXPECT_EQ(s.lfoShape, 3u);

    MultiPreset m = makeMulti();
    EXPECT_TRUE(ParameterConverter::toMulti(m, Param_MultiVolume, 0));
    EXPECT_EQ(m.volume, 0u);
    EXPECT_TRUE(ParameterConverter::toMulti(m, Param_MultiS2Transpose, -100));
    EXPECT_EQ(m.sections[1].transpose, -24);
    EXPECT_TRUE(ParameterConverter::toMulti(m, Param_MultiS8Single, 64));
    EXPECT_EQ(m.sections[7].single, 63);
}

TEST(ParameterConverter, NameCharactersAlwaysReadAsShowableCharacters)
{
    SinglePreset s;
    std::strcpy(s.name, "Pad");
    EXPECT_EQ(readSingle(s, Param_Name03), 'd');
    EXPECT_EQ(readSingle(s, Param_Name04), ' ');
    EXPECT_EQ(readSingle(s, Param_Name10), ' ');
    s.name[1] = static_cast<char>(200);
    EXPECT_EQ(readSingle(s, Param_Name02), ' ');
    s.name[1] = 7;
    EXPECT_EQ(readSingle(s, Param_Name02), ' ');

    MultiPreset m;
    EXPECT_EQ(readMulti(m, Param_MultiName01), ' ');
}

TEST(ParameterConverter, ParametersOutsideAPresetAreRefused)
{
    SinglePreset s = makeSingle();
    const SinglePreset before = s;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ParameterConverter::toSingle(s, Param_SourceMix12, 0));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.substr(0, std::strlen("toSingle@")), "toSingle@");
    EXPECT_NE(out.find(": ERROR: Unknown parameter 107 with value 0\n"), std::string::npos) << out;
    EXPECT_EQ(s, before);

    int value = -7;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ParameterConverter::getValue(value, Param_MultiVolume, s));
    out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.substr(0, std::strlen("getValue@")), "getValue@");
    EXPECT_NE(out.find(": ERROR: Unknown parameter 119\n"), std::string::npos) << out;
    EXPECT_EQ(value, -7);

    MultiPreset m = makeMulti();
    const MultiPreset multiBefore = m;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ParameterConverter::toMulti(m, Param_Mode, 1));
    EXPECT_FALSE(ParameterConverter::toMulti(m, Param_Volume, 1));
    EXPECT_FALSE(ParameterConverter::getValue(value, Param_SourceMix34, m));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(m, multiBefore);
    EXPECT_EQ(value, -7);
}

TEST(ParameterConverter, CursorsOfParameters)
{
    unsigned char source = 9;
    EXPECT_EQ(ParameterConverter::toCursor(source, Param_SourceS2PressureToFreq), 33);
    EXPECT_EQ(source, 1);
    EXPECT_EQ(ParameterConverter::toCursor(source, Param_SourceS1Mute), Cursor_None);
    EXPECT_EQ(source, 0);
    source = 9;
    EXPECT_EQ(ParameterConverter::toCursor(source, Param_Volume), 3);
    EXPECT_EQ(source, 9);
    EXPECT_EQ(ParameterConverter::toCursor(source, Param_MultiS1Single), Cursor_None);
    EXPECT_EQ(ParameterConverter::toCursor(source, Param_Count), Cursor_None);
    EXPECT_EQ(source, 9);
}

// Every value of every parameter with a K1 number, sent as the engine sends
// it and received by a second instrument, ends up in the same field only.
TEST(ParameterConverter, SentChangesSetTheSameFieldWhenReceived)
{
    const SinglePreset original = makeSingle();
    for (uint32_t p = Param_Name01; p <= Param_SourceS4FreqKeyScaleToFreq; ++p)
    {
        const CParam& param = g_params[p];
        for (int v = static_cast<int>(param.min); v <= static_cast<int>(param.max); ++v)
        {
            Change change;
            SinglePreset edited;
            if (!makeChange(change, original, static_cast<EParam>(p), v, edited))
                break;
            SinglePreset received = original;
            ASSERT_TRUE(ParameterConverter::toSingle(received, change)) << p << " " << v;
            ASSERT_EQ(received, edited) << p << " " << v;
        }
    }
}

TEST(ParameterConverter, ReceivedChanges)
{
    SinglePreset s = makeSingle();
    SinglePreset before = s;
    auto receive = [&](uint8_t number, uint8_t source, uint8_t value) {
        return ParameterConverter::toSingle(s, Change{number, source, value});
    };
    EXPECT_FALSE(receive(17, 0, 4));
    EXPECT_TRUE(receive(17, 0, 3));
    EXPECT_EQ(s.lfoShape, 3u);
    EXPECT_TRUE(receive(29, 2, 60));
    EXPECT_EQ(s.sources[2].coarse, 60u);
    EXPECT_TRUE(receive(28, 2, 61));
    EXPECT_EQ(s.sources[2].coarse, 61u);
    EXPECT_TRUE(receive(14, 3, 2));
    EXPECT_EQ(s.source2or4, 1u);
    EXPECT_TRUE(receive(31, 1, 200));
    EXPECT_TRUE(s.sources[1].keyTrack);
    EXPECT_TRUE(receive(15, 3, 50)); // common numbers ignore the source
    EXPECT_EQ(s.vibratoDepth, 50);

    before = s;
    EXPECT_FALSE(receive(30, 4, 50));
    EXPECT_FALSE(receive(47, 1, 8));
    EXPECT_FALSE(receive(38, 0, 0));
    EXPECT_FALSE(receive(40, 0, 0));
    EXPECT_FALSE(receive(53, 0, 0));
    EXPECT_FALSE(receive(0, 0, 0));
    EXPECT_FALSE(receive(255, 0, 0));
    // Values the field cannot hold never reach the preset.
    EXPECT_FALSE(receive(3, 0, 100));
    EXPECT_FALSE(receive(15, 0, 101));
    EXPECT_FALSE(receive(25, 0, 13));
    EXPECT_FALSE(receive(28, 0, 128));
    EXPECT_FALSE(receive(41, 0, 255));
    EXPECT_FALSE(receive(4, 0, 200));
    EXPECT_FALSE(receive(4, 0, 0));
    EXPECT_EQ(s, before);
    EXPECT_TRUE(receive(3, 0, 99));
    EXPECT_EQ(s.volume, 99);
    EXPECT_TRUE(receive(35, 3, 255));
    EXPECT_EQ(s.sources[3].wave, 255);
}

TEST(ParameterConverter, WireValuesAreTheStoredForm)
{
    const SinglePreset s = makeSingle();
    unsigned char value = 0;
    EXPECT_TRUE(ParameterConverter::fromSingle(value, s, Cursor_AmpModS1S2, 0));
    EXPECT_EQ(value, 2);
    EXPECT_TRUE(ParameterConverter::fromSingle(value, s, Cursor_SourcePressureToFreq, 3));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(ParameterConverter::fromSingle(value, s, Cursor_SourcePressureToFreq, 2));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(ParameterConverter::fromSingle(value, s, Cursor_VibratoDepth, 3));
    EXPECT_EQ(value, 52);
    EXPECT_TRUE(ParameterConverter::fromSingle(value, s, Cursor_SourceCoarseAlt, 1));
    EXPECT_EQ(value, 21);

    value = 77;
    EXPECT_FALSE(ParameterConverter::fromSingle(value, s, Cursor_SourceFine, 4));
    EXPECT_FALSE(ParameterConverter::fromSingle(value, s, ParameterCursor(38), 0));
    EXPECT_FALSE(ParameterConverter::fromSingle(value, s, ParameterCursor(2), 0));
    EXPECT_FALSE(ParameterConverter::fromSingle(value, s, ParameterCursor(53), 0));
    EXPECT_EQ(value, 77);
}
