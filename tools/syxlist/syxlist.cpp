// syxlist: lists the presets held in a .syx file, one line each:
//   kind, K1 number (singles 0-63 internal, 64-127 card; multis 0-31, 32-63),
//   name, and a few key fields (volume shown 1-100).
// "syxlist --factory" lists the instrument's factory presets the same way,
// storage by storage, each with its slot label (IA-1 ... eD-8, P001 ... P200).
// "syxlist --write-demo <file>" writes a small demo dump made with the codec.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "engine/engine.h"
#include "patch/log.h"
#include "patch/sysex.h"
#include "patch/waveformNames.h"
#include "tools/syxlist/demoPresets.h"

namespace
{
const char* const kPolyModes[] = {"Poly 1", "Poly 2", "Solo"};

void printSingle(const std::string& number, const k1lib::SinglePreset& p)
{
    std::printf("single %4s  %-10s  volume %3d  %-6s  %d sources  bend %2u  wave %s\n", number.c_str(), p.name, p.volume + 1,
                kPolyModes[p.polyMode % 3], p.source2or4 ? 4 : 2, p.pitchBendDepth, k1lib::g_waveformNames[p.sources[0].wave]);
}

// Sections that play show single:channel:zone; the single is its number in
// the dump, or its slot label when the multi's bank is known (singlesOffset).
void printMulti(const std::string& number, const k1lib::MultiPreset& m, const size_t* singlesOffset = nullptr)
{
    std::printf("multi  %4s  %-10s  volume %3u  sections", number.c_str(), m.name, m.volume + 1);
    for (const k1lib::MultiSection& s : m.sections)
    {
        if (s.level <= 0)
            continue;
        const std::string single = singlesOffset ? k1lib::Engine::getSingleNumberAsName(*singlesOffset + static_cast<size_t>(s.single))
                                                 : std::to_string(s.single);
        std::printf("  %s:ch%d:%d-%d", single.c_str(), s.channel + 1, s.zoneLow, s.zoneHigh);
    }
    std::printf("\n");
}

// Each message is parsed on its own so that every preset gets its number
// from the dump it came in.
bool listFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!k1lib::Sysex::readFile(bytes, path))
        return false;
    size_t listed = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
    {
        if (bytes[i] != 0xF0)
            continue;
        size_t end = i + 1;
        while (end < bytes.size() && bytes[end] != 0xF7)
            ++end;
        if (end == bytes.size())
            break;
        k1lib::Sysex::SysexResult result;
        if (k1lib::Sysex::readSysex(result, bytes.data() + i, end - i + 1, 255))
        {
            for (size_t k = 0; k < result.singles.size(); ++k)
                printSingle(std::to_string(result.singleStart + k), result.singles[k]);
            for (size_t k = 0; k < result.multis.size(); ++k)
                printMulti(std::to_string(result.multiStart + k), result.multis[k]);
            listed += result.singles.size() + result.multis.size();
        }
        i = end;
    }
    if (listed == 0)
    {
        K1_LOG("No presets in " << path);
        return false;
    }
    return true;
}

// The factory presets, storage by storage; a multi's section singles are the
// slot labels of the singles it plays.
bool listFactory()
{
    using k1lib::Engine;
    using k1lib::PlayMode;
    if (Engine::singleCount() == 0)
    {
        K1_LOG("No factory presets");
        return false;
    }
    const std::vector<Engine::StorageInfo>& multiStorages = Engine::getStorageInfos(PlayMode::Multi);
    for (const Engine::StorageInfo& storage : Engine::getStorageInfos(PlayMode::Single))
    {
        const Engine::StorageInfo* multis = nullptr;
        for (const Engine::StorageInfo& m : multiStorages)
        {
            if (m.storageIndex == storage.storageIndex)
                multis = &m;
        }
        std::printf("%s (%s): %llu singles, %llu multis\n", storage.shortName.c_str(), storage.longName.c_str(),
                    static_cast<unsigned long long>(storage.count),
                    static_cast<unsigned long long>(multis ? multis->count : 0));
        for (size_t i = storage.firstIndex; i < storage.firstIndex + storage.count; ++i)
            printSingle(Engine::getSingleNumberAsName(i), Engine::getFactorySingle(i));
        if (multis == nullptr)
            continue;
        for (size_t i = multis->firstIndex; i < multis->firstIndex + multis->count; ++i)
        {
            const size_t offset = Engine::getSinglesOffsetForMulti(i);
            printMulti(Engine::getMultiNumberAsName(i), Engine::getFactoryMulti(i), &offset);
        }
    }
    return true;
}

bool writeDemo(const std::string& path)
{
    const std::vector<uint8_t> dump = syxlist::makeDemoDump();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(dump.data()), static_cast<std::streamsize>(dump.size()));
    out.close();
    if (!out)
    {
        K1_LOG("Failed to write file " << path);
        return false;
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--write-demo") == 0)
        return writeDemo(argv[2]) ? 0 : 1;
    if (argc == 2 && std::strcmp(argv[1], "--factory") == 0)
        return listFactory() ? 0 : 1;
    if (argc == 2 && argv[1][0] != '-')
        return listFile(argv[1]) ? 0 : 1;
    std::fprintf(stderr, "usage: syxlist <file.syx>\n       syxlist --factory\n       syxlist --write-demo <file.syx>\n");
    return 2;
}
