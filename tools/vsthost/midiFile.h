#pragma once

// A Standard MIDI File reader for the command-line host: turns formats 0, 1
// and 2 into one time-ordered list of MIDI messages in seconds from the
// start. Channel messages (running status included) and system-exclusive
// messages (split packets joined) are kept; meta events only feed the tempo
// map. Tracks of a format 2 file are played together, like format 1.

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost
{

struct TimedMidi
{
    double seconds = 0.0;           // from the start of the file
    std::vector<uint8_t> bytes;     // one whole message; sysex from F0 to F7
};

// Appends nothing and answers false (one log line) for a malformed file.
bool parseMidiFile(const std::vector<uint8_t>& file, std::vector<TimedMidi>& events);
bool loadMidiFile(const std::string& path, std::vector<TimedMidi>& events);

} // namespace vsthost
