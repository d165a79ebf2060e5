// Any byte string given to the host's MIDI file reader either parses into
// whole messages in time order or is refused with nothing added.

#include "tools/vsthost/midiFile.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Every refused input writes a log line; the fuzzer's own report is on stderr.
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> file(data, data + size);
    std::vector<vsthost::TimedMidi> events;
    if (!vsthost::parseMidiFile(file, events))
    {
        if (!events.empty())
            std::abort();
        return 0;
    }
    double last = 0.0;
    for (const vsthost::TimedMidi& e : events)
    {
        if (e.bytes.empty() || e.seconds < last)
            std::abort();
        last = e.seconds;
    }
    return 0;
}
