// Property: records with arbitrary field values (in range or anywhere in their
// type's range) always write dumps whose inner bytes are 7-bit, and read back
// equal to the record with each field brought into its stored range, without
// a single repair line.

#include <algorithm>
#include <random>

#include "tests/codec/codecTestSupport.h"

using namespace codecTest;
using k1lib::MultiPreset;
using k1lib::SinglePreset;
using k1lib::StorageLocation;
using k1lib::Sysex;

namespace
{
class Random
{
public:
    explicit Random(uint32_t seed) : m_rng(seed) {}

    // Half the time a value within 0..max, else any value of the type.
    template <typename T>
    T field(int64_t max)
    {
        if (m_rng() & 1)
            return static_cast<T>(std::uniform_int_distribution<int64_t>(0, max)(m_rng));
        return static_cast<T>(m_rng());
    }
    bool flag() { return m_rng() & 1; }
    void name(char* name)
    {
        for (size_t i = 0; i < 11; ++i)
            name[i] = static_cast<char>(m_rng() % 4 == 0 ? m_rng() : 0x20 + m_rng() % 95);
        if (m_rng() & 1)
            name[m_rng() % 11] = 0;
    }

private:
    std::mt19937 m_rng;
};

SinglePreset randomSingle(Random& r)
{
    SinglePreset p{};
    r.name(p.name);
    p.volume = r.field<uint8_t>(99);
    p.polyMode = r.field<uint32_t>(2);
    p.source2or4 = r.field<uint32_t>(1);
    p.ampModS1S2 = r.field<uint32_t>(2);
    p.ampModS3S4 = r.field<uint32_t>(2);
    p.pressureToFreq = r.field<uint8_t>(100);
    p.vibratoDepth = r.field<uint8_t>(100);
    p.pressureToVibrato = r.field<uint8_t>(100);
    p.pitchBendDepth = r.field<uint32_t>(12);
    p.lfoSpeed = r.field<uint8_t>(100);
    p.lfoShape = r.field<uint32_t>(3);
    p.keyScaleCurve = r.field<uint32_t>(4);
    p.vibWheelMode = r.field<uint32_t>(1);
    p.autoBendDepth = r.field<uint8_t>(100);
    p.autoBendTime = r.field<uint8_t>(100);
    p.velToDepth = r.field<uint8_t>(100);
    p.autoBendKeyScaleToTime = r.field<uint8_t>(100);
    for (bool& m : p.mute)
        m = r.flag();
    for (k1lib::SingleSource& s : p.sources)
    {
        s.fine = r.field<uint32_t>(100);
        s.coarse = r.field<uint32_t>(127);
        s.wave = r.field<uint8_t>(255);
        s.keyTrack = r.flag();
        s.vibABend = r.flag();
        s.pressureToFreq = r.flag();
        s.velCurve = r.field<uint32_t>(7);
        for (uint32_t* f : {&s.envLevel, &s.envDelay, &s.envAttack, &s.envDecay, &s.envSustain, &s.envRelease,
                            &s.levelModVel, &s.levelModPressure, &s.levelModKeyScale, &s.timeModVel,
                            &s.timeModKeyScale, &s.freqKeyScaleToFreq})
            *f = r.field<uint32_t>(100);
    }
    return p;
}

MultiPreset randomMulti(Random& r)
{
    MultiPreset m{};
    r.name(m.name);
    m.volume = r.field<uint32_t>(99);
    for (k1lib::MultiSection& s : m.sections)
    {
        s.single = r.field<int32_t>(63);
        s.zoneLow = r.field<int32_t>(127);
        s.zoneHigh = r.field<int32_t>(127);
        s.poly = r.field<int32_t>(9);
        s.output = r.field<int32_t>(2);
        s.midiMode = r.field<int32_t>(2);
        s.channel = r.field<int32_t>(15);
        s.velocitySwitch = r.field<int32_t>(2);
        s.transpose = r.field<int32_t>(48) - 24;
        s.tune = r.field<int32_t>(100) - 50;
        s.level = r.field<int32_t>(100);
    }
    return m;
}

// What a name becomes in a block and back: printable ASCII up to the first
// zero, other characters blank, trailing blanks removed.
void expectName(char* name)
{
    char out[11] = "          ";
    for (size_t i = 0; i < 10 && name[i] != 0; ++i)
        out[i] = (name[i] >= 0x20 && name[i] <= 0x7E) ? name[i] : ' ';
    for (size_t i = 10; i > 0 && out[i - 1] == ' '; --i)
        out[i - 1] = 0;
    std::copy(out, out + 11, name);
}

// Numbers are clamped into their range; a choice outside its range takes
// the value the block reader repairs it to.
template <typename T>
T clampTo(T v, T lo, T hi)
{
    return std::clamp(v, lo, hi);
}

SinglePreset expectedSingle(SinglePreset p)
{
    expectName(p.name);
    p.volume = std::min<uint8_t>(p.volume, 99);
    p.polyMode = p.polyMode > 2 ? 0 : p.polyMode;
    p.source2or4 = std::min(p.source2or4, 1u);
    p.ampModS1S2 = p.ampModS1S2 > 2 ? 0 : p.ampModS1S2;
    p.ampModS3S4 = p.ampModS3S4 > 2 ? 0 : p.ampModS3S4;
    for (uint8_t* f : {&p.pressureToFreq, &p.vibratoDepth, &p.pressureToVibrato, &p.lfoSpeed, &p.autoBendDepth,
                       &p.autoBendTime, &p.velToDepth, &p.autoBendKeyScaleToTime})
        *f = std::min<uint8_t>(*f, 100);
    p.pitchBendDepth = std::min(p.pitchBendDepth, 12u);
    p.lfoShape = std::min(p.lfoShape, 3u);
    p.keyScaleCurve = std::min(p.keyScaleCurve, 4u);
    p.vibWheelMode &= 1;
    for (k1lib::SingleSource& s : p.sources)
    {
        s.coarse = std::min(s.coarse, 127u);
        s.velCurve = std::min(s.velCurve, 7u);
        for (uint32_t* f : {&s.fine, &s.envLevel, &s.envDelay, &s.envAttack, &s.envDecay, &s.envSustain, &s.envRelease,
                            &s.levelModVel, &s.levelModPressure, &s.levelModKeyScale, &s.timeModVel,
                            &s.timeModKeyScale, &s.freqKeyScaleToFreq})
            *f = std::min(*f, 100u);
    }
    return p;
}

MultiPreset expectedMulti(MultiPreset m)
{
    expectName(m.name);
    m.volume = std::min(m.volume, 99u);
    for (k1lib::MultiSection& s : m.sections)
    {
        s.single = clampTo(s.single, 0, 63);
        s.zoneLow = clampTo(s.zoneLow, 0, 127);
        s.zoneHigh = clampTo(s.zoneHigh, 0, 127);
        s.poly = (s.poly < 0 || s.poly > 9) ? 0 : s.poly;
        s.output = (s.output < 0 || s.output > 2) ? 1 : s.output;
        s.midiMode = (s.midiMode < 0 || s.midiMode > 2) ? 2 : s.midiMode;
        s.channel = clampTo(s.channel, 0, 15);
        s.velocitySwitch = (s.velocitySwitch < 0 || s.velocitySwitch > 2) ? 0 : s.velocitySwitch;
        s.transpose = clampTo(s.transpose, -24, 24);
        s.tune = clampTo(s.tune, -50, 50);
        s.level = clampTo(s.level, 0, 100);
    }
    return m;
}

void expectInnerBytesAreData(const std::vector<uint8_t>& message)
{
    ASSERT_GE(message.size(), 2u);
    EXPECT_EQ(message.front(), 0xF0);
    EXPECT_EQ(message.back(), 0xF7);
    const auto high = std::find_if(message.begin() + 1, message.end() - 1, [](uint8_t b) { return b > 0x7F; });
    EXPECT_EQ(high, message.end() - 1) << "byte " << (high - message.begin());
}
} // namespace

TEST(RoundTripProperty, RandomSinglesComeBackInRange)
{
    Random random(20261207);
    for (int round = 0; round < 100; ++round)
    {
        std::vector<SinglePreset> presets;
        for (int i = 0; i < 1 + round % 32; ++i)
            presets.push_back(randomSingle(random));
        std::vector<uint8_t> message;
        ASSERT_TRUE(Sysex::writeSingles(message, presets, 0, StorageLocation::I, 0));
        expectInnerBytesAreData(message);

        Sysex::SysexResult result;
        startLog();
        ASSERT_TRUE(Sysex::readBuffer(result, message, 0));
        EXPECT_TRUE(stopLog().empty());
        ASSERT_EQ(result.singles.size(), presets.size());
        for (size_t i = 0; i < presets.size(); ++i)
            EXPECT_EQ(result.singles[i], expectedSingle(presets[i])) << "round " << round << " preset " << i;
    }
}

TEST(RoundTripProperty, RandomMultisComeBackInRange)
{
    Random random(7);
    for (int round = 0; round < 100; ++round)
    {
        std::vector<MultiPreset> multis;
        for (int i = 0; i < 1 + round % 32; ++i)
            multis.push_back(randomMulti(random));
        std::vector<uint8_t> message;
        ASSERT_TRUE(Sysex::writeMultis(message, multis, 0, StorageLocation::E, 0));
        expectInnerBytesAreData(message);

        Sysex::SysexResult result;
        startLog();
        ASSERT_TRUE(Sysex::readBuffer(result, message, 0));
        EXPECT_TRUE(stopLog().empty());
        ASSERT_EQ(result.multis.size(), multis.size());
        for (size_t i = 0; i < multis.size(); ++i)
            EXPECT_EQ(result.multis[i], expectedMulti(multis[i])) << "round " << round << " multi " << i;
    }
}
