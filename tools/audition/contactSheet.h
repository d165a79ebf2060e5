#pragma once

// Contact sheets of one storage: a PNG with one tile per preset (its slot
// label and name over the waveform of its phrase, drawn as the min/max per
// pixel column) and a WAV with the phrases of all presets in order.

#include <string>
#include <vector>

#include "tools/audition/measure.h"

namespace audition
{
struct SheetEntry
{
    std::string label; // "IA-1", "P017"
    std::string name;
    Stereo audio;
    bool failed = false; // drawn with a red frame
};

// False (and a log line) when the file cannot be written.
bool writeContactSheet(const std::string& pngPath, const std::string& title, const std::vector<SheetEntry>& entries);
bool writeListeningCopy(const std::string& wavPath, const std::vector<SheetEntry>& entries, int rate);
} // namespace audition
