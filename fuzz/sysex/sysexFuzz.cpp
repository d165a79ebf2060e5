// Fuzz target of the K1 sysex reader: any bytes as a buffer (readBuffer, the
// block readers through it) and as one message (readSysex). Every record the
// readers accept must already be in range: written and read again, it comes
// back unchanged, except that the writer blanks name characters that are not
// printable ASCII.

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "patch/sysex.h"

namespace
{
// The name as a written block carries it: unprintable characters blanked,
// trailing blanks removed.
template <typename Preset>
Preset withWrittenName(Preset preset)
{
    char* name = preset.name;
    for (size_t i = 0; i < k1lib::kNameLength && name[i] != 0; ++i)
    {
        if (name[i] < 0x20 || name[i] > 0x7E)
            name[i] = ' ';
    }
    for (size_t i = k1lib::kNameLength; i > 0 && (name[i - 1] == ' ' || name[i - 1] == 0); --i)
        name[i - 1] = 0;
    return preset;
}

template <typename Preset, typename Write>
void expectStable(const Preset& preset, Write write, const std::vector<Preset>& (*listOf)(const k1lib::Sysex::SysexResult&))
{
    std::vector<uint8_t> message;
    if (!write(message, preset))
        std::abort();
    k1lib::Sysex::SysexResult again;
    if (!k1lib::Sysex::readSysex(again, message.data(), message.size(), 255) || listOf(again).size() != 1 ||
        !(listOf(again)[0] == withWrittenName(preset)))
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
