// The engine core: construction, the block loop, parameter application and
// play-mode switching.

#include "engine/engine.h"

#include <algorithm>
#include <cmath>

#include "patch/log.h"
#include "patch/parameter.h"
#include "patch/parameterConverter.h"

namespace k1lib
{
Engine::Engine(IEngineListener* listener, PluginType type)
    : m_listener(listener), m_pluginType(type), m_waveforms(Waveforms::shared()), m_multi(*this)
{
    initFactoryData();
    m_singles = factorySingles;
    m_multis = factoryMultis;
    // Without factory data the store still holds one preset of each kind, so
    // that the current indexes always name a preset.
    if (m_singles.empty())
    {
        K1_LOG("No factory singles, starting with an empty single");
        m_singles.resize(1);
    }
    if (m_multis.empty())
    {
        K1_LOG("No factory multis, starting with an empty multi");
        m_multis.resize(1);
    }
    m_singles.shrink_to_fit();
    m_multis.shrink_to_fit();
    reserveSysexStorage();
    m_multi.setMulti(m_multi.getSingleModeMulti());
    applySingleToParameters(getCurrentSingle());
    applyMultiToParameters(getCurrentMulti());
}

Engine::~Engine() = default;

bool Engine::setSamplerate(float hostRate)
{
    // Far outside these a block either takes seconds (1 Hz) or never ends
    // (1e15 Hz, 1e-30 Hz).
    if (!(hostRate >= kMinHostRate && hostRate <= kMaxHostRate))
    {
        K1_LOG("Refusing sample rate " << hostRate << " Hz, expected " << static_cast<int>(kMinHostRate) << "-"
                                       << static_cast<int>(kMaxHostRate) << " Hz");
        return false;
    }
    if (hostRate == m_hostSamplerate)
        return true;
    m_hostSamplerate = hostRate;
    // Also at 49920 Hz, where it hands blocks straight to processAudio.
    if (m_resampler)
        m_resampler->dispatchPendingEvents();
    m_resampler.reset();
    m_resampler = std::make_unique<Resampler>(*this, kProcessingRate, hostRate);
    m_resampler->prepare(m_preparedOutputs);
    return true;
}

void Engine::prepare(int numOutputs)
{
    m_preparedOutputs = std::clamp(numOutputs, 1, kMaxOutputs);
    if (m_resampler)
        m_resampler->prepare(m_preparedOutputs);
    // The parameters waiting without a ramp (all 209 after construction, a
    // restored state's) are applied here, as the first block would at its
    // first sample: that block then costs what any block costs. A ramp in
    // progress is left to the blocks, which keep its time.
    if (!m_parameters.isIdle() && m_parameters.settlesInOneStep())
    {
        m_parameters.process();
        for (uint32_t i = 0; i < m_parameters.getChangedCount(); ++i)
        {
            const uint32_t p = m_parameters.getChanged(i);
            processParameterChange(static_cast<EParam>(p), m_parameters.getCurrent(p));
        }
        m_parameters.process(); // empties the changed ring
    }
}

void Engine::process(float** outputs, int numOutputs, int numFrames, std::vector<SMidiEvent>& events)
{
    const int channels = std::clamp(numOutputs, 0, kMaxOutputs);
    // Idle only once the resampler has let out the last of the sound: what
    // its converters hold would otherwise come out at the next note.
    const bool drained = !m_resampler || (!m_resampler->hasPendingEvents() && m_resampler->isDrained());
    if (events.empty() && drained && m_parameters.isIdle() && m_multi.getActiveVoiceCount() == 0)
    {
        for (int c = 0; c < channels; ++c)
            std::fill(outputs[c], outputs[c] + std::max(numFrames, 0), 0.0f);
        // The sections' LFOs run on through the silence, as they do through
        // silence rendered with a note in the same block: a note after a
        // pause (a program change stops every voice) finds them where it
        // would however the host cuts its blocks.
        const int64_t samples = m_resampler ? m_resampler->skipSilence(numFrames) : std::max(numFrames, 0);
        m_multi.runSilence(samples);
        return;
    }
    if (m_resampler)
        m_resampler->process(outputs, channels, numFrames, events);
    else
        processAudio(outputs, channels, numFrames, events);
}

void Engine::processAudio(float** outputs, int numOutputs, int numFrames, const std::vector<SMidiEvent>& events)
{
    const int channels = std::clamp(numOutputs, 0, kMaxOutputs);
    const size_t eventCount = events.size();
    size_t next = 0;
    if (numFrames <= 0)
    {
        // No sample to place them at; they still act rather than get lost.
        for (; next < eventCount; ++next)
            processMidiEvent(events[next]);
        return;
    }

    float* out[kMaxOutputs] = {};
    for (int c = 0; c < channels; ++c)
        out[c] = outputs[c];
    const uint64_t startTime = m_sampleTime;

    // Samples are rendered in spans: a span is closed before any sample at
    // which an event acts or a parameter step changes what the voices play,
    // so every change still lands on its own sample. Between such samples the
    // parameter ramps advance in quiet runs that change no preset field; the
    // source mixes, which move at every step, are kept per sample instead.
    //
    // A step is taken alone (and its values applied) at the start of the
    // block, after a sample at which events acted or a value mattered (either
    // may have changed the presets under the ramps), and wherever a ramp
    // ends or crosses to another whole number.
    const int last = numFrames - 1;
    int spanStart = 0;
    bool stepAlone = true;
    for (int s = 0; s < numFrames;)
    {
        // In list order: an event whose sample has come or passed acts now;
        // on the last sample every remaining event acts.
        const bool eventDue = next < eventCount && (events[next].sampleOffset <= s || s == last);
        if (!stepAlone && !eventDue)
        {
            int until = numFrames; // the first sample at which an event is due
            if (next < eventCount)
                until = std::clamp(static_cast<int>(events[next].sampleOffset), s, last);
            const int room = std::min(until, spanStart + Multi::kMaxSpan) - s;
            const uint32_t quiet = m_parameters.getQuietSteps(static_cast<uint32_t>(std::max(room, 0)));
            if (quiet > 0)
            {
                const int n = static_cast<int>(quiet);
                traceSourceMix(s - spanStart, n);
                m_parameters.advance(quiet);
                // Quiet steps leave every preset field as it is: only the
                // mixes take the values of the run's last step.
                for (const EParam param : {Param_SourceMix12, Param_SourceMix34})
                {
                    if (m_parameters.isRamping(param))
                        processParameterChange(param, m_parameters.getCurrent(param));
                }
                s += n;
                if (s - spanStart == Multi::kMaxSpan)
                {
                    renderSpan(out, channels, spanStart, Multi::kMaxSpan);
                    spanStart = s;
                }
                continue;
            }
        }

        m_parameters.process();
        const uint32_t changed = m_parameters.getChangedCount();
        bool matters = false;
        for (uint32_t i = 0; i < changed && !matters; ++i)
        {
            const uint32_t p = m_parameters.getChanged(i);
            matters = parameterChangeMatters(static_cast<EParam>(p), m_parameters.getCurrent(p));
        }
        if ((matters || eventDue) && s > spanStart)
        {
            renderSpan(out, channels, spanStart, s - spanStart);
            spanStart = s;
        }
        applyParameterChanges();
        while (next < eventCount && (events[next].sampleOffset <= s || s == last))
        {
            m_sampleTime = startTime + static_cast<uint64_t>(s);
            processMidiEvent(events[next++]);
        }
        for (int k = 0; k < 4; ++k)
            m_spanMix[k][s - spanStart] = m_sourceMix[k];
        stepAlone = matters || eventDue;

        ++s;
        if (s - spanStart == Multi::kMaxSpan)
        {
            renderSpan(out, channels, spanStart, Multi::kMaxSpan);
            spanStart = s;
        }
    }
    if (spanStart < numFrames)
        renderSpan(out, channels, spanStart, numFrames - spanStart);
    m_sampleTime = startTime + static_cast<uint64_t>(numFrames);
}

void Engine::applyParameterChanges()
{
    const uint32_t changed = m_parameters.getChangedCount();
    for (uint32_t i = 0; i < changed; ++i)
    {
        const uint32_t p = m_parameters.getChanged(i);
        processParameterChange(static_cast<EParam>(p), m_parameters.getCurrent(p));
    }
}

// The source mixes of the next n samples of the span from `at` on, as the
// steps of a quiet run will leave them.
void Engine::traceSourceMix(int at, int n)
{
    for (int k = 0; k < 4; ++k)
        std::fill(m_spanMix[k] + at, m_spanMix[k] + at + n, m_sourceMix[k]);
    if (m_parameters.getRampCount() == 0)
        return;
    for (const EParam param : {Param_SourceMix12, Param_SourceMix34})
    {
        if (!m_parameters.isRamping(param))
            continue;
        float values[ParameterManager::kMaxQuietSteps];
        m_parameters.traceSteps(param, static_cast<uint32_t>(n), values);
        float* first = m_spanMix[param == Param_SourceMix12 ? 0 : 2] + at;
        float* second = first + Multi::kMaxSpan;
        for (int i = 0; i < n; ++i)
        {
            first[i] = std::min(1.0f - values[i], 1.0f);
            second[i] = std::min(1.0f + values[i], 1.0f);
        }
    }
}

void Engine::renderSpan(float* const* out, int channels, int start, int n)
{
    float* span[kMaxOutputs] = {};
    for (int c = 0; c < channels; ++c)
    {
        span[c] = out[c] + start;
        std::fill(span[c], span[c] + n, 0.0f);
    }
    // A mix that holds still over the span is read as one value per source.
    bool moving = false;
    for (int k = 0; k < 4 && !moving; ++k)
        for (int i = 1; i < n && !moving; ++i)
            moving = m_spanMix[k][i] != m_spanMix[k][0];
    m_multi.render(span, channels, n, moving ? m_spanMix : nullptr);
}

// Whether applying the value would change anything the voices or the mix
// read. Most steps of a ramp leave a single's whole-number field as it is:
// the field's value is compared with the one the step would write. The
// source mixes move at every step and are followed per sample instead.
bool Engine::parameterChangeMatters(EParam param, float realValue) const
{
    if (param == Param_Mode)
        return (static_cast<int>(realValue + 0.5f) != 0) != (m_playMode == PlayMode::Multi);
    if (param == Param_SourceMix12 || param == Param_SourceMix34)
        return false;
    if (isSingleParam(param))
    {
        if (m_playMode != PlayMode::Single)
            return false;
        const SinglePreset& single = m_singles[m_currentSingle];
        int stored = 0;
        if (!ParameterConverter::getValue(stored, param, single) || stored != static_cast<int>(std::round(realValue)))
            return true;
        return param == Param_PitchBendDepth && m_bendRange != static_cast<int32_t>(single.pitchBendDepth);
    }
    return isMultiParam(param) && m_playMode == PlayMode::Multi;
}

void Engine::processParameterChange(EParam param, float realValue)
{
    if (param == Param_Mode)
    {
        const auto mode = static_cast<int>(realValue + 0.5f) != 0 ? PlayMode::Multi : PlayMode::Single;
        if (mode != m_playMode)
            switchPlayMode(mode);
        return;
    }
    if (param == Param_SourceMix12 || param == Param_SourceMix34)
    {
        float* mix = m_sourceMix + (param == Param_SourceMix12 ? 0 : 2);
        mix[0] = std::min(1.0f - realValue, 1.0f);
        mix[1] = std::min(1.0f + realValue, 1.0f);
        return;
    }
    if (isSingleParam(param))
    {
        if (m_playMode != PlayMode::Single)
            return;
        SinglePreset& single = m_singles[m_currentSingle];
        m_multi.settleVoices();
        ParameterConverter::toSingle(single, param, static_cast<int>(std::round(realValue)));
        if (param == Param_PitchBendDepth)
            m_bendRange = static_cast<int32_t>(single.pitchBendDepth);
        return;
    }
    if (isMultiParam(param))
    {
        if (m_playMode != PlayMode::Multi)
            return;
        MultiPreset& multi = m_multis[m_currentMulti];
        ParameterConverter::toMulti(multi, param, static_cast<int>(std::round(realValue)));
        m_multi.updateMulti(multi, param);
    }
}

bool Engine::setParameter(EParam param, float normalized, bool ramp)
{
    if (param == Param_Mode)
    {
        // Hosts may send anything; outside 0..1 counts as the nearer end.
        const float n = std::isnan(normalized) ? 0.0f : std::clamp(normalized, 0.0f, 1.0f);
        const CParam& row = g_params[Param_Mode];
        const auto mode = static_cast<int>(row.range * n + row.min + 0.5f) != 0 ? PlayMode::Multi : PlayMode::Single;
        if (mode != m_playMode)
            switchPlayMode(mode);
        m_parameters.setVSTParam(Param_Mode, normalized, false);
        return true;
    }
    if (isSingleParam(param))
    {
        if (m_playMode != PlayMode::Single)
        {
            K1_LOG("Refusing to modify parameter " << CParam::getEnumString(param) << " in mode != Single");
            return false;
        }
        m_parameters.setVSTParam(param, normalized, ramp);
        return true;
    }
    if (isMultiParam(param))
    {
        if (m_playMode != PlayMode::Multi)
        {
            K1_LOG("Refusing to modify parameter " << CParam::getEnumString(param) << " in mode != Multi");
            return false;
        }
        m_parameters.setVSTParam(param, normalized, false);
        return true;
    }
    if (param == Param_SourceMix12 || param == Param_SourceMix34)
    {
        m_parameters.setVSTParam(param, normalized, ramp);
        return true;
    }
    K1_LOG("Invalid parameter " << static_cast<uint32_t>(param));
    return false;
}

void Engine::setConfig(const Config& config)
{
    if (config == m_config)
        return;
    const bool folded = foldsChannels();
    m_config = config;
    m_listener->onChange({ChangeKind::ConfigChanged});
    keysFollowSettings(folded);
    // The single-mode multi's channel follows omni and the receive channel.
    if (m_playMode == PlayMode::Single)
        m_multi.setMulti(m_multi.getSingleModeMulti());
}

void Engine::setPlayMode(PlayMode mode)
{
    if (mode != m_playMode)
        switchPlayMode(mode);
}

void Engine::switchPlayMode(PlayMode mode)
{
    m_multi.clearAllVoices();
    // With omni on, single mode counts every channel's keys and pedal as the
    // first channel's, multi mode each channel's as its own: keys held across
    // the switch would be struck again by a Solo single at a note-off of
    // another channel, and a pedal held would hold another channel's notes,
    // with nothing left to end either. Their voices are gone; the keys and
    // the pedal go with them.
    m_multi.forgetKeys();
    m_playMode = mode;
    m_parameters.setVSTParamReal(Param_Mode, mode == PlayMode::Multi ? 1.0f : 0.0f, false);
    m_listener->onChange({ChangeKind::PlayModeChanged});
    loadMultiForPlayMode();
}

void Engine::keysFollowSettings(bool foldedBefore)
{
    if (foldsChannels() != foldedBefore)
        m_multi.endHeldNotes();
}

void Engine::loadMultiForPlayMode()
{
    if (m_playMode == PlayMode::Multi)
        m_multi.setMulti(getCurrentMulti());
    else
        m_multi.setMulti(m_multi.getSingleModeMulti());
}

void Engine::applySingleToParameters(const SinglePreset& single)
{
    for (uint32_t p = 0; p <= Param_SourceS4FreqKeyScaleToFreq; ++p)
    {
        int value = 0;
        if (ParameterConverter::getValue(value, static_cast<EParam>(p), single))
            m_parameters.setVSTParamReal(p, static_cast<float>(value), false);
    }
}

void Engine::applyMultiToParameters(const MultiPreset& multi)
{
    for (uint32_t p = Param_MultiName01; p <= Param_MultiS8Level; ++p)
    {
        int value = 0;
        if (ParameterConverter::getValue(value, static_cast<EParam>(p), multi))
            m_parameters.setVSTParamReal(p, static_cast<float>(value), false);
    }
}
} // namespace k1lib
