// The state chunk: its layout, exact round trips, the older versions, and
// what a damaged block restores.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "patch/parameter.h"
#include "tests/store/stateTestSupport.h"

using namespace k1store;
using Calls = std::vector<std::string>;
namespace sc = k1lib::stateChunk;

namespace
{
const Block kWindowBlob = {1, 0, 0, 0, 10, 0, 0, 0, 20, 0, 0, 0, 110, 0, 0, 0, 220, 0, 0, 0};

struct Snapshot
{
    k1lib::Engine::Config config;
    k1lib::PlayMode mode;
    size_t single, multi;
    std::vector<uint32_t> params;
    std::vector<k1lib::SinglePreset> singles;
    std::vector<k1lib::MultiPreset> multis;

    explicit Snapshot(const k1lib::Engine& e)
        : config(e.getConfig()), mode(e.getPlayMode()), single(e.getCurrentSingleIndex()),
          multi(e.getCurrentMultiIndex()), params(parameterBits(e)), singles(singlesOf(e)), multis(multisOf(e))
    {
    }
    void expectEqual(const Snapshot& o) const
    {
        EXPECT_EQ(config, o.config);
        EXPECT_EQ(mode, o.mode);
        EXPECT_EQ(single, o.single);
        EXPECT_EQ(multi, o.multi);
        EXPECT_EQ(params, o.params);
        EXPECT_TRUE(singles == o.singles);
        EXPECT_TRUE(multis == o.multis);
    }
};

// One random edit of the kind a host, the editor or MIDI makes.
void randomEdit(StoreEngine& t, std::mt19937& rng)
{
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    const float x = std::uniform_real_distribution<float>(0.0f, 1.0f)(rng);
    switch (pick(9))
    {
    case 0: t->setParameter(static_cast<k1lib::EParam>(pick(k1lib::kParamCount - 1)), x, pick(2) == 0); break;
    case 1: t->setSingle(pick(t->getSingleCount()), distinctSingle(static_cast<uint32_t>(rng()))); break;
    case 2: t->setMulti(pick(t->getMultiCount()), distinctMulti(static_cast<uint32_t>(rng()))); break;
    case 3: t->setSingle(pick(t->getSingleCount())); break;
    case 4: t->setMulti(pick(t->getMultiCount())); break;
    case 5:
    {
        std::string name = std::to_string(rng() % 1000);
        name.append("  x"); // inner blanks stay
        t->setCurrentSingleName(name);
        break;
    }
    case 6: t->setPlayMode(pick(2) ? k1lib::PlayMode::Multi : k1lib::PlayMode::Single); break;
    case 7:
    {
        k1lib::Engine::Config c = t->getConfig();
        c.omni = pick(2);
        c.receiveChannel = static_cast<uint32_t>(pick(16));
        c.programChange = static_cast<uint32_t>(pick(3));
        c.audioOutputMode = static_cast<uint32_t>(pick(2));
        t->setConfig(c);
        break;
    }
    default: t->swapSources(pick(4), pick(4)); break;
    }
    if (pick(8) == 0)
        t.settle(5000); // ramps reach their end
}
} // namespace

TEST(StateChunk, LayoutOfAVersion4Block)
{
    StoreEngine t;
    t.listener.customOut = kWindowBlob;
    Block b = {9, 9, 9}; // saving appends
    ASSERT_TRUE(t->saveState(b));
    b.erase(b.begin(), b.begin() + 3);
    ASSERT_EQ(b.size(), 115707u);
    EXPECT_EQ(t.listener.calls, (Calls{"serializeCustomData"}));

    EXPECT_EQ(u32At(b, sc::kVersionAt), 4u);
    EXPECT_EQ(u32At(b, sc::kConfigSizeAt), 52u);
    EXPECT_EQ(u32At(b, sc::kConfigAt + 4), 1u);  // omni
    EXPECT_EQ(u32At(b, sc::kConfigAt + 48), 0u); // audio output mode
    EXPECT_EQ(u32At(b, 60), 0u);                 // play mode
    EXPECT_EQ(u32At(b, 64), 209u);
    for (uint32_t p = 0; p < 209; ++p)
        EXPECT_EQ(floatAt(b, 68 + 4 * p), t->getParameter(static_cast<k1lib::EParam>(p)));
    EXPECT_EQ(u32At(b, 904), 20u);
    EXPECT_EQ(slice(b, 908, 928), kWindowBlob);
    EXPECT_EQ(u32At(b, 928), 0u);      // current single
    EXPECT_EQ(u32At(b, 932), 968u);
    EXPECT_EQ(u32At(b, 936), 85463u);  // 30 dumps of 2825 bytes and one of 713
    EXPECT_EQ(b[940], 0xF0);
    EXPECT_EQ(b[940 + 2825 + 7], 0x20); // run 1 sits in the upper half
    EXPECT_EQ(u32At(b, 86403), 0u);    // current multi
    EXPECT_EQ(u32At(b, 86407), 384u);
    EXPECT_EQ(u32At(b, 86411), 29292u); // 12 dumps of 2441 bytes
    EXPECT_EQ(b[86415], 0xF0);
    EXPECT_EQ(b.back(), 0xF7);

    k1lib::Sysex::SysexResult dumps;
    ASSERT_TRUE(k1lib::Sysex::readBuffer(dumps, slice(b, 940, 86403), 0));
    EXPECT_TRUE(dumps.singles == singlesOf(*t.engine));
}

TEST(StateChunk, SaveChangeEverythingLoadRestoresEverything)
{
    StoreEngine t;
    fillDistinct(t, 1000);
    k1lib::Engine::Config config;
    config.omni = 0;
    config.receiveChannel = 9;
    config.sysexSend = 0;
    config.audioOutputMode = 1;
    t->setConfig(config);
    t->setSingle(300);
    t->setMulti(50);
    t->setPlayMode(k1lib::PlayMode::Multi);
    t->setParameter(k1lib::Param_SourceMix12, 0.3f, true);
    t->setParameter(k1lib::Param_MultiS2Level, 0.61f, false);
    t.settle(5000);
    t.listener.customOut = kWindowBlob;
    Block saved;
    ASSERT_TRUE(t->saveState(saved));
    const Snapshot before(*t.engine);

    // Change everything.
    fillDistinct(t, 5000);
    t->setConfig(k1lib::Engine::Config{});
    t->setPlayMode(k1lib::PlayMode::Single);
    t->setSingle(7);
    t->setMulti(8);
    t->setParameter(k1lib::Param_SourceMix12, 0.9f, false);
    t->setParameter(k1lib::Param_Volume, 0.1f, false);
    t.settle(10);
    t.listener.clear();

    ASSERT_TRUE(t->loadState(saved));
    EXPECT_EQ(t.listener.calls, (Calls{"deserializeCustomData", "ActiveMultiChanged(50)", "PlayModeChanged"}));
    EXPECT_EQ(t.listener.customIn.at(0), kWindowBlob);
    Snapshot(*t.engine).expectEqual(before);
    t.settle(5000); // the restored values change no preset
    Snapshot(*t.engine).expectEqual(before);
}

TEST(StateChunk, RandomEditsRoundTripExactly)
{
    StoreEngine a;
    std::mt19937 rng(4711);
    for (int i = 0; i < 1000; ++i)
        randomEdit(a, rng);
    a.settle(5000);
    Block saved;
    ASSERT_TRUE(a->saveState(saved));

    StoreEngine b;
    ASSERT_TRUE(b->loadState(saved));
    Snapshot(*b.engine).expectEqual(Snapshot(*a.engine));
    b.settle(5000);
    Block again;
    ASSERT_TRUE(b->saveState(again));
    EXPECT_TRUE(again == saved);
}

TEST(StateChunk, OlderVersions)
{
    StoreEngine a;
    fillDistinct(a, 77);
    a->setSingle(12);
    a->setMulti(3);
    Block v4;
    ASSERT_TRUE(a->saveState(v4));

    {
        StoreEngine b;
        ASSERT_TRUE(b->loadState(asVersion3(v4)));
        Snapshot(*b.engine).expectEqual(Snapshot(*a.engine));
    }
    for (bool custom : {true, false})
    {
        StoreEngine b;
        b->setMulti(9);
        b->setPlayMode(k1lib::PlayMode::Multi);
        b->setMulti(4, distinctMulti(1));
        const std::vector<k1lib::MultiPreset> multis = multisOf(*b.engine);
        ASSERT_TRUE(b->loadState(asVersion2(v4, custom)));
        EXPECT_TRUE(singlesOf(*b.engine) == singlesOf(*a.engine));
        EXPECT_TRUE(multisOf(*b.engine) == multis); // untouched
        EXPECT_EQ(b->getPlayMode(), k1lib::PlayMode::Single);
        EXPECT_EQ(b->getCurrentSingleIndex(), 12u);
        EXPECT_EQ(b->getCurrentMultiIndex(), 0u);
    }

    StoreEngine c;
    const Snapshot untouched(*c.engine);
    c.listener.clear();
    for (uint32_t version : {0u, 5u, 0x104u})
    {
        Block bad = v4;
        putU32(bad, 0, version);
        EXPECT_FALSE(c->loadState(bad));
    }
    EXPECT_FALSE(c->loadState({}));
    EXPECT_FALSE(c->loadState({4, 0}));
    EXPECT_TRUE(c.listener.calls.empty());
    untouched.expectEqual(Snapshot(*c.engine));
}

TEST(StateChunk, ShortAndLongFieldsAndAShortStream)
{
    StoreEngine a;
    fillDistinct(a, 3);
    k1lib::Engine::Config config;
    config.receiveChannel = 4;
    config.sysexSend = 0;
    config.audioOutputMode = 1;
    a->setConfig(config);
    Block v4;
    ASSERT_TRUE(a->saveState(v4));
    const Layout l(v4);

    // configSize 40: fields 0-9 taken, 10-12 keep their values.
    {
        Block b = v4;
        putU32(b, sc::kConfigSizeAt, 40);
        b.erase(b.begin() + sc::kConfigAt + 40, b.begin() + sc::kPlayModeAt);
        StoreEngine t;
        ASSERT_TRUE(t->loadState(b));
        EXPECT_EQ(t->getConfig().receiveChannel, 4u);
        EXPECT_EQ(t->getConfig().sysexSend, 1u);
        EXPECT_EQ(t->getConfig().audioOutputMode, 0u);
    }
    // configSize 60 and paramCount 300: the extra bytes are skipped.
    {
        Block b = slice(v4, 0, sc::kPlayModeAt);
        putU32(b, sc::kConfigSizeAt, 60);
        append(b, Block(8, 0xEE));
        append(b, slice(v4, sc::kPlayModeAt, sc::kCustomSizeAt));
        putU32(b, sc::kParamCountAt + 8, 300);
        append(b, Block(91 * 4, 0x7F)); // NaNs, never used
        append(b, slice(v4, sc::kCustomSizeAt, v4.size()));
        StoreEngine t;
        ASSERT_TRUE(t->loadState(b));
        Snapshot(*t.engine).expectEqual(Snapshot(*a.engine));
    }
    // A singles stream of 10: those ten, then the factory singles.
    {
        std::vector<k1lib::SinglePreset> ten = singlesOf(*a.engine);
        ten.resize(10);
        Block dump;
        ASSERT_TRUE(k1lib::Sysex::writeSingles(dump, ten, 0, k1lib::StorageLocation::I, 0));
        Block b = slice(v4, 0, l.singleCount);
        appendU32(b, 10);
        appendU32(b, static_cast<uint32_t>(dump.size()));
        append(b, dump);
        append(b, slice(v4, l.currentMulti, v4.size()));
        StoreEngine t;
        ASSERT_TRUE(t->loadState(b));
        const auto singles = singlesOf(*t.engine);
        for (size_t i = 0; i < singles.size(); ++i)
            EXPECT_EQ(singles[i], i < 10 ? ten[i] : k1lib::factorySingles[i]) << i;
        EXPECT_TRUE(multisOf(*t.engine) == multisOf(*a.engine));
    }
}

TEST(StateChunk, RepairsValuesSaveStateNeverWrites)
{
    StoreEngine a;
    Block v4;
    ASSERT_TRUE(a->saveState(v4));

    Block b = v4;
    putU32(b, sc::kConfigAt, 16);        // receive channel
    putU32(b, sc::kConfigAt + 8, 3);     // program change
    putU32(b, sc::kPlayModeAt, 7);
    putFloat(b, sc::kParamsAt + 4 * k1lib::Param_Volume, std::nanf(""));
    putFloat(b, sc::kParamsAt + 4 * k1lib::Param_SourceMix12, 2.0f);
    putFloat(b, sc::kParamsAt + 4 * k1lib::Param_SourceMix34, -1.0f);
    // Repaired, each with a log line, and restored.
    StoreEngine t;
    t->setPlayMode(k1lib::PlayMode::Multi);
    EXPECT_TRUE(t->loadState(b));
    EXPECT_EQ(t->getConfig(), k1lib::Engine::Config{});
    EXPECT_EQ(t->getPlayMode(), k1lib::PlayMode::Single);
    EXPECT_EQ(t->getParameter(k1lib::Param_SourceMix12), 1.0f);
    EXPECT_EQ(t->getParameter(k1lib::Param_SourceMix34), 0.0f);
    const k1lib::CParam& vol = k1lib::g_params[k1lib::Param_Volume];
    EXPECT_EQ(t->getParameter(k1lib::Param_Volume), (vol.defaultValue - vol.min) * vol.invRange);

    // Stored indexes outside the store select the first presets.
    b = v4;
    const Layout l(v4);
    putU32(b, l.currentSingle, 968);
    putU32(b, l.currentMulti, 0xFFFFFFFF);
    EXPECT_TRUE(t->loadState(b));
    EXPECT_EQ(t->getCurrentSingleIndex(), 0u);
    EXPECT_EQ(t->getCurrentMultiIndex(), 0u);

    // Bytes after the end (a host that pads chunks) and padding between the
    // dumps of an old stream lose nothing: restored.
    b = v4;
    b.insert(b.end(), 4, 0);
    EXPECT_TRUE(t->loadState(b));
    Block v2 = asVersion2(v4);
    v2.insert(v2.begin() + static_cast<std::ptrdiff_t>(v2.size() - 713), 3, 0); // before the last dump
    v2.insert(v2.end(), 5, 0);
    EXPECT_TRUE(t->loadState(v2));
    EXPECT_EQ(singlesOf(*t.engine), singlesOf(*a.engine));
}

TEST(StateChunk, RestoredReceiveChannelPlaysInSingleMode)
{
    StoreEngine a;
    k1lib::Engine::Config config;
    config.omni = 0;
    config.receiveChannel = 5;
    a->setConfig(config);
    Block saved;
    ASSERT_TRUE(a->saveState(saved));

    StoreEngine t; // omni on, single mode, as a fresh instance starts
    ASSERT_TRUE(t->loadState(saved));
    std::vector<float> l(64), r(64);
    float* out[2] = {l.data(), r.data()};
    k1lib::SMidiEvent on;
    on.status = 0x95;
    on.data1 = 60;
    on.data2 = 100;
    std::vector<k1lib::SMidiEvent> events{on};
    t->process(out, 2, 64, events);
    EXPECT_GT(t->getMulti().getActiveVoiceCount(), 0u);
}
