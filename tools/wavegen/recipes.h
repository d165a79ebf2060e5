#pragma once

// Spectral recipes of the single-cycle waves: the amplitude of partial k
// (frequency f in Hz at the key the range is voiced for) by wave name.

#include <functional>
#include <string>

namespace wavegen
{
constexpr int kPureSineCount = 13; // "Sin 1st" to "Sin 16th"
constexpr int kPureHarmonics[kPureSineCount] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16};

struct Recipe
{
    std::function<double(int k, double f)> amp;
    bool fixedSigns = false; // classic shapes keep their own signs
};

// `variant` counts earlier waves of the same name, so repeated names differ.
Recipe recipeFor(const std::string& name, int variant, int index);
} // namespace wavegen
