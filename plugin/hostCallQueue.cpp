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

void HostCallQueue::push(Kind kind, size_t first, size_t count)
{
    Call call;
    call.kind = kind;
    call.first = first;
    call.count = count;
    m_calls.push_back(call);
}

void HostCallQueue::pushParameter(EParam param, float value)
{
    Call call;
    call.kind = Kind::ParameterChanged;
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
    push(Kind::SendMidi, m_midiCount++);
}

void HostCallQueue::deliver(IPluginListener& listener, const std::atomic<float>* currentValues) const
{
    for (const Call& call : m_calls)
    {
        switch (call.kind)
        {
        case Kind::ActiveSingleChanged: listener.onActiveSingleChanged(call.first); break;
        case Kind::SingleModified: listener.onSingleModified(call.first); break;
        case Kind::ActiveSingleModified: listener.onActiveSingleModified(call.first); break;
        case Kind::SinglesModified: listener.onSinglesModified(call.first, call.count); break;
        case Kind::ActiveMultiChanged: listener.onActiveMultiChanged(call.first); break;
        case Kind::MultiModified: listener.onMultiModified(call.first); break;
        case Kind::ActiveMultiModified: listener.onActiveMultiModified(call.first); break;
        case Kind::MultisModified: listener.onMultisModified(call.first, call.count); break;
        case Kind::SendMidi: listener.sendMidi(m_midi[call.first]); break;
        case Kind::ParameterChanged:
            listener.onParameterChanged(call.param, currentValues ? currentValues[call.param].load(std::memory_order_relaxed)
                                                                  : call.value);
            break;
        case Kind::PlayModeChanged: listener.onPlayModeChanged(); break;
        case Kind::ConfigChanged: listener.onConfigChanged(); break;
        }
    }
}

void HostCallQueue::clear()
{
    m_calls.clear();
    m_midiCount = 0;
}
} // namespace k1lib
