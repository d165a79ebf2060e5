// The multi's audio: section LFOs and vibrato, the voices, and the routing
// of each section to the outputs.
//
// render() works on a stretch of samples in which nothing but the voices and
// the LFOs moves, voice by voice. Every output sample receives its additions
// in the same order as one-sample-at-a-time mixing would give (voices in list
// order, sections in order), so the result is bit-identical to it.

#include <algorithm>
#include <cmath>

#include "engine/engine.h"
#include "engine/multi.h"
#include "engine/tables.h"
#include "engine/vibrato.h"

namespace k1lib
{
namespace
{
enum class Routing
{
    Stereo,
    PerSection,
    PerSource,
};

constexpr int32_t kOutputRight = 0;
constexpr int32_t kOutputBoth = 1;
constexpr int32_t kOutputLeft = 2;

// o[i] += x[i] x pan, with the pan gliding toward `to`.
void addPanned(float* o, const float* x, LevelGlide& glide, float to, double pull, float* pans, int n)
{
    if (glide.follow(to, pull, pans, n))
        for (int i = 0; i < n; ++i)
            o[i] += x[i] * pans[i];
    else
        for (int i = 0; i < n; ++i)
            o[i] += x[i] * to;
}
} // namespace

void Multi::updateSectionStates(int n)
{
    const float rate = m_engine.getProcessingSamplerate();
    const float bendRange = static_cast<float>(m_engine.getBendRange());
    for (size_t u = 0; u < m_sectionsInUse.count; ++u)
    {
        const size_t s = m_sectionsInUse.sections[u];
        const SinglePreset* single = getSingle(s);
        if (single == nullptr)
            continue;
        SectionState& state = m_sectionStates[s];
        const MidiState& midi = m_engine.getMidiState(getChannel(s));
        // Single, pressure and wheel hold over the span: so does the depth.
        const float depth = Vibrato::depth(*single, midi.pressure, midi.modWheel);
        state.depth = depth;
        if (m_active[s].empty() && m_released[s].empty())
        {
            // Nobody listens: the LFO only moves on, as if it had been heard.
            state.vibrato = depth * state.lfo.render(*single, rate, midi.modWheel, n, nullptr);
        }
        else
        {
            float lfo[kMaxSpan];
            state.lfo.render(*single, rate, midi.modWheel, n, lfo);
            float* vibrato = m_vibrato[s].data();
            SpanRuns& runs = m_vibratoRuns[s];
            runs.count = 0;
            for (int i = 0; i < n; ++i)
            {
                vibrato[i] = depth * lfo[i];
                runs.append(i, vibrato[i]);
            }
            state.vibrato = vibrato[n - 1];
        }
        // The current single bends by the engine's range (its depth, or an
        // RPN); a multi section by the depth of its own single.
        const bool current = m_multi.sections[s].single == kCurrentSingle;
        state.bend = (current ? bendRange : static_cast<float>(std::min<uint32_t>(single->pitchBendDepth, 12))) * midi.bend;
        const int ptfDepth = static_cast<int>(single->pressureToFreq) - 50;
        float ptf = midi.pressure * pressureToFreq(static_cast<uint8_t>(std::abs(ptfDepth)));
        if (ptfDepth < 0)
            ptf = -ptf;
        state.pressureToFreq = ptf;
    }
}

void Multi::runSilence(int64_t n)
{
    const float rate = m_engine.getProcessingSamplerate();
    for (size_t u = 0; u < m_sectionsInUse.count; ++u)
    {
        const size_t s = m_sectionsInUse.sections[u];
        const SinglePreset* single = getSingle(s);
        if (single == nullptr)
            continue;
        SectionState& state = m_sectionStates[s];
        const MidiState& midi = m_engine.getMidiState(getChannel(s));
        state.depth = Vibrato::depth(*single, midi.pressure, midi.modWheel);
        // Sample by sample, with the arithmetic of rendered spans.
        for (int64_t done = 0; done < n;)
        {
            const int piece = static_cast<int>(std::min<int64_t>(n - done, 1 << 20));
            state.vibrato = state.depth * state.lfo.render(*single, rate, midi.modWheel, piece, nullptr);
            done += piece;
        }
    }
}

template <size_t N>
void Multi::renderList(VoiceList<N>& list, float* const* acc, const VoiceSpanInput& input, int n)
{
    for (size_t i = 0; i < list.size();)
    {
        Voice& voice = m_pool[list[i]];
        voice.render(acc, input, n);
        if (voice.isFinished())
        {
            freeVoice(list[i]);
            list.erase(i);
        }
        else
        {
            ++i;
        }
    }
}

void Multi::render(float* const* out, int numOutputs, int n, const float (*sourceMix)[kMaxSpan])
{
    if (n <= 0)
        return;
    if (n > kMaxSpan)
        n = kMaxSpan;
    if (numOutputs > kMaxOutputs)
        numOutputs = kMaxOutputs;
    if (numOutputs < 0)
        numOutputs = 0;

    // One output per section or per source needs all eight outputs; with
    // fewer, the stereo mix goes to the first two.
    const Engine::Config& config = m_engine.getConfig();
    Routing routing = Routing::Stereo;
    if (numOutputs >= kMaxOutputs && config.audioOutputMode != 0)
        routing = m_engine.getPlayMode() == PlayMode::Single ? Routing::PerSource : Routing::PerSection;

    updateSectionStates(n);
    const double pull = m_levelPull;

    const float* heldMix = m_engine.getSourceMix();
    const float fineTune = m_engine.getFineTune();
    for (size_t s = 0; s < kSectionCount; ++s)
    {
        if (m_active[s].empty() && m_released[s].empty())
            continue;
        const SectionState& state = m_sectionStates[s];
        const MidiState& midi = m_engine.getMidiState(getChannel(s));

        // A section no longer in use keeps its last vibrato.
        bool inUse = false;
        for (size_t u = 0; u < m_sectionsInUse.count; ++u)
            inUse = inUse || m_sectionsInUse.sections[u] == s;
        if (!inUse)
        {
            m_vibrato[s].fill(state.vibrato);
            m_vibratoRuns[s].reset(n, state.vibrato);
        }

        VoiceSpanInput input;
        input.vibrato = m_vibrato[s].data();
        input.vibratoRuns = &m_vibratoRuns[s];
        input.sourceMix = heldMix;
        input.movingSourceMix = sourceMix;
        input.source.pressure = midi.pressure;
        input.source.bend = state.bend;
        input.source.pressureToFreq = state.pressureToFreq;
        input.source.fineTune = fineTune;
        renderSection(s, input, n, inUse);

        const SinglePreset* single = getSingle(s);
        const float g = (single != nullptr ? volume(single->volume) : 0.0f) * midi.volume;
        SectionLevels& levels = m_levels[s];
        if (!levels.sounded)
        {
            // A section that starts to sound takes its levels at once.
            levels.gain.snap(g);
            levels.left.snap(midi.panLeft);
            levels.right.snap(midi.panRight);
            levels.sounded = true;
        }
        float gains[kMaxSpan];
        const bool gainMoves = levels.gain.follow(g, pull, gains, n);
        if (routing == Routing::PerSource)
        {
            for (int k = 0; k < 4; ++k)
            {
                float* o = out[k];
                if (gainMoves)
                    for (int i = 0; i < n; ++i)
                        o[i] += m_acc[k][i] * gains[i];
                else
                    for (int i = 0; i < n; ++i)
                        o[i] += m_acc[k][i] * g;
            }
            continue;
        }
        float x[kMaxSpan];
        if (gainMoves)
            for (int i = 0; i < n; ++i)
                x[i] = (m_acc[0][i] + m_acc[1][i] + m_acc[2][i] + m_acc[3][i]) * gains[i];
        else
            for (int i = 0; i < n; ++i)
                x[i] = (m_acc[0][i] + m_acc[1][i] + m_acc[2][i] + m_acc[3][i]) * g;
        if (routing == Routing::PerSection)
        {
            float* o = out[s];
            for (int i = 0; i < n; ++i)
                o[i] += x[i];
            continue;
        }
        const int32_t output = m_multi.sections[s].output;
        float pans[kMaxSpan];
        if ((output == kOutputBoth || output == kOutputLeft) && numOutputs > 0)
            addPanned(out[0], x, levels.left, midi.panLeft, pull, pans, n);
        if ((output == kOutputBoth || output == kOutputRight) && numOutputs > 1)
            addPanned(out[1], x, levels.right, midi.panRight, pull, pans, n);
    }
    bool sounded = false;
    for (size_t s = 0; s < kSectionCount; ++s)
    {
        m_levels[s].sounded = !m_active[s].empty() || !m_released[s].empty();
        sounded = sounded || m_levels[s].sounded;
    }

    const float m = volume(static_cast<uint8_t>(m_multi.volume > 99 ? 99 : m_multi.volume));
    // Nothing sounded before this span: the volume is taken at once.
    if (!m_soundedBefore)
        m_multiVolume.snap(m);
    float volumes[kMaxSpan];
    const bool volumeMoves = m_multiVolume.follow(m, pull, volumes, n);
    for (int c = 0; c < numOutputs; ++c)
    {
        float* o = out[c];
        if (volumeMoves)
            for (int i = 0; i < n; ++i)
                o[i] *= volumes[i];
        else
            for (int i = 0; i < n; ++i)
                o[i] *= m;
    }
    m_soundedBefore = sounded;
}

// Rendering ahead. A short span (a small host block) costs each voice nearly
// the set-up of a long one, so a section whose input holds still renders up
// to kMaxSpan samples at once into rows of its own and hands them out span
// by span, for as long as each span's input is the one they were rendered
// with. Whatever else changes what its voices play (a note, the pedal, a
// change of a single or of the multi) settles the section first: its voices
// take back their progress at the rows' first sample and render again,
// silently, the samples already heard. A voice's samples do not depend on
// how they are cut into spans, so the output is the one of rendering span by
// span, to the bit.
void Multi::renderSection(size_t s, const VoiceSpanInput& input, int n, bool inUse)
{
    SectionAhead& ahead = m_ahead[s];
    int done = 0;
    if (ahead.length > 0)
    {
        const int take = std::min(n, ahead.length - ahead.heard);
        if (!aheadHolds(ahead, input, take))
        {
            settleSection(s);
        }
        else
        {
            done = take;
            for (int k = 0; k < 4; ++k)
                std::copy_n(ahead.rows[k] + ahead.heard, done, m_acc[k]);
            ahead.heard += done;
            releaseEnded(s);
            if (ahead.heard == ahead.length)
            {
                ahead.length = 0;
                ahead.backOff = 0;
            }
            if (done == n)
                return;
        }
    }
    for (auto& row : m_acc)
        std::fill(row + done, row + n, 0.0f);

    // Rows for a short rest of the span whose input holds still beyond it: a
    // held mix and a vibrato of one value.
    const SpanRuns& vibrato = *input.vibratoRuns;
    const float lastVibrato = vibrato.value[vibrato.count - 1];
    int length = 0;
    if (ahead.directSpans > 0)
        --ahead.directSpans;
    else if (m_renderAhead && n - done <= kMaxSpan / 2 && input.movingSourceMix == nullptr &&
             vibrato.start[vibrato.count - 1] <= done)
        length = std::min(kMaxSpan, n - done + vibratoSteadyFor(s, inUse, kMaxSpan - (n - done)));
    VoiceSpanInput rest = input;
    SpanRuns runs;
    if (length <= n - done)
    {
        float* acc[4] = {m_acc[0] + done, m_acc[1] + done, m_acc[2] + done, m_acc[3] + done};
        if (done > 0)
        {
            runs.takeFrom(vibrato, done);
            rest.vibratoRuns = &runs;
        }
        renderList(m_active[s], acc, rest, n - done);
        renderList(m_released[s], acc, rest, n - done);
        return;
    }

    runs.reset(length, lastVibrato);
    rest.vibratoRuns = &runs;
    for (auto& row : ahead.rows)
        std::fill(row, row + length, 0.0f);
    ahead.firstEnd = SourceSpan::kNotDone;
    renderListAhead(m_active[s], ahead, rest, length);
    renderListAhead(m_released[s], ahead, rest, length);
    ahead.length = length;
    ahead.source = input.source;
    std::copy_n(input.sourceMix, 4, ahead.mix);
    ahead.vibrato = lastVibrato;
    for (int k = 0; k < 4; ++k)
        std::copy_n(ahead.rows[k], n - done, m_acc[k] + done);
    ahead.heard = n - done;
    releaseEnded(s);
}

int Multi::vibratoSteadyFor(size_t s, bool inUse, int limit) const
{
    // A section out of use keeps its last vibrato; one without depth has
    // none, whatever its LFO does.
    const SectionState& state = m_sectionStates[s];
    const SinglePreset* single = getSingle(s);
    if (!inUse || state.depth == 0.0f || single == nullptr)
        return limit;
    const MidiState& midi = m_engine.getMidiState(getChannel(s));
    return state.lfo.steadyFor(*single, m_engine.getProcessingSamplerate(), midi.modWheel, limit);
}

bool Multi::aheadHolds(const SectionAhead& ahead, const VoiceSpanInput& input, int take) const
{
    if (input.movingSourceMix != nullptr || input.vibratoRuns->start[1] < take ||
        input.vibratoRuns->value[0] != ahead.vibrato)
        return false;
    for (int k = 0; k < 4; ++k)
    {
        if (input.sourceMix[k] != ahead.mix[k])
            return false;
    }
    const SourceSpanInput& source = input.source;
    return source.pressure == ahead.source.pressure && source.bend == ahead.source.bend &&
           source.pressureToFreq == ahead.source.pressureToFreq && source.fineTune == ahead.source.fineTune;
}

template <size_t N>
void Multi::renderListAhead(VoiceList<N>& list, SectionAhead& ahead, const VoiceSpanInput& input, int n)
{
    float* rows[4] = {ahead.rows[0], ahead.rows[1], ahead.rows[2], ahead.rows[3]};
    for (size_t i = 0; i < list.size(); ++i)
    {
        const VoiceId id = list[i];
        Voice& voice = m_pool[id];
        voice.saveProgress(m_aheadStart[id]);
        const int count = voice.render(rows, input, n);
        int end = SourceSpan::kNotDone;
        // A voice without a slot ends in the first span it is heard in.
        if (voice.isFinished())
            end = voice.getSlotCount() == 0 ? 1 : count;
        m_aheadEnd[id] = end;
        ahead.firstEnd = std::min(ahead.firstEnd, end);
    }
}

void Multi::releaseEnded(size_t s)
{
    SectionAhead& ahead = m_ahead[s];
    if (ahead.heard < ahead.firstEnd)
        return;
    ahead.firstEnd = SourceSpan::kNotDone;
    const auto release = [&](auto& list) {
        for (size_t i = 0; i < list.size();)
        {
            const VoiceId id = list[i];
            if (m_aheadEnd[id] <= ahead.heard)
            {
                freeVoice(id);
                list.erase(i);
                continue;
            }
            ahead.firstEnd = std::min(ahead.firstEnd, m_aheadEnd[id]);
            ++i;
        }
    };
    release(m_active[s]);
    release(m_released[s]);
}

void Multi::settleSection(size_t s)
{
    SectionAhead& ahead = m_ahead[s];
    if (ahead.length == 0)
        return;
    const int heard = ahead.heard;
    ahead.length = 0;
    ahead.heard = 0;
    for (size_t i = 0; i < m_active[s].size(); ++i)
        m_pool[m_active[s][i]].restoreProgress(m_aheadStart[m_active[s][i]]);
    for (size_t i = 0; i < m_released[s].size(); ++i)
        m_pool[m_released[s][i]].restoreProgress(m_aheadStart[m_released[s][i]]);
    if (heard > 0)
    {
        alignas(32) float scratch[4][kMaxSpan];
        for (auto& row : scratch)
            std::fill(row, row + heard, 0.0f);
        float* rows[4] = {scratch[0], scratch[1], scratch[2], scratch[3]};
        VoiceSpanInput input;
        input.sourceMix = ahead.mix;
        input.source = ahead.source;
        SpanRuns runs;
        runs.reset(heard, ahead.vibrato);
        input.vibratoRuns = &runs;
        renderList(m_active[s], rows, input, heard);
        renderList(m_released[s], rows, input, heard);
    }
    // Rows were thrown away: input that changes often (a bend or a note at
    // every block) is followed span by span, for longer each time.
    ahead.backOff = ahead.backOff == 0 ? 2 : std::min(ahead.backOff * 2, 256);
    ahead.directSpans = ahead.backOff;
}

bool LevelGlide::glide(float to, double pull, float* values, int n)
{
    if (to != target)
    {
        target = to;
        moving = true;
    }
    if (!moving)
        return false;
    // A hair: far below what an 8-bit wave or a 24-bit output resolves.
    // Checked at every sample, so that the glide ends on the same sample
    // however the spans are cut.
    constexpr double kHair = 1.0e-7;
    for (int i = 0; i < n; ++i)
    {
        if (moving)
        {
            first += pull * (target - first);
            value += pull * (first - value);
            if (std::abs(target - first) <= kHair && std::abs(target - value) <= kHair)
            {
                value = first = target;
                moving = false;
            }
        }
        values[i] = static_cast<float>(value);
    }
    return true;
}
} // namespace k1lib
