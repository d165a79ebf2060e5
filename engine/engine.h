#pragma once

// k1lib::Engine: the synthesis engine. This header holds the factory preset
// space shared by every engine: the thirteen storages (K1 internal memory,
// eleven K1 ROM cards, the PHm module), how a preset index maps to a storage,
// and the K1 slot label a preset index shows ("IA-1", "eD-8", "P017").
// Preset indexes count singles (968) and multis (384) separately.
//
// The engine core: the working preset store, the wave set, the per-channel
// MIDI state, the multi that plays the voices and the parameter manager. It
// renders at a fixed processing rate of 49920 Hz, one engine sample at a
// time as far as events and parameter changes are concerned: parameter
// steps, parameter changes and MIDI events act at the sample they belong to.
// Output samples are linear floats; pitches in semitones.
//
// Threads: every member runs under the owner's engine lock; process() and all
// below it run on the audio thread and never allocate, lock or log in steady
// state. The engine never calls the host; it reports through its listener.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/engineListener.h"
#include "engine/midiState.h"
#include "engine/multi.h"
#include "engine/parameterManager.h"
#include "engine/randomSource.h"
#include "engine/resampler.h"
#include "engine/waveBlock.h"
#include "engine/waveforms.h"
#include "patch/instrumentTypes.h"
#include "patch/parameterEnum.h"
#include "patch/presets.h"
#include "patch/staticArray.h"
#include "patch/sysex.h"

namespace k1lib
{
struct StateChunk;

class Engine
{
public:
    // One storage of one preset list (a plain record the facade hands out).
    using StorageInfo = k1lib::StorageInfo;

    // Number of factory singles (968) and multis (384).
    static size_t singleCount();
    static size_t multiCount();

    // Storages of the singles (PlayMode::Single) or of the multis (otherwise),
    // in bank order. Valid once the factory data is filled (any engine, or any
    // query below that fills it).
    static const std::vector<StorageInfo>& getStorageInfos(PlayMode mode);
    // The storage holding the index, or null when none does.
    static const StorageInfo* getStorageInfoFromPresetIndex(size_t index, PlayMode mode);

    // K1 slot label: "%c%c-%d" (I/i or E/e, bank A-D, 1-8) in a K1 storage,
    // "P%03d" in the PHm storage, '?' first outside every storage.
    static std::string getPresetNumberAsName(size_t index, PlayMode mode);
    static std::string getSingleNumberAsName(size_t index);
    static std::string getMultiNumberAsName(size_t index);

    // First single index of the bank a multi belongs to: section singles 0-63
    // count from there. 0 for an index outside every storage.
    static size_t getSinglesOffsetForMulti(size_t multiIndex);

    // Name, single and multi of a factory preset. The index must be below the
    // count of its mode, and the factory data filled.
    static std::string getFactoryPresetName(size_t index, PlayMode mode);
    static const SinglePreset& getFactorySingle(size_t index);
    static const MultiPreset& getFactoryMulti(size_t index);

    // ---- Engine core -------------------------------------------------------

    // The system settings, stored in this order in the state chunk (a plain
    // record the facade hands out).
    using Config = EngineConfig;

    static constexpr float kProcessingRate = 49920.0f; // hertz
    static constexpr int kMaxOutputs = 8;
    static constexpr size_t kMidiChannelCount = 16;

    // The listener is not owned and must outlive the engine.
    Engine(IEngineListener* listener, PluginType type);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Host rates a host can mean; others are refused.
    static constexpr float kMinHostRate = 8000.0f;
    static constexpr float kMaxHostRate = 768000.0f;

    // A host rate outside 8 kHz-768 kHz (or NaN) is refused with a log line
    // and false; the rate in force stays. Any other new rate replaces the
    // resampler that converts to it, which opens its converters for the
    // prepared output count at once: the heavy set-up happens here, not in
    // a block.
    bool setSamplerate(float hostRate);
    // Sets up the resampler for numOutputs channels (1-8), for the next
    // blocks and any later rate, and applies the parameter values waiting
    // without a ramp. Not on the audio thread.
    void prepare(int numOutputs);
    // Host frames by which the output follows the events (the resampler's
    // converters); 0 without conversion.
    int getLatency() const { return m_resampler ? m_resampler->latencyFrames() : 0; }
    float getHostSamplerate() const { return m_hostSamplerate; }
    // The rate the voices run at: 49920 Hz.
    float getProcessingSamplerate() const { return kProcessingRate; }

    // One host block. outputs holds numOutputs channels of numFrames samples
    // (at most eight are written); events are in ascending sample order, at
    // host frames. Once a host rate is set the resampler converts to it (and
    // takes the events); until then the block is rendered at the processing
    // rate. A block with nothing to play or pending is zero-filled.
    void process(float** outputs, int numOutputs, int numFrames, std::vector<SMidiEvent>& events);
    // Renders numFrames samples at the processing rate. Every event is
    // dispatched: late ones at once, those at or past the end of the block at
    // its last sample.
    void processAudio(float** outputs, int numOutputs, int numFrames, const std::vector<SMidiEvent>& events);

    // Engine samples rendered since construction; while an event is being
    // dispatched, the engine sample it acts at.
    uint64_t getSampleTime() const { return m_sampleTime; }

    // Applies the smoothed real value of a parameter to the presets.
    void processParameterChange(EParam param, float realValue);
    // Interprets one MIDI event (midiInput.cpp).
    void processMidiEvent(const SMidiEvent& event);

    // False (and a log line) for a parameter of the other play mode.
    bool setParameter(EParam param, float normalized, bool ramp);
    float getParameter(EParam param) const { return m_parameters.getNormalized(param); }

    void setConfig(const Config& config);
    const Config& getConfig() const { return m_config; }
    void setPlayMode(PlayMode mode);
    PlayMode getPlayMode() const { return m_playMode; }
    PluginType getPluginType() const { return m_pluginType; }

    void applySingleToParameters(const SinglePreset& single);
    void applyMultiToParameters(const MultiPreset& multi);

    // ---- Working presets ---------------------------------------------------
    // Sounding voices (released ones included) point into both lists: they
    // are sized once, by the constructor, and must never reallocate or move.
    // Whatever replaces their content (a state restore) writes the presets
    // in place and keeps the lengths.

    size_t getSingleCount() const { return m_singles.size(); }
    size_t getMultiCount() const { return m_multis.size(); }
    size_t getCurrentSingleIndex() const { return m_currentSingle; }
    size_t getCurrentMultiIndex() const { return m_currentMulti; }
    const SinglePreset& getCurrentSingle() const { return m_singles[m_currentSingle]; }
    const MultiPreset& getCurrentMulti() const { return m_multis[m_currentMulti]; }
    // Null when the index is outside the store.
    const SinglePreset* getSinglePreset(size_t index) const
    {
        return index < m_singles.size() ? &m_singles[index] : nullptr;
    }
    const MultiPreset* getMultiPreset(size_t index) const
    {
        return index < m_multis.size() ? &m_multis[index] : nullptr;
    }

    // ---- Preset store (presetStore.cpp) ------------------------------------
    // Index arguments count the working list of their kind; an index outside
    // it is refused with false. Replacing a preset by an equal one succeeds
    // and reports nothing. Reports, for the current preset: parameter reload,
    // onActive...Modified, then on...Modified; a run reports on...sModified
    // once at its end; a selection reloads the parameters, then reports
    // onActive...Changed.

    bool setSingle(size_t index);
    bool setSingle(size_t index, const SinglePreset& preset);
    // False for an empty run, one past the end, or one that changes nothing.
    bool setSingles(size_t first, const std::vector<SinglePreset>& presets);
    // Ten characters, blank-padded; characters outside 20h-7Eh become blanks.
    // Stored as a dump reads it back: trailing blanks dropped, rest zero.
    void setCurrentSingleName(const std::string& name);
    bool isSingleModified(size_t index) const;
    bool restoreFactorySingle(size_t index);
    // Exchanges two sources (0-3) of the current single.
    bool swapSources(size_t a, size_t b);

    bool setMulti(size_t index);
    bool setMulti(size_t index, const MultiPreset& preset);
    bool setMultis(size_t first, const std::vector<MultiPreset>& presets);
    void setCurrentMultiName(const std::string& name);
    bool isMultiModified(size_t index) const;
    bool restoreFactoryMulti(size_t index);

    void clearAllVoices() { m_multi.clearAllVoices(); }
    // One log message describing the single's sources.
    void dumpSingle(const SinglePreset& single) const;
    // Host-speed parameter change with a ramp, reported to the listener.
    void modifyParameter(EParam param, float normalized);

    // Sending to a K1 through the listener's sendMidi (presetSend.cpp). Single
    // slots 0-127 are I 0-31, i 32-63, E 0-31, e 32-63; multi slots 0-63 are
    // I 0-31, E 0-31. The channel is 0 with omni on, else the receive channel.
    bool sendSingle(size_t index, uint8_t slot) const;
    bool sendMulti(size_t index, uint8_t slot) const;
    // One K1 parameter change for a single parameter; false when sysex send
    // is off or the parameter has no K1 number.
    bool sendParameterAsSysex(EParam param, float normalized) const;

    // ---- State chunk (stateWriter.cpp, stateReader.cpp, stateRestore.cpp) --
    // Appends the whole state (version 4) to out.
    bool saveState(std::vector<uint8_t>& out);
    // Restores a state of version 1-4. A chunk that is cut short or damaged
    // (a preset that does not decode, a stream out of shape) is refused with
    // a log line and false, and nothing changes. One that decodes completely
    // is applied and gives true, also when it holds values saveState does
    // not write (each repaired with a log line: settings and parameters out
    // of range, bytes after the end, padding in an old stream); slots it
    // holds no preset for get the factory preset.
    bool loadState(const std::vector<uint8_t>& in);

    // ---- Incoming K1 sysex (sysexPeer.cpp) ----------------------------------
    // Stores received dumps, answers requests and applies parameter changes,
    // each message of the buffer with its own numbers and channel.
    // On the audio thread this allocates nothing: the parse and the replies
    // use storage the engine reserves when it is built. A message longer than
    // any K1 message is refused with a log line.
    void processMidiSysex(const uint8_t* bytes, size_t size);
    void processMidiSysex(const std::vector<uint8_t>& bytes) { processMidiSysex(bytes.data(), bytes.size()); }

    // ---- What the voices read ---------------------------------------------

    const Waveforms& getWaveforms() const { return m_waveforms; }
    // The block of wave 0-255 that a source plays for key index 0-127.
    WaveBlock getWaveBlock(uint8_t wave, uint8_t keyIndex) const;
    const MidiState& getMidiState(size_t channel) const { return m_midiState[channel & 0x0F]; }
    int32_t getBendRange() const { return m_bendRange; }
    float getFineTune() const { return m_fineTune; }
    const float* getSourceMix() const { return m_sourceMix; }
    const Multi& getMulti() const { return m_multi; }
    // Voices render ahead of short spans (see Multi::render); tests turn it
    // off to compare with rendering span by span.
    void setRenderAhead(bool on) { m_multi.setRenderAhead(on); }
    const ParameterManager& getParameterManager() const { return m_parameters; }
    // This engine's own random numbers (random wave starts, seeds of the
    // section LFOs): drawing is part of rendering, not a change of state.
    RandomSource& getRandom() const { return m_random; }

private:
    // Selects unconditionally: what setSingle(index) and setMulti(index) do
    // for a new index. The index must be inside the list.
    void selectSingle(size_t index);
    void selectMulti(size_t index);
    bool restoreState(const StateChunk& state);
    void applyParameterChanges(const std::vector<Sysex::SysexResult::ParameterChange>& changes);
    void answerSysexMessage(const uint8_t* message, size_t length);
    void reserveSysexStorage();
    // The listener gets the bytes for the length of the call.
    void sendSysex(const std::vector<uint8_t>& message) const;
    uint8_t getSendChannel() const;

    void renderSpan(float* const* out, int channels, int start, int n);
    void applyParameterChanges();
    void traceSourceMix(int at, int n);
    bool parameterChangeMatters(EParam param, float realValue) const;
    void switchPlayMode(PlayMode mode);
    void loadMultiForPlayMode();
    // Whether every channel's keys and pedal count as the first channel's
    // (single mode with omni on) rather than each channel's as its own.
    bool foldsChannels() const { return m_playMode == PlayMode::Single && m_config.omni != 0; }
    // After the settings changed: when that changed foldsChannels(), the
    // keys and pedals held so far get their note-offs and pedal-up on
    // channels that do not count them, so their notes end now (see
    // Multi::endHeldNotes).
    void keysFollowSettings(bool foldedBefore);
    void dispatchMidi(const SMidiEvent& event);
    void controlChange(uint8_t channel, bool accepted, uint8_t controller, uint8_t value);
    void programChange(uint8_t channel, bool accepted, uint8_t program);
    void omniChanged(uint32_t omni, uint32_t receiveChannel);

    IEngineListener* m_listener;
    PluginType m_pluginType;
    std::vector<SinglePreset> m_singles;
    std::vector<MultiPreset> m_multis;
    const Waveforms& m_waveforms; // shared by every engine of the process, read-only
    size_t m_currentSingle = 0;
    size_t m_currentMulti = 0;
    StaticArray<MidiState, kMidiChannelCount> m_midiState;
    PlayMode m_playMode = PlayMode::Single;
    mutable RandomSource m_random; // before the multi, which seeds its LFOs from it
    Config m_config; // before the multi, which reads it when it maps channels
    Multi m_multi;
    int32_t m_bendRange = 12; // semitones
    float m_fineTune = 0.0f;  // semitones
    uint8_t m_rpnLsb = 0x7F;
    uint8_t m_rpnMsb = 0x7F;
    uint8_t m_bankLsb = 0xFF; // 0xFF: not received
    uint8_t m_bankMsb = 0xFF;
    float m_hostSamplerate = 0.0f;
    int m_preparedOutputs = 2;
    std::unique_ptr<Resampler> m_resampler; // null until a host rate is set
    uint64_t m_sampleTime = 0;
    ParameterManager m_parameters;
    float m_sourceMix[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float m_spanMix[4][Multi::kMaxSpan] = {}; // the source mix at each sample of the span being gathered
    // Received sysex, parsed message by message, and the reply being sent:
    // reserved for the largest K1 message, so that answering allocates
    // nothing.
    Sysex::SysexResult m_sysexIn;
    std::vector<uint8_t> m_reply;
};

// The factory lists, filled once by initFactoryData and read-only afterwards.
extern std::vector<SinglePreset> factorySingles;
extern std::vector<MultiPreset> factoryMultis;
extern std::vector<Engine::StorageInfo> factorySinglesStorageInfo;
extern std::vector<Engine::StorageInfo> factoryMultisStorageInfo;

// Parses the thirteen compiled-in banks into the factory lists, exactly once
// per process whichever thread calls first; later calls return at once.
void initFactoryData();
} // namespace k1lib
