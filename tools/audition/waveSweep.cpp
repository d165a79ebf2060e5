// The wave sweep: a test single per wave, held notes, spectra per key.

#include "tools/audition/waveSweep.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "patch/waveformNames.h"
#include "tools/audition/fingerprint.h"
#include "tools/audition/spectrum.h"
#include "tools/common/nullEngineListener.h"

namespace audition
{
namespace
{
constexpr float kHostRate = 44100.0f;
constexpr int kBlock = 512;
// The note settles (resampler delay, attack) before the window starts.
constexpr size_t kLeadIn = 2048;
constexpr double kLimitHz = 20000.0;

k1lib::SinglePreset waveSingle(int wave)
{
    k1lib::SinglePreset p;
    std::memcpy(p.name, "Wave test", 9);
    p.volume = 99; // unity gain
    p.pressureToFreq = p.vibratoDepth = p.pressureToVibrato = 50;
    p.autoBendDepth = 50;
    p.velToDepth = p.autoBendKeyScaleToTime = 50;
    p.lfoSpeed = 0;
    p.mute[1] = p.mute[2] = p.mute[3] = true;
    for (k1lib::SingleSource& s : p.sources)
    {
        s.fine = 50;
        s.coarse = 84; // no transposition
        s.wave = static_cast<uint8_t>(wave);
        s.keyTrack = true;
        s.envLevel = 100;
        s.envSustain = 100;
        s.envRelease = 0;
        s.levelModVel = s.levelModPressure = s.levelModKeyScale = 50;
        s.timeModVel = s.timeModKeyScale = s.freqKeyScaleToFreq = 50;
    }
    return p;
}

// Long enough that the window's main lobe stays within a quarter of the
// spacing of the harmonics.
size_t windowFor(double f0)
{
    size_t n = 4096;
    while (kMainLobeBins * kHostRate / static_cast<double>(n) > 0.25 * f0 && n < 65536)
        n *= 2;
    return n;
}
// Harmonic levels from the peak bin of each harmonic's zone, up to 16 kHz.
std::vector<double> harmonicLevels(const Spectrum& s, double f0)
{
    double strongest = 0.0;
    std::vector<double> levels;
    for (int h = 1; h * f0 <= 16000.0; ++h)
    {
        const auto centre = static_cast<size_t>(std::lround(h * f0 / s.binHz));
        double peak = 0.0;
        for (size_t b = centre - 2; b <= centre + 2 && b < s.power.size(); ++b)
            peak = std::max(peak, s.power[b]);
        levels.push_back(peak);
        strongest = std::max(strongest, peak);
    }
    for (double& l : levels)
        l = powerDb(l / std::max(strongest, 1e-30));
    return levels;
}
} // namespace

const std::vector<int>& sweepKeys()
{
    static const std::vector<int> keys = {24, 30, 36, 42, 47, 48, 49, 54, 59, 60, 61, 66,
                                          71, 72, 73, 78, 83, 84, 85, 90, 96, 97, 102, 108};
    return keys;
}

const WaveKeyFigures* WaveFigures::at(int key) const
{
    for (const WaveKeyFigures& k : keys)
        if (k.key == key)
            return &k;
    return nullptr;
}

WaveAuditioner::WaveAuditioner()
    : m_listener(std::make_unique<k1tools::NullEngineListener>()),
      m_engine(std::make_unique<k1lib::Engine>(m_listener.get(), k1lib::PluginType::Default))
{
    m_engine->setSamplerate(kHostRate);
    m_engine->setPlayMode(k1lib::PlayMode::Single);
    m_engine->setSingle(0);
}

WaveAuditioner::~WaveAuditioner() = default;

bool WaveAuditioner::loadRom(const std::vector<unsigned char>& image)
{
    // The engine fills its wave set once and lends it out read-only; no
    // voice sounds between two notes here, so refilling it in place is safe.
    m_engine->clearAllVoices();
    auto& waves = const_cast<k1lib::Waveforms&>(m_engine->getWaveforms());
    return waves.loadFromMemory(image.data(), image.size());
}

Stereo WaveAuditioner::play(int wave, int key, double seconds)
{
    const k1lib::SinglePreset single = waveSingle(wave);
    m_engine->setSingle(0, single);
    const auto frames = static_cast<size_t>(seconds * kHostRate);
    Stereo out;
    out.left.resize(frames);
    out.right.resize(frames);
    std::vector<k1lib::SMidiEvent> events(1);
    events[0].status = 0x90;
    events[0].data1 = static_cast<uint8_t>(key);
    events[0].data2 = 100;
    events[0].sampleOffset = 0;
    for (size_t at = 0; at < frames; at += kBlock)
    {
        const int n = static_cast<int>(std::min<size_t>(kBlock, frames - at));
        float* outputs[2] = {out.left.data() + at, out.right.data() + at};
        m_engine->process(outputs, 2, n, events);
        events.clear();
    }
    // The next note starts from silence.
    std::vector<float> scratch(2 * kBlock);
    float* outputs[2] = {scratch.data(), scratch.data() + kBlock};
    events.resize(1);
    events[0].status = 0x80;
    m_engine->process(outputs, 2, 1, events);
    m_engine->clearAllVoices();
    events.clear();
    m_engine->process(outputs, 2, kBlock, events);
    m_engine->clearAllVoices();
    return out;
}

WaveFigures WaveAuditioner::measure(int wave)
{
    WaveFigures f;
    f.wave = wave;
    f.name = k1lib::g_waveformNames[wave] + 5;
    const bool singleCycle = wave < k1lib::kSingleCycleWaveformCount;
    if (singleCycle)
    {
        for (int key : sweepKeys())
        {
            const double f0 = keyHz(key);
            const size_t n = windowFor(f0);
            const Stereo x = play(wave, key, static_cast<double>(kLeadIn + n) / kHostRate);
            const Spectrum s = powerSpectrum(x.left, kLeadIn, n, kHostRate);
            const NoteSplit split = splitNote(s, f0, kLimitHz);
            WaveKeyFigures k;
            k.key = key;
            k.noteDb = powerDb(split.note());
            k.fundamentalDb = powerDb(split.fundamental);
            k.upperDb = powerDb(split.upper);
            k.thirdDb = powerDb(split.third);
            for (double power : split.harmonics)
                k.harmonicDb.push_back(powerDb(power));
            k.inharmonicDb = powerDb(split.inharmonic);
            f.keys.push_back(k);
            if (std::find(std::begin(kHarmonicKeys), std::end(kHarmonicKeys), key) != std::end(kHarmonicKeys))
                f.harmonics.push_back(harmonicLevels(s, f0));
        }
        // A single-cycle wave is its harmonics: bands would merge neighbours
        // ("Sin 9th" and "Sin 10th" share a third of an octave).
        double total = 0.0;
        for (const auto& levels : f.harmonics)
            for (double l : levels)
                total += std::pow(10.0, l / 10.0);
        for (const auto& levels : f.harmonics)
            for (double l : levels)
                f.fingerprint.push_back(std::max(l - powerDb(total), kFingerprintFloorDb));
    }
    else
    {
        // A sampled wave changes over time, and waves that share a start
        // part after it (a loop, its alternating copy): 2.4 s at C4.
        const Stereo x = play(wave, 60, 2.4);
        f.fingerprint = audition::fingerprint(
            x, kHostRate, {{0.0, 0.1}, {0.1, 0.3}, {0.3, 0.6}, {0.6, 1.0}, {1.0, 1.6}, {1.6, 2.4}});
    }
    return f;
}
} // namespace audition
