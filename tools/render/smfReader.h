#pragma once

// The playing events of a Standard MIDI File (format 0 or 1): notes,
// controllers, program changes, pressure, pitch bend and system-exclusive
// messages (K1 dumps and parameter changes) of every track, merged in time
// order and placed in seconds through the file's tempo map. A message split
// over F7 packets is joined; F7 escapes and meta events other than tempo are
// stepped over.

#include <cstdint>
#include <string>
#include <vector>

namespace k1render
{
struct TimedEvent
{
    double seconds = 0.0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    std::vector<uint8_t> sysex; // the whole F0 .. F7 message; then the three bytes are 0
};

// False (and a log line) for a file that is not an SMF or is cut off inside
// a chunk; events read before the fault are kept.
bool readSmf(const std::vector<uint8_t>& bytes, std::vector<TimedEvent>& events);
bool readSmfFile(const std::string& path, std::vector<TimedEvent>& events);
} // namespace k1render
