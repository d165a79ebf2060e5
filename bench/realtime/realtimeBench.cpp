// What the audio thread pays for what arrives at awkward moments, through the
// plug-in's VST entries at 44.1 kHz in 512-frame blocks: the first block
// after the host resumes a new instance (a four-note chord starts in it),
// held against a block of a running instance playing the chord, and against
// the same chord starting in a running instance while another instance is
// being built (the caches as cold as a new instance finds them); and the
// block after a flood of 128 k events delivered without a block in between
// (the instrument keeps the first 4096; the budget of a block is 11.6 ms).
// Instances are made outside the timing.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "vst/myVstAudioEffect.h"

namespace
{
constexpr int kBlock = 512;

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

struct Instance
{
    std::unique_ptr<MyVSTAudioEffect> plugin = std::make_unique<MyVSTAudioEffect>(quietHost);
    AEffect* effect = plugin->getAeffect();
    std::vector<float> left = std::vector<float>(kBlock);
    std::vector<float> right = std::vector<float>(kBlock);
    float* outputs[2] = {left.data(), right.data()};
    std::vector<VstMidiEvent> notes;
    std::vector<VstIntPtr> header;

    Instance()
    {
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        effect->dispatcher(effect, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    }

    // Delivers count events: a four-note chord, then pitch bends.
    void deliver(size_t count)
    {
        notes.assign(count, VstMidiEvent{});
        header.assign(2 + count + 2, 0);
        auto* events = reinterpret_cast<VstEvents*>(header.data());
        VstEvent** list = events->events;
        for (size_t i = 0; i < count; ++i)
        {
            VstMidiEvent& e = notes[i];
            e.type = kVstMidiType;
            e.byteSize = sizeof(VstMidiEvent);
            e.deltaFrames = static_cast<VstInt32>(i % kBlock);
            e.midiData[0] = static_cast<char>(i < 4 ? 0x90 : 0xE0);
            e.midiData[1] = static_cast<char>(i < 4 ? 60 + 4 * i : i & 0x7F);
            e.midiData[2] = 64;
            list[i] = reinterpret_cast<VstEvent*>(&e);
        }
        events->numEvents = static_cast<VstInt32>(count);
        effect->dispatcher(effect, effProcessEvents, 0, 0, events, 0.0f);
    }
    void block() { effect->processReplacing(effect, nullptr, outputs, kBlock); }
};

void FirstBlockAfterResume(benchmark::State& state)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        auto instance = std::make_unique<Instance>();
        instance->deliver(4);
        state.ResumeTiming();
        instance->block();
        state.PauseTiming();
        instance.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(FirstBlockAfterResume)->Unit(benchmark::kMicrosecond)->Iterations(30);

void OrdinaryBlock(benchmark::State& state)
{
    Instance instance;
    instance.deliver(4);
    for (int i = 0; i < 20; ++i)
        instance.block();
    for (auto _ : state)
        instance.block();
}
BENCHMARK(OrdinaryBlock)->Unit(benchmark::kMicrosecond);

// The same chord starting in an instance that has rendered before, while
// another instance is being built (which leaves the caches as cold as a
// fresh instance finds them): the ordinary block to hold the first against.
void ChordStartBlockAfterAnotherInstanceIsBuilt(benchmark::State& state)
{
    Instance instance;
    for (int i = 0; i < 20; ++i)
        instance.block();
    for (auto _ : state)
    {
        state.PauseTiming();
        instance.deliver(4);
        auto other = std::make_unique<Instance>();
        state.ResumeTiming();
        instance.block();
        state.PauseTiming();
        other.reset();
        for (int i = 0; i < 8; ++i)
        {
            instance.deliver(0);
            instance.block();
        }
        state.ResumeTiming();
    }
}
BENCHMARK(ChordStartBlockAfterAnotherInstanceIsBuilt)->Unit(benchmark::kMicrosecond)->Iterations(30);

void BlockAfterAFloodOf128kEvents(benchmark::State& state)
{
    Instance instance;
    for (auto _ : state)
    {
        state.PauseTiming();
        instance.deliver(128 * 1024);
        state.ResumeTiming();
        instance.block();
    }
}
BENCHMARK(BlockAfterAFloodOf128kEvents)->Unit(benchmark::kMicrosecond)->Iterations(20);
} // namespace
