// The preset store through the facade: runs, renames, factory restore,
// source swaps and sending, with what the editor and the host bridge hear;
// and a K1 request answered inside a block reaching the host after it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "patch/sysex.h"
#include "tests/facade/facadeTestSupport.h"

using k1lib::PlayMode;
using Lines = std::vector<std::string>;

TEST(FacadeStore, RunsRenamesRestoresAndSwapsReportInOrder)
{
    k1test::TestFacade f;
    f.journal.take();
    std::vector<k1lib::SinglePreset> run(3);
    for (size_t i = 0; i < run.size(); ++i)
        ASSERT_TRUE(f.plugin->getSingle(run[i], 40 + i));
    run[1].name[0] = '#';
    ASSERT_TRUE(f.plugin->setSingles(40, run));
    EXPECT_EQ(f.journal.take(), (Lines{"editor:SinglesModified(40,3)", "host:SinglesModified(40,3)"}));
    EXPECT_TRUE(f.plugin->isPresetModified(41));
    EXPECT_FALSE(f.plugin->isPresetModified(40));
    EXPECT_FALSE(f.plugin->setSingles(40, run)); // nothing changes

    f.plugin->setCurrentSingleName("Renamed");
    EXPECT_EQ(f.plugin->getPresetName(0), "Renamed");
    EXPECT_EQ(f.journal.take(), (Lines{"editor:ActiveSingleModified(0)", "host:ActiveSingleModified(0)"}));
    EXPECT_TRUE(f.plugin->isSingleModified(0));
    ASSERT_TRUE(f.plugin->restoreFactoryPreset(0));
    EXPECT_FALSE(f.plugin->isSingleModified(0));
    EXPECT_FALSE(f.plugin->restoreFactoryPreset(0));
    f.journal.take();

    const k1lib::SinglePreset before = f.plugin->getCurrentSingle();
    ASSERT_TRUE(f.plugin->swapSources(0, 1));
    EXPECT_EQ(f.plugin->getCurrentSingle().sources[0], before.sources[1]);
    EXPECT_EQ(f.journal.take(), (Lines{"editor:ActiveSingleModified(0)", "editor:SinglesModified(0,1)",
                                       "host:ActiveSingleModified(0)", "host:SinglesModified(0,1)"}));
    EXPECT_FALSE(f.plugin->swapSources(2, 2));

    // Multi mode: the same operations on multis.
    f.plugin->setPlayMode(PlayMode::Multi);
    f.journal.take();
    std::vector<k1lib::MultiPreset> multis(2);
    ASSERT_TRUE(f.plugin->getMulti(multis[0], 0));
    ASSERT_TRUE(f.plugin->getMulti(multis[1], 1));
    multis[0].volume = multis[0].volume == 99 ? 1 : 99;
    ASSERT_TRUE(f.plugin->setMultis(0, multis));
    EXPECT_EQ(f.journal.take(), (Lines{"editor:ActiveMultiModified(0)", "editor:MultisModified(0,2)",
                                       "host:ActiveMultiModified(0)", "host:MultisModified(0,2)"}));
    EXPECT_TRUE(f.plugin->isPresetModified(0));
    f.plugin->setCurrentMultiName("Multi X");
    EXPECT_EQ(f.plugin->getPresetName(0), "Multi X");
    EXPECT_TRUE(f.plugin->isMultiModified(0));
    ASSERT_TRUE(f.plugin->restoreFactoryMulti(0));
    EXPECT_FALSE(f.plugin->isPresetModified(0));
}

TEST(FacadeStore, SendingReachesTheHostAsMidi)
{
    k1test::TestFacade f;
    f.journal.take();
    ASSERT_TRUE(f.plugin->sendPreset(3, 70));
    ASSERT_EQ(f.listener.midi.size(), 1u);
    k1lib::Sysex::SysexResult result;
    k1lib::Sysex::readBuffer(result, f.listener.midi[0].sysex, 255);
    ASSERT_EQ(result.singles.size(), 1u);
    k1lib::SinglePreset three;
    ASSERT_TRUE(f.plugin->getSingle(three, 3));
    EXPECT_EQ(result.singles[0], three);
    EXPECT_FALSE(f.plugin->sendPreset(3, 128));

    f.plugin->setPlayMode(PlayMode::Multi);
    ASSERT_TRUE(f.plugin->sendPreset(2, 40));
    ASSERT_EQ(f.listener.midi.size(), 2u);
    result = {};
    k1lib::Sysex::readBuffer(result, f.listener.midi[1].sysex, 255);
    EXPECT_EQ(result.multis.size(), 1u);
    EXPECT_FALSE(f.plugin->sendPreset(2, 64));

    f.plugin->setPlayMode(PlayMode::Single);
    EXPECT_TRUE(f.plugin->sendParameterChangeAsSysex(k1lib::Param_Volume, 0.5f));
    EXPECT_EQ(f.listener.midi.size(), 3u);
    EXPECT_FALSE(f.plugin->sendParameterChangeAsSysex(k1lib::Param_Mode, 1.0f));
    EXPECT_EQ(f.listener.midi.size(), 3u);
}

TEST(FacadeStore, RequestAnsweredInABlockReachesTheHostAfterIt)
{
    k1test::TestFacade f;
    f.journal.take();
    k1lib::SMidiEvent request;
    k1lib::Sysex::writeMachineIdRequest(request.sysex, 0);
    request.sampleOffset = 17;
    f.plugin->addMidiEvent(request);
    f.block();
    ASSERT_EQ(f.listener.midi.size(), 1u);
    std::vector<uint8_t> answer;
    k1lib::Sysex::writeMachineIdResponse(answer, 0);
    EXPECT_EQ(f.listener.midi[0].sysex, answer);
    EXPECT_EQ(f.journal.take(), (Lines{"host:sendMidi " + std::to_string(answer.size())}));
}
