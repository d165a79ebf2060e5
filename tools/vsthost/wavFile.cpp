// RIFF/WAVE reading and writing, little-endian as the format demands.

#include "tools/vsthost/wavFile.h"

#include "patch/log.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vsthost
{
namespace
{
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;

void put(std::vector<uint8_t>& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void putTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

uint32_t get(const std::vector<uint8_t>& in, size_t pos, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<uint32_t>(in[pos + i]) << (8 * i);
    return v;
}
} // namespace

bool writeWav(const std::string& path, const Audio& audio)
{
    const uint32_t channels = static_cast<uint32_t>(audio.channels.size());
    const uint64_t dataBytes = uint64_t{4} * channels * audio.frames();
    if (channels == 0 || dataBytes > 0xffffff00u - 64)
    {
        K1_LOG("Cannot write " << channels << " channels of " << audio.frames() << " frames");
        return false;
    }
    std::vector<uint8_t> out;
    out.reserve(64 + dataBytes);
    putTag(out, "RIFF");
    put(out, static_cast<uint32_t>(4 + 26 + 12 + 8 + dataBytes), 4);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put(out, 18, 4);
    put(out, kFormatFloat, 2);
    put(out, channels, 2);
    put(out, static_cast<uint32_t>(audio.sampleRate), 4);
    put(out, static_cast<uint32_t>(audio.sampleRate) * 4 * channels, 4);
    put(out, 4 * channels, 2);
    put(out, 32, 2);
    put(out, 0, 2);
    putTag(out, "fact");
    put(out, 4, 4);
    put(out, static_cast<uint32_t>(audio.frames()), 4);
    putTag(out, "data");
    put(out, static_cast<uint32_t>(dataBytes), 4);
    for (size_t f = 0; f < audio.frames(); ++f)
        for (const std::vector<float>& ch : audio.channels)
        {
            uint32_t bits;
            std::memcpy(&bits, &ch[f], 4);
            put(out, bits, 4);
        }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!file)
    {
        K1_LOG("Cannot write " << path);
        return false;
    }
    return true;
}

bool readWav(const std::string& path, Audio& audio)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> in((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (in.size() < 12 || std::memcmp(in.data(), "RIFF", 4) != 0 ||
        std::memcmp(in.data() + 8, "WAVE", 4) != 0)
    {
        K1_LOG("Not a WAV file: " << path);
        return false;
    }
    uint16_t format = 0, channels = 0, bits = 0;
    for (size_t pos = 12; pos + 8 <= in.size();)
    {
        uint32_t size = get(in, pos + 4, 4);
        size_t body = pos + 8;
        if (size > in.size() - body)
            break;
        if (std::memcmp(&in[pos], "fmt ", 4) == 0 && size >= 16)
        {
            format = static_cast<uint16_t>(get(in, body, 2));
            channels = static_cast<uint16_t>(get(in, body + 2, 2));
            audio.sampleRate = static_cast<int>(get(in, body + 4, 4));
            bits = static_cast<uint16_t>(get(in, body + 14, 2));
        }
        else if (std::memcmp(&in[pos], "data", 4) == 0)
        {
            bool isFloat = format == kFormatFloat && bits == 32;
            bool isPcm = format == kFormatPcm && bits == 16;
            if (channels == 0 || (!isFloat && !isPcm))
                break;
            size_t width = bits / 8;
            size_t frames = size / (width * channels);
            audio.channels.assign(channels, std::vector<float>(frames));
            for (size_t f = 0; f < frames; ++f)
                for (size_t c = 0; c < channels; ++c)
                {
                    size_t at = body + (f * channels + c) * width;
                    if (isFloat)
                    {
                        uint32_t raw = get(in, at, 4);
                        std::memcpy(&audio.channels[c][f], &raw, 4);
                    }
                    else
                        audio.channels[c][f] = static_cast<int16_t>(get(in, at, 2)) / 32768.0f;
                }
            return true;
        }
        pos = body + size + (size & 1);
    }
    K1_LOG("No readable audio in " << path);
    return false;
}

} // namespace vsthost
