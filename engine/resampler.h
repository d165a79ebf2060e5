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
// Audio thread only, under the engine lock, except prepare(), which the
// engine calls when the rate or the output count is set. The converters are
// opened and every buffer reserved there: blocks allocate nothing, the first
// included. At most eight channels.

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
    // Events one block may bring (the facade refuses more); the queue is
    // reserved for them.
    static constexpr size_t kMaxBlockEvents = 4096;

    // No converter is opened until the first block names its channel count.
    Resampler(Engine& engine, float engineRate, float hostRate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Opens the converters for numOutputs channels (when the count differs)
    // and reserves what blocks need.
    void prepare(int numOutputs);

    // One host block of numFrames frames on numOutputs channels (at most
    // eight are written). Takes the events out of the list (it is left empty)
    // and has each act at its sample; one whose sample the render has not
    // reached (its host frame maps past the end of the block) acts at the end
    // of the block, which is the start of the next render. A block without
    // frames or channels renders nothing; its events act at once.
    void process(float** outputs, int numOutputs, int numFrames, std::vector<SMidiEvent>& events);

    // Events waiting for a sample the engine has not rendered yet: none once
    // process() has returned.
    bool hasPendingEvents() const { return !m_queue.empty(); }
    // Whether whatever the converters still hold is silence: skipping blocks
    // then loses nothing.
    bool isDrained() const;
    // Host frames by which the output follows the engine: the zeros each
    // converter is primed with (57 frames at 44.1 kHz). 0 before the
    // converters are open and when nothing is converted.
    int latencyFrames() const;
    // Engine samples that numFrames host frames span, for a block the engine
    // skips because nothing sounds: counted from the start of the skipped
    // blocks, so that the silence adds up to the same time however the host
    // cuts it.
    int64_t skipSilence(int numFrames);
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
    void openConverters(std::vector<void*>& handles, std::vector<std::vector<float>>& buffers, size_t n);
    static void closeConverters(std::vector<void*>& handles);
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
    // Converters prepare() opened for another output count, used once a block
    // comes with that count.
    std::vector<void*> m_spareHandles;
    std::vector<std::vector<float>> m_spareBuffers;
    bool m_spareFresh = false;
    std::vector<SMidiEvent> m_queue;           // offsets relative to the next render
    std::vector<SMidiEvent> m_due;             // the events of one render
    int m_lookahead = 0;      // zeros primed: filter width, one step and a margin
    int m_step = 1;           // engine samples handed to a converter per call
    int64_t m_hostFrames = 0; // host frames produced since the converters were opened
    int64_t m_rendered = 0;   // engine samples rendered since then
    int m_chunkFrames = 1;    // host frames converted at most at once
    int m_width = 0;          // the converters' filter width, in engine samples
    int64_t m_skippedFrames = 0; // host frames of the blocks skipped in silence
    int64_t m_silentRun = 0;  // engine samples rendered since the last one that was not 0 (all channels)
    bool m_failed = false;    // a converter failed; logged once
};
} // namespace k1lib
