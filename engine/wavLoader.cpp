#include "engine/wavLoader.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>

#include "patch/log.h"

namespace k1lib
{
namespace
{
constexpr size_t kRiffHeaderSize = 12;  // "RIFF", u32 size, "WAVE"
constexpr size_t kChunkHeaderSize = 8;  // id, u32 payload size
constexpr size_t kFmtMinSize = 16;
constexpr size_t kCueRecordSize = 24;
constexpr size_t kCuePositionOffset = 4;     // within a cue record
constexpr size_t kCueSampleOffsetOffset = 20;
constexpr size_t kListTypeSize = 4;          // "adtl"
constexpr size_t kLabelIdSize = 4;
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;

uint16_t readU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t readU32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

bool isId(const unsigned char* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

std::string idText(const unsigned char* p) { return std::string(reinterpret_cast<const char*>(p), 4); }

struct CueRecord
{
    uint32_t position;
    uint32_t sampleOffset;
};

// Reads the sub-chunks of a "LIST" payload; labels keep the first non-empty text per cue id.
bool readLabels(const unsigned char* list, size_t listSize, std::map<uint32_t, std::string>& labels)
{
    if (listSize < kListTypeSize)
    {
        K1_LOG("LIST chunk of " << listSize << " bytes is too short");
        return false;
    }
    size_t pos = kListTypeSize;
    while (pos + kChunkHeaderSize <= listSize)
    {
        const unsigned char* sub = list + pos;
        const uint32_t subSize = readU32(sub + 4);
        if (subSize > listSize - pos - kChunkHeaderSize)
        {
            K1_LOG("List entry " << idText(sub) << " of " << subSize << " bytes runs past the end of its list");
            return false;
        }
        if (isId(sub, "labl") || isId(sub, "note"))
        {
            if (subSize < kLabelIdSize)
            {
                K1_LOG("Label entry of " << subSize << " bytes has no cue id");
                return false;
            }
            const uint32_t id = readU32(sub + kChunkHeaderSize);
            const char* text = reinterpret_cast<const char*>(sub + kChunkHeaderSize + kLabelIdSize);
            size_t length = subSize - kLabelIdSize;
            while (length > 0 && text[length - 1] == '\0')
                --length;
            if (length > 0)
            {
                const std::string label(text, length);
                if (!labels.emplace(id, label).second)
                    K1_LOG("Warning: duplicated cue label " << label << " found for cue id " << id);
            }
        }
        pos += kChunkHeaderSize + subSize + (subSize & 1u);
    }
    return true;
}
} // namespace

bool WavLoader::load(Data& out, std::vector<CuePoint>* cues, const unsigned char* mem, size_t size)
{
    if (mem == nullptr || size < kRiffHeaderSize || !isId(mem, "RIFF") || !isId(mem + 8, "WAVE"))
        return false;
    if (size - 8 < 13)
    {
        K1_LOG("Failed to find wave data in file");
        return false;
    }

    const unsigned char* fmt = nullptr;
    const unsigned char* data = nullptr;
    uint32_t dataSize = 0;
    std::map<uint32_t, CueRecord> records;
    std::map<uint32_t, std::string> labels;

    size_t pos = kRiffHeaderSize;
    while (pos + kChunkHeaderSize <= size)
    {
        const unsigned char* chunk = mem + pos;
        const uint32_t chunkSize = readU32(chunk + 4);
        const unsigned char* payload = chunk + kChunkHeaderSize;
        if (chunkSize > size - pos - kChunkHeaderSize)
        {
            K1_LOG("Chunk " << idText(chunk) << " of " << chunkSize << " bytes runs past the end of the data");
            return false;
        }
        if (isId(chunk, "fmt "))
        {
            if (chunkSize < kFmtMinSize)
            {
                K1_LOG("Format chunk of " << chunkSize << " bytes is too short");
                return false;
            }
            fmt = payload;
        }
        else if (isId(chunk, "data"))
        {
            data = payload;
            dataSize = chunkSize;
        }
        else if (isId(chunk, "cue "))
        {
            const uint32_t count = chunkSize >= 4 ? readU32(payload) : 0;
            if (chunkSize < 4 || count > (chunkSize - 4) / kCueRecordSize)
            {
                K1_LOG("Cue chunk of " << chunkSize << " bytes cannot hold its cue points");
                return false;
            }
            for (uint32_t i = 0; i < count; ++i)
            {
                const unsigned char* record = payload + 4 + i * kCueRecordSize;
                const uint32_t id = readU32(record);
                const CueRecord cue{readU32(record + kCuePositionOffset), readU32(record + kCueSampleOffsetOffset)};
                if (!records.emplace(id, cue).second)
                    K1_LOG("Warning: duplicated cue point " << id << " found");
            }
        }
        else if ((isId(chunk, "LIST") || isId(chunk, "list")) && cues != nullptr)
        {
            if (!readLabels(payload, chunkSize, labels))
                return false;
        }
        pos += kChunkHeaderSize + chunkSize + (chunkSize & 1u);
    }

    if (data == nullptr)
    {
        K1_LOG("Failed to find wave data in file");
        return false;
    }
    if (fmt == nullptr)
    {
        K1_LOG("Failed to find format information in file");
        return false;
    }
    const uint16_t tag = readU16(fmt);
    if (tag != kFormatPcm && tag != kFormatFloat)
        return false;
    const uint16_t channels = readU16(fmt + 2);
    const uint16_t bits = readU16(fmt + 14);
    if (channels == 0 || bits == 0)
    {
        K1_LOG("Invalid format: " << channels << " channels of " << bits << " bits");
        return false;
    }

    out.sampleRate = readU32(fmt + 4);
    out.data = data;
    out.size = dataSize;
    out.bitsPerSample = bits;
    out.channels = channels;
    out.isFloat = tag == kFormatFloat;

    if (cues != nullptr && !records.empty())
    {
        cues->clear();
        for (const auto& [id, record] : records)
        {
            CuePoint cue;
            // A cue given only by its offset into the data chunk sits at that frame.
            cue.position = record.position != 0 ? record.position : record.sampleOffset;
            const auto label = labels.find(id);
            if (label != labels.end())
                cue.label = label->second;
            cues->push_back(std::move(cue));
        }
    }
    return true;
}

bool WavLoader::load(std::vector<char>& samples, int& sampleRate, std::vector<CuePoint>* cues,
                     const unsigned char* mem, size_t size)
{
    Data d;
    if (!load(d, cues, mem, size))
        return false;
    if (d.bitsPerSample != 8 || d.channels != 1 || d.isFloat)
    {
        K1_LOG("Expected 8-bit mono PCM, found " << d.channels << " channels of " << d.bitsPerSample << " bits");
        return false;
    }
    sampleRate = static_cast<int>(d.sampleRate);
    samples.resize(d.size);
    for (size_t i = 0; i < d.size; ++i)
        samples[i] = static_cast<char>(d.data[i] ^ 0x80u);
    return true;
}

bool WavLoader::load(std::vector<float>& samples, int& sampleRate, std::vector<CuePoint>* cues,
                     const unsigned char* mem, size_t size)
{
    Data d;
    if (!load(d, cues, mem, size))
        return false;
    const uint32_t bits = d.bitsPerSample;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32 && bits != 64)
    {
        K1_LOG("Unsupported sample size of " << bits << " bits");
        return false;
    }
    sampleRate = static_cast<int>(d.sampleRate);
    const size_t bytes = bits / 8;
    const size_t count = static_cast<size_t>(d.size * 8 / bits);
    constexpr float kInt32Scale = 1.0f / 2147483648.0f;
    samples.resize(count);
    for (size_t i = 0; i < count; ++i)
    {
        const unsigned char* p = d.data + i * bytes;
        float v = 0.0f;
        switch (bits)
        {
        case 8: v = static_cast<float>(p[0] - 128) * (1.0f / 128.0f); break;
        case 16: v = static_cast<float>(static_cast<int16_t>(readU16(p))) * (1.0f / 32767.0f); break;
        case 24:
            v = static_cast<float>(static_cast<int32_t>((static_cast<uint32_t>(p[0]) << 8) |
                                                        (static_cast<uint32_t>(p[1]) << 16) |
                                                        (static_cast<uint32_t>(p[2]) << 24))) * kInt32Scale;
            break;
        case 32:
            if (d.isFloat)
            {
                const uint32_t raw = readU32(p);
                float f;
                std::memcpy(&f, &raw, sizeof f);
                v = f;
            }
            else
            {
                v = static_cast<float>(static_cast<int32_t>(readU32(p))) * kInt32Scale;
            }
            break;
        default: // 64
            if (d.isFloat)
            {
                const uint64_t raw = readU32(p) | (static_cast<uint64_t>(readU32(p + 4)) << 32);
                double f;
                std::memcpy(&f, &raw, sizeof f);
                v = static_cast<float>(f);
            }
            else
            {
                v = static_cast<float>(static_cast<int32_t>(readU32(p + 4))) * kInt32Scale;
            }
            break;
        }
        samples[i] = v;
    }
    if (d.channels >= 2)
    {
        const size_t frames = count / d.channels;
        const float scale = 1.0f / static_cast<float>(d.channels);
        for (size_t f = 0; f < frames; ++f)
        {
            float sum = 0.0f;
            for (size_t c = 0; c < d.channels; ++c)
                sum += samples[f * d.channels + c];
            samples[f] = sum * scale;
        }
        samples.resize(frames);
    }
    return true;
}

bool WavLoader::load(std::vector<float>& samples, int& sampleRate, std::vector<CuePoint>* cues,
                     const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
    {
        K1_LOG("Failed to open file " << file);
        return false;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() > std::numeric_limits<uint32_t>::max())
    {
        K1_LOG("File " << file << " is larger than 4 GB");
        return false;
    }
    return load(samples, sampleRate, cues, bytes.data(), bytes.size());
}

void convert(std::vector<float>& out, const short* in, size_t n)
{
    out.resize(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<float>(in[i]) * (1.0f / 32767.0f);
}

void convert(std::vector<float>& out, const unsigned char* in, size_t n)
{
    out.resize(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<float>(in[i] - 128) / 128.0f;
}
} // namespace k1lib
