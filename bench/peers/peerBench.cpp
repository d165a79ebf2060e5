// Darvello against its Debian peers (amsynth, ZynAddSubFX, Kars) in one run
// of the command-line host's library: one dense MIDI scene, chords struck
// every half second that keep 16 and then 64 notes sounding, rendered through
// each plug-in at 44.1 kHz in blocks of 256. Prints the CPU time (all threads
// of the process) per second of audio and its ratio to Darvello's; below 1
// the plug-in renders faster than real time on one core.
//
// Then the cost of one held voice, in blocks of 512: each peer holds 64 keys
// for the whole render, Darvello the 264 voices of the factory multi of
// scene_bench (33 keys on each of eight channels). Prints CPU milliseconds per
// second of audio per held voice and its ratio to amsynth's. Then the same
// keys released and struck again every half second (the cost of note starts
// and of what moves after them: envelopes, auto-bends, fade-ins).
//
// usage: peer_bench [DARVELLO.so] [--seconds N]   (default: the built module, 8 s)

#include "bench/scenes/sceneKit.h"
#include "tools/vsthost/hostedPlugin.h"
#include "tools/vsthost/renderer.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
using namespace vsthost;

constexpr float kRate = 44100.0f;
constexpr int kBlock = 256;
constexpr double kChordSeconds = 0.5;
constexpr int kHeldBlock = 512;
constexpr int kPeerHeldKeys = 64;

struct Peer
{
    std::string name;
    std::string path;
};

// Chords of `notes` keys on channel 1, struck every half second; each chord
// is released as the next one sounds, so `notes` keys are always held (the
// releasing ones come on top).
std::vector<TimedMidi> chordScene(int notes, double seconds)
{
    std::vector<TimedMidi> events;
    const int lowest = 64 - notes / 2;
    int shift = 0;
    for (double t = 0.0; t + kChordSeconds <= seconds + 1e-9; t += kChordSeconds, shift = 1 - shift)
    {
        for (int i = 0; i < notes; ++i)
        {
            const auto key = static_cast<uint8_t>(lowest + i + shift);
            events.push_back({t, {0x90, key, static_cast<uint8_t>(80 + (i * 7) % 40)}});
            events.push_back({t + kChordSeconds - 0.001, {0x80, key, 64}});
        }
    }
    return events;
}

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// CPU seconds per second of audio, or a negative value when the plug-in
// cannot be loaded.
double measure(const Peer& peer, const std::vector<TimedMidi>& scene, double seconds)
{
    std::unique_ptr<HostedPlugin> plugin = HostedPlugin::load(peer.path, kRate, kBlock);
    if (!plugin)
        return -1.0;
    // Warm-up: first touches of tables and buffers are not the steady cost.
    Audio warm;
    render(*plugin, chordScene(4, 0.5), RenderOptions{0.0, 0.5, {}, {}}, warm);
    Audio audio;
    const double start = cpuSeconds();
    render(*plugin, scene, RenderOptions{0.0, seconds, {}, {}}, audio);
    const double used = cpuSeconds() - start;
    return used / (static_cast<double>(audio.frames()) / kRate);
}
// CPU milliseconds per second of audio per held voice, or a negative value
// when the plug-in cannot be loaded.
double measureHeld(const Peer& peer, bool darvello, double seconds, bool retrigger)
{
    std::unique_ptr<HostedPlugin> plugin;
    std::vector<TimedMidi> scene;
    int voices = 0;
    if (darvello)
    {
        plugin = k1bench::openDarvelloMulti(peer.path, kRate, kHeldBlock);
        scene = k1bench::multiScene(retrigger, seconds);
        voices = k1bench::kSections * k1bench::kVoicesPerSection;
    }
    else
    {
        plugin = HostedPlugin::load(peer.path, kRate, kHeldBlock);
        if (plugin)
        {
            plugin->resume();
            k1bench::play(*plugin, chordScene(4, 0.5), 0.5); // warm-up
        }
        k1bench::appendKeys(scene, 0, 64 - kPeerHeldKeys / 2, kPeerHeldKeys, retrigger, seconds);
        voices = kPeerHeldKeys;
    }
    if (!plugin)
        return -1.0;
    const double start = cpuSeconds();
    const k1bench::Figures figures = k1bench::play(*plugin, scene, seconds);
    const double used = cpuSeconds() - start;
    return used / figures.audioSeconds / voices * 1e3;
}
} // namespace

int main(int argc, char** argv)
{
    std::string darvello = DARVELLO_PATH;
    double seconds = 8.0;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else
            darvello = argv[i];
    }
    if (!(seconds >= 1.0))
    {
        std::fprintf(stderr, "usage: peer_bench [DARVELLO.so] [--seconds N>=1]\n");
        return 2;
    }
    const std::vector<Peer> peers = {{"Darvello", darvello},
                                     {"amsynth", "/usr/lib/vst/amsynth_vst.so"},
                                     {"ZynAddSubFX", "/usr/lib/vst/ZynAddSubFX.so"},
                                     {"Kars", "/usr/lib/vst/Kars-vst.so"}};
    std::vector<std::vector<double>> results(peers.size());
    for (int notes : {16, 64})
    {
        const std::vector<TimedMidi> scene = chordScene(notes, seconds);
        for (size_t p = 0; p < peers.size(); ++p)
        {
            if (access(peers[p].path.c_str(), R_OK) != 0)
            {
                results[p].push_back(-1.0);
                continue;
            }
            results[p].push_back(measure(peers[p], scene, seconds));
        }
    }

    std::printf("\n%.0f s of %d-note and 64-note chords at %.0f Hz, blocks of %d\n", seconds, 16, kRate, kBlock);
    std::printf("%-12s %16s %10s %16s %10s\n", "plug-in", "cpu/audio 16", "ratio 16", "cpu/audio 64", "ratio 64");
    for (size_t p = 0; p < peers.size(); ++p)
    {
        std::printf("%-12s", peers[p].name.c_str());
        for (size_t s = 0; s < 2; ++s)
        {
            const double v = results[p][s];
            const double base = results[0][s];
            if (v < 0.0)
                std::printf(" %16s %10s", "absent", "-");
            else if (base > 0.0)
                std::printf(" %16.4f %10.2f", v, v / base);
            else
                std::printf(" %16.4f %10s", v, "-");
        }
        std::printf("\n");
    }

    for (const bool retrigger : {false, true})
    {
        std::vector<double> held;
        for (size_t p = 0; p < peers.size(); ++p)
            held.push_back(access(peers[p].path.c_str(), R_OK) == 0
                               ? measureHeld(peers[p], p == 0, seconds, retrigger)
                               : -1.0);
        std::printf("\n%s voices, blocks of %d: Darvello %d (factory multi), peers %d keys\n",
                    retrigger ? "retriggered" : "held", kHeldBlock, k1bench::kSections * k1bench::kVoicesPerSection,
                    kPeerHeldKeys);
        std::printf("%-12s %22s %16s\n", "plug-in", "ms/s per voice", "ratio amsynth");
        const double amsynth = held[1];
        for (size_t p = 0; p < peers.size(); ++p)
        {
            std::printf("%-12s", peers[p].name.c_str());
            if (held[p] < 0.0)
                std::printf(" %22s %16s\n", "absent", "-");
            else if (amsynth > 0.0)
                std::printf(" %22.3f %16.3f\n", held[p], held[p] / amsynth);
            else
                std::printf(" %22.3f %16s\n", held[p], "-");
        }
    }
    return results[0][0] < 0.0 ? 1 : 0;
}
