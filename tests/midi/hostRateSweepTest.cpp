// Host rates from 44.1 to 192 kHz with fixed and random block sizes: every
// block finishes, a held note renders the same however the host cuts its
// blocks (no engine sample lost or repeated), every event acts exactly once
// within one engine sample of its host time, and notes struck and released
// at random end in exact silence.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/midi/midiTestSupport.h"

using namespace k1test;

namespace
{
const float kRates[] = {44100.0f, 48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f};

struct Pattern
{
    const char* name;
    int fixed; // 0: random between low and high
    int low;
    int high;
};
const Pattern kPatterns[] = {{"512", 512, 0, 0}, {"1", 1, 0, 0}, {"1-4096", 0, 1, 4096}, {"1-16", 0, 1, 16}};

// Controller 17 moves the mix of the muted sources 3 and 4: each event is
// reported once, with a value that names it, and changes nothing audible.
std::vector<k1lib::SMidiEvent> heldNoteWithMarkers(int frames, uint32_t seed)
{
    std::vector<k1lib::SMidiEvent> events = {midi(0x90, 69, 100, 0)};
    Lcg random(seed);
    uint8_t value = 0;
    for (int t = random.between(0, 40); t < frames; t += random.between(1, 900))
        events.push_back(midi(0xB0, 17, static_cast<uint8_t>(value++ & 0x7F), t));
    return events;
}
} // namespace

TEST(HostRateSweep, HeldNoteAndEventsAreIndependentOfTheBlockSizes)
{
    for (float rate : kRates)
    {
        const int frames = static_cast<int>(rate * 0.2f);
        const std::vector<k1lib::SMidiEvent> events = heldNoteWithMarkers(frames, static_cast<uint32_t>(rate));
        std::vector<std::vector<float>> reference;
        for (const Pattern& pattern : kPatterns)
        {
            SCOPED_TRACE(std::to_string(rate) + " Hz, blocks " + pattern.name);
            RateHost host(rate);
            ASSERT_TRUE(host.engine->setSingle(0, plainSingle()));
            Lcg sizes(static_cast<uint32_t>(frames));
            const auto out = host.render(frames, events, [&] {
                return pattern.fixed > 0 ? pattern.fixed : sizes.between(pattern.low, pattern.high);
            });

            // Every marker once, in order, within one engine sample.
            const auto& changes = host.listener.changes;
            ASSERT_EQ(changes.size(), events.size() - 1);
            for (size_t i = 0; i < changes.size(); ++i)
            {
                const k1lib::SMidiEvent& e = events[i + 1];
                EXPECT_FLOAT_EQ(changes[i].value, static_cast<float>(e.data2) / 127.0f);
                const auto expected = static_cast<int64_t>(engineSampleOf(e.sampleOffset, rate));
                EXPECT_LE(std::llabs(static_cast<int64_t>(changes[i].sample) - expected), 1)
                    << "event at host frame " << e.sampleOffset;
            }

            // Every frame written, the note audible, and the same as with
            // blocks of 512.
            EXPECT_EQ(std::count(out[0].begin(), out[0].end(), -7.0f), 0);
            EXPECT_GT(rms(out[0], static_cast<size_t>(frames / 2), static_cast<size_t>(frames)), 0.05);
            if (reference.empty())
            {
                reference = out;
                continue;
            }
            float worst = 0.0f;
            for (size_t c = 0; c < out.size(); ++c)
                for (size_t i = 0; i < out[c].size(); ++i)
                    worst = std::max(worst, std::fabs(out[c][i] - reference[c][i]));
            EXPECT_LE(worst, 1e-5f);
        }
    }
}

TEST(HostRateSweep, RandomNotesEndInExactSilence)
{
    for (float rate : kRates)
    {
        SCOPED_TRACE(std::to_string(rate) + " Hz");
        RateHost host(rate);
        ASSERT_TRUE(host.engine->setSingle(0, plainSingle()));
        Lcg random(static_cast<uint32_t>(rate) + 1);
        const int playing = static_cast<int>(rate * 0.5f);
        std::vector<k1lib::SMidiEvent> events;
        for (int t = 0; t < playing; t += random.between(50, 3000))
        {
            const auto key = static_cast<uint8_t>(random.between(36, 96));
            const int length = random.between(1, 4000);
            events.push_back(midi(0x90, key, static_cast<uint8_t>(random.between(1, 127)), t));
            events.push_back(midi(0x80, key, 0, std::min(t + length, playing)));
        }
        std::stable_sort(events.begin(), events.end(),
                         [](const auto& a, const auto& b) { return a.sampleOffset < b.sampleOffset; });
        const int frames = playing + static_cast<int>(rate * 1.5f);
        const auto out = host.render(frames, events, [&] { return random.between(1, 4096); });
        EXPECT_EQ(host.engine->getMulti().getActiveVoiceCount(), 0u);
        const auto tail = static_cast<size_t>(rate * 0.25f);
        for (const auto& channel : out)
            EXPECT_TRUE(std::all_of(channel.end() - static_cast<std::ptrdiff_t>(tail), channel.end(),
                                    [](float v) { return v == 0.0f; }));
    }
}
