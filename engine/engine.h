#pragma once

// k1lib::Engine: the synthesis engine. This header holds the factory preset
// space shared by every engine: the thirteen storages (K1 internal memory,
// eleven K1 ROM cards, the PHm module), how a preset index maps to a storage,
// and the K1 slot label a preset index shows ("IA-1", "eD-8", "P017").
// Preset indexes count singles (968) and multis (384) separately.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/playMode.h"
#include "patch/presets.h"

namespace k1lib
{
class Engine
{
public:
    // One storage of one preset list: where its presets start in the factory
    // list of its play mode, and how many there are.
    struct StorageInfo
    {
        uint64_t storageIndex = 0; // row of the bank table, 0-12
        uint32_t storageType = 0;  // 0 K1 internal, 1 K1 ROM card, 2 PHm module
        std::string shortName;
        std::string longName;
        uint64_t firstIndex = 0;
        uint64_t count = 0;
    };

    // Number of factory singles (968) and multis (384).
    static size_t singleCount();
    static size_t multiCount();

    // Storages of the singles (PlayMode::Single) or of the multis (otherwise),
    // in bank order. Valid once the factory data is filled (any engine, or any
    // query below that fills it).
    static const std::vector<StorageInfo>& getStorageInfos(PlayMode mode);
    // The storage holding the index, or null when none does.
    static const StorageInfo* getStorageInfoFromPresetIndex(size_t index, PlayMode mode);

    // K1 slot label: "%c%c-%d" (I/i or E/e, bank A-D, 1-8) in a K1 storage,
    // "P%03d" in the PHm storage, '?' first outside every storage.
    static std::string getPresetNumberAsName(size_t index, PlayMode mode);
    static std::string getSingleNumberAsName(size_t index);
    static std::string getMultiNumberAsName(size_t index);

    // First single index of the bank a multi belongs to: section singles 0-63
    // count from there. 0 for an index outside every storage.
    static size_t getSinglesOffsetForMulti(size_t multiIndex);

    // Name, single and multi of a factory preset. The index must be below the
    // count of its mode, and the factory data filled.
    static std::string getFactoryPresetName(size_t index, PlayMode mode);
    static const SinglePreset& getFactorySingle(size_t index);
    static const MultiPreset& getFactoryMulti(size_t index);
};

// The factory lists, filled once by initFactoryData and read-only afterwards.
extern std::vector<SinglePreset> factorySingles;
extern std::vector<MultiPreset> factoryMultis;
extern std::vector<Engine::StorageInfo> factorySinglesStorageInfo;
extern std::vector<Engine::StorageInfo> factoryMultisStorageInfo;

// Parses the thirteen compiled-in banks into the factory lists, exactly once
// per process whichever thread calls first; later calls return at once.
void initFactoryData();
} // namespace k1lib
