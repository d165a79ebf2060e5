// The 88-byte K1 single block: decoding with range repairs, and encoding that
// keeps every byte a 7-bit data byte whatever the record holds.

#include <algorithm>

#include "patch/blockLayout.h"
#include "patch/log.h"
#include "patch/presets.h"

namespace k1lib
{
namespace
{
using namespace singleBlock;

// The whole-byte fields of a single: block offset, record field, largest
// stored value, and the words a repair line uses.
struct CommonByte
{
    size_t offset;
    uint8_t SinglePreset::*field;
    uint32_t max;
    const char* label;
};

constexpr CommonByte kCommonBytes[] = {
    {kVolume, &SinglePreset::volume, kMaxVolume, "single volume"},
    {kPressureToFreq, &SinglePreset::pressureToFreq, kMaxByte, "pressure to frequency"},
    {kVibratoDepth, &SinglePreset::vibratoDepth, kMaxByte, "vibrato depth"},
    {kPressureToVibrato, &SinglePreset::pressureToVibrato, kMaxByte, "pressure to vibrato"},
    {kLfoSpeed, &SinglePreset::lfoSpeed, kMaxByte, "LFO speed"},
    {kAutoBendDepth, &SinglePreset::autoBendDepth, kMaxByte, "auto bend depth"},
    {kAutoBendTime, &SinglePreset::autoBendTime, kMaxByte, "auto bend time"},
    {kVelToDepth, &SinglePreset::velToDepth, kMaxByte, "velocity to auto bend depth"},
    {kAutoBendKeyScaleToTime, &SinglePreset::autoBendKeyScaleToTime, kMaxByte, "auto bend key scaling"},
};

// The same for the per-source bytes; source s is at offset + s.
struct SourceByte
{
    size_t offset;
    uint32_t SingleSource::*field;
    uint32_t max;
    const char* label;
};

constexpr SourceByte kSourceBytes[] = {
    {kFine, &SingleSource::fine, kMaxByte, "fine tuning"},
    {kCoarse, &SingleSource::coarse, kMaxCoarse, "coarse tuning"},
    {kEnvLevel, &SingleSource::envLevel, kMaxByte, "envelope level"},
    {kEnvDelay, &SingleSource::envDelay, kMaxByte, "envelope delay"},
    {kEnvAttack, &SingleSource::envAttack, kMaxByte, "envelope attack"},
    {kEnvDecay, &SingleSource::envDecay, kMaxByte, "envelope decay"},
    {kEnvSustain, &SingleSource::envSustain, kMaxByte, "envelope sustain"},
    {kEnvRelease, &SingleSource::envRelease, kMaxByte, "envelope release"},
    {kLevelModVel, &SingleSource::levelModVel, kMaxByte, "level modulation by velocity"},
    {kLevelModPressure, &SingleSource::levelModPressure, kMaxByte, "level modulation by pressure"},
    {kLevelModKeyScale, &SingleSource::levelModKeyScale, kMaxByte, "level modulation by key scaling"},
    {kTimeModVel, &SingleSource::timeModVel, kMaxByte, "time modulation by velocity"},
    {kTimeModKeyScale, &SingleSource::timeModKeyScale, kMaxByte, "time modulation by key scaling"},
    {kFreqKeyScale, &SingleSource::freqKeyScaleToFreq, kMaxByte, "frequency key scaling"},
};

constexpr size_t kSourceCount = 4;

uint32_t bits(uint8_t byte, unsigned shift, uint8_t mask)
{
    return (byte >> shift) & mask;
}

// A choice outside its range becomes its repair value; a number is clamped.
uint32_t choice(uint32_t value, uint32_t max, uint32_t repair)
{
    return value > max ? repair : value;
}
} // namespace

bool readSingle(SinglePreset& out, const uint8_t* block)
{
    const uint8_t checksum = getChecksum(block, kChecksum);
    if (checksum != block[kChecksum])
    {
        K1_LOG("Invalid checksum, expected " << int(checksum) << " but got " << int(block[kChecksum]));
        return false;
    }
    // The checksum keeps only seven bits, so it cannot see a stray bit 7.
    if (const size_t at = findNonDataByte(block, kSingleBlockSize); at < kSingleBlockSize)
    {
        K1_LOG("Invalid data byte " << int(block[at]) << " at offset " << at << ", expected 0-127");
        return false;
    }
    const uint32_t pitchBend = block[kPitchBend] & kPitchBendMask;
    if (pitchBend > kMaxPitchBend)
    {
        K1_LOG("Invalid pitch bend range, valid is 0-12 but got " << pitchBend);
        return false;
    }

    // Decoded into a local record so that a caller's record is either fully
    // replaced or not touched at all.
    SinglePreset p{};
    readName(p.name, block + kName, kNameLength);
    p.pitchBendDepth = pitchBend;

    for (const CommonByte& f : kCommonBytes)
    {
        uint32_t value = block[f.offset];
        if (value > f.max)
        {
            K1_LOG(p.name << ": Invalid " << f.label << ' ' << value);
            value = f.max;
        }
        p.*f.field = static_cast<uint8_t>(value);
    }

    const uint8_t modes = block[kModes];
    p.polyMode = bits(modes, kPolyShift, 0x03);
    p.source2or4 = bits(modes, kSourcesShift, 0x01);
    p.ampModS1S2 = bits(modes, kAmS1S2Shift, 0x03);
    p.ampModS3S4 = bits(modes, kAmS3S4Shift, 0x03);
    if (p.polyMode > kMaxPolyMode)
    {
        K1_LOG(p.name << ": Invalid poly mode " << p.polyMode);
        p.polyMode = kPolyModeRepair;
    }
    if (p.ampModS1S2 > kMaxAmpMod)
    {
        K1_LOG(p.name << ": Invalid amplitude modulation S1/S2 " << p.ampModS1S2);
        p.ampModS1S2 = kAmpModRepair;
    }
    if (p.ampModS3S4 > kMaxAmpMod)
    {
        K1_LOG(p.name << ": Invalid amplitude modulation S3/S4 " << p.ampModS3S4);
        p.ampModS3S4 = kAmpModRepair;
    }

    const uint8_t lfo = block[kLfoAndCurve];
    p.lfoShape = bits(lfo, kLfoShapeShift, 0x03);
    p.keyScaleCurve = bits(lfo, kCurveShift, 0x07);
    p.vibWheelMode = bits(lfo, kWheelShift, 0x03);
    if (p.vibWheelMode > kMaxWheelMode)
    {
        K1_LOG(p.name << ": Invalid vibrato wheel mode, needs to be 0 or 1 but got " << p.vibWheelMode);
        p.vibWheelMode &= 1;
    }
    if (p.keyScaleCurve > kMaxKeyScaleCurve)
    {
        K1_LOG(p.name << ": Invalid key scale curve " << p.keyScaleCurve);
        p.keyScaleCurve = kMaxKeyScaleCurve;
    }

    const uint8_t mute = block[kMute];
    if (mute > kMuteMask)
        K1_LOG("Invalid sources mute flags, allowed are 0000xxxx but got " << int(mute));
    for (size_t s = 0; s < kSourceCount; ++s)
        p.mute[s] = (mute >> s) & 1;

    for (size_t s = 0; s < kSourceCount; ++s)
    {
        SingleSource& src = p.sources[s];
        const uint8_t flags = block[kSourceFlags + s];
        src.wave = static_cast<uint8_t>(block[kWaveLow + s] | ((flags & 1) << 7));
        src.keyTrack = bits(flags, kKeyTrackShift, 1);
        src.vibABend = bits(flags, kVibABendShift, 1);
        src.pressureToFreq = bits(flags, kPressureShift, 1);
        src.velCurve = bits(flags, kVelCurveShift, 0x07);
        for (const SourceByte& f : kSourceBytes)
        {
            uint32_t value = block[f.offset + s];
            if (value > f.max)
            {
                K1_LOG(p.name << ": Invalid " << f.label << ' ' << value << " in source " << s);
                value = f.max;
            }
            src.*f.field = value;
        }
    }

    out = p;
    return true;
}

bool writeSingle(uint8_t* block, const SinglePreset& preset)
{
    writeName(block + kName, preset.name, kNameLength);
    for (const CommonByte& f : kCommonBytes)
        block[f.offset] = static_cast<uint8_t>(std::min<uint32_t>(preset.*f.field, f.max));

    block[kModes] = static_cast<uint8_t>(choice(preset.polyMode, kMaxPolyMode, kPolyModeRepair) << kPolyShift |
                                         std::min<uint32_t>(preset.source2or4, 1) << kSourcesShift |
                                         choice(preset.ampModS1S2, kMaxAmpMod, kAmpModRepair) << kAmS1S2Shift |
                                         choice(preset.ampModS3S4, kMaxAmpMod, kAmpModRepair) << kAmS3S4Shift);
    block[kPitchBend] = static_cast<uint8_t>(std::min(preset.pitchBendDepth, kMaxPitchBend));
    block[kLfoAndCurve] = static_cast<uint8_t>(std::min(preset.lfoShape, kMaxLfoShape) << kLfoShapeShift |
                                               std::min(preset.keyScaleCurve, kMaxKeyScaleCurve) << kCurveShift |
                                               (preset.vibWheelMode & kMaxWheelMode) << kWheelShift);

    uint8_t mute = 0;
    for (size_t s = 0; s < kSourceCount; ++s)
        mute |= static_cast<uint8_t>(preset.mute[s] ? 1u << s : 0u);
    block[kMute] = mute;

    for (size_t s = 0; s < kSourceCount; ++s)
    {
        const SingleSource& src = preset.sources[s];
        block[kWaveLow + s] = src.wave & kDataByteMask;
        block[kSourceFlags + s] = static_cast<uint8_t>((src.wave >> 7) << kWaveHighShift | unsigned(src.keyTrack) << kKeyTrackShift |
                                                       unsigned(src.vibABend) << kVibABendShift |
                                                       unsigned(src.pressureToFreq) << kPressureShift |
                                                       std::min(src.velCurve, kMaxVelCurve) << kVelCurveShift);
        for (const SourceByte& f : kSourceBytes)
            block[f.offset + s] = static_cast<uint8_t>(std::min(src.*f.field, f.max));
    }

    block[kChecksum] = getChecksum(block, kChecksum);
    return true;
}
} // namespace k1lib
