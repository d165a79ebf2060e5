// wavegen: synthesizes the instrument's wave ROM and writes it as a RIFF/WAVE
// document (8-bit unsigned mono PCM at 50000 Hz with a "cue " chunk and
// "labl" labels). Deterministic: the same bytes on every run.
// Usage: wavegen <output.wav>

#include <cstdio>
#include <fstream>
#include <string>

#include "tools/wavegen/romLayout.h"

namespace
{
void putU16(std::string& out, uint16_t v)
{
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>(v >> 8);
}

void putU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xff);
}

void putChunk(std::string& out, const char* id, const std::string& payload)
{
    out += id;
    putU32(out, static_cast<uint32_t>(payload.size()));
    out += payload;
    if (payload.size() & 1u)
        out += '\0';
}

std::vector<int8_t> buildRom(std::vector<uint32_t>& cues)
{
    using namespace wavegen;
    std::vector<int8_t> rom(kRomSamples, 0);
    for (int cue = 0; cue < kPcmRegionCount; ++cue)
    {
        const Region& r = kPcmRegions[cue];
        const std::vector<int8_t> bytes = toBytes(makePcmRegion(cue), 0.97);
        std::copy(bytes.begin(), bytes.begin() + r.length, rom.begin() + r.start);
        cues.push_back(r.start);
    }
    for (int w = 0; w < kSingleCycleCount; ++w)
    {
        const uint32_t start = kSingleCycleStart + static_cast<uint32_t>(w) * kSingleCycleRegion;
        const std::vector<int8_t> bytes = makeSingleCycle(w);
        std::copy(bytes.begin(), bytes.end(), rom.begin() + start);
        cues.push_back(start);
    }
    cues.push_back(kSingleCycleStart + kSingleCycleCount * kSingleCycleRegion); // closes the last region
    return rom;
}

std::string encodeWav(const std::vector<int8_t>& rom, const std::vector<uint32_t>& cues)
{
    std::string fmt;
    putU16(fmt, 1); // PCM
    putU16(fmt, 1); // mono
    putU32(fmt, static_cast<uint32_t>(wavegen::kRate));
    putU32(fmt, static_cast<uint32_t>(wavegen::kRate));
    putU16(fmt, 1);
    putU16(fmt, 8);

    std::string data;
    data.reserve(rom.size());
    for (int8_t x : rom)
        data += static_cast<char>(static_cast<uint8_t>(x) ^ 0x80u); // signed to unsigned 8-bit

    std::string cue;
    putU32(cue, static_cast<uint32_t>(cues.size()));
    for (uint32_t i = 0; i < cues.size(); ++i)
    {
        putU32(cue, i);
        putU32(cue, cues[i]);
        cue += "data";
        putU32(cue, 0);
        putU32(cue, 0);
        putU32(cue, cues[i]);
    }

    std::string list = "adtl";
    for (uint32_t i = 0; i < wavegen::kPcmRegionCount; ++i)
    {
        std::string labl;
        putU32(labl, i);
        labl += wavegen::kPcmRegions[i].label;
        labl += '\0';
        putChunk(list, "labl", labl);
    }

    std::string body = "WAVE";
    putChunk(body, "fmt ", fmt);
    putChunk(body, "data", data);
    putChunk(body, "cue ", cue);
    putChunk(body, "LIST", list);
    std::string out = "RIFF";
    putU32(out, static_cast<uint32_t>(body.size()));
    return out + body;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s <output.wav>\n", argv[0]);
        return 2;
    }
    std::vector<uint32_t> cues;
    const std::string wav = encodeWav(buildRom(cues), cues);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(wav.data(), static_cast<std::streamsize>(wav.size()));
    out.close();
    if (!out)
    {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
