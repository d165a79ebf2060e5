// The 76-byte K1 multi block: decoding with range repairs, and encoding that
// keeps every byte a 7-bit data byte whatever the record holds.

#include <algorithm>

#include "patch/blockLayout.h"
#include "patch/log.h"
#include "patch/presets.h"

namespace k1lib
{
namespace
{
using namespace multiBlock;

constexpr size_t kSectionCount = 8;

int32_t bits(uint8_t byte, unsigned shift, uint8_t mask)
{
    return (byte >> shift) & mask;
}

// A choice outside its range becomes its repair value; a number is clamped.
int32_t choice(int32_t value, int32_t max, int32_t repair)
{
    return (value < 0 || value > max) ? repair : value;
}

// The stored byte of a number field: clamped into min..max, then offset.
uint8_t clamped(int32_t value, int32_t min, int32_t max, int32_t offset = 0)
{
    return static_cast<uint8_t>(std::clamp(value, min, max) + offset);
}
} // namespace

bool readMulti(MultiPreset& out, const uint8_t* block)
{
    const uint8_t checksum = getChecksum(block, kChecksum);
    if (checksum != block[kChecksum])
    {
        K1_LOG("Invalid checksum, expected " << int(checksum) << " but got " << int(block[kChecksum]));
        return false;
    }
    // The checksum keeps only seven bits, so it cannot see a stray bit 7.
    if (const size_t at = findNonDataByte(block, kMultiBlockSize); at < kMultiBlockSize)
    {
        K1_LOG("Invalid data byte " << int(block[at]) << " at offset " << at << ", expected 0-127");
        return false;
    }

    MultiPreset m{};
    readName(m.name, block + kName, kNameLength);
    m.volume = block[kVolume];
    if (m.volume > kMaxVolume)
    {
        K1_LOG(m.name << ": Invalid multi volume " << m.volume);
        m.volume = kMaxVolume;
    }

    for (size_t s = 0; s < kSectionCount; ++s)
    {
        MultiSection& sec = m.sections[s];
        const uint8_t polyOut = block[kPolyOut + s];
        const uint8_t channel = block[kChannel + s];
        sec.single = block[kSingle + s] & kSingleMask;
        sec.zoneLow = block[kZoneLow + s];
        sec.zoneHigh = block[kZoneHigh + s];
        sec.poly = polyOut & kPolyMask;
        sec.output = bits(polyOut, kOutputShift, kOutputMask);
        sec.midiMode = bits(polyOut, kMidiModeShift, 1) | bits(channel, kMidiModeShift, 1) << 1;
        sec.channel = channel & kChannelMask;
        sec.velocitySwitch = bits(channel, kVelocitySwitchShift, kVelocitySwitchMask);
        sec.transpose = block[kTranspose + s] - kTransposeOffset;
        sec.tune = block[kTune + s] - kTuneOffset;
        sec.level = block[kLevel + s];

        if (sec.poly > kMaxPoly)
        {
            K1_LOG(m.name << ": Invalid multi poly mode " << sec.poly);
            sec.poly = kPolyRepair;
        }
        if (sec.output > kMaxOutput)
        {
            K1_LOG(m.name << ": Invalid multi output mode " << sec.output << " in section " << s);
            sec.output = kOutputRepair;
        }
        if (sec.midiMode > kMaxMidiMode)
        {
            K1_LOG(m.name << ": Invalid multi midi mode " << sec.midiMode << " in section " << s);
            sec.midiMode = kMidiModeRepair;
        }
        if (sec.velocitySwitch > kMaxVelocitySwitch)
        {
            K1_LOG(m.name << ": Invalid multi velo switch " << sec.velocitySwitch << " in section " << s);
            sec.velocitySwitch = kVelocitySwitchRepair;
        }
        if (sec.transpose > kMaxTranspose)
        {
            K1_LOG(m.name << ": Invalid multi transpose " << sec.transpose << " in section " << s);
            sec.transpose = kMaxTranspose;
        }
        if (sec.tune > kMaxTune)
        {
            K1_LOG(m.name << ": Invalid multi tune " << sec.tune << " in section " << s);
            sec.tune = kMaxTune;
        }
        if (sec.level > kMaxLevel)
        {
            K1_LOG(m.name << ": Invalid multi section level " << sec.level << " in section " << s);
            sec.level = kMaxLevel;
        }
    }

    out = m;
    return true;
}

bool writeMulti(uint8_t* block, const MultiPreset& multi)
{
    writeName(block + kName, multi.name, kNameLength);
    block[kVolume] = static_cast<uint8_t>(std::min(multi.volume, kMaxVolume));

    for (size_t s = 0; s < kSectionCount; ++s)
    {
        const MultiSection& sec = multi.sections[s];
        const int32_t midiMode = choice(sec.midiMode, kMaxMidiMode, kMidiModeRepair);
        block[kSingle + s] = clamped(sec.single, 0, kMaxSingle);
        block[kZoneLow + s] = clamped(sec.zoneLow, 0, kMaxKey);
        block[kZoneHigh + s] = clamped(sec.zoneHigh, 0, kMaxKey);
        block[kPolyOut + s] = static_cast<uint8_t>(choice(sec.poly, kMaxPoly, kPolyRepair) |
                                                   choice(sec.output, kMaxOutput, kOutputRepair) << kOutputShift |
                                                   (midiMode & 1) << kMidiModeShift);
        block[kChannel + s] = static_cast<uint8_t>(clamped(sec.channel, 0, kMaxChannel) |
                                                   choice(sec.velocitySwitch, kMaxVelocitySwitch, kVelocitySwitchRepair) << kVelocitySwitchShift |
                                                   (midiMode >> 1) << kMidiModeShift);
        block[kTranspose + s] = clamped(sec.transpose, -kMaxTranspose, kMaxTranspose, kTransposeOffset);
        block[kTune + s] = clamped(sec.tune, -kMaxTune, kMaxTune, kTuneOffset);
        block[kLevel + s] = clamped(sec.level, 0, kMaxLevel);
    }

    block[kChecksum] = getChecksum(block, kChecksum);
    return true;
}
} // namespace k1lib
