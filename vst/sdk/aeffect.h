#pragma once

// The core records of the VST 2.4 plug-in interface as Linux x86-64 hosts and
// plug-ins lay them out: the AEffect record a host holds for each plug-in
// instance, its function pointer types, the effect and host opcode numbers and
// the flag bits. Sizes are in bytes, audio in 32-bit float samples, rates in Hz.
// Layout is the platform's natural alignment (no packing); the static_asserts
// below pin the offsets that hosts read.

#include <cstddef>
#include <cstdint>
#include <cstring>

using VstInt16 = int16_t;
using VstInt32 = int32_t;
using VstInt64 = int64_t;
using VstIntPtr = intptr_t;

struct AEffect;

// Host callback: (effect, opcode, index, value, ptr, opt) -> answer.
using audioMasterCallback = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);
using AEffectDispatcherProc = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                            VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs,
                                    VstInt32 sampleFrames);
using AEffectProcessDoubleProc = void (*)(AEffect* effect, double** inputs, double** outputs,
                                          VstInt32 sampleFrames);
using AEffectSetParameterProc = void (*)(AEffect* effect, VstInt32 index, float parameter);
using AEffectGetParameterProc = float (*)(AEffect* effect, VstInt32 index);

// Four-character code, first character in the most significant byte.
constexpr VstInt32 vstFourCC(char a, char b, char c, char d)
{
    return static_cast<VstInt32>((static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
                                 (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
                                 (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) |
                                 static_cast<uint32_t>(static_cast<uint8_t>(d)));
}

constexpr VstInt32 kEffectMagic = vstFourCC('V', 's', 't', 'P');
constexpr VstInt32 kVstVersion = 2400;

struct AEffect
{
    VstInt32 magic;                                   // kEffectMagic
    AEffectDispatcherProc dispatcher;                 // host -> plug-in opcodes
    AEffectProcessProc process;                       // deprecated accumulating render
    AEffectSetParameterProc setParameter;             // normalized 0..1
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;                                   // VstAEffectFlags
    VstIntPtr resvd1;                                 // host's, 0
    VstIntPtr resvd2;                                 // host's, 0
    VstInt32 initialDelay;                            // latency in samples
    VstInt32 realQualities;                           // deprecated
    VstInt32 offQualities;                            // deprecated
    float ioRatio;                                    // deprecated
    void* object;                                     // the plug-in's own object
    void* user;
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

static_assert(offsetof(AEffect, dispatcher) == 8);
static_assert(offsetof(AEffect, numPrograms) == 40);
static_assert(offsetof(AEffect, flags) == 56);
static_assert(offsetof(AEffect, initialDelay) == 80);
static_assert(offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, uniqueID) == 112);
static_assert(offsetof(AEffect, processReplacing) == 120);
static_assert(sizeof(AEffect) == 192);

enum VstAEffectFlags : VstInt32
{
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,            // deprecated
    effFlagsHasVu = 1 << 2,              // deprecated
    effFlagsCanMono = 1 << 3,            // deprecated
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,        // deprecated
    effFlagsExtHasBuffer = 1 << 11,      // deprecated
    effFlagsCanDoubleReplacing = 1 << 12,
};

// Host -> plug-in requests through AEffect::dispatcher.
enum AEffectOpcodes : VstInt32
{
    effOpen = 0,
    effClose,
    effSetProgram,
    effGetProgram,
    effSetProgramName,
    effGetProgramName,
    effGetParamLabel,
    effGetParamDisplay,
    effGetParamName,
    effGetVu,                            // deprecated
    effSetSampleRate,
    effSetBlockSize,
    effMainsChanged,
    effEditGetRect,
    effEditOpen,
    effEditClose,
    effEditDraw,                         // deprecated
    effEditMouse,                        // deprecated
    effEditKey,                          // deprecated
    effEditIdle,
    effEditTop,                          // deprecated
    effEditSleep,                        // deprecated
    effIdentify,                         // deprecated
    effGetChunk,
    effSetChunk,
    // 2.x extensions
    effProcessEvents,
    effCanBeAutomated,
    effString2Parameter,
    effGetNumProgramCategories,          // deprecated
    effGetProgramNameIndexed,
    effCopyProgram,                      // deprecated
    effConnectInput,                     // deprecated
    effConnectOutput,                    // deprecated
    effGetInputProperties,
    effGetOutputProperties,
    effGetPlugCategory,
    effGetCurrentPosition,               // deprecated
    effGetDestinationBuffer,             // deprecated
    effOfflineNotify,
    effOfflinePrepare,
    effOfflineRun,
    effProcessVarIo,
    effSetSpeakerArrangement,
    effSetBlockSizeAndSampleRate,        // deprecated
    effSetBypass,
    effGetEffectName,
    effGetErrorText,                     // deprecated
    effGetVendorString,
    effGetProductString,
    effGetVendorVersion,
    effVendorSpecific,
    effCanDo,
    effGetTailSize,
    effIdle,                             // deprecated
    effGetIcon,                          // deprecated
    effSetViewPosition,                  // deprecated
    effGetParameterProperties,
    effKeysRequired,                     // deprecated
    effGetVstVersion,
    effEditKeyDown,
    effEditKeyUp,
    effSetEditKnobMode,
    effGetMidiProgramName,
    effGetCurrentMidiProgram,
    effGetMidiProgramCategory,
    effHasMidiProgramsChanged,
    effGetMidiKeyName,
    effBeginSetProgram,
    effEndSetProgram,
    effGetSpeakerArrangement,
    effShellGetNextPlugin,
    effStartProcess,
    effStopProcess,
    effSetTotalSampleToProcess,
    effSetPanLaw,
    effBeginLoadBank,
    effBeginLoadProgram,
    effSetProcessPrecision,
    effGetNumMidiInputChannels,
    effGetNumMidiOutputChannels,
};
static_assert(effGetChunk == 23 && effProcessEvents == 25 && effCanDo == 51);
static_assert(effGetVstVersion == 58 && effGetNumMidiOutputChannels == 79);

// Plug-in -> host requests through the audioMasterCallback.
enum AudioMasterOpcodes : VstInt32
{
    audioMasterAutomate = 0,
    audioMasterVersion,
    audioMasterCurrentId,
    audioMasterIdle,
    audioMasterPinConnected,             // deprecated
    audioMasterUnused5,
    audioMasterWantMidi,                 // deprecated, still how a plug-in asks for MIDI
    audioMasterGetTime,
    audioMasterProcessEvents,
    audioMasterSetTime,                  // deprecated
    audioMasterTempoAt,                  // deprecated
    audioMasterGetNumAutomatableParameters, // deprecated
    audioMasterGetParameterQuantization, // deprecated
    audioMasterIOChanged,
    audioMasterNeedIdle,                 // deprecated
    audioMasterSizeWindow,
    audioMasterGetSampleRate,
    audioMasterGetBlockSize,
    audioMasterGetInputLatency,
    audioMasterGetOutputLatency,
    audioMasterGetPreviousPlug,          // deprecated
    audioMasterGetNextPlug,              // deprecated
    audioMasterWillReplaceOrAccumulate,  // deprecated
    audioMasterGetCurrentProcessLevel,
    audioMasterGetAutomationState,
    audioMasterOfflineStart,
    audioMasterOfflineRead,
    audioMasterOfflineWrite,
    audioMasterOfflineGetCurrentPass,
    audioMasterOfflineGetCurrentMetaPass,
    audioMasterSetOutputSampleRate,      // deprecated
    audioMasterGetOutputSpeakerArrangement, // deprecated
    audioMasterGetVendorString,
    audioMasterGetProductString,
    audioMasterGetVendorVersion,
    audioMasterVendorSpecific,
    audioMasterSetIcon,                  // deprecated
    audioMasterCanDo,
    audioMasterGetLanguage,
    audioMasterOpenWindow,               // deprecated
    audioMasterCloseWindow,              // deprecated
    audioMasterGetDirectory,
    audioMasterUpdateDisplay,
    audioMasterBeginEdit,
    audioMasterEndEdit,
    audioMasterOpenFileSelector,
    audioMasterCloseFileSelector,
    audioMasterEditFile,                 // deprecated
    audioMasterGetChunkFile,             // deprecated
    audioMasterGetInputSpeakerArrangement, // deprecated
};
static_assert(audioMasterIOChanged == 13 && audioMasterCanDo == 37);
static_assert(audioMasterUpdateDisplay == 42 && audioMasterGetInputSpeakerArrangement == 49);

// Text limits: the host's buffer holds limit + 1 bytes.
enum VstStringConstants : VstInt32
{
    kVstMaxProgNameLen = 24,
    kVstMaxParamStrLen = 8,
    kVstMaxVendorStrLen = 64,
    kVstMaxProductStrLen = 64,
    kVstMaxEffectNameLen = 32,
    kVstMaxNameLen = 64,
    kVstMaxLabelLen = 64,
    kVstMaxShortLabelLen = 8,
    kVstMaxCategLabelLen = 24,
    kVstMaxFileNameLen = 100,
};

// Copies at most maxLen characters and always writes the terminator at
// dst[maxLen] (dst holds maxLen + 1 bytes). A null src copies an empty text.
inline char* vst_strncpy(char* dst, const char* src, size_t maxLen)
{
    if (src == nullptr)
        src = "";
    size_t n = 0;
    while (n < maxLen && src[n] != '\0')
    {
        dst[n] = src[n];
        ++n;
    }
    std::memset(dst + n, 0, maxLen + 1 - n);
    return dst;
}

// Appends src to dst so that dst keeps at most maxLen characters.
inline char* vst_strncat(char* dst, const char* src, size_t maxLen)
{
    size_t len = strnlen(dst, maxLen);
    vst_strncpy(dst + len, src, maxLen - len);
    return dst;
}
