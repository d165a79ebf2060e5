#include "tools/syxlist/demoPresets.h"

#include <algorithm>
#include <cstring>

#include "patch/presets.h"
#include "patch/sysex.h"

namespace syxlist
{
namespace
{
// Stored values: volumes 0-99, centred bytes with 50 as zero, waves 0-255.
k1lib::SinglePreset single(const char* name, uint8_t wave1, uint8_t wave2, uint32_t sources2or4, uint32_t release)
{
    k1lib::SinglePreset p{};
    std::memcpy(p.name, name, std::min(std::strlen(name), k1lib::kNameLength));
    p.volume = 90;
    p.source2or4 = sources2or4;
    p.pressureToFreq = p.vibratoDepth = p.pressureToVibrato = 50;
    p.autoBendDepth = p.velToDepth = p.autoBendKeyScaleToTime = 50;
    p.pitchBendDepth = 2;
    p.lfoSpeed = 60;
    for (size_t s = 0; s < 4; ++s)
    {
        k1lib::SingleSource& src = p.sources[s];
        src.wave = s % 2 ? wave2 : wave1;
        src.coarse = 60;
        src.fine = 50;
        src.keyTrack = true;
        src.envLevel = 100;
        src.envAttack = 2;
        src.envDecay = 60;
        src.envSustain = 70;
        src.envRelease = release;
        src.levelModVel = src.levelModPressure = src.levelModKeyScale = 50;
        src.timeModVel = src.timeModKeyScale = src.freqKeyScaleToFreq = 50;
    }
    return p;
}

k1lib::MultiPreset multi(const char* name, int32_t split)
{
    k1lib::MultiPreset m{};
    std::memcpy(m.name, name, std::min(std::strlen(name), k1lib::kNameLength));
    m.volume = 85;
    for (size_t s = 0; s < 2; ++s)
    {
        k1lib::MultiSection& sec = m.sections[s];
        sec.single = static_cast<int32_t>(s);
        // A split of 0 layers the two sections over the whole keyboard.
        sec.zoneLow = (s == 0 || split == 0) ? 0 : split;
        sec.zoneHigh = (s == 1 || split == 0) ? 127 : split - 1;
        sec.output = 1;
        sec.midiMode = 2;
        sec.level = 100;
    }
    return m;
}

void append(std::vector<uint8_t>& dump, const std::vector<uint8_t>& message)
{
    dump.insert(dump.end(), message.begin(), message.end());
}
} // namespace

std::vector<uint8_t> makeDemoDump()
{
    using k1lib::StorageLocation;
    using k1lib::Sysex;
    std::vector<uint8_t> dump, message;
    const std::vector<k1lib::SinglePreset> page = {single("Demo Bell", 122, 0, 0, 80), single("Demo Bass", 58, 13, 0, 20),
                                                   single("Demo Pad", 43, 72, 1, 90)};
    if (Sysex::writeSingles(message, page, 0, StorageLocation::I, 0))
        append(dump, message);
    if (Sysex::writeSingle(message, single("Demo Lead", 31, 30, 0, 40), 0, StorageLocation::i, 40))
        append(dump, message);
    if (Sysex::writeMultis(message, {multi("Demo Split", 60), multi("Demo Layer", 0)}, 0, StorageLocation::I, 0))
        append(dump, message);
    return dump;
}
} // namespace syxlist
