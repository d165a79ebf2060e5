// Feeds arbitrary bytes to the Standard MIDI File reader as an in-memory file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "patch/midiFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::vector<uint8_t> copy(data, data + size);
    FILE* file = fmemopen(copy.data(), copy.size(), "rb");
    if (file == nullptr)
        return 0;
    std::vector<unsigned char> out;
    k1lib::MidiToSysex::readStream(out, file);
    std::fclose(file);
    // Whatever the reader returns, each appended message starts with F0.
    if (!out.empty() && out[0] != 0xF0)
        __builtin_trap();
    return 0;
}
