#pragma once

// SineTest: a tiny eight-voice sine synthesizer built on AudioEffectX and
// loaded as a .so, so that tests reach the base classes through the real
// VST 2.4 ABI. Parameters: 0 volume (0..1 linear gain), 1 detune (-12..12
// semitones), 2 outputs (below 0.5: 2, else 4). Four programs, kept as chunks.
// MIDI out: every note-on comes back on channel 16 at the same offset; a
// received sysex F0 7D .. F7 is answered with F0 7D 52 <its length> F7; CC 7
// sets the volume as host automation. vendorSpecific answers what the editor
// saw last (see kQueryLastKey).

#include "vst/sdk/audioeffectx.h"

#include <array>
#include <vector>

namespace sinetest
{

constexpr VstInt32 kUniqueId = vstFourCC('Q', 'S', 'i', 'n');
constexpr int kNumParams = 3;
constexpr int kNumPrograms = 4;
constexpr int kNumVoices = 8;
// vendorSpecific(kQueryLastKey): character | virt << 8 | modifier << 16 of the
// last key the editor received, or -1.
constexpr VstInt32 kQueryLastKey = vstFourCC('k', 'e', 'y', 's');

struct Program
{
    char name[kVstMaxProgNameLen + 1];
    float params[kNumParams];
};

struct Voice
{
    int note = -1;                  // -1 when free
    double phase = 0.0;             // radians
    float gain = 0.0f;
    bool releasing = false;
};

class SineSynth : public AudioEffectX
{
public:
    explicit SineSynth(audioMasterCallback audioMaster);

    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;
    VstInt32 processEvents(VstEvents* events) override;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterName(VstInt32 index, char* text) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterLabel(VstInt32 index, char* text) override;

    void setProgram(VstInt32 program) override;
    void setProgramName(const char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return 7; }
    VstInt32 canDo(const char* text) override;
    VstIntPtr vendorSpecific(VstInt32 arg1, VstIntPtr arg2, void* ptr, float opt) override;
    VstInt32 getMidiProgramName(VstInt32 channel, MidiProgramName* name) override;
    VstInt32 getNumMidiInputChannels() override { return 16; }

    VstInt32 lastKey = -1;          // written by the editor

private:
    struct Pending
    {
        VstInt32 offset;
        unsigned char status, data1, data2;
        VstInt32 sysexLength;           // for status F0
    };
    void handle(const Pending& e);
    void renderSpan(float** outputs, VstInt32 from, VstInt32 to);
    void sendShort(VstInt32 offset, unsigned char status, unsigned char data1, unsigned char data2);
    void sendSysex(VstInt32 offset, std::vector<char> bytes);
    void applyOutputs();
    Program& current() { return programs_[static_cast<size_t>(curProgram)]; }

    std::array<Program, kNumPrograms> programs_{};
    std::array<Voice, kNumVoices> voices_{};
    std::vector<Pending> pending_;
    std::vector<char> chunk_;
};

} // namespace sinetest
