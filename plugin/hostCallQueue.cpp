#include "plugin/hostCallQueue.h"

namespace k1lib
{
namespace
{
// A program change re-syncs all 209 parameters and then reports the switch:
// a few of those fit without growing.
constexpr size_t kReservedCalls = 1024;
constexpr size_t kReservedEvents = 64;
} // namespace

HostCallQueue::HostCallQueue()
{
    m_calls.reserve(kReservedCalls);
    m_midi.reserve(kReservedEvents);
}

void HostCallQueue::push(uint32_t type, size_t first, size_t count)
{
    Notification call;
    call.type = type;
    call.index = first;
    call.count = count;
    m_calls.push_back(call);
}

void HostCallQueue::pushParameter(EParam param, float value)
{
    Notification call;
    call.type = Notification::ParameterChanged;
    call.param = param;
    call.value = value;
    m_calls.push_back(call);
}

void HostCallQueue::pushMidi(const SMidiEvent& event)
{
    if (m_midiCount < m_midi.size())
    {
        SMidiEvent& slot = m_midi[m_midiCount];
        slot.status = event.status;
        slot.data1 = event.data1;
        slot.data2 = event.data2;
        slot.sysex.assign(event.sysex.begin(), event.sysex.end());
        slot.sampleOffset = event.sampleOffset;
    }
    else
    {
        m_midi.push_back(event);
    }
    push(Notification::SendMidi, m_midiCount++);
}

void HostCallQueue::deliver(IPluginListener& listener, const std::atomic<float>* currentValues) const
{
    for (Notification call : m_calls)
    {
        if (call.type == Notification::ParameterChanged && currentValues)
            call.value = currentValues[call.param].load(std::memory_order_relaxed);
        notify(listener, call, call.type == Notification::SendMidi ? &m_midi[call.index] : nullptr);
    }
}

void HostCallQueue::notify(IPluginListener& listener, const Notification& call, const SMidiEvent* midi)
{
    const size_t index = static_cast<size_t>(call.index);
    const size_t count = static_cast<size_t>(call.count);
    switch (call.type)
    {
    case Notification::ActiveSingleChanged: listener.onActiveSingleChanged(index); break;
    case Notification::SingleModified: listener.onSingleModified(index); break;
    case Notification::ActiveSingleModified: listener.onActiveSingleModified(index); break;
    case Notification::SinglesModified: listener.onSinglesModified(index, count); break;
    case Notification::ActiveMultiChanged: listener.onActiveMultiChanged(index); break;
    case Notification::MultiModified: listener.onMultiModified(index); break;
    case Notification::ActiveMultiModified: listener.onActiveMultiModified(index); break;
    case Notification::MultisModified: listener.onMultisModified(index, count); break;
    case Notification::ParameterChanged:
        if (call.param < kParamCount)
            listener.onParameterChanged(static_cast<EParam>(call.param), call.value);
        break;
    case Notification::PlayModeChanged: listener.onPlayModeChanged(); break;
    case Notification::ConfigChanged: listener.onConfigChanged(); break;
    case Notification::SendMidi:
        if (midi)
            listener.sendMidi(*midi);
        break;
    default: break;
    }
}

void HostCallQueue::clear()
{
    m_calls.clear();
    m_midiCount = 0;
}
} // namespace k1lib
