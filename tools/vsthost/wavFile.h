#pragma once

// 32-bit float WAV files: the host's render output, and a reader for
// checking renders. Samples are nominally -1..1; channels are kept as one
// vector each, all of the same length.

#include <string>
#include <vector>

namespace vsthost
{

struct Audio
{
    int sampleRate = 44100;                  // Hz
    std::vector<std::vector<float>> channels;
    size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

bool writeWav(const std::string& path, const Audio& audio);
// Reads 32-bit float or 16-bit PCM files; false (one log line) otherwise.
bool readWav(const std::string& path, Audio& audio);

} // namespace vsthost
