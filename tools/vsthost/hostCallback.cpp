// The host's side of the audioMaster callback: what the command-line host
// answers to each plug-in request.

#include "tools/vsthost/hostedPlugin.h"

#include "patch/log.h"

#include <algorithm>
#include <cstring>

namespace vsthost
{
namespace
{
constexpr const char* kHostCanDo[] = {
    "sendVstEvents",     "sendVstMidiEvent", "sendVstTimeInfo", "receiveVstEvents",
    "receiveVstMidiEvent", "sizeWindow",     "startStopProcess",
};

// Bytes a short MIDI message has, from its status byte.
size_t shortMessageLength(uint8_t status)
{
    if (status < 0x80)
        return 0;
    if (status < 0xf0)
        return (status & 0xe0) == 0xc0 ? 2 : 3;
    if (status == 0xf1 || status == 0xf3)
        return 2;
    if (status == 0xf2)
        return 3;
    return 1;
}
} // namespace

VstIntPtr HostedPlugin::callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                 VstIntPtr value, void* ptr, float opt)
{
    if (opcode == audioMasterVersion)
        return kVstVersion;
    HostedPlugin* host = effect != nullptr && effect->resvd1 != 0
                             ? reinterpret_cast<HostedPlugin*>(effect->resvd1)
                             : loading_;
    return host != nullptr ? host->answer(opcode, index, value, ptr, opt) : 0;
}

VstIntPtr HostedPlugin::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt)
{
    switch (opcode)
    {
    case audioMasterAutomate:
    {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.automation.push_back({position_, index, opt});
        return 0;
    }
    case audioMasterWantMidi:
    {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.wantsMidi = true;
        return 1;
    }
    case audioMasterGetTime: return reinterpret_cast<VstIntPtr>(&timeInfo_);
    case audioMasterProcessEvents:
        takeEvents(static_cast<const VstEvents*>(ptr));
        return 1;
    case audioMasterIOChanged:
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!acceptIo_)
            return 0;
        ++log_.ioChanges;
        ioPending_ = true;
        return 1;
    }
    case audioMasterSizeWindow:
    {
        std::function<bool(int, int)> handler;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            log_.sizeWindowWidth = index;
            log_.sizeWindowHeight = static_cast<int>(value);
            handler = sizeWindowHandler_;
        }
        return handler ? handler(index, static_cast<int>(value)) : 1;
    }
    case audioMasterGetSampleRate: return static_cast<VstIntPtr>(sampleRate_);
    case audioMasterGetBlockSize: return blockSize_;
    case audioMasterGetCurrentProcessLevel:
        return inProcess_ ? kVstProcessLevelRealtime : kVstProcessLevelUser;
    case audioMasterGetAutomationState: return kVstAutomationOff;
    case audioMasterGetVendorString:
        if (ptr != nullptr)
            vst_strncpy(static_cast<char*>(ptr), "Quorwen", kVstMaxVendorStrLen);
        return ptr != nullptr;
    case audioMasterGetProductString:
        if (ptr != nullptr)
            vst_strncpy(static_cast<char*>(ptr), "vsthost", kVstMaxProductStrLen);
        return ptr != nullptr;
    case audioMasterGetVendorVersion: return 1;
    case audioMasterCanDo:
    {
        const char* query = static_cast<const char*>(ptr);
        if (query == nullptr)
            return 0;
        return std::any_of(std::begin(kHostCanDo), std::end(kHostCanDo),
                           [&](const char* c) { return std::strcmp(c, query) == 0; });
    }
    case audioMasterGetLanguage: return 1; // English
    case audioMasterGetDirectory: return reinterpret_cast<VstIntPtr>(directory_.c_str());
    case audioMasterUpdateDisplay:
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++log_.displayUpdates;
        return 1;
    }
    case audioMasterBeginEdit:
    case audioMasterEndEdit: return 1;
    default: return 0;
    }
}

void HostedPlugin::takeEvents(const VstEvents* events)
{
    if (events == nullptr || events->numEvents <= 0)
        return;
    VstEvent* const* list = events->events;
    std::lock_guard<std::mutex> lock(mutex_);
    for (VstInt32 i = 0; i < events->numEvents; ++i)
    {
        const VstEvent* e = list[i];
        if (e == nullptr)
            continue;
        int64_t frame = position_ + (inProcess_ ? e->deltaFrames : 0);
        if (e->type == kVstMidiType)
        {
            const auto* m = reinterpret_cast<const VstMidiEvent*>(e);
            const auto* data = reinterpret_cast<const uint8_t*>(m->midiData);
            size_t length = shortMessageLength(data[0]);
            if (length == 0)
            {
                K1_LOG("Outgoing MIDI event without a status byte: " << int{data[0]});
                continue;
            }
            log_.midiOut.push_back({frame, std::vector<uint8_t>(data, data + length)});
        }
        else if (e->type == kVstSysExType)
        {
            const auto* s = reinterpret_cast<const VstMidiSysexEvent*>(e);
            constexpr VstInt32 kMaxSysex = 1 << 20;
            if (s->sysexDump == nullptr || s->dumpBytes <= 0 || s->dumpBytes > kMaxSysex)
            {
                K1_LOG("Outgoing sysex event with " << s->dumpBytes << " bytes skipped");
                continue;
            }
            const auto* data = reinterpret_cast<const uint8_t*>(s->sysexDump);
            log_.midiOut.push_back({frame, std::vector<uint8_t>(data, data + s->dumpBytes)});
        }
        else
            K1_LOG("Outgoing event of type " << e->type << " skipped");
    }
}

} // namespace vsthost
