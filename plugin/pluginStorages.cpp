// The factory preset space as the facade hands it out: the storages of both
// lists, slot labels and factory names. All of it is fixed once the first
// engine exists (the facade's own), so nothing here takes the engine lock.

#include "plugin/plugin.h"

#include "engine/engine.h"

namespace k1lib
{
const std::vector<StorageInfo>& Plugin::getStorageInfos(PlayMode mode) const
{
    return Engine::getStorageInfos(mode);
}

const StorageInfo* Plugin::getStorageInfoFromPresetIndex(size_t index, PlayMode mode) const
{
    return Engine::getStorageInfoFromPresetIndex(index, mode);
}

std::string Plugin::getPresetNumberAsName(size_t index, PlayMode mode) const
{
    return Engine::getPresetNumberAsName(index, mode);
}

std::string Plugin::getSingleNumberAsName(size_t index) const
{
    return Engine::getSingleNumberAsName(index);
}

size_t Plugin::getSinglesOffsetForMulti(size_t multiIndex) const
{
    return Engine::getSinglesOffsetForMulti(multiIndex);
}

std::string Plugin::getFactoryPresetName(size_t index, PlayMode mode) const
{
    const size_t count = mode == PlayMode::Multi ? Engine::multiCount() : Engine::singleCount();
    return index < count ? Engine::getFactoryPresetName(index, mode) : std::string();
}
} // namespace k1lib
