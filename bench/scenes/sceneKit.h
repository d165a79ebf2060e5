#pragma once

// Scenes that play the factory presets as musicians do, rendered through a
// hosted VST 2.4 plug-in (Darvello.so, or a peer) block by block the way a
// host's audio thread calls it: automation writes, then the block's events,
// then processReplacing. Every block is timed on the calling thread's CPU
// clock, so a scene yields its CPU seconds per second of audio and its
// slowest block.
//
// The presets are chosen in-process from the same factory data the plug-in
// carries: a factory multitimbral multi (eight sections on MIDI channels 1-8)
// whose sections all keep sounding while keys are held, each section in "VR"
// so that 33 held keys give 33 voices; and the first factory single that
// keeps sounding. Times in seconds, rates in hertz.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/vsthost/hostedPlugin.h"
#include "tools/vsthost/midiFile.h"

namespace k1bench
{
constexpr int kSections = 8;
constexpr int kVoicesPerSection = 33;
constexpr double kRetriggerSeconds = 0.5;

// The factory-like multi of the 264-voice scenes.
struct HeldMulti
{
    size_t multi = 0;                 // factory multi index (the layout's source)
    std::array<int, kSections> singles{}; // section singles, 0-63 within the multi's bank
    std::string name;                 // multi name and the singles' names
};

// Chosen once per process; verified by rendering it in-process (264 voices
// still sound after two seconds).
const HeldMulti& heldMulti();
// The first factory single that keeps 33 held keys sounding.
size_t heldSingle();
std::string singleName(size_t index);

// One automated parameter: the host writes centre + depth x sin(2 pi t / period)
// (normalized, clamped to 0..1) before every block.
struct Automation
{
    int parameter = 0;
    float centre = 0.5f;
    float depth = 0.1f;
    double period = 2.0;
};

// What a render cost.
struct Figures
{
    double audioSeconds = 0.0;
    double cpuSeconds = 0.0;  // thread CPU time spent in the plug-in's calls
    double peakBlockSeconds = 0.0;
    double blockSeconds = 0.0; // duration of one block of audio
    uint64_t outputHash = 0;   // FNV-1a of every output sample's bits, outside the timing
    double cpuPerAudioSecond() const { return audioSeconds > 0.0 ? cpuSeconds / audioSeconds : 0.0; }
    double peakFraction() const { return blockSeconds > 0.0 ? peakBlockSeconds / blockSeconds : 0.0; }
};

// Keys held on channel `channel` (0-15): `count` keys from `lowest` up, with
// velocities 70-119. With retrigger every key is released and struck again
// every half second (released 1 ms before the next strike); otherwise held
// for the whole scene.
void appendKeys(std::vector<vsthost::TimedMidi>& events, int channel, int lowest, int count, bool retrigger,
                double seconds);
// 33 keys on each of the eight channels.
std::vector<vsthost::TimedMidi> multiScene(bool retrigger, double seconds);
// A chord of `notes` keys around middle C on channel 1.
std::vector<vsthost::TimedMidi> chordScene(int notes, bool retrigger, double seconds);

// Renders `seconds` of audio. Events at or past the end are dropped; the
// automation is written before every block. Allocates nothing per block.
Figures play(vsthost::HostedPlugin& plugin, const std::vector<vsthost::TimedMidi>& events, double seconds,
             const std::vector<Automation>& automation = {});

// Darvello.so set up for the scenes (blocks of the host already rendered
// until the settings reached the engine).
std::unique_ptr<vsthost::HostedPlugin> openDarvelloMulti(const std::string& path, float rate, int block);
std::unique_ptr<vsthost::HostedPlugin> openDarvelloSingle(const std::string& path, float rate, int block);

// How the pitch of the 264-voice multi's singles moves: Steady (no vibrato,
// no auto-bend), Vibrato (every source follows a vibrato of depth 20, a
// semitone, the LFO at speed 60), AutoBend (the same with an auto-bend of
// depth 20 gliding over 1.3 s, after which the vibrato fades in until the
// scene's end: the pitch moves all the time, at every sample during the
// fade-in). The singles are edited in single mode through the parameters, as
// a player would, before the multi is selected.
enum class PitchMotion
{
    Steady,
    Vibrato,
    AutoBend,
};
std::unique_ptr<vsthost::HostedPlugin> openDarvelloPitchMulti(const std::string& path, float rate, int block,
                                                              PitchMotion motion);

// Sixteen parameters a musician automates, swinging around the values the
// plug-in holds now: in multi mode the multi volume, the two source mixes,
// the eight section levels and five section tunes; in single mode the volume,
// vibrato depth, LFO speed, the two source mixes, each source's envelope
// level and fine tuning, pressure to pitch, auto-bend depth and velocity to
// depth. None of them changes how long notes sound, so the automated scenes
// play the same notes as the plain ones.
std::vector<Automation> multiAutomation(vsthost::HostedPlugin& plugin);
std::vector<Automation> singleAutomation(vsthost::HostedPlugin& plugin);
} // namespace k1bench
