// The modulators and the wave loops rendered a stretch at a time give exactly
// what they give one sample at a time, wherever the stretches are cut.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "engine/envelope.h"
#include "engine/lfo.h"
#include "engine/tables.h"
#include "engine/waveKernels.h"

using namespace k1lib;

namespace
{
constexpr float kRate = 49920.0f;

struct EnvCase
{
    uint32_t delay;
    uint8_t attack, decay, sustain, release;
    int releaseAt; // sample of the note-off
};
} // namespace

TEST(SpanRendering, EnvelopesInAnySpansEqualSampleBySample)
{
    std::vector<EnvCase> cases = {{0, 0, 0, 100, 10, 3000},      {500, 30, 40, 40, 30, 20000}, {0, 60, 100, 97, 50, 9000},
                                  {200, 10, 70, 0, 0, 100},       {0, 0, 20, 5, 40, 40000},     {300, 40, 30, 60, 20, 150},
                                  {7000, 20, 20, 20, 20, 50000}, {0, 5, 5, 99, 5, 2500}};
    std::mt19937 random(3);
    // Short segments end at every position of a group of four.
    for (int k = 0; k < 60; ++k)
        cases.push_back({static_cast<uint32_t>(random() % 300), static_cast<uint8_t>(random() % 30),
                         static_cast<uint8_t>(random() % 40), static_cast<uint8_t>(random() % 101),
                         static_cast<uint8_t>(random() % 30), static_cast<int>(random() % 30000)});
    for (const EnvCase& c : cases)
    {
        const float decayTime = envDecayTime(c.decay);
        const float sustain = envSustainLevel(c.sustain);
        const float level = 0.75f;
        Env single, spans;
        single.init(c.delay, envAttackTime(c.attack));
        spans.init(c.delay, envAttackTime(c.attack));
        std::vector<float> got(64);
        int i = 0;
        int finishedSingle = 0, finishedSpans = 0;
        while (i < 200000)
        {
            int n = 1 + static_cast<int>(random() % 64);
            if (i < c.releaseAt && i + n > c.releaseAt)
                n = c.releaseAt - i; // a note-off closes the span, as in the engine
            if (i == c.releaseAt)
            {
                single.release(envDecayTime(c.release), kRate);
                spans.release(envDecayTime(c.release), kRate);
            }
            // Finished by a note-off alone (in the delay): done from this sample on.
            if (finishedSpans == 0 && spans.isFinished())
                finishedSpans = i + 1;
            const Env::Span span = spans.render(got.data(), n, level, decayTime, sustain, kRate);
            for (int j = 0; j < n; ++j)
            {
                const float e = single.process(decayTime, sustain, kRate);
                ASSERT_EQ(single.isDelaying(), j < span.delayed) << "sample " << i + j;
                if (!single.isDelaying())
                {
                    ASSERT_EQ(got[j], e * level) << "sample " << i + j << " stage " << single.getStage();
                }
                if (finishedSingle == 0 && single.isFinished())
                    finishedSingle = i + j + 1;
            }
            if (span.finishedAt > 0 && finishedSpans == 0)
                finishedSpans = i + span.finishedAt;
            ASSERT_EQ(spans.getStage(), single.getStage()) << "after sample " << i + n;
            i += n;
        }
        EXPECT_EQ(finishedSpans, finishedSingle);
        EXPECT_TRUE(single.isFinished()) << "delay " << c.delay << " release " << int(c.release);
    }
}

TEST(SpanRendering, AnUnheardLfoMovesAsIfItHadBeenHeard)
{
    std::mt19937 random(8);
    for (uint32_t shape = 0; shape < 4; ++shape)
    {
        SinglePreset single;
        single.lfoShape = shape;
        single.lfoSpeed = 40 + 15 * shape;
        single.vibWheelMode = 1;
        Lfo heard, unheard;
        heard.seedRandom(99);
        unheard.seedRandom(99);
        std::vector<float> out(64);
        for (int round = 0; round < 3000; ++round)
        {
            const int n = 1 + static_cast<int>(random() % 64);
            const float wheel = round % 500 < 250 ? 0.0f : 0.7f;
            const bool listening = round % 7 == 0;
            const float last = unheard.render(single, kRate, wheel, n, listening ? out.data() : nullptr);
            float expected = 0.0f;
            for (int j = 0; j < n; ++j)
            {
                expected = heard.process(single, kRate, wheel);
                if (listening)
                {
                    ASSERT_EQ(out[j], expected) << "shape " << shape << " round " << round;
                }
            }
            ASSERT_EQ(last, expected);
            ASSERT_EQ(unheard.getPhase(), heard.getPhase()) << "shape " << shape << " round " << round;
            ASSERT_EQ(unheard.getRandomValue(), heard.getRandomValue());
        }
    }
}

TEST(SpanRendering, EveryWaveKernelMatchesThePlainFormula)
{
    constexpr uint32_t kLength = 256;
    std::mt19937 random(21);
    // A block followed by its first three samples, as the players get them.
    std::vector<int8_t> block(kLength + 3);
    for (uint32_t i = 0; i < kLength; ++i)
        block[i] = static_cast<int8_t>(static_cast<int>(random() % 256) - 128);
    for (uint32_t g = 0; g < 3; ++g)
        block[kLength + g] = block[g];
    const uint32_t scale = static_cast<uint32_t>((1ull << 32) / kLength);
    const uint32_t shift = 24;
    const float inverse = 1.0f / static_cast<float>(scale);
    auto wave = [&](uint32_t phase) {
        const uint32_t index = phase >> shift;
        const float frac = static_cast<float>(phase - (index << shift)) * inverse;
        const float s0 = block[index];
        const float s1 = block[(index + 1) & (kLength - 1)];
        return (s0 + frac * (s1 - s0)) * 0.0078125f;
    };

    ASSERT_GE(waveKernelVariantCount(), 1);
    for (int round = 0; round < 400; ++round)
    {
        const int n = 1 + static_cast<int>(random() % 64);
        WaveCursor cursor;
        cursor.data = block.data();
        cursor.phase = static_cast<uint32_t>(random());
        cursor.increment = round % 5 == 0 ? static_cast<uint32_t>(random()) : static_cast<uint32_t>(random() % 0x4000000);
        // Every other round the pitch glides: the increment moves by a step,
        // up or down, small or wrapping.
        if (round % 2 == 1)
            cursor.step = round % 7 == 0 ? static_cast<uint32_t>(random()) : static_cast<uint32_t>(random() % 0x20000) - 0x10000u;
        cursor.shift = shift;
        cursor.inverseScale = inverse;
        std::vector<float> amplitude(64), mix(64), start(64);
        for (int i = 0; i < 64; ++i)
        {
            amplitude[i] = static_cast<float>(random() % 1000) / 997.0f;
            mix[i] = static_cast<float>(random() % 1000) / 999.0f;
            start[i] = static_cast<float>(static_cast<int>(random() % 2000) - 1000) / 1003.0f;
        }
        for (int oneAmplitude = 0; oneAmplitude < 2; ++oneAmplitude)
        {
            for (int oneMix = 0; oneMix < 2; ++oneMix)
            {
                std::vector<float> expected = start;
                uint32_t phase = cursor.phase;
                uint32_t increment = cursor.increment;
                for (int i = 0; i < n; ++i, phase += increment, increment += cursor.step)
                    expected[i] += ((oneMix ? mix[0] : mix[i]) * wave(phase)) * (oneAmplitude ? amplitude[0] : amplitude[i]);
                for (int v = 0; v < waveKernelVariantCount(); ++v)
                {
                    std::vector<float> got = start;
                    waveKernelVariant(v).mix[oneAmplitude][oneMix](got.data(), cursor, amplitude.data(), mix.data(), n);
                    ASSERT_EQ(std::memcmp(got.data(), expected.data(), sizeof(float) * 64), 0)
                        << waveKernelVariant(v).name << " round " << round;
                }
            }
        }
        for (int v = 0; v < waveKernelVariantCount(); ++v)
        {
            std::vector<float> got(64, 5.0f);
            waveKernelVariant(v).read(got.data(), cursor, n);
            uint32_t phase = cursor.phase;
            uint32_t increment = cursor.increment;
            for (int i = 0; i < n; ++i, phase += increment, increment += cursor.step)
                ASSERT_EQ(got[i], wave(phase)) << waveKernelVariant(v).name << " round " << round;
            ASSERT_EQ(got[n < 64 ? n : 63], n < 64 ? 5.0f : got[63]); // nothing past n
        }
    }
}
