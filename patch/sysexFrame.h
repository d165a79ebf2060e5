#pragma once

// Byte positions and codes of the K1's system-exclusive frame:
//   F0 40 <channel> <function> 00 03 <sub1> <sub2> <data...> F7
// Sub-command 1 is the memory (0 internal, 1 card); sub-command 2 below 40h
// is a single number 0-63, from 40h on 40h + a multi number 0-31. The one
// exception is the machine-ID request, F0 40 <channel> 60 F7.

#include <cstddef>
#include <cstdint>

namespace k1lib::sysexFrame
{
constexpr size_t kStatusAt = 0;
constexpr size_t kManufacturerAt = 1;
constexpr size_t kChannelAt = 2;
constexpr size_t kFunctionAt = 3;
constexpr size_t kGroupAt = 4;
constexpr size_t kMachineAt = 5;
constexpr size_t kSub1At = 6;
constexpr size_t kSub2At = 7;
constexpr size_t kDataAt = 8;
constexpr size_t kHeaderSize = 6; // F0 up to the machine ID

// A parameter send carries its three bytes in the sub-command positions.
constexpr size_t kParamAt = 6;
constexpr size_t kParamSourceAt = 7; // bits 1-2 source, bit 0 = bit 7 of the value
constexpr size_t kParamValueAt = 8;  // bits 0-6 of the value

// Bytes a reader looks at before it can judge a message.
constexpr size_t kMinMachineIdLength = 4;
constexpr size_t kMinLength = 8;
constexpr size_t kMinParameterLength = 9;

constexpr uint8_t kStart = 0xF0;
constexpr uint8_t kEnd = 0xF7;
constexpr uint8_t kManufacturer = 0x40;
constexpr uint8_t kGroup = 0x00; // synthesizer group
constexpr uint8_t kMachine = 0x03;
constexpr uint8_t kMaxChannel = 15;

constexpr uint8_t kOneBlockRequest = 0x00;
constexpr uint8_t kAllBlockRequest = 0x01;
constexpr uint8_t kParameterSend = 0x10;
constexpr uint8_t kOneBlockDump = 0x20;
constexpr uint8_t kAllBlockDump = 0x21;
constexpr uint8_t kWriteComplete = 0x40;
constexpr uint8_t kWriteError = 0x41;
constexpr uint8_t kWriteErrorProtected = 0x42;
constexpr uint8_t kWriteErrorNoCard = 0x43;
constexpr uint8_t kMachineIdRequest = 0x60;
constexpr uint8_t kMachineIdAnswer = 0x61;

constexpr uint8_t kUpperSingles = 0x20; // sub-command 2 of the second half of the singles
constexpr uint8_t kMultiBase = 0x40;    // sub-command 2 of multi 0
constexpr size_t kSinglesPerMemory = 64;
constexpr size_t kMultisPerMemory = 32;
constexpr size_t kMaxPresetsPerDump = 32;
} // namespace k1lib::sysexFrame
