// The preset store: what each operation changes and the exact order in which
// the parameters reload and the listener hears of it; renaming, factory
// restore, source swaps; sending presets and parameter edits to a K1.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "patch/parameter.h"
#include "patch/parameterConverter.h"
#include "patch/sysexFrame.h"
#include "tests/store/storeTestSupport.h"

using namespace k1store;
using Calls = std::vector<std::string>;

namespace
{
template <typename Preset>
float valueOf(k1lib::EParam p, const Preset& preset)
{
    int v = -1;
    k1lib::ParameterConverter::getValue(v, p, preset);
    return static_cast<float>(v);
}
} // namespace

TEST(PresetStore, SelectingASingleReloadsParametersThenReports)
{
    StoreEngine t;
    EXPECT_TRUE(t->setSingle(0)); // already current: nothing at all
    EXPECT_FALSE(t->setSingle(t->getSingleCount()));
    EXPECT_TRUE(t.listener.calls.empty());

    const k1lib::SinglePreset& target = *t->getSinglePreset(37);
    ASSERT_TRUE(t->setSingle(37));
    EXPECT_EQ(t.listener.calls, (Calls{"ActiveSingleChanged(37)"}));
    EXPECT_EQ(t.listener.watchedAtCall[0], valueOf(k1lib::Param_Volume, target));
    EXPECT_EQ(t->getCurrentSingleIndex(), 37u);
    EXPECT_EQ(t->getBendRange(), static_cast<int32_t>(target.pitchBendDepth));
}

TEST(PresetStore, ReplacingSinglesReportsInOrder)
{
    StoreEngine t;
    ASSERT_TRUE(t->setSingle(3));
    t.listener.clear();

    // An equal preset is a successful no-op.
    EXPECT_TRUE(t->setSingle(3, *t->getSinglePreset(3)));
    EXPECT_TRUE(t->setSingle(4, *t->getSinglePreset(4)));
    EXPECT_TRUE(t.listener.calls.empty());
    EXPECT_FALSE(t->setSingle(t->getSingleCount(), distinctSingle(1)));

    // Another slot: one report. The current one: reload, active, then slot.
    const k1lib::SinglePreset a = distinctSingle(11);
    const k1lib::SinglePreset b = distinctSingle(12);
    ASSERT_TRUE(t->setSingle(4, a));
    ASSERT_TRUE(t->setSingle(3, b));
    EXPECT_EQ(t.listener.calls, (Calls{"SinglesModified(4,1)", "ActiveSingleModified(3)", "SinglesModified(3,1)"}));
    EXPECT_EQ(t.listener.watchedAtCall[1], valueOf(k1lib::Param_Volume, b));
    EXPECT_EQ(*t->getSinglePreset(4), a);
    EXPECT_EQ(t->getCurrentSingle(), b);
}

TEST(PresetStore, RunsOfSinglesReportOnceAtTheEnd)
{
    StoreEngine t;
    ASSERT_TRUE(t->setSingle(33));
    t.listener.clear();
    const size_t n = t->getSingleCount();

    std::vector<k1lib::SinglePreset> same(t->getSinglePreset(32), t->getSinglePreset(32) + 4);
    EXPECT_FALSE(t->setSingles(32, same)); // nothing differs
    EXPECT_FALSE(t->setSingles(n - 8, std::vector<k1lib::SinglePreset>(9)));
    EXPECT_FALSE(t->setSingles(0, {}));
    EXPECT_FALSE(t->setSingles(SIZE_MAX, std::vector<k1lib::SinglePreset>(2)));
    EXPECT_TRUE(t.listener.calls.empty());

    std::vector<k1lib::SinglePreset> run = same;
    run[1] = distinctSingle(21); // the current single, 33
    run[3] = distinctSingle(22);
    ASSERT_TRUE(t->setSingles(32, run));
    EXPECT_EQ(t.listener.calls, (Calls{"ActiveSingleModified(33)", "SinglesModified(32,4)"}));
    EXPECT_EQ(t.listener.watchedAtCall[0], valueOf(k1lib::Param_Volume, run[1]));
    EXPECT_EQ(*t->getSinglePreset(35), run[3]);
    EXPECT_TRUE(t->setSingles(n - 8, std::vector<k1lib::SinglePreset>(8)));
}

TEST(PresetStore, RenamingKeepsTenPrintableCharacters)
{
    StoreEngine t;
    const size_t cur = t->getCurrentSingleIndex();
    t->setCurrentSingleName("Bells");
    EXPECT_STREQ(t->getCurrentSingle().name, "Bells");
    // Stored as a dump reads it back: no trailing blanks, zero after.
    EXPECT_EQ(std::memcmp(t->getCurrentSingle().name, "Bells\0\0\0\0\0\0", 11), 0);
    EXPECT_EQ(t.listener.calls, (Calls{"ActiveSingleModified(0)"}));
    EXPECT_TRUE(t->isSingleModified(cur));

    t.listener.clear();
    t->setCurrentSingleName("Bells     ");
    EXPECT_TRUE(t.listener.calls.empty());
    t->setCurrentSingleName("A very long name");
    EXPECT_STREQ(t->getCurrentSingle().name, "A very lon");
    t->setCurrentSingleName(std::string("a\x01\xF7z\x7F", 5));
    EXPECT_STREQ(t->getCurrentSingle().name, "a  z");

    // Back to the factory name: equal to the factory preset again.
    t->setCurrentSingleName(k1lib::Engine::getFactoryPresetName(cur, k1lib::PlayMode::Single));
    EXPECT_FALSE(t->isSingleModified(cur));
    t->setCurrentSingleName("x");
    EXPECT_TRUE(t->restoreFactorySingle(cur));
    EXPECT_FALSE(t->isSingleModified(cur));
    EXPECT_FALSE(t->restoreFactorySingle(cur)); // nothing to restore
    EXPECT_FALSE(t->restoreFactorySingle(t->getSingleCount()));
    EXPECT_FALSE(t->isSingleModified(t->getSingleCount()));

    t->setMulti(2);
    t.listener.clear();
    t->setCurrentMultiName("Split\x80");
    EXPECT_STREQ(t->getCurrentMulti().name, "Split");
    EXPECT_EQ(t.listener.calls, (Calls{"ActiveMultiModified(2)"}));
    EXPECT_TRUE(t->isMultiModified(2));
    EXPECT_TRUE(t->restoreFactoryMulti(2));
    EXPECT_FALSE(t->isMultiModified(2));
}

TEST(PresetStore, SwappingSources)
{
    StoreEngine t;
    ASSERT_TRUE(t->setSingle(1, distinctSingle(5)));
    ASSERT_TRUE(t->setSingle(1));
    t.listener.clear();
    EXPECT_FALSE(t->swapSources(1, 1));
    EXPECT_FALSE(t->swapSources(0, 4));
    const k1lib::SinglePreset before = t->getCurrentSingle();
    ASSERT_TRUE(t->swapSources(2, 0));
    EXPECT_EQ(t->getCurrentSingle().sources[0], before.sources[2]);
    EXPECT_EQ(t->getCurrentSingle().sources[2], before.sources[0]);
    EXPECT_EQ(t.listener.calls, (Calls{"ActiveSingleModified(1)", "SinglesModified(1,1)"}));
}

TEST(PresetStore, MultisSelectReplaceAndRunInOrder)
{
    StoreEngine t;
    t.listener.watched = k1lib::Param_MultiVolume;
    EXPECT_TRUE(t->setMulti(0));
    EXPECT_FALSE(t->setMulti(t->getMultiCount()));
    EXPECT_TRUE(t->setMulti(5, *t->getMultiPreset(5)));
    EXPECT_TRUE(t.listener.calls.empty());

    ASSERT_TRUE(t->setMulti(9));
    const k1lib::MultiPreset a = distinctMulti(3);
    ASSERT_TRUE(t->setMulti(9, a));
    ASSERT_TRUE(t->setMulti(10, distinctMulti(4)));
    EXPECT_EQ(t.listener.calls, (Calls{"ActiveMultiChanged(9)", "ActiveMultiModified(9)", "MultisModified(9,1)",
                                       "MultisModified(10,1)"}));
    EXPECT_EQ(t.listener.watchedAtCall[1], valueOf(k1lib::Param_MultiVolume, a));

    t.listener.clear();
    std::vector<k1lib::MultiPreset> run{*t->getMultiPreset(8), distinctMulti(7)};
    EXPECT_FALSE(t->setMultis(t->getMultiCount() - 1, run));
    ASSERT_TRUE(t->setMultis(8, run));
    EXPECT_EQ(t.listener.calls, (Calls{"ActiveMultiModified(9)", "MultisModified(8,2)"}));
    EXPECT_FALSE(t->setMultis(8, run));
}

TEST(PresetStore, ModifyParameterRampsAndReports)
{
    StoreEngine t;
    t->setPlayMode(k1lib::PlayMode::Multi);
    t.listener.clear();
    t->modifyParameter(k1lib::Param_MultiS3Single, 0.5f);
    EXPECT_EQ(t.listener.calls, (Calls{"ParameterChanged(122)"}));
    EXPECT_FLOAT_EQ(t->getParameter(k1lib::Param_MultiS3Single), 0.5f);
}

// ---- Sending ----------------------------------------------------------------

namespace
{
using namespace k1lib::sysexFrame;
}

TEST(PresetSend, SingleAndMultiDumpsGoToTheChosenSlot)
{
    StoreEngine t;
    EXPECT_FALSE(t->sendSingle(0, 128));
    EXPECT_FALSE(t->sendSingle(t->getSingleCount(), 0));
    EXPECT_FALSE(t->sendMulti(0, 64));
    EXPECT_TRUE(t.listener.sent.empty());

    ASSERT_TRUE(t->sendSingle(200, 100)); // e, number 36
    ASSERT_TRUE(t->sendMulti(20, 40));    // E, multi 8
    ASSERT_EQ(t.listener.sent.size(), 2u);
    const auto& single = t.listener.sent[0];
    ASSERT_EQ(single.size(), 97u);
    EXPECT_EQ(single[kFunctionAt], kOneBlockDump);
    EXPECT_EQ(single[kSub1At], 1);
    EXPECT_EQ(single[kSub2At], 36);
    const auto& multi = t.listener.sent[1];
    ASSERT_EQ(multi.size(), 85u);
    EXPECT_EQ(multi[kChannelAt], 0);
    EXPECT_EQ(multi[kSub1At], 1);
    EXPECT_EQ(multi[kSub2At], kMultiBase + 8);

    k1lib::Sysex::SysexResult back;
    ASSERT_TRUE(k1lib::Sysex::readBuffer(back, single, 255));
    ASSERT_EQ(back.singles.size(), 1u);
    EXPECT_EQ(back.singles[0], *t->getSinglePreset(200));

    // With omni off the dump goes out on the receive channel.
    k1lib::Engine::Config config;
    config.omni = 0;
    config.receiveChannel = 6;
    t->setConfig(config);
    ASSERT_TRUE(t->sendSingle(0, 5));
    EXPECT_EQ(t.listener.sent.back()[kChannelAt], 6);
}

TEST(PresetSend, ParameterEditsGoOutAsK1ParameterChanges)
{
    StoreEngine t;
    const k1lib::SinglePreset before = t->getCurrentSingle();
    const k1lib::CParam& wave = k1lib::g_params[k1lib::Param_SourceS3Wave];
    const float normalized = (200.0f - wave.min) * wave.invRange;
    ASSERT_TRUE(t->sendParameterAsSysex(k1lib::Param_SourceS3Wave, normalized));
    ASSERT_EQ(t.listener.sent.size(), 1u);
    k1lib::Sysex::SysexResult back;
    ASSERT_TRUE(k1lib::Sysex::readBuffer(back, t.listener.sent[0], 255));
    ASSERT_EQ(back.parameterChanges.size(), 1u);
    EXPECT_EQ(back.parameterChanges[0], (k1lib::Sysex::SysexResult::ParameterChange{k1lib::Cursor_SourceWave, 2, 200}));
    EXPECT_EQ(t->getCurrentSingle(), before); // only a copy was edited

    // A typed name character goes out as typed.
    ASSERT_TRUE(t->sendParameterAsSysex(k1lib::Param_Name03,
                                        ('Q' - k1lib::g_params[k1lib::Param_Name03].min) *
                                            k1lib::g_params[k1lib::Param_Name03].invRange));
    EXPECT_EQ(t.listener.sent.back()[kParamAt], k1lib::Cursor_Name01 + 2);
    EXPECT_EQ(t.listener.sent.back()[kParamValueAt], 'Q');

    // Nothing for parameters without a K1 number, NaN, or with send off.
    t.listener.clear();
    for (k1lib::EParam p : {k1lib::Param_SourceS2Mute, k1lib::Param_SourceMix12, k1lib::Param_SourceMix34,
                            k1lib::Param_MultiVolume, k1lib::Param_MultiS1Level, k1lib::Param_Mode})
        EXPECT_FALSE(t->sendParameterAsSysex(p, 0.5f)) << p;
    EXPECT_FALSE(t->sendParameterAsSysex(k1lib::Param_Volume, std::nanf("")));
    k1lib::Engine::Config config;
    config.sysexSend = 0;
    t->setConfig(config);
    EXPECT_FALSE(t->sendParameterAsSysex(k1lib::Param_Volume, 0.5f));
    EXPECT_TRUE(t.listener.sent.empty());
}
