#pragma once

// Calibration of the designer's loudness trims (tools/patchdesigner/
// levelTrims.cpp) from the figures of every factory single: each variant's
// trim moves its C4 note at velocity 110 to the common loudness, or lower
// where its chord would come within 2 dB of full scale. Levels in dB.

#include <string>
#include <vector>

#include "tools/audition/figures.h"

namespace audition
{
constexpr double kCommonLoudnessDb = -27.5;
constexpr double kChordHeadroomDb = -2.0;
// Part of the shortfall each run corrects: the stored level steps and the
// random wave starts make a full step overshoot and swing.
constexpr double kCorrection = 0.6;

// Writes a new levelTrims.cpp; false (and a log line) when the figures do not
// cover every single or the file cannot be written.
bool writeTrims(const std::string& path, const std::vector<SingleFigures>& singles);
} // namespace audition
