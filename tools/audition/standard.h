#pragma once

// The standard every factory preset meets, as checks over the figures of
// one storage. Each failure is one readable line naming the preset.
//
// - Sound within 50 ms of note-on (1.5 s for a slow swell); exact silence
//   within 10 s of the release; never NaN or infinity.
// - No clipping of the chord at velocity 110; the C4 loudness of each single
//   within 8 dB of the storage's median (or lower, when its ten-note chord at
//   velocity 127 already peaks above -4 dBFS).
// - Velocity 40 at least 1 dB quieter or 3 % darker than 110 wherever
//   velocity moves a source's level (for a multi: of a section its first
//   note reaches, or the velocity halves reach different sections).
// - Named basses darker than every named lead or bell of the storage;
//   struck and plucked families 6 dB down by the end of a 2 s hold.
// - No vibrato swinging wider than 50 cents either way unless the recipe
//   asks for it (an effect).
// - Channel pressure, half or full, swings the pitch at most 50 cents either
//   way unless the recipe is an effect.
// - A single with a sustaining source still sounds 2.4 s into a held C4.
// - No offset (DC) above -45 dBFS on a held C2 or C4.
// - Every used section of a multi sounds in its phrase; its chord C4 E4 G4
//   C5 at velocity 127 on all its channels peaks at -1 dBFS or below.

#include <string>
#include <vector>

#include "patch/presets.h"
#include "tools/audition/figures.h"

namespace audition
{
struct Limits
{
    double firstSound = 0.05;      // seconds
    double swellFirstSound = 1.5;  // seconds
    double silence = 10.0;         // seconds after the release
    double loudnessSpread = 8.0;   // dB either side of the storage median
    double headroomDb = -4.0;      // ten-note chord peak, dBFS, above which a single may sit lower
    double velocityQuieter = 1.0;  // dB
    double velocityDarker = 0.97;  // centroid ratio
    double percussiveDecay = -6.0; // dB by the end of the hold
    double vibratoCents = 50.0;    // either way, at rest
    double pressureCents = 50.0;   // either way, at half and at full pressure
    double heldFloorDb = -80.0;    // a held sound's level 2.4 s in, dBFS RMS
    double dcDb = -45.0;           // dBFS
    double multiChordPeakDb = -1.0; // dBFS
};

std::vector<std::string> checkSingles(const std::vector<SingleFigures>& storage, const Limits& limits = {});
std::vector<std::string> checkMultis(const std::vector<MultiFigures>& storage, const Limits& limits = {});

double median(std::vector<double> values);
// How the reports name a preset: #index "name".
std::string presetLabel(size_t index, const std::string& name);
// One line of a report: printf with up to five numbers.
std::string reportLine(const char* format, double a = 0, double b = 0, double c = 0, double d = 0, double e = 0);

// The sound standard, over every single and multi rendered (sound figures,
// figures.h):
// - no two singles of one storage within the twin distance of each other's
//   fingerprint, and at most 2 % of the singles with a near-twin anywhere;
// - sustained singles swing at most 6 dB on a held C4 unless their recipe
//   asks for a tremolo;
// - singles meant to be bright keep 95 % of their C4's power below no less
//   than 4 kHz;
// - the median single at -20 +- 2 LUFS on the C3-C5 chord at velocity 100;
//   the median multi of a storage within 2 LU of its median single, every
//   multi within 4 LU of it (of the multis' median where the storage's
//   singles were not rendered), or lower where, louder by what it lacks,
//   its loudest chord would peak above the headroom;
// - the ten-note chord at velocity 127 at most 0 dBFS for 98 % of singles;
// - struck, plucked and keyboard singles answer the touch: at least 90 % of
//   them rise 12 dB on a held C4 from velocity 40 to 127 and 8 dB from 40
//   to 100;
// - brightness (the third harmonic and up) across the split keys, where the
//   key below has it and the single's sources are key-tracked at a steady
//   pitch and none a pure partial: no single loses more than 12 dB of it at a
//   split, and at most 5 lose more than 6 dB.
// Factory-wide figures (the shares, the medians) count what was rendered.
struct SoundLimits
{
    double twinDistanceDb = 1.0;
    double twinShare = 0.02;
    double pumpDb = 6.0;
    double brightRolloffHz = 4000.0;
    double loudnessLufs = -20.0;
    double loudnessTolerance = 2.0;
    double multiSpread = 4.0;        // LU either side of the storage's median single
    double multiMedianGap = 2.0;     // LU between the storage's median multi and median single
    double multiHeadroomDb = -4.0;   // loudest chord peak, dBFS, a multi may stay below by sitting lower
    double chordPeakDb = 0.0;
    double chordPeakShare = 0.98;
    double splitLossDb = 12.0;
    double brightnessLossDb = 6.0;
    size_t brightnessLossSingles = 5;
    double upperPresentDb = -30.0;   // third harmonic and up against the note that count as present
    double touchRiseLoud = 12.0;     // dB from velocity 40 to 127
    double touchRiseMiddle = 8.0;    // dB from velocity 40 to 100
    double touchShare = 0.90;        // of the struck, plucked and keyboard singles
};

// One line per pair of twins within a storage and per single or multi that
// misses a check, with its figures (checkSoundPresets: these need only the
// presets' own storage), then one "factory:" line per factory-wide figure
// missed (checkSoundFactory), with its worst cases.
std::vector<std::string> checkSound(const std::vector<SingleFigures>& singles, const std::vector<MultiFigures>& multis,
                                    const SoundLimits& limits = {});
std::vector<std::string> checkSoundPresets(const std::vector<SingleFigures>& singles,
                                           const std::vector<MultiFigures>& multis, const SoundLimits& limits = {});
std::vector<std::string> checkSoundFactory(const std::vector<SingleFigures>& singles, const SoundLimits& limits = {});
// The multis' part of checkSoundPresets: their loudness against the singles.
std::vector<std::string> checkMultiLoudness(const std::vector<SingleFigures>& singles,
                                            const std::vector<MultiFigures>& multis, const SoundLimits& limits = {});

// The largest loss of brightness (the third harmonic and up) from the key
// below a split key to the split key, among the splits where the key below
// has some; the split in *key.
double brightnessLoss(const SoundFigures& s, double upperPresentDb, int* key);

// The rises of a single's held C4 from velocity 40 to 127 and to 100, dB;
// false when its touch was not rendered.
bool touchRises(const SoundFigures& s, double& toLoud, double& toMiddle);

// The waves no single plays (by its sounding sources), one line listing
// their numbers and names; empty when every wave is used.
std::vector<std::string> checkWavesUsed(const std::vector<k1lib::SinglePreset>& singles);
// Every factory single, as the designer makes them, in working order.
std::vector<k1lib::SinglePreset> designedSingles();

// Storage of a working single index (64 per K1 bank, then the PHm singles)
// and of a multi (32 per K1 bank); the designer's symbol of a storage.
size_t singleStorage(size_t index);
size_t multiStorage(size_t index);
std::string storageSymbol(size_t storage);
} // namespace audition
