#pragma once

// System-exclusive events out of a Standard MIDI File. Every sysex event of
// every track is appended to the caller's byte vector as a complete message
// (F0 followed by the event's data, which ends with F7 in a well-formed file),
// in file order; the K1 codec then parses the vector like a raw .syx file.
// Nothing else of the file is interpreted: channel events, meta events and
// escapes are stepped over by their sizes. Lengths are in bytes; numbers in
// the file are big-endian or variable-length quantities (7 bits per byte,
// most significant group first, bit 7 set on every byte but the last).

#include <cstdint>
#include <cstdio>
#include <vector>

namespace k1lib
{
class MidiToSysex
{
public:
    // Appends the sysex events of the file at path to out (not cleared first).
    // False when the file cannot be opened, does not begin with "MThd", or is
    // cut off or malformed inside a track; messages appended before that stay.
    static bool readFile(std::vector<unsigned char>& out, const char* path);

    // readFile on a stream that is already open; the caller closes it.
    static bool readStream(std::vector<unsigned char>& out, FILE* file);

    // Reads 4 bytes and tells whether they are the 4 characters of id.
    static bool checkChunk(FILE* file, const char* id);
    // Reads a chunk length and moves forward over that many bytes. False when
    // the file ends within the length, or is at its end after the skip.
    static bool ignoreChunk(FILE* file);
    // One variable-length quantity; count receives the bytes read. When the
    // file ends inside it, count is 0 and the result -1. A quantity too large
    // for 62 bits saturates at INT64_MAX (no real length can be met).
    static int64_t readVarLen(FILE* file, int* count);
    // A 4-byte big-endian chunk length; -1 when the file ends within it.
    static int64_t getChunkLength(FILE* file);
};
} // namespace k1lib
