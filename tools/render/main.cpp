// k1render: plays a Standard MIDI File, or the built-in demo phrase, through
// the engine and writes a stereo WAV file.
//
//   k1render [--midi FILE] [--single N | --multi N] [--tail SECONDS] [--rate HZ] --out FILE.wav
//   k1render [--single N | --multi N] --write-midi FILE.mid   (the phrase it would play)

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/render/renderer.h"
#include "tools/render/smfWriter.h"

namespace
{
void usage()
{
    std::fprintf(stderr,
                 "usage: k1render [--midi FILE.mid] [--single N | --multi N] [--tail SECONDS] [--rate HZ] "
                 "--out FILE.wav\n"
                 "       k1render [--single N | --multi N] --write-midi FILE.mid\n"
                 "Without --midi the demo phrase plays. N is a working preset index (singles 0-967, "
                 "multis 0-383); default: single 0.\n"
                 "--rate renders at a host rate of 8000-384000 Hz through the resampler; default: the "
                 "engine's own 49920 Hz.\n");
}

bool number(const char* text, long& value)
{
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= 0;
}
} // namespace

int main(int argc, char** argv)
{
    k1render::RenderOptions options;
    std::string out;
    std::string midiOut;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long value = 0;
        if (arg == "--midi" && hasValue)
            options.midiFile = argv[++i];
        else if (arg == "--out" && hasValue)
            out = argv[++i];
        else if (arg == "--write-midi" && hasValue)
            midiOut = argv[++i];
        else if ((arg == "--single" || arg == "--multi") && hasValue && number(argv[i + 1], value))
        {
            options.multi = arg == "--multi";
            options.preset = static_cast<size_t>(value);
            ++i;
        }
        else if (arg == "--tail" && hasValue)
        {
            options.tailSeconds = std::strtod(argv[++i], nullptr);
            if (!(options.tailSeconds >= 0.0 && options.tailSeconds <= 60.0))
            {
                usage();
                return 2;
            }
        }
        else if (arg == "--rate" && hasValue)
        {
            options.sampleRate = std::strtod(argv[++i], nullptr);
            if (!(options.sampleRate >= k1render::kMinSampleRate && options.sampleRate <= k1render::kMaxSampleRate))
            {
                usage();
                return 2;
            }
        }
        else
        {
            usage();
            return 2;
        }
    }
    if (out.empty() && midiOut.empty())
    {
        usage();
        return 2;
    }
    if (!midiOut.empty())
    {
        std::vector<k1render::TimedEvent> events;
        if (!k1render::playedEvents(options, events) || !k1render::writeSmfFile(midiOut, events))
            return 1;
        std::printf("%s: %zu events\n", midiOut.c_str(), events.size());
        if (out.empty())
            return 0;
    }

    k1render::RenderResult result;
    if (!k1render::render(options, result) || !k1render::writeWav(out, result))
        return 1;
    double peak = 0.0;
    for (size_t i = 0; i < result.left.size(); ++i)
        peak = std::max({peak, std::fabs(static_cast<double>(result.left[i])), std::fabs(static_cast<double>(result.right[i]))});
    std::printf("%s: %.2f s at %d Hz, peak %.3f\n", out.c_str(), result.seconds(), result.sampleRate, peak);
    return 0;
}
