// WavLoader::write: mono 32-bit float WAVE with cue points and "labl" labels.

#include <cstring>
#include <fstream>

#include "engine/wavLoader.h"
#include "patch/log.h"

namespace k1lib
{
namespace
{
constexpr uint32_t kRiffSizeBeforeChunks = 36; // "WAVE" + "fmt " chunk + "data" header
constexpr uint32_t kCueRecordSize = 24;
constexpr uint16_t kFormatFloat = 3;

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

uint32_t labelPayloadSize(const CuePoint& cue) { return static_cast<uint32_t>(cue.label.size()) + 5; }
} // namespace

bool WavLoader::write(const std::string& file, const std::vector<float>& samples, int sampleRate,
                      std::vector<CuePoint>* cues)
{
    std::ofstream o(file, std::ios::binary | std::ios::trunc);
    if (!o)
    {
        K1_LOG("Failed to open file for writing: " << file);
        return false;
    }
    const uint32_t sampleBytes = static_cast<uint32_t>(samples.size() * sizeof(float)) & ~3u;
    uint32_t riffSize = (sampleBytes + kRiffSizeBeforeChunks) & ~3u;
    const uint32_t rate = static_cast<uint32_t>(sampleRate);

    std::string body;
    body += "fmt ";
    putU32(body, 16);
    putU16(body, kFormatFloat);
    putU16(body, 1);
    putU32(body, rate);
    putU32(body, rate * 4);
    putU16(body, 4);
    putU16(body, 32);
    body += "data";
    putU32(body, sampleBytes);
    body.append(reinterpret_cast<const char*>(samples.data()), sampleBytes);

    if (cues != nullptr && !cues->empty())
    {
        const uint32_t count = static_cast<uint32_t>(cues->size());
        const uint32_t cueSize = count * kCueRecordSize + 4;
        body += "cue ";
        putU32(body, cueSize);
        putU32(body, count);
        for (uint32_t i = 0; i < count; ++i)
        {
            putU32(body, i);
            putU32(body, (*cues)[i].position);
            body += "data";
            putU32(body, 0);
            putU32(body, 0);
            putU32(body, (*cues)[i].position);
        }
        riffSize += cueSize + 8;

        uint32_t listSize = 4;
        for (const CuePoint& cue : *cues)
        {
            const uint32_t size = labelPayloadSize(cue);
            listSize += 8 + size + (size & 1u);
        }
        body += "LIST";
        putU32(body, listSize);
        body += "adtl";
        for (uint32_t i = 0; i < count; ++i)
        {
            const CuePoint& cue = (*cues)[i];
            const uint32_t size = labelPayloadSize(cue);
            body += "labl";
            putU32(body, size);
            putU32(body, i);
            body += cue.label;
            body += '\0';
            if (size & 1u)
                body += '\0';
        }
        riffSize += listSize + 8;
    }

    std::string header = "RIFF";
    putU32(header, riffSize);
    header += "WAVE";
    o.write(header.data(), static_cast<std::streamsize>(header.size()));
    o.write(body.data(), static_cast<std::streamsize>(body.size()));
    o.close();
    if (!o)
    {
        K1_LOG("Failed to write file " << file);
        return false;
    }
    return true;
}
} // namespace k1lib
