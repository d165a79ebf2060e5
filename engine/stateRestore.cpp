// Restoring the engine from a state chunk. The block is decoded completely
// first (stateReader.cpp), then, when nothing of it is cut short or damaged,
// applied in one pass: configuration, custom data, presets, current presets
// and play mode, parameter values. The lists are only ever assigned in place,
// since voices point into them.

#include <algorithm>
#include <cmath>

#include "engine/stateChunk.h"
#include "patch/log.h"
#include "patch/parameter.h"

namespace k1lib
{
namespace
{
using namespace stateChunk;

// The stored bytes laid over the start of the Config, as the fields sit in
// the block (little-endian); fields beyond them keep their values, fields
// outside their range take their default. False when any did.
bool applyConfigBytes(Engine::Config& config, const std::vector<uint8_t>& bytes)
{
    const Engine::Config defaults;
    bool valid = true;
    for (size_t f = 0; f < kConfigFieldCount; ++f)
    {
        uint32_t& field = config.*kConfigFields[f].field;
        for (size_t b = 0; b < 4 && 4 * f + b < bytes.size(); ++b)
            field = (field & ~(0xFFu << (8 * b))) | static_cast<uint32_t>(bytes[4 * f + b]) << (8 * b);
        if (field > kConfigFields[f].max)
        {
            K1_LOG("Configuration field " << f << " holds " << field << ", taking the default "
                                          << defaults.*kConfigFields[f].field);
            field = defaults.*kConfigFields[f].field;
            valid = false;
        }
    }
    return valid;
}

// Whether the stored slot of the current preset arrived intact.
template <typename Slots>
bool arrived(const std::optional<Slots>& slots, size_t index)
{
    return slots && index < slots->size() && (*slots)[index].has_value();
}

// Every slot takes its stored preset, or the factory preset when its data
// did not arrive.
template <typename Preset, typename Slots>
void assignSlots(std::vector<Preset>& list, const Slots& slots, const std::vector<Preset>& factory)
{
    for (size_t i = 0; i < list.size(); ++i)
    {
        if (slots[i])
            list[i] = *slots[i];
        else if (i < factory.size())
            list[i] = factory[i];
    }
}
} // namespace

bool Engine::loadState(const std::vector<uint8_t>& in)
{
    StateChunk chunk;
    if (!readStateChunk(in, m_singles.size(), m_multis.size(), chunk))
        return false;
    // Only a block that decoded completely is applied: a cut or damaged one
    // would otherwise replace presets and settings with what happened to
    // arrive. The state stays as it is.
    if (chunk.truncated || chunk.damaged)
    {
        K1_LOG("Refusing the state: it is " << (chunk.truncated ? "cut short" : "damaged") << ", nothing restored");
        return false;
    }
    if (chunk.currentSingle && *chunk.currentSingle >= m_singles.size())
        K1_LOG("Stored single " << *chunk.currentSingle << " is outside the store, selecting single 0");
    if (chunk.currentMulti && *chunk.currentMulti >= m_multis.size())
        K1_LOG("Stored multi " << *chunk.currentMulti << " is outside the store, selecting multi 0");
    // Values saveState does not write are repaired and logged on the way;
    // the state is restored all the same.
    restoreState(chunk);
    return true;
}

// False when it had to repair a value that saveState cannot have written.
bool Engine::restoreState(const StateChunk& chunk)
{
    const bool folded = foldsChannels();
    bool clean = !chunk.config || applyConfigBytes(m_config, *chunk.config);
    if (chunk.custom && !chunk.custom->empty())
        m_listener->deserializeCustomData(*chunk.custom);

    // Nothing of the store arrived: only the channel map may have to follow
    // a new receive channel or omni setting.
    if (!chunk.currentSingle)
    {
        if (chunk.config)
            loadMultiForPlayMode();
        return clean;
    }

    m_multi.clearAllVoices();
    if (chunk.singles)
        assignSlots(m_singles, *chunk.singles, factorySingles);
    if (chunk.multis)
        assignSlots(m_multis, *chunk.multis, factoryMultis);

    const size_t single = *chunk.currentSingle < m_singles.size() ? static_cast<size_t>(*chunk.currentSingle) : 0;
    size_t multi = 0;
    if (chunk.version >= kFirstVersionWithMultis)
    {
        multi = m_currentMulti;
        if (chunk.currentMulti)
            multi = *chunk.currentMulti < m_multis.size() ? static_cast<size_t>(*chunk.currentMulti) : 0;
    }
    if (chunk.playMode && *chunk.playMode > 1)
    {
        K1_LOG("Unknown play mode " << *chunk.playMode << ", restoring in single mode");
        clean = false;
    }
    const PlayMode mode = chunk.playMode && *chunk.playMode == 1 ? PlayMode::Multi : PlayMode::Single;

    // The preset of the stored mode is selected in full; the other one is
    // set directly, its parameters reloaded so that they match it.
    if (mode == PlayMode::Single)
    {
        selectSingle(single);
        m_currentMulti = multi;
        applyMultiToParameters(m_multis[multi]);
    }
    else
    {
        m_currentSingle = single;
        applySingleToParameters(m_singles[single]);
        selectMulti(multi);
    }
    if (m_playMode != mode)
        switchPlayMode(mode);
    else
        keysFollowSettings(folded);
    // The channel map follows the restored configuration in either mode.
    loadMultiForPlayMode();

    if (!chunk.params)
        return clean;
    // Stored values of a preset whose data did not arrive would rewrite the
    // factory preset in its slot: those stay as the reload left them.
    const bool singleArrived = arrived(chunk.singles, single) && chunk.currentSingle == single;
    const bool multiArrived = arrived(chunk.multis, multi) && chunk.currentMulti == multi;
    const std::vector<float>& values = *chunk.params;
    bool inRange = true;
    for (uint32_t p = 0; p < values.size(); ++p)
    {
        const float value = values[p];
        if (!(value >= 0.0f && value <= 1.0f))
            inRange = false; // the manager clamps, and NaN takes the default
        if ((isSingleParam(p) && !singleArrived) || (isMultiParam(p) && !multiArrived))
            continue;
        if (p == Param_Mode)
        {
            const CParam& row = g_params[Param_Mode];
            const float n = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
            if ((static_cast<int>(row.range * n + row.min + 0.5f) != 0) != (mode == PlayMode::Multi))
                continue; // the stored play mode decides
        }
        m_parameters.setVSTParam(p, value, false);
    }
    if (!inRange)
        K1_LOG("Parameter values outside 0..1 in the state, clamped");
    return clean && inRange;
}
} // namespace k1lib
