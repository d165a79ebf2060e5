// The engine's reports, fanned out to the parameter cache, the editor and the
// host bridge. Every callback runs inside an engine call, so the engine lock
// is held. The host bridge's calls are recorded and made once the lock is
// released: after the block, or at the end of the facade call (see
// HostCallQueue); the editor only queues, so it hears at once.
//
// Order: a preset switch and a configuration change reach the host before the
// editor; every other report reaches the editor first. A re-sync of the
// parameters always comes before the report that caused it.

#include "plugin/plugin.h"

#include "engine/engine.h"

namespace k1lib
{
namespace
{
constexpr auto kRelaxed = std::memory_order_relaxed;
using Event = PluginToEditorEvent;
} // namespace

void Plugin::postEditor(uint32_t type, uint64_t index, uint64_t count, uint32_t param, float value) const
{
    IEditor* editor = m_editor.load(std::memory_order_acquire);
    if (!editor)
        return;
    Event event;
    event.type = type;
    event.index = index;
    event.count = count;
    event.param = param;
    event.value = value;
    editor->onEvent(event);
}

void Plugin::toHost(uint32_t type, size_t first, size_t count)
{
    recordingQueue().push(type, first, count);
}

void Plugin::resyncParameter(EParam param)
{
    const float value = m_engine.getParameter(param);
    std::atomic<float>& cached = m_cache[param];
    // NaN on either side counts as a change.
    if (value == cached.load(kRelaxed))
        return;
    cached.store(value, kRelaxed);
    postEditor(Event::ParameterChanged, 0, 0, param, value);
    recordingQueue().pushParameter(param, value);
}

void Plugin::resyncAllParameters()
{
    for (uint32_t p = 0; p < kParamCount; ++p)
        resyncParameter(static_cast<EParam>(p));
}

void Plugin::onActiveSingleChanged(size_t index)
{
    resyncAllParameters();
    toHost(Event::ActiveSingleChanged, index);
    postEditor(Event::ActiveSingleChanged, index);
}

void Plugin::onSingleModified(size_t index)
{
    postEditor(Event::SingleModified, index);
    toHost(Event::SingleModified, index);
}

void Plugin::onSinglesModified(size_t first, size_t count)
{
    postEditor(Event::SinglesModified, first, count);
    toHost(Event::SinglesModified, first, count);
}

void Plugin::onActiveSingleModified(size_t index)
{
    resyncAllParameters();
    postEditor(Event::ActiveSingleModified, index);
    toHost(Event::ActiveSingleModified, index);
}

void Plugin::onActiveMultiChanged(size_t index)
{
    resyncAllParameters();
    toHost(Event::ActiveMultiChanged, index);
    postEditor(Event::ActiveMultiChanged, index);
}

void Plugin::onMultiModified(size_t index)
{
    postEditor(Event::MultiModified, index);
    toHost(Event::MultiModified, index);
}

void Plugin::onMultisModified(size_t first, size_t count)
{
    postEditor(Event::MultisModified, first, count);
    toHost(Event::MultisModified, first, count);
}

void Plugin::onActiveMultiModified(size_t index)
{
    resyncAllParameters();
    postEditor(Event::ActiveMultiModified, index);
    toHost(Event::ActiveMultiModified, index);
}

// The engine's value is the one that counts; the passed one may predate it.
void Plugin::onParameterChanged(EParam param, float)
{
    if (param < kParamCount)
        resyncParameter(param);
}

void Plugin::sendMidi(const SMidiEvent& event)
{
    recordingQueue().pushMidi(event);
}

// The state chunk is being written or read by the caller right now: the
// bridge's block cannot wait.
void Plugin::serializeCustomData(std::vector<uint8_t>& data)
{
    m_listener->serializeCustomData(data);
}

void Plugin::deserializeCustomData(const std::vector<uint8_t>& data)
{
    m_listener->deserializeCustomData(data);
}

void Plugin::onPlayModeChanged()
{
    // The other mode's parameters are writable now.
    m_refused.fill(false);
    resyncParameter(Param_Mode);
    postEditor(Event::PlayModeChanged);
    toHost(Event::PlayModeChanged);
}

void Plugin::onConfigChanged()
{
    toHost(Event::ConfigChanged);
    postEditor(Event::ConfigChanged);
}
} // namespace k1lib
