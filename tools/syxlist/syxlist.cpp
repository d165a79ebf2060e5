// syxlist: lists the presets held in a .syx file, one line each:
//   kind, K1 number (singles 0-63 internal, 64-127 card; multis 0-31, 32-63),
//   name, and a few key fields (volume shown 1-100).
// "syxlist --write-demo <file>" writes a small demo dump made with the codec.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "patch/log.h"
#include "patch/sysex.h"
#include "patch/waveformNames.h"
#include "tools/syxlist/demoPresets.h"

namespace
{
const char* const kPolyModes[] = {"Poly 1", "Poly 2", "Solo"};

void printSingle(size_t number, const k1lib::SinglePreset& p)
{
    std::printf("single %4zu  %-10s  volume %3d  %-6s  %d sources  bend %2u  wave %s\n", number, p.name, p.volume + 1,
                kPolyModes[p.polyMode], p.source2or4 ? 4 : 2, p.pitchBendDepth, k1lib::g_waveformNames[p.sources[0].wave]);
}

void printMulti(size_t number, const k1lib::MultiPreset& m)
{
    std::printf("multi  %4zu  %-10s  volume %3u  sections", number, m.name, m.volume + 1);
    for (const k1lib::MultiSection& s : m.sections)
    {
        if (s.level > 0)
            std::printf("  %d:ch%d:%d-%d", s.single, s.channel + 1, s.zoneLow, s.zoneHigh);
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
                printSingle(result.singleStart + k, result.singles[k]);
            for (size_t k = 0; k < result.multis.size(); ++k)
                printMulti(result.multiStart + k, result.multis[k]);
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
    if (argc == 2 && argv[1][0] != '-')
        return listFile(argv[1]) ? 0 : 1;
    std::fprintf(stderr, "usage: syxlist <file.syx>\n       syxlist --write-demo <file.syx>\n");
    return 2;
}
