// MyVSTAudioEffect: construction, identity, parameters, programs and chunks.

#include "vst/myVstAudioEffect.h"

#include <strings.h>

#include <string>

#include "engine/engine.h"
#include "patch/log.h"
#include "vst/k1ui.h"

namespace
{
constexpr const char* kName = "Darvello";
constexpr const char* kVendor = "Quorwen";
constexpr VstInt32 kMaxMidiProgramNameLen = kVstMaxNameLen - 1;

constexpr const char* kCanDo[] = {
    "receiveVstMidiEvent", "receiveVstMidiEvents", "receiveVstEvents", "receiveVstTimeInfo",
    "2in2out",             "0in2out",              "0in8out",          "2in8out",
    "sendVstMidiEvent",    "sendVstMidiEvents",    "sendVstEvents",
};

bool isParameter(VstInt32 index)
{
    return index >= 0 && index < MyVSTAudioEffect::kNumParams;
}

// Param_Count ("no parameter") for an index outside the table: its texts are empty.
k1lib::EParam paramOf(VstInt32 index)
{
    return isParameter(index) ? static_cast<k1lib::EParam>(index) : k1lib::Param_Count;
}
} // namespace

MyVSTAudioEffect::MyVSTAudioEffect(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, static_cast<VstInt32>(k1lib::Engine::singleCount()), kNumParams),
      m_facade(this, k1lib::PluginType::Vst)
{
    K1_LOG("Initializing plugin");
    setNumInputs(0);
    setNumOutputs(2);
    setUniqueID(kUniqueId);
    canProcessReplacing(true);
    isSynth(true);
    programsAreChunks(true);
    followPlayMode();
    m_editorBridge = std::make_unique<k1ui>(this, m_facade);
    setEditor(m_editorBridge.get());
    setSampleRate(getSampleRate());
    K1_LOG("Initialization completed");
}

// The bridge detaches an open editor from the facade and deletes it; the
// base, which deletes its editor, finds none. Then the members go in reverse
// order: the facade before the chunk buffer.
MyVSTAudioEffect::~MyVSTAudioEffect()
{
    setEditor(nullptr);
    m_editorBridge.reset();
}

void MyVSTAudioEffect::setSampleRate(float rate)
{
    if (!m_facade.setSampleRate(rate))
        return;
    AudioEffectX::setSampleRate(rate);
    setInitialDelay(m_facade.getLatency());
}

void MyVSTAudioEffect::resume()
{
    AudioEffectX::resume();
    m_facade.prepare(static_cast<size_t>(m_renderOutputs.load(std::memory_order_acquire)));
    setInitialDelay(m_facade.getLatency());
}

void MyVSTAudioEffect::suspend()
{
    k1log::printQueued();
}

// ---- Parameters ------------------------------------------------------------

void MyVSTAudioEffect::setParameter(VstInt32 index, float value)
{
    // Hosts automate from their audio thread: what this logs must not wait.
    const k1log::AudioThreadScope audioThread;
    if (!isParameter(index))
    {
        K1_LOG("Ignoring parameter " << index);
        return;
    }
    // Hosts send whatever their automation lanes hold: values outside 0..1
    // are taken as the nearest end, NaN as 0.
    if (!(value >= 0.0f))
        value = 0.0f;
    else if (value > 1.0f)
        value = 1.0f;
    m_facade.setParameter(static_cast<k1lib::EParam>(index), value);
}

float MyVSTAudioEffect::getParameter(VstInt32 index)
{
    return isParameter(index) ? m_facade.getParameter(static_cast<k1lib::EParam>(index)) : 0.0f;
}

void MyVSTAudioEffect::getParameterName(VstInt32 index, char* text)
{
    vst_strncpy(text, m_facade.getParameterName(paramOf(index)).c_str(), kVstMaxParamStrLen);
}

void MyVSTAudioEffect::getParameterDisplay(VstInt32 index, char* text)
{
    vst_strncpy(text, m_facade.getParameterDisplay(paramOf(index)).c_str(), kVstMaxParamStrLen);
}

void MyVSTAudioEffect::getParameterLabel(VstInt32 index, char* text)
{
    vst_strncpy(text, m_facade.getParameterLabel(paramOf(index)).c_str(), kVstMaxParamStrLen);
}

// ---- Programs --------------------------------------------------------------

void MyVSTAudioEffect::setProgram(VstInt32 program)
{
    if (program < 0)
    {
        K1_LOG("Ignoring program " << program);
        return;
    }
    const VstInt32 previous = getProgram();
    // Recorded first: the selection reports the same index back. Undone when
    // the facade refuses, unless another program was published meanwhile.
    const bool recorded = replaceProgram(-1, program);
    if (!m_facade.setCurrentPresetIndex(static_cast<size_t>(program)) && recorded)
        replaceProgram(program, previous);
}

void MyVSTAudioEffect::setProgramName(const char*)
{
    // Preset names are edited in the instrument, not by the host.
}

void MyVSTAudioEffect::getProgramName(char* name)
{
    if (!getProgramNameIndexed(0, getProgram(), name))
        *name = '\0';
}

bool MyVSTAudioEffect::getProgramNameIndexed(VstInt32, VstInt32 index, char* text)
{
    if (index < 0 || static_cast<size_t>(index) >= m_facade.getPresetCount())
        return false;
    const std::string number =
        k1lib::Engine::getPresetNumberAsName(static_cast<size_t>(index), m_facade.getPlayMode());
    const std::string name = number + " " + m_facade.getPresetName(static_cast<size_t>(index));
    vst_strncpy(text, name.c_str(), kVstMaxProgNameLen);
    return true;
}

namespace
{
// Fills a MIDI program record for preset i of the play mode: bank select LSB
// and program change as the K1 numbers its banks (64 singles, 32 multis).
void fillMidiProgram(MidiProgramName& record, VstInt32 i, bool multi, const std::string& name)
{
    vst_strncpy(record.name, name.c_str(), kMaxMidiProgramNameLen);
    record.midiProgram = static_cast<char>(multi ? ((i & 31) | 64) : (i & 63));
    record.midiBankMsb = -1;
    record.midiBankLsb = static_cast<char>(multi ? i / 32 : i / 64);
    record.reserved = 0;
    record.parentCategoryIndex = -1;
    record.flags = kMidiIsOmni;
}
} // namespace

VstInt32 MyVSTAudioEffect::getMidiProgramName(VstInt32, MidiProgramName* record)
{
    const size_t count = m_facade.getPresetCount();
    if (record != nullptr && record->thisProgramIndex >= 0 &&
        static_cast<size_t>(record->thisProgramIndex) < count)
    {
        const VstInt32 i = record->thisProgramIndex;
        fillMidiProgram(*record, i, m_facade.getPlayMode() == k1lib::PlayMode::Multi,
                        m_facade.getPresetName(static_cast<size_t>(i)));
    }
    return static_cast<VstInt32>(count);
}

VstInt32 MyVSTAudioEffect::getCurrentMidiProgram(VstInt32 channel, MidiProgramName* record)
{
    const auto current = static_cast<VstInt32>(m_facade.getCurrentPresetIndex());
    if (record != nullptr)
    {
        record->thisProgramIndex = current;
        getMidiProgramName(channel, record);
    }
    return current;
}

bool MyVSTAudioEffect::hasMidiProgramsChanged(VstInt32)
{
    return false;
}

// ---- Chunks ----------------------------------------------------------------

VstInt32 MyVSTAudioEffect::getChunk(void** data, bool isPreset)
{
    m_chunk.clear();
    const bool done = isPreset ? m_facade.getCurrentPreset(m_chunk) : m_facade.getState(m_chunk);
    if (!done || m_chunk.empty())
        return 0;
    *data = m_chunk.data();
    return static_cast<VstInt32>(m_chunk.size());
}

VstInt32 MyVSTAudioEffect::setChunk(void* data, VstInt32 byteSize, bool isPreset)
{
    if (byteSize <= 0 || data == nullptr)
    {
        K1_LOG("Ignoring an empty chunk");
        return 0;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_chunk.assign(bytes, bytes + byteSize);
    if (isPreset)
        return m_facade.setCurrentPreset(m_chunk) ? byteSize : 0;
    const bool restored = m_facade.setState(m_chunk);
    // Whatever the engine holds now (a restored state brings its own play
    // mode, presets and outputs; a refused one leaves them) is what the host
    // is told.
    followPlayMode();
    reconfigureOutputs();
    updateDisplay();
    return restored ? byteSize : 0;
}

// ---- Identity and capabilities ---------------------------------------------

bool MyVSTAudioEffect::getEffectName(char* name)
{
    vst_strncpy(name, kName, kVstMaxEffectNameLen);
    return true;
}

bool MyVSTAudioEffect::getProductString(char* text)
{
    vst_strncpy(text, kName, kVstMaxProductStrLen);
    return true;
}

bool MyVSTAudioEffect::getVendorString(char* text)
{
    vst_strncpy(text, kVendor, kVstMaxVendorStrLen);
    return true;
}

VstInt32 MyVSTAudioEffect::canDo(const char* text)
{
    for (const char* item : kCanDo)
        if (strcasecmp(item, text) == 0)
            return 1;
    K1_LOG("canDo: " << text);
    return 0;
}
