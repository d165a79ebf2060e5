#pragma once

// Layout of the wave ROM the generator writes: 8-bit mono PCM at 50000 Hz,
// 524288 samples; 30 labelled PCM regions, then 204 single-cycle regions of
// five 128-sample half-cycles, then silence. Positions and lengths in samples.

#include <cstdint>
#include <vector>

#include "tools/wavegen/synth.h"

namespace wavegen
{
struct Region
{
    uint32_t start;
    uint32_t length;
    const char* label; // wave tokens, see engine/waveforms.cpp
};

constexpr uint32_t kRomSamples = 524288;
constexpr int kPcmRegionCount = 30;
constexpr uint32_t kSingleCycleStart = 393216;
constexpr int kSingleCycleCount = 204;
constexpr uint32_t kSingleCycleRegion = 640;
constexpr uint32_t kHalfCycle = 128;
constexpr int kKeyRanges = 5;

constexpr Region kPcmRegions[kPcmRegionCount] = {
    {0, 32768, "w225 w245L2"},       {32768, 32768, "w223 w235"},   {65536, 16384, "w230 w236 w248L3"},
    {81920, 16384, "w233 w238"},     {98304, 32768, "w212 w255a"},  {131072, 16384, "w214"},
    {147456, 8192, "w215 w241"},     {155648, 8192, "w218"},        {163840, 8192, "w210 w247L3 w252r"},
    {172032, 8192, "w207"},          {180224, 16384, "w213"},       {196608, 16384, "w232 w237"},
    {212992, 8192, "w224"},          {221184, 8192, "w234 w239"},   {229376, 32768, "w226"},
    {262144, 16384, "w217 w243L2 w250L6 w253r"},                    {278528, 16384, "w216"},
    {294912, 8192, "w227 w256a"},    {303104, 8192, "w231"},        {311296, 8192, "w222 w244L2"},
    {319488, 8192, "w221"},          {327680, 8192, "w228 w246L2"}, {335872, 8192, "w229"},
    {344064, 8192, "w220"},          {352256, 8192, "w209"},        {360448, 4096, "w205 w249L5"},
    {364544, 4096, "w208"},          {368640, 4096, "w219 w242"},   {372736, 4096, "w206 w240 w251r"},
    {376832, 16384, "w211 w254a"},
};

// Top keys of the five key ranges: each half-cycle is band-limited for its top
// key, the top range for C8 (the keys above lie beyond a piano's compass).
constexpr int kRangeTopKey[kKeyRanges] = {47, 59, 71, 83, 108};
// Highest partial allowed in a range: one that at the top key still folds back
// above 20 kHz from the engine's 49920 Hz, below the table's Nyquist
// (harmonic 128 of a 256-sample cycle).
int maxHarmonic(int range);
double keyHz(double key);

// The five half-cycles (640 samples) of single-cycle wave `index` (0-203).
std::vector<int8_t> makeSingleCycle(int index);
// Whether single-cycle wave `index` is one pure partial (kept in every range).
bool isPurePartial(int index);

// The samples of PCM region `cue` (0-29), as long as kPcmRegions[cue].length.
Signal makePcmRegion(int cue);
Signal makeDrum(int cue);  // regions holding drums, cymbals and noises
Signal makeTone(int cue);  // regions holding pitched sounds
} // namespace wavegen
