// The audio path allocates nothing once running: every allocation of the
// process is counted while the engine renders the 264-voice multi scene and
// the note-churn scene.

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/engine/engineScenes.h"
#include "tests/support/countingAllocator.h"
#include "tests/engine/engineTestSupport.h"

namespace
{
constexpr int kBlock = 512;

struct Host
{
    k1test::CountingListener listener;
    std::unique_ptr<k1lib::Engine> engine = std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType::Vst);
    std::vector<float> left = std::vector<float>(kBlock);
    std::vector<float> right = std::vector<float>(kBlock);
    float* outputs[2] = {left.data(), right.data()};

    // Renders one block; returns the allocations made inside the engine.
    long block(std::vector<k1lib::SMidiEvent>& events)
    {
        k1test::startAllocationCounting();
        engine->process(outputs, 2, kBlock, events);
        k1test::stopAllocationCounting();
        return k1test::countedAllocations();
    }
};
} // namespace

TEST(EngineRealTime, ThePlayingMultiAllocatesNothingAfterItsFirstBlock)
{
    Host host;
    k1scenes::setupMulti(*host.engine, true);
    std::vector<k1lib::SMidiEvent> events = k1scenes::heldNotes(8);
    host.block(events);
    EXPECT_EQ(host.engine->getMulti().getActiveVoiceCount(), 264u);
    events.clear();
    long total = 0;
    for (int b = 0; b < 40; ++b)
        total += host.block(events);
    EXPECT_EQ(total, 0);
    // A further chord steals a whole section's voices, still without allocating.
    events = k1scenes::heldNotes(8);
    for (auto& e : events)
        e.data1 = static_cast<uint8_t>(e.data1 + 40);
    EXPECT_EQ(host.block(events), 0);
}

TEST(EngineRealTime, NoteChurnWithStealingAllocatesNothing)
{
    Host host;
    k1scenes::setupSingle(*host.engine, false);
    k1scenes::Churn churn;
    std::vector<k1lib::SMidiEvent> events;
    events.reserve(64);
    churn.next(events, kBlock);
    host.block(events);
    long total = 0;
    size_t peak = 0;
    for (int b = 0; b < 200; ++b)
    {
        churn.next(events, kBlock);
        total += host.block(events);
        peak = std::max(peak, host.engine->getMulti().getActiveVoiceCount(0));
    }
    EXPECT_EQ(total, 0);
    EXPECT_EQ(peak, 33u);
}

// At a host rate of 44.1 kHz the resampler's buffers and event lists keep
// their capacity: blocks of any size up to the host's, with controller
// events, allocate nothing after the first.
TEST(EngineRealTime, TheMultiAt44100HzAllocatesNothingAfterItsFirstBlock)
{
    Host host;
    host.engine->setSamplerate(44100.0f);
    k1scenes::setupMulti(*host.engine, true);
    std::vector<k1lib::SMidiEvent> events = k1scenes::heldNotes(8);
    events.reserve(64);
    host.block(events);
    events.clear();
    EXPECT_EQ(host.engine->getMulti().getActiveVoiceCount(), 264u);
    long total = 0;
    uint32_t seed = 1;
    for (int b = 0; b < 60; ++b)
    {
        seed = seed * 1664525u + 1013904223u;
        const int frames = 1 + static_cast<int>((seed >> 8) % kBlock);
        k1lib::SMidiEvent e;
        e.status = 0xB0;
        e.data1 = 17;
        e.data2 = static_cast<uint8_t>(b);
        e.sampleOffset = frames / 2;
        events.push_back(e);
        k1test::startAllocationCounting();
        host.engine->process(host.outputs, 2, frames, events);
        k1test::stopAllocationCounting();
        total += k1test::countedAllocations();
        events.clear();
    }
    EXPECT_EQ(total, 0);
}
