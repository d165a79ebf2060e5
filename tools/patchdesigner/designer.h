#pragma once

// The patch designer: builds every factory preset of the instrument from named
// recipes, deterministically (no clock, no random device: the same program
// always writes the same bytes). Recipes speak in musical terms (waves by
// name, semitones, cents, envelope values 0-100 of the K1) and the builder
// turns them into preset records in the K1's stored form.

#include <cstdint>
#include <string>
#include <vector>

#include "patch/presets.h"

namespace designer
{
// Deterministic mixing of small integers into a well-spread 32-bit value.
uint32_t hash(uint32_t a, uint32_t b = 0, uint32_t c = 0);
// hash reduced to 0..n-1.
int pick(uint32_t n, uint32_t a, uint32_t b = 0, uint32_t c = 0);

// Wave number 0-255 of the occurrence-th wave (1-based) with this name, as
// the names of the wave ROM list them ("Saw 1", "String" 2). Aborts the
// program on an unknown name: a recipe that names a missing wave is a bug.
uint8_t wave(const char* name, int occurrence = 1);
bool hasWave(const char* name, int occurrence);

struct Env
{
    int delay = 0;
    int attack = 0;
    int decay = 40;
    int sustain = 100;
    int release = 30;
};

// One source in musical terms. Offsets are relative to the K1's centre
// values; the builder clamps everything into the stored ranges.
struct Tone
{
    uint8_t wave = 0;
    int semitones = 0;      // transposition against the played key
    int fine = 0;           // fine tuning in K1 steps (2 cents each), -50..50
    bool fixedKey = false;  // play fixedNote whatever the key (drums)
    int fixedNote = 60;
    int level = 0;          // added to the single's level budget, usually <= 0
    Env env;
    int velCurve = 0;       // 0..6 (7 is the inverted curve, kept for switches)
    int velLevel = 18;      // velocity to level depth, 0 none .. 50 full
    int velTime = 0;        // velocity to attack time, negative: faster when loud
    int keyLevel = 0;       // key scaling of level: < 0 quieter high keys, > 0 quieter low keys
    int keyTime = 0;        // key scaling of times: < 0 shorter at high keys
    int keyPitch = 0;       // key scaling of pitch (semitone steps of the table)
    int pressureLevel = 0;  // pressure to level
    bool vibrato = true;    // follows vibrato and auto-bend
    bool pressurePitch = false;
};

struct Common
{
    double trimDb = 0.0;    // loudness against the bank's reference, dB (levelTrims.cpp)
    int polyMode = 0;       // 0 Poly 1, 1 Poly 2, 2 Solo
    int ampMod12 = 0;       // 0 off, 1 S2>S1, 2 S1>S2
    int ampMod34 = 0;
    int bendRange = 2;
    int vibratoDepth = 0;   // -50..50 around the centre (8: +-12 cents, 12: +-33, 20: a semitone)
    // Pressure deepens the vibrato by 24 cents a step at full pressure: a
    // player's hand on a held note, so depth and pressure together stay
    // within half a semitone. Struck and plucked sounds take none.
    int pressureVibrato = 0;
    int pressurePitch = 0;
    int lfoSpeed = 32;
    int lfoShape = 0;
    int keyCurve = 0;       // 0..4
    int wheelMode = 0;      // 0 depth, 1 speed
    int autoBendDepth = 0;  // -50..50
    int autoBendTime = 0;   // 0..100
    int velBend = 0;        // velocity to auto-bend depth, -50..50
    int keyBendTime = 0;    // key scaling of auto-bend time, -50..50
};

// A recipe's result: the common part and two or four tones.
struct Patch
{
    std::string name;
    Common common;
    std::vector<Tone> tones;
    bool mute[4] = {};
    bool tremolo = false; // the detuned sources beat on purpose
    bool wideVibrato = false; // the pitch swings wider than half a semitone on purpose (effects)
};

// Level budget: envelope level of each source so that two- and four-source
// singles sound about equally loud. One place to tune the loudness of a bank.
int levelBudget(size_t toneCount);

k1lib::SinglePreset build(const Patch& patch);

// Families of sounds; each has a recipe that makes a distinct variant for
// every variant number and a list of readable names.
enum class Family
{
    Piano,
    EPiano,
    Clav,
    Organ,
    Strings,
    Pad,
    Brass,
    SynthBrass,
    Winds,
    Reed,
    Bass,
    SynthBass,
    Lead,
    Bell,
    Mallet,
    Pluck,
    Ethnic,
    Voice,
    Drum,
    Fx,
    Layer,
    Count
};

const char* familyName(Family family);
// Struck, plucked and keyboard sounds answer the touch: the sources that
// follow velocity fall well below their level under a soft touch and keep it
// from velocity 100 up, the brightening layers fall further (touch.cpp).
void voiceTouch(Patch& patch);
// The variant-th preset of the family; the name is filled in.
Patch makeFamily(Family family, int variant);

// The measured loudness trim of a family's variant, dB: what brings its C4
// note to the banks' common loudness, or lower where a four-note chord
// would otherwise reach full scale. Found by rendering (tools/audition).
double levelTrim(Family family, int variant);
// The measured level of a bank's multi (0-31) against its design, dB: what
// brings it to the multis' common loudness (multiLevels.cpp, found by
// rendering like the trims).
double multiLevel(size_t bankIndex, size_t multi);
// The level of one of its sections (0-7) against its design, dB (>= 0): what
// makes up for how far its single lies below the loudest of the multi's singles.
double sectionLevel(size_t bankIndex, size_t multi, size_t section);

// The storages in bank order: twelve K1 banks of 64 singles and 32 multis,
// then the 200 PHm singles.
struct BankPlan
{
    const char* symbol;   // file stem: K1INT, A101, ..., PHm
    std::vector<std::pair<Family, int>> families; // family and how many
};
const std::vector<BankPlan>& bankPlans();

struct DesignedBank
{
    std::vector<k1lib::SinglePreset> singles;
    std::vector<Family> singleFamilies;
    std::vector<int> singleVariants; // the variant of its family each single is
    std::vector<bool> singleTremolo; // its recipe asks for a tremolo
    std::vector<bool> singleWideVibrato; // its recipe asks for a vibrato wider than half a semitone
    std::vector<k1lib::MultiPreset> multis;
};

// Designs one bank (bankIndex 0-12); variant numbers continue across banks so
// that no two banks repeat a sound.
DesignedBank designBank(size_t bankIndex);
// How far a multi's stored volume and section levels carry it, dB against
// its design: the level they apply now and the most they can apply (volume
// and sections at the top, and each section doubled where the free sections
// take the copies).
struct LevelRoom
{
    double applied = 0.0;
    double most = 0.0;
    double once = 0.0; // the most without copies: above it a level plays two, 3 dB further four
};
// Multis of a K1 bank, built from the bank's own singles; `room`, when
// given, receives each multi's level room.
std::vector<k1lib::MultiPreset> designMultis(size_t bankIndex, const DesignedBank& bank,
                                             std::vector<LevelRoom>* room = nullptr);

// Name helpers: at most 10 characters; later rounds get a number.
std::string roundName(const std::string& base, int round);
} // namespace designer
