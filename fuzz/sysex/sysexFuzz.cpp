// Fuzz target of the K1 sysex reader: any bytes as a buffer (readBuffer, the
// block readers through it) and as one message (readSysex). Every record the
// readers accept must already be in range: written and read again, it comes
// back unchanged.

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "patch/sysex.h"

namespace
{
template <typename Preset, typename Write>
void expectStable(const Preset& preset, Write write, const std::vector<Preset>& (*listOf)(const k1lib::Sysex::SysexResult&))
{
    std::vector<uint8_t> message;
    if (!write(message, preset))
        std::abort();
    k1lib::Sysex::SysexResult again;
    if (!k1lib::Sysex::readSysex(again, message.data(), message.size(), 255) || listOf(again).size() != 1 ||
        !(listOf(again)[0] == preset))
        std::abort();
}

const std::vector<k1lib::SinglePreset>& singlesOf(const k1lib::Sysex::SysexResult& r) { return r.singles; }
const std::vector<k1lib::MultiPreset>& multisOf(const k1lib::Sysex::SysexResult& r) { return r.multis; }
} // namespace

// Log lines go to standard output; a fuzz run would spend its time printing them.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using k1lib::Sysex;
    const std::vector<uint8_t> buffer(data, data + size);
    Sysex::SysexResult result;
    Sysex::readBuffer(result, buffer, 255);
    // The last byte picks the expected channel (16 and more accept every channel).
    Sysex::readSysex(result, buffer.data(), buffer.size(), size ? data[size - 1] % 18 : 255);

    for (const k1lib::SinglePreset& p : result.singles)
        expectStable(p, [](std::vector<uint8_t>& out, const k1lib::SinglePreset& s) {
            return Sysex::writeSingle(out, s, 0, k1lib::StorageLocation::I, 0);
        }, singlesOf);
    for (const k1lib::MultiPreset& m : result.multis)
        expectStable(m, [](std::vector<uint8_t>& out, const k1lib::MultiPreset& s) {
            return Sysex::writeMulti(out, s, 0, k1lib::StorageLocation::I, 0);
        }, multisOf);
    return 0;
}
