#pragma once

// Data compiled into the program: the twelve K1 bank dumps, the PHm singles
// and the wave ROM. Each datum has one accessor pair; the bytes are constant
// and live for the whole process.

#include <cstddef>

namespace k1data
{
#define K1DATA_DECLARE(symbol)                 \
    const unsigned char* getData_##symbol();   \
    size_t getDataSize_##symbol();

K1DATA_DECLARE(sysex_K1INT)
K1DATA_DECLARE(sysex_A101)
K1DATA_DECLARE(sysex_A102)
K1DATA_DECLARE(sysex_A103)
K1DATA_DECLARE(sysex_A104)
K1DATA_DECLARE(sysex_A105)
K1DATA_DECLARE(sysex_A200)
K1DATA_DECLARE(sysex_E101)
K1DATA_DECLARE(sysex_E102)
K1DATA_DECLARE(sysex_J101)
K1DATA_DECLARE(sysex_J102)
K1DATA_DECLARE(sysex_J103)
K1DATA_DECLARE(sysex_PHm)
K1DATA_DECLARE(waverom)

#undef K1DATA_DECLARE
} // namespace k1data
