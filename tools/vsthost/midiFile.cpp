// Standard MIDI File parsing: chunks, tracks, running status, sysex packets
// and the tempo map that converts ticks to seconds.

#include "tools/vsthost/midiFile.h"

#include "patch/log.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace vsthost
{
namespace
{
struct TickEvent
{
    uint64_t tick;
    std::vector<uint8_t> bytes;
};

struct TempoChange
{
    uint64_t tick;
    uint32_t microsPerQuarter;
};

class Reader
{
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool atEnd() const { return pos_ >= size_; }
    bool byte(uint8_t& out)
    {
        if (pos_ >= size_)
            return false;
        out = data_[pos_++];
        return true;
    }
    bool peek(uint8_t& out) const
    {
        if (pos_ >= size_)
            return false;
        out = data_[pos_];
        return true;
    }
    // Variable-length quantity, at most four bytes (28 bits).
    bool vlq(uint32_t& out)
    {
        out = 0;
        for (int i = 0; i < 4; ++i)
        {
            uint8_t b;
            if (!byte(b))
                return false;
            out = (out << 7) | (b & 0x7f);
            if ((b & 0x80) == 0)
                return true;
        }
        return false;
    }
    bool bytes(size_t count, std::vector<uint8_t>& out)
    {
        if (count > size_ - pos_)
            return false;
        out.insert(out.end(), data_ + pos_, data_ + pos_ + count);
        pos_ += count;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

uint32_t bigEndian(const uint8_t* p, int count)
{
    uint32_t v = 0;
    for (int i = 0; i < count; ++i)
        v = (v << 8) | p[i];
    return v;
}

int dataBytesOf(uint8_t status)
{
    uint8_t kind = status & 0xf0;
    return kind == 0xc0 || kind == 0xd0 ? 1 : 2;
}

// One MTrk chunk's events; false on a malformed event.
bool parseTrack(Reader r, std::vector<TickEvent>& events, std::vector<TempoChange>& tempos)
{
    uint64_t tick = 0;
    uint8_t running = 0;
    std::vector<uint8_t> pendingSysex; // an F0 packet still waiting for its F7
    while (!r.atEnd())
    {
        uint32_t delta;
        uint8_t status;
        if (!r.vlq(delta) || !r.peek(status))
            return false;
        tick += delta;
        if (status == 0xff)
        {
            uint8_t type;
            uint32_t length;
            std::vector<uint8_t> data;
            r.byte(status);
            if (!r.byte(type) || !r.vlq(length) || !r.bytes(length, data))
                return false;
            running = 0;
            if (type == 0x2f)
                break;
            if (type == 0x51 && length == 3)
                tempos.push_back({tick, bigEndian(data.data(), 3)});
            continue;
        }
        if (status == 0xf0 || status == 0xf7)
        {
            uint32_t length;
            std::vector<uint8_t> data;
            r.byte(status);
            if (!r.vlq(length) || !r.bytes(length, data))
                return false;
            running = 0;
            if (status == 0xf0)
            {
                pendingSysex.assign(1, 0xf0);
                pendingSysex.insert(pendingSysex.end(), data.begin(), data.end());
            }
            else if (!pendingSysex.empty())
                pendingSysex.insert(pendingSysex.end(), data.begin(), data.end());
            else if (!data.empty())
                events.push_back({tick, data}); // escaped bytes, sent as they are
            if (!pendingSysex.empty() && pendingSysex.back() == 0xf7)
            {
                events.push_back({tick, std::move(pendingSysex)});
                pendingSysex.clear();
            }
            continue;
        }
        std::vector<uint8_t> message;
        if (status & 0x80)
        {
            r.byte(status);
            if (status >= 0xf0) // system common or realtime inside a file
                return false;
            running = status;
        }
        else if (running == 0)
            return false;
        message.push_back(running);
        if (!r.bytes(dataBytesOf(running), message))
            return false;
        events.push_back({tick, std::move(message)});
    }
    return true;
}

// Converts ticks to seconds for ticks given in rising order.
class TickClock
{
public:
    TickClock(uint16_t division, const std::vector<TempoChange>& tempos)
        : division_(division), tempos_(tempos)
    {
    }
    double seconds(uint64_t tick)
    {
        if (division_ & 0x8000)
        {
            int fps = -static_cast<int8_t>(division_ >> 8);
            double frames = fps == 29 ? 29.97 : fps;
            return static_cast<double>(tick) / (frames * (division_ & 0xff));
        }
        while (next_ < tempos_.size() && tempos_[next_].tick <= tick)
        {
            secondsAt_ += span(tempos_[next_].tick - tickAt_);
            tickAt_ = tempos_[next_].tick;
            micros_ = tempos_[next_].microsPerQuarter;
            ++next_;
        }
        return secondsAt_ + span(tick - tickAt_);
    }

private:
    double span(uint64_t ticks) const
    {
        return static_cast<double>(ticks) * micros_ / (1e6 * division_);
    }
    uint16_t division_;
    const std::vector<TempoChange>& tempos_;
    size_t next_ = 0;
    uint64_t tickAt_ = 0;
    double secondsAt_ = 0.0;
    double micros_ = 500000.0; // 120 beats per minute until the first tempo event
};
} // namespace

bool parseMidiFile(const std::vector<uint8_t>& file, std::vector<TimedMidi>& out)
{
    if (file.size() < 14 || !std::equal(file.begin(), file.begin() + 4, "MThd") ||
        bigEndian(&file[4], 4) < 6)
    {
        K1_LOG("Not a Standard MIDI File");
        return false;
    }
    uint16_t division = static_cast<uint16_t>(bigEndian(&file[12], 2));
    bool smpte = (division & 0x8000) != 0;
    int fps = smpte ? -static_cast<int8_t>(division >> 8) : 0;
    if ((smpte && ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || (division & 0xff) == 0)) ||
        (!smpte && division == 0))
    {
        K1_LOG("Invalid time division " << division);
        return false;
    }
    std::vector<TickEvent> events;
    std::vector<TempoChange> tempos;
    size_t pos = 8 + bigEndian(&file[4], 4);
    int track = 0;
    while (pos + 8 <= file.size())
    {
        size_t length = bigEndian(&file[pos + 4], 4);
        if (length > file.size() - pos - 8)
        {
            K1_LOG("Chunk at byte " << pos << " runs past the end of the file");
            return false;
        }
        if (std::equal(file.begin() + pos, file.begin() + pos + 4, "MTrk"))
        {
            std::vector<TickEvent> trackEvents;
            if (!parseTrack(Reader(&file[pos + 8], length), trackEvents, tempos))
            {
                K1_LOG("Malformed event in track " << track);
                return false;
            }
            // Merge keeps earlier tracks first among events of the same tick.
            size_t middle = events.size();
            std::move(trackEvents.begin(), trackEvents.end(), std::back_inserter(events));
            std::inplace_merge(events.begin(), events.begin() + middle, events.end(),
                               [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });
            ++track;
        }
        pos += 8 + length;
    }
    if (track == 0)
    {
        K1_LOG("The file has no track");
        return false;
    }
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    TickClock clock(division, tempos);
    for (TickEvent& e : events)
        out.push_back({clock.seconds(e.tick), std::move(e.bytes)});
    return true;
}

bool loadMidiFile(const std::string& path, std::vector<TimedMidi>& events)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        K1_LOG("Cannot open " << path);
        return false;
    }
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseMidiFile(file, events);
}

} // namespace vsthost
