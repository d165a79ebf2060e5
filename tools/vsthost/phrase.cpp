#include "tools/vsthost/phrase.h"

#include <algorithm>

namespace vsthost
{

std::vector<TimedMidi> builtInPhrase()
{
    struct Chord
    {
        double start;
        double length;
        std::vector<uint8_t> notes;
    };
    // C, F, G, C with the root doubled an octave down: half a second each.
    const Chord chords[] = {
        {0.0, 0.45, {48, 60, 64, 67}},
        {0.5, 0.45, {53, 65, 69, 72}},
        {1.0, 0.45, {55, 67, 71, 74}},
        {1.5, 0.5, {48, 60, 64, 67, 72}},
    };
    std::vector<TimedMidi> events;
    for (const Chord& c : chords)
        for (uint8_t note : c.notes)
        {
            events.push_back({c.start, {0x90, note, 100}});
            events.push_back({c.start + c.length, {0x80, note, 64}});
        }
    std::stable_sort(events.begin(), events.end(),
                     [](const TimedMidi& a, const TimedMidi& b) { return a.seconds < b.seconds; });
    return events;
}

} // namespace vsthost
