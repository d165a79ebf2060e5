#pragma once

// RIFF/WAVE reading and writing with cue points and their text labels.
// Positions are in sample frames, rates in Hz; 8-bit data comes out signed
// (-128..127), float data in -1..1. The engine decodes the compiled-in wave ROM
// with it; the float loaders and the writer serve the tools. All operations
// are static and keep no state; bad input gives false and one log line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace k1lib
{
// What a parse finds; points into the caller's memory, nothing is copied.
struct Data
{
    const unsigned char* data = nullptr; // payload of the "data" chunk
    uint64_t size = 0;                   // its size in bytes
    uint32_t bitsPerSample = 0;
    uint32_t channels = 0;
    uint32_t sampleRate = 0;
    bool isFloat = false;                // format tag 3
};

struct CuePoint
{
    uint32_t position = 0; // sample frame
    std::string label;     // empty when the cue has none
};

class WavLoader
{
public:
    // Parses the document; fills the cue list (sorted by cue id) when given.
    static bool load(Data& out, std::vector<CuePoint>* cues, const unsigned char* mem, size_t size);

    // 8-bit mono PCM only: samples become signed (byte XOR 0x80).
    static bool load(std::vector<char>& samples, int& sampleRate, std::vector<CuePoint>* cues,
                     const unsigned char* mem, size_t size);

    // 8, 16, 24, 32 or 64 bits, integer or float, mixed down to mono.
    static bool load(std::vector<float>& samples, int& sampleRate, std::vector<CuePoint>* cues,
                     const unsigned char* mem, size_t size);

    // Reads the whole file, then as the float loader above.
    static bool load(std::vector<float>& samples, int& sampleRate, std::vector<CuePoint>* cues,
                     const std::string& file);

    // Writes mono 32-bit float with a "cue " chunk and "labl" labels when cues are given.
    static bool write(const std::string& file, const std::vector<float>& samples, int sampleRate,
                      std::vector<CuePoint>* cues);
};

// out[i] = in[i] / 32767
void convert(std::vector<float>& out, const short* in, size_t n);
// out[i] = (in[i] - 128) / 128
void convert(std::vector<float>& out, const unsigned char* in, size_t n);
} // namespace k1lib
