// What the host bridge and the editor hear, and in which order, when the
// engine changes a preset, the play mode or the configuration (one merged
// delivery each per facade call); and the echo rule that ends a host's
// write-back of a reported value at the cache.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "patch/parameter.h"
#include "tests/facade/facadeTestSupport.h"

using k1lib::EParam;
using k1lib::PlayMode;
using Lines = std::vector<std::string>;

namespace
{
k1lib::SinglePreset renamed(k1lib::SinglePreset p, char c)
{
    p.name[0] = c;
    return p;
}
} // namespace

TEST(FacadeFanOut, PresetSwitchResyncsEveryChangedValueBeforeTellingEditorThenHost)
{
    k1test::TestFacade f;
    f.journal.take();
    ASSERT_TRUE(f.plugin->setCurrentPresetIndex(5));
    const int hostParams = f.journal.hostParameterCalls;
    const int editorParams = f.journal.editorParameterEvents;
    EXPECT_EQ(f.journal.editorDeliveries, 1);
    EXPECT_EQ(f.journal.hostDeliveries, 1);
    // The editor hears before the engine lock is released, the host after.
    EXPECT_EQ(f.journal.take(), (Lines{"editor:ActiveSingleChanged(5)", "host:ActiveSingleChanged(5)"}));
    // Factory singles 0 and 5 differ, so values changed; each was reported to
    // both, and every write-back of the host bridge ended at the cache.
    EXPECT_GT(hostParams, 0);
    EXPECT_EQ(hostParams, editorParams);
    EXPECT_EQ(f.listener.echoesTaken, 0);

    // The values come in the same delivery as the switch, before it; the
    // host then hears the same values in the same order, then the switch,
    // once the engine lock is released.
    f.journal.withParameters = true;
    ASSERT_TRUE(f.plugin->setCurrentPresetIndex(6));
    const Lines lines = f.journal.take();
    ASSERT_GE(lines.size(), 4u);
    ASSERT_EQ(lines.size() % 2, 0u);
    const size_t values = lines.size() / 2 - 1;
    EXPECT_EQ(lines[values], "editor:ActiveSingleChanged(6)");
    EXPECT_EQ(lines.back(), "host:ActiveSingleChanged(6)");
    for (size_t i = 0; i < values; ++i)
    {
        ASSERT_EQ(lines[i].rfind("editor:ParameterChanged(", 0), 0u) << lines[i];
        EXPECT_EQ(lines[values + 1 + i], "host:" + lines[i].substr(7));
    }
    EXPECT_EQ(f.listener.echoesTaken, 0);

    // Selecting the current preset again changes nothing and reports nothing.
    EXPECT_TRUE(f.plugin->setCurrentPresetIndex(6));
    EXPECT_TRUE(f.journal.take().empty());
    EXPECT_FALSE(f.plugin->setCurrentPresetIndex(f.plugin->getPresetCount()));
}

TEST(FacadeFanOut, EditsReachTheEditorFirstAndTheActivePresetResyncs)
{
    k1test::TestFacade f;
    f.journal.take();
    const k1lib::SinglePreset current = f.plugin->getCurrentSingle();
    k1lib::SinglePreset louder = renamed(current, 'Q');
    louder.volume = current.volume == 99 ? 10 : 99;
    const float volumeBefore = f.plugin->getParameter(k1lib::Param_Volume);
    ASSERT_TRUE(f.plugin->setSingle(0, louder));
    // The volume changed: reported to the editor and the host alike.
    EXPECT_GE(f.journal.hostParameterCalls, 1);
    EXPECT_EQ(f.journal.hostParameterCalls, f.journal.editorParameterEvents);
    EXPECT_NE(f.plugin->getParameter(k1lib::Param_Volume), volumeBefore);
    EXPECT_EQ(f.journal.take(), (Lines{"editor:ActiveSingleModified(0)", "editor:SinglesModified(0,1)",
                                       "host:ActiveSingleModified(0)", "host:SinglesModified(0,1)"}));

    k1lib::SinglePreset other;
    ASSERT_TRUE(f.plugin->getSingle(other, 7));
    ASSERT_TRUE(f.plugin->setSingle(7, renamed(other, 'Z')));
    EXPECT_EQ(f.journal.hostParameterCalls, 0);
    EXPECT_EQ(f.journal.take(), (Lines{"editor:SinglesModified(7,1)", "host:SinglesModified(7,1)"}));
    // An equal preset is a no-op without reports.
    EXPECT_TRUE(f.plugin->setSingle(7, renamed(other, 'Z')));
    EXPECT_TRUE(f.journal.take().empty());
    EXPECT_FALSE(f.plugin->setSingle(f.plugin->getSingleCount(), other));
}

TEST(FacadeFanOut, MultiModeConfigurationAndNoEditor)
{
    k1test::TestFacade f;
    f.journal.take();
    f.journal.withParameters = true;
    f.plugin->setPlayMode(PlayMode::Multi);
    EXPECT_EQ(f.journal.take(), (Lines{"editor:ParameterChanged(208) 1.000000", "editor:PlayModeChanged",
                                       "host:ParameterChanged(208) 1.000000", "host:PlayModeChanged"}));
    f.journal.withParameters = false;
    EXPECT_EQ(f.plugin->getParameter(k1lib::Param_Mode), 1.0f);
    EXPECT_EQ(f.plugin->getPresetCount(), f.plugin->getMultiCount());

    ASSERT_TRUE(f.plugin->setCurrentPresetIndex(3));
    EXPECT_EQ(f.plugin->getCurrentMultiIndex(), 3u);
    EXPECT_EQ(f.journal.take(), (Lines{"editor:ActiveMultiChanged(3)", "host:ActiveMultiChanged(3)"}));

    k1lib::MultiPreset multi = f.plugin->getCurrentMulti();
    multi.volume = multi.volume == 99 ? 1 : 99;
    ASSERT_TRUE(f.plugin->setMulti(3, multi));
    EXPECT_EQ(f.journal.take(), (Lines{"editor:ActiveMultiModified(3)", "editor:MultisModified(3,1)",
                                       "host:ActiveMultiModified(3)", "host:MultisModified(3,1)"}));

    k1lib::EngineConfig config = f.plugin->getConfig();
    config.sysexSend = 0;
    f.plugin->setConfig(config);
    EXPECT_EQ(f.journal.take(), (Lines{"editor:ConfigChanged", "host:ConfigChanged"}));
    EXPECT_EQ(f.plugin->getConfig(), config);

    // Detached, the editor hears nothing more; the host bridge still hears all.
    f.plugin->setEditor(nullptr);
    const size_t editorDeliveries = f.editor.deliveries.size();
    f.plugin->setPlayMode(PlayMode::Single);
    ASSERT_TRUE(f.plugin->setCurrentPresetIndex(9));
    EXPECT_EQ(f.journal.take(), (Lines{"host:PlayModeChanged", "host:ActiveSingleChanged(9)"}));
    EXPECT_EQ(f.editor.deliveries.size(), editorDeliveries);
    f.plugin->sendEditorChanges(k1lib::Changes{});
    EXPECT_EQ(f.editor.deliveries.size(), editorDeliveries);
}

TEST(FacadeParameters, EchoOfAReportedValueStopsAtTheCache)
{
    k1test::TestFacade f;
    f.journal.take();
    const EParam p = k1lib::Param_LfoSpeed;
    const float v = f.plugin->getParameter(p) > 0.5f ? 0.25f : 0.75f;
    ASSERT_TRUE(f.plugin->setParameter(p, v));
    EXPECT_EQ(f.plugin->getParameter(p), v);
    ASSERT_FALSE(f.editor.deliveries.empty());
    EXPECT_TRUE(f.editor.deliveries.back().hasParameter(p));
    EXPECT_EQ(f.editor.deliveries.back().value(p), v);
    const size_t events = f.editor.deliveries.size();
    EXPECT_FALSE(f.plugin->setParameter(p, v)); // the host's write-back
    EXPECT_EQ(f.editor.deliveries.size(), events);
    // The facade writes nothing to the host for its own writes.
    EXPECT_EQ(f.journal.hostParameterCalls, 0);

    // The engine's report of a value it already holds changes nothing: CC16
    // sent twice at one value reports the source mix twice, and only the
    // first finds anything new.
    const auto cc16 = [&] {
        k1lib::SMidiEvent e;
        e.status = 0xB0;
        e.data1 = 16;
        e.data2 = 127;
        f.plugin->addMidiEvent(e);
        f.block();
    };
    cc16();
    const size_t afterFirst = f.editor.deliveries.size();
    cc16();
    EXPECT_EQ(f.editor.deliveries.size(), afterFirst);
    EXPECT_EQ(f.plugin->getParameter(p), v);
    f.plugin->updateParametersFromEngine();
    EXPECT_EQ(f.editor.deliveries.size(), afterFirst);
    EXPECT_GE(afterFirst, events);

    // Input outside 0..1 is held as the engine holds it, so the cache stays
    // the engine's value and the echo of it ends too.
    ASSERT_TRUE(f.plugin->setParameter(p, 7.0f));
    EXPECT_EQ(f.plugin->getParameter(p), 1.0f);
    EXPECT_FALSE(f.plugin->setParameter(p, 1.0f));
    EXPECT_FALSE(f.plugin->setParameter(k1lib::Param_Count, 0.5f));
    EXPECT_EQ(f.plugin->getParameter(k1lib::Param_Count), 0.0f);

    EXPECT_EQ(f.plugin->getParameterName(k1lib::Param_Volume),
              k1lib::g_params[k1lib::Param_Volume].category + k1lib::g_params[k1lib::Param_Volume].name);
    const k1lib::CParam& row = k1lib::g_params[p];
    EXPECT_EQ(f.plugin->getParameterDisplay(p), row.formatValue(p, 1.0f * row.range + row.min));
    EXPECT_EQ(f.plugin->getParameterLabel(p), row.getUnitLabel());
}

TEST(FacadeParameters, RefusedWriteLeavesCacheAndEditorAtTheEngineAndLogsOnce)
{
    k1test::TestFacade f;
    const EParam multiParam = k1lib::Param_MultiVolume;
    const float before = f.plugin->getParameter(multiParam);
    const size_t events = f.editor.deliveries.size();
    testing::internal::CaptureStdout();
    for (int i = 0; i < 50; ++i)
        EXPECT_FALSE(f.plugin->setParameter(multiParam, i % 2 ? 0.9f : 0.1f + 0.01f * static_cast<float>(i)));
    k1log::flush(); // automation logs as on the audio thread: the writer prints it
    const std::string log = testing::internal::GetCapturedStdout();
    size_t lines = 0;
    for (size_t at = log.find("Refusing"); at != std::string::npos; at = log.find("Refusing", at + 1))
        ++lines;
    EXPECT_EQ(lines, 1u) << log;
    EXPECT_EQ(f.plugin->getParameter(multiParam), before);
    EXPECT_EQ(f.editor.deliveries.size(), events);

    // In multi mode the same parameter is the engine's to take.
    f.plugin->setPlayMode(PlayMode::Multi);
    EXPECT_TRUE(f.plugin->setParameter(multiParam, 0.9f));
    EXPECT_EQ(f.plugin->getParameter(multiParam), 0.9f);
    // And a single parameter is refused there, once.
    testing::internal::CaptureStdout();
    EXPECT_FALSE(f.plugin->setParameter(k1lib::Param_Volume, 0.3f));
    EXPECT_FALSE(f.plugin->setParameter(k1lib::Param_Volume, 0.3f));
    EXPECT_NE(f.plugin->getParameter(k1lib::Param_Volume), 0.3f);
    k1log::flush();
    const std::string again = testing::internal::GetCapturedStdout();
    EXPECT_EQ(again.find("Refusing"), again.rfind("Refusing"));
    EXPECT_NE(again.find("Refusing"), std::string::npos);
}
