// SineTest's audio thread: event intake, sample-accurate rendering and the
// MIDI it sends back from inside the block.

#include "tests/vsthost/sineSynth.h"

#include <algorithm>
#include <cmath>

namespace sinetest
{

VstInt32 SineSynth::processEvents(VstEvents* events)
{
    VstEvent* const* list = events->events;
    for (VstInt32 i = 0; i < events->numEvents; ++i)
    {
        const VstEvent* e = list[i];
        if (e->type == kVstMidiType)
        {
            const auto* m = reinterpret_cast<const VstMidiEvent*>(e);
            pending_.push_back({m->deltaFrames, static_cast<unsigned char>(m->midiData[0]),
                                static_cast<unsigned char>(m->midiData[1]),
                                static_cast<unsigned char>(m->midiData[2]), 0});
        }
        else if (e->type == kVstSysExType)
        {
            const auto* s = reinterpret_cast<const VstMidiSysexEvent*>(e);
            if (s->sysexDump != nullptr && s->dumpBytes > 2 &&
                static_cast<unsigned char>(s->sysexDump[1]) == 0x7d)
                pending_.push_back({s->deltaFrames, 0xf0, 0, 0, s->dumpBytes});
        }
    }
    return 1;
}

void SineSynth::sendShort(VstInt32 offset, unsigned char status, unsigned char data1,
                          unsigned char data2)
{
    VstMidiEvent m{};
    m.type = kVstMidiType;
    m.byteSize = sizeof m;
    m.deltaFrames = offset;
    m.midiData[0] = static_cast<char>(status);
    m.midiData[1] = static_cast<char>(data1);
    m.midiData[2] = static_cast<char>(data2);
    VstEvents list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<VstEvent*>(&m);
    sendVstEventsToHost(&list);
}

void SineSynth::sendSysex(VstInt32 offset, std::vector<char> bytes)
{
    VstMidiSysexEvent s{};
    s.type = kVstSysExType;
    s.byteSize = sizeof s;
    s.deltaFrames = offset;
    s.dumpBytes = static_cast<VstInt32>(bytes.size());
    s.sysexDump = bytes.data();
    VstEvents list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<VstEvent*>(&s);
    sendVstEventsToHost(&list);
}

void SineSynth::handle(const Pending& e)
{
    unsigned char kind = e.status & 0xf0;
    if (e.status == 0xf0)
    {
        sendSysex(e.offset, {char(0xf0), 0x7d, 0x52, static_cast<char>(e.sysexLength & 0x7f),
                             char(0xf7)});
        return;
    }
    if (kind == 0xb0 && e.data1 == 7)
    {
        setParameterAutomated(0, e.data2 / 127.0f);
        return;
    }
    bool noteOn = kind == 0x90 && e.data2 > 0;
    bool noteOff = kind == 0x80 || (kind == 0x90 && e.data2 == 0);
    if (noteOn)
    {
        auto free = std::find_if(voices_.begin(), voices_.end(), [](const Voice& v) { return v.note < 0; });
        Voice& v = free != voices_.end() ? *free : voices_[0];
        v = Voice{e.data1, 0.0, e.data2 / 127.0f, false};
        sendShort(e.offset, 0x9f, e.data1, e.data2);
    }
    else if (noteOff)
        for (Voice& v : voices_)
            if (v.note == e.data1)
                v.releasing = true;
}

void SineSynth::renderSpan(float** outputs, VstInt32 from, VstInt32 to)
{
    const float volume = current().params[0];
    const double detune = current().params[1] * 24.0 - 12.0;
    for (Voice& v : voices_)
    {
        if (v.note < 0)
            continue;
        const double step = 2.0 * M_PI * 440.0 * std::pow(2.0, (v.note + detune - 69.0) / 12.0) / sampleRate;
        for (VstInt32 i = from; i < to && v.note >= 0; ++i)
        {
            float s = static_cast<float>(std::sin(v.phase)) * v.gain * volume * 0.2f;
            for (VstInt32 c = 0; c < cEffect.numOutputs; ++c)
                outputs[c][i] += s;
            v.phase = std::fmod(v.phase + step, 2.0 * M_PI);
            if (v.releasing && (v.gain *= 0.995f) < 1e-4f)
                v.note = -1;
        }
    }
}

void SineSynth::processReplacing(float**, float** outputs, VstInt32 frames)
{
    for (VstInt32 c = 0; c < cEffect.numOutputs; ++c)
        std::fill(outputs[c], outputs[c] + frames, 0.0f);
    std::stable_sort(pending_.begin(), pending_.end(),
                     [](const Pending& a, const Pending& b) { return a.offset < b.offset; });
    VstInt32 at = 0;
    for (const Pending& e : pending_)
    {
        VstInt32 offset = std::clamp(e.offset, at, frames);
        renderSpan(outputs, at, offset);
        at = offset;
        handle(e);
    }
    renderSpan(outputs, at, frames);
    pending_.clear();
}

} // namespace sinetest
