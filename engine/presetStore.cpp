// The working preset store: selecting, replacing, renaming and restoring
// singles and multis. The working lists keep their length and storage:
// voices point into them, so presets are only ever assigned in place.
//
// Every change of the current preset reaches the parameter manager (the
// parameter reload) before the listener hears of it, so that whatever the
// listener reads back is already the new preset's.

#include <algorithm>
#include <cstring>
#include <string_view>

#include "engine/engine.h"
#include "patch/blockLayout.h"
#include "patch/log.h"

namespace k1lib
{
namespace
{
constexpr size_t kSourceCount = 4;

// The name field as a dump of the preset reads back: characters a dump
// cannot carry become blanks, trailing blanks are dropped and the rest of
// the field is zero, so a renamed preset survives every round trip and
// equals the factory preset again when it gets its factory name back.
void storeName(char (&field)[kNameLength + 1], const std::string& text)
{
    uint8_t bytes[kNameLength];
    for (size_t i = 0; i < kNameLength; ++i)
    {
        const auto c = i < text.size() ? static_cast<uint8_t>(text[i]) : kBlank;
        bytes[i] = (c >= kBlank && c <= kLastPrintable) ? c : kBlank;
    }
    readName(field, bytes, kNameLength);
}

// The name as far as its first zero byte.
std::string nameText(const char (&field)[kNameLength + 1])
{
    return std::string(field, strnlen(field, kNameLength + 1));
}

template <typename Preset>
bool runFits(size_t first, const std::vector<Preset>& presets, size_t listSize)
{
    return !presets.empty() && presets.size() <= listSize && first <= listSize - presets.size();
}
} // namespace

// ---- Singles ----------------------------------------------------------------

bool Engine::setSingle(size_t index)
{
    if (index >= m_singles.size())
    {
        K1_LOG("Refusing single " << index << ", the store holds " << m_singles.size());
        return false;
    }
    if (index == m_currentSingle)
        return true;
    selectSingle(index);
    return true;
}

void Engine::selectSingle(size_t index)
{
    K1_LOG("Switching to single " << index);
    m_currentSingle = index;
    m_bendRange = static_cast<int32_t>(m_singles[index].pitchBendDepth);
    m_multi.clearAllVoices();
    dumpSingle(m_singles[index]);
    applySingleToParameters(m_singles[index]);
    m_listener->onChange({ChangeKind::ActiveSingleChanged, index});
}

bool Engine::setSingle(size_t index, const SinglePreset& preset)
{
    if (index >= m_singles.size())
    {
        K1_LOG("Refusing to store single " << index << ", the store holds " << m_singles.size());
        return false;
    }
    if (m_singles[index] == preset)
        return true;
    m_multi.settleVoices();
    // Voices of this single point at the stored record; they stop first.
    if (index == m_currentSingle)
        m_multi.clearAllVoices();
    m_singles[index] = preset;
    if (index == m_currentSingle)
    {
        applySingleToParameters(m_singles[index]);
        m_listener->onChange({ChangeKind::ActiveSingleModified, index});
    }
    m_listener->onChange({ChangeKind::SinglesModified, index, 1});
    return true;
}

bool Engine::setSingles(size_t first, const std::vector<SinglePreset>& presets)
{
    if (!runFits(first, presets, m_singles.size()))
    {
        K1_LOG("Refusing " << presets.size() << " singles from " << first << ", the store holds " << m_singles.size());
        return false;
    }
    bool stored = false;
    for (size_t i = 0; i < presets.size(); ++i)
    {
        const size_t index = first + i;
        if (m_singles[index] == presets[i])
            continue;
        m_multi.settleVoices();
        if (index == m_currentSingle)
            m_multi.clearAllVoices();
        m_singles[index] = presets[i];
        stored = true;
        if (index == m_currentSingle)
        {
            applySingleToParameters(m_singles[index]);
            m_listener->onChange({ChangeKind::ActiveSingleModified, m_currentSingle});
        }
    }
    if (!stored)
        return false;
    m_listener->onChange({ChangeKind::SinglesModified, first, presets.size()});
    return true;
}

void Engine::setCurrentSingleName(const std::string& name)
{
    SinglePreset& single = m_singles[m_currentSingle];
    const std::string before = nameText(single.name);
    storeName(single.name, name);
    if (nameText(single.name) != before)
        m_listener->onChange({ChangeKind::ActiveSingleModified, m_currentSingle});
}

bool Engine::isSingleModified(size_t index) const
{
    if (index >= m_singles.size() || index >= factorySingles.size())
        return false;
    return !(m_singles[index] == factorySingles[index]);
}

bool Engine::restoreFactorySingle(size_t index)
{
    if (index >= m_singles.size() || index >= factorySingles.size())
    {
        K1_LOG("No factory single " << index);
        return false;
    }
    if (m_singles[index] == factorySingles[index])
        return false;
    return setSingle(index, factorySingles[index]);
}

bool Engine::swapSources(size_t a, size_t b)
{
    if (a == b || a >= kSourceCount || b >= kSourceCount)
    {
        K1_LOG("Cannot swap sources " << a << " and " << b);
        return false;
    }
    SinglePreset copy = m_singles[m_currentSingle];
    std::swap(copy.sources[a], copy.sources[b]);
    setSingle(m_currentSingle, copy);
    return true;
}

// One line (of several text lines) built in fixed storage: a program change
// logs it on the audio thread.
void Engine::dumpSingle(const SinglePreset& single) const
{
    k1log::Line text;
    text << __func__ << '@' << __LINE__ << ": Single "
         << std::string_view(single.name, strnlen(single.name, sizeof single.name)) << ":\n";
    for (size_t s = 0; s < kSourceCount; ++s)
    {
        const SingleSource& src = single.sources[s];
        text << " S" << s + 1 << ":\n";
        text << "  coarse=" << src.coarse << ", fine=" << src.fine << "\n";
        text << "  wave=" << int(src.wave) << " " << Waveforms::getName(src.wave) << "\n";
        text << "  env: level=" << src.envLevel << ", dadsr=" << src.envDelay << " " << src.envAttack << " "
             << src.envDecay << " " << src.envSustain << " " << src.envRelease << "\n";
    }
    text << "ampMod S1S2=" << single.ampModS1S2 << ", S3S4=" << single.ampModS3S4 << "\n";
    k1log::write(text.view());
}

// ---- Multis -----------------------------------------------------------------

bool Engine::setMulti(size_t index)
{
    if (index >= m_multis.size())
    {
        K1_LOG("Refusing multi " << index << ", the store holds " << m_multis.size());
        return false;
    }
    if (index == m_currentMulti)
        return true;
    selectMulti(index);
    return true;
}

void Engine::selectMulti(size_t index)
{
    K1_LOG("Switching to multi " << index);
    m_currentMulti = index;
    // Outside multi mode the voices play the single: they stay as they are,
    // and the multi is loaded when multi mode comes.
    if (m_playMode == PlayMode::Multi)
    {
        m_multi.clearAllVoices();
        m_multi.setMulti(m_multis[index]);
    }
    applyMultiToParameters(m_multis[index]);
    m_listener->onChange({ChangeKind::ActiveMultiChanged, index});
}

bool Engine::setMulti(size_t index, const MultiPreset& preset)
{
    if (index >= m_multis.size())
    {
        K1_LOG("Refusing to store multi " << index << ", the store holds " << m_multis.size());
        return false;
    }
    if (m_multis[index] == preset)
        return true;
    m_multis[index] = preset;
    if (index == m_currentMulti)
    {
        if (m_playMode == PlayMode::Multi)
            m_multi.clearAllVoices();
        applyMultiToParameters(m_multis[index]);
        m_listener->onChange({ChangeKind::ActiveMultiModified, index});
    }
    m_listener->onChange({ChangeKind::MultisModified, index, 1});
    return true;
}

bool Engine::setMultis(size_t first, const std::vector<MultiPreset>& presets)
{
    if (!runFits(first, presets, m_multis.size()))
    {
        K1_LOG("Refusing " << presets.size() << " multis from " << first << ", the store holds " << m_multis.size());
        return false;
    }
    bool stored = false;
    for (size_t i = 0; i < presets.size(); ++i)
    {
        const size_t index = first + i;
        if (m_multis[index] == presets[i])
            continue;
        m_multis[index] = presets[i];
        stored = true;
        if (index == m_currentMulti)
        {
            if (m_playMode == PlayMode::Multi)
                m_multi.clearAllVoices();
            applyMultiToParameters(m_multis[index]);
            m_listener->onChange({ChangeKind::ActiveMultiModified, m_currentMulti});
        }
    }
    if (!stored)
        return false;
    m_listener->onChange({ChangeKind::MultisModified, first, presets.size()});
    return true;
}

void Engine::setCurrentMultiName(const std::string& name)
{
    MultiPreset& multi = m_multis[m_currentMulti];
    const std::string before = nameText(multi.name);
    storeName(multi.name, name);
    if (nameText(multi.name) != before)
        m_listener->onChange({ChangeKind::ActiveMultiModified, m_currentMulti});
}

bool Engine::isMultiModified(size_t index) const
{
    if (index >= m_multis.size() || index >= factoryMultis.size())
        return false;
    return !(m_multis[index] == factoryMultis[index]);
}

bool Engine::restoreFactoryMulti(size_t index)
{
    if (index >= m_multis.size() || index >= factoryMultis.size())
    {
        K1_LOG("No factory multi " << index);
        return false;
    }
    if (m_multis[index] == factoryMultis[index])
        return false;
    return setMulti(index, factoryMultis[index]);
}

void Engine::modifyParameter(EParam param, float normalized)
{
    setParameter(param, normalized, true);
    m_listener->onChange({.kind = ChangeKind::ParameterChanged, .param = param, .value = normalized});
}
} // namespace k1lib
