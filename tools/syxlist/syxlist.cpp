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
#include "tools/syxlist/demoPresets.h"
#include "tools/syxlist/listing.h"

namespace
{
const char* const kPolyModes[] = {"Poly 1", "Poly 2", "Solo"};

void printSingle(const std::string& number, const k1lib::SinglePreset& p)
{
    std::fputs(syxlist::singleLine(number, p).c_str(), stdout);
}

// Sections that play show single:channel:zone; the single is its number in
// the dump, or its slot label when the multi's bank is known (singlesOffset).
void printMulti(const std::string& number, const k1lib::MultiPreset& m, const size_t* singlesOffset = nullptr)
{
    std::fputs(syxlist::multiLine(number, m, singlesOffset).c_str(), stdout);
}

bool listFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!k1lib::Sysex::readFile(bytes, path))
        return false;
    std::string listing;
    const size_t listed = syxlist::listDumps(bytes, listing);
    std::fputs(listing.c_str(), stdout);
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
