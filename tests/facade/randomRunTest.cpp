// The long random run: random MIDI on all sixteen channels, parameter
// automation, program changes, sysex dumps and state-chunk swaps, played
// into one facade. Every few seconds of audio the hold pedal goes up and all
// notes go off on every channel; once the longest release has passed the
// output must be exact zeros. Its second form plays phrases: each ends with
// its own note-offs and pedal-up alone, after mode switches, program changes
// and section edits made while its keys were held, and must then fall
// silent just the same.
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
    bool inOrder = false;  // each event of a block at or after the one before
    int lastOffset = 0;

    explicit RandomRun(uint32_t seed) : random(seed) { plugin->setSampleRate(kRate); }

    int below(int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); }

    void shortMessage(uint8_t status, uint8_t d1, uint8_t d2)
    {
        k1lib::SMidiEvent e;
        e.status = status;
        e.data1 = d1;
        e.data2 = d2;
        // A phrase's events keep their order within the block: the facade
        // plays a block's events in the order of their offsets.
        e.sampleOffset = inOrder ? lastOffset + below(static_cast<int>(kBlock) - lastOffset) : below(kBlock);
        lastOffset = e.sampleOffset;
        plugin->addMidiEvent(e);
    }

    // True when the block is exact zeros.
    bool block()
    {
        float* outputs[2] = {left.data(), right.data()};
        plugin->process(outputs, 2, kBlock);
        lastOffset = 0;
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
    bool allNotesOffFallsSilent()
    {
        for (uint8_t c = 0; c < 16; ++c)
        {
            shortMessage(0xB0 | c, 64, 0);
            shortMessage(0xB0 | c, 123, 0);
        }
        return fallsSilent();
    }

    // True when, once the longest release has passed, the output is exact
    // zeros for a second. (Zeros earlier prove nothing: a section at volume 0
    // is silent while its voices still release.) Once every voice has ended
    // the engine only fills zeros, so the wait costs little unless something
    // still sounds.
    bool fallsSilent()
    {
        const double start = seconds;
        while (seconds - start < kLongestRelease)
            block();
        bool silent = true;
        while (seconds - start < kLongestRelease + 1.0)
            silent = block() && silent;
        return silent;
    }
};

// A phrase: keys struck and released on a few channels, the pedal, and
// between them what changes how the keys play: play-mode switches (by
// automation or a program change of the other mode), omni going off or on
// (which in single mode moves every channel's keys), program changes,
// section edits, automation. At its end every key still down gets its
// note-off on the channel that struck it, and the pedal comes up.
struct Phrase
{
    RandomRun& run;
    bool maySwitch = true;       // half the phrases keep their play mode
    uint8_t down[16][128] = {}; // note-ons not yet matched, per channel and key
    bool modeSwitched = false;

    uint8_t channel() { return static_cast<uint8_t>(run.below(4) ? run.below(3) : run.below(16)); }

    void event()
    {
        const int what = run.below(1000);
        const uint8_t c = channel();
        const auto key = static_cast<uint8_t>(36 + run.below(60));
        if (what < 420 && down[c][key] < 255)
        {
            ++down[c][key];
            run.shortMessage(0x90 | c, key, static_cast<uint8_t>(1 + run.below(127)));
        }
        else if (what < 680)
        {
            // Mostly a key that is down; now and then one that is not.
            int k = 0;
            while (k < 60 && down[c][36 + (key - 36 + k) % 60] == 0)
                ++k;
            const auto off = static_cast<uint8_t>(k < 60 ? 36 + (key - 36 + k) % 60 : key);
            down[c][off] -= down[c][off] > 0 ? 1 : 0;
            run.shortMessage(0x80 | c, off, static_cast<uint8_t>(run.below(128)));
        }
        else if (what < 740)
            run.shortMessage(0xB0 | c, 64, run.below(2) ? 127 : 0);
        else if (what < 770)
            run.shortMessage(0xE0 | c, static_cast<uint8_t>(run.below(128)), key);
        else if (what < 810 && maySwitch)
        {
            modeSwitched = true;
            const bool multi = run.plugin->getPlayMode() == k1lib::PlayMode::Multi;
            const int how = run.below(3);
            if (how == 0)
                run.plugin->setParameter(k1lib::Param_Mode, multi ? 0.0f : 1.0f);
            else if (how == 1)
                run.shortMessage(0xC0 | c, static_cast<uint8_t>(multi ? run.below(64) : 64 + run.below(32)), 0);
            else
                run.shortMessage(0xB0 | c, static_cast<uint8_t>(run.below(2) ? 124 : 125), 0);
        }
        else if (what < 830)
        {
            // A program of the mode in force.
            const bool multi = run.plugin->getPlayMode() == k1lib::PlayMode::Multi;
            run.shortMessage(0xC0 | c, static_cast<uint8_t>(multi ? 64 + run.below(32) : run.below(64)), 0);
        }
        else if (what < 990)
        {
            // Section edits (level 0 and poly "off" take a section out of
            // its channel's list) and the single's automation, often at
            // either end.
            const int param = what < 930 ? k1lib::Param_MultiS1Single + run.below(8 * 11) : run.below(k1lib::Param_MultiS1Single);
            const float value = run.below(3) == 0 ? static_cast<float>(run.below(2)) : static_cast<float>(run.below(1001)) / 1000.0f;
            run.plugin->setParameter(static_cast<k1lib::EParam>(param), value);
        }
        else if (what < 993)
            run.plugin->setCurrentPresetIndex(static_cast<size_t>(run.below(static_cast<int>(run.plugin->getPresetCount()))));
        else if (what < 997 || !maySwitch) // a state may hold the other mode
            run.randomDump();
        else
        {
            modeSwitched = true;
            run.swapState();
        }
    }

    // The phrase's own ending: its note-offs, the pedal up on every channel.
    void end()
    {
        for (uint8_t c = 0; c < 16; ++c)
            for (uint8_t key = 0; key < 128; ++key)
                for (; down[c][key] > 0; --down[c][key])
                    run.shortMessage(0x80 | c, key, 64);
        for (uint8_t c = 0; c < 16; ++c)
            run.shortMessage(0xB0 | c, 64, 0);
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

TEST(RandomRun, EveryPhraseEndsWithItsOwnNoteOffs)
{
    const double playSeconds = envSeconds("DARVELLO_RANDOM_RUN_SECONDS", 240.0);
    const auto seed = static_cast<uint32_t>(envSeconds("DARVELLO_RANDOM_RUN_SEED", 31.0));
    auto quiet = std::make_unique<QuietStdout>();
    RandomRun run(seed);
    run.inOrder = true;
    int phrases = 0;
    int switched = 0;
    int sounding = 0;
    int soundingSwitched = 0;
    std::string where;
    double played = 0.0;
    while (played < playSeconds)
    {
        Phrase phrase{run, run.below(2) == 0};
        const int blocks = static_cast<int>((0.5 + run.below(5) * 0.5) * kRate / kBlock);
        for (int b = 0; b < blocks; ++b)
        {
            const int events = run.below(4);
            for (int n = 0; n < events; ++n)
                phrase.event();
            run.block();
        }
        phrase.end();
        played += blocks * kBlock / kRate;
        ++phrases;
        switched += phrase.modeSwitched ? 1 : 0;
        if (!run.fallsSilent())
        {
            ++sounding;
            soundingSwitched += phrase.modeSwitched ? 1 : 0;
            if (where.size() < 400)
                where.append(" ").append(std::to_string(static_cast<long>(run.seconds))).append(
                    phrase.modeSwitched ? "s(switched)" : "s");
            // The next phrase starts from silence.
            run.allNotesOffFallsSilent();
        }
    }
    quiet.reset();
    std::fprintf(stderr,
                 "random phrases: %.0f s of play, %d phrases (%d with a mode or omni switch), %d sounding after "
                 "their own note-offs (%d of them with a switch)\n",
                 played, phrases, switched, sounding, soundingSwitched);
    EXPECT_EQ(sounding, 0) << "of " << phrases << " phrases, at audio seconds" << where;
}
