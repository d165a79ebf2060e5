#pragma once

// The host's printed reports on standard output, one item a line with
// tab-separated fields so that scripts and tests can read them.

#include "tools/vsthost/hostedPlugin.h"
#include "tools/vsthost/wavFile.h"

namespace vsthost
{

void printInfo(HostedPlugin& plugin);
// "param <index> <name> <display> <label> <value>"
void printParameters(HostedPlugin& plugin);
// "program <index> <name>"; the current program is kept.
void printPrograms(HostedPlugin& plugin);
// Frames, channels, and each channel's "peak" and "rms" (linear, 0..1 full scale).
void printRenderSummary(const Audio& audio, const HostLog& log);
// "midi out <frame> <hex bytes>"
void printMidiOut(const HostLog& log);
// "automate <frame> <index> <value>", from the first-th report on.
void printAutomation(const HostLog& log, size_t first = 0);

} // namespace vsthost
