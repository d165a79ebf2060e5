#pragma once

// One VST 2.4 plug-in loaded from its .so into the command-line host: the
// library handle, the AEffect record its entry point returned, typed wrappers
// around the host -> plug-in opcodes, and the host's answers to the plug-in's
// audioMaster requests (version 2400, automation, MIDI wanted, outgoing
// events, I/O changes, display updates, window size, transport). Rates in Hz,
// positions and sizes in samples, parameter values normalized 0..1.

#include "vst/sdk/aeffectx.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vsthost
{

struct MidiOut
{
    int64_t frame;                  // render position the event belongs to
    std::vector<uint8_t> bytes;     // one MIDI message, sysex from F0 to F7
};

struct Automation
{
    int64_t frame;
    int index;
    float value;
};

// What the plug-in has told the host so far.
struct HostLog
{
    bool wantsMidi = false;
    int ioChanges = 0;              // audioMasterIOChanged requests answered
    int displayUpdates = 0;
    int sizeWindowWidth = 0;        // last audioMasterSizeWindow, pixels
    int sizeWindowHeight = 0;
    std::vector<MidiOut> midiOut;
    std::vector<Automation> automation;
};

class HostedPlugin
{
public:
    // Opens the library, calls its VSTPluginMain (else main), checks the record
    // and sends effOpen, the rate and the block size. Null (one log line) on failure.
    static std::unique_ptr<HostedPlugin> load(const std::string& path, float sampleRate,
                                              int blockSize);
    // Suspends and closes the effect; the library itself stays loaded.
    ~HostedPlugin();
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    AEffect* effect() const { return effect_; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);

    std::string effectName();
    std::string vendorString();
    std::string productString();
    int numParams() const { return effect_->numParams; }
    int numPrograms() const { return effect_->numPrograms; }
    int numInputs() const { return effect_->numInputs; }
    int numOutputs() const { return effect_->numOutputs; }
    bool hasFlag(VstInt32 flag) const { return (effect_->flags & flag) != 0; }
    VstIntPtr canDo(const std::string& text);

    std::string parameterName(int index);
    std::string parameterDisplay(int index);
    std::string parameterLabel(int index);
    float parameter(int index);
    void setParameter(int index, float value);

    int program();
    void setProgram(int program);
    std::string currentProgramName();
    // effGetProgramNameIndexed; false when the plug-in does not answer it.
    bool programName(int index, std::string& name);

    // Program (preset) or bank chunk; false (one log line) when there is none.
    bool saveChunk(bool preset, std::vector<uint8_t>& bytes);
    // Announces the chunk (effBeginLoadBank / effBeginLoadProgram) and hands it over.
    bool loadChunk(bool preset, const std::vector<uint8_t>& bytes);

    // effMainsChanged and effStartProcess / effStopProcess.
    void resume();
    void suspend();
    // Delivers events (effProcessEvents) when there are any, then renders.
    void process(VstEvents* events, float** inputs, float** outputs, int frames);
    // Transport position for audioMasterGetTime and the frame of outgoing events.
    void setPosition(int64_t frame);

    float sampleRate() const { return sampleRate_; }
    int blockSize() const { return blockSize_; }
    // Whether audioMasterIOChanged is accepted (it is by default).
    void acceptIoChanges(bool accept) { acceptIo_ = accept; }
    // True once after each accepted I/O change: the caller re-reads the pin counts.
    bool takeIoChange();
    // Answers the plug-in's audioMasterSizeWindow (width, height) from now on:
    // true when the window took the size. Without one every size is taken.
    void onSizeWindow(std::function<bool(int, int)> handler);
    // A copy of what the plug-in reported so far; clearLog empties it.
    HostLog log();
    void clearLog();

private:
    HostedPlugin() = default;
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    void takeEvents(const VstEvents* events);
    std::string text(VstInt32 opcode, VstInt32 index);

    // Requests made inside the entry point come before the host knows the
    // record: they are answered for the plug-in being loaded on this thread.
    static thread_local HostedPlugin* loading_;

    void* library_ = nullptr;
    AEffect* effect_ = nullptr;
    std::string directory_;
    float sampleRate_ = 44100.0f;
    int blockSize_ = 512;
    bool resumed_ = false;
    std::atomic<bool> inProcess_{false};   // read by requests from any thread
    bool acceptIo_ = true;
    std::atomic<int64_t> position_{0};
    VstTimeInfo timeInfo_{};
    std::mutex mutex_;              // guards the three below: plug-ins may call from any thread
    HostLog log_;
    bool ioPending_ = false;
    std::function<bool(int, int)> sizeWindowHandler_;
};

} // namespace vsthost
