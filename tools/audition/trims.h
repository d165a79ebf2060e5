#pragma once

// Calibration of the designer's levels from renders of their own, apart from
// what the sound standard measures: the loudness trim of every single's
// family variant (tools/patchdesigner/levelTrims.cpp) and the level of every
// multi (tools/patchdesigner/multiLevels.cpp).
//
// A single's loudness here is the weighted mean of the integrated loudness
// (LUFS) of single notes C2 to C6 (every octave) at velocities 64, 100 and
// 127, each held 2 s; C3 to C5 and velocity 100 weigh twice. A multi's is
// that of the loudness chord the sound standard plays (C3 C4 C5 at
// velocity 100, on every channel its sections listen to), and it moves to
// the median single of its storage on that same chord: switching from a
// single to a multi keeps the level. A
// single's ceiling is the peak of the ten-note chord C3-C6 at velocity 127:
// no trim lifts it above -1.5 dBFS. A multi's is the highest peak of three
// strikes of the chord C4 E4 G4 C5 at velocity 127 on every channel its
// sections listen to: no level lifts it above -2.5 dBFS (a step that changes
// how many copies of its sections play moves the peak further than the
// level, and a strike may peak a little higher than the three).
// Each run moves a level part of the way to its target, since the stored
// level steps and the random wave starts make a full step overshoot; rebuild
// and run again until the files stop changing.

#include <string>
#include <vector>

#include "tools/audition/audition.h"

namespace audition
{
// The singles' note loudness: the C3-C5 chord at velocity 100 then sounds at
// about -20 LUFS for the median single.
constexpr double kSingleNoteLufs = -24.0;
constexpr double kChordCeilingDb = -1.5;
constexpr double kMultiChordCeilingDb = -2.5;
constexpr double kCorrection = 0.8;

struct LevelTakes
{
    size_t index = 0;        // working single or multi index
    double loudness = kSilentDb;
    double chordPeakDb = kSilentDb; // the ceiling's chord (multis: kMultiPeakChord)
    double chordLufs = kSilentDb;   // the loudness chord
};

LevelTakes singleLevelTakes(Auditioner& a, size_t index);
LevelTakes multiLevelTakes(Auditioner& a, size_t index);
// Every factory single or multi, rendered on `threads` auditioners.
std::vector<LevelTakes> allLevelTakes(bool multis, unsigned threads);

// Write a new levelTrims.cpp / multiLevels.cpp from the present levels and
// the takes of every single / multi; false (and a log line) when the takes
// miss one or the file cannot be written. `report` receives a line of figures.
bool writeTrims(const std::string& path, const std::vector<LevelTakes>& singles, std::string& report);
// The multis' file also balances each multi's sections by its singles' takes.
bool writeMultiLevels(const std::string& path, const std::vector<LevelTakes>& multis,
                      const std::vector<LevelTakes>& singles, std::string& report);
} // namespace audition
