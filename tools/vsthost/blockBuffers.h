#pragma once

// What a host hands the plug-in for one block: the block's MIDI and sysex
// events in VST form, and the input and output pins.

#include "vst/sdk/aeffectx.h"
#include "tools/vsthost/midiFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vsthost
{

// Pins handed to the plug-in beyond those it declares, so that one that
// writes more outputs than it announced hits scratch memory, not the host.
constexpr int kSparePins = 16;

// The events of one block in VST form; valid until the next fill().
class EventBlock
{
public:
    // Events first..last-1 of the list, each at its frame minus blockStart.
    VstEvents* fill(const std::vector<TimedMidi>& events, const std::vector<int64_t>& frames,
                    size_t first, size_t last, int64_t blockStart)
    {
        size_t count = last - first;
        midi_.assign(count, VstMidiEvent{});
        sysex_.assign(count, VstMidiSysexEvent{});
        // Header, then one pointer per event (the declared two at least).
        storage_.assign(2 + std::max<size_t>(count, 2), 0);
        auto* block = reinterpret_cast<VstEvents*>(storage_.data());
        auto* list = reinterpret_cast<VstEvent**>(reinterpret_cast<char*>(block) +
                                                  offsetof(VstEvents, events));
        VstInt32 n = 0;
        for (size_t i = first; i < last; ++i)
        {
            const std::vector<uint8_t>& bytes = events[i].bytes;
            auto delta = static_cast<VstInt32>(frames[i] - blockStart);
            if (bytes.empty())
                continue;
            if (bytes[0] == 0xf0)
            {
                VstMidiSysexEvent& s = sysex_[i - first];
                s.type = kVstSysExType;
                s.byteSize = sizeof(VstMidiSysexEvent);
                s.deltaFrames = delta;
                s.dumpBytes = static_cast<VstInt32>(bytes.size());
                s.sysexDump = reinterpret_cast<char*>(const_cast<uint8_t*>(bytes.data()));
                list[n++] = reinterpret_cast<VstEvent*>(&s);
            }
            else
            {
                VstMidiEvent& m = midi_[i - first];
                m.type = kVstMidiType;
                m.byteSize = sizeof(VstMidiEvent);
                m.deltaFrames = delta;
                for (size_t b = 0; b < std::min<size_t>(bytes.size(), 3); ++b)
                    m.midiData[b] = static_cast<char>(bytes[b]);
                list[n++] = reinterpret_cast<VstEvent*>(&m);
            }
        }
        block->numEvents = n;
        return n > 0 ? block : nullptr;
    }

private:
    std::vector<VstMidiEvent> midi_;
    std::vector<VstMidiSysexEvent> sysex_;
    std::vector<VstIntPtr> storage_;
};

class Pins
{
public:
    void resize(int count, int frames)
    {
        buffers_.assign(static_cast<size_t>(count + kSparePins), std::vector<float>(frames, 0.0f));
        pointers_.clear();
        for (std::vector<float>& b : buffers_)
            pointers_.push_back(b.data());
    }
    void clear()
    {
        for (std::vector<float>& b : buffers_)
            std::fill(b.begin(), b.end(), 0.0f);
    }
    float** pointers() { return pointers_.data(); }

private:
    std::vector<std::vector<float>> buffers_;
    std::vector<float*> pointers_;
};

} // namespace vsthost
