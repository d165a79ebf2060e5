#pragma once

// The audition: plays factory presets through the engine with fixed phrases
// and measures them (figures.h).
//
// A single's phrase, at velocity 40 and at 110: a low note (C2) held 1 s, C4
// held 2 s, a four-note chord (C4 E4 G4 C5) held 1.5 s; each take starts from
// silence and renders until the output has reached exact zeros, at most 10 s
// after its release (plus a margin). A multi's phrase plays one note per used
// section, in section order, 1 s each, on the section's channel, inside its
// zone and at a velocity its velocity switch accepts (40 or 110), so that it
// reaches both sides of splits, both velocity halves and every channel of a
// multitimbral setup; each section is heard on its own output. Then the
// first section's note alone, at velocity 40 and at 110.
//
// The engine is driven like a host drives it: setSamplerate(44100), then
// process() in blocks, which the resampler brings to 44.1 kHz. Times are
// seconds, rates hertz.

#include <cstddef>
#include <memory>

#include "engine/engine.h"
#include "tools/audition/figures.h"
#include "tools/audition/measure.h"

namespace audition
{
// How much of the phrase to render.
// The chords the sound standard plays: C3 C4 C5 for loudness, ten notes from
// C3 to C6 for peaks.
inline const std::vector<uint8_t> kLoudnessChord = {48, 60, 72};
constexpr uint8_t kSoundVelocity = 100; // of the loudness chord
constexpr double kLoudnessHold = 2.0;   // seconds
inline const std::vector<uint8_t> kFullChord = {48, 52, 55, 60, 64, 67, 72, 76, 79, 84};
// The touch of struck, plucked and keyboard singles: C4 at these velocities.
inline const std::vector<uint8_t> kTouchVelocities = {40, 100, 127};
constexpr double kTouchHold = 1.0; // seconds
// A multi's loudest chord: C4 E4 G4 C5 at velocity 127.
inline const std::vector<uint8_t> kMultiPeakChord = {60, 64, 67, 72};
constexpr double kPeakHold = 1.6; // seconds
constexpr int kPeakStrikes = 3;

enum class Depth
{
    Phrase,   // everything, both velocities, every take to silence
    Standard, // what the standard checks: C4 and the chord at 110 (only C4 to
              // silence), C4 at 40 held only, and only for velocity-sensitive singles
};

class Auditioner
{
public:
    Auditioner();
    ~Auditioner();
    Auditioner(const Auditioner&) = delete;
    Auditioner& operator=(const Auditioner&) = delete;

    // The rate of the samples process() writes.
    double rate() const;

    // audio, when given, receives the rendered takes back to back with a
    // short gap (for listening), in phrase order.
    SingleFigures single(size_t index, Depth depth, Stereo* audio = nullptr);
    MultiFigures multi(size_t index, Stereo* audio = nullptr);

    k1lib::Engine& engine() { return *m_engine; }

    // Selects a single or a multi and its play mode; false for an index out
    // of the store.
    bool selectSingle(size_t index);
    bool selectMulti(size_t index);
    // The current single's notes held together for `seconds`, cut at the release.
    Stereo hold(const std::vector<uint8_t>& keys, uint8_t velocity, double seconds);
    // The current multi: the keys on every channel a section listens to, held
    // together, in the stereo mix.
    Stereo holdMulti(const std::vector<uint8_t>& keys, uint8_t velocity, double seconds);
    // The current multi's loudest chord (kMultiPeakChord at velocity 127),
    // struck three times: the highest peak, dBFS. Looped samples start at a
    // random point, so each strike peaks a little differently.
    double multiChordPeakDb();

private:
    struct Note
    {
        uint8_t channel, key, velocity;
        double at; // seconds from the start of the take
    };
    // Plays the notes, releases each after `hold` seconds, then renders to
    // silence (or stops at the release when toSilence is false). outputs is
    // 2 (stereo) or 8 (one per section). Returns the sample of the last
    // note-off and whether the output reached exact zeros.
    size_t renderTake(const std::vector<Note>& notes, double hold, bool toSilence, int outputs,
                      std::vector<std::vector<float>>& out, bool& silent);
    void singleTake(const std::vector<uint8_t>& keys, uint8_t velocity, double hold, bool toSilence, Stereo* audio,
                    TakeFigures& figures, bool& rendered);
    // The sound standard's takes of the current single (figures.h, SoundFigures).
    void soundTakes(SingleFigures& figures);
    const k1lib::SinglePreset& getEngineSingle() const { return m_engine->getCurrentSingle(); }

    std::unique_ptr<k1lib::IEngineListener> m_listener;
    std::unique_ptr<k1lib::Engine> m_engine;
};

// Velocity changes the level of at least one sounding source.
bool velocitySensitive(const k1lib::SinglePreset& single);
// How far the vibrato swings the pitch of the sources that follow it, in
// cents either way, without pressure or wheel (0 when no sounding source
// follows it).
double vibratoCents(const k1lib::SinglePreset& single);
// How far channel pressure (0-1) swings the pitch, cents either way: the
// vibrato it deepens on the sources that follow the vibrato, plus the pitch
// it bends on the sources that follow pressure; the widest sounding source.
double pressureCents(const k1lib::SinglePreset& single, float pressure);
// Designed as a slow swell: every sounding source fades in over 0.2 s or more
// or plays a reversed wave.
bool designedAsSwell(const k1lib::SinglePreset& single);
} // namespace audition
