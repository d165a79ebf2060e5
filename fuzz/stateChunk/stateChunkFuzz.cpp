// The state loader against damaged chunks. One engine and one saved state
// (every preset changed from the factory one) live for the whole run; each
// input is either
//   byte 0 even: the rest of the input is a state block of its own, or
//   byte 0 odd:  the saved state, cut to a length (bytes 1-3, when bit 1 of
//                byte 0 is set) and with bytes XORed (4-byte groups from
//                byte 4: offset in three bytes, then the XOR value).
// The loader must never crash and never grow the store. With at most one
// byte changed it must also never leave anything but the saved or the
// factory preset in a slot, and never report a damaged preset stream or a
// cut-short block as restored. A state of its own is also played for a
// short block, before the saved state is loaded back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/stateChunk.h"
#include "tools/common/nullEngineListener.h"

namespace
{
// The custom data a plug-in window would store with the state.
struct NullListener : k1tools::NullEngineListener
{
    void serializeCustomData(std::vector<uint8_t>& data) override { data.assign(20, 7); }
};

struct Fixture
{
    NullListener listener;
    std::unique_ptr<k1lib::Engine> engine = std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType::Vst);
    std::vector<uint8_t> saved;
    std::vector<k1lib::SinglePreset> singles;
    std::vector<k1lib::MultiPreset> multis;
    size_t streamsAt = 0;     // the single count field: from here on damage is detectable
    size_t currentMultiAt = 0; // ... except in the current multi's index

    Fixture()
    {
        for (size_t i = 0; i < engine->getSingleCount(); ++i)
        {
            k1lib::SinglePreset p = *engine->getSinglePreset(i);
            p.volume = static_cast<uint8_t>((p.volume + 1) % 100);
            engine->setSingle(i, p);
        }
        for (size_t i = 0; i < engine->getMultiCount(); ++i)
        {
            k1lib::MultiPreset m = *engine->getMultiPreset(i);
            m.volume = (m.volume + 1) % 100;
            engine->setMulti(i, m);
        }
        engine->setSingle(5);
        engine->setMulti(6);
        engine->saveState(saved);
        singles.assign(engine->getSinglePreset(0), engine->getSinglePreset(0) + engine->getSingleCount());
        multis.assign(engine->getMultiPreset(0), engine->getMultiPreset(0) + engine->getMultiCount());
        streamsAt = k1lib::stateChunk::kCustomAt + 20 + 4;
        currentMultiAt = streamsAt + 8 + (static_cast<size_t>(saved[streamsAt + 4]) | static_cast<size_t>(saved[streamsAt + 5]) << 8 |
                                          static_cast<size_t>(saved[streamsAt + 6]) << 16);
    }

    // Every slot holds its saved or its factory preset.
    void check() const
    {
        if (engine->getSingleCount() != singles.size() || engine->getMultiCount() != multis.size())
            std::abort();
        for (size_t i = 0; i < singles.size(); ++i)
            if (!(*engine->getSinglePreset(i) == singles[i]) && !(*engine->getSinglePreset(i) == k1lib::factorySingles[i]))
                std::abort();
        for (size_t i = 0; i < multis.size(); ++i)
            if (!(*engine->getMultiPreset(i) == multis[i]) && !(*engine->getMultiPreset(i) == k1lib::factoryMultis[i]))
                std::abort();
    }

    void play()
    {
        float left[32] = {};
        float right[32] = {};
        float* out[2] = {left, right};
        std::vector<k1lib::SMidiEvent> events(1);
        events[0].status = static_cast<uint8_t>(0x90 | (engine->getConfig().receiveChannel & 0x0F));
        events[0].data1 = 60;
        events[0].data2 = 100;
        engine->process(out, 2, 32, events);
        engine->clearAllVoices();
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Fixture f;
    if (size < 1)
        return 0;
    if ((data[0] & 1) == 0)
    {
        f.engine->loadState(std::vector<uint8_t>(data + 1, data + size));
        f.play();
        f.engine->loadState(f.saved); // back to presets the checks know
        return 0;
    }

    std::vector<uint8_t> block = f.saved;
    bool detectable = false;
    if ((data[0] & 2) && size >= 4)
    {
        const size_t length = (static_cast<size_t>(data[1]) | static_cast<size_t>(data[2]) << 8 |
                               static_cast<size_t>(data[3]) << 16) % (block.size() + 1);
        detectable = length < block.size();
        block.resize(length);
    }
    std::vector<size_t> patched;
    for (size_t i = 4; i + 4 <= size && !block.empty(); i += 4)
    {
        const size_t at = (static_cast<size_t>(data[i]) | static_cast<size_t>(data[i + 1]) << 8 |
                           static_cast<size_t>(data[i + 2]) << 16) % block.size();
        block[at] ^= data[i + 3];
        patched.push_back(at);
    }
    size_t changed = 0;
    for (size_t at : patched) // two flips of one byte may cancel
    {
        if (block[at] == f.saved[at])
            continue;
        ++changed;
        detectable |= at < 4 || (at >= f.streamsAt && !(at >= f.currentMultiAt && at < f.currentMultiAt + 4));
    }
    const bool restored = f.engine->loadState(block);
    if (changed > 1)
    {
        // Two changes inside one block can keep its 7-bit checksum: such a
        // block is indistinguishable from a saved one. Only safety counts.
        if (f.engine->getSingleCount() != f.singles.size() || f.engine->getMultiCount() != f.multis.size())
            std::abort();
        f.engine->loadState(f.saved);
        return 0;
    }
    if (restored && detectable)
        std::abort();
    // Not played: the restored parameter values (damaged ones too) would
    // then edit the current presets, which the next check would take for
    // presets out of place.
    f.check();
    return 0;
}
