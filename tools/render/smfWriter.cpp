// A format-0 Standard MIDI File from timed events.

#include "tools/render/smfWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

#include "patch/log.h"

namespace k1render
{
namespace
{
constexpr int kTicksPerBeat = 480;
constexpr double kTicksPerSecond = kTicksPerBeat * 2.0; // 120 beats a minute

void putVariable(std::vector<uint8_t>& out, uint32_t value)
{
    uint8_t bytes[5];
    int n = 0;
    do
    {
        bytes[n++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n > 0)
    {
        --n;
        out.push_back(static_cast<uint8_t>(bytes[n] | (n > 0 ? 0x80 : 0)));
    }
}

void put32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

// Data bytes of a channel message: program change and channel pressure have one.
int dataBytes(uint8_t status)
{
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}
} // namespace

bool writeSmfFile(const std::string& path, const std::vector<TimedEvent>& events)
{
    std::vector<TimedEvent> ordered = events;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.seconds < b.seconds; });
    std::vector<uint8_t> track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}; // 500000 us a beat
    uint32_t now = 0;
    for (const TimedEvent& e : ordered)
    {
        if (e.status < 0x80 || e.status >= 0xF0)
            continue;
        const auto tick = static_cast<uint32_t>(std::lround(std::max(0.0, e.seconds) * kTicksPerSecond));
        putVariable(track, tick - std::min(tick, now));
        now = std::max(now, tick);
        track.push_back(e.status);
        track.push_back(e.data1 & 0x7F);
        if (dataBytes(e.status) == 2)
            track.push_back(e.data2 & 0x7F);
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, kTicksPerBeat >> 8, kTicksPerBeat & 0xFF,
                                 'M', 'T', 'r', 'k'};
    put32(file, static_cast<uint32_t>(track.size()));
    file.insert(file.end(), track.begin(), track.end());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out)
    {
        K1_LOG("Cannot write " << path);
        return false;
    }
    return true;
}
} // namespace k1render
