#pragma once

// Shared helpers of the preset store tests: a listener that records every
// call in order (with the engine's view of one watched parameter at that
// moment, to show that parameters reload before the listener hears of a
// change), and an engine that owns it.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "tests/support/changeText.h"

namespace k1store
{
struct RecordingListener : k1lib::IEngineListener
{
    const k1lib::Engine* engine = nullptr;
    k1lib::EParam watched = k1lib::Param_Volume;
    std::vector<std::string> calls;
    std::vector<float> watchedAtCall; // real value of `watched` at each call
    std::vector<std::vector<uint8_t>> sent;
    std::vector<uint8_t> customOut;    // what serializeCustomData hands over
    std::vector<std::vector<uint8_t>> customIn;

    void record(const std::string& call)
    {
        calls.push_back(call);
        watchedAtCall.push_back(engine ? engine->getParameterManager().getReal(watched) : 0.0f);
    }

    void onChange(const k1lib::Change& c) override { record(k1test::describe(c)); }
    void sendMidi(const k1lib::SMidiEvent& e) override
    {
        record("sendMidi");
        sent.emplace_back(e.sysexData(), e.sysexData() + e.sysexSize());
    }
    void serializeCustomData(std::vector<uint8_t>& data) override
    {
        record("serializeCustomData");
        data = customOut;
    }
    void deserializeCustomData(const std::vector<uint8_t>& data) override
    {
        record("deserializeCustomData");
        customIn.push_back(data);
    }

    void clear()
    {
        calls.clear();
        watchedAtCall.clear();
        sent.clear();
        customIn.clear();
    }
};

// An engine with its recording listener; the engine is large, so it lives
// on the heap.
struct StoreEngine
{
    RecordingListener listener;
    std::unique_ptr<k1lib::Engine> engine;

    StoreEngine() : engine(std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType::Vst))
    {
        listener.engine = engine.get();
    }
    k1lib::Engine* operator->() { return engine.get(); }

    // Lets queued parameter values (and ramps of the given length) reach
    // the presets, as blocks would.
    void settle(int frames = 4)
    {
        std::vector<float> left(256), right(256);
        float* out[2] = {left.data(), right.data()};
        std::vector<k1lib::SMidiEvent> none;
        for (int done = 0; done < frames; done += 256)
            engine->processAudio(out, 2, std::min(256, frames - done), none);
    }
};

// A single that differs from every factory single in most fields.
inline k1lib::SinglePreset distinctSingle(uint32_t seed)
{
    k1lib::SinglePreset p;
    const std::string name = "Test" + std::to_string(seed % 100000);
    for (size_t i = 0; i < name.size() && i < 10; ++i)
        p.name[i] = name[i];
    p.volume = static_cast<uint8_t>(seed % 100);
    p.polyMode = seed % 3;
    p.source2or4 = seed & 1;
    p.ampModS1S2 = (seed >> 1) % 3;
    p.ampModS3S4 = (seed >> 2) % 3;
    p.pressureToFreq = static_cast<uint8_t>((seed * 7) % 101);
    p.vibratoDepth = static_cast<uint8_t>((seed * 11) % 101);
    p.pressureToVibrato = static_cast<uint8_t>((seed * 13) % 101);
    p.pitchBendDepth = seed % 13;
    p.lfoSpeed = static_cast<uint8_t>((seed * 17) % 101);
    p.lfoShape = seed % 4;
    p.keyScaleCurve = seed % 5;
    p.vibWheelMode = (seed >> 3) & 1;
    p.autoBendDepth = static_cast<uint8_t>((seed * 19) % 101);
    p.autoBendTime = static_cast<uint8_t>((seed * 23) % 101);
    p.velToDepth = static_cast<uint8_t>((seed * 29) % 101);
    p.autoBendKeyScaleToTime = static_cast<uint8_t>((seed * 31) % 101);
    for (int s = 0; s < 4; ++s)
    {
        k1lib::SingleSource& src = p.sources[s];
        const uint32_t k = seed * 4 + static_cast<uint32_t>(s);
        p.mute[s] = (k >> 4) & 1;
        src.fine = (k * 3) % 101;
        src.coarse = (k * 5) % 128;
        src.wave = static_cast<uint8_t>(k * 37);
        src.keyTrack = k & 1;
        src.vibABend = (k >> 1) & 1;
        src.pressureToFreq = (k >> 2) & 1;
        src.velCurve = k % 8;
        src.envLevel = (k * 41) % 101;
        src.envDelay = (k * 43) % 101;
        src.envAttack = (k * 47) % 101;
        src.envDecay = (k * 53) % 101;
        src.envSustain = (k * 59) % 101;
        src.envRelease = (k * 61) % 101;
        src.levelModVel = (k * 67) % 101;
        src.levelModPressure = (k * 71) % 101;
        src.levelModKeyScale = (k * 73) % 101;
        src.timeModVel = (k * 79) % 101;
        src.timeModKeyScale = (k * 83) % 101;
        src.freqKeyScaleToFreq = (k * 89) % 101;
    }
    return p;
}

inline k1lib::MultiPreset distinctMulti(uint32_t seed)
{
    k1lib::MultiPreset m;
    const std::string name = "Multi" + std::to_string(seed % 10000);
    for (size_t i = 0; i < name.size() && i < 10; ++i)
        m.name[i] = name[i];
    m.volume = seed % 100;
    for (uint32_t s = 0; s < 8; ++s)
    {
        k1lib::MultiSection& sec = m.sections[s];
        const uint32_t k = seed * 8 + s;
        sec.single = static_cast<int32_t>(k % 64);
        sec.zoneLow = static_cast<int32_t>(k % 60);
        sec.zoneHigh = static_cast<int32_t>(60 + k % 68);
        sec.poly = static_cast<int32_t>(k % 10);
        sec.output = static_cast<int32_t>(k % 3);
        sec.midiMode = static_cast<int32_t>((k / 3) % 3);
        sec.channel = static_cast<int32_t>(k % 16);
        sec.velocitySwitch = static_cast<int32_t>((k / 5) % 3);
        sec.transpose = static_cast<int32_t>(k % 49) - 24;
        sec.tune = static_cast<int32_t>(k % 101) - 50;
        sec.level = static_cast<int32_t>(k % 101);
    }
    return m;
}
} // namespace k1store
