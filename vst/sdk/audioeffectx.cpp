// AudioEffectX: the extension dispatcher and the defaults that need code.

#include "vst/sdk/audioeffectx.h"

#include <algorithm>
#include <cmath>

#include "vst/sdk/aeffeditor.h"

namespace
{
// The key modifier comes as a float. Out of int range the conversion is
// undefined: it is clamped first, and NaN counts as no modifier.
VstInt32 modifierOf(float opt)
{
    if (std::isnan(opt))
        return 0;
    constexpr float kLargest = 2147483520.0f; // the largest float below 2^31
    return static_cast<VstInt32>(std::clamp(opt, -kLargest, kLargest));
}
} // namespace

AudioEffectX::AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms,
                           VstInt32 numParams)
    : AudioEffect(audioMaster, numPrograms, numParams)
{
}

void AudioEffectX::resume()
{
    if ((cEffect.flags & effFlagsIsSynth) != 0 || canDo("receiveVstMidiEvent") == 1)
        __wantEventsDeprecated(1);
}

VstPlugCategory AudioEffectX::getPlugCategory()
{
    return (cEffect.flags & effFlagsIsSynth) != 0 ? kPlugCategSynth : kPlugCategUnknown;
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** input,
                                         VstSpeakerArrangement** output)
{
    if (input != nullptr)
        *input = nullptr;
    if (output != nullptr)
        *output = nullptr;
    return false;
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt)
{
    char* text = static_cast<char*>(ptr);
    auto keyCode = [&] {
        VstKeyCode key{};
        key.character = index;
        key.virt = static_cast<unsigned char>(value);
        key.modifier = static_cast<unsigned char>(modifierOf(opt));
        return key;
    };
    switch (opcode)
    {
    case effProcessEvents: return ptr != nullptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
    case effCanBeAutomated: return canParameterBeAutomated(index);
    case effString2Parameter: return string2parameter(index, text);
    case effGetProgramNameIndexed:
        return text != nullptr ? getProgramNameIndexed(static_cast<VstInt32>(value), index, text)
                               : 0;
    case effGetInputProperties:
        return getInputProperties(index, static_cast<VstPinProperties*>(ptr));
    case effGetOutputProperties:
        return getOutputProperties(index, static_cast<VstPinProperties*>(ptr));
    case effGetPlugCategory: return getPlugCategory();
    case effOfflineNotify:
        return offlineNotify(static_cast<VstAudioFile*>(ptr), static_cast<VstInt32>(value),
                             index != 0);
    case effOfflinePrepare:
        return offlinePrepare(static_cast<VstOfflineTask*>(ptr), static_cast<VstInt32>(value));
    case effOfflineRun:
        return offlineRun(static_cast<VstOfflineTask*>(ptr), static_cast<VstInt32>(value));
    case effProcessVarIo: return processVariableIo(static_cast<VstVariableIo*>(ptr));
    case effSetSpeakerArrangement:
        return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                     static_cast<VstSpeakerArrangement*>(ptr));
    case effSetBypass: return setBypass(value != 0);
    case effGetEffectName: return text != nullptr ? getEffectName(text) : 0;
    case effGetVendorString: return text != nullptr ? getVendorString(text) : 0;
    case effGetProductString: return text != nullptr ? getProductString(text) : 0;
    case effGetVendorVersion: return getVendorVersion();
    case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
    case effCanDo: return text != nullptr ? canDo(text) : 0;
    case effGetTailSize: return getGetTailSize();
    case effGetParameterProperties:
        return getParameterProperties(index, static_cast<VstParameterProperties*>(ptr));
    case effGetVstVersion: return getVstVersion();
    case effEditKeyDown:
        if (editor != nullptr)
        {
            VstKeyCode key = keyCode();
            return editor->onKeyDown(key);
        }
        return 0;
    case effEditKeyUp:
        if (editor != nullptr)
        {
            VstKeyCode key = keyCode();
            return editor->onKeyUp(key);
        }
        return 0;
    case effSetEditKnobMode:
        return editor != nullptr ? editor->setKnobMode(static_cast<VstInt32>(value)) : 0;
    case effGetMidiProgramName:
        return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory:
        return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged: return hasMidiProgramsChanged(index);
    case effGetMidiKeyName: return getMidiKeyName(index, static_cast<MidiKeyName*>(ptr));
    case effBeginSetProgram: return beginSetProgram();
    case effEndSetProgram: return endSetProgram();
    case effGetSpeakerArrangement:
        return getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                     static_cast<VstSpeakerArrangement**>(ptr));
    case effShellGetNextPlugin: return getNextShellPlugin(text);
    case effStartProcess: return startProcess();
    case effStopProcess: return stopProcess();
    case effSetTotalSampleToProcess: return setTotalSampleToProcess(static_cast<VstInt32>(value));
    case effSetPanLaw: return setPanLaw(static_cast<VstInt32>(value), opt);
    case effBeginLoadBank: return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram: return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision: return setProcessPrecision(static_cast<VstInt32>(value));
    case effGetNumMidiInputChannels: return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels: return getNumMidiOutputChannels();
    default: return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}
