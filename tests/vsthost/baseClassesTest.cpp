// AudioEffect / AudioEffectX in-process: the record, the dispatchers' opcode
// decoding, the host requests and the formatting helpers.

#include "vst/sdk/aeffeditor.h"
#include "vst/sdk/audioeffectx.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include <string>
#include <vector>

namespace
{
struct HostCall
{
    VstInt32 opcode, index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

std::vector<HostCall> g_calls;
VstIntPtr g_answer = 0;

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                        float opt)
{
    g_calls.push_back({opcode, index, value, ptr, opt});
    return g_answer;
}

// Records what the dispatchers hand to the virtual operations.
class Probe : public AudioEffectX
{
public:
    explicit Probe(audioMasterCallback host, bool* destroyed = nullptr)
        : AudioEffectX(host, 4, 3), destroyed_(destroyed)
    {
    }
    ~Probe() override
    {
        if (destroyed_ != nullptr)
            *destroyed_ = true;
    }
    void processReplacing(float**, float**, VstInt32) override {}
    void setParameter(VstInt32 index, float value) override
    {
        log += "set " + std::to_string(index) + "=" + std::to_string(value) + ";";
    }
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override
    {
        std::snprintf(text, 25, "c%di%d", category, index);
        return true;
    }
    VstInt32 getChunk(void** data, bool isPreset) override
    {
        *data = this;
        return isPreset ? 11 : 22;
    }
    VstInt32 canDo(const char* text) override { return std::string(text) == "yes" ? 1 : -1; }

    std::string log;

private:
    bool* destroyed_;
};

class KeyEditor : public AEffEditor
{
public:
    using AEffEditor::AEffEditor;
    bool onKeyDown(VstKeyCode& key) override
    {
        last = key;
        return true;
    }
    VstKeyCode last{};
};

class BaseClasses : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_calls.clear();
        g_answer = 0;
    }
    VstIntPtr dispatch(Probe& p, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f)
    {
        AEffect* e = p.getAeffect();
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }
};

TEST_F(BaseClasses, RecordStartsWithTheInterfaceDefaults)
{
    Probe p(recordingHost);
    const AEffect* e = p.getAeffect();
    EXPECT_EQ(e->magic, vstFourCC('V', 's', 't', 'P'));
    EXPECT_EQ(e->object, &p);
    EXPECT_EQ(e->numPrograms, 4);
    EXPECT_EQ(e->numParams, 3);
    EXPECT_EQ(e->numInputs, 1);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, effFlagsCanReplacing);
    EXPECT_EQ(e->uniqueID, vstFourCC('N', 'o', 'E', 'f'));
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
    EXPECT_EQ(p.getSampleRate(), 44100.0f);
    EXPECT_EQ(p.getBlockSize(), 1024);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(BaseClasses, FlagSettersSetAndClearTheirBit)
{
    Probe p(recordingHost);
    const AEffect* e = p.getAeffect();
    p.isSynth(true);
    p.programsAreChunks(true);
    p.canDoubleReplacing(true);
    EXPECT_EQ(e->flags, effFlagsCanReplacing | effFlagsIsSynth | effFlagsProgramChunks |
                            effFlagsCanDoubleReplacing);
    p.canProcessReplacing(false);
    p.isSynth(false);
    EXPECT_EQ(e->flags, effFlagsProgramChunks | effFlagsCanDoubleReplacing);
    auto* editor = new AEffEditor(&p);
    p.setEditor(editor);
    EXPECT_TRUE(e->flags & effFlagsHasEditor);
    p.setEditor(nullptr);
    EXPECT_FALSE(e->flags & effFlagsHasEditor);
    delete editor;
    p.setNumPrograms(9);
    EXPECT_EQ(e->numPrograms, 9);
    EXPECT_EQ(dispatch(p, effSetProgram, 0, 8), 0);
    EXPECT_EQ(p.getProgram(), 8); // the object's own count moved too
}

TEST_F(BaseClasses, CoreOpcodes)
{
    Probe p(recordingHost);
    dispatch(p, effSetProgram, 0, 3);
    EXPECT_EQ(dispatch(p, effGetProgram), 3);
    dispatch(p, effSetProgram, 0, 4);  // not below numPrograms
    dispatch(p, effSetProgram, 0, -1); // no program has a negative number
    EXPECT_EQ(p.getProgram(), 3);
    EXPECT_EQ(dispatch(p, effIdentify), vstFourCC('N', 'v', 'E', 'f'));
    dispatch(p, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    dispatch(p, effSetBlockSize, 0, 256);
    EXPECT_EQ(p.getSampleRate(), 48000.0f);
    EXPECT_EQ(p.getBlockSize(), 256);
    void* chunk = nullptr;
    EXPECT_EQ(dispatch(p, effGetChunk, 1, 0, &chunk), 11);
    EXPECT_EQ(dispatch(p, effGetChunk, 0, 0, &chunk), 22);
    EXPECT_EQ(chunk, &p);
    // Without an editor, or with no buffer, requests answer 0 and touch nothing.
    for (VstInt32 op : {effEditGetRect, effEditOpen, effEditKeyDown, effEditKeyUp, effSetEditKnobMode})
        EXPECT_EQ(dispatch(p, op, 0, 0, &chunk), 0) << op;
    for (VstInt32 op : {effGetParamName, effGetParamDisplay, effGetProgramName, effGetChunk,
                        effGetEffectName, effCanDo, effProcessEvents, effSetChunk})
        EXPECT_EQ(dispatch(p, op, 0, 8, nullptr), 0) << op;
    EXPECT_EQ(dispatch(p, effGetVu), 0);
    EXPECT_EQ(dispatch(p, 200), 0);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(BaseClasses, CloseDeletesTheObject)
{
    bool destroyed = false;
    auto* p = new Probe(recordingHost, &destroyed);
    AEffect* e = p->getAeffect();
    EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_TRUE(destroyed);
}

TEST_F(BaseClasses, ExtensionOpcodesReachTheirOperations)
{
    Probe p(recordingHost);
    char text[64] = {};
    EXPECT_EQ(dispatch(p, effGetProgramNameIndexed, 2, 5, text), 1);
    EXPECT_STREQ(text, "c5i2"); // category from value, program from index
    char yes[] = "yes", no[] = "no";
    EXPECT_EQ(dispatch(p, effCanDo, 0, 0, yes), 1);
    EXPECT_EQ(dispatch(p, effCanDo, 0, 0, no), -1);
    EXPECT_EQ(dispatch(p, effGetVstVersion), 2400);
    EXPECT_EQ(dispatch(p, effGetPlugCategory), kPlugCategUnknown);
    p.isSynth(true);
    EXPECT_EQ(dispatch(p, effGetPlugCategory), kPlugCategSynth);
    EXPECT_EQ(dispatch(p, effCanBeAutomated, 1), 1);
    EXPECT_EQ(dispatch(p, effSetTotalSampleToProcess, 0, 777), 777);
    EXPECT_EQ(dispatch(p, effGetCurrentMidiProgram), -1);
    EXPECT_EQ(dispatch(p, effBeginSetProgram), 0);
    VstSpeakerArrangement dummy{};
    VstSpeakerArrangement* in = &dummy;
    VstSpeakerArrangement* out = &dummy;
    EXPECT_EQ(dispatch(p, effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0);
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);

    auto* editor = new KeyEditor(&p);
    p.setEditor(editor); // owned by p from here
    EXPECT_EQ(dispatch(p, effEditKeyDown, 'q', VKEY_LEFT, nullptr, MODIFIER_SHIFT), 1);
    EXPECT_EQ(editor->last.character, 'q');
    EXPECT_EQ(editor->last.virt, VKEY_LEFT);
    EXPECT_EQ(editor->last.modifier, MODIFIER_SHIFT);
    int parent = 0;
    EXPECT_EQ(dispatch(p, effEditOpen, 0, 0, &parent), 0); // the base editor opens no window
    EXPECT_TRUE(editor->isOpen());
    dispatch(p, effEditClose);
    EXPECT_FALSE(editor->isOpen());
}

TEST_F(BaseClasses, ResumeAsksForMidiOnlyForSynths)
{
    Probe p(recordingHost);
    dispatch(p, effMainsChanged, 0, 1);
    EXPECT_TRUE(g_calls.empty());
    p.isSynth(true);
    dispatch(p, effMainsChanged, 0, 1);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].opcode, audioMasterWantMidi);
    EXPECT_EQ(g_calls[0].value, 1);
}

TEST_F(BaseClasses, HostRequestsCarryTheirArguments)
{
    Probe p(recordingHost);
    p.setParameterAutomated(2, 0.25f);
    EXPECT_EQ(p.log, "set 2=0.250000;");
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].opcode, audioMasterAutomate);
    EXPECT_EQ(g_calls[0].index, 2);
    EXPECT_EQ(g_calls[0].opt, 0.25f);

    g_calls.clear();
    g_answer = 1;
    EXPECT_TRUE(p.sizeWindow(640, 480));
    EXPECT_TRUE(p.canHostDo("sizeWindow"));
    VstEvents events{};
    EXPECT_TRUE(p.sendVstEventsToHost(&events));
    ASSERT_EQ(g_calls.size(), 3u);
    EXPECT_EQ(g_calls[0].opcode, audioMasterSizeWindow);
    EXPECT_EQ(g_calls[0].index, 640);
    EXPECT_EQ(g_calls[0].value, 480);
    EXPECT_EQ(g_calls[1].opcode, audioMasterCanDo);
    EXPECT_STREQ(static_cast<const char*>(g_calls[1].ptr), "sizeWindow");
    EXPECT_EQ(g_calls[2].ptr, &events);

    g_answer = 0;
    EXPECT_EQ(p.getMasterVersion(), 1); // a silent host still counts as version 1
    EXPECT_FALSE(p.ioChanged());
    EXPECT_FALSE(p.openFileSelector(nullptr));
    g_answer = 96000;
    EXPECT_EQ(p.updateSampleRate(), 96000.0);
    g_answer = -5;
    EXPECT_EQ(p.updateBlockSize(), 1024); // a negative answer keeps the size
    g_answer = 2;
    EXPECT_FALSE(p.sendVstEventsToHost(&events)); // only 1 means taken
}

TEST_F(BaseClasses, WithoutAHostEveryRequestAnswersZero)
{
    Probe p(nullptr);
    EXPECT_EQ(p.getMasterVersion(), 1);
    EXPECT_EQ(p.getCurrentUniqueId(), 0);
    EXPECT_FALSE(p.ioChanged());
    EXPECT_FALSE(p.updateDisplay());
    EXPECT_FALSE(p.sizeWindow(1, 1));
    EXPECT_EQ(p.canHostDo("sizeWindow"), 0);
    EXPECT_EQ(p.getTimeInfo(0), nullptr);
    EXPECT_EQ(p.updateSampleRate(), 44100.0);
    EXPECT_FALSE(p.__isInputConnectedDeprecated(0));
    p.setParameterAutomated(1, 0.5f); // still reaches the plug-in itself
    EXPECT_EQ(p.log, "set 1=0.500000;");
    p.isSynth(true);
    p.resume();
}

std::string formatted(void (AudioEffect::*f)(float, char*, VstInt32), float v, VstInt32 maxLen = 8)
{
    Probe p(nullptr);
    char text[32];
    std::memset(text, 'x', sizeof text);
    (p.*f)(v, text, maxLen);
    EXPECT_EQ(text[maxLen], '\0');
    return text;
}

TEST_F(BaseClasses, FloatTextsFitEightCharacters)
{
    EXPECT_EQ(formatted(&AudioEffect::float2string, 123456789.0f), "Huge!");
    EXPECT_EQ(formatted(&AudioEffect::float2string, -10000000.0f), "Huge!");
    EXPECT_EQ(formatted(&AudioEffect::float2string, 1.5f), "1.500000");
    EXPECT_EQ(formatted(&AudioEffect::float2string, -0.5f), "-0.50000");
    EXPECT_EQ(formatted(&AudioEffect::float2string, 0.0f), "0.000000");
    EXPECT_EQ(formatted(&AudioEffect::float2string, 12345.678f), "12345.68");
    EXPECT_EQ(formatted(&AudioEffect::float2string, 1234567.0f), "1234567.");
    EXPECT_EQ(formatted(&AudioEffect::float2string, 9.9999999f), "10.00000");
    EXPECT_EQ(formatted(&AudioEffect::float2string, 1.5f, 3), "1.5");
    EXPECT_EQ(formatted(&AudioEffect::dB2string, 0.0f), "-oo");
    EXPECT_EQ(formatted(&AudioEffect::dB2string, -1.0f), "-oo");
    EXPECT_EQ(formatted(&AudioEffect::dB2string, 1.0f), "0.000000");
    EXPECT_EQ(formatted(&AudioEffect::dB2string, 0.5f), "-6.02060");
    EXPECT_EQ(formatted(&AudioEffect::Hz2string, 0.0f), "0.000000");
    EXPECT_EQ(formatted(&AudioEffect::Hz2string, 100.0f), "441.0000");
    EXPECT_EQ(formatted(&AudioEffect::ms2string, 441.0f), "10.00000");
}

TEST_F(BaseClasses, IntegerTexts)
{
    Probe p(nullptr);
    char text[16];
    p.int2string(100000000, text, 8);
    EXPECT_STREQ(text, "Huge!");
    p.int2string(99999999, text, 8);
    EXPECT_STREQ(text, "99999999");
    p.int2string(-42, text, 8);
    EXPECT_STREQ(text, "-42");
    p.int2string(0, text, 8);
    EXPECT_STREQ(text, "0");
}

TEST_F(BaseClasses, TextCopiesStopAtTheLimit)
{
    char text[12];
    std::memset(text, 'x', sizeof text);
    vst_strncpy(text, "Detune Amount", 8);
    EXPECT_STREQ(text, "Detune A");
    vst_strncpy(text, nullptr, 8);
    EXPECT_STREQ(text, "");
    vst_strncpy(text, "ab", 8);
    vst_strncat(text, "cdefghij", 8);
    EXPECT_STREQ(text, "abcdefgh");
}

TEST_F(BaseClasses, SpeakerArrangementsAreCopiedWholly)
{
    Probe p(nullptr);
    VstSpeakerArrangement* from = nullptr;
    VstSpeakerArrangement* to = nullptr;
    ASSERT_TRUE(p.allocateArrangement(&from, 3));
    EXPECT_EQ(from->numChannels, 3);
    EXPECT_EQ(from->speakers[2].type, 0);
    from->type = kSpeakerArrUserDefined;
    std::memset(from->speakers[1].name, 'n', sizeof from->speakers[1].name); // no terminator
    from->speakers[1].azimuth = 1.25f;
    ASSERT_TRUE(p.matchArrangement(&to, from));
    EXPECT_EQ(to->type, kSpeakerArrUserDefined);
    EXPECT_EQ(to->numChannels, 3);
    EXPECT_EQ(to->speakers[1].azimuth, 1.25f);
    EXPECT_EQ(std::string(to->speakers[1].name), std::string(63, 'n'));
    EXPECT_FALSE(p.copySpeaker(nullptr, &from->speakers[0]));
    EXPECT_FALSE(p.matchArrangement(&to, nullptr));
    EXPECT_TRUE(p.deallocateArrangement(&from));
    EXPECT_TRUE(p.deallocateArrangement(&to));
    EXPECT_EQ(from, nullptr);
}

} // namespace
