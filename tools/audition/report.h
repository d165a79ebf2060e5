#pragma once

// The summary table of the audition: one row per storage with the medians
// and worst cases of the figures (levels dB, times ms or s, centroids Hz).

#include <string>
#include <vector>

#include "tools/audition/figures.h"

namespace audition
{
std::string singlesHeader();
std::string singlesRow(const std::string& storage, const std::vector<SingleFigures>& figures, size_t failures);
std::string multisHeader();
std::string multisRow(const std::string& storage, const std::vector<MultiFigures>& figures, size_t failures);
} // namespace audition

namespace audition
{
// The sound figures over every preset rendered: brightness at the split
// keys, folded partials, near-twins, pumping, loudness, chord peaks and
// roll-off, each with its worst cases. One line per figure.
std::vector<std::string> soundSummary(const std::vector<SingleFigures>& singles, const std::vector<MultiFigures>& multis);
} // namespace audition
