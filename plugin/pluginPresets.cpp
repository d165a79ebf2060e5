// The facade's preset operations: the single and multi forms, the name
// search and the forms that follow the play mode. Each operation looks at the
// engine under one hold of the engine lock, so what it reads belongs to one
// state of the store.

#include <algorithm>
#include <cctype>
#include <cstring>

#include "plugin/plugin.h"

#include "engine/engine.h"

namespace k1lib
{
namespace
{
std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The text that opens a preset record; the record holds 11 bytes for it,
// normally ended by a zero.
template <class Preset>
std::string presetName(const Preset& preset)
{
    return std::string(preset.name, strnlen(preset.name, sizeof(preset.name)));
}

template <class Preset>
bool searchNames(std::vector<size_t>& result, const std::string& text, size_t maxResults,
                 size_t count, const Preset* (*lookUp)(const Engine&, size_t), const Engine& engine)
{
    const std::string wanted = lowerCase(text);
    result.clear();
    if (maxResults == 0)
        return false;
    result.reserve(std::min(maxResults, count));
    for (size_t i = 0; i < count && result.size() < maxResults; ++i)
    {
        if (wanted.empty() || lowerCase(presetName(*lookUp(engine, i))).find(wanted) != std::string::npos)
            result.push_back(i);
    }
    return !result.empty();
}
} // namespace

bool Plugin::copySingle(SinglePreset& out, size_t index) const
{
    const SinglePreset* single = m_engine.getSinglePreset(index);
    if (!single)
        return false;
    out = *single;
    return true;
}

bool Plugin::copyMulti(MultiPreset& out, size_t index) const
{
    const MultiPreset* multi = m_engine.getMultiPreset(index);
    if (!multi)
        return false;
    out = *multi;
    return true;
}

size_t Plugin::getCurrentSingleIndex() const
{
    Lock lock(m_engineLock);
    return m_engine.getCurrentSingleIndex();
}

size_t Plugin::getCurrentMultiIndex() const
{
    Lock lock(m_engineLock);
    return m_engine.getCurrentMultiIndex();
}

size_t Plugin::getSingleCount() const
{
    Lock lock(m_engineLock);
    return m_engine.getSingleCount();
}

size_t Plugin::getMultiCount() const
{
    Lock lock(m_engineLock);
    return m_engine.getMultiCount();
}

SinglePreset Plugin::getCurrentSingle() const
{
    Lock lock(m_engineLock);
    return m_engine.getCurrentSingle();
}

MultiPreset Plugin::getCurrentMulti() const
{
    Lock lock(m_engineLock);
    return m_engine.getCurrentMulti();
}

bool Plugin::getSingle(SinglePreset& out, size_t index) const
{
    Lock lock(m_engineLock);
    return copySingle(out, index);
}

bool Plugin::getSingles(std::vector<SinglePreset>& out, size_t first, size_t count) const
{
    Lock lock(m_engineLock);
    if (first > m_engine.getSingleCount() || count > m_engine.getSingleCount() - first)
        return false;
    out.resize(count);
    for (size_t i = 0; i < count; ++i)
        copySingle(out[i], first + i);
    return true;
}

bool Plugin::getMulti(MultiPreset& out, size_t index) const
{
    Lock lock(m_engineLock);
    return copyMulti(out, index);
}

bool Plugin::setSingle(size_t index, const SinglePreset& preset)
{
    Lock lock(m_engineLock);
    return m_engine.setSingle(index, preset);
}

bool Plugin::setMulti(size_t index, const MultiPreset& preset)
{
    Lock lock(m_engineLock);
    return m_engine.setMulti(index, preset);
}

bool Plugin::setSingles(size_t first, const std::vector<SinglePreset>& presets)
{
    Lock lock(m_engineLock);
    return m_engine.setSingles(first, presets);
}

bool Plugin::setMultis(size_t first, const std::vector<MultiPreset>& presets)
{
    Lock lock(m_engineLock);
    return m_engine.setMultis(first, presets);
}

void Plugin::setCurrentSingleName(const std::string& name)
{
    Lock lock(m_engineLock);
    m_engine.setCurrentSingleName(name);
}

void Plugin::setCurrentMultiName(const std::string& name)
{
    Lock lock(m_engineLock);
    m_engine.setCurrentMultiName(name);
}

bool Plugin::isSingleModified(size_t index) const
{
    Lock lock(m_engineLock);
    return m_engine.isSingleModified(index);
}

bool Plugin::isMultiModified(size_t index) const
{
    Lock lock(m_engineLock);
    return m_engine.isMultiModified(index);
}

bool Plugin::restoreFactorySingle(size_t index)
{
    Lock lock(m_engineLock);
    return m_engine.restoreFactorySingle(index);
}

bool Plugin::restoreFactoryMulti(size_t index)
{
    Lock lock(m_engineLock);
    return m_engine.restoreFactoryMulti(index);
}

bool Plugin::searchSingles(std::vector<size_t>& result, const std::string& text, size_t maxResults) const
{
    Lock lock(m_engineLock);
    return searchNames<SinglePreset>(
        result, text, maxResults, m_engine.getSingleCount(),
        [](const Engine& e, size_t i) { return e.getSinglePreset(i); }, m_engine);
}

bool Plugin::searchMultis(std::vector<size_t>& result, const std::string& text, size_t maxResults) const
{
    Lock lock(m_engineLock);
    return searchNames<MultiPreset>(
        result, text, maxResults, m_engine.getMultiCount(),
        [](const Engine& e, size_t i) { return e.getMultiPreset(i); }, m_engine);
}

bool Plugin::swapSources(size_t a, size_t b)
{
    Lock lock(m_engineLock);
    return m_engine.swapSources(a, b);
}

// ---- Presets of the play mode --------------------------------------------

std::string Plugin::getPresetName(size_t index) const
{
    Lock lock(m_engineLock);
    if (isMultiMode())
    {
        const MultiPreset* multi = m_engine.getMultiPreset(index);
        return multi ? presetName(*multi) : std::string();
    }
    const SinglePreset* single = m_engine.getSinglePreset(index);
    return single ? presetName(*single) : std::string();
}

void Plugin::getPresetPage(PresetPage& page, const size_t* indexes, size_t count) const
{
    Lock lock(m_engineLock);
    const bool multi = isMultiMode();
    page.mode = multi ? PlayMode::Multi : PlayMode::Single;
    page.count = multi ? m_engine.getMultiCount() : m_engine.getSingleCount();
    page.current = multi ? m_engine.getCurrentMultiIndex() : m_engine.getCurrentSingleIndex();
    page.currentModified = multi ? m_engine.isMultiModified(page.current) : m_engine.isSingleModified(page.current);
    page.labels.resize(count);
    for (size_t i = 0; i < count; ++i)
    {
        PresetPage::Label& label = page.labels[i];
        if (multi)
        {
            const MultiPreset* preset = m_engine.getMultiPreset(indexes[i]);
            label.name = preset ? presetName(*preset) : std::string();
            label.modified = m_engine.isMultiModified(indexes[i]);
        }
        else
        {
            const SinglePreset* preset = m_engine.getSinglePreset(indexes[i]);
            label.name = preset ? presetName(*preset) : std::string();
            label.modified = m_engine.isSingleModified(indexes[i]);
        }
    }
}

bool Plugin::isPresetModified(size_t index) const
{
    Lock lock(m_engineLock);
    return isMultiMode() ? m_engine.isMultiModified(index)
                         : m_engine.isSingleModified(index);
}

size_t Plugin::getCurrentPresetIndex() const
{
    Lock lock(m_engineLock);
    return isMultiMode() ? m_engine.getCurrentMultiIndex() : m_engine.getCurrentSingleIndex();
}

size_t Plugin::getPresetCount() const
{
    Lock lock(m_engineLock);
    return isMultiMode() ? m_engine.getMultiCount() : m_engine.getSingleCount();
}

bool Plugin::restoreFactoryPreset(size_t index)
{
    Lock lock(m_engineLock);
    return isMultiMode() ? m_engine.restoreFactoryMulti(index)
                         : m_engine.restoreFactorySingle(index);
}

bool Plugin::setCurrentPresetIndex(size_t index)
{
    Lock lock(m_engineLock);
    return isMultiMode() ? m_engine.setMulti(index) : m_engine.setSingle(index);
}

bool Plugin::sendPreset(size_t index, uint8_t target)
{
    Lock lock(m_engineLock);
    return isMultiMode() ? m_engine.sendMulti(index, target)
                         : m_engine.sendSingle(index, target);
}
} // namespace k1lib
