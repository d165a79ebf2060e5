#pragma once

// Builds RIFF/WAVE images in memory for the tests, chunk by chunk, so that
// both well-formed and deliberately broken documents can be made.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace wavtest
{
using Bytes = std::vector<unsigned char>;

inline void putU16(Bytes& b, uint16_t v)
{
    b.push_back(static_cast<unsigned char>(v & 0xff));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

inline void putU32(Bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xff));
}

inline void putText(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

// A chunk with its id, size (the payload's unless given) and pad byte.
inline Bytes chunk(const std::string& id, const Bytes& payload, int64_t declaredSize = -1)
{
    Bytes b;
    putText(b, id);
    putU32(b, declaredSize < 0 ? static_cast<uint32_t>(payload.size()) : static_cast<uint32_t>(declaredSize));
    b.insert(b.end(), payload.begin(), payload.end());
    if (payload.size() & 1u)
        b.push_back(0);
    return b;
}

inline Bytes fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits)
{
    Bytes b;
    putU16(b, tag);
    putU16(b, channels);
    putU32(b, rate);
    putU32(b, rate * channels * bits / 8);
    putU16(b, static_cast<uint16_t>(channels * bits / 8));
    putU16(b, bits);
    return b;
}

struct Cue
{
    uint32_t id;
    uint32_t position;
    uint32_t sampleOffset;
};

inline Bytes cues(const std::vector<Cue>& list, int64_t declaredCount = -1)
{
    Bytes b;
    putU32(b, declaredCount < 0 ? static_cast<uint32_t>(list.size()) : static_cast<uint32_t>(declaredCount));
    for (const Cue& c : list)
    {
        putU32(b, c.id);
        putU32(b, c.position);
        putText(b, "data");
        putU32(b, 0);
        putU32(b, 0);
        putU32(b, c.sampleOffset);
    }
    return b;
}

// A "labl" or "note" sub-chunk: cue id and NUL-terminated text.
inline Bytes label(uint32_t id, const std::string& text, const std::string& kind = "labl")
{
    // Filled by index: gcc 12 warns falsely about inserts that follow push_backs here.
    Bytes p(4 + text.size() + 1, 0);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>((id >> (8 * i)) & 0xff);
    std::copy(text.begin(), text.end(), p.begin() + 4);
    return chunk(kind, p);
}

inline Bytes list(const std::vector<Bytes>& entries, const std::string& id = "LIST")
{
    Bytes p;
    putText(p, "adtl");
    for (const Bytes& e : entries)
        p.insert(p.end(), e.begin(), e.end());
    return chunk(id, p);
}

inline Bytes riff(const std::vector<Bytes>& chunks)
{
    Bytes body;
    putText(body, "WAVE");
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    Bytes b;
    putText(b, "RIFF");
    putU32(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// An 8-bit mono ROM image: unsigned samples, cue points at the given positions
// (ids in order) and labels by cue index.
inline Bytes rom(const Bytes& samples, const std::vector<uint32_t>& positions,
                 const std::vector<std::pair<uint32_t, std::string>>& labels, uint32_t rate = 50000)
{
    std::vector<Cue> list;
    for (uint32_t i = 0; i < positions.size(); ++i)
        list.push_back({i, positions[i], positions[i]});
    std::vector<Bytes> entries;
    for (const auto& [id, text] : labels)
        entries.push_back(label(id, text));
    return riff({chunk("fmt ", fmt(1, 1, rate, 8)), chunk("data", samples), chunk("cue ", cues(list)),
                 wavtest::list(entries)});
}
} // namespace wavtest
