// The effect between a host's UI and audio threads. A host whose callback
// waits for its audio thread, which waits for the engine lock, must not
// deadlock with a program selected on the UI thread; program changes and
// play-mode switches inside blocks race with the host's program reads;
// presets sent from the UI thread meet the block's outgoing MIDI; an open
// editor idles while the audio thread changes what it shows, and misses
// nothing. Run under ThreadSanitizer, which reports any race.

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "editor/k1Editor.h"
#include "gui/platform/headless.h"
#include "gui/vstgui.h"
#include "vst/k1ui.h"
#include "vst/myVstAudioEffect.h"

namespace
{
constexpr int kBlock = 256;

namespace
{
// A MIDI program change on channel 1, handed to the effect as a host's
// audio thread hands it one block's events.
struct ProgramChange
{
    VstMidiEvent midi{};
    VstEvents events{1, 0, {reinterpret_cast<VstEvent*>(&midi), nullptr}};

    ProgramChange()
    {
        midi.type = kVstMidiType;
        midi.byteSize = sizeof(VstMidiEvent);
        midi.midiData[0] = static_cast<char>(0xC0);
    }
    void send(AEffect* e, int program)
    {
        midi.midiData[1] = static_cast<char>(program);
        e->dispatcher(e, effProcessEvents, 0, 0, &events, 0.0f);
    }
};
} // namespace

// Fails loudly when the threads have not both come back within a minute: a
// deadlock cannot be joined.
void joinOrAbort(std::thread& a, std::thread& b, std::atomic<int>& finished, const char* what)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (finished.load() < 2)
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            std::fprintf(stderr, "%s: the threads are still waiting after a minute: deadlock\n", what);
            std::abort();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    a.join();
    b.join();
}

// ---- A host whose callbacks wait for its audio thread ----------------------

struct WaitingHost
{
    std::mutex audioLock; // held by the audio thread around each block
    std::atomic<std::thread::id> uiThread{};
    std::atomic<bool> callbackStarted{false};
    std::atomic<bool> audioHoldsItsLock{false};
    std::atomic<long> uiCallbacks{0};
};
WaitingHost* g_waiting = nullptr;

VstIntPtr waitingCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == audioMasterVersion)
        return kVstVersion;
    WaitingHost& host = *g_waiting;
    if ((opcode == audioMasterAutomate || opcode == audioMasterUpdateDisplay) &&
        std::this_thread::get_id() == host.uiThread)
    {
        // The first one: let the audio thread start a block while holding
        // its own lock, then wait for that lock, as some hosts do.
        ++host.uiCallbacks;
        host.callbackStarted = true;
        while (!host.audioHoldsItsLock)
            std::this_thread::yield();
        std::lock_guard<std::mutex> wait(host.audioLock);
    }
    return opcode == audioMasterIOChanged ? 1 : 0;
}
} // namespace

TEST(EffectThreads, AHostCallbackThatWaitsForTheAudioThreadNeverDeadlocks)
{
    WaitingHost host;
    g_waiting = &host;
    auto effect = std::make_unique<MyVSTAudioEffect>(waitingCallback);
    AEffect* e = effect->getAeffect();
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);

    std::atomic<int> finished{0};
    std::thread audio([&] {
        std::vector<float> left(kBlock), right(kBlock);
        float* outputs[2] = {left.data(), right.data()};
        while (!host.callbackStarted)
            std::this_thread::yield();
        {
            std::lock_guard<std::mutex> block(host.audioLock);
            host.audioHoldsItsLock = true;
            e->processReplacing(e, nullptr, outputs, kBlock); // needs the engine lock
        }
        ++finished;
    });
    std::thread ui([&] {
        // Another preset: its parameters reach the host as automation.
        host.uiThread = std::this_thread::get_id();
        e->dispatcher(e, effSetProgram, 0, 7, nullptr, 0.0f);
        ++finished;
    });
    joinOrAbort(audio, ui, finished, "program change on the UI thread");
    EXPECT_GT(host.uiCallbacks.load(), 0);
    EXPECT_EQ(effect->getProgram(), 7);
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect.reset();
    g_waiting = nullptr;
}

namespace
{
std::atomic<long> g_sysexOut{0};

VstIntPtr countingCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    switch (opcode)
    {
    case audioMasterVersion: return kVstVersion;
    case audioMasterProcessEvents:
    {
        const auto* events = static_cast<const VstEvents*>(ptr);
        VstEvent* const* list = events->events;
        for (VstInt32 i = 0; i < events->numEvents; ++i)
            g_sysexOut += list[i]->type == kVstSysExType ? 1 : 0;
        return 1;
    }
    case audioMasterIOChanged: return 1;
    default: return 0;
    }
}
} // namespace

TEST(EffectThreads, ProgramsAndOutgoingMidiBetweenTheUiAndTheAudioThread)
{
    auto effect = std::make_unique<MyVSTAudioEffect>(countingCallback);
    AEffect* e = effect->getAeffect();
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    constexpr int kBlocks = 300;

    std::atomic<int> finished{0};
    std::atomic<bool> audioDone{false};
    std::atomic<long> sent{0};
    std::thread audio([&] {
        std::vector<float> left(kBlock), right(kBlock);
        float* outputs[2] = {left.data(), right.data()};
        ProgramChange change;
        // Ends after a multi's block (odd b), whenever the UI's sends let it.
        for (int b = 0; b < kBlocks || sent.load() < 20 || b % 2 == 1; ++b)
        {
            // Singles and multis in turn: every block switches the play mode
            // and with it the program count.
            change.send(e, b % 2 ? 64 + b % 32 : b % 64);
            e->processReplacing(e, nullptr, outputs, kBlock);
            // A host's audio thread waits for the next period between blocks.
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        audioDone = true;
        ++finished;
    });
    std::thread ui([&] {
        long reads = 0;
        while (!audioDone)
        {
            const auto program = static_cast<VstInt32>(e->dispatcher(e, effGetProgram, 0, 0, nullptr, 0.0f));
            ASSERT_GE(program, 0);
            ASSERT_LT(program, 968);
            char name[kVstMaxProgNameLen + 1] = {};
            e->dispatcher(e, effGetProgramName, 0, 0, name, 0.0f);
            // Send to a K1 from the editor: the dump waits for a block.
            if (++reads % 8 == 1 && effect->facade().sendPreset(3, 0))
                ++sent;
            std::this_thread::yield();
        }
        EXPECT_GT(sent, 0);
        ++finished;
    });
    joinOrAbort(audio, ui, finished, "program changes in blocks");
    // Whatever the UI thread sent reaches the host with the next blocks.
    std::vector<float> left(kBlock), right(kBlock);
    float* outputs[2] = {left.data(), right.data()};
    e->processReplacing(e, nullptr, outputs, kBlock);
    EXPECT_GT(g_sysexOut.load(), 0);
    EXPECT_EQ(effect->facade().getPlayMode(), k1lib::PlayMode::Multi);
    EXPECT_EQ(effect->getProgram(), static_cast<VstInt32>(effect->facade().getCurrentPresetIndex()));
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
}

// ---- An open editor and the audio thread -------------------------------------

namespace
{
VstIntPtr quietCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

template <class T> T* viewOf(const K1Editor& editor, const std::string& name)
{
    for (VSTGUI::CView* view : editor.getViewMap().at(name))
        if (auto* typed = dynamic_cast<T*>(view))
            return typed;
    return nullptr;
}

std::string shownName(const char (&name)[11])
{
    std::string text(name, strnlen(name, sizeof(name)));
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}
} // namespace

TEST(EffectThreads, AnIdlingEditorMissesNoChangeTheAudioThreadMakes)
{
    // The window open in a headless frame; round after round the audio thread
    // writes a shown knob's parameter as automation and switches programs
    // while the UI thread idles the window. Whatever landed during an idle
    // shows at the next one: after each round one more idle shows exactly
    // the state in force.
    VSTGUI::HeadlessPlatformFactory platform;
    VSTGUI::setPlatformFactory(&platform);
    auto effect = std::make_unique<MyVSTAudioEffect>(quietCallback);
    AEffect* e = effect->getAeffect();
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    const auto parent = reinterpret_cast<void*>(uintptr_t(0x1234));
    ASSERT_EQ(e->dispatcher(e, effEditOpen, 0, 0, parent, 0.0f), 1);
    const K1Editor* editor = effect->editorBridge()->getEditor();
    ASSERT_NE(editor, nullptr);
    const k1lib::EParam p = k1lib::Param_SourceS1EnvLevel;
    auto* knob = viewOf<VSTGUI::CKnobBase>(*editor, "Param_SourceS1EnvLevel");
    auto* name = viewOf<VSTGUI::CTextEdit>(*editor, "editSingleName");
    ASSERT_NE(knob, nullptr);
    ASSERT_NE(name, nullptr);
    k1lib::Plugin& facade = effect->facade();

    constexpr int kRounds = 40;
    int idlesDuringWrites = 0;
    for (int round = 0; round < kRounds; ++round)
    {
        std::atomic<bool> done{false};
        std::thread audio([&] {
            std::vector<float> left(kBlock), right(kBlock);
            float* outputs[2] = {left.data(), right.data()};
            ProgramChange change;
            for (int b = 0; b < 6; ++b)
            {
                if (b == 3)
                    change.send(e, round % 32);
                e->setParameter(e, p, float((round * 7 + b * 13) % 100) / 100.0f);
                e->processReplacing(e, nullptr, outputs, kBlock);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            done = true;
        });
        while (!done)
        {
            e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0.0f);
            ++idlesDuringWrites;
        }
        audio.join();
        e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0.0f);
        ASSERT_FLOAT_EQ(knob->getValueNormalized(), facade.getParameter(p)) << "round " << round;
        ASSERT_EQ(name->getText().getString(), shownName(facade.getCurrentSingle().name)) << "round " << round;
    }
    EXPECT_GT(idlesDuringWrites, kRounds);
    e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect.reset();
    VSTGUI::setPlatformFactory(nullptr);
}

// The host selects a program on its UI thread while the audio thread switches
// the play mode (parameter 208, or a program change of the other mode): once
// both are done the host reads the program count of the mode in force and a
// program within it, whatever the interleaving was.
TEST(EffectThreads, ProgramCountAndNumberFollowThePlayModeWhateverTheInterleaving)
{
    auto effect = std::make_unique<MyVSTAudioEffect>(countingCallback);
    AEffect* e = effect->getAeffect();
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    k1lib::Plugin& facade = effect->facade();
    const auto singles = static_cast<VstInt32>(facade.getSingleCount());
    const auto multis = static_cast<VstInt32>(facade.getMultiCount());
    constexpr int kRounds = 3000;

    std::barrier<> start(3);
    std::barrier<> end(3);
    std::atomic<bool> switched{false};
    std::thread audio([&] {
        std::vector<float> left(kBlock), right(kBlock);
        float* outputs[2] = {left.data(), right.data()};
        ProgramChange change;
        for (int r = 0; r < kRounds; ++r)
        {
            start.arrive_and_wait();
            const bool multi = facade.getPlayMode() == k1lib::PlayMode::Multi;
            if (r % 2 == 0)
            {
                e->setParameter(e, 208, multi ? 0.0f : 1.0f);
            }
            else
            {
                change.send(e, multi ? r % 64 : 64 + r % 32);
            }
            e->processReplacing(e, nullptr, outputs, kBlock);
            switched = true;
            end.arrive_and_wait();
        }
    });
    std::thread ui([&] {
        for (int r = 0; r < kRounds; ++r)
        {
            start.arrive_and_wait();
            // Selections for as long as the switch takes; now and then a
            // program only the single mode has.
            for (int n = r;; ++n)
            {
                e->dispatcher(e, effSetProgram, 0, (n * 7919) % (n % 3 ? multis : singles), nullptr, 0.0f);
                if (switched)
                    break;
            }
            end.arrive_and_wait();
        }
    });
    int inconsistent = 0;
    std::string first;
    for (int r = 0; r < kRounds; ++r)
    {
        start.arrive_and_wait();
        end.arrive_and_wait();
        switched = false;
        const bool multi = facade.getPlayMode() == k1lib::PlayMode::Multi;
        const VstInt32 count = e->numPrograms;
        const auto program = static_cast<VstInt32>(e->dispatcher(e, effGetProgram, 0, 0, nullptr, 0.0f));
        if (count != (multi ? multis : singles) || program < 0 || program >= count)
        {
            if (++inconsistent == 1)
                first = std::string(multi ? "multi" : "single") + " mode with " + std::to_string(count) +
                        " programs, program " + std::to_string(program);
        }
    }
    audio.join();
    ui.join();
    EXPECT_EQ(inconsistent, 0) << "of " << kRounds << " rounds; the first: " << first;
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
}

// ---- Events delivered from two threads at once ---------------------------------

namespace
{
// Machine-ID answers the effect sent, by the channel they answer on.
std::atomic<long> g_answers[16];

VstIntPtr answerCountingCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    if (opcode == audioMasterVersion)
        return kVstVersion;
    if (opcode == audioMasterProcessEvents)
    {
        const auto* events = static_cast<const VstEvents*>(ptr);
        VstEvent* const* list = events->events; // as long as numEvents, whatever the declaration says
        for (VstInt32 i = 0; i < events->numEvents; ++i)
        {
            if (list[i]->type != kVstSysExType)
                continue;
            const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(list[i]);
            const auto* bytes = reinterpret_cast<const uint8_t*>(sysex->sysexDump);
            if (sysex->dumpBytes >= 4 && bytes[0] == 0xF0 && bytes[1] == 0x40 && bytes[3] == 0x61)
                ++g_answers[bytes[2] & 0x0F];
        }
        return 1;
    }
    return 0;
}
} // namespace

// A host that delivers MIDI from its own thread while a sequencer delivers
// from another, and the audio thread renders: every event of both arrives
// whole, once. Each delivery carries a note and a machine-ID request on a
// channel of the delivering thread's own; the answers counted per channel
// are the requests each thread made.
TEST(EffectThreads, EventsFromTwoDeliveringThreadsAllArriveWhole)
{
    for (auto& count : g_answers)
        count = 0;
    auto effect = std::make_unique<MyVSTAudioEffect>(answerCountingCallback);
    AEffect* e = effect->getAeffect();
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    constexpr int kDeliveries = 3000;

    std::atomic<int> delivering{2};
    std::atomic<long> blocks{0};
    std::barrier<> start(3);
    std::thread audio([&] {
        std::vector<float> left(kBlock), right(kBlock);
        float* outputs[2] = {left.data(), right.data()};
        start.arrive_and_wait();
        // After the last delivery, a few blocks more take what waits.
        for (int after = 0; after < 4; after += delivering.load() == 0 ? 1 : 0)
        {
            e->processReplacing(e, nullptr, outputs, kBlock);
            ++blocks;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    const auto deliver = [&](int thread) {
        start.arrive_and_wait();
        for (int n = 0; n < kDeliveries; ++n)
        {
            const auto channel = static_cast<uint8_t>(thread * 8 + n % 8);
            uint8_t request[] = {0xF0, 0x40, channel, 0x60, 0xF7};
            VstMidiSysexEvent sysex{kVstSysExType, sizeof(VstMidiSysexEvent), 0, 0, sizeof(request), 0,
                                    reinterpret_cast<char*>(request), 0};
            VstMidiEvent note{};
            note.type = kVstMidiType;
            note.byteSize = sizeof(VstMidiEvent);
            note.deltaFrames = n % kBlock;
            note.midiData[0] = static_cast<char>((n % 2 ? 0x80 : 0x90) | channel);
            note.midiData[1] = static_cast<char>(48 + n % 24);
            note.midiData[2] = 100;
            struct
            {
                VstInt32 numEvents;
                VstIntPtr reserved;
                VstEvent* events[2];
            } events{2, 0, {reinterpret_cast<VstEvent*>(&note), reinterpret_cast<VstEvent*>(&sysex)}};
            e->dispatcher(e, effProcessEvents, 0, 0, &events, 0.0f);
            // 32 deliveries a block at most, however the threads are
            // scheduled: a block's answers stay within what it sends.
            const long block = blocks.load();
            if (n % 32 == 31)
                while (blocks.load() == block)
                    std::this_thread::yield();
        }
        --delivering;
    };
    std::thread first(deliver, 0);
    std::thread second(deliver, 1);
    first.join();
    second.join();
    audio.join();
    for (int channel = 0; channel < 16; ++channel)
        EXPECT_EQ(g_answers[channel].load(), kDeliveries / 8) << "channel " << channel + 1;
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
}
