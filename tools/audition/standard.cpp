// The checks of the standard over one storage's figures.

#include "tools/audition/standard.h"

#include <algorithm>
#include <cstdio>

namespace audition
{
namespace
{
std::string label(const std::string& name, size_t index)
{
    return presetLabel(index, name) + ": ";
}

void checkTake(std::vector<std::string>& out, const std::string& who, const char* take, const TakeFigures& t,
               bool rendered, bool swell, const Limits& limits)
{
    if (!rendered)
        return;
    const std::string where = who + take + " ";
    if (t.nonFinite)
        out.push_back(where + "produced NaN or infinity");
    const double allowed = swell ? limits.swellFirstSound : limits.firstSound;
    if (t.firstSound < 0.0)
        out.push_back(where + "never sounds");
    else if (t.firstSound > allowed)
        out.push_back(where + reportLine("first sound after %.3f s (allowed %.3f s)", t.firstSound, allowed));
}
} // namespace

const SweepKey* SoundFigures::at(int key) const
{
    for (const SweepKey& k : sweep)
        if (k.key == key)
            return &k;
    return nullptr;
}

bool SingleFigures::nonFinite() const
{
    for (const SingleTakes* t : {&soft, &loud})
        if (t->low.nonFinite || t->c4.nonFinite || t->chord.nonFinite)
            return true;
    return false;
}

bool SingleFigures::clipped() const
{
    for (const SingleTakes* t : {&soft, &loud})
        if (t->low.clipped || t->c4.clipped || t->chord.clipped)
            return true;
    return false;
}

std::string presetLabel(size_t index, const std::string& name)
{
    // Appended piece by piece: gcc 12 takes a chain of + here for an
    // overlapping copy (-Wrestrict).
    std::string text = "#";
    text += std::to_string(index);
    text += " \"";
    text += name;
    text += '"';
    return text;
}

std::string reportLine(const char* format, double a, double b, double c, double d, double e)
{
    char text[320];
    std::snprintf(text, sizeof text, format, a, b, c, d, e);
    return text;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

std::vector<std::string> checkSingles(const std::vector<SingleFigures>& storage, const Limits& limits)
{
    std::vector<std::string> out;
    std::vector<double> loudness;
    double darkestLeadOrBell = 1e30;
    std::string darkestName;
    for (const SingleFigures& f : storage)
    {
        if (f.loud.c4Rendered)
            loudness.push_back(f.loud.c4.loudnessDb);
        if (f.leadOrBell && f.loud.c4Rendered && f.loud.c4.centroidHz < darkestLeadOrBell)
        {
            darkestLeadOrBell = f.loud.c4.centroidHz;
            darkestName = f.name;
        }
    }
    const double middle = median(loudness);

    for (const SingleFigures& f : storage)
    {
        const std::string who = label(f.name, f.index);
        if (f.vibratoCents > limits.vibratoCents && !f.wideVibrato)
            out.push_back(who + reportLine("vibrato swings %.0f cents either way (at most %.0f)", f.vibratoCents,
                                    limits.vibratoCents));
        if (f.pressureCents > limits.pressureCents && !f.effect)
            out.push_back(who + reportLine("channel pressure swings the pitch %.0f cents either way (at most %.0f)",
                                    f.pressureCents, limits.pressureCents));
        if (f.sustains && f.sound.rendered && f.heldDb < limits.heldFloorDb)
            out.push_back(who + reportLine("sustains, but a held C4 is silent 2.4 s in (%.1f dBFS, at least %.1f)",
                                    f.heldDb, limits.heldFloorDb));
        if (f.dcDb > limits.dcDb)
            out.push_back(who + reportLine("offset (DC) of %.1f dBFS on a held C2 or C4 (at most %.1f)", f.dcDb,
                                    limits.dcDb));
        for (const SingleTakes* t : {&f.soft, &f.loud})
        {
            const char* v = t == &f.soft ? "v40 " : "v110 ";
            checkTake(out, who + v, "low", t->low, t->lowRendered, f.swell, limits);
            checkTake(out, who + v, "C4", t->c4, t->c4Rendered, f.swell, limits);
            checkTake(out, who + v, "chord", t->chord, t->chordRendered, f.swell, limits);
        }
        if (!f.loud.c4Rendered)
            continue;
        const TakeFigures& c4 = f.loud.c4;
        if (c4.releaseToSilence < 0.0 || c4.releaseToSilence > limits.silence)
            out.push_back(who + "C4 not silent within 10 s of its release");
        if (f.loud.chordRendered && f.loud.chord.clipped)
            out.push_back(who + reportLine("chord at velocity 110 clips (peak %+.1f dB)", f.loud.chord.peakDb));
        // A single whose ten-note chord already reaches the headroom may sit
        // lower: louder, that chord would clip (the drums, ten hits at once).
        const bool atHeadroom = f.sound.rendered && f.sound.fullChordPeakDb > limits.headroomDb;
        if (std::abs(c4.loudnessDb - middle) > limits.loudnessSpread && !(atHeadroom && c4.loudnessDb < middle))
            out.push_back(who + reportLine("C4 loudness %.1f dB, storage median %.1f dB", c4.loudnessDb, middle));
        if (f.velocitySensitive && f.soft.c4Rendered)
        {
            const TakeFigures& soft = f.soft.c4;
            const bool quieter = soft.loudnessDb <= c4.loudnessDb - limits.velocityQuieter;
            const bool darker = soft.centroidHz <= c4.centroidHz * limits.velocityDarker;
            if (!quieter && !darker)
                out.push_back(who + reportLine("velocity 40 is %.1f dB and %.0f Hz against 110", soft.loudnessDb - c4.loudnessDb,
                                        soft.centroidHz - c4.centroidHz));
        }
        if (f.bass && c4.centroidHz >= darkestLeadOrBell)
            out.push_back(who + reportLine("bass centroid %.0f Hz not below the lead or bell at %.0f Hz", c4.centroidHz,
                                    darkestLeadOrBell) + " (\"" + darkestName + "\")");
        if (f.percussive && c4.decayDb > limits.percussiveDecay)
            out.push_back(who + reportLine("struck or plucked but only %.1f dB down after a 2 s hold", c4.decayDb));
    }
    return out;
}

std::vector<std::string> checkMultis(const std::vector<MultiFigures>& storage, const Limits& limits)
{
    std::vector<std::string> out;
    for (const MultiFigures& f : storage)
    {
        const std::string who = label(f.name, f.index);
        if (f.mix.nonFinite)
            out.push_back(who + "produced NaN or infinity");
        if (f.chordPeakDb > limits.multiChordPeakDb)
            out.push_back(who + reportLine("chord C4 E4 G4 C5 at velocity 127 peaks at %+.1f dBFS (at most %.1f)",
                                    f.chordPeakDb, limits.multiChordPeakDb));
        if (f.mix.releaseToSilence < 0.0 || f.mix.releaseToSilence > limits.silence)
            out.push_back(who + "not silent within 10 s of its last release");
        const bool quieter = f.soft.loudnessDb <= f.loud.loudnessDb - limits.velocityQuieter;
        const bool darker = f.soft.centroidHz <= f.loud.centroidHz * limits.velocityDarker;
        if (f.velocitySensitive && !quieter && !darker)
            out.push_back(who + reportLine("velocity 40 is %.1f dB and %.0f Hz against 110", f.soft.loudnessDb - f.loud.loudnessDb,
                                    f.soft.centroidHz - f.loud.centroidHz));
        for (const SectionFigures& s : f.sections)
        {
            const std::string where = who + "section " + std::to_string(s.section + 1) + " ";
            const double allowed = s.swell ? limits.swellFirstSound : limits.firstSound;
            if (!s.sounded)
                out.push_back(where + "never sounds in the phrase");
            else if (s.firstSound < 0.0 || s.firstSound > allowed)
                out.push_back(where + reportLine("first sound after %.3f s (allowed %.3f s)", s.firstSound, allowed));
        }
    }
    return out;
}
} // namespace audition
