#include "tools/vsthost/report.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace vsthost
{
namespace
{
std::string fourCC(VstInt32 id)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xff);
        s += c >= 32 && c < 127 ? c : '?';
    }
    return s;
}
} // namespace

void printInfo(HostedPlugin& p)
{
    std::printf("name\t%s\n", p.effectName().c_str());
    std::printf("vendor\t%s\n", p.vendorString().c_str());
    std::printf("product\t%s\n", p.productString().c_str());
    std::printf("vendor version\t%ld\n", static_cast<long>(p.dispatch(effGetVendorVersion)));
    std::printf("unique id\t%s\t%d\n", fourCC(p.effect()->uniqueID).c_str(), p.effect()->uniqueID);
    std::printf("version\t%d\n", p.effect()->version);
    std::printf("vst version\t%ld\n", static_cast<long>(p.dispatch(effGetVstVersion)));
    std::printf("category\t%ld\n", static_cast<long>(p.dispatch(effGetPlugCategory)));
    std::printf("inputs\t%d\noutputs\t%d\n", p.numInputs(), p.numOutputs());
    std::printf("parameters\t%d\nprograms\t%d\n", p.numParams(), p.numPrograms());
    std::printf("flags\t%s%s%s%s%s\n", p.hasFlag(effFlagsIsSynth) ? " synth" : "",
                p.hasFlag(effFlagsHasEditor) ? " editor" : "",
                p.hasFlag(effFlagsProgramChunks) ? " chunks" : "",
                p.hasFlag(effFlagsCanReplacing) ? " replacing" : "",
                p.hasFlag(effFlagsCanDoubleReplacing) ? " double" : "");
    std::printf("midi channels\t%ld in\t%ld out\n",
                static_cast<long>(p.dispatch(effGetNumMidiInputChannels)),
                static_cast<long>(p.dispatch(effGetNumMidiOutputChannels)));
    for (const char* query : {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents",
                              "sendVstMidiEvent", "receiveVstTimeInfo"})
        std::printf("can do\t%s\t%ld\n", query, static_cast<long>(p.canDo(query)));
}

void printParameters(HostedPlugin& p)
{
    for (int i = 0; i < p.numParams(); ++i)
        std::printf("param\t%d\t%s\t%s\t%s\t%g\n", i, p.parameterName(i).c_str(),
                    p.parameterDisplay(i).c_str(), p.parameterLabel(i).c_str(),
                    static_cast<double>(p.parameter(i)));
}

void printPrograms(HostedPlugin& p)
{
    std::string name;
    bool indexed = p.numPrograms() > 0 && p.programName(0, name);
    int current = p.program();
    for (int i = 0; i < p.numPrograms(); ++i)
    {
        if (indexed)
            p.programName(i, name);
        else
        {
            // Without indexed names the only way is to visit each program.
            p.setProgram(i);
            name = p.currentProgramName();
        }
        std::printf("program\t%d\t%s\n", i, name.c_str());
    }
    if (!indexed && p.numPrograms() > 0)
        p.setProgram(current);
}

void printRenderSummary(const Audio& audio, const HostLog& log)
{
    std::printf("rendered\t%zu frames\t%zu channels\t%d Hz\n", audio.frames(),
                audio.channels.size(), audio.sampleRate);
    for (size_t c = 0; c < audio.channels.size(); ++c)
    {
        double peak = 0.0, sum = 0.0;
        for (float s : audio.channels[c])
        {
            peak = std::fmax(peak, std::fabs(static_cast<double>(s)));
            sum += static_cast<double>(s) * s;
        }
        double rms = audio.frames() > 0 ? std::sqrt(sum / static_cast<double>(audio.frames())) : 0.0;
        std::printf("channel\t%zu\tpeak\t%.6f\trms\t%.6f\n", c, peak, rms);
    }
    std::printf("host\twants midi %s\t%d io changes\t%d display updates\t%zu automations\t%zu midi out\n",
                log.wantsMidi ? "yes" : "no", log.ioChanges, log.displayUpdates,
                log.automation.size(), log.midiOut.size());
}

void printMidiOut(const HostLog& log)
{
    for (const MidiOut& m : log.midiOut)
    {
        std::printf("midi out\t%lld\t", static_cast<long long>(m.frame));
        for (size_t i = 0; i < m.bytes.size(); ++i)
            std::printf(i == 0 ? "%02x" : " %02x", m.bytes[i]);
        std::printf("\n");
    }
}

void printAutomation(const HostLog& log, size_t first)
{
    for (size_t i = first; i < log.automation.size(); ++i)
    {
        const Automation& a = log.automation[i];
        std::printf("automate\t%lld\t%d\t%.6f\n", static_cast<long long>(a.frame), a.index, a.value);
    }
}

} // namespace vsthost
