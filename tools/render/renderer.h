#pragma once

// Offline rendering through the engine: a Standard MIDI File or the built-in
// demo phrase, played in single or multi mode with a chosen working preset,
// into stereo samples at the engine's processing rate (49920 Hz) or, through
// the engine's resampler, at a host rate, and a WAV writer for the result
// (16-bit PCM, clipped at full scale).

#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/smfReader.h"

namespace k1render
{
struct RenderOptions
{
    std::string midiFile;     // empty: the demo phrase
    bool multi = false;       // play the preset as a multi
    size_t preset = 0;        // single index (0-967) or multi index (0-383)
    double tailSeconds = 2.0; // rendered after the last event
    double maxSeconds = 900.0;
    double sampleRate = 0.0;  // hertz; 0: the engine's own rate
};

// Host rates the renderer accepts besides 0.
constexpr double kMinSampleRate = 8000.0;
constexpr double kMaxSampleRate = 384000.0;

struct RenderResult
{
    std::vector<float> left;
    std::vector<float> right;
    int sampleRate = 0;
    double seconds() const { return sampleRate > 0 ? static_cast<double>(left.size()) / sampleRate : 0.0; }
};

// The demo phrase on the given channels: a bass line on the first, chords on
// all, a melody on the last. About four seconds.
std::vector<TimedEvent> demoPhrase(const std::vector<uint8_t>& channels);

// The events render() plays for these options: the MIDI file's, or the demo
// phrase on the channels the preset listens to. False as render() is.
bool playedEvents(const RenderOptions& options, std::vector<TimedEvent>& events);

// False (and a log line) for a bad preset index, an unreadable file or a
// sample rate out of range.
bool render(const RenderOptions& options, RenderResult& result);

bool writeWav(const std::string& path, const RenderResult& result);
} // namespace k1render
