// AudioEffectX's speaker arrangement helpers: arrangements are variable-length
// blocks (an 8-byte header plus one 112-byte speaker record per channel) that
// the plug-in allocates and frees itself.

#include "vst/sdk/audioeffectx.h"

#include <algorithm>
#include <cstdlib>

namespace
{
constexpr size_t arrangementBytes(VstInt32 channels)
{
    return offsetof(VstSpeakerArrangement, speakers) +
           sizeof(VstSpeakerProperties) * static_cast<size_t>(channels);
}
} // namespace

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels)
{
    if (arrangement == nullptr || channels < 0)
        return false;
    std::free(*arrangement);
    *arrangement = nullptr;
    // Room for at least the declared eight speakers, so that the record's own
    // array is always addressable.
    size_t bytes = std::max(arrangementBytes(channels), sizeof(VstSpeakerArrangement));
    auto* block = static_cast<VstSpeakerArrangement*>(std::calloc(1, bytes));
    if (block == nullptr)
        return false;
    block->numChannels = channels;
    *arrangement = block;
    return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement)
{
    if (arrangement == nullptr)
        return false;
    std::free(*arrangement);
    *arrangement = nullptr;
    return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from)
{
    if (to == nullptr || from == nullptr)
        return false;
    char name[kVstMaxNameLen];
    std::memcpy(name, from->name, sizeof name);
    *to = *from;
    vst_strncpy(to->name, name, kVstMaxNameLen - 1);
    return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from)
{
    if (to == nullptr || from == nullptr)
        return false;
    if (!allocateArrangement(to, from->numChannels))
        return false;
    (*to)->type = from->type;
    for (VstInt32 i = 0; i < from->numChannels; ++i)
        if (!copySpeaker(&(*to)->speakers[i], &from->speakers[i]))
            return false;
    return true;
}
