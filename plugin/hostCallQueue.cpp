#include "plugin/hostCallQueue.h"

#include <cstring>
#include <utility>

namespace k1lib
{
namespace
{
// Every parameter, every other kind of report, and every event.
constexpr size_t kMaxCalls = kParamCount + PluginToEditorEvent::SendMidi + HostCallQueue::kMaxMidiEvents;
} // namespace

HostCallQueue::HostCallQueue()
    : m_kindAt(kKinds, kNone), m_paramQueued(kParamCount, 0)
{
    m_calls.reserve(kMaxCalls);
    m_midi.reserve(kMaxMidiEvents);
    m_bytes.reserve(kMaxMidiBytes);
}

void HostCallQueue::push(uint32_t type, size_t first, size_t count)
{
    if (type >= kKinds || type == Notification::ParameterChanged)
        return;
    Notification call;
    call.type = type;
    call.index = first;
    call.count = count;
    if (m_kindAt[type] != kNone)
    {
        m_calls[m_kindAt[type]] = call;
        return;
    }
    m_kindAt[type] = static_cast<uint32_t>(m_calls.size());
    m_calls.push_back(call);
}

void HostCallQueue::pushParameter(EParam param, float value)
{
    if (param >= kParamCount || m_paramQueued[param])
        return;
    m_paramQueued[param] = 1;
    Notification call;
    call.type = Notification::ParameterChanged;
    call.param = param;
    call.value = value;
    m_calls.push_back(call);
}

bool HostCallQueue::pushMidi(const SMidiEvent& event)
{
    const size_t size = event.sysexSize();
    const size_t used = m_bytes.size();
    if (m_midi.size() == kMaxMidiEvents || size > kMaxMidiBytes - used)
    {
        ++m_droppedMidi;
        return false;
    }
    SMidiEvent& slot = m_midi.emplace_back();
    slot.status = event.status;
    slot.data1 = event.data1;
    slot.data2 = event.data2;
    slot.sampleOffset = event.sampleOffset;
    if (size > 0)
    {
        // Within the reserved capacity: the bytes before never move.
        m_bytes.resize(used + size);
        std::memcpy(m_bytes.data() + used, event.sysexData(), size);
        slot.sysexView = m_bytes.data() + used;
        slot.sysexViewSize = static_cast<uint32_t>(size);
    }
    Notification call;
    call.type = Notification::SendMidi;
    call.index = m_midi.size() - 1;
    m_calls.push_back(call);
    return true;
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
    for (const Notification& call : m_calls)
    {
        if (call.type == Notification::ParameterChanged)
            m_paramQueued[call.param] = 0;
        else if (call.type < kKinds)
            m_kindAt[call.type] = kNone;
    }
    m_calls.clear();
    m_midi.clear();
    m_bytes.clear();
}

void HostCallQueue::swap(HostCallQueue& other) noexcept
{
    m_calls.swap(other.m_calls);
    m_midi.swap(other.m_midi);
    m_bytes.swap(other.m_bytes);
    m_kindAt.swap(other.m_kindAt);
    m_paramQueued.swap(other.m_paramQueued);
    std::swap(m_droppedMidi, other.m_droppedMidi);
}

size_t HostCallQueue::takeDroppedMidi()
{
    return std::exchange(m_droppedMidi, 0);
}
} // namespace k1lib
