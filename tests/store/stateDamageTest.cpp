// Damaged state chunks: a bad block, a bad message frame, more presets than
// the store holds, truncation and random byte flips. A chunk that is cut
// short or damaged is refused and changes nothing, however much of it would
// decode; one that is restored puts every preset in its own slot.

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

// Everything a state restores, as an engine holds it.
struct Snapshot
{
    std::vector<k1lib::SinglePreset> singles;
    std::vector<k1lib::MultiPreset> multis;
    std::vector<uint32_t> parameters;
    k1lib::Engine::Config config;
    k1lib::PlayMode mode;
    size_t single;
    size_t multi;

    explicit Snapshot(const k1lib::Engine& e)
        : singles(singlesOf(e)), multis(multisOf(e)), parameters(parameterBits(e)), config(e.getConfig()),
          mode(e.getPlayMode()), single(e.getCurrentSingleIndex()), multi(e.getCurrentMultiIndex())
    {
    }
    bool operator==(const Snapshot&) const = default;
};

// An engine whose every preset and setting differs from the saved state's
// and from the factory's.
void editEverything(StoreEngine& t)
{
    fillDistinct(t, 5000);
    k1lib::Engine::Config config;
    config.omni = 0;
    config.receiveChannel = 9;
    config.audioOutputMode = 1;
    t->setConfig(config);
    t->setSingle(3);
    t->setMulti(7);
}
} // namespace

TEST(StateDamage, ADamagedChunkIsRefusedAndChangesNothing)
{
    const Layout l(saved().block);
    constexpr size_t kMessage = sc::kFullSinglesMessage;
    const std::vector<size_t> damage = {
        l.singles + 2 * kMessage + 8 + 3 * 88 + 20,                 // single 67: checksum fails
        l.singles + 5 * kMessage,                                   // run 5 loses its F0
        l.singles + 9 * kMessage + 8 + 88 + 40,                     // a stray F7 inside single 289
        l.multis + 3 * sc::kFullMultisMessage + 8 + 76 * 31 + 75,  // multi 127's checksum
    };
    StoreEngine t;
    editEverything(t);
    const Snapshot before(*t.engine);
    for (size_t at : damage)
    {
        Block b = saved().block;
        b[at] = at == damage[2] ? 0xF7 : (at == damage[1] ? 0x00 : b[at] ^ 0x01);
        t.listener.clear();
        EXPECT_FALSE(t->loadState(b)) << at;
        EXPECT_TRUE(Snapshot(*t.engine) == before) << "damage at " << at;
        EXPECT_TRUE(t.listener.calls.empty()) << at;
    }
    // The chunk as saved still restores.
    EXPECT_TRUE(t->loadState(saved().block));
    EXPECT_TRUE(lostSingles(*t.engine).empty());
    EXPECT_TRUE(lostMultis(*t.engine).empty());
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
    const Snapshot before(*t.engine);
    EXPECT_FALSE(t->loadState(b));
    EXPECT_EQ(t->getSingleCount(), 968u);
    EXPECT_TRUE(Snapshot(*t.engine) == before);
}

// Every cut of a saved state, shared out over several tests so that ctest can
// run them side by side (each load decodes everything that arrived).
class StateTruncation : public ::testing::TestWithParam<size_t>
{
public:
    static constexpr size_t kShards = 16;
};

TEST_P(StateTruncation, IsRefusedAndChangesNothing)
{
    const Block& s = saved().block;
    StoreEngine t;
    editEverything(t);
    const Snapshot before(*t.engine);
    for (size_t n = GetParam(); n < s.size(); n += StateTruncation::kShards)
    {
        EXPECT_FALSE(t->loadState(slice(s, 0, n))) << n;
        ASSERT_TRUE(Snapshot(*t.engine) == before) << "cut at " << n;
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
        const Snapshot before(*t.engine);
        const bool ok = t->loadState(b);
        if (detectable)
        {
            EXPECT_FALSE(ok) << "round " << round;
        }
        if (!ok)
        {
            EXPECT_TRUE(Snapshot(*t.engine) == before) << "round " << round;
        }
        lostSingles(*t.engine);
        lostMultis(*t.engine);
        ASSERT_FALSE(::testing::Test::HasFailure()) << "round " << round;
    }
}
