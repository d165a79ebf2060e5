#pragma once

// Writes timed events as a format-0 Standard MIDI File at 120 beats a minute
// (480 ticks a beat), so that other players (vsthost, a host) play exactly
// what k1render plays.

#include <string>
#include <vector>

#include "tools/render/smfReader.h"

namespace k1render
{
// False (and a log line) when the file cannot be written.
bool writeSmfFile(const std::string& path, const std::vector<TimedEvent>& events);
} // namespace k1render
