#pragma once

// Loudness as broadcast meters read it (ITU-R BS.1770): K-weighting, mean
// square per channel summed over the two channels, 400 ms blocks every
// 100 ms, gated at -70 LUFS and 10 LU under the ungated level. LUFS.

#include "tools/audition/measure.h"

namespace audition
{
// Integrated loudness of x[begin, end); kSilentDb when every block is gated.
double integratedLoudness(const Stereo& x, double rate, size_t begin, size_t end);
} // namespace audition
