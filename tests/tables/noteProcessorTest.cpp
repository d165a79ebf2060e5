#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/noteProcessor.h"

using namespace k1lib;

namespace
{
struct Event
{
    bool on;
    int key;
    int velocity;
    int lastKey;
    int lastVelocity;
    bool operator==(const Event&) const = default;
};

Event on(int key, int velocity) { return {true, key, velocity, 0, 0}; }
Event off(int key, int velocity, int lastKey = 0, int lastVelocity = 0)
{
    return {false, key, velocity, lastKey, lastVelocity};
}

void PrintTo(const Event& e, std::ostream* os)
{
    *os << (e.on ? "on(" : "off(") << e.key << ", " << e.velocity;
    if (!e.on)
        *os << ", " << e.lastKey << ", " << e.lastVelocity;
    *os << ")";
}

class NoteProcessorTest : public testing::Test
{
protected:
    std::vector<Event> events;
    NoteProcessor np{[this](uint8_t k, uint8_t v) { events.push_back(on(k, v)); },
                     [this](uint8_t k, uint8_t v, uint8_t lk, uint8_t lv) { events.push_back(off(k, v, lk, lv)); }};
};
} // namespace

TEST_F(NoteProcessorTest, NoteOffNamesTheKeyStillHeldLast)
{
    np.noteOn(60, 90);
    np.noteOn(64, 100);
    np.noteOff(64, 30);
    np.noteOff(60, 40);
    EXPECT_EQ(events, (std::vector<Event>{on(60, 90), on(64, 100), off(64, 30, 60, 100), off(60, 40)}));

    // Releasing the older of two keys names the newer one, with the
    // velocity the released key was struck with.
    events.clear();
    np.noteOn(60, 90);
    np.noteOn(64, 100);
    np.noteOff(60, 10);
    EXPECT_EQ(events.back(), off(60, 10, 64, 90));
}

TEST_F(NoteProcessorTest, RestruckKeyIsListedOnceWithItsNewVelocity)
{
    np.noteOn(60, 50);
    np.noteOn(62, 70);
    np.noteOn(60, 110);
    EXPECT_EQ(np.getKeyDownCount(60), 2u);
    EXPECT_EQ(np.getPressedCount(), 2u);
    // 60 is now the newest: releasing 62 names it.
    np.noteOff(62, 0);
    EXPECT_EQ(events.back(), off(62, 0, 60, 70));
    EXPECT_EQ(np.removeLastPressedNote(60), 110);
    EXPECT_EQ(np.removeLastPressedNote(60), 0);
}

TEST_F(NoteProcessorTest, NoteOffForAKeyNotDownStillReachesTheMulti)
{
    np.noteOff(61, 20);
    EXPECT_EQ(events, (std::vector<Event>{off(61, 20)}));
    EXPECT_EQ(np.getKeyDownCount(61), 0u);
}

TEST_F(NoteProcessorTest, HoldPedalDefersNoteOffsUntilPedalUp)
{
    np.noteOn(60, 90);
    np.setHoldPedal(true);
    np.noteOff(60, 30);
    EXPECT_EQ(events.size(), 1u); // still sounding
    EXPECT_EQ(np.getKeyDownCount(60), 0u);
    EXPECT_EQ(np.getSustainedCount(60), 1u);
    EXPECT_EQ(np.getPressedCount(), 1u);

    np.setHoldPedal(false);
    EXPECT_EQ(events, (std::vector<Event>{on(60, 90), off(60, 127)}));
    EXPECT_EQ(np.getSustainedCount(60), 0u);

    // Nothing is left to replay on a second pedal up.
    np.setHoldPedal(true);
    np.setHoldPedal(false);
    EXPECT_EQ(events.size(), 2u);
}

TEST_F(NoteProcessorTest, PedalUpReplaysEachDeferredNoteOffOnce)
{
    np.setHoldPedal(true);
    np.noteOn(60, 80);
    np.noteOff(60, 1);
    np.noteOn(60, 81); // struck again under the pedal: a second voice
    np.noteOff(60, 2);
    np.noteOn(64, 82);
    np.noteOff(64, 3);
    np.noteOn(67, 83); // still held by the finger at pedal up
    events.clear();

    np.setHoldPedal(false);
    // In key order, each deferred note-off once: 60 twice (its second
    // replay finds the key no longer listed), then 64; 67 is named as the
    // key still held last.
    EXPECT_EQ(events, (std::vector<Event>{off(60, 127, 67, 81), off(60, 127), off(64, 127, 67, 82)}));
    EXPECT_EQ(np.getKeyDownCount(67), 1u);
    EXPECT_EQ(np.getPressedCount(), 1u);

    // The finger lets go after the pedal: released at once.
    np.noteOff(67, 5);
    EXPECT_EQ(events.back(), off(67, 5));
}

TEST_F(NoteProcessorTest, AllNotesOffReleasesDownAndHeldKeys)
{
    np.noteOn(60, 80);
    np.noteOn(60, 81);
    np.setHoldPedal(true);
    np.noteOn(62, 82);
    np.noteOff(62, 0);
    np.noteOn(64, 83);
    events.clear();

    np.allNotesOff();
    // Every down or held key: 60 twice (struck twice), 62 once, 64 once.
    ASSERT_EQ(events.size(), 4u);
    for (const Event& e : events)
    {
        EXPECT_FALSE(e.on);
        EXPECT_EQ(e.velocity, 64);
    }
    EXPECT_EQ(events[0].key, 60);
    EXPECT_EQ(events[1].key, 60);
    EXPECT_EQ(events[2].key, 62);
    EXPECT_EQ(events[3].key, 64);
    EXPECT_FALSE(np.getHoldPedal());
    EXPECT_EQ(np.getPressedCount(), 0u);
    for (int k = 0; k < 128; ++k)
    {
        EXPECT_EQ(np.getKeyDownCount(static_cast<uint8_t>(k)), 0u);
        EXPECT_EQ(np.getSustainedCount(static_cast<uint8_t>(k)), 0u);
    }

    // The pedal is up afterwards: note-offs go straight through.
    np.noteOn(70, 1);
    np.noteOff(70, 2);
    EXPECT_EQ(events.back(), off(70, 2));
}

TEST_F(NoteProcessorTest, ClearForgetsWithoutCallbacks)
{
    np.noteOn(60, 80);
    np.setHoldPedal(true);
    np.noteOff(60, 0);
    events.clear();
    np.clear();
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(np.getHoldPedal());
    EXPECT_EQ(np.getPressedCount(), 0u);
    EXPECT_EQ(np.getSustainedCount(60), 0u);
    np.setHoldPedal(false);
    EXPECT_TRUE(events.empty());
}

TEST_F(NoteProcessorTest, KeysAbove127AreRefusedWithALogLine)
{
    testing::internal::CaptureStdout();
    EXPECT_FALSE(np.noteOn(128, 100));
    EXPECT_FALSE(np.noteOff(200, 0));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(events.empty());
    EXPECT_NE(log.find("noteOn@"), std::string::npos) << log;
    EXPECT_NE(log.find("noteOff@"), std::string::npos) << log;
    EXPECT_NE(log.find("Invalid key 128, expected 0-127"), std::string::npos) << log;
    EXPECT_EQ(np.getPressedCount(), 0u);
    EXPECT_TRUE(np.noteOn(127, 1));
}

TEST(NoteProcessor, FullKeyboardFitsAndEmptyCallbacksAreSkipped)
{
    NoteProcessor np{nullptr, nullptr};
    for (int k = 0; k < 128; ++k)
        EXPECT_TRUE(np.noteOn(static_cast<uint8_t>(k), 100));
    EXPECT_EQ(np.getPressedCount(), 128u);
    for (int k = 127; k >= 0; --k)
        EXPECT_TRUE(np.noteOff(static_cast<uint8_t>(k), 0));
    EXPECT_EQ(np.getPressedCount(), 0u);
}
