// Smoothing and change reporting of the 209 automation parameters.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "engine/parameterManager.h"
#include "patch/parameter.h"

using namespace k1lib;

namespace
{
std::vector<uint32_t> changedList(const ParameterManager& m)
{
    std::vector<uint32_t> list;
    for (uint32_t i = 0; i < m.getChangedCount(); ++i)
        list.push_back(m.getChanged(i));
    return list;
}

// A manager that has reported its construction and sits idle.
std::unique_ptr<ParameterManager> makeIdle()
{
    auto m = std::make_unique<ParameterManager>();
    m->process();
    m->process();
    return m;
}
} // namespace

TEST(ParameterManager, ConstructionQueuesEveryDefaultOnce)
{
    ParameterManager m;
    std::vector<uint32_t> all;
    for (uint32_t p = 0; p < kParamCount; ++p)
        all.push_back(p);
    EXPECT_EQ(changedList(m), all);
    EXPECT_FALSE(m.isIdle());

    EXPECT_TRUE(m.process());
    EXPECT_EQ(changedList(m), all);
    for (uint32_t p = 0; p < kParamCount; ++p)
    {
        const CParam& param = g_params[p];
        EXPECT_FLOAT_EQ(m.getCurrent(p), param.defaultValue) << p;
        EXPECT_FLOAT_EQ(m.getReal(p), param.defaultValue) << p;
        EXPECT_FLOAT_EQ(m.getNormalized(p), (param.defaultValue - param.min) * param.invRange) << p;
    }
    EXPECT_EQ(m.getRampCount(), 0u);

    EXPECT_FALSE(m.process());
    EXPECT_EQ(m.getChangedCount(), 0u);
    EXPECT_TRUE(m.isIdle());
}

TEST(ParameterManager, RampTakesExactlyTheStepsOfOneTenthSecond)
{
    auto m = makeIdle();
    const uint32_t p = Param_SourceS1Mute; // 0..1, default 0
    EXPECT_TRUE(m->setVSTParamReal(p, 1.0f, true));
    EXPECT_EQ(m->getNormalized(p), 1.0f);
    float previous = 0.0f;
    for (uint32_t step = 1; step < ParameterManager::kDefaultStepsPerRamp; ++step)
    {
        ASSERT_TRUE(m->process());
        ASSERT_EQ(changedList(*m), std::vector<uint32_t>{p});
        ASSERT_NEAR(m->getCurrent(p) - previous, 1.0f / 4992.0f, 1e-6f) << step;
        ASSERT_NEAR(m->getCurrent(p), step / 4992.0f, 1e-3f) << step;
        previous = m->getCurrent(p);
        ASSERT_LT(m->getCurrent(p), 1.0f) << step;
    }
    EXPECT_TRUE(m->process());
    EXPECT_EQ(m->getCurrent(p), 1.0f);
    EXPECT_EQ(m->getRampCount(), 0u);
    EXPECT_EQ(changedList(*m), std::vector<uint32_t>{p});
    EXPECT_FALSE(m->process());
    EXPECT_TRUE(m->isIdle());
}

TEST(ParameterManager, UnrampedChangeLandsAtTheNextStep)
{
    auto m = makeIdle();
    EXPECT_TRUE(m->setVSTParam(Param_Volume, 0.0f, false));
    EXPECT_EQ(m->getReal(Param_Volume), 1.0f);
    EXPECT_EQ(m->getCurrent(Param_Volume), 100.0f); // nothing moves before the step
    EXPECT_TRUE(m->process());
    EXPECT_EQ(m->getCurrent(Param_Volume), 1.0f);
    EXPECT_EQ(changedList(*m), std::vector<uint32_t>{Param_Volume});
    EXPECT_FALSE(m->process());
    EXPECT_EQ(m->getChangedCount(), 0u);
}

TEST(ParameterManager, RepeatedAndOverlappingWrites)
{
    auto m = makeIdle();
    EXPECT_FALSE(m->setVSTParam(Param_SourceS1Fine, 0.5f, true)); // already the default
    EXPECT_FALSE(m->setVSTParamReal(Param_SourceS1Fine, 0.0f, true));
    EXPECT_TRUE(m->isIdle());

    // Two writes before a step: one entry, heading for the second value.
    EXPECT_TRUE(m->setVSTParamReal(Param_SourceS1Fine, 50.0f, true));
    EXPECT_TRUE(m->setVSTParamReal(Param_SourceS1Fine, -50.0f, true));
    EXPECT_EQ(m->getRampCount(), 1u);
    for (uint32_t step = 0; step < 4992; ++step)
        m->process();
    EXPECT_EQ(m->getCurrent(Param_SourceS1Fine), -50.0f);
    EXPECT_EQ(m->getNormalized(Param_SourceS1Fine), 0.0f);
    EXPECT_FALSE(m->process());

    // A new target mid-ramp restarts from where the value is.
    EXPECT_TRUE(m->setVSTParamReal(Param_SourceS1Fine, 50.0f, true));
    for (uint32_t step = 0; step < 2496; ++step)
        m->process();
    const float halfway = m->getCurrent(Param_SourceS1Fine);
    EXPECT_NEAR(halfway, 0.0f, 1e-3f);
    EXPECT_TRUE(m->setVSTParamReal(Param_SourceS1Fine, 10.0f, false));
    EXPECT_EQ(m->getRampCount(), 1u);
    EXPECT_TRUE(m->process());
    EXPECT_EQ(m->getCurrent(Param_SourceS1Fine), 10.0f);
    EXPECT_FALSE(m->process());

    // setIntParam moves only where the value is heading.
    m->setIntParam(Param_SourceS1Fine, 20.0f, false);
    EXPECT_EQ(m->getReal(Param_SourceS1Fine), 10.0f);
    EXPECT_TRUE(m->process());
    EXPECT_EQ(m->getCurrent(Param_SourceS1Fine), 20.0f);
}

TEST(ParameterManager, ValuesStayInRange)
{
    auto m = makeIdle();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(m->setVSTParam(Param_PitchBendDepth, 1.5f, false));
    EXPECT_EQ(m->getNormalized(Param_PitchBendDepth), 1.0f);
    EXPECT_EQ(m->getReal(Param_PitchBendDepth), 12.0f);
    EXPECT_TRUE(m->setVSTParam(Param_PitchBendDepth, std::nanf(""), false));
    EXPECT_EQ(m->getReal(Param_PitchBendDepth), 2.0f); // the default
    EXPECT_TRUE(m->setVSTParam(Param_PitchBendDepth, -inf, false));
    EXPECT_EQ(m->getNormalized(Param_PitchBendDepth), 0.0f);
    EXPECT_TRUE(m->setVSTParamReal(Param_Volume, 0.0f, false));
    EXPECT_EQ(m->getNormalized(Param_Volume), 0.0f);
    EXPECT_TRUE(m->setVSTParamReal(Param_Volume, std::nanf(""), false));
    EXPECT_EQ(m->getNormalized(Param_Volume), 1.0f);
    m->setIntParam(Param_Volume, inf, false);
    m->process();
    EXPECT_EQ(m->getCurrent(Param_Volume), 100.0f);

    // Every parameter, whatever it is handed.
    for (uint32_t p = 0; p < kParamCount; ++p)
    {
        for (float x : {std::nanf(""), inf, -inf, -1000.0f, 1000.0f})
        {
            m->setVSTParam(p, x, true);
            ASSERT_GE(m->getNormalized(p), 0.0f) << p;
            ASSERT_LE(m->getNormalized(p), 1.0f) << p;
            m->setVSTParamReal(p, x, false);
            ASSERT_GE(m->getNormalized(p), 0.0f) << p;
            ASSERT_LE(m->getNormalized(p), 1.0f) << p;
        }
    }
    m->process();
    for (uint32_t p = 0; p < kParamCount; ++p)
    {
        ASSERT_GE(m->getCurrent(p), g_params[p].min) << p;
        ASSERT_LE(m->getCurrent(p), g_params[p].max) << p;
    }
}

TEST(ParameterManager, RefusesWhatIsNoParameterOrRate)
{
    auto m = makeIdle();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(m->setVSTParam(Param_Count, 0.5f, false));
    EXPECT_FALSE(m->setVSTParamReal(1000, 0.5f, false));
    m->setIntParam(Param_Count, 0.5f, false);
    EXPECT_FALSE(m->setSamplerate(0.0f));
    EXPECT_FALSE(m->setSamplerate(std::nanf("")));
    EXPECT_FALSE(m->setSamplerate(-44100.0f));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("setVSTParam@"), std::string::npos) << out;
    EXPECT_NE(out.find("setVSTParamReal@"), std::string::npos) << out;
    EXPECT_NE(out.find("setIntParam@"), std::string::npos) << out;
    EXPECT_NE(out.find("setSamplerate@"), std::string::npos) << out;
    EXPECT_TRUE(m->isIdle());
    EXPECT_EQ(m->getStepsPerRamp(), 4992u);
    EXPECT_EQ(m->getNormalized(Param_Count), 0.0f);

    EXPECT_TRUE(m->setSamplerate(44100.0f));
    EXPECT_EQ(m->getStepsPerRamp(), 4410u);
}

// Many parameters ramping over different lengths, started at different
// times, against a plain model: every ramping parameter steps exactly once
// per call and the changed ring lists exactly those that stepped.
TEST(ParameterManager, ManyRampsMatchAPlainModel)
{
    auto m = makeIdle();
    ASSERT_TRUE(m->setSamplerate(100.0f)); // ten steps per ramp
    struct Model
    {
        float current, target, delta;
        uint32_t stepsLeft;
    };
    std::vector<Model> model(kParamCount);
    for (uint32_t p = 0; p < kParamCount; ++p)
        model[p] = {m->getCurrent(p), m->getCurrent(p), 0.0f, 0};

    std::mt19937 random(5);
    for (int round = 0; round < 3000; ++round)
    {
        const int writes = static_cast<int>(random() % 6);
        for (int w = 0; w < writes; ++w)
        {
            const uint32_t p = random() % kParamCount;
            const float x = static_cast<float>(random() % 11) / 10.0f;
            const bool ramp = random() % 3 != 0;
            const CParam& param = g_params[p];
            if (!m->setVSTParam(p, x, ramp))
                continue;
            Model& e = model[p];
            const float real = x * param.range + param.min;
            if (e.target == real)
                continue;
            e.target = real;
            e.delta = ramp ? (real - e.current) * (1.0f / 10.0f) : real - e.current;
            e.stepsLeft = ramp ? 10 : 1;
        }
        std::set<uint32_t> expected;
        for (uint32_t p = 0; p < kParamCount; ++p)
        {
            Model& e = model[p];
            if (e.stepsLeft == 0)
                continue;
            expected.insert(p);
            e.current += e.delta;
            if (--e.stepsLeft == 0)
                e.current = e.target;
        }
        ASSERT_EQ(m->process(), !expected.empty());
        const std::vector<uint32_t> listed = changedList(*m);
        ASSERT_EQ(std::set<uint32_t>(listed.begin(), listed.end()), expected) << round;
        ASSERT_EQ(listed.size(), expected.size()) << round;
        for (uint32_t p = 0; p < kParamCount; ++p)
            ASSERT_EQ(m->getCurrent(p), model[p].current) << p << " in round " << round;
    }
}

// Ramps of random lengths and directions stepped two ways: one manager step
// by step, the other in the quiet runs the engine takes between samples that
// matter. Both hold the same values after every run, the traced values are
// those of the single steps, and no whole-number parameter rounds to another
// value, nor does any ramp end, inside a quiet run.
TEST(ParameterManager, QuietRunsEqualSingleStepsAndCrossNoWholeNumber)
{
    auto single = makeIdle();
    auto batched = makeIdle();
    std::mt19937 random(11);
    uint64_t quietSteps = 0;
    for (int round = 0; round < 3000; ++round)
    {
        if (round % 300 == 0)
        {
            const float rate = static_cast<float>(2000 + random() % 50000);
            ASSERT_TRUE(single->setSamplerate(rate));
            ASSERT_TRUE(batched->setSamplerate(rate));
        }
        for (int w = random() % 8 == 0 ? static_cast<int>(random() % 4) : 0; w > 0; --w)
        {
            const uint32_t p = random() % kParamCount;
            const float x = static_cast<float>(random() % 1001) / 1000.0f;
            const bool ramp = random() % 5 != 0;
            single->setVSTParam(p, x, ramp);
            batched->setVSTParam(p, x, ramp);
        }
        const uint32_t limit = 1 + random() % ParameterManager::kMaxQuietSteps;
        const uint32_t quiet = batched->getQuietSteps(limit);
        ASSERT_LE(quiet, limit);
        if (quiet == 0)
        {
            single->process();
            batched->process();
            continue;
        }
        quietSteps += quiet;
        std::vector<float> before(kParamCount), traced(quiet);
        for (uint32_t p = 0; p < kParamCount; ++p)
            before[p] = single->getCurrent(p);
        batched->traceSteps(Param_SourceMix12, quiet, traced.data());
        const bool mixRamps = batched->isRamping(Param_SourceMix12);
        for (uint32_t j = 0; j < quiet; ++j)
        {
            single->process();
            for (uint32_t p = 0; p < kParamCount; ++p)
            {
                if (g_params[p].step != 0.0f)
                {
                    ASSERT_EQ(std::round(single->getCurrent(p)), std::round(before[p])) << p << " round " << round;
                }
            }
            if (mixRamps)
            {
                ASSERT_EQ(traced[j], single->getCurrent(Param_SourceMix12));
            }
        }
        batched->advance(quiet);
        for (uint32_t p = 0; p < kParamCount; ++p)
            ASSERT_EQ(batched->getCurrent(p), single->getCurrent(p)) << p << " round " << round;
        ASSERT_EQ(changedList(*batched), changedList(*single)) << round;
    }
    EXPECT_GT(quietSteps, 1000u); // the runs are not all cut short
}
