#pragma once

// Renders a list of timed MIDI messages through a hosted plug-in, block by
// block, as a host's audio thread would: transport position, scheduled program
// switches and parameter ramps at block starts, the block's events with their
// offsets, then processReplacing. An I/O change the plug-in asks for is taken
// between blocks. Times in seconds, positions in samples.

#include "tools/vsthost/hostedPlugin.h"
#include "tools/vsthost/midiFile.h"
#include "tools/vsthost/wavFile.h"

#include <vector>

namespace vsthost
{

struct ParameterRamp
{
    int index = 0;
    float from = 0.0f;              // value at the first block
    float to = 1.0f;                // value at the end of the render
};

struct ProgramSwitch
{
    double seconds = 0.0;
    int program = 0;
};

struct RenderOptions
{
    double tailSeconds = 1.0;       // rendered after the last event
    double minimumSeconds = 0.0;    // the render lasts at least this long
    std::vector<ParameterRamp> ramps;
    std::vector<ProgramSwitch> programSwitches;
};

// Renders into audio (one channel per plug-in output; channels that appear
// with an I/O change are silent before it). Resumes the plug-in before the
// first block and suspends it after the last.
void render(HostedPlugin& plugin, const std::vector<TimedMidi>& events,
            const RenderOptions& options, Audio& audio);

} // namespace vsthost
