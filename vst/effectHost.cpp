// MyVSTAudioEffect: the audio thread's entries, and the facade's reports
// turned into host requests.

#include <algorithm>

#include "patch/log.h"
#include "vst/myVstAudioEffect.h"
#include "vst/k1ui.h"

// ---- Audio thread ----------------------------------------------------------

VstInt32 MyVSTAudioEffect::processEvents(VstEvents* events)
{
    const k1log::AudioThreadScope audioThread;
    if (events == nullptr)
        return 1;
    // The record declares two pointers; the host's list runs on past them.
    VstEvent* const* list = events->events;
    for (VstInt32 i = 0; i < events->numEvents; ++i)
    {
        const VstEvent* e = list[i];
        if (e == nullptr)
        {
            K1_LOG("Skipping a missing event");
            continue;
        }
        k1lib::SMidiEvent event;
        event.sampleOffset = e->deltaFrames;
        if (e->type == kVstMidiType)
        {
            const auto* midi = reinterpret_cast<const VstMidiEvent*>(e);
            event.status = static_cast<uint8_t>(midi->midiData[0]);
            event.data1 = static_cast<uint8_t>(midi->midiData[1]);
            event.data2 = static_cast<uint8_t>(midi->midiData[2]);
        }
        else if (e->type == kVstSysExType)
        {
            const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(e);
            if (sysex->sysexDump == nullptr || sysex->dumpBytes <= 0)
            {
                K1_LOG("Skipping a sysex event of " << sysex->dumpBytes << " bytes at "
                                                    << static_cast<const void*>(sysex->sysexDump));
                continue;
            }
            // The facade copies the bytes into storage of its own.
            event.sysexView = reinterpret_cast<const uint8_t*>(sysex->sysexDump);
            event.sysexViewSize = static_cast<uint32_t>(sysex->dumpBytes);
        }
        else
        {
            K1_LOG("Unknown event type " << e->type);
            continue;
        }
        m_facade.addMidiEvent(event);
    }
    return 1;
}

void MyVSTAudioEffect::processReplacing(float**, float** outputs, VstInt32 sampleFrames)
{
    const k1log::AudioThreadScope audioThread;
    if (outputs == nullptr || sampleFrames <= 0)
        return;
    // The count the host has taken: an I/O change still being negotiated on
    // the UI thread does not reach buffers the host has not resized.
    const VstInt32 channels = m_renderOutputs.load(std::memory_order_acquire);
    m_outgoing.beginRender();
    m_facade.process(outputs, static_cast<size_t>(channels), static_cast<size_t>(sampleFrames));
    // After the render: the block's own replies have been queued by now.
    deliverMidi(sampleFrames);
    m_outgoing.endRender();
}

void MyVSTAudioEffect::deliverMidi(VstInt32 sampleFrames)
{
    if (!m_outgoing.take())
        return;
    // Short messages reach the host before system-exclusive ones.
    if (VstEvents* shortMessages = m_outgoing.build(false, sampleFrames))
        sendVstEventsToHost(shortMessages);
    if (VstEvents* sysex = m_outgoing.build(true, sampleFrames))
        sendVstEventsToHost(sysex);
}

// ---- Facade reports --------------------------------------------------------

namespace
{
uint64_t packPrograms(uint64_t count, uint64_t program)
{
    return static_cast<uint64_t>(static_cast<uint32_t>(count)) << 32 | static_cast<uint32_t>(program);
}
VstInt32 countOf(uint64_t programs) { return static_cast<VstInt32>(programs >> 32); }
VstInt32 programOf(uint64_t programs) { return static_cast<VstInt32>(static_cast<uint32_t>(programs)); }
} // namespace

// The UI thread (a program the host selected) and the audio thread (a
// program change or a play-mode switch inside a block) publish at the same
// time. No store is made from a count read before it: the program number
// changes only by compare-and-swap within the count it was read with, and
// the count only from the facade, which is read again after the store.

bool MyVSTAudioEffect::recordActivePreset(size_t index, k1lib::PlayMode mode)
{
    // Only the host's program number follows: the preset is selected already,
    // and selecting it again through the play mode's path would undo a state
    // being restored (a multi-mode state restores its single too). A count
    // published for the other mode is left alone: the switch's own
    // publishing brings the current preset along.
    const auto modeCount =
        static_cast<VstInt32>(mode == k1lib::PlayMode::Single ? m_facade.getSingleCount() : m_facade.getMultiCount());
    const auto program = static_cast<VstInt32>(index);
    if (m_facade.getPlayMode() != mode || program >= modeCount)
        return false;
    uint64_t programs = m_programs.load(std::memory_order_acquire);
    do
    {
        if (countOf(programs) != modeCount || programOf(programs) == program)
            return false;
    } while (!m_programs.compare_exchange_weak(programs, packPrograms(modeCount, program), std::memory_order_acq_rel));
    mirrorPrograms();
    return true;
}

void MyVSTAudioEffect::followPlayMode()
{
    auto read = [this] {
        return packPrograms(m_facade.getPresetCount(), m_facade.getCurrentPresetIndex());
    };
    for (uint64_t seen = read();;)
    {
        m_programs.store(seen, std::memory_order_release);
        // A switch on the other thread between the read and the store: its
        // count is the one to hold.
        const uint64_t now = read();
        if (now == seen)
            break;
        seen = now;
    }
    mirrorPrograms();
}

bool MyVSTAudioEffect::replaceProgram(VstInt32 expected, VstInt32 program)
{
    uint64_t programs = m_programs.load(std::memory_order_acquire);
    do
    {
        if (program < 0 || program >= countOf(programs) || (expected >= 0 && programOf(programs) != expected))
            return false;
    } while (!m_programs.compare_exchange_weak(programs, packPrograms(countOf(programs), program),
                                               std::memory_order_acq_rel));
    mirrorPrograms();
    return true;
}

// The base's copies (the host reads the count straight from the AEffect)
// follow the pair until no other store has come in between.
void MyVSTAudioEffect::mirrorPrograms()
{
    for (uint64_t seen = m_programs.load(std::memory_order_acquire);;)
    {
        setNumPrograms(countOf(seen));
        curProgram = programOf(seen);
        const uint64_t now = m_programs.load(std::memory_order_acquire);
        if (now == seen)
            return;
        seen = now;
    }
}

VstInt32 MyVSTAudioEffect::getProgram()
{
    return programOf(m_programs.load(std::memory_order_acquire));
}

void MyVSTAudioEffect::onChanges(const k1lib::Changes& changes)
{
    using Kind = k1lib::ChangeKind;
    // The facade holds each value already: the write inside ends at once and
    // the host hears it as automation.
    changes.forEachParameter([this](k1lib::EParam param, float value) {
        setParameterAutomated(static_cast<VstInt32>(param), value);
    });
    bool display = false;
    changes.forEachKind([&](Kind kind) {
        const size_t index = changes.get(kind).first;
        switch (kind)
        {
        case Kind::ActiveSingleChanged: display |= recordActivePreset(index, k1lib::PlayMode::Single); break;
        case Kind::ActiveMultiChanged: display |= recordActivePreset(index, k1lib::PlayMode::Multi); break;
        case Kind::PlayModeChanged:
            followPlayMode();
            display = true;
            break;
        case Kind::ConfigChanged: reconfigureOutputs(); break;
        case Kind::ParameterChanged: break;
        default: display = true; break; // names and modification marks
        }
    });
    if (display)
        updateDisplay();
}

void MyVSTAudioEffect::sendMidi(const k1lib::SMidiEvent& event)
{
    m_outgoing.push(event);
}

void MyVSTAudioEffect::serializeCustomData(std::vector<uint8_t>& data)
{
    if (m_editorBridge)
        m_editorBridge->saveState(data);
}

void MyVSTAudioEffect::deserializeCustomData(const std::vector<uint8_t>& data)
{
    if (m_editorBridge)
        m_editorBridge->loadState(data);
}

void MyVSTAudioEffect::reconfigureOutputs()
{
    k1lib::EngineConfig config = m_facade.getConfig();
    const VstInt32 wanted = config.audioOutputMode == 1 ? 8 : 2;
    const VstInt32 previous = cEffect.numOutputs;
    if (wanted == previous)
        return;
    if (!ioChanged())
    {
        K1_LOG("Change IO configuration is not supported");
        return;
    }
    setNumOutputs(wanted);
    // The converters for the new count are opened here, not in a block.
    m_facade.prepare(static_cast<size_t>(wanted));
    if (ioChanged())
    {
        // The host has taken the new count: the next block renders with it.
        m_renderOutputs.store(wanted, std::memory_order_release);
        return;
    }
    m_facade.prepare(static_cast<size_t>(previous));
    K1_LOG("Failed to change IO configuration");
    setNumOutputs(previous);
    config = m_facade.getConfig();
    config.audioOutputMode = previous != 2 ? 1 : 0;
    m_facade.setConfig(config);
}
