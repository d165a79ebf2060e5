// Pitch of a plain sine single at the engine's rate: keys, bend, tracking.

#include <gtest/gtest.h>

#include "tests/engine/engineTestSupport.h"

using namespace k1test;

namespace
{
constexpr double kRate = 49920.0;

double playAndMeasure(TestEngine& t, uint8_t key, std::vector<k1lib::SMidiEvent> extra = {})
{
    std::vector<k1lib::SMidiEvent> events = std::move(extra);
    events.push_back(midi(0x90, key, 100, 0));
    const auto out = t.render(static_cast<int>(kRate) + 2000, events);
    return measureFrequency(out[0], 1000, out[0].size(), kRate);
}
} // namespace

TEST(EnginePitch, SineKeysPlayTheirEqualTemperedFrequency)
{
    TestEngine t;
    ASSERT_TRUE(t.engine->setSingle(0, plainSingle()));
    EXPECT_NEAR(playAndMeasure(t, 69), 440.0, 0.05);
}

