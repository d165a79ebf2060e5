#include <gtest/gtest.h>

#include <cstdint>

#include "engine/envelope.h"
#include "engine/tables.h"

using namespace k1lib;

namespace
{
constexpr float kRate = 49920.0f;

uint32_t delaySamples(uint8_t delay)
{
    return static_cast<uint32_t>(envDelayTime(delay) * kRate);
}

// Runs the envelope until it leaves the given stage; returns the calls made.
uint64_t runWhile(Env& env, uint32_t stage, float decayTime, float sustain, uint64_t limit)
{
    uint64_t calls = 0;
    while (env.getStage() == stage && calls < limit)
    {
        env.process(decayTime, sustain, kRate);
        ++calls;
    }
    return calls;
}
} // namespace

TEST(EnvelopeTiming, Attack60PeaksAfterItsTableTime)
{
    Env env;
    env.init(0, envAttackTime(60));
    uint64_t n = 0;
    float out = 0.0f;
    while (out < 0.999f && n < 10 * 49920)
    {
        out = env.process(envDecayTime(50), 1.0f, kRate);
        ++n;
    }
    EXPECT_NEAR(static_cast<double>(n) / kRate, 1.4854, 1.4854 * 0.01);
}

TEST(EnvelopeTiming, Release50FromFullLevelEndsAfterItsTableTime)
{
    Env env;
    env.init(0, 0.0f);
    // Attack 0 and sustain 1.0: full level at once, held.
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(env.process(envDecayTime(50), 1.0f, kRate), 1.0f);
    EXPECT_EQ(env.getStage(), Env::StageSustain);

    env.release(envDecayTime(50), kRate);
    ASSERT_EQ(env.getStage(), Env::StageRelease);
    const uint64_t n = runWhile(env, Env::StageRelease, envDecayTime(50), 1.0f, 10 * 49920);
    EXPECT_TRUE(env.isFinished());
    EXPECT_NEAR(static_cast<double>(n) / kRate, 1.406, 1.406 * 0.01);
    EXPECT_LE(env.process(envDecayTime(50), 1.0f, kRate), 0.001f);
}

TEST(EnvelopeTiming, DelayEndsWhenTheCounterReachesIt)
{
    Env delayed;
    delayed.init(delaySamples(50), 0.0f);
    uint64_t firstSound = 0;
    while (delayed.process(1.0f, 1.0f, kRate) == 0.0f && firstSound < 49920)
        ++firstSound;
    EXPECT_NEAR(static_cast<double>(firstSound) / kRate, 0.3007, 0.3007 * 0.001);

    // A delay of 0 starts at once: the first sample is already full level
    // with attack 0, and an attack has begun with any other attack time.
    Env immediate;
    immediate.init(delaySamples(0), 0.0f);
    EXPECT_EQ(immediate.process(1.0f, 1.0f, kRate), 1.0f);

    Env attacking;
    attacking.init(0, envAttackTime(40));
    attacking.process(1.0f, 1.0f, kRate);
    EXPECT_EQ(attacking.getStage(), Env::StageAttack);
    EXPECT_GT(attacking.process(1.0f, 1.0f, kRate), 0.0f);
}

TEST(EnvelopeLevels, SustainHoldsTheTableLevel)
{
    for (uint8_t sustain : {0, 10, 31, 50, 75, 93, 99})
    {
        Env env;
        env.init(0, envAttackTime(20));
        const float level = envSustainLevel(sustain);
        runWhile(env, Env::StageDelay, envDecayTime(20), level, 10);
        runWhile(env, Env::StageAttack, envDecayTime(20), level, 49920);
        runWhile(env, Env::StageDecay, envDecayTime(20), level, 49920);
        ASSERT_EQ(env.getStage(), Env::StageSustain);
        const float held = env.process(envDecayTime(20), level, kRate);
        EXPECT_NEAR(held, level, level * 0.001f) << static_cast<int>(sustain);
        EXPECT_EQ(env.process(envDecayTime(20), level, kRate), held);
    }
}

// Long decays to high sustain levels change the level by far less than a
// float's resolution per sample; they must still arrive, and every decay must
// take its table time however far it falls.
TEST(EnvelopeTiming, EveryDecayReachesItsSustainInItsTableTime)
{
    struct Pair
    {
        uint8_t decay;
        uint8_t sustain;
    };
    const Pair pairs[] = {{0, 0},   {0, 11},  {0, 50},  {0, 99},  {1, 0},   {20, 5},
                          {50, 50}, {70, 0},  {100, 93}, {100, 97}, {100, 99}, {100, 0}};
    for (const Pair& p : pairs)
    {
        const float decayTime = envDecayTime(p.decay);
        const float level = envSustainLevel(p.sustain);
        Env env;
        env.init(0, 0.0f);
        runWhile(env, Env::StageDelay, decayTime, level, 10);
        runWhile(env, Env::StageAttack, decayTime, level, 10);
        ASSERT_EQ(env.getStage(), Env::StageDecay);

        const uint64_t limit = static_cast<uint64_t>(decayTime * kRate * 1.1f) + 10;
        uint64_t n = 0;
        float out = 1.0f;
        while (out > level && n < limit)
        {
            out = env.process(decayTime, level, kRate);
            ++n;
        }
        const double expected = static_cast<double>(decayTime) * kRate;
        EXPECT_NEAR(static_cast<double>(n), expected, expected * 0.01)
            << "decay " << static_cast<int>(p.decay) << " sustain " << static_cast<int>(p.sustain);
        EXPECT_NEAR(out, level, level * 0.04f);
    }
}

TEST(EnvelopeStages, AttackZeroJumpsToFullLevelThenDecays)
{
    Env env;
    env.init(3, 0.0f);
    const float decayTime = envDecayTime(10);
    const float level = envSustainLevel(50);
    EXPECT_EQ(env.process(decayTime, level, kRate), 0.0f);
    EXPECT_EQ(env.process(decayTime, level, kRate), 0.0f);
    EXPECT_EQ(env.process(decayTime, level, kRate), 1.0f);
    EXPECT_EQ(env.process(decayTime, level, kRate), 1.0f);
    EXPECT_EQ(env.getStage(), Env::StageDecay);
    EXPECT_LT(env.process(decayTime, level, kRate), 1.0f);
}

TEST(EnvelopeStages, FullSustainHoldsTheLevelTheAttackReached)
{
    Env env;
    env.init(0, envAttackTime(30));
    runWhile(env, Env::StageDelay, 1.0f, 1.0f, 10);
    runWhile(env, Env::StageAttack, 1.0f, 1.0f, 49920);
    const float peak = env.process(1.0f, 1.0f, kRate);
    EXPECT_EQ(env.getStage(), Env::StageSustain);
    EXPECT_GE(peak, 0.999f);
    EXPECT_LT(peak, 1.0f);
    EXPECT_EQ(env.process(1.0f, 1.0f, kRate), peak);
}

TEST(EnvelopeStages, ReleaseStartsFromTheLevelReached)
{
    // Half-way through the attack the heard level is 1 - x, not x.
    Env env;
    env.init(0, envAttackTime(60));
    float out = 0.0f;
    for (int i = 0; i < 20000; ++i)
        out = env.process(1.0f, 1.0f, kRate);
    ASSERT_EQ(env.getStage(), Env::StageAttack);
    ASSERT_GT(out, 0.2f);
    ASSERT_LT(out, 0.9f);
    env.release(envDecayTime(40), kRate);
    EXPECT_EQ(env.getStage(), Env::StageRelease);
    const float next = env.process(1.0f, 1.0f, kRate);
    EXPECT_LT(next, out);
    EXPECT_NEAR(next, out, out * 0.001f);

    // From the sustain level.
    Env held;
    held.init(0, 0.0f);
    for (int i = 0; i < 2000; ++i)
        held.process(envDecayTime(0), 0.5f, kRate);
    ASSERT_EQ(held.getStage(), Env::StageSustain);
    held.release(envDecayTime(30), kRate);
    const float first = held.process(1.0f, 1.0f, kRate);
    EXPECT_LT(first, 0.5f);
    EXPECT_GT(first, 0.49f);
    // The release time is the time to silence from whatever level it starts.
    const uint64_t n = runWhile(held, Env::StageRelease, 1.0f, 1.0f, 49920);
    EXPECT_NEAR(static_cast<double>(n + 1) / kRate, envDecayTime(30), envDecayTime(30) * 0.01);
}

TEST(EnvelopeStages, ReleaseInTheDelayOrAtZeroTimeFinishesAtOnce)
{
    Env delayed;
    delayed.init(delaySamples(40), envAttackTime(10));
    delayed.process(1.0f, 1.0f, kRate);
    delayed.release(envDecayTime(60), kRate);
    EXPECT_TRUE(delayed.isFinished());
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(delayed.process(1.0f, 1.0f, kRate), 0.0f);

    Env sounding;
    sounding.init(0, 0.0f);
    sounding.process(1.0f, 1.0f, kRate);
    sounding.release(0.0f, kRate);
    EXPECT_TRUE(sounding.isFinished());
    EXPECT_FLOAT_EQ(sounding.process(1.0f, 1.0f, kRate), 0.001f);

    // A second note-off on a finished envelope stays silent.
    sounding.release(envDecayTime(50), kRate);
    EXPECT_LE(sounding.process(1.0f, 1.0f, kRate), 0.001f);
    EXPECT_TRUE(sounding.isFinished());
}
