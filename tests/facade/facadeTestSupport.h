#pragma once

// Shared helpers of the facade tests: a host bridge and an editor that write
// every delivery into one journal, so the order across both receivers shows,
// and a facade with its outputs.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "plugin/plugin.h"
#include "tests/support/changeText.h"

namespace k1test
{
// One journal for both receivers; lines look like "host:ActiveSingleChanged(5)"
// or "editor:SinglesModified(0,32)", one per kind of change in a delivery, in
// the order the kinds are declared. Parameter reports are counted, and only
// journaled ("host:ParameterChanged(10) 0.500000"), before the kinds of their
// delivery, when asked for.
struct Journal
{
    mutable std::mutex mutex;
    std::vector<std::string> lines;
    bool withParameters = false;
    int hostParameterCalls = 0;
    int editorParameterEvents = 0;
    int hostDeliveries = 0;   // onChanges calls
    int editorDeliveries = 0; // onChanges calls

    void add(const std::string& line)
    {
        std::lock_guard<std::mutex> lock(mutex);
        lines.push_back(line);
    }
    std::vector<std::string> take()
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::string> out;
        out.swap(lines);
        hostParameterCalls = 0;
        editorParameterEvents = 0;
        hostDeliveries = 0;
        editorDeliveries = 0;
        return out;
    }
    // Journals one delivery of a receiver; returns its parameter count.
    int record(const std::string& who, const k1lib::Changes& changes)
    {
        std::lock_guard<std::mutex> lock(mutex);
        int parameters = 0;
        changes.forEachParameter([&](k1lib::EParam p, float v) {
            ++parameters;
            if (withParameters)
                lines.push_back(who + ":ParameterChanged(" + std::to_string(p) + ") " + std::to_string(v));
        });
        changes.forEachKind([&](k1lib::ChangeKind kind) {
            if (kind != k1lib::ChangeKind::ParameterChanged)
                lines.push_back(who + ":" + describe(changes.get(kind)));
        });
        return parameters;
    }
};

// Behaves like the host bridge where the facade relies on it: a reported
// parameter is written back as automation, and a preset switch selects the
// program (which asks the facade to select the preset again).
struct RecordingListener : k1lib::IPluginListener
{
    Journal& journal;
    k1lib::Plugin* plugin = nullptr; // set to echo like the host bridge
    std::vector<k1lib::SMidiEvent> midi;
    std::vector<uint8_t> customData = {1, 2, 3};
    int echoesTaken = 0; // write-backs the facade did not end at the cache
    // Called at the top of every call (the lock probe of the tests).
    std::function<void()> onCall;

    explicit RecordingListener(Journal& j) : journal(j) {}

    void note(const std::string& line)
    {
        if (onCall)
            onCall();
        journal.add("host:" + line);
    }
    void onChanges(const k1lib::Changes& changes) override
    {
        if (onCall)
            onCall();
        const int parameters = journal.record("host", changes);
        {
            std::lock_guard<std::mutex> lock(journal.mutex);
            journal.hostParameterCalls += parameters;
            ++journal.hostDeliveries;
        }
        if (!plugin)
            return;
        changes.forEachParameter([&](k1lib::EParam p, float v) {
            if (plugin->setParameter(p, v))
                ++echoesTaken;
        });
        using Kind = k1lib::ChangeKind;
        const k1lib::PlayMode mode = plugin->getPlayMode();
        if (changes.has(Kind::ActiveSingleChanged) && mode == k1lib::PlayMode::Single)
            plugin->setCurrentPresetIndex(changes.get(Kind::ActiveSingleChanged).first);
        if (changes.has(Kind::ActiveMultiChanged) && mode == k1lib::PlayMode::Multi)
            plugin->setCurrentPresetIndex(changes.get(Kind::ActiveMultiChanged).first);
    }
    void sendMidi(const k1lib::SMidiEvent& e) override
    {
        note("sendMidi " + std::to_string(e.sysexSize()));
        midi.push_back(e.owned());
    }
    void serializeCustomData(std::vector<uint8_t>& data) override
    {
        note("serializeCustomData");
        data = customData;
    }
    void deserializeCustomData(const std::vector<uint8_t>& data) override
    {
        note("deserializeCustomData " + std::to_string(data.size()));
    }
};

struct RecordingEditor : k1lib::IEditor
{
    Journal& journal;
    std::vector<k1lib::Changes> deliveries;

    explicit RecordingEditor(Journal& j) : journal(j) {}

    void onChanges(const k1lib::Changes& changes) override
    {
        const int parameters = journal.record("editor", changes);
        std::lock_guard<std::mutex> lock(journal.mutex);
        deliveries.push_back(changes);
        journal.editorParameterEvents += parameters;
        ++journal.editorDeliveries;
    }
};

// A facade with a recording host bridge and editor; large, so on the heap.
struct TestFacade
{
    Journal journal;
    RecordingListener listener{journal};
    RecordingEditor editor{journal};
    std::unique_ptr<k1lib::Plugin> plugin = std::make_unique<k1lib::Plugin>(&listener, k1lib::PluginType::Vst);
    std::vector<float> left = std::vector<float>(512);
    std::vector<float> right = std::vector<float>(512);

    explicit TestFacade(bool attachEditor = true, bool echo = true)
    {
        if (attachEditor)
            plugin->setEditor(&editor);
        if (echo)
            listener.plugin = plugin.get();
        plugin->setSampleRate(44100.0f);
    }
    ~TestFacade() { plugin->setEditor(nullptr); }

    // Renders one block of n frames (n at most 512); true when it is silent.
    bool block(size_t n = 512)
    {
        float* outputs[2] = {left.data(), right.data()};
        plugin->process(outputs, 2, n);
        for (size_t i = 0; i < n; ++i)
            if (left[i] != 0.0f || right[i] != 0.0f)
                return false;
        return true;
    }
    // Renders blocks until one is silent; false when none is within maxBlocks.
    bool renderUntilSilent(int maxBlocks)
    {
        for (int b = 0; b < maxBlocks; ++b)
            if (block())
                return true;
        return false;
    }
};
} // namespace k1test
