#include "patch/midiFile.h"

#include <array>
#include <cstring>
#include <limits>

#include "patch/log.h"
#include "patch/regularFile.h"

namespace k1lib
{
namespace
{
constexpr size_t kChunkIdLength = 4;
constexpr size_t kReadPiece = 65536;

// Status bytes of the events a track can hold.
constexpr int kSysexStatus = 0xF0;
constexpr int kEscapeStatus = 0xF7;
constexpr int kMetaStatus = 0xFF;
constexpr int kEndOfTrackType = 0x2F;

// Data bytes that follow a channel status 80h-EFh: program change (Cx) and
// channel pressure (Dx) carry one, the others two.
int channelDataCount(int status)
{
    const int kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

// Appends exactly count bytes of the file to dest, growing it only as bytes
// arrive, so a length that asks for more than the file holds costs nothing.
bool readBytes(FILE* file, int64_t count, std::vector<unsigned char>& dest)
{
    while (count > 0)
    {
        const size_t piece = count < static_cast<int64_t>(kReadPiece) ? static_cast<size_t>(count) : kReadPiece;
        const size_t old = dest.size();
        dest.resize(old + piece);
        const size_t got = std::fread(dest.data() + old, 1, piece, file);
        if (got != piece)
        {
            dest.resize(old + got);
            return false;
        }
        count -= static_cast<int64_t>(piece);
    }
    return true;
}

// Reads and drops exactly count bytes; false when the file ends first.
bool skipBytes(FILE* file, int64_t count)
{
    std::array<unsigned char, 4096> scratch;
    while (count > 0)
    {
        const size_t piece = count < static_cast<int64_t>(scratch.size()) ? static_cast<size_t>(count) : scratch.size();
        if (std::fread(scratch.data(), 1, piece, file) != piece)
            return false;
        count -= static_cast<int64_t>(piece);
    }
    return true;
}

// True when no byte is left to read; the stream position is unchanged.
bool atEnd(FILE* file)
{
    const int c = std::fgetc(file);
    if (c == EOF)
        return true;
    std::ungetc(c, file);
    return false;
}

// Reads the events of one track up to and including its end-of-track event.
// False (with one log line) when the track is cut off or malformed.
bool readTrack(std::vector<unsigned char>& out, FILE* file)
{
    int running = 0;            // running status: the last channel status byte
    bool sysexOpen = false;     // the last sysex event did not end with F7
    std::vector<unsigned char> data;

    for (;;)
    {
        int count = 0;
        MidiToSysex::readVarLen(file, &count); // delta time, not used
        if (count == 0)
        {
            K1_LOG("Failed to read variable length variable");
            return false;
        }

        int status = std::fgetc(file);
        if (status == EOF)
        {
            K1_LOG("Track ends inside an event");
            return false;
        }

        if (status < 0x80)
        {
            // A data byte: the event repeats the running status, and this
            // byte is already its first data byte.
            if (running == 0)
            {
                K1_LOG("Data byte " << status << " without a running status");
                return false;
            }
            if (channelDataCount(running) == 2 && std::fgetc(file) == EOF)
            {
                K1_LOG("Track ends inside an event");
                return false;
            }
            continue;
        }

        if (status < kSysexStatus)
        {
            running = status;
            for (int i = 0; i < channelDataCount(status); ++i)
            {
                if (std::fgetc(file) == EOF)
                {
                    K1_LOG("Track ends inside an event");
                    return false;
                }
            }
            continue;
        }

        if (status == kSysexStatus || status == kEscapeStatus)
        {
            const int64_t length = MidiToSysex::readVarLen(file, &count);
            if (count == 0)
            {
                K1_LOG("Failed to read variable length variable");
                return false;
            }
            data.clear();
            if (!readBytes(file, length, data))
            {
                K1_LOG("Event length " << length << " runs past the end of the file");
                return false;
            }
            if (status == kSysexStatus)
            {
                out.push_back(static_cast<unsigned char>(kSysexStatus));
                out.insert(out.end(), data.begin(), data.end());
                sysexOpen = data.empty() || data.back() != 0xF7;
            }
            else if (sysexOpen)
            {
                // A continuation packet of a sysex message split in time.
                out.insert(out.end(), data.begin(), data.end());
                sysexOpen = data.empty() || data.back() != 0xF7;
            }
            // Otherwise an escape: arbitrary bytes that are not a sysex event.
            continue;
        }

        if (status == kMetaStatus)
        {
            const int type = std::fgetc(file);
            if (type == EOF)
            {
                K1_LOG("Track ends inside an event");
                return false;
            }
            const int64_t length = MidiToSysex::readVarLen(file, &count);
            if (count == 0)
            {
                K1_LOG("Failed to read variable length variable");
                return false;
            }
            if (!skipBytes(file, length))
            {
                K1_LOG("Event length " << length << " runs past the end of the file");
                return false;
            }
            if (type == kEndOfTrackType)
                return true;
            continue;
        }

        // F1h-FEh other than the above never belong in a file; a stray one is
        // passed over by itself.
    }
}
} // namespace

bool MidiToSysex::readFile(std::vector<unsigned char>& out, const char* path)
{
    FileRefusal refusal = FileRefusal::None;
    FILE* file = openRegularFile(path, refusal);
    if (file == nullptr)
    {
        if (refusal == FileRefusal::NotRegular)
            K1_LOG("Failed to read file " << path << ", it is not a regular file");
        else
            K1_LOG("Failed to open file " << path);
        return false;
    }
    const bool result = readStream(out, file);
    std::fclose(file);
    return result;
}

bool MidiToSysex::readStream(std::vector<unsigned char>& out, FILE* file)
{
    if (!checkChunk(file, "MThd"))
        return false;
    if (!ignoreChunk(file))
        return true;

    for (;;)
    {
        char id[kChunkIdLength];
        if (std::fread(id, 1, kChunkIdLength, file) != kChunkIdLength)
            return true;

        if (std::memcmp(id, "MTrk", kChunkIdLength) != 0)
        {
            if (!ignoreChunk(file))
                return true;
            continue;
        }

        const int64_t length = getChunkLength(file);
        if (length < 0)
        {
            K1_LOG("Failed to read variable length variable");
            return false;
        }
        const long start = std::ftell(file);
        if (!readTrack(out, file))
            return false;

        // Bytes the track's length still covers after its end-of-track event
        // are not events; the next chunk starts after them.
        const long now = std::ftell(file);
        if (start >= 0 && now >= 0 && now - start < length)
        {
            if (!skipBytes(file, length - (now - start)))
                return true;
        }
    }
}

bool MidiToSysex::checkChunk(FILE* file, const char* id)
{
    char read[kChunkIdLength];
    if (std::fread(read, 1, kChunkIdLength, file) != kChunkIdLength)
        return false;
    return std::strncmp(read, id, kChunkIdLength) == 0;
}

bool MidiToSysex::ignoreChunk(FILE* file)
{
    const int64_t length = getChunkLength(file);
    if (length < 0)
        return false;
    if (std::fseek(file, static_cast<long>(length), SEEK_CUR) != 0)
        return false;
    return !atEnd(file);
}

int64_t MidiToSysex::readVarLen(FILE* file, int* count)
{
    constexpr uint64_t kLimit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) >> 7;
    uint64_t value = 0;
    bool saturated = false;
    int read = 0;
    for (;;)
    {
        const int c = std::fgetc(file);
        if (c == EOF)
        {
            *count = 0;
            return -1;
        }
        ++read;
        if (value > kLimit)
            saturated = true;
        value = (value << 7) | static_cast<uint64_t>(c & 0x7F);
        if ((c & 0x80) == 0)
            break;
    }
    *count = read;
    return saturated ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(value);
}

int64_t MidiToSysex::getChunkLength(FILE* file)
{
    int64_t length = 0;
    for (int i = 0; i < 4; ++i)
    {
        const int c = std::fgetc(file);
        if (c == EOF)
            return -1;
        length = (length << 8) | c;
    }
    return length;
}
} // namespace k1lib
