#pragma once

// k1lib::Resampler: runs the engine at its processing rate (49920 Hz) for a
// host at any other rate. For each host block it has the engine render the
// engine samples the block spans, converts them per output channel with
// libresample (high quality, one converter per channel) and moves the block's
// MIDI events onto the engine's time base, so that each acts exactly once, at
// the engine sample of its host time.
//
// Time base: host frame h corresponds to engine sample floor(h x engine rate
// / host rate), counted from the start of the converters. Each converter is
// primed with as many zeros as it looks ahead (its filter width and one feed
// step), so the engine never has to render ahead of the host's time and
// events are never late; the output is delayed by those zeros (64 engine
// samples, 57 frames or 1.3 ms at 44.1 kHz).
//
// Audio thread only, under the engine lock. Buffers keep their capacity from
// block to block: no allocation in steady state. At most eight channels.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "patch/instrumentTypes.h"

namespace k1lib
{
class Engine;

class Resampler
{
public:
    static constexpr int kMaxChannels = 8;

    // No converter is opened until the first block names its channel count.
    Resampler(Engine& engine, float engineRate, float hostRate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // One host block of numFrames frames on numOutputs channels (at most
    // eight are written). Takes the events out of the list (it is left empty):
    // they act at their sample, in this block or, for those the render has not
    // reached yet, in the next. A block without frames or channels renders
    // nothing; its events act at the start of the next render.
    void process(float** outputs, int numOutputs, int numFrames, std::vector<SMidiEvent>& events);

    // Events waiting for a sample the engine has not rendered yet.
    bool hasPendingEvents() const { return !m_queue.empty(); }
    // Has the engine act on the waiting events at once, before this resampler
    // is replaced, so that no note-off is lost with it.
    void dispatchPendingEvents();

    // Opens n converters when the count differs; buffered samples are lost
    // and the time base starts again. Queued events keep their place.
    void setChannelCount(size_t n);
    // Closes every converter.
    void destroyResamplers();
    // Removes the leading events below n (already handed to the engine) and
    // moves the others onto the time base of the next render.
    static void clearMidiEvents(std::vector<SMidiEvent>& queue, int n);

private:
    void queueEvents(std::vector<SMidiEvent>& events, int numFrames);
    int processResample(float** outputs, int channels, int done, int frames, int64_t endSample);
    void render(int n);
    int convert(float** outputs, int channels, int done, int frames);
    int64_t engineSampleAt(int64_t hostFrame) const;
    int64_t engineSamplesFor(int64_t hostFrame) const;

    Engine& m_engine;
    float m_engineRate;
    float m_hostRate;
    double m_factor;      // host rate / engine rate: the converters' factor, the same double at every call
    std::vector<void*> m_handles;
    std::vector<std::vector<float>> m_buffers; // engine samples not yet consumed by the converters
    std::vector<SMidiEvent> m_queue;           // offsets relative to the next render
    std::vector<SMidiEvent> m_due;             // the events of one render
    int m_lookahead = 0;      // zeros primed: filter width, one step and a margin
    int m_step = 1;           // engine samples handed to a converter per call
    int64_t m_hostFrames = 0; // host frames produced since the converters were opened
    int64_t m_rendered = 0;   // engine samples rendered since then
    int m_chunkFrames = 1;    // host frames converted at most at once
    bool m_failed = false;    // a converter failed; logged once
};
} // namespace k1lib
