// The resampler between the host's block loop and the engine's fixed rate:
// the time base that places events, the render that feeds the converters and
// the conversion itself.

#include "engine/resampler.h"

#include <libresample.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/engine.h"
#include "patch/log.h"

namespace k1lib
{
namespace
{
constexpr int kHighQuality = 1;
// Engine samples converted at most at once: a longer host block is cut into
// pieces, so the buffers reserved when the converters open always suffice.
constexpr double kChunkSamples = 8192.0;
// Zeros primed beyond the filter width and one step: the converter's own
// position rounding never leaves it short of input.
constexpr int kLookaheadMargin = 2;
// Engine samples handed to a converter per call. The converter filters what
// it is given in one pass, and where its passes end moves the rounding of
// its filter phase (by up to 2e-4 of full scale): fed in equal steps, it
// converts the same stream the same way however the host cuts its blocks.
constexpr int kMaxStep = 32;
// The converter takes at most its input size (4096, more for wide filters)
// less twice its filter width at once; a step must fit.
constexpr int kConverterInput = 4096;
constexpr int kConverterSlack = 10;
// Beyond the converters' filter memory and buffer, what makes sure every
// sample they hold is one of the silent ones.
constexpr int64_t kDrainMargin = 8;
// Silent engine samples counted for converters that hold nothing yet.
constexpr int64_t kNothingHeard = int64_t(1) << 40;

int32_t toOffset(int64_t samples)
{
    return static_cast<int32_t>(std::clamp<int64_t>(samples, -1, std::numeric_limits<int32_t>::max()));
}
} // namespace

Resampler::Resampler(Engine& engine, float engineRate, float hostRate)
    : m_engine(engine),
      m_engineRate(engineRate),
      m_hostRate(hostRate),
      m_factor(static_cast<double>(hostRate) / static_cast<double>(engineRate))
{
    const double frames = std::floor(kChunkSamples * static_cast<double>(hostRate) / engineRate);
    m_chunkFrames = static_cast<int>(std::clamp(frames, 1.0, 1.0e6));
}

Resampler::~Resampler()
{
    destroyResamplers();
    closeConverters(m_spareHandles);
}

void Resampler::closeConverters(std::vector<void*>& handles)
{
    for (void* handle : handles)
    {
        if (handle != nullptr)
            resample_close(handle);
    }
    handles.clear();
}

void Resampler::destroyResamplers() { closeConverters(m_handles); }

void Resampler::dispatchPendingEvents()
{
    m_engine.processAudio(nullptr, 0, 0, m_queue);
    m_queue.clear();
}

// Host frame h starts at engine sample floor(h x engine rate / host rate).
// h x engine rate is exact in a double, so whole results come out whole.
int64_t Resampler::engineSampleAt(int64_t hostFrame) const
{
    return static_cast<int64_t>(std::floor(static_cast<double>(hostFrame) * m_engineRate / m_hostRate));
}

// Engine samples the host frames before h need, rounded to the nearest: 580
// for 512 frames at 44.1 kHz.
int64_t Resampler::engineSamplesFor(int64_t hostFrame) const
{
    return static_cast<int64_t>(std::floor(static_cast<double>(hostFrame) * m_engineRate / m_hostRate + 0.5));
}

int64_t Resampler::skipSilence(int numFrames)
{
    if (numFrames <= 0)
        return 0;
    if (m_engineRate == m_hostRate)
        return numFrames;
    const int64_t before = engineSamplesFor(m_skippedFrames);
    m_skippedFrames += numFrames;
    return engineSamplesFor(m_skippedFrames) - before;
}

// Opens n fresh converters, each with its buffer primed and reserved.
void Resampler::openConverters(std::vector<void*>& handles, std::vector<std::vector<float>>& buffers, size_t n)
{
    closeConverters(handles);
    buffers.assign(n, {});
    int width = 0;
    for (size_t c = 0; c < n; ++c)
    {
        // Every converter has the same filter: the first computes its tables,
        // the others copy them (a tenth of the time).
        void* handle = c > 0 && handles[0] != nullptr ? resample_dup(handles[0])
                                                      : resample_open(kHighQuality, m_factor, m_factor);
        if (handle == nullptr)
            K1_LOG("Cannot open a converter from " << m_engineRate << " Hz to " << m_hostRate << " Hz");
        else
            width = resample_get_filter_width(handle);
        handles.push_back(handle);
    }
    // Every converter has the same factor, so the same width.
    if (width > 0)
    {
        const int room = std::max(kConverterInput, 2 * width + kConverterSlack) - 2 * width;
        m_step = std::clamp(room, 1, kMaxStep);
        m_lookahead = width + m_step + kLookaheadMargin;
        m_width = width;
    }
    const auto chunk = static_cast<size_t>(engineSamplesFor(m_chunkFrames)) + 1;
    for (std::vector<float>& buffer : buffers)
    {
        buffer.reserve(static_cast<size_t>(m_lookahead) + 2 * chunk + 64);
        buffer.assign(static_cast<size_t>(m_lookahead), 0.0f);
    }
}

void Resampler::setChannelCount(size_t n)
{
    if (m_buffers.size() == n && m_handles.size() == n)
        return;
    if (m_spareFresh && m_spareHandles.size() == n)
    {
        // Opened by prepare() for this count: the block only switches over.
        m_handles.swap(m_spareHandles);
        m_buffers.swap(m_spareBuffers);
        m_spareFresh = false; // the previous set, kept until prepare() closes it
    }
    else
    {
        openConverters(m_handles, m_buffers, n);
    }
    m_silentRun = kNothingHeard;
    m_queue.reserve(kMaxBlockEvents);
    m_due.reserve(kMaxBlockEvents);
    // A new time base: whatever waited acts at the start of the next render.
    m_hostFrames = 0;
    m_rendered = 0;
    for (SMidiEvent& e : m_queue)
        e.sampleOffset = -1;
}

// The first count goes straight into use; a later one is opened beside the
// converters in use, which blocks go on with until they come with the new
// count (a host renders with the old one until it has taken the change).
void Resampler::prepare(int numOutputs)
{
    if (m_engineRate == m_hostRate)
        return;
    const auto n = static_cast<size_t>(std::clamp(numOutputs, 1, kMaxChannels));
    if (m_handles.empty())
    {
        setChannelCount(n);
        return;
    }
    if (m_handles.size() == n || (m_spareFresh && m_spareHandles.size() == n))
        return;
    openConverters(m_spareHandles, m_spareBuffers, n);
    m_spareFresh = true;
}

bool Resampler::isDrained() const
{
    if (m_buffers.empty())
        return true;
    // The buffer holds the latest samples; before them the converter keeps
    // at most a step and its filter's span on either side.
    const auto held = static_cast<int64_t>(m_buffers[0].size()) + 2 * m_width + 2 * m_step + kDrainMargin;
    return m_silentRun >= held;
}

int Resampler::latencyFrames() const
{
    if (m_engineRate == m_hostRate || m_handles.empty())
        return 0;
    return static_cast<int>(std::lround(static_cast<double>(m_lookahead) * m_hostRate / m_engineRate));
}

void Resampler::process(float** outputs, int numOutputs, int numFrames, std::vector<SMidiEvent>& events)
{
    const int channels = std::min(numOutputs, kMaxChannels);
    if (m_engineRate == m_hostRate)
    {
        // Nothing to convert: the engine renders into the host's buffers and
        // the events keep their own offsets.
        m_engine.processAudio(outputs, std::max(channels, 0), channels < 1 ? 0 : numFrames, events);
        events.clear();
        return;
    }
    if (channels < 1 || numFrames < 1)
    {
        // No sample to place them at: they act now rather than wait (their
        // bytes may belong to the caller's block).
        queueEvents(events, 0);
        dispatchPendingEvents();
        return;
    }
    setChannelCount(static_cast<size_t>(channels));
    queueEvents(events, numFrames);

    int done = 0;
    while (done < numFrames)
    {
        const int frames = std::min(numFrames - done, m_chunkFrames);
        const int64_t endSample = engineSamplesFor(m_hostFrames + done + frames);
        const int produced = processResample(outputs, channels, done, frames, endSample);
        // The converter gave up or failed: the rest of the piece is silent.
        for (int c = 0; c < channels && produced < frames; ++c)
            std::fill(outputs[c] + done + produced, outputs[c] + done + frames, 0.0f);
        done += frames;
    }
    m_hostFrames += numFrames;
    // An event on the block's last frames may map to the engine sample the
    // next render starts with: it acts now, which is the same moment, so
    // that no event outlives the caller's block.
    if (!m_queue.empty())
        dispatchPendingEvents();
}

// Puts the host's events on the time base of the next render: a host offset
// o of this block acts at engine sample floor((frames before the block + o) x
// engine rate / host rate). A negative offset means the block's start, an
// offset past the block its last frame.
void Resampler::queueEvents(std::vector<SMidiEvent>& events, int numFrames)
{
    for (SMidiEvent& e : events)
    {
        const int64_t offset = std::clamp<int64_t>(e.sampleOffset, 0, std::max(numFrames - 1, 0));
        e.sampleOffset = toOffset(engineSampleAt(m_hostFrames + offset) - m_rendered);
        m_queue.push_back(std::move(e));
    }
    events.clear();
}

// Produces the frames of one piece of a block from output position done:
// renders up to endSample, converts, and while the converter still lacks
// input renders more, at least one sample at a time. Returns the frames
// produced: fewer when fresh input gave nothing or a converter failed.
int Resampler::processResample(float** outputs, int channels, int done, int frames, int64_t endSample)
{
    int produced = 0;
    bool starved = false;
    while (produced < frames)
    {
        const int missing = frames - produced;
        int64_t toRender = endSample - m_rendered;
        if (starved)
            toRender = std::max<int64_t>(toRender, engineSamplesFor(missing) + m_step);
        if (toRender > 0)
            render(static_cast<int>(toRender));
        const int n = convert(outputs, channels, done + produced, missing);
        if (n < 0)
            return produced;
        if (n == 0 && starved)
            break;
        produced += n;
        // Whatever is still missing needs more input than the time base gave.
        starved = true;
    }
    return produced;
}

void Resampler::clearMidiEvents(std::vector<SMidiEvent>& queue, int n)
{
    size_t due = 0;
    while (due < queue.size() && queue[due].sampleOffset < n)
        ++due;
    queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(due));
    for (SMidiEvent& e : queue)
        e.sampleOffset = toOffset(static_cast<int64_t>(e.sampleOffset) - n);
}

// Has the engine render n samples onto the end of every buffer, with the
// queued events whose sample falls among them.
void Resampler::render(int n)
{
    for (SMidiEvent& e : m_queue)
    {
        if (e.sampleOffset >= n)
            break;
        m_due.push_back(std::move(e));
    }
    clearMidiEvents(m_queue, n);

    float* pointers[kMaxChannels] = {};
    for (size_t c = 0; c < m_buffers.size(); ++c)
    {
        std::vector<float>& buffer = m_buffers[c];
        const size_t have = buffer.size();
        buffer.resize(have + static_cast<size_t>(n));
        pointers[c] = buffer.data() + have;
    }
    m_engine.processAudio(pointers, static_cast<int>(m_buffers.size()), n, m_due);
    m_due.clear();
    m_rendered += n;

    int lastSound = -1;
    for (size_t c = 0; c < m_buffers.size(); ++c)
    {
        const float* fresh = pointers[c];
        for (int i = n - 1; i > lastSound; --i)
        {
            if (fresh[i] != 0.0f)
            {
                lastSound = i;
                break;
            }
        }
    }
    m_silentRun = lastSound < 0 ? std::min(m_silentRun + n, kNothingHeard) : n - 1 - lastSound;
}

// Feeds every buffer to its converter in steps, writing up to frames samples
// from output position at; what a converter did not take (less than a step,
// or what waits for output room) stays buffered for the next call. Returns
// the frames written (the same for every channel) or -1 on failure.
int Resampler::convert(float** outputs, int channels, int at, int frames)
{
    int written = frames;
    for (int c = 0; c < channels && written >= 0; ++c)
    {
        std::vector<float>& buffer = m_buffers[static_cast<size_t>(c)];
        void* handle = m_handles[static_cast<size_t>(c)];
        size_t taken = 0;
        int produced = 0;
        while (produced < frames)
        {
            const int step = buffer.size() - taken >= static_cast<size_t>(m_step) ? m_step : 0;
            int used = 0;
            const int n = handle == nullptr ? -1
                                            : resample_process(handle, m_factor, buffer.data() + taken, step, 0, &used,
                                                               outputs[c] + at + produced, frames - produced);
            if (n < 0)
            {
                produced = -1;
                break;
            }
            taken += static_cast<size_t>(used);
            produced += n;
            if (n == 0 && used == 0)
                break;
        }
        buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(taken));
        written = std::min(written, produced);
    }
    if (written < 0)
    {
        if (!m_failed)
            K1_LOG("Converting from " << m_engineRate << " Hz to " << m_hostRate << " Hz failed; output muted");
        m_failed = true;
        // Nothing is consumed any more: drop the input rather than let it grow.
        for (std::vector<float>& buffer : m_buffers)
            buffer.clear();
    }
    return written;
}
} // namespace k1lib
