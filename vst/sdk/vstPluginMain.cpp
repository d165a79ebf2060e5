// The entry points a Linux VST 2.4 host looks up in a plug-in .so:
// VSTPluginMain, main_plugin and, for older hosts, main. Each creates one new
// effect through the plug-in's createEffectInstance and hands its AEffect
// record to the host. Compiled into every plug-in module (not into k1vst), so
// that the linker keeps the symbols the version script exports.

#include "vst/sdk/audioeffect.h"

namespace
{
AEffect* createEffect(audioMasterCallback audioMaster)
{
    // A host that does not answer the version request is not a VST host.
    if (audioMaster == nullptr || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    AudioEffect* effect = createEffectInstance(audioMaster);
    return effect != nullptr ? effect->getAeffect() : nullptr;
}
} // namespace

#define VST_EXPORT extern "C" __attribute__((visibility("default")))

VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
    return createEffect(audioMaster);
}

VST_EXPORT AEffect* main_plugin(audioMasterCallback audioMaster)
{
    return createEffect(audioMaster);
}

// "main" cannot be defined under its own name with this signature in C++; the
// assembler label gives the function that symbol name.
VST_EXPORT AEffect* vstLegacyMain(audioMasterCallback audioMaster) __asm__("main");
VST_EXPORT AEffect* vstLegacyMain(audioMasterCallback audioMaster)
{
    return createEffect(audioMaster);
}
