// Standard MIDI File reading: chunks, variable-length numbers, running
// status, the tempo map.

#include "tools/render/smfReader.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "patch/log.h"

namespace k1render
{
namespace
{
constexpr uint32_t kDefaultTempo = 500000; // microseconds per quarter note

struct Cursor
{
    const uint8_t* p;
    const uint8_t* end;

    bool has(size_t n) const { return static_cast<size_t>(end - p) >= n; }
    bool u8(uint8_t& v)
    {
        if (!has(1))
            return false;
        v = *p++;
        return true;
    }
    bool be(uint32_t& v, int bytes)
    {
        if (!has(static_cast<size_t>(bytes)))
            return false;
        v = 0;
        for (int i = 0; i < bytes; ++i)
            v = (v << 8) | *p++;
        return true;
    }
    // At most four bytes, as the file format allows.
    bool varLen(uint32_t& v)
    {
        v = 0;
        for (int i = 0; i < 4; ++i)
        {
            uint8_t b;
            if (!u8(b))
                return false;
            v = (v << 7) | (b & 0x7F);
            if (!(b & 0x80))
                return true;
        }
        return false;
    }
    bool skip(uint32_t n)
    {
        if (!has(n))
            return false;
        p += n;
        return true;
    }
};

struct TickEvent
{
    uint64_t tick;
    uint32_t order; // file order breaks ties
    uint8_t status, data1, data2;
    uint32_t tempo; // for tempo events (status 0)
    std::vector<uint8_t> sysex = {};
};

int dataBytes(uint8_t status)
{
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

bool readTrack(Cursor track, std::vector<TickEvent>& out, uint32_t& order)
{
    uint64_t tick = 0;
    uint8_t running = 0;
    std::vector<uint8_t> message; // a system-exclusive message still waiting for its F7
    uint64_t messageTick = 0;
    while (track.p < track.end)
    {
        uint32_t delta;
        if (!track.varLen(delta))
            return false;
        tick += delta;
        uint8_t status;
        if (!track.u8(status))
            return false;
        if (status == 0xFF)
        {
            uint8_t type;
            uint32_t length;
            if (!track.u8(type) || !track.varLen(length) || !track.has(length))
                return false;
            if (type == 0x51 && length == 3)
            {
                const uint32_t tempo = (track.p[0] << 16) | (track.p[1] << 8) | track.p[2];
                out.push_back(TickEvent{tick, order++, 0, 0, 0, tempo});
            }
            if (type == 0x2F)
                return true;
            track.skip(length);
            continue;
        }
        if (status == 0xF0 || status == 0xF7)
        {
            uint32_t length;
            if (!track.varLen(length) || !track.has(length))
                return false;
            // F0 starts a message; F7 continues one that has not ended yet,
            // and is an escape (raw bytes, not played) otherwise.
            if (status == 0xF0)
            {
                message.assign(1, 0xF0);
                messageTick = tick;
            }
            if (!message.empty())
            {
                message.insert(message.end(), track.p, track.p + length);
                if (message.back() == 0xF7)
                {
                    out.push_back(TickEvent{messageTick, order++, 0xF0, 0, 0, 0, std::move(message)});
                    message.clear();
                }
            }
            track.skip(length);
            continue;
        }
        uint8_t first;
        if (status & 0x80)
        {
            if (status >= 0xF0) // system messages carry no place in a file
                return false;
            running = status;
            if (!track.u8(first))
                return false;
        }
        else
        {
            if (running == 0)
                return false;
            first = status;
            status = running;
        }
        uint8_t second = 0;
        if (dataBytes(status) == 2 && !track.u8(second))
            return false;
        out.push_back(TickEvent{tick, order++, status, static_cast<uint8_t>(first & 0x7F),
                                static_cast<uint8_t>(second & 0x7F), 0});
    }
    return true;
}
} // namespace

bool readSmf(const std::vector<uint8_t>& bytes, std::vector<TimedEvent>& events)
{
    Cursor file{bytes.data(), bytes.data() + bytes.size()};
    uint32_t id, length, format, tracks, division;
    if (!file.be(id, 4) || id != 0x4D546864 || !file.be(length, 4) || length < 6 || !file.has(length) ||
        !file.be(format, 2) || !file.be(tracks, 2) || !file.be(division, 2) || !file.skip(length - 6))
    {
        K1_LOG("Not a Standard MIDI File");
        return false;
    }
    if (format > 1 || division == 0)
    {
        K1_LOG("Unsupported MIDI file format " << format << " or division " << division);
        return false;
    }

    std::vector<TickEvent> ticks;
    uint32_t order = 0;
    bool ok = true;
    for (uint32_t t = 0; t < tracks && file.p < file.end; ++t)
    {
        if (!file.be(id, 4) || !file.be(length, 4) || !file.has(length))
        {
            K1_LOG("MIDI file cut off in track " << t);
            ok = false;
            break;
        }
        Cursor track{file.p, file.p + length};
        file.p += length;
        if (id != 0x4D54726B) // not "MTrk": unknown chunks are skipped
        {
            ++tracks;
            continue;
        }
        if (!readTrack(track, ticks, order))
        {
            K1_LOG("Malformed MIDI track " << t);
            ok = false;
        }
    }
    std::stable_sort(ticks.begin(), ticks.end(),
                     [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });

    // Ticks to seconds: SMPTE divisions count frames, others quarter notes.
    const bool smpte = (division & 0x8000) != 0;
    double secondsPerTick = 0.0;
    if (smpte)
    {
        const int fps = 256 - static_cast<int>((division >> 8) & 0xFF);
        const int perFrame = static_cast<int>(division & 0xFF);
        secondsPerTick = fps > 0 && perFrame > 0 ? 1.0 / (fps * perFrame) : 0.0;
    }
    uint32_t tempo = kDefaultTempo;
    uint64_t lastTick = 0;
    double seconds = 0.0;
    for (const TickEvent& e : ticks)
    {
        const double perTick = smpte ? secondsPerTick : tempo * 1e-6 / division;
        seconds += static_cast<double>(e.tick - lastTick) * perTick;
        lastTick = e.tick;
        if (e.status == 0)
            tempo = e.tempo;
        else if (e.status == 0xF0)
            events.push_back(TimedEvent{seconds, 0, 0, 0, e.sysex});
        else
            events.push_back(TimedEvent{seconds, e.status, e.data1, e.data2, {}});
    }
    return ok;
}

bool readSmfFile(const std::string& path, std::vector<TimedEvent>& events)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        K1_LOG("Cannot open " << path);
        return false;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return readSmf(bytes, events);
}
} // namespace k1render
