// Recipes of the instrument-named single-cycle waves: organ registrations,
// reeds and winds with formants, brass, voices, struck and plucked strings,
// mallets and bells (as the nearest harmonics), basses and synth waves.

#include "tools/wavegen/recipeKit.h"

namespace wavegen
{
Recipe instrumentRecipe(const std::string& name, int index)
{
    auto is = [&](const char* prefix) { return name.rfind(prefix, 0) == 0; };
    if (name == "Random")
    {
        Rng rng(0x7a1d0000u + static_cast<uint64_t>(index));
        std::map<int, double> levels;
        for (int k = 1; k <= 127; ++k)
            levels[k] = rng.signedUniform() / std::pow(k, 0.8);
        return classic(partials(levels));
    }
    if (is("Inverse Saw"))
        return classic([](int k, double) { return -1.0 / k; });
    if (is("Triangle"))
        return classic([](int k, double) { return (k % 2) ? ((k % 4 == 1) ? 1.0 : -1.0) / (k * k) : 0.0; });
    if (is("Jazz Organ 1"))
        return voiced(drawbars({8, 0, 6, 0, 0, 0, 0}));
    if (is("Jazz Organ 2"))
        return voiced(drawbars({8, 8, 0, 4, 0, 0, 0}));
    if (is("Rock Organ 1"))
        return voiced(drawbars({8, 8, 8, 8, 0, 4, 6}));
    if (is("Rock Organ 2"))
        return voiced(drawbars({8, 8, 8, 8, 8, 8, 8}));
    if (is("Draw Bar 1"))
        return voiced(drawbars({8, 6, 4, 5, 0, 0, 3}));
    if (is("Draw Bar 2"))
        return voiced(drawbars({6, 8, 0, 8, 3, 0, 0}));
    if (is("Pipe Organ 1"))
        return voiced(partials({{1, 1}, {2, 0.6}, {4, 0.35}, {8, 0.2}, {3, 0.1}}));
    if (is("Pipe Organ 2"))
        return voiced(partials({{1, 1}, {2, 0.4}, {3, 0.25}, {4, 0.3}, {5, 0.08}, {6, 0.15}}));
    if (is("Pipe Organ 3"))
        return voiced(partials({{1, 1}, {2, 0.7}, {3, 0.4}, {4, 0.5}, {6, 0.35}, {8, 0.35}, {12, 0.25}, {16, 0.2}}));
    if (is("Accordion"))
        return voiced(formants(0.6, {{{1200, 500, 1.0}}, {{3000, 900, 0.6}}}, 0.15));
    if (is("Harmonica"))
        return voiced(scaled(formants(0.7, {{{1000, 400, 1.0}}, {{2500, 700, 0.5}}}, 0.1),
                             [](int k, double) { return (k % 2) ? 1.0 : 0.55; }));
    if (is("Clarinet"))
        return voiced(
            [](int k, double f)
            {
                const double odd = (k % 2) ? 1.0 / k : (f < 1600.0 ? 0.03 / k : 0.25 / k);
                return odd * lowpass(f, 4000.0, 2.0);
            });
    if (is("Oboe"))
        return voiced(scaled(formants(0.5, {{{1100, 350, 1.0}}, {{2800, 700, 0.6}}}, 0.05),
                             [](int k, double) { return k == 1 ? 0.4 : 1.0; }));
    if (is("French Horn"))
        return voiced(brass(500.0, 3.0));
    // Brass played out: the spectrum climbs to a peak of 2-3 kHz and falls
    // about 6 dB per octave above it, so a section cuts through.
    if (is("Trumpet"))
        return voiced(scaled(brass(2800.0, 0.7), [](int, double f) { return 1.0 + 2.0 * formant(f, 6500, 3000); }));
    if (is("Brass"))
        return voiced(scaled(brass(2400.0, 0.75), [](int, double f) { return 1.0 + 1.2 * formant(f, 6500, 3000); }));
    if (is("Orchestra"))
        return voiced([](int k, double f)
                      { return 0.6 * brass(900.0, 2.0)(k, f) + 0.4 / k * lowpass(f, 5000.0, 2.0); });
    if (is("Voice 1"))
        return voiced(formants(1.2, {{{730, 160, 1.0}}, {{1090, 200, 0.6}}, {{2440, 300, 0.3}}}, 0.01));
    if (is("Voice 2"))
        return voiced(formants(1.2, {{{300, 120, 1.0}}, {{870, 200, 0.5}}, {{2240, 300, 0.2}}}, 0.01));
    if (is("Flute"))
        return voiced(partials({{1, 1}, {2, 0.3}, {3, 0.12}, {4, 0.05}, {5, 0.02}}));
    if (is("Panflute"))
        return voiced(partials({{1, 1}, {2, 0.1}, {3, 0.08}}));
    if (is("Shakuhachi"))
        return voiced(partials({{1, 1}, {2, 0.35}, {3, 0.15}, {4, 0.08}}));
    // Bowed strings: a sawtooth-like bow drive through the body's resonances
    // and the bridge's hill around 3 kHz.
    if (is("Violin"))
        return voiced(scaled(formants(0.7, {{{300, 150, 0.6}}, {{3200, 1500, 1.6}}, {{6500, 3000, 1.4}}}, 0.35),
                             [](int, double f) { return lowpass(f, 14000.0, 2.0); }));
    if (is("String Pad"))
        return voiced(scaled(saw(1.2), [](int, double f) { return lowpass(f, 2000.0, 2.0); }));
    if (is("String"))
        return voiced(scaled(formants(0.75, {{{300, 150, 0.8}}, {{3000, 1500, 1.4}}, {{6500, 3000, 1.2}}}, 0.3),
                             [](int, double f) { return lowpass(f, 14000.0, 2.0); }));
    if (is("Piano 1"))
        return voiced(plucked(1.0 / 7.0, 1.1, 3500.0));
    if (is("Piano 2")) // a bright grand: hard hammers
        return voiced(scaled(plucked(1.0 / 8.0, 0.6, 14000.0), [](int, double f) { return 1.0 + 1.5 * formant(f, 6000, 3000); }));
    if (is("Piano 3"))
        return voiced(plucked(1.0 / 9.0, 1.3, 2000.0));
    if (is("Piano 4"))
        return voiced(
            scaled(plucked(1.0 / 7.0, 1.0, 4000.0), [](int, double f) { return 1.0 + formant(f, 1500, 400); }));
    if (is("El Grand"))
        return voiced(
            scaled(plucked(1.0 / 8.0, 1.0, 6000.0), [](int, double f) { return 1.0 + formant(f, 2500, 800); }));
    if (is("E Piano 1"))
        return voiced(
            [](int k, double f) {
                return (k == 1 ? 1.0 : k == 2 ? 0.25 : k == 3 ? 0.08 : 0.0) + 0.15 * formant(f, 3000, 800) / k;
            });
    if (is("E Piano 2"))
        return voiced(
            [](int k, double f) {
                return (k == 1 ? 1.0 : k == 2 ? 0.3 : 0.0) + 0.4 * formant(f, 1500, 500) / std::sqrt(k);
            });
    if (is("E Piano 3"))
        return voiced(partials({{1, 1}, {3, 0.3}, {7, 0.15}, {9, 0.1}}));
    // Struck and plucked near the end of the string: bright and thin.
    if (is("Clavi"))
        return voiced(scaled(plucked(0.06, 0.45, 14000.0), [](int, double f) {
            return highpass(f, 300.0, 1.0) * (1.0 + formant(f, 1200, 400) + 1.5 * formant(f, 6500, 3000));
        }));
    if (is("Harpsichord"))
        return voiced(scaled(plucked(0.1, 0.45, 14000.0), [](int, double f) { return 1.0 + 1.5 * formant(f, 6500, 3000); }));
    if (is("Vibe"))
        return voiced(partials({{1, 1}, {2, 0.05}, {4, 0.35}, {10, 0.12}}));
    if (is("Glocken"))
        return voiced(partials({{1, 1}, {3, 0.45}, {5, 0.3}, {8, 0.2}, {11, 0.1}}));
    if (is("Tine"))
        return voiced(partials({{1, 1}, {2, 0.1}, {6, 0.35}, {7, 0.2}}));
    if (is("Tube Bell"))
        return voiced(partials({{1, 0.5}, {2, 1}, {3, 0.7}, {4, 0.5}, {5, 0.45}, {7, 0.3}, {9, 0.2}}));
    if (is("Oriental Bell"))
        return voiced(partials({{1, 1}, {3, 0.6}, {7, 0.5}, {9, 0.3}, {13, 0.2}}));
    if (is("Bell"))
        return voiced(partials({{1, 0.6}, {2, 1}, {3, 0.5}, {5, 0.5}, {8, 0.3}, {11, 0.25}}));
    if (is("Xylophone"))
        return voiced(partials({{1, 1}, {3, 0.6}, {6, 0.3}, {10, 0.1}}));
    if (is("Marimba"))
        return voiced(partials({{1, 1}, {4, 0.3}, {10, 0.06}}));
    if (is("Kalimba"))
        return voiced(partials({{1, 1}, {2, 0.08}, {6, 0.3}}));
    if (is("Log Drum"))
        return voiced(partials({{1, 1}, {2, 0.2}, {4, 0.25}}));
    if (is("Steel Drum"))
        return voiced(partials({{1, 1}, {2, 0.6}, {3, 0.35}, {4, 0.2}, {5, 0.15}, {6, 0.1}}));
    if (is("E Tom"))
        return voiced(partials({{1, 1}, {2, 0.15}, {3, 0.05}}));
    if (is("Harp"))
        return voiced(plucked(0.3, 1.5, 4000.0));
    if (is("Koto"))
        return voiced(scaled(plucked(0.15, 1.0, 6000.0), [](int, double f) { return 1.0 + formant(f, 1500, 500); }));
    if (is("Sitar"))
        return voiced(scaled(plucked(0.08, 0.5, 8000.0),
                             [](int, double f) { return 0.3 + formant(f, 1000, 300) + formant(f, 3000, 800); }));
    if (is("A Guitar"))
        return voiced(scaled(plucked(0.14, 0.75, 12000.0),
                             [](int, double f) { return 1.0 + 1.5 * formant(f, 200, 80) + 1.5 * formant(f, 6000, 3000); }));
    if (is("F Guitar"))
        return voiced(scaled(plucked(0.1, 0.6, 14000.0),
                             [](int, double f) { return 1.0 + 1.5 * formant(f, 3500, 1500) + 1.8 * formant(f, 7000, 3000); }));
    if (is("Strat"))
        return voiced(scaled(plucked(0.1, 0.55, 14000.0), [](int k, double f) {
            return (0.2 + pluck(k, 0.08)) * (1.0 + 1.5 * formant(f, 3500, 1500) + 1.8 * formant(f, 7000, 3000));
        }));
    if (is("Ac Bass"))
        return voiced(plucked(0.25, 1.6, 1500.0));
    if (is("Pick Bass"))
        return voiced(plucked(0.1, 1.2, 3000.0));
    if (is("Pull Bass"))
        return voiced(scaled(plucked(0.08, 1.0, 5000.0), [](int, double f) { return 1.0 + formant(f, 2000, 600); }));
    if (is("Slap Bass"))
        return voiced(scaled(plucked(0.05, 1.3, 8000.0), [](int, double f)
                             { return (1.0 + formant(f, 2500, 700)) * (1.0 - 0.7 * formant(f, 600, 200)); }));
    if (is("Round Bass"))
        return voiced(scaled(saw(2.2), [](int, double f) { return lowpass(f, 800.0, 1.0); }));
    if (is("Fretless"))
        return voiced(
            scaled(plucked(0.2, 1.3, 3000.0), [](int, double f) { return 1.0 + 2.0 * formant(f, 500, 150); }));
    if (is("Digi Bass 1"))
        return voiced([](int k, double f) { return (k % 2) ? 1.0 / k * lowpass(f, 2000.0, 1.0) : 0.0; });
    if (is("Digi Bass 2"))
        return voiced(scaled(saw(), [](int, double f) { return 1.0 + 2.0 * formant(f, 1200, 300); }));
    if (is("Synth Bass"))
        return voiced(
            scaled(saw(), [](int, double f) { return lowpass(f, 1500.0, 2.0) * (1.0 + 3.0 * formant(f, 800, 150)); }));
    if (is("Synth Solo"))
        return voiced(scaled(saw(), [](int, double f) { return 1.0 + 3.0 * formant(f, 2000, 400) + 3.0 * formant(f, 7000, 3000); }));
    if (is("Synth 1")) // a 30 % pulse, brighter than a pulse's 1/k
        return voiced([](int k, double) { return std::abs(std::sin(kPi * k * 0.3)) / std::pow(k, 0.8); });
    if (is("Synth 2"))
        return voiced([](int k, double) { return 1.0 / k + ((k % 2) ? 1.0 / k : 0.0); });
    if (is("Synth 3"))
        return voiced(scaled(saw(), [](int, double f) { return 0.3 + 2.0 * formant(f, 3000, 600); }));
    if (is("Synth 4"))
        return voiced([](int k, double) { return (k % 2) ? 1.0 / (k * k) : 0.3 / k; });
    if (is("Mello Pad"))
        return voiced([](int k, double) { return k == 2 ? 0.5 : 1.0 / (k * k); });
    return voiced(saw());
}
} // namespace wavegen
