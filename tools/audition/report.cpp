// Table rows: medians and worst cases over the presets a storage rendered.

#include "tools/audition/report.h"

#include <algorithm>
#include <cstdio>

#include "tools/audition/standard.h"

namespace audition
{
namespace
{
double maxOf(const std::vector<double>& v) { return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end()); }
double minOf(const std::vector<double>& v) { return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end()); }
} // namespace

std::string singlesHeader()
{
    return "storage   n  | C4 dB med  min   max | chord pk med  max | onset ms med max | release s med  max | "
           "centroid med bassMax ldBlMin | v40-v110 dB med | fail";
}

std::string singlesRow(const std::string& storage, const std::vector<SingleFigures>& figures, size_t failures)
{
    std::vector<double> loud, chord, onset, release, centroid, bass, leadBell, velocity;
    for (const SingleFigures& f : figures)
    {
        if (!f.loud.c4Rendered)
            continue;
        loud.push_back(f.loud.c4.loudnessDb);
        onset.push_back(1000.0 * f.loud.c4.firstSound);
        release.push_back(f.loud.c4.releaseToSilence < 0.0 ? 99.0 : f.loud.c4.releaseToSilence);
        centroid.push_back(f.loud.c4.centroidHz);
        if (f.loud.chordRendered)
            chord.push_back(f.loud.chord.peakDb);
        if (f.bass)
            bass.push_back(f.loud.c4.centroidHz);
        if (f.leadOrBell)
            leadBell.push_back(f.loud.c4.centroidHz);
        if (f.velocitySensitive && f.soft.c4Rendered)
            velocity.push_back(f.soft.c4.loudnessDb - f.loud.c4.loudnessDb);
    }
    char row[320];
    std::snprintf(row, sizeof row,
                  "%-8s %3zu | %9.1f %5.1f %5.1f | %12.1f %4.1f | %12.0f %3.0f | %13.2f %4.2f | %12.0f %7.0f %7.0f | "
                  "%15.1f | %zu",
                  storage.c_str(), loud.size(), median(loud), minOf(loud), maxOf(loud), median(chord), maxOf(chord),
                  median(onset), maxOf(onset), median(release), maxOf(release), median(centroid), maxOf(bass),
                  minOf(leadBell), median(velocity), failures);
    return row;
}

std::string multisHeader()
{
    return "storage   n  | mix dB med  min   max | peak med  max | release s med  max | sections silent | "
           "onset ms max | fail";
}

std::string multisRow(const std::string& storage, const std::vector<MultiFigures>& figures, size_t failures)
{
    std::vector<double> loud, peak, release, onset;
    size_t silentSections = 0;
    for (const MultiFigures& f : figures)
    {
        loud.push_back(f.mix.loudnessDb);
        peak.push_back(f.mix.peakDb);
        release.push_back(f.mix.releaseToSilence < 0.0 ? 99.0 : f.mix.releaseToSilence);
        for (const SectionFigures& s : f.sections)
        {
            silentSections += s.sounded ? 0 : 1;
            if (s.sounded && !s.swell)
                onset.push_back(1000.0 * s.firstSound);
        }
    }
    char row[256];
    std::snprintf(row, sizeof row, "%-8s %3zu | %10.1f %5.1f %5.1f | %8.1f %4.1f | %13.2f %4.2f | %15zu | %12.0f | %zu",
                  storage.c_str(), loud.size(), median(loud), minOf(loud), maxOf(loud), median(peak), maxOf(peak),
                  median(release), maxOf(release), silentSections, maxOf(onset), failures);
    return row;
}
} // namespace audition
