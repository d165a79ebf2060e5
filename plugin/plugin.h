#pragma once

// k1lib::Plugin: the one door through which the host bridge and the editor
// reach the synthesis engine. It owns the engine and makes every access to it
// safe from the host's audio and UI threads behind one recursive engine lock,
// double-buffers incoming MIDI between the host's event delivery and the
// block render, keeps the 209 normalized parameter values (0..1) in a cache
// the host may poll without a lock, and passes every change inside the engine
// on to the host bridge (IPluginListener) and to the open editor (IEditor), in
// the one vocabulary of patch/changes.h, merged over a block or a call.
// Preset indexes count the engine's working singles and multis; the
// "preset" operations act on singles in single mode and on multis in multi
// mode. Byte chunks hold exactly one K1 block dump.
//
// Threads, as each operation says: "audio" is the host's audio thread,
// "any" means any thread. Operations marked "any" that touch the engine
// take the engine lock, so they may wait for a block being rendered.
// Listener calls never come with the engine lock held (the custom-data pair
// of a state chunk aside): what changed inside a block reaches the host
// bridge after the block, on the audio thread; all else at the end of the
// facade call that caused it, on the calling thread. The editor hears the
// same, merged the same way, just before the lock is released (so never
// after setEditor has let it go). Within one delivery each kind of change and
// each parameter comes once: a run of stored presets as one range, an index
// and a value as the latest. Nothing here throws.
//
// The header shows no engine type: what the facade hands out are the plain
// records of patch/ (presets, settings, storages, MIDI events), so that the
// editor, which includes this header, never depends on the engine.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "patch/changes.h"
#include "patch/instrumentTypes.h"
#include "patch/log.h"
#include "patch/parameterEnum.h"
#include "patch/presets.h"
#include "plugin/eventInbox.h"
#include "plugin/hostCallQueue.h"
#include "plugin/pluginEditor.h"
#include "plugin/pluginListener.h"

namespace k1lib
{
class Engine;

// One page of the preset browser, read in one look at the store: the play
// mode, its preset count and current preset (with its modification mark), and
// for each index asked for the preset's name and mark (an empty name and no
// mark for an index outside the store).
struct PresetPage
{
    struct Label
    {
        std::string name;
        bool modified = false;
    };
    PlayMode mode = PlayMode::Single;
    size_t count = 0;
    size_t current = 0;
    bool currentModified = false;
    std::vector<Label> labels;
};

class Plugin
{
public:
    // The listener is not owned, must not be null and must outlive the
    // facade; it is not called during construction or destruction.
    // Any thread, once.
    Plugin(IPluginListener* listener, PluginType type);
    // Any thread, once no other thread uses the facade any more.
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    // ---- Audio -------------------------------------------------------------

    // Audio thread. Renders one block of numFrames samples into numOutputs
    // channels with the events delivered since the last block, in order of
    // sample offset (events at or past the block's end act on its last frame).
    void process(float** outputs, size_t numOutputs, size_t numFrames);
    // Any thread (the host's event delivery); never waits for a block.
    void addMidiEvent(const SMidiEvent& event);
    // Any thread but the audio thread: the engine sets up its resampler for
    // the rate (false, with a log line, for a rate outside 8 kHz-768 kHz: the
    // rate in force stays) and for the outputs last prepared.
    bool setSampleRate(float rate);
    // Any thread but the audio thread: sets up for blocks on numOutputs
    // channels, so that no block has to.
    void prepare(size_t numOutputs);
    // Any thread: host frames by which the output follows the events.
    int getLatency() const;

    // ---- Settings (any thread) --------------------------------------------

    PlayMode getPlayMode() const;
    void setPlayMode(PlayMode mode);
    EngineConfig getConfig() const;
    void setConfig(const EngineConfig& config);
    PluginType getPluginType() const;

    // ---- Singles and multis (any thread) ----------------------------------

    size_t getCurrentSingleIndex() const;
    size_t getCurrentMultiIndex() const;
    size_t getSingleCount() const;
    size_t getMultiCount() const;
    SinglePreset getCurrentSingle() const;
    MultiPreset getCurrentMulti() const;
    // False with nothing copied for an index outside the store.
    bool getSingle(SinglePreset& out, size_t index) const;
    bool getMulti(MultiPreset& out, size_t index) const;
    // count singles from first in one look at the store (one lock, however
    // many); false with out untouched when the range leaves the store.
    bool getSingles(std::vector<SinglePreset>& out, size_t first, size_t count) const;
    bool setSingle(size_t index, const SinglePreset& preset);
    bool setMulti(size_t index, const MultiPreset& preset);
    bool setSingles(size_t first, const std::vector<SinglePreset>& presets);
    bool setMultis(size_t first, const std::vector<MultiPreset>& presets);
    void setCurrentSingleName(const std::string& name);
    void setCurrentMultiName(const std::string& name);
    bool isSingleModified(size_t index) const;
    bool isMultiModified(size_t index) const;
    bool restoreFactorySingle(size_t index);
    bool restoreFactoryMulti(size_t index);
    // Indexes of the presets whose name contains text in any letter case
    // (every preset for an empty text), ascending, at most maxResults of
    // them; true when any was found. One consistent look at the store.
    bool searchSingles(std::vector<size_t>& result, const std::string& text, size_t maxResults) const;
    bool searchMultis(std::vector<size_t>& result, const std::string& text, size_t maxResults) const;
    // Exchanges two sources (0-3) of the current single.
    bool swapSources(size_t a, size_t b);

    // ---- The factory preset space (any thread, lock-free) ------------------
    // Fixed for the life of the process: the thirteen storages and how preset
    // indexes map to them and to K1 slot labels.

    // The storages of the singles or of the multis, in bank order.
    const std::vector<StorageInfo>& getStorageInfos(PlayMode mode) const;
    // The storage holding the index, or null when none does.
    const StorageInfo* getStorageInfoFromPresetIndex(size_t index, PlayMode mode) const;
    // K1 slot label: "%c%c-%d" (I/i or E/e, bank A-D, 1-8) in a K1 storage,
    // "P%03d" in the PHm storage, '?' first outside every storage.
    std::string getPresetNumberAsName(size_t index, PlayMode mode) const;
    std::string getSingleNumberAsName(size_t index) const;
    // First single index of the bank a multi belongs to: section singles 0-63
    // count from there. 0 for an index outside every storage.
    size_t getSinglesOffsetForMulti(size_t multiIndex) const;
    // The factory name of a preset; empty for an index outside the list.
    std::string getFactoryPresetName(size_t index, PlayMode mode) const;

    // ---- Presets of the play mode (any thread) ----------------------------

    // Empty for an index outside the store.
    std::string getPresetName(size_t index) const;
    // The page of the presets at indexes[0 .. count): one hold of the lock
    // for the whole page.
    void getPresetPage(PresetPage& page, const size_t* indexes, size_t count) const;
    bool isPresetModified(size_t index) const;
    size_t getCurrentPresetIndex() const;
    size_t getPresetCount() const;
    bool restoreFactoryPreset(size_t index);
    // Selects the preset; false for an index outside the store.
    bool setCurrentPresetIndex(size_t index);
    // Sends the preset as a K1 dump to a K1 memory slot through sendMidi.
    bool sendPreset(size_t index, uint8_t target);

    // ---- Parameters --------------------------------------------------------

    // Any thread. A value equal to the cached one is an echo and ends here
    // (false). Otherwise the engine gets it (ramped); when it takes it the
    // cache and the editor follow and the result is true. A value the engine
    // refuses (a parameter of the other play mode) leaves cache and editor at
    // the engine's value and returns false.
    bool setParameter(EParam param, float value);
    // Any thread, lock-free: the cached normalized value; 0 past the last.
    float getParameter(EParam param) const;
    // Any thread, lock-free: category and short name run together, the unit
    // label, and the cached value as text. Empty past the last parameter.
    std::string getParameterName(EParam param) const;
    std::string getParameterLabel(EParam param) const;
    std::string getParameterDisplay(EParam param) const;
    // Any thread: sends the edit as a K1 parameter change through sendMidi.
    bool sendParameterChangeAsSysex(EParam param, float value) const;
    // Any thread: brings the cache in line with the engine, reporting every
    // changed value to the editor and as host automation.
    void updateParametersFromEngine();
    void updateParameterFromEngine(EParam param);

    // ---- Whole state (any thread) ------------------------------------------

    // Replaces out with the engine's state chunk.
    bool getState(std::vector<uint8_t>& out);
    // False for an empty chunk without touching the engine.
    bool setState(const std::vector<uint8_t>& in);

    // ---- Editor ------------------------------------------------------------

    // Any thread: attaches the editor, or detaches it with null. Once this
    // returns no callback uses the previous editor any more.
    void setEditor(IEditor* editor);
    // Any thread: hands the changes to the editor, when one is attached.
    void sendEditorChanges(const Changes& changes) const;

    // ---- For tests and measurements -----------------------------------------

    // Any thread: how often a facade call (or a block) has taken the engine
    // lock, counting each outermost hold once.
    uint64_t getLockCount() const { return m_lockCount.load(std::memory_order_relaxed); }

    // ---- Byte chunks: one K1 block dump each (any thread) -----------------

    // Reads replace bytes with the dump (channel 0, location I, number 0);
    // false with bytes untouched for an index outside the store.
    bool getSingle(std::vector<uint8_t>& bytes, size_t index) const;
    bool getMulti(std::vector<uint8_t>& bytes, size_t index) const;
    bool getCurrentSingle(std::vector<uint8_t>& bytes) const;
    bool getCurrentMulti(std::vector<uint8_t>& bytes) const;
    // Writes store the first preset of the kind found in bytes (any MIDI
    // channel); false when there is none.
    bool setSingle(const std::vector<uint8_t>& bytes, size_t index);
    bool setMulti(const std::vector<uint8_t>& bytes, size_t index);
    bool setCurrentSingle(const std::vector<uint8_t>& bytes);
    bool setCurrentMulti(const std::vector<uint8_t>& bytes);
    bool getPreset(std::vector<uint8_t>& bytes, size_t index) const;
    bool setPreset(const std::vector<uint8_t>& bytes, size_t index);
    // The host's program chunk: the current preset of the play mode.
    bool getCurrentPreset(std::vector<uint8_t>& bytes) const;
    bool setCurrentPreset(const std::vector<uint8_t>& bytes);

private:
    // The engine lock (recursive). The host calls a thread's engine calls
    // give rise to are recorded while it holds the lock and made once it has
    // let go of it: a host that answers by waiting for its audio thread,
    // which waits for this lock, cannot deadlock with us.
    class EngineMutex
    {
    public:
        explicit EngineMutex(const Plugin& owner) : m_owner(const_cast<Plugin&>(owner)) {}
        void lock();
        // On the outermost release, outside a block: tells the editor what
        // changed, then delivers what was recorded for the host.
        void unlock();

    private:
        std::recursive_mutex m_mutex;
        Plugin& m_owner;
        int m_depth = 0; // written only by the thread that holds m_mutex
    };
    class Lock
    {
    public:
        explicit Lock(EngineMutex& mutex) : m_mutex(mutex) { m_mutex.lock(); }
        ~Lock() { m_mutex.unlock(); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        EngineMutex& m_mutex;
    };
    // The engine's listener: hands each report to the callback of its name.
    class EngineReports;

    // Engine lock held: the queue host calls are recorded in now.
    HostCallQueue& recordingQueue() { return m_inBlock ? m_hostCalls : m_otherCalls; }
    // Called with the engine lock held by its last level: takes the recorded
    // calls, lets go of the lock and makes them.
    void deliverRecordedCalls(std::recursive_mutex& mutex);
    // Engine lock held: hands what changed to the editor and forgets it.
    void tellEditor();
    // Logs what the block's storage refused or dropped (audio thread).
    void reportOverflow();

    // Engine callbacks: always on the thread of an engine call, engine lock
    // held.
    void onChange(const Change& change);
    void sendMidi(const SMidiEvent& event);
    void serializeCustomData(std::vector<uint8_t>& data);
    void deserializeCustomData(const std::vector<uint8_t>& data);

    // Engine lock held.
    void resyncParameter(EParam param);
    void resyncAllParameters();
    // Records the change for the host bridge and the editor.
    void report(const Change& change);
    bool isMultiMode() const;
    bool copySingle(SinglePreset& out, size_t index) const;
    bool copyMulti(MultiPreset& out, size_t index) const;

    // Prints the lines logged on the audio thread while this instance lives.
    k1log::WriterHold m_logWriter;
    std::unique_ptr<EngineReports> m_reports;
    std::unique_ptr<Engine> m_engineInstance; // created once, with the facade
    Engine& m_engine;
    mutable EngineMutex m_engineLock{*this};
    EventInbox m_inbox;
    // The block's events in time order (the sort's scratch and keys).
    std::vector<SMidiEvent> m_sorted;
    std::vector<uint64_t> m_sortKeys;
    std::array<std::atomic<float>, kParamCount> m_cache;
    IPluginListener* m_listener;
    std::atomic<IEditor*> m_editor{nullptr};

    // Engine lock held for all below.
    // True while a block renders: host calls are then recorded for later.
    bool m_inBlock = false;
    HostCallQueue m_hostCalls;  // calls of the block being rendered
    HostCallQueue m_otherCalls; // calls of every other engine call
    // What changed for the editor since the lock was last let go (the
    // facade's own parameter writes too, which the host does not hear of).
    Changes m_editorChanges;
    // Outermost holds of the lock; written under it.
    std::atomic<uint64_t> m_lockCount{0};
    // Queues a thread takes the recorded calls into when it lets go of the
    // lock: they are made outside it. Taken lock-free; a thread that finds
    // all of them taken (deliveries nested in host callbacks) uses one of its
    // own.
    static constexpr size_t kDeliveryQueues = 2;
    std::array<HostCallQueue, kDeliveryQueues> m_deliveryQueues;
    std::array<std::atomic<bool>, kDeliveryQueues> m_deliveryBusy{};
    // Parameters the engine refused in the present play mode: further writes
    // are refused here, without asking (and logging) again.
    std::array<bool, kParamCount> m_refused{};
};
} // namespace k1lib
