#pragma once

// The 2.x extension records of the VST 2.4 interface in their Linux x86-64
// layout: events (MIDI and system-exclusive), transport time, MIDI program
// names, speaker arrangements, pin and parameter properties, editor key codes
// and the enumerations that go with them. Times are in samples unless noted.

#include "gui/vstkeycode.h"
#include "vst/sdk/aeffect.h"

// ---- Events ---------------------------------------------------------------

enum VstEventTypes : VstInt32
{
    kVstMidiType = 1,
    kVstAudioType = 2,                   // deprecated
    kVstVideoType = 3,                   // deprecated
    kVstParameterType = 4,               // deprecated
    kVstTriggerType = 5,                 // deprecated
    kVstSysExType = 6,
};

// Generic event header; every event starts with these four fields.
struct VstEvent
{
    VstInt32 type;                       // VstEventTypes
    VstInt32 byteSize;                   // size of the event record minus 8
    VstInt32 deltaFrames;                // offset into the current block
    VstInt32 flags;
    char data[16];
};

// A block of event pointers; the array really has numEvents entries.
struct VstEvents
{
    VstInt32 numEvents;
    VstIntPtr reserved;                  // 0
    VstEvent* events[2];
};

enum VstMidiEventFlags : VstInt32
{
    kVstMidiEventIsRealtime = 1 << 0,
};

struct VstMidiEvent
{
    VstInt32 type;                       // kVstMidiType
    VstInt32 byteSize;                   // sizeof(VstMidiEvent)
    VstInt32 deltaFrames;
    VstInt32 flags;                      // VstMidiEventFlags
    VstInt32 noteLength;                 // samples, 0 when unknown
    VstInt32 noteOffset;
    char midiData[4];                    // status, data1, data2, 0
    char detune;                         // cents, -64..63
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct VstMidiSysexEvent
{
    VstInt32 type;                       // kVstSysExType
    VstInt32 byteSize;                   // sizeof(VstMidiSysexEvent)
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 dumpBytes;                  // bytes at sysexDump, F0..F7 included
    VstIntPtr resvd1;
    char* sysexDump;
    VstIntPtr resvd2;
};

static_assert(sizeof(VstEvent) == 32);
static_assert(offsetof(VstEvents, events) == 16);
static_assert(sizeof(VstMidiEvent) == 32 && offsetof(VstMidiEvent, midiData) == 24);
static_assert(sizeof(VstMidiSysexEvent) == 48 && offsetof(VstMidiSysexEvent, sysexDump) == 32);

// ---- Transport ------------------------------------------------------------

enum VstTimeInfoFlags : VstInt32
{
    kVstTransportChanged = 1,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstAutomationWriting = 1 << 6,
    kVstAutomationReading = 1 << 7,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
    kVstSmpteValid = 1 << 14,
    kVstClockValid = 1 << 15,
};

struct VstTimeInfo
{
    double samplePos;                    // samples since the song start
    double sampleRate;                   // Hz
    double nanoSeconds;                  // system time
    double ppqPos;                       // quarter notes since the song start
    double tempo;                        // beats per minute
    double barStartPos;                  // quarter notes of the last bar start
    double cycleStartPos;
    double cycleEndPos;
    VstInt32 timeSigNumerator;
    VstInt32 timeSigDenominator;
    VstInt32 smpteOffset;
    VstInt32 smpteFrameRate;
    VstInt32 samplesToNextClock;
    VstInt32 flags;                      // VstTimeInfoFlags
};
static_assert(sizeof(VstTimeInfo) == 88);

enum VstProcessLevels : VstInt32
{
    kVstProcessLevelUnknown = 0,
    kVstProcessLevelUser,
    kVstProcessLevelRealtime,
    kVstProcessLevelPrefetch,
    kVstProcessLevelOffline,
};

enum VstAutomationStates : VstInt32
{
    kVstAutomationUnsupported = 0,
    kVstAutomationOff,
    kVstAutomationRead,
    kVstAutomationWrite,
    kVstAutomationReadWrite,
};

enum VstProcessPrecision : VstInt32
{
    kVstProcessPrecision32 = 0,
    kVstProcessPrecision64,
};

// ---- Plug-in properties ---------------------------------------------------

enum VstPlugCategory : VstInt32
{
    kPlugCategUnknown = 0,
    kPlugCategEffect,
    kPlugCategSynth,
    kPlugCategAnalysis,
    kPlugCategMastering,
    kPlugCategSpacializer,
    kPlugCategRoomFx,
    kPlugSurroundFx,
    kPlugCategRestoration,
    kPlugCategOfflineProcess,
    kPlugCategShell,
    kPlugCategGenerator,
};

enum VstPinPropertiesFlags : VstInt32
{
    kVstPinIsActive = 1,
    kVstPinIsStereo = 1 << 1,
    kVstPinUseSpeaker = 1 << 2,
};

struct VstPinProperties
{
    char label[kVstMaxLabelLen];
    VstInt32 flags;                      // VstPinPropertiesFlags
    VstInt32 arrangementType;
    char shortLabel[kVstMaxShortLabelLen];
    char future[48];
};
static_assert(sizeof(VstPinProperties) == 128);

struct VstParameterProperties
{
    float stepFloat;
    float smallStepFloat;
    float largeStepFloat;
    char label[kVstMaxLabelLen];
    VstInt32 flags;
    VstInt32 minInteger;
    VstInt32 maxInteger;
    VstInt32 stepInteger;
    VstInt32 largeStepInteger;
    char shortLabel[kVstMaxShortLabelLen];
    VstInt16 displayIndex;
    VstInt16 category;
    VstInt16 numParametersInCategory;
    VstInt16 reserved;
    char categoryLabel[kVstMaxCategLabelLen];
    char future[16];
};
static_assert(sizeof(VstParameterProperties) == 152);

// Passed with effBeginLoadBank / effBeginLoadProgram before a chunk arrives.
struct VstPatchChunkInfo
{
    VstInt32 version;                    // 1
    VstInt32 pluginUniqueID;
    VstInt32 pluginVersion;
    VstInt32 numElements;                // programs (bank) or parameters (program)
    char future[48];
};

struct VstVariableIo
{
    float** inputs;
    float** outputs;
    VstInt32 numSamplesInput;
    VstInt32 numSamplesOutput;
    VstInt32* numSamplesInputProcessed;
    VstInt32* numSamplesOutputProcessed;
};

// Offline processing and file selection records: only passed through.
struct VstAudioFile;
struct VstOfflineTask;
struct VstFileSelect;
enum VstOfflineOption : VstInt32
{
    kVstOfflineAudio = 0,
    kVstOfflinePeaks,
    kVstOfflineParameter,
    kVstOfflineMarker,
    kVstOfflineCursor,
    kVstOfflineSelection,
    kVstOfflineQueryFiles,
};

// ---- MIDI programs --------------------------------------------------------

enum VstMidiProgramNameFlags : VstInt32
{
    kMidiIsOmni = 1,
};

struct MidiProgramName
{
    VstInt32 thisProgramIndex;
    char name[kVstMaxNameLen];
    char midiProgram;                    // 0..127, -1 when none
    char midiBankMsb;                    // -1 when none
    char midiBankLsb;                    // -1 when none
    char reserved;
    VstInt32 parentCategoryIndex;        // -1 when none
    VstInt32 flags;                      // VstMidiProgramNameFlags
};
static_assert(sizeof(MidiProgramName) == 80);

struct MidiProgramCategory
{
    VstInt32 thisCategoryIndex;
    char name[kVstMaxNameLen];
    VstInt32 parentCategoryIndex;
    VstInt32 flags;
};

struct MidiKeyName
{
    VstInt32 thisProgramIndex;
    VstInt32 thisKeyNumber;
    char keyName[kVstMaxNameLen];
    VstInt32 reserved;
    VstInt32 flags;
};

// ---- Speakers -------------------------------------------------------------

struct VstSpeakerProperties
{
    float azimuth;                       // radians
    float elevation;                     // radians
    float radius;                        // metres
    float reserved;
    char name[kVstMaxNameLen];
    VstInt32 type;                       // VstSpeakerType
    char future[28];
};
static_assert(sizeof(VstSpeakerProperties) == 112);

// The array really has numChannels entries (at least 8 are declared).
struct VstSpeakerArrangement
{
    VstInt32 type;                       // VstSpeakerArrangementType
    VstInt32 numChannels;
    VstSpeakerProperties speakers[8];
};
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8);

enum VstSpeakerArrangementType : VstInt32
{
    kSpeakerArrUserDefined = -2,
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo = 1,
};

// ---- Editor ---------------------------------------------------------------

// Editor window rectangle in pixels.
struct ERect
{
    VstInt16 top;
    VstInt16 left;
    VstInt16 bottom;
    VstInt16 right;
};

// The key record of effEditKeyDown / effEditKeyUp is the widget toolkit's own:
// one type from the host's opcode to the focused view, with the virtual key
// and modifier numbers of VST 2.
using VstKeyCode = VSTGUI::VstKeyCode;
using enum VSTGUI::VirtualKeyCodes;
using enum VSTGUI::CKeyModifier;
