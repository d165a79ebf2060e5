// The sound summary: figures over all rendered singles and multis.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "tools/audition/fingerprint.h"
#include "tools/audition/report.h"
#include "tools/audition/standard.h"

namespace audition
{
namespace
{
std::string who(const SingleFigures& f)
{
    return presetLabel(f.index, f.name);
}
} // namespace

std::vector<std::string> soundSummary(const std::vector<SingleFigures>& singles, const std::vector<MultiFigures>& multis)
{
    std::vector<std::string> out;
    std::vector<const SingleFigures*> rendered;
    for (const SingleFigures& f : singles)
        if (f.sound.rendered)
            rendered.push_back(&f);
    if (rendered.empty())
        return out;

    // Brightness (the third harmonic and up) across the split keys: the
    // singles the ranges answer for, then apart the ones whose losses are
    // their own (pure partials falling silent, pitch sweeps, fixed keys,
    // ring modulation).
    const int splits[] = {48, 60, 72, 84};
    for (bool checked : {true, false})
    {
        for (int split : splits)
        {
            size_t bright = 0;
            std::vector<std::pair<double, std::string>> lost;
            for (const SingleFigures* f : rendered)
            {
                const SweepKey* below = f->sound.at(split - 1);
                const SweepKey* at = f->sound.at(split);
                if (f->sound.splitChecked != checked || below == nullptr || at == nullptr ||
                    below->thirdDb < below->noteDb - 30.0)
                    continue;
                ++bright;
                const double loss = below->thirdDb - at->thirdDb;
                if (loss > 6.0)
                    lost.emplace_back(loss, who(*f) + reportLine(" %.1f", loss));
            }
            std::sort(lost.begin(), lost.end(), [](const auto& x, const auto& y) { return x.first > y.first; });
            std::string worst;
            for (size_t i = 0; i < lost.size() && i < 6; ++i)
                worst += (i == 0 ? ": " : ", ") + lost[i].second;
            out.push_back(reportLine(checked ? "split %.0f: %.0f of %.0f bright singles lose > 6 dB of brightness"
                                             : "split %.0f, losses of their own: %.0f of %.0f bright singles lose > 6 dB",
                                     split, static_cast<double>(lost.size()), static_cast<double>(bright)) +
                          worst);
        }
    }

    // Folded partials of singles made only of single-cycle waves in octaves.
    size_t checked = 0, belowC8 = 0, belowC7 = 0;
    double worstWhistle = -300.0;
    std::string worstWhistleName;
    for (const SingleFigures* f : rendered)
    {
        if (!f->sound.whistleChecked)
            continue;
        ++checked;
        bool c8 = false, c7 = false;
        for (const SweepKey& k : f->sound.sweep)
        {
            const double level = k.inharmonicDb - k.noteDb;
            if (level > -30.0)
            {
                c8 = true;
                c7 = c7 || k.key < 96;
            }
            if (level > worstWhistle)
            {
                worstWhistle = level;
                worstWhistleName = who(*f) + " at key " + std::to_string(k.key);
            }
        }
        belowC8 += c8 ? 1 : 0;
        belowC7 += c7 ? 1 : 0;
    }
    out.push_back(reportLine("folded partials: %.0f of %.0f all-single-cycle singles whistle (> -30 dB) below C8, %.0f below "
                       "C7; worst %.1f dB",
                       static_cast<double>(belowC8), static_cast<double>(checked), static_cast<double>(belowC7),
                       worstWhistle) +
                  " " + worstWhistleName);

    // Near-twins.
    std::vector<bool> twin(rendered.size(), false);
    size_t sameStorage = 0;
    double closest = 1e9;
    std::string closestPair;
    for (size_t a = 0; a < rendered.size(); ++a)
    {
        for (size_t b = a + 1; b < rendered.size(); ++b)
        {
            const double d = fingerprintDistance(rendered[a]->sound.fingerprint, rendered[b]->sound.fingerprint);
            if (d < kTwinDistanceDb)
            {
                twin[a] = twin[b] = true;
                sameStorage += singleStorage(rendered[a]->index) == singleStorage(rendered[b]->index) ? 1 : 0;
            }
            if (d < closest)
            {
                closest = d;
                closestPair = who(*rendered[a]) + " and " + who(*rendered[b]);
            }
        }
    }
    out.push_back(reportLine("near-twins: %.0f of %.0f singles have one within 1 dB (%.1f %%); %.0f twin pairs within one "
                       "storage; closest %.2f dB",
                       static_cast<double>(std::count(twin.begin(), twin.end(), true)),
                       static_cast<double>(rendered.size()),
                       100.0 * static_cast<double>(std::count(twin.begin(), twin.end(), true)) /
                           static_cast<double>(rendered.size()),
                       static_cast<double>(sameStorage), closest) +
                  " " + closestPair);

    // Pumping.
    size_t sustained = 0, pumping = 0;
    const SingleFigures* worstPump = nullptr;
    for (const SingleFigures* f : rendered)
    {
        if (!f->sustained || f->tremolo)
            continue;
        ++sustained;
        pumping += f->sound.pumpDb > 6.0 ? 1 : 0;
        if (worstPump == nullptr || f->sound.pumpDb > worstPump->sound.pumpDb)
            worstPump = f;
    }
    if (worstPump != nullptr)
        out.push_back(reportLine("pumping: %.0f of %.0f sustained singles swing > 6 dB on a held C4; worst %.1f dB at %.1f Hz",
                           static_cast<double>(pumping), static_cast<double>(sustained), worstPump->sound.pumpDb,
                           worstPump->sound.pumpHz) +
                      " " + who(*worstPump));

    // Loudness.
    std::vector<double> lufs;
    std::map<size_t, std::vector<double>> byStorage;
    for (const SingleFigures* f : rendered)
    {
        lufs.push_back(f->sound.chordLufs);
        byStorage[singleStorage(f->index)].push_back(f->sound.chordLufs);
    }
    std::sort(lufs.begin(), lufs.end());
    std::string medians;
    for (const auto& [storage, values] : byStorage)
        medians += reportLine(" %.1f", median(values));
    out.push_back(reportLine("single loudness (C3-C5 chord, velocity 100): median %.1f LUFS, 5-95 %% %.1f to %.1f, range %.1f "
                       "to %.1f; storage medians",
                       median(lufs), lufs[lufs.size() * 5 / 100], lufs[lufs.size() * 95 / 100], lufs.front(),
                       lufs.back()) +
                  medians);

    // Multis against the median single of their storage (their own median
    // where its singles were not rendered), and the storages' median gaps.
    if (!multis.empty())
    {
        std::map<size_t, std::vector<double>> multiStorage;
        for (const MultiFigures& m : multis)
            multiStorage[m.index / 32].push_back(m.chordLufs);
        auto reference = [&](size_t storage) {
            const auto own = byStorage.find(storage);
            return own != byStorage.end() ? median(own->second) : median(multiStorage[storage]);
        };
        std::string gaps;
        for (const auto& [storage, values] : multiStorage)
            gaps += reportLine(" %+.1f", median(values) - reference(storage));
        double worst = 0.0, low = 1e9, high = -1e9;
        std::string worstName;
        size_t outside = 0;
        for (const MultiFigures& m : multis)
        {
            const double gap = m.chordLufs - reference(m.index / 32);
            outside += std::abs(gap) > 4.0 ? 1 : 0;
            low = std::min(low, m.chordLufs);
            high = std::max(high, m.chordLufs);
            if (std::abs(gap) > std::abs(worst))
            {
                worst = gap;
                worstName = presetLabel(m.index, m.name);
            }
        }
        out.push_back(reportLine("multi loudness: %.1f to %.1f LUFS (span %.1f LU); %.0f more than 4 LU from their storage's "
                           "median single; worst %+.1f LU",
                           low, high, high - low, static_cast<double>(outside), worst) +
                      " " + worstName + "; median multi against median single per storage" + gaps);
    }

    // Peaks of the ten-note chord at velocity 127.
    std::vector<double> peaks;
    const SingleFigures* loudest = nullptr;
    for (const SingleFigures* f : rendered)
    {
        peaks.push_back(f->sound.fullChordPeakDb);
        if (loudest == nullptr || f->sound.fullChordPeakDb > loudest->sound.fullChordPeakDb)
            loudest = f;
    }
    const auto over = std::count_if(peaks.begin(), peaks.end(), [](double p) { return p > 0.0; });
    out.push_back(reportLine("ten-note chord at velocity 127: %.0f of %.0f singles peak above 0 dBFS (%.1f %%); median %.1f, "
                       "highest %+.1f dBFS",
                       static_cast<double>(over), static_cast<double>(peaks.size()),
                       100.0 * static_cast<double>(over) / static_cast<double>(peaks.size()), median(peaks),
                       loudest->sound.fullChordPeakDb) +
                  " " + who(*loudest));

    // Touch of the struck, plucked and keyboard singles.
    std::vector<double> toLoud, toMiddle;
    size_t answering = 0;
    for (const SingleFigures* f : rendered)
    {
        double loud = 0.0, middle = 0.0;
        if (!touchRises(f->sound, loud, middle))
            continue;
        toLoud.push_back(loud);
        toMiddle.push_back(middle);
        answering += loud >= 12.0 && middle >= 8.0 ? 1 : 0;
    }
    if (!toLoud.empty())
        out.push_back(reportLine("touch (held C4): %.0f of %.0f struck, plucked and keyboard singles rise 12 dB from velocity 40 "
                                 "to 127 and 8 dB to 100 (%.1f %%); median rises %.1f and %.1f dB",
                                 static_cast<double>(answering), static_cast<double>(toLoud.size()),
                                 100.0 * static_cast<double>(answering) / static_cast<double>(toLoud.size()),
                                 median(toLoud), median(toMiddle)));

    // Brightness at C4.
    std::vector<double> rolloffs;
    size_t bright = 0, dull = 0;
    const SingleFigures* dullest = nullptr;
    for (const SingleFigures* f : rendered)
    {
        rolloffs.push_back(f->sound.rolloffHz);
        if (!f->bright)
            continue;
        ++bright;
        dull += f->sound.rolloffHz < 4000.0 ? 1 : 0;
        if (dullest == nullptr || f->sound.rolloffHz < dullest->sound.rolloffHz)
            dullest = f;
    }
    out.push_back(reportLine("95 %% roll-off at C4: median single %.0f Hz; %.0f of %.0f singles meant bright below 4 kHz",
                       median(rolloffs), static_cast<double>(dull), static_cast<double>(bright)) +
                  (dullest != nullptr ? reportLine("; dullest %.0f Hz ", dullest->sound.rolloffHz) + who(*dullest) : ""));
    return out;
}
} // namespace audition
