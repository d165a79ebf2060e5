// Selecting and replacing the current presets. The working lists keep their
// length: voices point into them.

#include "engine/engine.h"
#include "patch/log.h"

namespace k1lib
{
bool Engine::setSingle(size_t index)
{
    if (index >= m_singles.size())
        return false;
    if (index == m_currentSingle)
        return true;
    K1_LOG("Switching to single " << index);
    m_currentSingle = index;
    m_bendRange = static_cast<int32_t>(m_singles[index].pitchBendDepth);
    m_multi.clearAllVoices();
    applySingleToParameters(m_singles[index]);
    m_listener->onActiveSingleChanged(index);
    return true;
}

bool Engine::setSingle(size_t index, const SinglePreset& preset)
{
    if (index >= m_singles.size())
        return false;
    if (m_singles[index] == preset)
        return true;
    // Voices of this single point at the stored record; they stop first.
    if (index == m_currentSingle)
        m_multi.clearAllVoices();
    m_singles[index] = preset;
    if (index == m_currentSingle)
    {
        applySingleToParameters(m_singles[index]);
        m_listener->onActiveSingleModified(index);
    }
    m_listener->onSingleModified(index);
    return true;
}

bool Engine::setMulti(size_t index)
{
    if (index >= m_multis.size())
        return false;
    if (index == m_currentMulti)
        return true;
    K1_LOG("Switching to multi " << index);
    m_currentMulti = index;
    m_multi.clearAllVoices();
    m_multi.setMulti(m_multis[index]);
    applyMultiToParameters(m_multis[index]);
    m_listener->onActiveMultiChanged(index);
    return true;
}

bool Engine::setMulti(size_t index, const MultiPreset& preset)
{
    if (index >= m_multis.size())
        return false;
    if (m_multis[index] == preset)
        return true;
    m_multis[index] = preset;
    if (index == m_currentMulti)
    {
        m_multi.clearAllVoices();
        applyMultiToParameters(m_multis[index]);
        m_listener->onActiveMultiModified(index);
    }
    m_listener->onMultiModified(index);
    return true;
}

void Engine::modifyParameter(EParam param, float normalized)
{
    setParameter(param, normalized, true);
    m_listener->onParameterChanged(param, normalized);
}
} // namespace k1lib
