// MyVSTAudioEffect driven directly with a scripted host, for what the loaded
// module cannot be made to do from outside yet: outgoing MIDI from the UI
// thread, output reconfiguration and the active-preset reports.

#include "vst/myVstAudioEffect.h"

#include "engine/engine.h"
#include "tests/support/stdoutCapture.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
struct ScriptedHost
{
    std::vector<int> ioAnswers;        // answers to successive IOChanged requests, then 1
    int ioRequests = 0;
    int displayUpdates = 0;
    std::vector<std::vector<uint8_t>> midiOut;  // in the order the host heard them
    std::vector<VstInt32> midiOffsets;
    std::function<void()> duringIoChange;       // runs inside each IOChanged request
};

ScriptedHost* g_host = nullptr;

VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    switch (opcode)
    {
    case audioMasterVersion: return kVstVersion;
    case audioMasterUpdateDisplay: ++g_host->displayUpdates; return 1;
    case audioMasterIOChanged:
    {
        const size_t n = static_cast<size_t>(g_host->ioRequests++);
        if (g_host->duringIoChange)
            g_host->duringIoChange();
        return n < g_host->ioAnswers.size() ? g_host->ioAnswers[n] : 1;
    }
    case audioMasterProcessEvents:
    {
        const auto* events = static_cast<const VstEvents*>(ptr);
        VstEvent* const* list = events->events; // longer than its declared two
        for (VstInt32 i = 0; i < events->numEvents; ++i)
        {
            const VstEvent* e = list[i];
            g_host->midiOffsets.push_back(e->deltaFrames);
            if (e->type == kVstSysExType)
            {
                const auto* s = reinterpret_cast<const VstMidiSysexEvent*>(e);
                const auto* b = reinterpret_cast<const uint8_t*>(s->sysexDump);
                g_host->midiOut.emplace_back(b, b + s->dumpBytes);
            }
            else
            {
                const auto* m = reinterpret_cast<const VstMidiEvent*>(e);
                g_host->midiOut.push_back({static_cast<uint8_t>(m->midiData[0]),
                                           static_cast<uint8_t>(m->midiData[1]),
                                           static_cast<uint8_t>(m->midiData[2])});
            }
        }
        return 1;
    }
    default: return 0;
    }
}

class InProcessEffect : public ::testing::Test
{
protected:
    InProcessEffect()
    {
        g_host = &host;
        effect = std::make_unique<MyVSTAudioEffect>(callback);
        for (auto& b : buffers)
            b.assign(64, 0.0f);
        for (size_t c = 0; c < buffers.size(); ++c)
            pointers[c] = buffers[c].data();
    }
    ~InProcessEffect() override { g_host = nullptr; }

    void block() { effect->processReplacing(nullptr, pointers.data(), 64); }

    void askForOutputs(uint32_t mode)
    {
        k1lib::EngineConfig config = effect->facade().getConfig();
        config.audioOutputMode = mode;
        effect->facade().setConfig(config);
    }

    ScriptedHost host;
    std::unique_ptr<MyVSTAudioEffect> effect;
    std::array<std::vector<float>, 8> buffers;
    std::array<float*, 8> pointers{};
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

TEST_F(InProcessEffect, OutgoingMidiWaitsForTheBlockShortMessagesFirst)
{
    k1lib::SMidiEvent sysex;
    sysex.sysex = {0xF0, 0x40, 0x00, 0x10, 0xF7};
    effect->sendMidi(sysex);
    effect->sendMidi(shortEvent(0xB0, 7, 100, 10));
    effect->sendMidi(shortEvent(0x90, 60, 1, 1000)); // past the block: its last frame
    effect->sendMidi(shortEvent(0x80, 60, 0, -5));   // before it: its first
    EXPECT_TRUE(host.midiOut.empty()) << "sent outside the block";

    block();
    ASSERT_EQ(host.midiOut.size(), 4u);
    EXPECT_EQ(host.midiOut[0], (std::vector<uint8_t>{0xB0, 7, 100}));
    EXPECT_EQ(host.midiOut[1], (std::vector<uint8_t>{0x90, 60, 1}));
    EXPECT_EQ(host.midiOut[2], (std::vector<uint8_t>{0x80, 60, 0}));
    EXPECT_EQ(host.midiOut[3], sysex.sysex);
    EXPECT_EQ(host.midiOffsets, (std::vector<VstInt32>{10, 63, 0, 0}));

    block();
    EXPECT_EQ(host.midiOut.size(), 4u) << "delivered twice";
}

TEST_F(InProcessEffect, EightOutputsOnlyOnceTheHostHasTakenThem)
{
    // While the host is being asked, a block on the audio thread still
    // renders two channels: the others hold the host's own data.
    for (size_t c = 2; c < 8; ++c)
        buffers[c].assign(64, 7.0f);
    host.duringIoChange = [this] { block(); };
    askForOutputs(1);
    EXPECT_EQ(host.ioRequests, 2);
    EXPECT_EQ(effect->getAeffect()->numOutputs, 8);
    for (size_t c = 2; c < 8; ++c)
        EXPECT_EQ(buffers[c][0], 7.0f) << c;
    host.duringIoChange = nullptr;
    block();
    for (size_t c = 2; c < 8; ++c)
        EXPECT_EQ(buffers[c][0], 0.0f) << "channel " << c << " not rendered";

    askForOutputs(0);
    EXPECT_EQ(effect->getAeffect()->numOutputs, 2);
}

TEST_F(InProcessEffect, RefusedOutputChangesKeepCountAndConfigurationInStep)
{
    // Refused at once: nothing changes, and the configuration keeps asking.
    host.ioAnswers = {0};
    std::string log;
    {
        k1test::StdoutCapture capture;
        askForOutputs(1);
        log = capture.waitFor({"Change IO configuration is not supported"});
    }
    EXPECT_NE(log.find("Change IO configuration is not supported"), std::string::npos) << log;
    EXPECT_EQ(effect->getAeffect()->numOutputs, 2);
    EXPECT_EQ(effect->facade().getConfig().audioOutputMode, 1u);

    // Accepted, then refused: back to two outputs, and the configuration says so.
    askForOutputs(0);
    host.ioRequests = 0;
    host.ioAnswers = {1, 0};
    {
        k1test::StdoutCapture capture;
        askForOutputs(1);
        log = capture.waitFor({"Failed to change IO configuration"});
    }
    EXPECT_NE(log.find("Failed to change IO configuration"), std::string::npos) << log;
    EXPECT_EQ(effect->getAeffect()->numOutputs, 2);
    EXPECT_EQ(effect->facade().getConfig().audioOutputMode, 0u);
}

TEST_F(InProcessEffect, ActivePresetReportsOnlyRecordTheProgram)
{
    using Kind = k1lib::ChangeKind;
    const auto report = [&](std::initializer_list<k1lib::Change> list) {
        k1lib::Changes changes;
        for (const k1lib::Change& change : list)
            changes.add(change);
        effect->onChanges(changes);
    };
    const int updates = host.displayUpdates;
    report({{Kind::ActiveSingleChanged, 12}});
    EXPECT_EQ(effect->getProgram(), 12);
    EXPECT_EQ(effect->facade().getCurrentSingleIndex(), 0u) << "selected again";
    EXPECT_EQ(host.displayUpdates, updates + 1);
    report({{Kind::ActiveSingleChanged, 12}});
    EXPECT_EQ(host.displayUpdates, updates + 1);

    // A multi reported in single mode is not the host's program.
    report({{Kind::ActiveMultiChanged, 3}});
    EXPECT_EQ(effect->getProgram(), 12);
    EXPECT_EQ(effect->facade().getCurrentMultiIndex(), 0u);
    EXPECT_EQ(host.displayUpdates, updates + 1);

    // Every kind of edit in one delivery: one display update.
    report({{Kind::SinglesModified, 0, 32}, {Kind::ActiveSingleModified, 0}, {Kind::MultisModified, 4, 1},
            {Kind::ActiveMultiModified, 0}, {Kind::ActiveSingleChanged, 13}});
    EXPECT_EQ(effect->getProgram(), 13);
    EXPECT_EQ(host.displayUpdates, updates + 2);

    effect->setProgram(-4);
    EXPECT_EQ(effect->getProgram(), 13);
    effect->setProgram(100000);
    EXPECT_EQ(effect->getProgram(), 13);
    effect->setProgram(2);
    EXPECT_EQ(effect->getProgram(), 2);
    EXPECT_EQ(effect->facade().getCurrentSingleIndex(), 2u);
}

std::vector<uint8_t> bankChunk(MyVSTAudioEffect& effect)
{
    void* data = nullptr;
    const VstInt32 size = effect.getChunk(&data, false);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return size > 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>{};
}

TEST_F(InProcessEffect, RestoredStatesKeepTheirPresetsModeAndOutputs)
{
    // Saved in multi mode with single 12 and multi 3 current, eight outputs.
    effect->setProgram(12);
    effect->setParameter(208, 1.0f);
    effect->setProgram(3);
    askForOutputs(1);
    ASSERT_EQ(effect->getAeffect()->numOutputs, 8);
    std::vector<uint8_t> state = bankChunk(*effect);
    ASSERT_FALSE(state.empty());

    // Restored into an instance in single mode with two outputs.
    ScriptedHost other;
    g_host = &other;
    MyVSTAudioEffect fresh(callback);
    ASSERT_EQ(fresh.setChunk(state.data(), static_cast<VstInt32>(state.size()), false),
              static_cast<VstInt32>(state.size()));
    EXPECT_EQ(fresh.facade().getPlayMode(), k1lib::PlayMode::Multi);
    EXPECT_EQ(fresh.facade().getCurrentSingleIndex(), 12u) << "the restored single was selected over";
    EXPECT_EQ(fresh.facade().getCurrentMultiIndex(), 3u);
    EXPECT_EQ(fresh.getProgram(), 3);
    EXPECT_EQ(fresh.getAeffect()->numPrograms, static_cast<VstInt32>(k1lib::Engine::multiCount()));
    EXPECT_EQ(fresh.getAeffect()->numOutputs, 8);
    EXPECT_EQ(other.ioRequests, 2);
    EXPECT_GT(other.displayUpdates, 0);

    // Four zero bytes after the end (as some hosts store chunks): restored,
    // and the outputs still follow.
    ScriptedHost third;
    g_host = &third;
    MyVSTAudioEffect padded(callback);
    state.insert(state.end(), 4, 0);
    EXPECT_EQ(padded.setChunk(state.data(), static_cast<VstInt32>(state.size()), false),
              static_cast<VstInt32>(state.size()));
    EXPECT_EQ(padded.getAeffect()->numOutputs, 8);
    g_host = &host;
}

} // namespace

TEST_F(InProcessEffect, TheHostLearnsTheDelayOfTheRateConversionAndAbsurdRatesAreRefused)
{
    AEffect* e = effect->getAeffect();
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    EXPECT_EQ(e->initialDelay, 57); // 1.3 ms: hosts compensate it
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);

    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 49920.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    EXPECT_EQ(e->initialDelay, 0); // the engine's own rate: nothing to convert
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);

    k1test::StdoutCapture capture;
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 1.0f);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 1e15f);
    const std::string log = capture.waitFor({"Refusing sample rate 1 Hz, expected 8000-768000 Hz"});
    EXPECT_NE(log.find("Refusing sample rate 1 Hz, expected 8000-768000 Hz"), std::string::npos) << log;
    EXPECT_EQ(effect->getSampleRate(), 49920.0f);
    block();
}
