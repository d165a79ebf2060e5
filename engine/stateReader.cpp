// Decoding a state chunk of version 1-4 (layout in stateChunk.h) without
// touching any engine. Every size, count and offset is checked against the
// bytes that remain, in 64-bit arithmetic, before it is used. Presets are
// placed by their position in the stream, never by counting what parsed, so
// a damaged block costs exactly its own slot.

#include <algorithm>
#include <cstring>

#include "engine/stateChunk.h"
#include "patch/log.h"

namespace k1lib
{
namespace
{
using namespace stateChunk;
using namespace sysexFrame;

// Reads fields front to back; a field the remaining bytes cannot hold is not
// taken, and the reader reports the block as cut short.
class Cursor
{
public:
    explicit Cursor(const std::vector<uint8_t>& in) : m_data(in.data()), m_size(in.size()) {}

    uint64_t remaining() const { return m_size - m_pos; }
    const uint8_t* here() const { return m_data + m_pos; }

    bool u32(uint64_t& value)
    {
        if (remaining() < 4)
            return false;
        value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | m_data[m_pos + static_cast<size_t>(i)];
        m_pos += 4;
        return true;
    }
    bool u64(uint64_t& value)
    {
        uint64_t low = 0;
        uint64_t high = 0;
        if (remaining() < 8 || !u32(low) || !u32(high))
            return false;
        value = low | (high << 32);
        return true;
    }
    bool skip(uint64_t n)
    {
        if (n > remaining())
            return false;
        m_pos += static_cast<size_t>(n);
        return true;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

float floatAt(const uint8_t* p)
{
    const uint32_t bits = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                          static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

struct SingleKind
{
    using Preset = SinglePreset;
    static constexpr size_t kBlock = kSingleBlockSize;
    static constexpr const char* kName = "singles";
    static bool read(Preset& p, const uint8_t* block) { return readSingle(p, block); }
    // Sub-command 2 of run k: the lower or the upper half of the memory.
    static uint8_t sub2(size_t k) { return (k & 1) ? kUpperSingles : 0; }
};

struct MultiKind
{
    using Preset = MultiPreset;
    static constexpr size_t kBlock = kMultiBlockSize;
    static constexpr const char* kName = "multis";
    static bool read(Preset& p, const uint8_t* block) { return readMulti(p, block); }
    static uint8_t sub2(size_t) { return kMultiBase; }
};

template <typename Kind>
using Slots = std::vector<std::optional<typename Kind::Preset>>;

// Places the blocks of one message (count blocks at data, of which the first
// `whole` are fully present) at slots first, first + 1, ... Returns false
// when a block fails or lies past the store.
template <typename Kind>
bool placeBlocks(Slots<Kind>& slots, size_t first, const uint8_t* data, size_t count, size_t whole)
{
    bool intact = true;
    for (size_t j = 0; j < whole; ++j)
    {
        typename Kind::Preset preset{};
        if (first + j >= slots.size())
            return false;
        if (Kind::read(preset, data + j * Kind::kBlock))
            slots[first + j] = preset;
        else
            intact = false;
    }
    return intact && whole == count && first + count <= slots.size();
}

// The header run k of a stream starts with.
template <typename Kind>
bool headerMatches(const uint8_t* m, uint64_t avail, uint64_t length, size_t k)
{
    const size_t blocks = length > kMessageOverhead ? static_cast<size_t>((length - kMessageOverhead) / Kind::kBlock) : 0;
    const uint8_t function = blocks < 2 ? kOneBlockDump : kAllBlockDump;
    const uint8_t header[kDataAt] = {kStart, kManufacturer, 0, function, kGroup, kMachine, 0, Kind::sub2(k)};
    return avail >= kDataAt && std::memcmp(m, header, kDataAt) == 0;
}

// A version 3/4 stream of `declared` bytes, of which `present` are in the
// block. Message k sits at k times the full message size, whatever the
// bytes inside say, so no damage inside the stream can move a preset.
// storedCount is the count field written before the stream. Blocks are
// only taken when at least one message header sits where it belongs: a
// stream found at a wrong place (fields before it damaged) holds no
// presets, only bytes that may pass a block's checksum by chance.
template <typename Kind>
bool readRunStream(Slots<Kind>& slots, const uint8_t* data, uint64_t declared, uint64_t present, uint64_t storedCount)
{
    constexpr size_t kFull = kMessageOverhead + kPresetsPerMessage * Kind::kBlock;
    const uint64_t lastBytes = declared % kFull;
    const bool lengthFits = lastBytes == 0 || (lastBytes > kMessageOverhead && (lastBytes - kMessageOverhead) % Kind::kBlock == 0);
    const uint64_t count = declared / kFull * kPresetsPerMessage +
                           (lastBytes > kMessageOverhead ? (lastBytes - kMessageOverhead) / Kind::kBlock : 0);
    bool intact = lengthFits && count == storedCount;
    if (count > slots.size())
    {
        K1_LOG("The state holds " << count << " " << Kind::kName << ", the store only " << slots.size());
        intact = false;
    }

    bool anchored = false;
    for (uint64_t at = 0, k = 0; at < present; at += kFull, ++k)
    {
        const uint64_t length = std::min<uint64_t>(kFull, declared - at); // the message as declared
        const uint64_t avail = std::min<uint64_t>(length, present - at);
        const bool header = headerMatches<Kind>(data + at, avail, length, static_cast<size_t>(k));
        anchored |= header;
        if (!header || avail < length || length < kMessageOverhead || data[at + length - 1] != kEnd)
            intact = false;
    }
    if (!anchored)
        return false;

    for (uint64_t at = 0, k = 0; at < present; at += kFull, ++k)
    {
        const uint64_t length = std::min<uint64_t>(kFull, declared - at);
        const uint64_t avail = std::min<uint64_t>(length, present - at);
        const size_t blocks = length > kMessageOverhead ? static_cast<size_t>((length - kMessageOverhead) / Kind::kBlock) : 0;
        const size_t whole = avail > kDataAt ? std::min(blocks, static_cast<size_t>((avail - kDataAt) / Kind::kBlock)) : 0;
        const uint8_t* firstBlock = avail > kDataAt ? data + at + kDataAt : data + at; // not read when no block is whole
        if (!placeBlocks<Kind>(slots, static_cast<size_t>(k * kPresetsPerMessage), firstBlock, blocks, whole))
            intact = false;
    }
    return intact;
}

// A version 1/2 stream: single dumps one after the other, each placed after
// the presets of the dumps before it. Zero bytes between messages (padding)
// and messages that hold no single are passed over (`skipped` counts them);
// any other byte outside a message, a dump with a block that fails, a dump
// that is not a whole number of blocks or one that runs past the end is
// damage: the slots after it are unknown.
bool readLegacyStream(Slots<SingleKind>& slots, const uint8_t* data, size_t size, size_t& skipped)
{
    size_t next = 0;
    size_t at = 0;
    skipped = 0;
    while (at < size)
    {
        if (data[at] == 0)
        {
            ++skipped;
            ++at;
            continue;
        }
        const uint8_t* start = data + at;
        if (*start != kStart)
            return false;
        const auto* end = static_cast<const uint8_t*>(std::memchr(start, kEnd, size - at));
        if (!end)
            return false;
        const size_t length = static_cast<size_t>(end - start) + 1;
        at += length;
        const size_t payload = length - std::min(length, kMessageOverhead);
        const bool singleDump = length >= kMessageOverhead && start[kManufacturerAt] == kManufacturer &&
                                (start[kFunctionAt] == kOneBlockDump || start[kFunctionAt] == kAllBlockDump) &&
                                start[kSub2At] < kMultiBase;
        if (!singleDump)
        {
            skipped += length; // nothing this stream should hold; it holds no single either
            continue;
        }
        const size_t count = payload / kSingleBlockSize;
        if (payload % kSingleBlockSize != 0 || !placeBlocks<SingleKind>(slots, next, start + kDataAt, count, count))
            return false;
        next += count;
    }
    return true;
}

bool cutShort(StateChunk& out, const char* field)
{
    K1_LOG("State ends before its " << field);
    out.truncated = true;
    return true;
}
} // namespace

bool readStateChunk(const std::vector<uint8_t>& in, size_t singleSlots, size_t multiSlots, StateChunk& out)
{
    out = StateChunk{};
    if (in.empty())
        return false;
    Cursor c(in);
    uint64_t value = 0;
    if (!c.u32(value))
    {
        cutShort(out, "version");
        return false;
    }
    if (value < kOldestVersion || value > kVersion)
    {
        K1_LOG("Unable to restore state, unknown version number " << value);
        return false;
    }
    out.version = static_cast<uint32_t>(value);
    const uint32_t v = out.version;

    if (!c.u32(value) || value > c.remaining())
        return cutShort(out, "configuration");
    out.config.emplace(c.here(), c.here() + std::min<uint64_t>(value, kConfigSize));
    c.skip(value);

    if (v >= kFirstVersionWithMultis)
    {
        if (!c.u32(value))
            return cutShort(out, "play mode");
        out.playMode = static_cast<uint32_t>(value);
    }

    if (!c.u32(value) || value > c.remaining() / 4)
        return cutShort(out, "parameters");
    std::vector<float>& params = out.params.emplace();
    for (uint64_t i = 0; i < std::min<uint64_t>(value, kStoredParamCount); ++i)
        params.push_back(floatAt(c.here() + 4 * i));
    c.skip(value * 4);

    if (v >= kFirstVersionWithCustomData)
    {
        if (!c.u32(value) || value > c.remaining())
            return cutShort(out, "custom data");
        out.custom.emplace(c.here(), c.here() + value);
        c.skip(value);
    }

    const bool wide = v == kVersionWithWideIndexes;
    uint64_t storedCount = 0;
    if (!(wide ? c.u64(value) : c.u32(value)) || !c.u32(storedCount))
        return cutShort(out, "current single");
    out.currentSingle = value;

    if (v < kFirstVersionWithMultis)
    {
        out.singles.emplace(singleSlots);
        size_t skipped = 0;
        if (!readLegacyStream(*out.singles, c.here(), static_cast<size_t>(c.remaining()), skipped))
        {
            K1_LOG("Damaged singles in the state");
            out.damaged = true;
        }
        else if (skipped > 0)
        {
            K1_LOG("Passing over " << skipped << " bytes of the singles that hold no single");
            out.repaired = true;
        }
        return true;
    }

    if (!c.u32(value))
        return cutShort(out, "singles");
    out.singles.emplace(singleSlots);
    const uint64_t singleBytes = value;
    if (!readRunStream<SingleKind>(*out.singles, c.here(), singleBytes, std::min(singleBytes, c.remaining()), storedCount))
    {
        K1_LOG("Damaged singles in the state");
        out.damaged = true;
    }
    if (!c.skip(singleBytes))
        return cutShort(out, "end of the singles");

    if (!(wide ? c.u64(value) : c.u32(value)) || !c.u32(storedCount))
        return cutShort(out, "current multi");
    out.currentMulti = value;
    if (!c.u32(value))
        return cutShort(out, "multis");
    out.multis.emplace(multiSlots);
    const uint64_t multiBytes = value;
    if (!readRunStream<MultiKind>(*out.multis, c.here(), multiBytes, std::min(multiBytes, c.remaining()), storedCount))
    {
        K1_LOG("Damaged multis in the state");
        out.damaged = true;
    }
    if (!c.skip(multiBytes))
        return cutShort(out, "end of the multis");
    if (c.remaining() != 0)
    {
        K1_LOG("State has " << c.remaining() << " bytes after its end, passed over");
        out.repaired = true;
    }
    return true;
}
} // namespace k1lib
