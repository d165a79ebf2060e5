#pragma once

// The phrase the host plays when no MIDI file is given: two seconds of
// chords over a bass line on MIDI channel 1, at 120 beats per minute.

#include "tools/vsthost/midiFile.h"

#include <vector>

namespace vsthost
{
std::vector<TimedMidi> builtInPhrase();
}
