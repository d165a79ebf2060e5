// vsthost: loads a VST 2.4 plug-in .so through its entry point, as a Linux
// host does, and renders a Standard MIDI File (or a built-in phrase) to a WAV.

#include "tools/vsthost/editorSession.h"
#include "tools/vsthost/hostedPlugin.h"
#include "tools/vsthost/midiFile.h"
#include "tools/vsthost/phrase.h"
#include "tools/vsthost/renderer.h"
#include "tools/vsthost/report.h"
#include "tools/vsthost/wavFile.h"

#include "patch/log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A plug-in window that draws text does so through fontconfig, which keeps a
// few allocations until exit; under LeakSanitizer they are the library's to
// answer for, not the host's or the plug-in's.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace
{
using namespace vsthost;

const char* const kUsage = R"(usage: vsthost PLUGIN.so [options]
  --rate HZ              sample rate (default 44100)
  --block N              block size in samples (default 512)
  --midi FILE            Standard MIDI File to render (default: a built-in phrase)
  --out FILE             render and write a 32-bit float WAV with every output
  --tail SECONDS         time rendered after the last MIDI event (default 1)
  --info                 print the plug-in's identity and capabilities
  --list-params          print each parameter: index, name, display, label, value
  --list-programs        print each program: index and name
  --midi-out             print the MIDI the plug-in sends, with its frame
  --preset-chunks        chunk options use program chunks instead of bank chunks
  --refuse-io            answer 0 to the plug-in's I/O change requests
  --help                 print this text
 applied in the order given, before the render:
  --program N            select program N
  --param INDEX=VALUE    set a parameter (normalized; passed on unchecked)
  --save-chunk FILE      write the plug-in's chunk to FILE
  --load-chunk FILE      hand FILE to the plug-in as its chunk
  --editor               open the plug-in's window in an X11 window ($DISPLAY) while
                         audio runs, perform the --do steps, close it, and print the
                         automation it sent ("automate <frame> <index> <value>")
 for --editor:
  --do STEP              a step, in order; STEP*N repeats it N times:
                         click:X,Y  rclick:X,Y  move:X,Y  drag:X,Y,DX,DY,STEPS  wheel:X,Y,NOTCHES
                         key:K (a character or an X key name)  idle:N  shot:FILE.png
                         reopen  close  program:N  param:INDEX=VALUE  rect  memory
  --busy-audio           a MIDI program change every 8th block while the window is open
  --busy-param INDEX     and host automation of INDEX (with others given, in turn)
 during the render, at block starts:
  --automate INDEX:FROM:TO   ramp a parameter from FROM to TO across the render
  --program-at SECONDS:N     switch to program N at that time
)";

struct Action
{
    enum Kind { Program, Param, SaveChunk, LoadChunk, Editor } kind;
    int index = 0;
    float value = 0.0f;
    std::string path;
};

struct Options
{
    std::string plugin, midiFile, outFile;
    float rate = 44100.0f;
    int block = 512;
    bool info = false, listParams = false, listPrograms = false, midiOut = false;
    bool presetChunks = false, refuseIo = false;
    std::vector<Action> actions;
    RenderOptions render;
    EditorOptions editor;
};

bool parseInt(const char* text, int& out)
{
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < -(1L << 30) || v > (1L << 30))
        return false;
    out = static_cast<int>(v);
    return true;
}

bool parseFloat(const char* text, float& out)
{
    char* end = nullptr;
    out = std::strtof(text, &end);
    return end != text && *end == '\0';
}

// Splits "A<sep>B" (and "A<sep>B<sep>C") into its parts.
std::vector<std::string> split(const std::string& text, char sep)
{
    std::vector<std::string> parts(1);
    for (char c : text)
        if (c == sep)
            parts.emplace_back();
        else
            parts.back() += c;
    return parts;
}

bool parseArguments(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        auto value = [&]() -> const char* { return next != nullptr ? argv[++i] : nullptr; };
        bool ok = true;
        if (arg == "--help" || arg == "-h")
        {
            std::printf("%s", kUsage);
            std::exit(0);
        }
        else if (arg == "--info") o.info = true;
        else if (arg == "--list-params") o.listParams = true;
        else if (arg == "--list-programs") o.listPrograms = true;
        else if (arg == "--midi-out") o.midiOut = true;
        else if (arg == "--preset-chunks") o.presetChunks = true;
        else if (arg == "--refuse-io") o.refuseIo = true;
        else if (arg == "--editor") o.actions.push_back({Action::Editor, 0, 0.0f, {}});
        else if (arg == "--busy-audio") o.editor.busyAudio = true;
        else if (arg.rfind("--", 0) == 0 && next == nullptr) ok = false;
        else if (arg == "--rate") ok = parseFloat(value(), o.rate) && o.rate >= 1000.0f && o.rate <= 768000.0f;
        else if (arg == "--block") ok = parseInt(value(), o.block) && o.block >= 1 && o.block <= 65536;
        else if (arg == "--midi") o.midiFile = value();
        else if (arg == "--out") o.outFile = value();
        else if (arg == "--tail")
        {
            float tail = 0.0f;
            ok = parseFloat(value(), tail) && tail >= 0.0f && tail <= 3600.0f;
            o.render.tailSeconds = tail;
        }
        else if (arg == "--program")
        {
            Action a{Action::Program, 0, 0.0f, {}};
            ok = parseInt(value(), a.index);
            o.actions.push_back(a);
        }
        else if (arg == "--param")
        {
            std::vector<std::string> p = split(value(), '=');
            Action a{Action::Param, 0, 0.0f, {}};
            ok = p.size() == 2 && parseInt(p[0].c_str(), a.index) && parseFloat(p[1].c_str(), a.value);
            o.actions.push_back(a);
        }
        else if (arg == "--do")
        {
            EditorStep step;
            ok = parseEditorStep(value(), step);
            o.editor.steps.push_back(step);
        }
        else if (arg == "--busy-param")
        {
            int index = 0;
            ok = parseInt(value(), index);
            o.editor.busyParameters.push_back(index);
        }
        else if (arg == "--save-chunk" || arg == "--load-chunk")
            o.actions.push_back({arg == "--save-chunk" ? Action::SaveChunk : Action::LoadChunk, 0, 0.0f, value()});
        else if (arg == "--automate")
        {
            std::vector<std::string> p = split(value(), ':');
            ParameterRamp r;
            ok = p.size() == 3 && parseInt(p[0].c_str(), r.index) && parseFloat(p[1].c_str(), r.from) &&
                 parseFloat(p[2].c_str(), r.to);
            o.render.ramps.push_back(r);
        }
        else if (arg == "--program-at")
        {
            std::vector<std::string> p = split(value(), ':');
            ProgramSwitch s;
            float seconds = 0.0f;
            ok = p.size() == 2 && parseFloat(p[0].c_str(), seconds) && seconds >= 0.0f &&
                 parseInt(p[1].c_str(), s.program);
            s.seconds = seconds;
            o.render.programSwitches.push_back(s);
        }
        else if (arg.rfind("--", 0) != 0 && o.plugin.empty()) o.plugin = arg;
        else ok = false;
        if (!ok)
        {
            std::fprintf(stderr, "vsthost: bad argument %s\n%s", arg.c_str(), kUsage);
            return false;
        }
    }
    if (o.plugin.empty())
    {
        std::fprintf(stderr, "%s", kUsage);
        return false;
    }
    return true;
}

bool readFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        K1_LOG("Cannot open " << path);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        K1_LOG("Cannot write " << path);
    return static_cast<bool>(out);
}

bool runAction(HostedPlugin& plugin, const Action& a, const Options& o)
{
    const bool preset = o.presetChunks;
    std::vector<uint8_t> bytes;
    switch (a.kind)
    {
    case Action::Program: plugin.setProgram(a.index); return true;
    case Action::Param: plugin.setParameter(a.index, a.value); return true;
    case Action::SaveChunk:
        if (!plugin.saveChunk(preset, bytes) || !writeFile(a.path, bytes))
            return false;
        std::printf("saved %zu chunk bytes to %s\n", bytes.size(), a.path.c_str());
        return true;
    case Action::LoadChunk:
        if (!readFile(a.path, bytes) || !plugin.loadChunk(preset, bytes))
            return false;
        std::printf("loaded %zu chunk bytes from %s\n", bytes.size(), a.path.c_str());
        return true;
    case Action::Editor:
    {
        const size_t before = plugin.log().automation.size();
        const bool done = runEditorSession(plugin, o.editor);
        printAutomation(plugin.log(), before);
        return done;
    }
    }
    return false;
}

int run(const Options& o)
{
    std::unique_ptr<HostedPlugin> plugin = HostedPlugin::load(o.plugin, o.rate, o.block);
    if (!plugin)
        return 1;
    plugin->acceptIoChanges(!o.refuseIo);
    for (const Action& a : o.actions)
        if (!runAction(*plugin, a, o))
            return 1;
    if (o.info)
        printInfo(*plugin);
    if (o.listParams)
        printParameters(*plugin);
    if (o.listPrograms)
        printPrograms(*plugin);
    if (!o.outFile.empty())
    {
        std::vector<TimedMidi> events;
        if (o.midiFile.empty())
            events = builtInPhrase();
        else if (!loadMidiFile(o.midiFile, events))
            return 1;
        Audio audio;
        render(*plugin, events, o.render, audio);
        if (!writeWav(o.outFile, audio))
            return 1;
        printRenderSummary(audio, plugin->log());
    }
    if (o.midiOut)
        printMidiOut(plugin->log());
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseArguments(argc, argv, options))
        return 2;
    return run(options);
}
