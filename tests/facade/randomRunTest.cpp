// The long random run: random MIDI on all sixteen channels, parameter
// automation, program changes, sysex dumps and state-chunk swaps, played
// into one facade. Every few seconds of audio the hold pedal goes up and all
// notes go off on every channel; once the longest release has passed the
// output must be exact zeros.
//
// DARVELLO_RANDOM_RUN_SECONDS sets the seconds of random play (the default
// suits a test run; hours of audio on demand), DARVELLO_RANDOM_RUN_SEED the
// seed (240 s of play take seconds; an hour of play, a few minutes).
// Every check that is not silent is logged with its time.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "patch/parameterEnum.h"
#include "plugin/plugin.h"
#include "tests/support/quietPluginListener.h"

namespace
{
constexpr float kRate = 44100.0f;
constexpr size_t kBlock = 256;
// The longest envelope release (164 s) with a margin.
constexpr double kLongestRelease = 170.0;

// Standard output to /dev/null while it lives: the engine logs every preset
// switch, and hours of them would fill the test's log.
struct QuietStdout
{
    int saved = -1;
    QuietStdout()
    {
        std::fflush(stdout);
        saved = dup(STDOUT_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(null);
    }
    ~QuietStdout()
    {
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }
};

double envSeconds(const char* name, double fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::atof(text) : fallback;
}

struct RandomRun
{
    k1test::QuietPluginListener listener;
    std::unique_ptr<k1lib::Plugin> plugin =
        std::make_unique<k1lib::Plugin>(&listener, k1lib::PluginType::Vst);
    std::mt19937 random;
    std::vector<float> left = std::vector<float>(kBlock);
    std::vector<float> right = std::vector<float>(kBlock);
    std::vector<std::vector<uint8_t>> states;
    double seconds = 0.0; // audio rendered

    explicit RandomRun(uint32_t seed) : random(seed) { plugin->setSampleRate(kRate); }

    int below(int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); }

    void shortMessage(uint8_t status, uint8_t d1, uint8_t d2)
    {
        k1lib::SMidiEvent e;
        e.status = status;
        e.data1 = d1;
        e.data2 = d2;
        e.sampleOffset = below(kBlock);
        plugin->addMidiEvent(e);
    }

    // True when the block is exact zeros.
    bool block()
    {
        float* outputs[2] = {left.data(), right.data()};
        plugin->process(outputs, 2, kBlock);
        seconds += kBlock / kRate;
        for (size_t i = 0; i < kBlock; ++i)
            if (left[i] != 0.0f || right[i] != 0.0f)
                return false;
        return true;
    }

    void randomEvent()
    {
        const auto channel = static_cast<uint8_t>(below(16));
        // Mostly notes; now and then something that changes what they play.
        const int what = below(1000);
        if (what < 450)
            shortMessage(0x90 | channel, static_cast<uint8_t>(below(128)), static_cast<uint8_t>(1 + below(127)));
        else if (what < 800)
            shortMessage(0x80 | channel, static_cast<uint8_t>(below(128)), static_cast<uint8_t>(below(128)));
        else if (what < 860)
            shortMessage(0xB0 | channel, 64, below(2) ? 127 : 0); // hold pedal
        else if (what < 900)
            shortMessage(0xB0 | channel, static_cast<uint8_t>(below(2) ? 1 : 7), static_cast<uint8_t>(below(128)));
        else if (what < 930)
            shortMessage(0xE0 | channel, static_cast<uint8_t>(below(128)), static_cast<uint8_t>(below(128)));
        else if (what < 950)
            shortMessage(0xD0 | channel, static_cast<uint8_t>(below(128)), 0);
        else if (what < 955)
            shortMessage(0xC0 | channel, static_cast<uint8_t>(below(128)), 0);
        else if (what < 993)
        {
            // Half of the automation goes to the multi's sections, which
            // change under sounding voices.
            const int param = below(2) ? below(k1lib::Param_Count)
                                       : k1lib::Param_MultiS1Single + below(k1lib::Param_Mode - k1lib::Param_MultiS1Single);
            // Automation often rests at either end of its range.
            const float value = below(4) == 0 ? static_cast<float>(below(2)) : static_cast<float>(below(1001)) / 1000.0f;
            plugin->setParameter(static_cast<k1lib::EParam>(param), value);
        }
        else if (what < 994)
            plugin->setCurrentPresetIndex(static_cast<size_t>(below(static_cast<int>(plugin->getPresetCount()))));
        else if (what < 997)
            randomDump();
        else
            swapState();
    }

    // A dump of a stored preset, now and then damaged, as incoming sysex.
    void randomDump()
    {
        k1lib::SMidiEvent e;
        const bool single = below(2) == 0;
        const bool ok = single ? plugin->getSingle(e.sysex, static_cast<size_t>(below(64)))
                               : plugin->getMulti(e.sysex, static_cast<size_t>(below(32)));
        if (!ok)
            return;
        if (below(4) == 0)
            e.sysex[8 + static_cast<size_t>(below(static_cast<int>(e.sysex.size()) - 9))] =
                static_cast<uint8_t>(below(128));
        // Stored in another slot of the internal memory.
        e.sysex[7] = static_cast<uint8_t>(single ? below(64) : 64 + below(32));
        plugin->addMidiEvent(e);
    }

    void swapState()
    {
        if (states.size() < 4 || below(2) == 0)
        {
            std::vector<uint8_t> state;
            if (plugin->getState(state))
            {
                if (states.size() < 4)
                    states.push_back(std::move(state));
                else
                    states[static_cast<size_t>(below(4))] = std::move(state);
            }
            return;
        }
        plugin->setState(states[static_cast<size_t>(below(static_cast<int>(states.size())))]);
    }

    // Hold pedal up and all notes off on every channel; true when, once the
    // longest release has passed, the output is exact zeros for a second.
    // (Zeros earlier prove nothing: a section at volume 0 is silent while
    // its voices still release.) Once every voice has ended the engine only
    // fills zeros, so the wait costs little unless something still sounds.
    bool allNotesOffFallsSilent()
    {
        for (uint8_t c = 0; c < 16; ++c)
        {
            shortMessage(0xB0 | c, 64, 0);
            shortMessage(0xB0 | c, 123, 0);
        }
        const double start = seconds;
        while (seconds - start < kLongestRelease)
            block();
        bool silent = true;
        while (seconds - start < kLongestRelease + 1.0)
            silent = block() && silent;
        return silent;
    }
};
} // namespace

TEST(RandomRun, EveryVoiceEndsAfterAllNotesOff)
{
    const double playSeconds = envSeconds("DARVELLO_RANDOM_RUN_SECONDS", 240.0);
    const auto seed = static_cast<uint32_t>(envSeconds("DARVELLO_RANDOM_RUN_SEED", 31.0));
    auto quiet = std::make_unique<QuietStdout>();
    RandomRun run(seed);
    int checks = 0;
    int stuck = 0;
    int multiChecks = 0;
    std::string where;
    double played = 0.0;
    while (played < playSeconds)
    {
        // A few seconds of random play, then the check.
        const int blocks = static_cast<int>((2.0 + run.below(6)) * kRate / kBlock);
        for (int b = 0; b < blocks; ++b)
        {
            const int events = run.below(4);
            for (int n = 0; n < events; ++n)
                run.randomEvent();
            run.block();
        }
        played += blocks * kBlock / kRate;
        ++checks;
        const bool multi = run.plugin->getPlayMode() == k1lib::PlayMode::Multi;
        multiChecks += multi ? 1 : 0;
        if (!run.allNotesOffFallsSilent())
        {
            ++stuck;
            std::fprintf(stderr, "random run: sound left %.0f s after all notes off at %.1f s of audio (%s mode)\n",
                         kLongestRelease, run.seconds, multi ? "multi" : "single");
            if (where.size() < 400)
            {
                where.append(" ").append(std::to_string(static_cast<long>(run.seconds)));
                where.append(multi ? "s(multi)" : "s(single)");
            }
        }
    }
    quiet.reset(); // the test's own report is heard
    std::fprintf(stderr, "random run: %.0f s of play, %d checks (%d in multi mode), %d left sound after all notes off\n",
                 played, checks, multiChecks, stuck);
    EXPECT_EQ(stuck, 0) << "of " << checks << " checks, at audio seconds" << where;
}
