#pragma once

// What the audition measures of one rendered take and of one preset.
// Levels in dBFS (0 dB = a full-scale sample, 1.0), times in seconds from
// the note-on (first sound) or the last note-off (release), the spectral
// centroid in hertz.

#include <cstdint>
#include <string>
#include <vector>

namespace audition
{
// Level of a silent measurement: below anything the engine can produce.
constexpr double kSilentDb = -200.0;

// One take: some notes started together, held, released, rendered until
// the output stayed at exact zero or the cap was reached.
struct TakeFigures
{
    double peakDb = kSilentDb;
    double loudnessDb = kSilentDb;   // loudest 400 ms RMS window while held
    double firstSound = -1.0;        // seconds to -20 dB of the take's peak; -1: never
    double releaseToSilence = -1.0;  // seconds from note-off to the last non-zero sample; -1: not silent
    double centroidHz = 0.0;         // power-weighted over the hold
    double decayDb = 0.0;            // last 400 ms of the hold against the loudest window, <= 0
    bool sounded = false;
    bool nonFinite = false;          // NaN or infinity anywhere
    bool clipped = false;            // a sample beyond full scale
};

// A single's phrase, per velocity: the low note, the C4 note and the chord.
// A take not rendered keeps its defaults and rendered == false.
struct SingleTakes
{
    TakeFigures low, c4, chord;
    bool lowRendered = false, c4Rendered = false, chordRendered = false;
};

// One key of a single's split sweep (velocity 100, held): powers in dB.
struct SweepKey
{
    int key = 0;
    double noteDb = kSilentDb;       // the key's harmonics below 20 kHz
    double upperDb = kSilentDb;      // the second harmonic and up
    double thirdDb = kSilentDb;      // the third harmonic and up: brightness
    double inharmonicDb = kSilentDb; // between the harmonics (within 20 cents of one counts as on it)
};

// What the sound standard hears of a single, at velocity 100 unless said.
struct SoundFigures
{
    bool rendered = false;
    double chordLufs = kSilentDb;        // C3 C4 C5 together, held 2 s
    double fullChordPeakDb = kSilentDb;  // ten notes C3 to C6 at velocity 127
    double pumpDb = 0.0;                 // held C4: swing of its level after 1.5 s (sustained sounds)
    double pumpHz = 0.0;                 // how often it swings
    double rolloffHz = 0.0;              // 95 % of the held C4's power lies below
    std::vector<double> fingerprint;     // held C4, see fingerprint.h
    std::vector<SweepKey> sweep;         // both sides of each split key, and C6 to C8
    bool whistleChecked = false;         // every source a key-tracked single-cycle wave in octaves
    bool splitChecked = false;           // key-tracked, steady pitch, no ring modulation, no pure partial,
                                         // a single-cycle wave among them
    // Struck, plucked and keyboard singles: the held C4's loudness (loudest
    // 400 ms, dBFS) at each of kTouchVelocities (audition.h); empty for others.
    std::vector<double> touchDb;
    const SweepKey* at(int key) const;
};

struct SingleFigures
{
    size_t index = 0; // working single index, 0-967
    std::string name;
    SingleTakes soft;   // velocity 40
    SingleTakes loud;   // velocity 110
    bool velocitySensitive = false;
    bool swell = false;       // named or designed as a slow swell
    bool percussive = false;  // named as struck or plucked
    bool bass = false;        // named as a bass
    bool leadOrBell = false;  // named as a lead or a bell
    bool sustained = false;   // a sustained family whose sources hold
    bool tremolo = false;     // its recipe asks for a tremolo
    double vibratoCents = 0.0; // the widest swing of its vibrato without pressure or wheel, cents either way
    bool wideVibrato = false; // its recipe asks for a vibrato wider than half a semitone
    double pressureCents = 0.0; // the widest pitch swing at half and at full channel pressure, cents either way
    bool effect = false;      // its recipe is an effect
    bool sustains = false;    // a sounding source sustains (level 40 or more)
    double heldDb = kSilentDb; // held C4 at velocity 100: level (RMS) from 2.4 to 2.6 s, when it sustains
    double dcDb = kSilentDb;  // held C2 and C4 at velocity 100: the larger offset (mean) over 1.5 s
    bool bright = false;      // named as a sound that must be bright
    SoundFigures sound;

    bool nonFinite() const;
    bool clipped() const;
};

// One used section of a multi in its phrase.
struct SectionFigures
{
    int section = 0;          // 0-7
    size_t single = 0;        // working single index
    double firstSound = -1.0; // from the note-on aimed at it, in its own output
    double peakDb = kSilentDb;
    bool sounded = false;
    bool swell = false;
};

struct MultiFigures
{
    size_t index = 0; // working multi index, 0-383
    std::string name;
    TakeFigures mix;  // the stereo mix of the whole phrase (firstSound: first step)
    std::vector<SectionFigures> sections;
    // The first section's note alone, held 1 s, at velocity 40 and 110; its
    // sensitivity: a section it reaches follows velocity, or the two
    // velocities reach different sections.
    TakeFigures soft, loud;
    bool velocitySensitive = false;
    // The C3 C4 C5 chord at velocity 100 on every channel a section listens to,
    // held 2 s, in the stereo mix: LUFS.
    double chordLufs = kSilentDb;
    // C4 E4 G4 C5 at velocity 127 on every channel a section listens to,
    // held 1.6 s, in the stereo mix: the highest peak of three strikes.
    double chordPeakDb = kSilentDb;
};
} // namespace audition
