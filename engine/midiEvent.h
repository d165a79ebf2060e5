#pragma once

// One incoming or outgoing MIDI event: a short message in three bytes, or a
// whole system-exclusive message (F0 .. F7) in `sysex`, in which case the
// three bytes are ignored. sampleOffset is the event's engine sample within
// the block; a negative offset acts at the start of the block, before anything
// of the block is rendered.

#include <cstdint>
#include <vector>

namespace k1lib
{
struct SMidiEvent
{
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    std::vector<uint8_t> sysex;
    int32_t sampleOffset = 0;
};
} // namespace k1lib
