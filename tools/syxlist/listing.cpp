#include "tools/syxlist/listing.h"

#include <cstdio>

#include "engine/engine.h"
#include "patch/sysex.h"
#include "patch/sysexFrame.h"
#include "patch/waveformNames.h"

namespace syxlist
{
namespace
{
const char* const kPolyModes[] = {"Poly 1", "Poly 2", "Solo"};

template <typename... Args>
std::string format(const char* pattern, Args... args)
{
    char line[512];
    std::snprintf(line, sizeof line, pattern, args...);
    return line;
}
} // namespace

std::string singleLine(const std::string& number, const k1lib::SinglePreset& p)
{
    return format("single %4s  %-10s  volume %3d  %-6s  %d sources  bend %2u  wave %s\n", number.c_str(), p.name,
                  p.volume + 1, kPolyModes[p.polyMode % 3], p.source2or4 ? 4 : 2, p.pitchBendDepth,
                  k1lib::g_waveformNames[p.sources[0].wave]);
}

std::string multiLine(const std::string& number, const k1lib::MultiPreset& m, const size_t* singlesOffset)
{
    std::string line = format("multi  %4s  %-10s  volume %3u  sections", number.c_str(), m.name, m.volume + 1);
    for (const k1lib::MultiSection& s : m.sections)
    {
        if (s.level <= 0)
            continue;
        const std::string single = singlesOffset ? k1lib::Engine::getSingleNumberAsName(*singlesOffset + static_cast<size_t>(s.single))
                                                 : std::to_string(s.single);
        line += format("  %s:ch%d:%d-%d", single.c_str(), s.channel + 1, s.zoneLow, s.zoneHigh);
    }
    return line + "\n";
}

size_t listDumps(const std::vector<uint8_t>& bytes, std::string& out)
{
    using namespace k1lib::sysexFrame;
    size_t listed = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
    {
        if (bytes[i] != kStart)
            continue;
        size_t end = i + 1;
        while (end < bytes.size() && bytes[end] != kEnd)
            ++end;
        if (end == bytes.size())
            break;
        const size_t length = end - i + 1;
        k1lib::Sysex::SysexResult result;
        const bool whole = k1lib::Sysex::readSysex(result, bytes.data() + i, length, 255);
        for (size_t k = 0; k < result.singles.size(); ++k)
            out += singleLine(std::to_string(result.singleStart + k), result.singles[k]);
        for (size_t k = 0; k < result.multis.size(); ++k)
            out += multiLine(std::to_string(result.multiStart + k), result.multis[k]);
        const size_t kept = result.singles.size() + result.multis.size();
        listed += kept;
        // A K1 dump whose blocks stop early (the reader has logged why).
        const bool dump = length > kDataAt && bytes[i + kManufacturerAt] == kManufacturer &&
                          (bytes[i + kFunctionAt] == kOneBlockDump || bytes[i + kFunctionAt] == kAllBlockDump);
        const bool multis = dump && bytes[i + kSub2At] >= kMultiBase;
        const size_t blockSize = multis ? k1lib::kMultiBlockSize : k1lib::kSingleBlockSize;
        const size_t blocks = dump ? (length - kDataAt - 1) / blockSize : 0;
        if (!whole && kept < blocks)
        {
            out += format("dump at byte %zu stopped at %s %zu, block %zu of %zu: it does not read; %zu kept before it\n", i,
                          multis ? "multi" : "single", (multis ? result.multiStart : result.singleStart) + kept,
                          kept + 1, blocks, kept);
        }
        i = end;
    }
    return listed;
}
} // namespace syxlist
