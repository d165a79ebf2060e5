#pragma once

// Shared helpers of the facade tests: a host bridge and an editor that write
// every call into one journal, so the order across both receivers shows, and
// a facade with its outputs.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "plugin/plugin.h"

namespace k1test
{
// One journal for both receivers; lines look like "host:onActiveSingleChanged 5"
// or "editor:ActiveSingleChanged 5". Parameter reports are counted, and only
// journaled when asked for.
struct Journal
{
    mutable std::mutex mutex;
    std::vector<std::string> lines;
    bool withParameters = false;
    int hostParameterCalls = 0;
    int editorParameterEvents = 0;

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
        return out;
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
    void onActiveSingleChanged(size_t i) override
    {
        note("onActiveSingleChanged " + std::to_string(i));
        if (plugin && plugin->getPlayMode() == k1lib::PlayMode::Single)
            plugin->setCurrentPresetIndex(i);
    }
    void onSingleModified(size_t i) override { note("onSingleModified " + std::to_string(i)); }
    void onActiveSingleModified(size_t i) override { note("onActiveSingleModified " + std::to_string(i)); }
    void onSinglesModified(size_t f, size_t c) override
    {
        note("onSinglesModified " + std::to_string(f) + " " + std::to_string(c));
    }
    void onActiveMultiChanged(size_t i) override
    {
        note("onActiveMultiChanged " + std::to_string(i));
        if (plugin && plugin->getPlayMode() == k1lib::PlayMode::Multi)
            plugin->setCurrentPresetIndex(i);
    }
    void onMultiModified(size_t i) override { note("onMultiModified " + std::to_string(i)); }
    void onActiveMultiModified(size_t i) override { note("onActiveMultiModified " + std::to_string(i)); }
    void onMultisModified(size_t f, size_t c) override
    {
        note("onMultisModified " + std::to_string(f) + " " + std::to_string(c));
    }
    void sendMidi(const k1lib::SMidiEvent& e) override
    {
        note("sendMidi " + std::to_string(e.sysexSize()));
        midi.push_back(e.owned());
    }
    void onParameterChanged(k1lib::EParam p, float v) override
    {
        if (onCall)
            onCall();
        {
            std::lock_guard<std::mutex> lock(journal.mutex);
            ++journal.hostParameterCalls;
        }
        if (journal.withParameters)
            journal.add("host:onParameterChanged " + std::to_string(p) + " " + std::to_string(v));
        if (plugin && plugin->setParameter(p, v))
            ++echoesTaken;
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
    void onPlayModeChanged() override { note("onPlayModeChanged"); }
    void onConfigChanged() override { note("onConfigChanged"); }
};

struct RecordingEditor : k1lib::IEditor
{
    Journal& journal;
    std::vector<k1lib::PluginToEditorEvent> events;

    explicit RecordingEditor(Journal& j) : journal(j) {}

    void onEvent(const k1lib::PluginToEditorEvent& e) override
    {
        static const char* const names[] = {"ParameterChanged", "SinglesModified", "SingleModified",
                                            "ActiveSingleModified", "ActiveSingleChanged", "MultisModified",
                                            "MultiModified", "ActiveMultiModified", "ActiveMultiChanged",
                                            "PlayModeChanged", "ConfigChanged"};
        std::lock_guard<std::mutex> lock(journal.mutex);
        events.push_back(e);
        if (e.type == k1lib::PluginToEditorEvent::ParameterChanged)
        {
            ++journal.editorParameterEvents;
            if (!journal.withParameters)
                return;
        }
        std::string line = std::string("editor:") + (e.type <= 10 ? names[e.type] : "?");
        if (e.type == k1lib::PluginToEditorEvent::ParameterChanged)
            line += " " + std::to_string(e.param) + " " + std::to_string(e.value);
        else if (e.type == k1lib::PluginToEditorEvent::SinglesModified || e.type == k1lib::PluginToEditorEvent::MultisModified)
            line += " " + std::to_string(e.index) + " " + std::to_string(e.count);
        else if (e.type >= 1 && e.type <= 8)
            line += " " + std::to_string(e.index);
        journal.lines.push_back(line);
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
