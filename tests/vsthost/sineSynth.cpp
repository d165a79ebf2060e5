// SineTest's behaviour: voices, parameters, programs, chunks, MIDI in and out.

#include "tests/vsthost/sineSynth.h"

#include "vst/sdk/aeffeditor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sinetest
{
namespace
{
constexpr char kBankMagic[4] = {'Q', 'S', 'b', 'k'};
constexpr char kPresetMagic[4] = {'Q', 'S', 'p', 'r'};
constexpr int kOutputsParam = 2;

class SineEditor : public AEffEditor
{
public:
    explicit SineEditor(SineSynth* synth) : AEffEditor(synth), synth_(synth) {}
    bool getRect(ERect** rect) override
    {
        *rect = &rect_;
        return true;
    }
    bool open(void* parent) override
    {
        AEffEditor::open(parent);
        if (synth_->canHostDo("sizeWindow"))
            synth_->sizeWindow(rect_.right, rect_.bottom);
        return true;
    }
    bool onKeyDown(VstKeyCode& key) override
    {
        synth_->lastKey = key.character | key.virt << 8 | key.modifier << 16;
        return key.virt == VKEY_LEFT;
    }
    bool setKnobMode(VstInt32 mode) override { return mode == 2; }

private:
    SineSynth* synth_;
    ERect rect_{0, 0, 200, 300};
};
} // namespace

SineSynth::SineSynth(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams)
{
    const char* names[kNumPrograms] = {"Soft Sine", "Loud Sine",
                                       "Low Detuned Sine With A Long Name", "Quiet"};
    const float values[kNumPrograms][kNumParams] = {
        {0.3f, 0.5f, 0.0f}, {0.9f, 0.5f, 0.0f}, {0.5f, 0.25f, 0.0f}, {0.05f, 0.5f, 0.0f}};
    for (int p = 0; p < kNumPrograms; ++p)
    {
        vst_strncpy(programs_[p].name, names[p], kVstMaxProgNameLen);
        std::copy(values[p], values[p] + kNumParams, programs_[p].params);
    }
    setNumInputs(0);
    setNumOutputs(2);
    setUniqueID(kUniqueId);
    canProcessReplacing(true);
    isSynth(true);
    programsAreChunks(true);
    setEditor(new SineEditor(this));
}

void SineSynth::applyOutputs()
{
    VstInt32 wanted = current().params[kOutputsParam] >= 0.5f ? 4 : 2;
    VstInt32 before = cEffect.numOutputs;
    if (wanted == before)
        return;
    setNumOutputs(wanted);
    if (!ioChanged())
    {
        setNumOutputs(before);
        current().params[kOutputsParam] = before == 4 ? 1.0f : 0.0f;
    }
}

void SineSynth::setParameter(VstInt32 index, float value)
{
    if (index < 0 || index >= kNumParams)
        return;
    current().params[index] = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
    if (index == kOutputsParam)
        applyOutputs();
}

float SineSynth::getParameter(VstInt32 index)
{
    return index >= 0 && index < kNumParams ? current().params[index] : 0.0f;
}

void SineSynth::getParameterName(VstInt32 index, char* text)
{
    const char* names[kNumParams] = {"Volume", "Detune Amount", "Outputs"};
    vst_strncpy(text, index >= 0 && index < kNumParams ? names[index] : "", kVstMaxParamStrLen);
}

void SineSynth::getParameterDisplay(VstInt32 index, char* text)
{
    float v = getParameter(index);
    switch (index)
    {
    case 0: dB2string(v, text, kVstMaxParamStrLen); break;
    case 1: float2string(v * 24.0f - 12.0f, text, kVstMaxParamStrLen); break;
    case 2: int2string(v >= 0.5f ? 4 : 2, text, kVstMaxParamStrLen); break;
    default: *text = '\0';
    }
}

void SineSynth::getParameterLabel(VstInt32 index, char* text)
{
    const char* labels[kNumParams] = {"dB", "semitones", "outs"};
    vst_strncpy(text, index >= 0 && index < kNumParams ? labels[index] : "", kVstMaxParamStrLen);
}

void SineSynth::setProgram(VstInt32 program)
{
    curProgram = program;
    applyOutputs();
    updateDisplay();
}

void SineSynth::setProgramName(const char* name)
{
    vst_strncpy(current().name, name, kVstMaxProgNameLen);
}

void SineSynth::getProgramName(char* name)
{
    vst_strncpy(name, current().name, kVstMaxProgNameLen);
}

bool SineSynth::getProgramNameIndexed(VstInt32, VstInt32 index, char* text)
{
    if (index < 0 || index >= kNumPrograms)
        return false;
    vst_strncpy(text, programs_[index].name, kVstMaxProgNameLen);
    return true;
}

VstInt32 SineSynth::getChunk(void** data, bool isPreset)
{
    chunk_.assign(isPreset ? kPresetMagic : kBankMagic, (isPreset ? kPresetMagic : kBankMagic) + 4);
    const Program* first = isPreset ? &current() : programs_.data();
    size_t count = isPreset ? 1 : programs_.size();
    const char* bytes = reinterpret_cast<const char*>(first);
    chunk_.insert(chunk_.end(), bytes, bytes + count * sizeof(Program));
    *data = chunk_.data();
    return static_cast<VstInt32>(chunk_.size());
}

VstInt32 SineSynth::setChunk(void* data, VstInt32 byteSize, bool isPreset)
{
    size_t count = isPreset ? 1 : programs_.size();
    const char* magic = isPreset ? kPresetMagic : kBankMagic;
    if (byteSize != static_cast<VstInt32>(4 + count * sizeof(Program)) ||
        std::memcmp(data, magic, 4) != 0)
        return 0;
    Program* first = isPreset ? &current() : programs_.data();
    std::memcpy(first, static_cast<const char*>(data) + 4, count * sizeof(Program));
    for (size_t p = 0; p < count; ++p)
        first[p].name[kVstMaxProgNameLen] = '\0';
    applyOutputs();
    return byteSize;
}

bool SineSynth::getEffectName(char* name)
{
    vst_strncpy(name, "SineTest Synthesizer For Tests Only", kVstMaxEffectNameLen);
    return true;
}

bool SineSynth::getVendorString(char* text)
{
    vst_strncpy(text, "Quorwen", kVstMaxVendorStrLen);
    return true;
}

bool SineSynth::getProductString(char* text)
{
    vst_strncpy(text, "SineTest", kVstMaxProductStrLen);
    return true;
}

VstInt32 SineSynth::canDo(const char* text)
{
    for (const char* c : {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents", "sendVstMidiEvent"})
        if (std::strcmp(c, text) == 0)
            return 1;
    return 0;
}

VstIntPtr SineSynth::vendorSpecific(VstInt32 arg1, VstIntPtr, void*, float)
{
    return arg1 == kQueryLastKey ? lastKey : 0;
}

VstInt32 SineSynth::getMidiProgramName(VstInt32, MidiProgramName* name)
{
    if (name != nullptr && name->thisProgramIndex >= 0 && name->thisProgramIndex < kNumPrograms)
    {
        vst_strncpy(name->name, programs_[name->thisProgramIndex].name, kVstMaxNameLen - 1);
        name->midiProgram = static_cast<char>(name->thisProgramIndex);
        name->midiBankMsb = -1;
        name->midiBankLsb = -1;
        name->parentCategoryIndex = -1;
        name->flags = kMidiIsOmni;
    }
    return kNumPrograms;
}

} // namespace sinetest

AudioEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    return new sinetest::SineSynth(audioMaster);
}
