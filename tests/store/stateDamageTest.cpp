// Damaged state chunks: a bad block, a bad message frame, more presets than
// the store holds, truncation and random byte flips. Whatever arrives, every
// slot holds either the preset saved for it or the factory preset, and a
// damaged chunk is never reported as restored.

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "tests/store/stateTestSupport.h"

using namespace k1store;
namespace sc = k1lib::stateChunk;

namespace
{
// A saved state whose every preset differs from the factory one, and the
// presets it holds.
struct SavedState
{
    Block block;
    std::vector<k1lib::SinglePreset> singles;
    std::vector<k1lib::MultiPreset> multis;

    SavedState()
    {
        StoreEngine a;
        fillDistinct(a, 900);
        a->setSingle(70);
        a->setMulti(40);
        a->setPlayMode(k1lib::PlayMode::Multi);
        a->saveState(block);
        singles = singlesOf(*a.engine);
        multis = multisOf(*a.engine);
    }
};

const SavedState& saved()
{
    static const SavedState s;
    return s;
}

// Slots whose saved preset did not arrive; a slot holding anything but its
// saved or its factory preset fails the test.
std::set<size_t> lostSingles(const k1lib::Engine& e)
{
    std::set<size_t> lost;
    const auto singles = singlesOf(e);
    for (size_t i = 0; i < singles.size(); ++i)
    {
        if (singles[i] == saved().singles[i])
            continue;
        EXPECT_EQ(singles[i], k1lib::factorySingles[i]) << "single " << i;
        lost.insert(i);
    }
    return lost;
}

std::set<size_t> lostMultis(const k1lib::Engine& e)
{
    std::set<size_t> lost;
    const auto multis = multisOf(e);
    for (size_t i = 0; i < multis.size(); ++i)
    {
        if (multis[i] == saved().multis[i])
            continue;
        EXPECT_EQ(multis[i], k1lib::factoryMultis[i]) << "multi " << i;
        lost.insert(i);
    }
    return lost;
}
} // namespace

TEST(StateDamage, ABadBlockCostsOnlyItsOwnSlot)
{
    const Layout l(saved().block);
    constexpr size_t kMessage = sc::kFullSinglesMessage;
    Block b = saved().block;
    b[l.singles + 2 * kMessage + 8 + 3 * 88 + 20] ^= 0x01; // single 67: checksum fails
    b[l.singles + 5 * kMessage] = 0x00;                    // run 5 loses its F0
    b[l.singles + 9 * kMessage + 8 + 88 + 40] = 0xF7;      // a stray F7 inside single 289
    b[l.multis + 3 * sc::kFullMultisMessage + 8 + 76 * 31 + 75] ^= 0x40; // multi 127's checksum
    StoreEngine t;
    t.listener.clear();
    EXPECT_FALSE(t->loadState(b));
    EXPECT_EQ(lostSingles(*t.engine), (std::set<size_t>{67, 289}));
    EXPECT_EQ(lostMultis(*t.engine), (std::set<size_t>{127}));
    // Everything else of the state still arrived.
    EXPECT_EQ(t->getPlayMode(), k1lib::PlayMode::Multi);
    EXPECT_EQ(t->getCurrentSingleIndex(), 70u);
    EXPECT_EQ(t->getCurrentMultiIndex(), 40u);
}

TEST(StateDamage, MorePresetsThanTheStoreNeverGrowTheLists)
{
    const Layout l(saved().block);
    const Block& s = saved().block;
    // 1000 singles: the 968 saved ones and 32 more in a 32nd run.
    std::vector<k1lib::SinglePreset> extra(32, distinctSingle(1));
    Block run;
    ASSERT_TRUE(k1lib::Sysex::writeSingles(run, extra, 0, k1lib::StorageLocation::i, 32));
    Block singles = slice(s, l.singles, l.currentMulti);
    singles.resize(30 * sc::kFullSinglesMessage); // the 30 full runs
    std::vector<k1lib::SinglePreset> last(saved().singles.begin() + 960, saved().singles.end());
    last.resize(32, distinctSingle(2));
    Block full;
    ASSERT_TRUE(k1lib::Sysex::writeSingles(full, last, 0, k1lib::StorageLocation::I, 0));
    append(singles, full);
    append(singles, run);

    Block b = slice(s, 0, l.singleCount);
    appendU32(b, 1024);
    appendU32(b, static_cast<uint32_t>(singles.size()));
    append(b, singles);
    append(b, slice(s, l.currentMulti, s.size()));
    StoreEngine t;
    EXPECT_FALSE(t->loadState(b));
    EXPECT_EQ(t->getSingleCount(), 968u);
    EXPECT_TRUE(lostSingles(*t.engine).empty());
}

// Every cut of a saved state, shared out over several tests so that ctest can
// run them side by side (each load decodes everything that arrived).
class StateTruncation : public ::testing::TestWithParam<size_t>
{
public:
    static constexpr size_t kShards = 16;
};

TEST_P(StateTruncation, NeverMisplacesOrSucceeds)
{
    const Block& s = saved().block;
    StoreEngine t;
    for (size_t n = GetParam(); n < s.size(); n += StateTruncation::kShards)
    {
        EXPECT_FALSE(t->loadState(slice(s, 0, n))) << n;
        lostSingles(*t.engine);
        lostMultis(*t.engine);
        ASSERT_FALSE(::testing::Test::HasFailure()) << "cut at " << n;
    }
    EXPECT_TRUE(t->loadState(s));
    EXPECT_TRUE(lostSingles(*t.engine).empty());
}

INSTANTIATE_TEST_SUITE_P(EveryOffset, StateTruncation, ::testing::Range<size_t>(0, StateTruncation::kShards));

TEST(StateDamage, RandomFlipsNeverMisplaceAndAreReported)
{
    const Block& s = saved().block;
    const Layout l(s);
    std::mt19937 rng(99);
    StoreEngine t;
    for (int round = 0; round < 600; ++round)
    {
        // One byte at a time: two changes inside one block can keep its
        // 7-bit checksum, and such a block cannot be told from a saved one.
        // Half of the flips go to the preset streams and their fields.
        Block b = s;
        const size_t at = (rng() & 1) ? l.singleCount + rng() % (s.size() - l.singleCount) : rng() % s.size();
        b[at] ^= static_cast<uint8_t>(1 + rng() % 255);
        const bool index = at >= l.currentMulti && at < l.multiCount;
        const bool detectable = at < 4 || (at >= l.singleCount && !index);
        const bool ok = t->loadState(b);
        if (detectable)
        {
            EXPECT_FALSE(ok) << "round " << round;
        }
        lostSingles(*t.engine);
        lostMultis(*t.engine);
        ASSERT_FALSE(::testing::Test::HasFailure()) << "round " << round;
    }
}
