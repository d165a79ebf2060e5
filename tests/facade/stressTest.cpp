// Three threads on one facade for a few seconds, as a host drives it: an
// audio thread rendering blocks with random MIDI (delivered in pieces and out
// of order), a host thread writing and reading random parameters, and an
// editor thread switching presets and modes, moving preset chunks and the
// state. Run under ThreadSanitizer it finds races; everywhere it checks that
// nothing deadlocks, every note ends and the cache ends equal to the engine.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "plugin/plugin.h"

namespace
{
using Clock = std::chrono::steady_clock;
constexpr auto kStressTime = std::chrono::milliseconds(2500);
constexpr auto kDeadlockTime = std::chrono::seconds(120);
constexpr size_t kBlock = 512;

// The host bridge's part: write reported values back, select the program of
// a preset switch, count what arrives.
struct StressListener : k1lib::IPluginListener
{
    k1lib::Plugin* plugin = nullptr;
    std::atomic<long> parameterCalls{0};
    std::atomic<long> switches{0};
    std::atomic<long> other{0};

    void onChanges(const k1lib::Changes& changes) override
    {
        using Kind = k1lib::ChangeKind;
        changes.forEachParameter([&](k1lib::EParam p, float v) {
            ++parameterCalls;
            plugin->setParameter(p, v);
        });
        changes.forEachKind([&](Kind kind) {
            if (kind == Kind::ActiveSingleChanged || kind == Kind::ActiveMultiChanged)
            {
                ++switches;
                const auto mode = kind == Kind::ActiveSingleChanged ? k1lib::PlayMode::Single : k1lib::PlayMode::Multi;
                if (plugin->getPlayMode() == mode)
                    plugin->setCurrentPresetIndex(changes.get(kind).first);
            }
            else if (kind != Kind::ParameterChanged)
            {
                ++other;
            }
        });
    }
    void sendMidi(const k1lib::SMidiEvent&) override { ++other; }
    void serializeCustomData(std::vector<uint8_t>& data) override { data = {1, 2, 3, 4}; }
    void deserializeCustomData(const std::vector<uint8_t>&) override { ++other; }
};

// Notes like the real editor: under its own lock, nothing more.
struct StressEditor : k1lib::IEditor
{
    std::mutex mutex;
    long parameterEvents = 0;
    long otherEvents = 0;
    void onChanges(const k1lib::Changes& changes) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        changes.forEachParameter([&](k1lib::EParam, float) { ++parameterEvents; });
        changes.forEachKind([&](k1lib::ChangeKind kind) { otherEvents += kind != k1lib::ChangeKind::ParameterChanged; });
    }
};

k1lib::SMidiEvent shortEvent(uint8_t status, uint8_t d1, uint8_t d2, int32_t offset)
{
    k1lib::SMidiEvent e;
    e.status = status;
    e.data1 = d1;
    e.data2 = d2;
    e.sampleOffset = offset;
    return e;
}

// The audio thread's MIDI: notes whose note-off always follows the note-on in
// time, though not always in delivery; a few controllers and program changes.
struct MidiSource
{
    std::mt19937 rng{1234};
    std::vector<int> heldUntil = std::vector<int>(128, -1); // block of the key's note-off, -1 free
    std::vector<int> offAt = std::vector<int>(128, 0);
    std::vector<k1lib::SMidiEvent> block;

    int random(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

    // Delivers this block's events to the facade in one to three shuffled calls.
    void deliver(k1lib::Plugin& plugin, int blockIndex, bool newNotes)
    {
        block.clear();
        std::vector<bool> endingNow(128, false);
        for (int key = 0; key < 128; ++key)
        {
            if (heldUntil[key] == blockIndex)
            {
                block.push_back(shortEvent(0x80, static_cast<uint8_t>(key), 64, offAt[key]));
                heldUntil[key] = -1;
                endingNow[key] = true;
            }
        }
        for (int n = newNotes ? random(4) : 0; n > 0; --n)
        {
            const int key = 36 + random(48);
            if (heldUntil[key] >= 0 || endingNow[key])
                continue;
            // Offsets up to 600 reach past the 512-frame block.
            const int on = random(600);
            const int length = random(3);
            block.push_back(shortEvent(0x90, static_cast<uint8_t>(key), static_cast<uint8_t>(1 + random(127)), on));
            if (length == 0 && on < 599)
            {
                block.push_back(shortEvent(0x80, static_cast<uint8_t>(key), 0, on + 1 + random(599 - on)));
            }
            else
            {
                heldUntil[key] = blockIndex + std::max(length, 1);
                offAt[key] = random(600);
            }
        }
        if (newNotes && random(8) == 0)
        {
            static const uint8_t controllers[] = {1, 7, 10, 16, 17};
            block.push_back(shortEvent(0xB0, controllers[random(5)], static_cast<uint8_t>(random(128)), random(512)));
        }
        if (newNotes && random(40) == 0)
            block.push_back(shortEvent(0xC0, static_cast<uint8_t>(random(128)), 0, random(512)));
        if (newNotes && random(10) == 0)
            block.push_back(shortEvent(0xE0, static_cast<uint8_t>(random(128)), static_cast<uint8_t>(random(128)), random(512)));
        std::shuffle(block.begin(), block.end(), rng);
        for (const k1lib::SMidiEvent& e : block)
            plugin.addMidiEvent(e);
    }

    bool anyHeld() const
    {
        return std::any_of(heldUntil.begin(), heldUntil.end(), [](int b) { return b >= 0; });
    }
};

bool render(k1lib::Plugin& plugin, std::vector<float>& left, std::vector<float>& right)
{
    float* outputs[2] = {left.data(), right.data()};
    plugin.process(outputs, 2, kBlock);
    for (size_t i = 0; i < kBlock; ++i)
        if (left[i] != 0.0f || right[i] != 0.0f)
            return false;
    return true;
}
} // namespace

TEST(FacadeStress, AudioHostAndEditorThreadsTogether)
{
    StressListener listener;
    StressEditor editor;
    auto plugin = std::make_unique<k1lib::Plugin>(&listener, k1lib::PluginType::Vst);
    listener.plugin = plugin.get();
    plugin->setEditor(&editor);
    plugin->setSampleRate(44100.0f);

    std::atomic<bool> stop{false};
    std::atomic<int> finished{0};
    std::atomic<long> blocks{0}, writes{0}, editorSteps{0};
    MidiSource midi;
    std::vector<float> left(kBlock), right(kBlock);

    std::thread audio([&] {
        for (int b = 0; !stop.load(); ++b)
        {
            midi.deliver(*plugin, b, true);
            render(*plugin, left, right);
            ++blocks;
            // A host's audio thread waits for the next period between blocks.
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
        ++finished;
    });
    std::thread host([&] {
        std::mt19937 rng(99);
        while (!stop.load())
        {
            const auto p = static_cast<k1lib::EParam>(rng() % k1lib::kParamCount);
            // The play mode rarely, every other parameter often; values on
            // and off the grid, now and then the same one twice.
            if (p == k1lib::Param_Mode && rng() % 20 != 0)
                continue;
            const float v = static_cast<float>(rng() % 1001) / 1000.0f;
            plugin->setParameter(p, v);
            if (rng() % 4 == 0)
                plugin->setParameter(p, v);
            (void)plugin->getParameter(p);
            if (rng() % 16 == 0)
                (void)plugin->getParameterDisplay(p);
            ++writes;
            // A host writes often, but not so as to keep the lock to itself.
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
        ++finished;
    });
    std::thread ui([&] {
        std::mt19937 rng(7);
        std::vector<uint8_t> chunk, state;
        std::vector<size_t> found;
        while (!stop.load())
        {
            switch (rng() % 8)
            {
            case 0:
                plugin->setPlayMode(rng() % 2 ? k1lib::PlayMode::Multi : k1lib::PlayMode::Single);
                break;
            case 1:
            case 2:
                plugin->setCurrentPresetIndex(rng() % plugin->getPresetCount());
                break;
            case 3:
                if (plugin->getPreset(chunk, rng() % 64))
                    plugin->setCurrentPreset(chunk);
                break;
            case 4:
                if (plugin->getCurrentPreset(chunk))
                    plugin->setPreset(chunk, rng() % 64);
                break;
            case 5:
                (void)plugin->getPresetName(plugin->getCurrentPresetIndex());
                plugin->searchSingles(found, "a", 20);
                break;
            case 6:
                if (plugin->getState(state))
                    plugin->setState(state);
                break;
            default:
                plugin->updateParametersFromEngine();
                break;
            }
            ++editorSteps;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        ++finished;
    });

    std::this_thread::sleep_for(kStressTime);
    stop = true;
    const auto deadline = Clock::now() + kDeadlockTime;
    while (finished.load() < 3)
    {
        if (Clock::now() > deadline)
        {
            std::fprintf(stderr, "FacadeStress: threads still running after %lld s: deadlock\n",
                         static_cast<long long>(kDeadlockTime.count()));
            std::abort();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    audio.join();
    host.join();
    ui.join();
    std::printf("%ld blocks, %ld parameter writes, %ld editor steps, %ld preset switches\n", blocks.load(),
                writes.load(), editorSteps.load(), listener.switches.load());
    EXPECT_GT(blocks.load(), 10);
    EXPECT_GT(writes.load(), 100);
    EXPECT_GT(editorSteps.load(), 10);
    EXPECT_GT(listener.switches.load(), 0);

    // Every note-off still due is delivered; then every note must fall silent.
    int b = static_cast<int>(blocks.load());
    while (midi.anyHeld())
    {
        midi.deliver(*plugin, b++, false);
        render(*plugin, left, right);
    }
    bool silent = false;
    for (int i = 0; i < 6000 && !silent; ++i) // 60 s at the processing rate
        silent = render(*plugin, left, right);
    EXPECT_TRUE(silent) << "a note never ended";

    // The cache is the engine's: a re-sync finds nothing to report.
    const long parameterCalls = listener.parameterCalls.load();
    long editorParameterEvents = 0;
    {
        std::lock_guard<std::mutex> lock(editor.mutex);
        editorParameterEvents = editor.parameterEvents;
    }
    plugin->updateParametersFromEngine();
    EXPECT_EQ(listener.parameterCalls.load(), parameterCalls);
    // Detached first: the editor's lock is never taken around a facade call.
    plugin->setEditor(nullptr);
    std::lock_guard<std::mutex> lock(editor.mutex);
    EXPECT_EQ(editor.parameterEvents, editorParameterEvents);
    EXPECT_GT(editor.otherEvents, 0);
}
