// wavegallery: renders each of the 256 waves played at key 60 (261.63 Hz) into
// <dir>/NNN_Name.wav (32-bit float, 49920 Hz, linear interpolation like the
// sources) and draws <dir>/waves.png, so the wave set can be heard and seen.
// Looping waves play for two seconds, one-shots once to their end.
// Usage: wavegallery <output directory>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/wavLoader.h"
#include "engine/waveforms.h"
#include "tools/wavegallery/sheet.h"

namespace
{
constexpr double kOutputRate = 49920.0;
constexpr double kKeyHz = 261.6255653; // key 60
constexpr double kLoopSeconds = 2.0;
constexpr double kEndFadeSeconds = 0.01;

std::vector<float> render(const k1lib::Waveforms::Waveform& wave)
{
    const auto& b = wave.keys[60];
    const double step = kKeyHz / b.baseFrequency * wave.sampleRate / kOutputRate;
    const size_t count = wave.loop ? static_cast<size_t>(kLoopSeconds * kOutputRate)
                                   : static_cast<size_t>(static_cast<double>(b.length) / step);
    std::vector<float> out(count);
    double pos = 0.0;
    for (size_t i = 0; i < count; ++i)
    {
        const size_t at = static_cast<size_t>(pos) % b.length;
        const double frac = pos - std::floor(pos);
        const double s0 = b.data[at], s1 = b.data[(at + 1) % b.length];
        out[i] = static_cast<float>((s0 + (s1 - s0) * frac) / 128.0);
        pos += step;
    }
    const size_t fade = std::min(count, static_cast<size_t>(kEndFadeSeconds * kOutputRate));
    for (size_t i = 0; i < fade; ++i)
        out[count - 1 - i] *= static_cast<float>(i) / static_cast<float>(fade);
    return out;
}

std::string fileName(int w)
{
    std::string name = k1lib::Waveforms::getName(static_cast<unsigned char>(w));
    std::string out = name.substr(0, 3) + "_";
    for (char c : name.substr(5))
        out += (c == ' ' || c == '/') ? '_' : c;
    return out + ".wav";
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    auto set = std::make_unique<k1lib::Waveforms>();
    int failures = 0;
    for (int w = 0; w < k1lib::kWaveformCount; ++w)
    {
        std::vector<k1lib::CuePoint> cues{{0, k1lib::Waveforms::getName(static_cast<unsigned char>(w))}};
        if (!k1lib::WavLoader::write(dir + "/" + fileName(w), render(set->waves[w]), static_cast<int>(kOutputRate),
                                     &cues))
            ++failures;
    }
    if (!wavegallery::drawSheet(*set, dir + "/waves.png"))
        ++failures;
    std::printf("%d waves written to %s, sheet %s/waves.png\n", k1lib::kWaveformCount - failures, dir.c_str(),
                dir.c_str());
    return failures == 0 ? 0 : 1;
}
