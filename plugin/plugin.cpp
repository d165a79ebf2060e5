// The facade's core: construction, block processing with the MIDI double
// buffer, the settings and the parameter cache.

#include "plugin/plugin.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "engine/engine.h"
#include "patch/log.h"
#include "patch/parameter.h"

namespace k1lib
{
namespace
{
constexpr auto kRelaxed = std::memory_order_relaxed;

// Hosts may deliver events in several calls per block and in any order, and
// with offsets past the block. They are ordered by offset, events of equal
// offset in delivery order (so a note-off after its note-on stays after it),
// in O(n log n) without allocating: a key of offset and delivery position per
// event, sorted, then the events moved into the scratch list in key order.
// Late events then move to the last frame, in their time order.
void prepareBlockEvents(std::vector<SMidiEvent>& events, std::vector<SMidiEvent>& scratch,
                        std::vector<uint64_t>& keys, size_t numFrames)
{
    if (!std::is_sorted(events.begin(), events.end(),
                        [](const SMidiEvent& a, const SMidiEvent& b) { return a.sampleOffset < b.sampleOffset; }))
    {
        keys.clear();
        for (size_t i = 0; i < events.size(); ++i)
        {
            // The offset with its sign bit flipped orders as unsigned.
            const uint64_t offset = static_cast<uint32_t>(events[i].sampleOffset) ^ 0x80000000u;
            keys.push_back(offset << 32 | i);
        }
        std::sort(keys.begin(), keys.end());
        scratch.clear();
        for (uint64_t key : keys)
            scratch.push_back(std::move(events[key & 0xFFFFFFFFu]));
        events.swap(scratch);
    }
    if (numFrames > 0)
    {
        const int32_t last = static_cast<int32_t>(std::min<size_t>(numFrames, INT32_MAX) - 1);
        for (SMidiEvent& e : events)
            e.sampleOffset = std::min(e.sampleOffset, last);
    }
}
} // namespace

class Plugin::EngineReports final : public IEngineListener
{
public:
    explicit EngineReports(Plugin& plugin) : m_plugin(plugin) {}

    void onChange(const Change& change) override { m_plugin.onChange(change); }
    void sendMidi(const SMidiEvent& event) override { m_plugin.sendMidi(event); }
    void serializeCustomData(std::vector<uint8_t>& data) override { m_plugin.serializeCustomData(data); }
    void deserializeCustomData(const std::vector<uint8_t>& data) override { m_plugin.deserializeCustomData(data); }

private:
    Plugin& m_plugin;
};

Plugin::Plugin(IPluginListener* listener, PluginType type)
    : m_reports(std::make_unique<EngineReports>(*this)),
      m_engineInstance(std::make_unique<Engine>(m_reports.get(), type)),
      m_engine(*m_engineInstance),
      m_listener(listener)
{
    m_sorted.reserve(EventInbox::kMaxEvents);
    m_sortKeys.reserve(EventInbox::kMaxEvents);
    for (uint32_t p = 0; p < kParamCount; ++p)
        m_cache[p].store(m_engine.getParameter(static_cast<EParam>(p)), kRelaxed);
}

Plugin::~Plugin() = default;

// ---- Audio ---------------------------------------------------------------

void Plugin::process(float** outputs, size_t numOutputs, size_t numFrames)
{
    const k1log::AudioThreadScope audioThread;
    // The list is this thread's until the next block.
    std::vector<SMidiEvent>& events = m_inbox.take();
    prepareBlockEvents(events, m_sorted, m_sortKeys, numFrames);
    bool hostCallsWaiting = false;
    {
        Lock lock(m_engineLock);
        m_inBlock = true;
        m_engine.process(outputs, static_cast<int>(std::min<size_t>(numOutputs, INT_MAX)),
                         static_cast<int>(std::min<size_t>(numFrames, INT_MAX)), events);
        m_inBlock = false;
        hostCallsWaiting = !m_hostCalls.empty();
    }
    events.clear();
    if (hostCallsWaiting)
    {
        // Only this thread records into the queue (under the lock, during a
        // block), so it stays as it is while the host hears it.
        m_hostCalls.deliver(*m_listener, m_cache.data());
        Lock lock(m_engineLock);
        m_hostCalls.clear();
    }
    reportOverflow();
}

void Plugin::reportOverflow()
{
    if (const uint64_t refused = m_inbox.takeRefused())
        K1_LOG("Refused " << refused << " incoming events: a block takes at most " << EventInbox::kMaxEvents
                          << " events and " << EventInbox::kMaxSysexBytes << " bytes of sysex");
    size_t dropped = 0;
    {
        Lock lock(m_engineLock);
        dropped = m_hostCalls.takeDroppedMidi() + m_otherCalls.takeDroppedMidi();
    }
    if (dropped > 0)
        K1_LOG("Dropped " << dropped << " outgoing MIDI events: a block sends at most "
                          << HostCallQueue::kMaxMidiEvents << " events and " << HostCallQueue::kMaxMidiBytes
                          << " bytes of sysex");
}

void Plugin::addMidiEvent(const SMidiEvent& event)
{
    const k1log::AudioThreadScope audioThread;
    m_inbox.add(event);
}

// ---- The engine lock -------------------------------------------------------

void Plugin::EngineMutex::lock()
{
    m_mutex.lock();
    if (++m_depth == 1)
        m_owner.m_lockCount.store(m_owner.m_lockCount.load(kRelaxed) + 1, kRelaxed);
}

void Plugin::EngineMutex::unlock()
{
    if (--m_depth > 0 || m_owner.m_inBlock)
    {
        m_mutex.unlock();
        return;
    }
    m_owner.tellEditor();
    if (m_owner.m_otherCalls.empty())
    {
        m_mutex.unlock();
        return;
    }
    m_owner.deliverRecordedCalls(m_mutex);
}

void Plugin::tellEditor()
{
    if (m_editorChanges.empty())
        return;
    if (IEditor* editor = m_editor.load(std::memory_order_acquire))
        editor->onChanges(m_editorChanges);
    m_editorChanges.clear();
}

void Plugin::deliverRecordedCalls(std::recursive_mutex& mutex)
{
    HostCallQueue* queue = nullptr;
    size_t slot = kDeliveryQueues;
    for (size_t i = 0; i < kDeliveryQueues && !queue; ++i)
    {
        if (!m_deliveryBusy[i].exchange(true, std::memory_order_acquire))
        {
            queue = &m_deliveryQueues[i];
            slot = i;
        }
    }
    // Deliveries nested deeper than the reserved queues (host callbacks that
    // call back in, from several threads at once) use one of their own.
    std::unique_ptr<HostCallQueue> own;
    if (!queue)
    {
        own = std::make_unique<HostCallQueue>();
        queue = own.get();
    }
    queue->swap(m_otherCalls);
    mutex.unlock();
    queue->deliver(*m_listener, m_cache.data());
    queue->clear();
    if (slot < kDeliveryQueues)
        m_deliveryBusy[slot].store(false, std::memory_order_release);
}

bool Plugin::setSampleRate(float rate)
{
    Lock lock(m_engineLock);
    return m_engine.setSamplerate(rate);
}

void Plugin::prepare(size_t numOutputs)
{
    Lock lock(m_engineLock);
    m_engine.prepare(static_cast<int>(std::min<size_t>(numOutputs, Engine::kMaxOutputs)));
}

int Plugin::getLatency() const
{
    Lock lock(m_engineLock);
    return m_engine.getLatency();
}

// ---- Settings ------------------------------------------------------------

PlayMode Plugin::getPlayMode() const
{
    Lock lock(m_engineLock);
    return m_engine.getPlayMode();
}

void Plugin::setPlayMode(PlayMode mode)
{
    Lock lock(m_engineLock);
    m_engine.setPlayMode(mode);
}

EngineConfig Plugin::getConfig() const
{
    Lock lock(m_engineLock);
    return m_engine.getConfig();
}

void Plugin::setConfig(const EngineConfig& config)
{
    Lock lock(m_engineLock);
    m_engine.setConfig(config);
}

PluginType Plugin::getPluginType() const
{
    Lock lock(m_engineLock);
    return m_engine.getPluginType();
}

bool Plugin::isMultiMode() const
{
    return m_engine.getPlayMode() == PlayMode::Multi;
}

// ---- Parameters ----------------------------------------------------------

bool Plugin::setParameter(EParam param, float value)
{
    // Hosts automate from their audio thread: what this logs must not wait.
    const k1log::AudioThreadScope audioThread;
    if (param >= kParamCount)
    {
        K1_LOG("Invalid parameter " << static_cast<uint32_t>(param));
        return false;
    }
    Lock lock(m_engineLock);
    std::atomic<float>& cached = m_cache[param];
    if (cached.load(kRelaxed) == value)
        return false;
    if (m_refused[param])
        return false;
    if (!m_engine.setParameter(param, value, true))
    {
        // Refused for the play mode in force; it stays refused until the
        // mode changes, so automation does not repeat the engine's log line.
        m_refused[param] = true;
        cached.store(m_engine.getParameter(param), kRelaxed);
        return false;
    }
    // What the engine holds: the value itself, or its nearest valid value
    // for input outside 0..1 (NaN: the default).
    const float stored = m_engine.getParameter(param);
    cached.store(stored, kRelaxed);
    // The host wrote it: only the editor hears of it.
    m_editorChanges.add({.kind = ChangeKind::ParameterChanged, .param = param, .value = stored});
    return true;
}

float Plugin::getParameter(EParam param) const
{
    return param < kParamCount ? m_cache[param].load(kRelaxed) : 0.0f;
}

std::string Plugin::getParameterName(EParam param) const
{
    if (param >= kParamCount)
        return {};
    return g_params[param].category + g_params[param].name;
}

std::string Plugin::getParameterLabel(EParam param) const
{
    return param < kParamCount ? g_params[param].getUnitLabel() : std::string();
}

std::string Plugin::getParameterDisplay(EParam param) const
{
    if (param >= kParamCount)
        return {};
    const CParam& row = g_params[param];
    return row.formatValue(param, m_cache[param].load(kRelaxed) * row.range + row.min);
}

bool Plugin::sendParameterChangeAsSysex(EParam param, float value) const
{
    Lock lock(m_engineLock);
    return m_engine.sendParameterAsSysex(param, value);
}

void Plugin::updateParametersFromEngine()
{
    Lock lock(m_engineLock);
    resyncAllParameters();
}

void Plugin::updateParameterFromEngine(EParam param)
{
    if (param >= kParamCount)
    {
        K1_LOG("Invalid parameter " << static_cast<uint32_t>(param));
        return;
    }
    Lock lock(m_engineLock);
    resyncParameter(param);
}

// ---- Whole state ---------------------------------------------------------

bool Plugin::getState(std::vector<uint8_t>& out)
{
    out.clear();
    Lock lock(m_engineLock);
    return m_engine.saveState(out);
}

bool Plugin::setState(const std::vector<uint8_t>& in)
{
    if (in.empty())
    {
        K1_LOG("Ignoring an empty state chunk");
        return false;
    }
    Lock lock(m_engineLock);
    const Engine::Config before = m_engine.getConfig();
    const bool restored = m_engine.loadState(in);
    // The engine restores its settings without a report; the editor's system
    // page must show them all the same.
    if (!(m_engine.getConfig() == before))
        m_editorChanges.add({ChangeKind::ConfigChanged});
    // The stored parameter values land after the preset selection that
    // re-synced the cache; what they changed is reported now.
    resyncAllParameters();
    return restored;
}

// ---- Editor --------------------------------------------------------------

void Plugin::setEditor(IEditor* editor)
{
    // The editor is told under the engine lock: taking it here means no
    // delivery is still using the previous editor.
    Lock lock(m_engineLock);
    m_editor.store(editor, std::memory_order_release);
}

void Plugin::sendEditorChanges(const Changes& changes) const
{
    if (IEditor* editor = m_editor.load(std::memory_order_acquire))
        editor->onChanges(changes);
}
} // namespace k1lib
