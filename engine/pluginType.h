#pragma once

// The build variant the host bridge hands to the facade and the engine. The
// engine keeps it for the facade and never reads it; the VST bridge passes
// Vst (1), which hides the audio-output choice on the settings page.

#include <cstdint>

namespace k1lib
{
enum class PluginType : uint32_t
{
    Default = 0,
    Vst = 1,
};
} // namespace k1lib
