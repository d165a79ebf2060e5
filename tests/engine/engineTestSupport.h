#pragma once

// Shared helpers of the engine tests: a listener that counts, presets built
// field by field, and rendering with events at given samples.

#include <cmath>
#include <cstddef>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "patch/parameter.h"

namespace k1test
{
struct CountingListener : k1lib::IEngineListener
{
    int playModeChanges = 0;
    int configChanges = 0;
    int parameterChanges = 0;
    void onChange(const k1lib::Change& change) override
    {
        parameterChanges += change.kind == k1lib::ChangeKind::ParameterChanged;
        playModeChanges += change.kind == k1lib::ChangeKind::PlayModeChanged;
        configChanges += change.kind == k1lib::ChangeKind::ConfigChanged;
    }
    void sendMidi(const k1lib::SMidiEvent&) override {}
    void serializeCustomData(std::vector<uint8_t>&) override {}
    void deserializeCustomData(const std::vector<uint8_t>&) override {}
};

// A source that plays its wave plainly: full level, instant attack, full
// sustain, no modulation.
inline k1lib::SingleSource plainSource(uint8_t wave)
{
    k1lib::SingleSource s;
    s.fine = 50;
    s.coarse = 84;
    s.wave = wave;
    s.keyTrack = true;
    s.velCurve = 0;
    s.envLevel = 100;
    s.envDelay = 0;
    s.envAttack = 0;
    s.envDecay = 50;
    s.envSustain = 100;
    s.envRelease = 20;
    s.levelModVel = 50;
    s.levelModPressure = 50;
    s.levelModKeyScale = 50;
    s.timeModVel = 50;
    s.timeModKeyScale = 50;
    s.freqKeyScaleToFreq = 50;
    return s;
}

// Two sources, the second muted: source 1 alone plays the wave (0 = sine).
inline k1lib::SinglePreset plainSingle(uint8_t wave = 0)
{
    k1lib::SinglePreset p;
    const char name[] = "Test";
    for (size_t i = 0; i < sizeof(name); ++i)
        p.name[i] = name[i];
    p.volume = 99;
    p.polyMode = 1; // Poly 2
    p.source2or4 = 0;
    p.pressureToFreq = 50;
    p.vibratoDepth = 50;
    p.pressureToVibrato = 50;
    p.pitchBendDepth = 12;
    p.lfoSpeed = 0;
    p.lfoShape = 0;
    p.keyScaleCurve = 0;
    p.vibWheelMode = 1; // the wheel moves the speed, not the depth
    p.autoBendDepth = 50;
    p.autoBendTime = 0;
    p.velToDepth = 50;
    p.autoBendKeyScaleToTime = 50;
    for (int s = 0; s < 4; ++s)
        p.sources[s] = plainSource(wave);
    p.mute[1] = true;
    p.mute[2] = true;
    p.mute[3] = true;
    return p;
}

// A multi whose first `sections` sections play singles firstSingle,
// firstSingle + 1, ... over the whole keyboard, section s on channel s,
// centred, at full level.
inline k1lib::MultiPreset channelMulti(int sections, int firstSingle = 0)
{
    k1lib::MultiPreset m;
    m.volume = 99;
    for (int s = 0; s < sections; ++s)
    {
        k1lib::MultiSection& sec = m.sections[s];
        sec.single = firstSingle + s;
        sec.zoneLow = 0;
        sec.zoneHigh = 127;
        sec.poly = 0;
        sec.output = 1;
        sec.channel = s;
        sec.level = 100;
    }
    return m;
}

inline k1lib::SMidiEvent midi(uint8_t status, uint8_t d1, uint8_t d2, int32_t offset = 0)
{
    k1lib::SMidiEvent e;
    e.status = status;
    e.data1 = d1;
    e.data2 = d2;
    e.sampleOffset = offset;
    return e;
}

// An engine with its listener; the engine is large, so it lives on the heap.
struct TestEngine
{
    CountingListener listener;
    std::unique_ptr<k1lib::Engine> engine = std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType::Vst);

    // Renders frames samples on `channels` outputs in blocks of blockSize;
    // events are given at absolute samples. Returns channel-major samples.
    std::vector<std::vector<float>> render(int frames, std::vector<k1lib::SMidiEvent> events = {}, int channels = 2,
                                           int blockSize = 256)
    {
        std::vector<std::vector<float>> out(channels, std::vector<float>(frames, 0.0f));
        size_t next = 0;
        for (int start = 0; start < frames; start += blockSize)
        {
            const int n = std::min(blockSize, frames - start);
            std::vector<k1lib::SMidiEvent> block;
            while (next < events.size() && events[next].sampleOffset < start + n)
            {
                k1lib::SMidiEvent e = events[next++];
                e.sampleOffset -= start;
                block.push_back(e);
            }
            std::vector<float*> ptrs(channels);
            for (int c = 0; c < channels; ++c)
                ptrs[c] = out[c].data() + start;
            engine->process(ptrs.data(), channels, n, block);
        }
        return out;
    }
};

// Frequency from the positive-going zero crossings of samples[from..to),
// placed by linear interpolation, at the given rate.
inline double measureFrequency(const std::vector<float>& x, size_t from, size_t to, double rate)
{
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i)
    {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f)
        {
            const double t = static_cast<double>(i - 1) + x[i - 1] / static_cast<double>(x[i - 1] - x[i]);
            if (first < 0.0)
                first = t;
            last = t;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0.0;
    return (crossings - 1) * rate / (last - first);
}

inline double rms(const std::vector<float>& x, size_t from, size_t to)
{
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}
} // namespace k1test
