#pragma once

// MyVSTAudioEffect: the instrument as a VST 2.4 host sees it. It answers the
// host's requests from the facade (k1lib::Plugin), which it owns, and turns
// the facade's reports into host automation, program-list and display
// updates, I/O changes and outgoing MIDI events.
//
// Identity: unique ID "Dvlo", 0 inputs, 2 outputs (8 while the configuration
// asks for eight), 209 parameters normalized 0..1, programs = the presets of
// the play mode (singles, or multis), kept as chunks. Rates in Hz, offsets
// and block sizes in samples.
//
// Threads: processEvents and processReplacing run on the host's audio thread,
// setParameter on either thread, every other request on the host's UI thread.
// Outgoing MIDI, from whichever thread, is queued and handed to the host from
// processReplacing, inside the block. The audio thread renders with the output
// count the host has taken, never with one it has only been asked to take.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "vst/outgoingMidi.h"
#include "plugin/plugin.h"
#include "vst/sdk/audioeffectx.h"

class k1ui;

class MyVSTAudioEffect : public AudioEffectX, public k1lib::IPluginListener
{
public:
    static constexpr VstInt32 kUniqueId = vstFourCC('D', 'v', 'l', 'o');
    static constexpr VstInt32 kNumParams = 209;
    static constexpr VstInt32 kVendorVersion = 126;

    explicit MyVSTAudioEffect(audioMasterCallback audioMaster);
    // The editor bridge (and an open editor) goes first, while the facade
    // it reaches still exists.
    ~MyVSTAudioEffect() override;

    // The facade, for the editor bridge.
    k1lib::Plugin& facade() { return m_facade; }
    // The editor bridge: the window and its saved rectangle.
    k1ui* editorBridge() const { return m_editorBridge.get(); }

    // ---- Audio
    // UI thread: the engine sets up its resampler here; a rate outside
    // 8 kHz-768 kHz is refused (logged) and the previous one stays.
    void setSampleRate(float rate) override;
    // UI thread: processing starts: the engine sets up for the outputs in
    // force, and the host learns the delay of the rate conversion.
    void resume() override;
    // UI thread: processing stops; what the audio thread logged is printed.
    void suspend() override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    VstInt32 processEvents(VstEvents* events) override;

    // ---- Parameters
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterName(VstInt32 index, char* text) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterLabel(VstInt32 index, char* text) override;

    // ---- Programs: the presets of the play mode
    void setProgram(VstInt32 program) override;
    // Any thread: always a program of the count the host reads with it.
    VstInt32 getProgram() override;
    void setProgramName(const char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 getMidiProgramName(VstInt32 channel, MidiProgramName* name) override;
    VstInt32 getCurrentMidiProgram(VstInt32 channel, MidiProgramName* name) override;
    bool hasMidiProgramsChanged(VstInt32 channel) override;
    bool beginSetProgram() override { return true; }
    bool endSetProgram() override { return true; }
    VstInt32 beginLoadBank(VstPatchChunkInfo*) override { return 1; }
    VstInt32 beginLoadProgram(VstPatchChunkInfo*) override { return 1; }

    // ---- Chunks: the whole state (bank) or one K1 dump of the current preset
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

    // ---- Identity and capabilities
    bool getEffectName(char* name) override;
    bool getProductString(char* text) override;
    bool getVendorString(char* text) override;
    VstInt32 getVendorVersion() override { return kVendorVersion; }
    VstPlugCategory getPlugCategory() override { return kPlugCategSynth; }
    VstInt32 canDo(const char* text) override;
    VstInt32 getNumMidiInputChannels() override { return 16; }
    VstInt32 getNumMidiOutputChannels() override { return 16; }

    // ---- k1lib::IPluginListener
    // Parameters become host automation; the play mode and a switched preset
    // move the program count and number; the configuration moves the output
    // count; and the host hears of anything that changes its program list
    // through one display update per delivery.
    void onChanges(const k1lib::Changes& changes) override;
    void sendMidi(const k1lib::SMidiEvent& event) override;
    void serializeCustomData(std::vector<uint8_t>& data) override;
    void deserializeCustomData(const std::vector<uint8_t>& data) override;

private:
    // Records index as the host's program when it names a preset of the
    // play mode in force; true when the host's program moved.
    bool recordActivePreset(size_t index, k1lib::PlayMode mode);
    // Program count and number follow the play mode in force.
    void followPlayMode();
    // The program number becomes program when it is within the published
    // count (and, with expected >= 0, when it is expected now).
    bool replaceProgram(VstInt32 expected, VstInt32 program);
    // The base's program fields follow the published pair.
    void mirrorPrograms();
    // Brings the output count in line with the configuration (2 or 8).
    void reconfigureOutputs();
    // Audio thread: hands the queued outgoing MIDI to the host.
    void deliverMidi(VstInt32 sampleFrames);

    std::vector<uint8_t> m_chunk;   // valid until the next chunk call
    // Also registered as the base's editor, which must not delete it.
    std::unique_ptr<k1ui> m_editorBridge;
    k1lib::Plugin m_facade;
    // Outputs processReplacing writes: the count the host last accepted.
    std::atomic<VstInt32> m_renderOutputs{2};
    k1effect::OutgoingMidi m_outgoing;
    // The host's program count (high half) and program number (low half).
    std::atomic<uint64_t> m_programs{0};
};
