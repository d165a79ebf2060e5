// The touch of struck, plucked and keyboard sounds: how far a source's level
// follows the key velocity, and how the brightness does. The K1 reads the
// velocity through an expansion that tops out at 108 and then through the
// source's curve; the depth of velocity to level scales the envelope level
// by a factor that falls from 1 as the curve's value falls below 127.

#include <algorithm>

#include "tools/patchdesigner/recipeKit.h"

namespace designer
{
namespace
{
// Velocity 40 reads the K1's curves at their point 20, velocity 10 at 5,
// velocity 100 at 58, and velocity 108 and up at the top (63). Curve 0
// reaches the top by velocity 100 (124 of 127) and rises evenly below it,
// so with it the depth of velocity to level sets how far a soft touch falls
// while velocity 100 to 127 keep the full level.
// The body follows it at a depth of 38: 0.32 of its level at velocity 10,
// 0.49 at 30, 0.60 at 40, 0.79 at 64, 0.92 at 90, the full level from 100
// on (on the envelope level curve 11 to 18 dB down at velocity 40, the most
// where the level is lowest). Deeper, a key-scaled level runs out at
// the softest touch.
constexpr int kBodyCurve = 0;
constexpr int kBodyDepth = 38;
// A brightening layer follows the same curve deeper: 0.16 of its level at
// velocity 10, 0.46 at 40, 0.69 at 64, full from 100 on. A soft touch is
// darker as well as quieter.
constexpr int kBrightCurve = 0;
constexpr int kBrightDepth = 46;
// Curves 3 and 4 stay low and rise late: a recipe that chose one for a
// source (a tine's bark, a soft piano) keeps it.
constexpr int kLateCurve = 3;

bool transientTone(const Tone& t)
{
    return t.env.sustain == 0 && t.env.decay <= 44;
}
} // namespace

void voiceTouch(Patch& p)
{
    if (p.tones.empty())
        return;
    const Tone main = p.tones[0];
    for (size_t i = 0; i < p.tones.size(); ++i)
    {
        Tone& t = p.tones[i];
        if (t.velLevel <= 0)
            continue; // a source that does not follow velocity keeps it so
        // The body sounds at the key's pitch; a hammer, pick or mallet
        // transient, an octave or a partial above it, and the sheen
        // brighten a hard stroke and stay back under a soft one.
        const bool bright = i > 0 && (transientTone(t) || t.semitones > main.semitones || t.wave == wave("Sin 16th"));
        if (t.velCurve == kLateCurve || t.velCurve == kLateCurve + 1)
            continue;
        t.velCurve = bright ? kBrightCurve : kBodyCurve;
        t.velLevel = std::max(t.velLevel, bright ? kBrightDepth : kBodyDepth);
    }
}
} // namespace designer
