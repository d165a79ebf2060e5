// Feeds arbitrary bytes to every WAV reader and to the waveform set built on
// them: nothing may read outside the input, and every wave must stay playable.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/wavLoader.h"
#include "engine/waveforms.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::unique_ptr<k1lib::Waveforms> set = [] {
        // The log goes to stdout; keep the fuzzer's own report readable.
        std::freopen("/dev/null", "w", stdout);
        return std::make_unique<k1lib::Waveforms>();
    }();

    k1lib::Data d;
    std::vector<k1lib::CuePoint> cues;
    if (k1lib::WavLoader::load(d, &cues, data, size))
    {
        if (d.data < data || d.data + d.size > data + size)
            std::abort();
    }
    std::vector<char> bytes;
    std::vector<float> floats;
    int rate = 0;
    k1lib::WavLoader::load(bytes, rate, &cues, data, size);
    k1lib::WavLoader::load(floats, rate, nullptr, data, size);

    set->loadFromMemory(data, size);
    for (const auto& wave : set->waves)
    {
        for (const auto& key : wave.keys)
        {
            if (key.data == nullptr || key.length == 0 || (key.length & (key.length - 1)) != 0)
                std::abort();
            volatile char last = key.data[key.length - 1]; // must be readable
            (void)last;
        }
    }
    return 0;
}
