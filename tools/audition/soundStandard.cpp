// The sound standard's checks over the sound figures of every rendered preset.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "patch/waveformNames.h"
#include "tools/audition/fingerprint.h"
#include "tools/audition/standard.h"
#include "tools/patchdesigner/designer.h"

namespace audition
{
namespace
{
constexpr int kSplitKeys[] = {48, 60, 72, 84};

std::string who(const SingleFigures& f)
{
    return storageSymbol(singleStorage(f.index)) + " " + presetLabel(f.index, f.name);
}

double percent(size_t part, size_t whole)
{
    return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

} // namespace

double brightnessLoss(const SoundFigures& s, double upperPresentDb, int* key)
{
    double worst = 0.0;
    for (int split : kSplitKeys)
    {
        const SweepKey* below = s.at(split - 1);
        const SweepKey* at = s.at(split);
        if (below == nullptr || at == nullptr || below->thirdDb < below->noteDb + upperPresentDb)
            continue;
        const double loss = below->thirdDb - at->thirdDb;
        if (loss > worst)
        {
            worst = loss;
            *key = split;
        }
    }
    return worst;
}

namespace
{
// The loss of brightness at a split key, 0 for singles whose losses are
// not the ranges' doing (figures.h).
double splitLoss(const SoundFigures& s, double upperPresentDb, int* key)
{
    return s.splitChecked ? brightnessLoss(s, upperPresentDb, key) : 0.0;
}

// Twin pairs within a storage go to `presets` (one line each); the share
// of singles with a twin anywhere, and then every pair across storages, to
// `factory`.
void twins(const std::vector<const SingleFigures*>& rendered, const SoundLimits& limits,
           std::vector<std::string>* presets, std::vector<std::string>* factory)
{
    std::vector<bool> twin(rendered.size(), false);
    std::vector<std::string> across;
    std::map<size_t, size_t> pairsByStorage;
    for (size_t a = 0; a < rendered.size(); ++a)
    {
        for (size_t b = a + 1; b < rendered.size(); ++b)
        {
            const double d = fingerprintDistance(rendered[a]->sound.fingerprint, rendered[b]->sound.fingerprint);
            if (d >= limits.twinDistanceDb)
                continue;
            twin[a] = twin[b] = true;
            const size_t storage = singleStorage(rendered[a]->index);
            const bool same = storage == singleStorage(rendered[b]->index);
            const std::string pair = who(*rendered[a]) + " and " + who(*rendered[b]) +
                                     reportLine(": near-twins, fingerprints %.2f dB apart (at least %.1f dB)", d,
                                         limits.twinDistanceDb);
            if (same && presets != nullptr)
                presets->push_back(pair);
            else if (!same)
                across.push_back("factory: " + pair);
            pairsByStorage[storage] += same ? 1 : 0;
        }
    }
    if (factory == nullptr)
        return;
    const auto count = static_cast<size_t>(std::count(twin.begin(), twin.end(), true));
    if (static_cast<double>(count) > limits.twinShare * static_cast<double>(rendered.size()))
    {
        factory->push_back(reportLine("factory: %.0f of %.0f singles (%.1f %%) have a near-twin (at most %.1f %%)",
                               static_cast<double>(count), static_cast<double>(rendered.size()),
                               percent(count, rendered.size()), 100.0 * limits.twinShare));
        factory->insert(factory->end(), across.begin(), across.end());
    }
    // The drum and effects card is where repeats crept in: it says so on its own.
    for (const auto& [storage, pairs] : pairsByStorage)
        if (storageSymbol(storage) == "A200" && pairs > 0)
            factory->push_back(reportLine("factory: A200 singles not all different: %.0f twin pairs", static_cast<double>(pairs)));
}

void checkLevels(std::vector<std::string>& out, const std::vector<const SingleFigures*>& rendered,
                 const SoundLimits& limits)
{
    std::vector<double> lufs;
    std::vector<const SingleFigures*> over;
    for (const SingleFigures* f : rendered)
    {
        lufs.push_back(f->sound.chordLufs);
        if (f->sound.fullChordPeakDb > limits.chordPeakDb)
            over.push_back(f);
    }
    const double middle = median(lufs);
    if (std::abs(middle - limits.loudnessLufs) > limits.loudnessTolerance)
        out.push_back(reportLine("factory: median single %.1f LUFS on the C3-C5 chord at velocity 100 (%.1f to %.1f)", middle,
                          limits.loudnessLufs - limits.loudnessTolerance, limits.loudnessLufs + limits.loudnessTolerance));

    if (static_cast<double>(rendered.size() - over.size()) < limits.chordPeakShare * static_cast<double>(rendered.size()))
    {
        std::sort(over.begin(), over.end(), [](const SingleFigures* a, const SingleFigures* b) {
            return a->sound.fullChordPeakDb > b->sound.fullChordPeakDb;
        });
        std::string loudest;
        for (size_t i = 0; i < std::min<size_t>(over.size(), 5); ++i)
            loudest += (i == 0 ? "; loudest " : ", ") + who(*over[i]) + reportLine(" %+.1f dBFS", over[i]->sound.fullChordPeakDb);
        out.push_back(reportLine("factory: %.0f of %.0f singles (%.1f %%) peak above %.1f dBFS on the ten-note chord at velocity "
                          "127 (at most %.1f %%)",
                          static_cast<double>(over.size()), static_cast<double>(rendered.size()),
                          percent(over.size(), rendered.size()), limits.chordPeakDb,
                          100.0 - 100.0 * limits.chordPeakShare) +
                      loudest);
    }
}

// Struck, plucked and keyboard singles answer the touch; the least
// answering ones are named.
void checkTouch(std::vector<std::string>& out, const std::vector<const SingleFigures*>& rendered,
                const SoundLimits& limits)
{
    std::vector<std::pair<double, std::string>> weak;
    std::vector<double> loud, middle;
    for (const SingleFigures* f : rendered)
    {
        double toLoud = 0.0, toMiddle = 0.0;
        if (!touchRises(f->sound, toLoud, toMiddle))
            continue;
        loud.push_back(toLoud);
        middle.push_back(toMiddle);
        if (toLoud < limits.touchRiseLoud || toMiddle < limits.touchRiseMiddle)
            weak.emplace_back(std::min(toLoud - limits.touchRiseLoud, toMiddle - limits.touchRiseMiddle),
                              who(*f) + reportLine(" %.1f/%.1f dB", toLoud, toMiddle));
    }
    const size_t meeting = loud.size() - weak.size();
    if (loud.empty() || static_cast<double>(meeting) >= limits.touchShare * static_cast<double>(loud.size()))
        return;
    std::stable_sort(weak.begin(), weak.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string least;
    for (size_t i = 0; i < std::min<size_t>(weak.size(), 5); ++i)
        least += (i == 0 ? "; least " : ", ") + weak[i].second;
    out.push_back(reportLine("factory: %.0f of %.0f struck, plucked and keyboard singles (%.1f %%) rise %.0f dB on a held C4 ",
                             static_cast<double>(meeting), static_cast<double>(loud.size()),
                             percent(meeting, loud.size()), limits.touchRiseLoud) +
                  reportLine("from velocity 40 to 127 and %.0f dB to 100 (at least %.0f %%); median rises %.1f and %.1f dB",
                             limits.touchRiseMiddle, 100.0 * limits.touchShare, median(loud), median(middle)) +
                  least);
}
} // namespace

bool touchRises(const SoundFigures& s, double& toLoud, double& toMiddle)
{
    // kTouchVelocities: 40, 100, 127.
    if (s.touchDb.size() != 3)
        return false;
    toLoud = s.touchDb[2] - s.touchDb[0];
    toMiddle = s.touchDb[1] - s.touchDb[0];
    return true;
}

size_t singleStorage(size_t index)
{
    return std::min<size_t>(index / 64, 12);
}

size_t multiStorage(size_t index)
{
    return index / 32;
}

std::string storageSymbol(size_t storage)
{
    const auto& plans = designer::bankPlans();
    return storage < plans.size() ? plans[storage].symbol : "?";
}

std::vector<std::string> checkSoundPresets(const std::vector<SingleFigures>& singles,
                                           const std::vector<MultiFigures>& multis, const SoundLimits& limits)
{
    std::vector<std::string> out;
    std::vector<const SingleFigures*> rendered;
    for (const SingleFigures& f : singles)
    {
        if (!f.sound.rendered)
            continue;
        rendered.push_back(&f);
        const SoundFigures& s = f.sound;
        if (f.sustained && !f.tremolo && s.pumpDb > limits.pumpDb)
            out.push_back(who(f) + reportLine(": swings %.1f dB at %.1f Hz on a held C4 (at most %.1f dB)", s.pumpDb, s.pumpHz,
                                       limits.pumpDb));
        if (f.bright && s.rolloffHz < limits.brightRolloffHz)
            out.push_back(who(f) + reportLine(": meant bright, but 95 %% of its C4 lies below %.0f Hz (at least %.0f Hz)",
                                       s.rolloffHz, limits.brightRolloffHz));
        int key = 0;
        const double loss = splitLoss(s, limits.upperPresentDb, &key);
        if (loss > limits.splitLossDb)
            out.push_back(who(f) + reportLine(": loses %.1f dB of its brightness from key %.0f to %.0f (at most %.1f dB)",
                                       loss, key - 1, key, limits.splitLossDb));
    }
    twins(rendered, limits, &out, nullptr);
    const std::vector<std::string> levels = checkMultiLoudness(singles, multis, limits);
    out.insert(out.end(), levels.begin(), levels.end());
    return out;
}

// Multis against the median single of their storage where its singles were
// rendered (switching from a single to a multi keeps the level), else
// against their own median.
std::vector<std::string> checkMultiLoudness(const std::vector<SingleFigures>& singles,
                                            const std::vector<MultiFigures>& multis, const SoundLimits& limits)
{
    std::vector<std::string> out;
    std::map<size_t, std::vector<double>> byStorage, singlesByStorage;
    for (const MultiFigures& m : multis)
        byStorage[multiStorage(m.index)].push_back(m.chordLufs);
    for (const SingleFigures& f : singles)
        if (f.sound.rendered)
            singlesByStorage[singleStorage(f.index)].push_back(f.sound.chordLufs);
    for (const auto& [storage, levels] : byStorage)
    {
        const auto own = singlesByStorage.find(storage);
        if (own == singlesByStorage.end())
            continue;
        const double gap = median(levels) - median(own->second);
        if (std::abs(gap) > limits.multiMedianGap)
            out.push_back(storageSymbol(storage) +
                          reportLine(" multis: median %.1f LUFS on the C3-C5 chord, %+.1f LU from the median single "
                                     "%.1f (within %.1f)",
                                     median(levels), gap, median(own->second), limits.multiMedianGap));
    }
    for (const MultiFigures& m : multis)
    {
        const size_t storage = multiStorage(m.index);
        const auto own = singlesByStorage.find(storage);
        const bool bySingles = own != singlesByStorage.end();
        const double middle = median(bySingles ? own->second : byStorage[storage]);
        // Louder by what it lacks, its loudest chord would reach the
        // headroom: it may sit lower, as a single may.
        const bool atHeadroom =
            m.chordLufs < middle && m.chordPeakDb + (middle - m.chordLufs) > limits.multiHeadroomDb;
        if (std::abs(m.chordLufs - middle) > limits.multiSpread && !atHeadroom)
            out.push_back(storageSymbol(storage) + " multi " + presetLabel(m.index, m.name) +
                          reportLine(": %.1f LUFS on the C3-C5 chord, %+.1f LU from ", m.chordLufs, m.chordLufs - middle) +
                          (bySingles ? "the median single" : "its storage's median") +
                          reportLine(" %.1f (within %.1f)", middle, limits.multiSpread));
    }
    return out;
}

std::vector<std::string> checkSoundFactory(const std::vector<SingleFigures>& singles, const SoundLimits& limits)
{
    std::vector<std::string> out;
    std::vector<const SingleFigures*> rendered;
    std::vector<std::pair<double, std::string>> lossy;
    for (const SingleFigures& f : singles)
    {
        if (!f.sound.rendered)
            continue;
        rendered.push_back(&f);
        int key = 0;
        const double loss = splitLoss(f.sound, limits.upperPresentDb, &key);
        if (loss > limits.brightnessLossDb)
            lossy.emplace_back(loss, who(f) + reportLine(" %.1f dB at key %.0f", loss, key));
    }
    if (rendered.empty())
        return out;
    if (lossy.size() > limits.brightnessLossSingles)
    {
        std::stable_sort(lossy.begin(), lossy.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        std::string worst;
        for (size_t i = 0; i < std::min<size_t>(lossy.size(), 8); ++i)
            worst += (i == 0 ? "; worst " : ", ") + lossy[i].second;
        out.push_back(reportLine("factory: %.0f of %.0f singles lose more than %.1f dB of their brightness at a split key "
                                 "(at most %.0f)",
                                 static_cast<double>(lossy.size()), static_cast<double>(rendered.size()),
                                 limits.brightnessLossDb, static_cast<double>(limits.brightnessLossSingles)) +
                      worst);
    }
    twins(rendered, limits, nullptr, &out);
    checkLevels(out, rendered, limits);
    checkTouch(out, rendered, limits);
    return out;
}

std::vector<std::string> checkSound(const std::vector<SingleFigures>& singles, const std::vector<MultiFigures>& multis,
                                    const SoundLimits& limits)
{
    std::vector<std::string> out = checkSoundPresets(singles, multis, limits);
    const std::vector<std::string> factory = checkSoundFactory(singles, limits);
    out.insert(out.end(), factory.begin(), factory.end());
    return out;
}

std::vector<std::string> checkWavesUsed(const std::vector<k1lib::SinglePreset>& singles)
{
    std::vector<bool> used(k1lib::kWaveformCount, false);
    for (const k1lib::SinglePreset& p : singles)
    {
        for (size_t s = 0; s < (p.source2or4 ? 4u : 2u); ++s)
            if (!p.mute[s])
                used[p.sources[s].wave % k1lib::kWaveformCount] = true;
    }
    std::string list;
    size_t unused = 0;
    for (int w = 0; w < k1lib::kWaveformCount; ++w)
    {
        if (used[static_cast<size_t>(w)])
            continue;
        list += (unused++ == 0 ? ": " : ", ") + std::string(k1lib::g_waveformNames[w]);
    }
    if (unused == 0)
        return {};
    return {reportLine("factory: %.0f of %.0f waves used by no single", static_cast<double>(unused),
                static_cast<double>(k1lib::kWaveformCount)) +
            list};
}

std::vector<k1lib::SinglePreset> designedSingles()
{
    std::vector<k1lib::SinglePreset> all;
    for (size_t b = 0; b < designer::bankPlans().size(); ++b)
    {
        const designer::DesignedBank bank = designer::designBank(b);
        all.insert(all.end(), bank.singles.begin(), bank.singles.end());
    }
    return all;
}
} // namespace audition
