// Darvello.so playing the factory presets as musicians do, through the
// effect's processReplacing in a host-like block loop (blocks of 512):
//   Multi264*    a factory multitimbral multi, 33 keys held on each of its
//                eight channels (264 voices), held for the whole scene or
//                released and struck again every half second; with
//                Automated16 the host also writes 16 parameters every block
//   Chord6*      a factory single, a 6-note chord struck every half second,
//                with and without 16 automated parameters
//   Single33At*  the same single, 33 held keys, at host rates 44.1/48/96 kHz
//   Pitch264*    the 264 held voices of Multi264 with their singles' pitch
//                steady, under a vibrato, or gliding through an auto-bend
//                into the vibrato's fade-in, in host blocks of 16, 64 and 512
//                (the pitch's cost against steady, small blocks against large)
// Each repetition loads a fresh instance and renders 4 s of audio.
// Counters: cpu_per_audio_s (thread CPU seconds per second of audio, summed
// over the blocks) and the slowest block, in ms and as a share of the
// block's own duration. Read the median (and the max of the peaks). The
// label is a hash of the rendered audio: equal before and after a change of
// the engine means the same samples.
//
// usage: scene_bench [--plugin DARVELLO.so] [benchmark flags]
//        (default: the built module; another build compares before and after)

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "bench/scenes/sceneKit.h"

namespace
{
constexpr int kBlock = 512;
constexpr double kSeconds = 4.0;
constexpr int kRepetitions = 5;

std::string g_plugin = DARVELLO_PATH;

enum class Scene
{
    Multi,
    Chord,
    Single33,
    Pitch,
};

void run(benchmark::State& state, Scene scene, bool retrigger, bool automated, float rate, int block,
         k1bench::PitchMotion motion)
{
    const bool multi = scene == Scene::Multi || scene == Scene::Pitch;
    auto plugin = scene == Scene::Pitch ? k1bench::openDarvelloPitchMulti(g_plugin, rate, block, motion)
                  : multi               ? k1bench::openDarvelloMulti(g_plugin, rate, block)
                                        : k1bench::openDarvelloSingle(g_plugin, rate, block);
    if (!plugin)
    {
        state.SkipWithError("Darvello.so did not load");
        return;
    }
    std::vector<vsthost::TimedMidi> events;
    if (multi)
        events = k1bench::multiScene(retrigger, kSeconds);
    else if (scene == Scene::Chord)
        events = k1bench::chordScene(6, retrigger, kSeconds);
    else
        k1bench::appendKeys(events, 0, 36, k1bench::kVoicesPerSection, retrigger, kSeconds);
    std::vector<k1bench::Automation> automation;
    if (automated)
        automation = multi ? k1bench::multiAutomation(*plugin) : k1bench::singleAutomation(*plugin);

    k1bench::Figures figures;
    for (auto _ : state)
        figures = k1bench::play(*plugin, events, kSeconds, automation);
    state.counters["cpu_per_audio_s"] = figures.cpuPerAudioSecond();
    state.counters["peak_block_ms"] = figures.peakBlockSeconds * 1e3;
    state.counters["peak_of_block"] = figures.peakFraction();
    // Equal labels before and after a change: the same audio.
    char label[32];
    std::snprintf(label, sizeof label, "out %016llx", static_cast<unsigned long long>(figures.outputHash));
    state.SetLabel(label);
}

void registerScene(const char* name, Scene scene, bool retrigger, bool automated, float rate = 44100.0f,
                   int block = kBlock, k1bench::PitchMotion motion = k1bench::PitchMotion::Steady)
{
    benchmark::RegisterBenchmark(name, run, scene, retrigger, automated, rate, block, motion)
        ->Iterations(1)
        ->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
        ->Unit(benchmark::kMillisecond);
}
} // namespace

int main(int argc, char** argv)
{
    // Our own option first; the rest belongs to the benchmark library.
    int kept = 1;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc)
            g_plugin = argv[++i];
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerScene("Multi264Held", Scene::Multi, false, false);
    registerScene("Multi264Retriggered", Scene::Multi, true, false);
    registerScene("Multi264HeldAutomated16", Scene::Multi, false, true);
    registerScene("Multi264RetriggeredAutomated16", Scene::Multi, true, true);
    registerScene("Chord6Retriggered", Scene::Chord, true, false);
    registerScene("Chord6RetriggeredAutomated16", Scene::Chord, true, true);
    registerScene("Single33HeldAt44100Hz", Scene::Single33, false, false, 44100.0f);
    registerScene("Single33HeldAt48000Hz", Scene::Single33, false, false, 48000.0f);
    registerScene("Single33HeldAt96000Hz", Scene::Single33, false, false, 96000.0f);
    const std::pair<const char*, k1bench::PitchMotion> motions[] = {{"Steady", k1bench::PitchMotion::Steady},
                                                                     {"Vibrato", k1bench::PitchMotion::Vibrato},
                                                                     {"AutoBend", k1bench::PitchMotion::AutoBend}};
    for (const auto& [motionName, motion] : motions)
    {
        for (int block : {16, 64, 512})
        {
            const std::string name = std::string("Pitch264") + motionName + "Block" + std::to_string(block);
            registerScene(name.c_str(), Scene::Pitch, false, false, 44100.0f, block, motion);
        }
    }
    std::fprintf(stderr, "plugin: %s\nmulti:  %s\nsingle: %s\n", g_plugin.c_str(), k1bench::heldMulti().name.c_str(),
                 k1bench::singleName(k1bench::heldSingle()).c_str());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
