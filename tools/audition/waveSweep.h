#pragma once

// The waves heard across the keyboard: each wave alone in a test single (one
// source, full level, no modulation) played through the engine at 44.1 kHz
// with its resampler, as a host plays the plug-in, at the keys of a sweep
// from C1 to C8 that takes in both sides of every split key. Per key: the
// note (the key's harmonics below 20 kHz, split into the fundamental and the
// harmonics above it) and what lies between the harmonics, which is what
// folded back from above the engine's Nyquist frequency. Levels in dBFS of
// power (a full-scale sine is -3 dB).

#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "tools/audition/measure.h"

namespace audition
{
// C1 to C8 in half octaves, the keys either side of the splits at 48, 60,
// 72 and 84, and the two edges of the top band (96, 97).
const std::vector<int>& sweepKeys();
constexpr int kHarmonicKeys[] = {36, 60, 84};

struct WaveKeyFigures
{
    int key = 0;
    double noteDb = kSilentDb;        // the key's harmonics below 20 kHz
    double fundamentalDb = kSilentDb; // the first of them
    double upperDb = kSilentDb;       // the second and higher
    double thirdDb = kSilentDb;       // the third and higher: brightness
    std::vector<double> harmonicDb;   // each harmonic below 20 kHz, index k - 1
    double inharmonicDb = kSilentDb;  // between the harmonics, below 20 kHz
};

struct WaveFigures
{
    int wave = 0; // 0-255
    std::string name;
    std::vector<WaveKeyFigures> keys; // sweepKeys() order; empty for PCM waves
    // Single-cycle waves: the harmonics below, in dB re all of them together;
    // sampled waves: band levels over time (fingerprint.h).
    std::vector<double> fingerprint;
    // Harmonic levels at C2, C4 and C6 (kHarmonicKeys), dB re the strongest,
    // up to 16 kHz (index k-1).
    std::vector<std::vector<double>> harmonics;

    const WaveKeyFigures* at(int key) const;
};

class WaveAuditioner
{
public:
    WaveAuditioner();
    ~WaveAuditioner();
    WaveAuditioner(const WaveAuditioner&) = delete;
    WaveAuditioner& operator=(const WaveAuditioner&) = delete;

    // Plays the waves of another wave ROM image from now on (a test's
    // deliberately broken copy). False when the image does not load.
    bool loadRom(const std::vector<unsigned char>& image);

    // Single-cycle waves: the key sweep, fingerprint and C4 harmonics; PCM
    // waves: the fingerprint.
    WaveFigures measure(int wave);
    // One held note of the wave, `seconds` long, from note-on.
    Stereo play(int wave, int key, double seconds);

private:
    std::unique_ptr<k1lib::IEngineListener> m_listener;
    std::unique_ptr<k1lib::Engine> m_engine;
};
} // namespace audition
