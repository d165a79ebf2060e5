#pragma once

// Byte offsets, bit fields and stored ranges of the two K1 blocks: the 88-byte
// single block and the 76-byte multi block. Every byte of a block is a 7-bit
// MIDI data byte; the last one is the checksum of all bytes before it. Fields
// that exist once per source (single) or per section (multi) are runs of four
// or eight consecutive bytes: field offset + source / section index.

#include <cstddef>
#include <cstdint>

namespace k1lib
{
constexpr uint8_t kDataByteMask = 0x7F; // a MIDI data byte has bit 7 clear
constexpr uint8_t kBlank = 0x20;        // names are padded with blanks
constexpr uint8_t kLastPrintable = 0x7E;

namespace singleBlock
{
constexpr size_t kName = 0;
constexpr size_t kVolume = 10;
constexpr size_t kModes = 11; // bits 0-1 poly, 2 sources, 3-4 AM S1S2, 5-6 AM S3S4
constexpr size_t kPressureToFreq = 12;
constexpr size_t kVibratoDepth = 13;
constexpr size_t kPressureToVibrato = 14;
constexpr size_t kPitchBend = 15; // bits 0-3
constexpr size_t kLfoSpeed = 16;
constexpr size_t kLfoAndCurve = 17; // bits 0-1 LFO shape, 2-4 key-scale curve, 5-6 wheel mode
constexpr size_t kAutoBendDepth = 18;
constexpr size_t kAutoBendTime = 19;
constexpr size_t kVelToDepth = 20;
constexpr size_t kAutoBendKeyScaleToTime = 21;
constexpr size_t kMute = 22; // bit s mutes source s + 1

// Per source: offset + s, s = 0-3.
constexpr size_t kFine = 23;
constexpr size_t kCoarse = 27;
constexpr size_t kWaveLow = 31;   // bits 0-6 of the wave number
constexpr size_t kSourceFlags = 35; // bit 0 wave bit 7, 1 key track, 2 vib/a.bend, 3 pressure, 4-6 velocity curve
constexpr size_t kEnvLevel = 39;
constexpr size_t kEnvDelay = 43;
constexpr size_t kEnvAttack = 47;
constexpr size_t kEnvDecay = 51;
constexpr size_t kEnvSustain = 55;
constexpr size_t kEnvRelease = 59;
constexpr size_t kLevelModVel = 63;
constexpr size_t kLevelModPressure = 67;
constexpr size_t kLevelModKeyScale = 71;
constexpr size_t kTimeModVel = 75;
constexpr size_t kTimeModKeyScale = 79;
constexpr size_t kFreqKeyScale = 83;

constexpr size_t kChecksum = 87;

constexpr unsigned kPolyShift = 0, kSourcesShift = 2, kAmS1S2Shift = 3, kAmS3S4Shift = 5;
constexpr unsigned kLfoShapeShift = 0, kCurveShift = 2, kWheelShift = 5;
constexpr unsigned kWaveHighShift = 0, kKeyTrackShift = 1, kVibABendShift = 2, kPressureShift = 3, kVelCurveShift = 4;
constexpr uint8_t kPitchBendMask = 0x0F;
constexpr uint8_t kMuteMask = 0x0F;

constexpr uint32_t kMaxVolume = 99;
constexpr uint32_t kMaxByte = 100; // centred bytes, envelope bytes, LFO speed, auto-bend time
constexpr uint32_t kMaxPolyMode = 2;
constexpr uint32_t kMaxAmpMod = 2;
constexpr uint32_t kMaxPitchBend = 12;
constexpr uint32_t kMaxLfoShape = 3;
constexpr uint32_t kMaxKeyScaleCurve = 4;
constexpr uint32_t kMaxWheelMode = 1;
constexpr uint32_t kMaxCoarse = 127;
constexpr uint32_t kMaxVelCurve = 7;

// What an out-of-range choice becomes, in the reader and the writer alike.
constexpr uint32_t kPolyModeRepair = 0; // Poly 1
constexpr uint32_t kAmpModRepair = 0;   // off
} // namespace singleBlock

namespace multiBlock
{
constexpr size_t kName = 0;
constexpr size_t kVolume = 10;

// Per section: offset + s, s = 0-7.
constexpr size_t kSingle = 11;   // bits 0-5
constexpr size_t kZoneLow = 19;
constexpr size_t kZoneHigh = 27;
constexpr size_t kPolyOut = 35;  // bits 0-3 poly, 4-5 output, 6 bit 0 of the MIDI mode
constexpr size_t kChannel = 43;  // bits 0-3 channel, 4-5 velocity switch, 6 bit 1 of the MIDI mode
constexpr size_t kTranspose = 51; // transpose + 24
constexpr size_t kTune = 59;      // tune + 50
constexpr size_t kLevel = 67;

constexpr size_t kChecksum = 75;

constexpr uint8_t kSingleMask = 0x3F;
constexpr uint8_t kPolyMask = 0x0F;
constexpr unsigned kOutputShift = 4;
constexpr uint8_t kOutputMask = 0x03;
constexpr uint8_t kChannelMask = 0x0F;
constexpr unsigned kVelocitySwitchShift = 4;
constexpr uint8_t kVelocitySwitchMask = 0x03;
constexpr unsigned kMidiModeShift = 6; // in both kPolyOut and kChannel

constexpr int32_t kTransposeOffset = 24;
constexpr int32_t kTuneOffset = 50;

constexpr uint32_t kMaxVolume = 99;
constexpr int32_t kMaxSingle = 63;
constexpr int32_t kMaxKey = 127;
constexpr int32_t kMaxPoly = 9;         // VR, off, 1..8
constexpr int32_t kMaxOutput = 2;       // R, LR, L
constexpr int32_t kMaxMidiMode = 2;     // Keys, Midi, Both
constexpr int32_t kMaxChannel = 15;
constexpr int32_t kMaxVelocitySwitch = 2; // All, Soft, Loud
constexpr int32_t kMaxTranspose = 24;
constexpr int32_t kMaxTune = 50;
constexpr int32_t kMaxLevel = 100;

// What an out-of-range choice becomes, in the reader and the writer alike.
constexpr int32_t kPolyRepair = 0;   // VR
constexpr int32_t kOutputRepair = 1; // LR
constexpr int32_t kMidiModeRepair = 2; // Both
constexpr int32_t kVelocitySwitchRepair = 0; // All
} // namespace multiBlock

// Index of the first byte with bit 7 set, or length when there is none.
inline size_t findNonDataByte(const uint8_t* data, size_t length)
{
    for (size_t i = 0; i < length; ++i)
    {
        if (data[i] > kDataByteMask)
            return i;
    }
    return length;
}
} // namespace k1lib
