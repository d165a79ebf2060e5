// The factory preset space: the thirteen compiled-in banks parsed once into
// the factory singles and multis, with one storage table per list.

#include <cstdio>
#include <iterator>
#include <mutex>

#include "data/k1data.h"
#include "engine/engine.h"
#include "patch/sysex.h"

namespace k1lib
{
std::vector<SinglePreset> factorySingles;
std::vector<MultiPreset> factoryMultis;
std::vector<Engine::StorageInfo> factorySinglesStorageInfo;
std::vector<Engine::StorageInfo> factoryMultisStorageInfo;

namespace
{
constexpr uint32_t kStorageK1Internal = 0;
constexpr uint32_t kStorageK1Card = 1;
constexpr uint32_t kStoragePhm = 2;

struct Bank
{
    const unsigned char* (*data)();
    size_t (*size)();
    uint32_t type;
    const char* shortName;
    const char* longName;
};

// Bank order fixes the preset numbering: K1 internal first, PHm last.
const Bank g_banks[] = {
    {k1data::getData_sysex_K1INT, k1data::getDataSize_sysex_K1INT, kStorageK1Internal, "K1 Int", "Kawai K1 Factory"},
    {k1data::getData_sysex_A101, k1data::getDataSize_sysex_A101, kStorageK1Card, "ROM A1-01", "K1 ROM Card A1-01"},
    {k1data::getData_sysex_A102, k1data::getDataSize_sysex_A102, kStorageK1Card, "ROM A1-02", "K1 ROM Card A1-02"},
    {k1data::getData_sysex_A103, k1data::getDataSize_sysex_A103, kStorageK1Card, "ROM A1-03", "K1 ROM Card A1-03"},
    {k1data::getData_sysex_A104, k1data::getDataSize_sysex_A104, kStorageK1Card, "ROM A1-04", "K1 ROM Card A1-04"},
    {k1data::getData_sysex_A105, k1data::getDataSize_sysex_A105, kStorageK1Card, "ROM A1-05", "K1 ROM Card A1-05"},
    {k1data::getData_sysex_A200, k1data::getDataSize_sysex_A200, kStorageK1Card, "ROM A2-00", "K1 ROM Card A2-00"},
    {k1data::getData_sysex_E101, k1data::getDataSize_sysex_E101, kStorageK1Card, "ROM E1-01", "K1 ROM Card E1-01"},
    {k1data::getData_sysex_E102, k1data::getDataSize_sysex_E102, kStorageK1Card, "ROM E1-02", "K1 ROM Card E1-02"},
    {k1data::getData_sysex_J101, k1data::getDataSize_sysex_J101, kStorageK1Card, "ROM J1-01", "K1 ROM Card J1-01"},
    {k1data::getData_sysex_J102, k1data::getDataSize_sysex_J102, kStorageK1Card, "ROM J1-02", "K1 ROM Card J1-02"},
    {k1data::getData_sysex_J103, k1data::getDataSize_sysex_J103, kStorageK1Card, "ROM J1-03", "K1 ROM Card J1-03"},
    {k1data::getData_sysex_PHm, k1data::getDataSize_sysex_PHm, kStoragePhm, "PHm Int", "Kawai PHm Module"},
};

std::once_flag g_factoryOnce;

void fillFactoryData()
{
    factorySingles.clear();
    factoryMultis.clear();
    factorySinglesStorageInfo.clear();
    factoryMultisStorageInfo.clear();

    for (size_t b = 0; b < std::size(g_banks); ++b)
    {
        const Bank& bank = g_banks[b];
        const unsigned char* data = bank.data();
        const std::vector<uint8_t> bytes(data, data + bank.size());
        Sysex::SysexResult result;
        Sysex::readBuffer(result, bytes, 255);

        const Engine::StorageInfo info{b, bank.type, bank.shortName, bank.longName, 0, 0};
        if (!result.singles.empty())
        {
            Engine::StorageInfo s = info;
            s.firstIndex = factorySingles.size();
            s.count = result.singles.size();
            factorySinglesStorageInfo.push_back(s);
        }
        if (!result.multis.empty())
        {
            Engine::StorageInfo m = info;
            m.firstIndex = factoryMultis.size();
            m.count = result.multis.size();
            factoryMultisStorageInfo.push_back(m);
        }
        factorySingles.insert(factorySingles.end(), result.singles.begin(), result.singles.end());
        factoryMultis.insert(factoryMultis.end(), result.multis.begin(), result.multis.end());
    }
}

const std::vector<Engine::StorageInfo>& storagesOf(PlayMode mode)
{
    return mode == PlayMode::Single ? factorySinglesStorageInfo : factoryMultisStorageInfo;
}

size_t countOf(PlayMode mode)
{
    return mode == PlayMode::Single ? factorySingles.size() : factoryMultis.size();
}

std::string slotLabel(char location, size_t offset)
{
    char text[32];
    std::snprintf(text, sizeof text, "%c%c-%d", location, static_cast<char>('A' + ((offset >> 3) & 3)),
                  static_cast<int>(offset & 7) + 1);
    return text;
}
} // namespace

void initFactoryData()
{
    // Two engines created at once on two threads must not both fill the lists.
    std::call_once(g_factoryOnce, fillFactoryData);
}

size_t Engine::singleCount()
{
    initFactoryData();
    return factorySingles.size();
}

size_t Engine::multiCount()
{
    initFactoryData();
    return factoryMultis.size();
}

const std::vector<Engine::StorageInfo>& Engine::getStorageInfos(PlayMode mode)
{
    return storagesOf(mode);
}

const Engine::StorageInfo* Engine::getStorageInfoFromPresetIndex(size_t index, PlayMode mode)
{
    initFactoryData();
    if (index >= countOf(mode))
        return nullptr;
    for (const StorageInfo& info : storagesOf(mode))
    {
        if (info.firstIndex <= index && index < info.firstIndex + info.count)
            return &info;
    }
    return nullptr;
}

std::string Engine::getPresetNumberAsName(size_t index, PlayMode mode)
{
    const StorageInfo* info = getStorageInfoFromPresetIndex(index, mode);
    if (info == nullptr)
        return slotLabel('?', index);

    const size_t offset = index - info->firstIndex;
    if (info->storageType == kStoragePhm)
    {
        char text[32];
        std::snprintf(text, sizeof text, "P%03d", static_cast<int>(offset + 1));
        return text;
    }
    const char* locations = info->storageType == kStorageK1Internal ? "Ii" : "Ee";
    return slotLabel(locations[(offset >> 5) & 1], offset);
}

std::string Engine::getSingleNumberAsName(size_t index)
{
    return getPresetNumberAsName(index, PlayMode::Single);
}

std::string Engine::getMultiNumberAsName(size_t index)
{
    return getPresetNumberAsName(index, PlayMode::Multi);
}

size_t Engine::getSinglesOffsetForMulti(size_t multiIndex)
{
    const StorageInfo* multis = getStorageInfoFromPresetIndex(multiIndex, PlayMode::Multi);
    if (multis == nullptr)
        return 0;
    // One singles storage per bank, so this is normally the entry at position
    // storageIndex; matching by bank also holds if a bank yielded no singles.
    for (const StorageInfo& singles : factorySinglesStorageInfo)
    {
        if (singles.storageIndex == multis->storageIndex)
            return singles.firstIndex;
    }
    return 0;
}

std::string Engine::getFactoryPresetName(size_t index, PlayMode mode)
{
    const char* name = mode == PlayMode::Single ? factorySingles[index].name : factoryMultis[index].name;
    size_t length = 0;
    while (length < sizeof(SinglePreset::name) && name[length] != 0)
        ++length;
    return std::string(name, length);
}

const SinglePreset& Engine::getFactorySingle(size_t index)
{
    return factorySingles[index];
}

const MultiPreset& Engine::getFactoryMulti(size_t index)
{
    return factoryMultis[index];
}
} // namespace k1lib
