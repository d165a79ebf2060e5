#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "patch/waveformNames.h"
#include "tools/common/embeddedBanks.h"
#include "tools/patchdesigner/designer.h"

#include <unistd.h>

namespace
{
namespace fs = std::filesystem;
using designer::Family;

std::vector<uint8_t> readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

fs::path runDesigner(const std::string& tag)
{
    const fs::path dir = fs::temp_directory_path() / ("darvello_designer_" + std::to_string(::getpid()) + "_" + tag);
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string command = std::string("\"") + DARVELLO_PATCHDESIGNER + "\" \"" + dir.string() + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return dir;
}

bool sounds(const k1lib::SinglePreset& p, size_t s)
{
    return s < (p.source2or4 ? 4u : 2u) && !p.mute[s];
}

bool oneOf(Family f, std::initializer_list<Family> list)
{
    return std::find(list.begin(), list.end(), f) != list.end();
}
} // namespace

TEST(PatchDesigner, WritesTheSameBytesTwiceAndTheyAreTheCompiledInBanks)
{
    const fs::path a = runDesigner("a");
    const fs::path b = runDesigner("b");
    for (const EmbeddedBank& bank : embeddedBanks())
    {
        const std::vector<uint8_t> first = readAll(a / (bank.symbol + ".syx"));
        EXPECT_EQ(first, readAll(b / (bank.symbol + ".syx"))) << bank.symbol;
        EXPECT_EQ(first, bank.bytes) << bank.symbol;
    }
    fs::remove_all(a);
    fs::remove_all(b);
}

// The rules every recipe keeps, so that the presets play as their names say.
TEST(PatchDesigner, SinglesKeepTheRulesOfTheirFamily)
{
    for (size_t b = 0; b < designer::bankPlans().size(); ++b)
    {
        const designer::DesignedBank bank = designer::designBank(b);
        for (size_t i = 0; i < bank.singles.size(); ++i)
        {
            const k1lib::SinglePreset& p = bank.singles[i];
            const Family f = bank.singleFamilies[i];
            SCOPED_TRACE(std::string(designer::bankPlans()[b].symbol) + " " + p.name + " (" + designer::familyName(f) + ")");

            uint32_t fastestAttack = 100, maxRelease = 0, maxSustain = 0, lowestCoarse = 127, highestCoarse = 0;
            bool velocity = false;
            for (size_t s = 0; s < 4; ++s)
            {
                if (!sounds(p, s))
                    continue;
                const k1lib::SingleSource& src = p.sources[s];
                EXPECT_EQ(src.envDelay, 0u) << "source " << s;
                fastestAttack = std::min(fastestAttack, src.envAttack);
                maxRelease = std::max(maxRelease, src.envRelease);
                maxSustain = std::max(maxSustain, src.envSustain);
                if (src.keyTrack)
                {
                    lowestCoarse = std::min(lowestCoarse, src.coarse);
                    highestCoarse = std::max(highestCoarse, src.coarse);
                }
                velocity = velocity || src.levelModVel != 50;
            }
            // Silent within a few seconds of the release.
            EXPECT_LE(maxRelease, 70u);
            // Only pads, strings, voices and effects may swell in slowly.
            if (!oneOf(f, {Family::Pad, Family::Strings, Family::Voice, Family::Fx}))
                EXPECT_LE(fastestAttack, 20u);
            else
                EXPECT_LE(fastestAttack, 56u);
            // Struck and plucked sounds die away while the key is held.
            if (oneOf(f, {Family::Piano, Family::EPiano, Family::Clav, Family::Bell, Family::Mallet, Family::Pluck, Family::Drum}))
            {
                EXPECT_LE(p.sources[0].envSustain, 50u);
            }
            // Basses sound an octave below the played key, never above it.
            if (oneOf(f, {Family::Bass, Family::SynthBass}))
            {
                EXPECT_LE(lowestCoarse, 72u);
                EXPECT_LE(highestCoarse, 84u);
            }
            // Organs do not follow velocity; everything else does.
            EXPECT_EQ(velocity, f != Family::Organ);
        }
    }
}

// Variant numbers run on across the storages, so no sound is shipped twice.
TEST(PatchDesigner, NoTwoFactorySinglesSoundTheSame)
{
    std::vector<k1lib::SinglePreset> all;
    for (size_t b = 0; b < designer::bankPlans().size(); ++b)
    {
        for (k1lib::SinglePreset p : designer::designBank(b).singles)
        {
            std::fill(std::begin(p.name), std::end(p.name), 0);
            all.push_back(p);
        }
    }
    ASSERT_EQ(all.size(), 968u);
    for (size_t a = 0; a < all.size(); ++a)
    {
        for (size_t b = a + 1; b < all.size(); ++b)
            ASSERT_FALSE(all[a] == all[b]) << a << " and " << b;
    }
}

// Every wave of the ROM has a home in at least one factory single, where a
// source that sounds plays it.
TEST(PatchDesigner, EveryWaveIsPlayedByAFactorySingle)
{
    std::set<int> played;
    for (size_t b = 0; b < designer::bankPlans().size(); ++b)
    {
        for (const k1lib::SinglePreset& p : designer::designBank(b).singles)
        {
            for (size_t s = 0; s < 4; ++s)
            {
                if (sounds(p, s))
                    played.insert(p.sources[s].wave);
            }
        }
    }
    std::string unused;
    for (int w = 0; w < k1lib::kWaveformCount; ++w)
    {
        if (played.count(w) == 0)
            unused += std::string(" ") + k1lib::g_waveformNames[w] + ";";
    }
    EXPECT_EQ(unused, "");
}

TEST(PatchDesigner, MultisPlayTheirOwnBankInSensibleSections)
{
    for (size_t b = 0; b + 1 < designer::bankPlans().size(); ++b)
    {
        const designer::DesignedBank bank = designer::designBank(b);
        const std::vector<k1lib::MultiPreset> multis = designer::designMultis(b, bank);
        ASSERT_EQ(multis.size(), 32u);
        for (const k1lib::MultiPreset& m : multis)
        {
            SCOPED_TRACE(std::string(designer::bankPlans()[b].symbol) + " " + m.name);
            int used = 0, levels = 0;
            std::set<int> channels;
            for (const k1lib::MultiSection& s : m.sections)
            {
                if (s.poly == 1 || s.level == 0)
                {
                    EXPECT_EQ(s.level, 0);
                    EXPECT_EQ(s.poly, 1);
                    continue;
                }
                ++used;
                levels += s.level;
                channels.insert(s.channel);
                EXPECT_LT(s.single, 64);
                EXPECT_LE(s.zoneLow, s.zoneHigh);
                EXPECT_LE(std::abs(s.transpose), 12);
                EXPECT_LE(s.channel, 7);
            }
            EXPECT_GE(used, 2);
            // Layers share the loudness instead of adding up.
            EXPECT_LE(levels / used, 92);
            EXPECT_TRUE(channels.size() == 1 || channels.size() == static_cast<size_t>(used));
        }
    }
}
