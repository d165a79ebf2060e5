#include "tools/wavegen/recipes.h"

#include "tools/wavegen/recipeKit.h"

namespace wavegen
{
namespace
{
Recipe sawVariant(int n)
{
    if (n == 1)
        return classic(saw());
    if (n <= 8) // ever darker low-passed saws
    {
        static const double cutoff[] = {0, 0, 48, 32, 20, 14, 10, 7, 5};
        const double c = cutoff[n];
        return classic([c](int k, double) { return 1.0 / k / (1.0 + (k / c) * (k / c)); });
    }
    if (n <= 14) // resonant low-pass saws, the peak moving up
    {
        static const double peak[] = {3, 5, 7, 10, 14, 20};
        const double r = peak[n - 9];
        return classic([r](int k, double) { return resonance(k, r, 5.0) / k; });
    }
    switch (n)
    {
    case 15: return classic(saw(0.8)); // brighter than a saw
    case 16: return classic(saw(1.4)); // softer
    case 17: return classic([](int k, double) { return (0.4 + 0.6 * std::abs(std::cos(kPi * k / 5.0))) / k; }); // combed
    case 18: return classic([](int k, double) { return 1.0 / k + ((k % 2 == 0) ? 0.8 / k : 0.0); });     // octave saws
    default: return classic([](int k, double) { return 1.0 / k * (1.0 + 2.0 * formant(k, 9.0, 3.0)); }); // hard sync
    }
}

Recipe squareVariant(int n)
{
    // A sine series cannot hold a narrow pulse's shape (it is not odd), so the
    // narrower variants keep the pulse's magnitude spectrum |sin(pi k d)| / k,
    // which is what the ear hears.
    static const double duty[] = {0.5, 0.4, 1.0 / 3.0, 0.25, 0.125};
    if (n == 5)
        return classic([](int k, double) { return (k % 2) ? 1.0 / k / (1.0 + (k / 6.0) * (k / 6.0)) : 0.0; });
    const double d = duty[n - 1];
    return classic([d](int k, double) { return std::abs(std::sin(kPi * k * d)) / k; });
}

double brightness(int variant)
{
    static const double tilt[] = {0.0, -0.3, 0.25, -0.5, 0.4, 0.12, -0.15, 0.55};
    return tilt[variant % 8];
}
} // namespace

Recipe recipeFor(const std::string& name, int variant, int index)
{
    if (index < kPureSineCount)
    {
        const int h = kPureHarmonics[index];
        return Recipe{[h](int k, double) { return k == h ? 1.0 : 0.0; }, true};
    }
    if (name.rfind("Saw ", 0) == 0)
        return sawVariant(std::stoi(name.substr(4)));
    if (name.rfind("Square ", 0) == 0)
        return squareVariant(std::stoi(name.substr(7)));
    Recipe r = instrumentRecipe(name, index);
    const double tilt = brightness(variant);
    if (tilt != 0.0)
    {
        Amp base = r.amp;
        r.amp = [base, tilt](int k, double f) { return base(k, f) * std::pow(k, tilt); };
    }
    return r;
}
} // namespace wavegen
