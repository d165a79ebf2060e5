// The engine's reports, passed on to the parameter cache, the editor and the
// host bridge. Every callback runs inside an engine call, so the engine lock
// is held. What changed is recorded twice, merged: for the editor, told just
// before the lock is released, and for the host bridge, whose calls are made
// once it is released: after the block, or at the end of the facade call
// (see HostCallQueue). A change of the active preset or of the play mode
// re-syncs the parameters first, so their values are in the same delivery.

#include "plugin/plugin.h"

#include "engine/engine.h"

namespace k1lib
{
namespace
{
constexpr auto kRelaxed = std::memory_order_relaxed;
} // namespace

void Plugin::report(const Change& change)
{
    m_editorChanges.add(change);
    recordingQueue().add(change);
}

void Plugin::resyncParameter(EParam param)
{
    const float value = m_engine.getParameter(param);
    std::atomic<float>& cached = m_cache[param];
    // NaN on either side counts as a change.
    if (value == cached.load(kRelaxed))
        return;
    cached.store(value, kRelaxed);
    report({.kind = ChangeKind::ParameterChanged, .param = param, .value = value});
}

void Plugin::resyncAllParameters()
{
    for (uint32_t p = 0; p < kParamCount; ++p)
        resyncParameter(static_cast<EParam>(p));
}

void Plugin::onChange(const Change& change)
{
    switch (change.kind)
    {
    case ChangeKind::ActiveSingleChanged:
    case ChangeKind::ActiveSingleModified:
    case ChangeKind::ActiveMultiChanged:
    case ChangeKind::ActiveMultiModified:
        resyncAllParameters();
        break;
    case ChangeKind::ParameterChanged:
        // The engine's value is the one that counts; the passed one may
        // predate it. The re-sync reports it when it changed.
        if (change.param < kParamCount)
            resyncParameter(change.param);
        return;
    case ChangeKind::PlayModeChanged:
        // The other mode's parameters are writable now.
        m_refused.fill(false);
        resyncParameter(Param_Mode);
        break;
    default:
        break;
    }
    report(change);
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
} // namespace k1lib
