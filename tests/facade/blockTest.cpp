// Blocks through the facade: events delivered in pieces and out of order
// play in time order, late events are not lost, and whatever the engine
// reports inside a block reaches the host bridge after the block, with the
// engine lock free.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "plugin/hostCallQueue.h"
#include "tests/engine/engineTestSupport.h"
#include "tests/facade/facadeTestSupport.h"

using Lines = std::vector<std::string>;
using k1test::midi;

namespace
{
// The current single plays a plain sine with a short release, so that a
// released note falls silent within a few blocks and a held one never does.
void usePlainSingle(k1test::TestFacade& f)
{
    ASSERT_TRUE(f.plugin->setSingle(f.plugin->getCurrentSingleIndex(), k1test::plainSingle()));
    f.journal.take();
}
} // namespace

TEST(FacadeBlocks, EventsDeliveredOutOfOrderPlayInTimeOrderAndLateOnesAreKept)
{
    k1test::TestFacade f;
    usePlainSingle(f);
    // Two deliveries for one block: the note-off (frame 300) comes first,
    // the note-on (frame 100) in a second call.
    f.plugin->addMidiEvent(midi(0x80, 60, 0, 300));
    f.plugin->addMidiEvent(midi(0x90, 60, 100, 100));
    EXPECT_FALSE(f.block());
    EXPECT_TRUE(f.renderUntilSilent(100)) << "the note did not end";

    // Offsets past the block: the note-on at 600 and its note-off at 700 in a
    // 512-frame block, delivered the other way round, both act on the last
    // frame, note-on first.
    f.plugin->addMidiEvent(midi(0x80, 64, 0, 700));
    f.plugin->addMidiEvent(midi(0x90, 64, 100, 600));
    f.block();
    EXPECT_TRUE(f.renderUntilSilent(100)) << "the note did not end";

    // A late note-on alone is not dropped: it sounds from the next block on.
    f.plugin->addMidiEvent(midi(0x90, 67, 100, 5000));
    f.block();
    EXPECT_FALSE(f.block());
    f.plugin->addMidiEvent(midi(0x80, 67, 0, 0));
    EXPECT_TRUE(f.renderUntilSilent(100));

    // Negative offsets act first, at the block's start.
    f.plugin->addMidiEvent(midi(0x80, 69, 0, 10));
    f.plugin->addMidiEvent(midi(0x90, 69, 100, -5));
    f.block();
    EXPECT_TRUE(f.renderUntilSilent(100));
}

TEST(FacadeBlocks, ReportsOfABlockReachTheHostAfterItWithTheLockFree)
{
    k1test::TestFacade f;
    f.journal.take();
    bool lockFree = true;
    int probes = 0;
    std::future<size_t> pending;
    // A host thread that needs the engine lock while the host bridge is busy
    // must not wait for the audio thread.
    f.listener.onCall = [&] {
        if (probes++ > 0)
            return;
        pending = std::async(std::launch::async, [&] { return f.plugin->getCurrentSingleIndex(); });
        lockFree = pending.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    };
    f.plugin->addMidiEvent(midi(0xC0, 5, 0, 10)); // program change: single 5
    f.plugin->addMidiEvent(midi(0xB0, 16, 64, 20)); // CC16: source mix 1/2
    f.block();
    if (pending.valid())
        pending.wait();
    f.listener.onCall = nullptr;
    EXPECT_GT(probes, 0);
    EXPECT_TRUE(lockFree) << "the host bridge was called with the engine lock held";
    EXPECT_EQ(f.plugin->getCurrentSingleIndex(), 5u);
    EXPECT_EQ(f.plugin->getParameter(k1lib::Param_SourceMix12), 64.0f / 127.0f);
    // The editor heard it at the block's end, before the lock was let go, the
    // host bridge after it.
    const Lines lines = f.journal.take();
    EXPECT_EQ(lines, (Lines{"editor:ActiveSingleChanged(5)", "host:ActiveSingleChanged(5)"}));
    EXPECT_EQ(f.listener.echoesTaken, 0);

    // Nothing is delivered twice: the next block is quiet.
    f.block();
    EXPECT_TRUE(f.journal.take().empty());
    EXPECT_EQ(f.journal.hostParameterCalls, 0);
}

TEST(FacadeBlocks, HostCallQueueMergesChangesKeepsMidiInOrderAndReusesStorage)
{
    using Kind = k1lib::ChangeKind;
    k1test::Journal journal;
    k1test::RecordingListener listener(journal);
    k1lib::HostCallQueue queue;
    k1lib::SMidiEvent reply;
    reply.sysex = {0xF0, 0x40, 0x00, 0x40, 0x00, 0x03, 0xF7};
    k1lib::SMidiEvent note = midi(0x90, 60, 100);
    journal.withParameters = true;
    queue.add({.kind = Kind::ParameterChanged, .param = k1lib::Param_Volume, .value = 0.5f});
    queue.pushMidi(reply);
    // A dump of 32 singles, one by one: one run. An index keeps its latest.
    for (size_t i = 0; i < 32; ++i)
        queue.add({Kind::SinglesModified, 32 + i, 1});
    queue.add({Kind::ActiveMultiChanged, 2});
    queue.add({Kind::PlayModeChanged});
    queue.add({Kind::ActiveMultiChanged, 5});
    queue.add({.kind = Kind::ParameterChanged, .param = k1lib::Param_Volume, .value = 0.25f});
    queue.pushMidi(note);
    queue.deliver(listener);
    EXPECT_EQ(journal.hostDeliveries, 1);
    EXPECT_EQ(journal.take(), (Lines{"host:sendMidi 7", "host:sendMidi 0", "host:ParameterChanged(10) 0.250000",
                                     "host:SinglesModified(32,32)", "host:ActiveMultiChanged(5)",
                                     "host:PlayModeChanged"}));
    ASSERT_EQ(listener.midi.size(), 2u);
    EXPECT_EQ(listener.midi[0].sysex, reply.sysex);
    EXPECT_EQ(listener.midi[1].data1, 60);

    // Delivered with the values in force, a parameter reports those.
    std::vector<std::atomic<float>> current(k1lib::kParamCount);
    current[k1lib::Param_Volume] = 0.75f;
    queue.deliver(listener, current.data());
    EXPECT_EQ(journal.take()[2], "host:ParameterChanged(10) 0.750000");

    queue.clear();
    EXPECT_TRUE(queue.empty());
    reply.sysex.resize(3);
    queue.pushMidi(reply);
    queue.deliver(listener);
    EXPECT_EQ(journal.take(), (Lines{"host:sendMidi 3"}));
    EXPECT_EQ(journal.hostDeliveries, 0);

    // Runs apart merge to the smallest run holding both.
    k1lib::Changes changes;
    changes.add({Kind::MultisModified, 10, 2});
    changes.add({Kind::MultisModified, 3, 1});
    EXPECT_EQ(changes.get(Kind::MultisModified), (k1lib::Change{Kind::MultisModified, 3, 9}));
    EXPECT_FALSE(changes.has(Kind::SinglesModified));
    changes.add({.kind = Kind::ParameterChanged, .param = k1lib::Param_Count});
    EXPECT_FALSE(changes.has(Kind::ParameterChanged));
    changes.clear();
    EXPECT_TRUE(changes.empty());
}

TEST(FacadeBlocks, AFloodOfEventsIsBoundedAndWhatIsTakenPlaysInOrder)
{
    // 128 k events delivered without a block (the next 512-frame block took
    // 8.3 s): the block's storage takes as many as it holds, refuses the
    // rest, and the block does bounded work.
    k1test::TestFacade f;
    usePlainSingle(f);
    f.block();
    // Within what is taken: a note-off delivered before its note-on, and a
    // note-on and note-off at one frame, which must stay in delivery order.
    f.plugin->addMidiEvent(midi(0x80, 60, 0, 300));
    f.plugin->addMidiEvent(midi(0x90, 60, 100, 100));
    f.plugin->addMidiEvent(midi(0x90, 64, 100, 200));
    f.plugin->addMidiEvent(midi(0x80, 64, 0, 200));
    constexpr size_t kFlood = 128 * 1024;
    for (size_t i = 4; i < kFlood; ++i)
        f.plugin->addMidiEvent(midi(0xE0, static_cast<uint8_t>(i & 0x7F), 64, static_cast<int32_t>(511 - i % 512)));
    testing::internal::CaptureStdout();
    f.block();
    k1log::flush();
    const std::string log = testing::internal::GetCapturedStdout();
    const std::string refused = "Refused " + std::to_string(kFlood - k1lib::EventInbox::kMaxEvents) + " incoming events";
    EXPECT_NE(log.find(refused), std::string::npos) << log;
    EXPECT_TRUE(f.renderUntilSilent(100)) << "a note did not end";
    // The refused ones are gone: the next block starts afresh.
    f.plugin->addMidiEvent(midi(0x90, 67, 100, 0));
    EXPECT_FALSE(f.block());
}
