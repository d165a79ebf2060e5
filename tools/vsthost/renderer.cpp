// Block-by-block rendering through a hosted plug-in.

#include "tools/vsthost/renderer.h"

#include "tools/vsthost/blockBuffers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vsthost
{
void render(HostedPlugin& plugin, const std::vector<TimedMidi>& events,
            const RenderOptions& options, Audio& audio)
{
    const double rate = plugin.sampleRate();
    const int block = plugin.blockSize();
    std::vector<TimedMidi> ordered = events;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const TimedMidi& a, const TimedMidi& b) { return a.seconds < b.seconds; });
    std::vector<int64_t> frames;
    for (const TimedMidi& e : ordered)
        frames.push_back(std::max<int64_t>(0, std::llround(e.seconds * rate)));
    const int64_t end = frames.empty() ? 0 : frames.back();
    const int64_t total = std::max(end + std::llround(options.tailSeconds * rate),
                                   std::llround(options.minimumSeconds * rate));

    std::vector<ProgramSwitch> switches = options.programSwitches;
    std::stable_sort(switches.begin(), switches.end(),
                     [](const ProgramSwitch& a, const ProgramSwitch& b) { return a.seconds < b.seconds; });
    size_t nextSwitch = 0;

    audio.sampleRate = static_cast<int>(rate);
    int outputs = plugin.numOutputs();
    audio.channels.assign(static_cast<size_t>(std::max(outputs, 0)), {});
    Pins inputs, outputPins;
    inputs.resize(plugin.numInputs(), block);
    outputPins.resize(outputs, block);
    EventBlock eventBlock;
    size_t nextEvent = 0;

    plugin.resume();
    for (int64_t start = 0; start < total; start += block)
    {
        const int n = static_cast<int>(std::min<int64_t>(block, total - start));
        plugin.setPosition(start);
        for (; nextSwitch < switches.size() && switches[nextSwitch].seconds * rate < start + n;
             ++nextSwitch)
            plugin.setProgram(switches[nextSwitch].program);
        for (const ParameterRamp& r : options.ramps)
            plugin.setParameter(r.index, r.from + (r.to - r.from) * static_cast<float>(start) /
                                                      static_cast<float>(total));
        // A change asked for before this block (by the requests above, or inside
        // the previous block) is taken now, before the plug-in renders again.
        if (plugin.takeIoChange())
        {
            outputs = plugin.numOutputs();
            std::printf("io\t%d inputs\t%d outputs\tfrom frame %lld\n", plugin.numInputs(),
                        outputs, static_cast<long long>(start));
            inputs.resize(plugin.numInputs(), block);
            outputPins.resize(outputs, block);
            while (static_cast<int>(audio.channels.size()) < outputs)
                audio.channels.emplace_back(static_cast<size_t>(start), 0.0f);
        }
        size_t last = nextEvent;
        while (last < frames.size() && frames[last] < start + n)
            ++last;
        VstEvents* blockEvents = eventBlock.fill(ordered, frames, nextEvent, last, start);
        nextEvent = last;

        inputs.clear();
        outputPins.clear();
        plugin.process(blockEvents, inputs.pointers(), outputPins.pointers(), n);
        for (size_t c = 0; c < audio.channels.size(); ++c)
        {
            std::vector<float>& channel = audio.channels[c];
            if (static_cast<int>(c) < outputs)
                channel.insert(channel.end(), outputPins.pointers()[c], outputPins.pointers()[c] + n);
            else
                channel.resize(channel.size() + static_cast<size_t>(n), 0.0f);
        }
    }
    plugin.suspend();
}

} // namespace vsthost
