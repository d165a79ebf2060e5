// The multis of a K1 bank: keyboard splits, layers, velocity-switched pairs and
// multitimbral setups, all playing singles of their own bank.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "tools/patchdesigner/designer.h"
#include "tools/patchdesigner/levelCurves.h"

namespace designer
{
namespace
{
constexpr int kPolyVr = 0;
constexpr int kPolyOff = 1;
constexpr int kPolyOne = 2;
constexpr int kOutputR = 0;
constexpr int kOutputLR = 1;
constexpr int kOutputL = 2;
constexpr int kMidiBoth = 2;
constexpr int kVelAll = 0;
constexpr int kVelSoft = 1;
constexpr int kVelLoud = 2;

const char* shortLabel(Family f)
{
    switch (f)
    {
    case Family::Piano: return "Pno";
    case Family::EPiano: return "EP";
    case Family::Clav: return "Clav";
    case Family::Organ: return "Org";
    case Family::Strings: return "Str";
    case Family::Pad: return "Pad";
    case Family::Brass: return "Brs";
    case Family::SynthBrass: return "SBrs";
    case Family::Winds: return "Wind";
    case Family::Reed: return "Reed";
    case Family::Bass: return "Bass";
    case Family::SynthBass: return "SBas";
    case Family::Lead: return "Lead";
    case Family::Bell: return "Bell";
    case Family::Mallet: return "Mlt";
    case Family::Pluck: return "Gtr";
    case Family::Ethnic: return "Eth";
    case Family::Voice: return "Vox";
    case Family::Drum: return "Drm";
    case Family::Fx: return "Fx";
    default: return "Lyr";
    }
}

bool isBass(Family f)
{
    return f == Family::Bass || f == Family::SynthBass;
}

bool heldFamily(Family f)
{
    return f == Family::Strings || f == Family::Pad || f == Family::Brass || f == Family::Winds || f == Family::Reed ||
           f == Family::Voice || f == Family::Organ;
}

// Every sounding source of the single falls to under half its level.
bool fadesAtOnce(const k1lib::SinglePreset& s)
{
    for (size_t i = 0; i < (s.source2or4 ? 4u : 2u); ++i)
        if (!s.mute[i] && s.sources[i].envSustain >= 50)
            return false;
    return true;
}

bool isMono(const k1lib::SinglePreset& s)
{
    return s.polyMode == 2;
}

k1lib::MultiSection unused()
{
    k1lib::MultiSection s;
    s.single = 0;
    s.zoneLow = 0;
    s.zoneHigh = 127;
    s.poly = kPolyOff;
    s.output = kOutputLR;
    s.midiMode = kMidiBoth;
    s.channel = 0;
    s.velocitySwitch = kVelAll;
    s.transpose = 0;
    s.tune = 0;
    s.level = 0;
    return s;
}

k1lib::MultiSection section(const DesignedBank& bank, int single, int level)
{
    k1lib::MultiSection s = unused();
    s.single = single;
    s.poly = isMono(bank.singles[static_cast<size_t>(single)]) ? kPolyOne : kPolyVr;
    s.level = level;
    return s;
}

class Chooser
{
public:
    Chooser(const DesignedBank& bank, size_t bankIndex) : m_bank(bank), m_bankIndex(bankIndex) {}

    // A single of the bank that matches, chosen by the salt; any single when
    // none matches.
    template <typename Match>
    int choose(uint32_t salt, Match match) const
    {
        std::vector<int> candidates;
        for (size_t i = 0; i < m_bank.singles.size(); ++i)
        {
            if (match(m_bank.singleFamilies[i]))
                candidates.push_back(static_cast<int>(i));
        }
        if (candidates.empty())
            return pick(static_cast<uint32_t>(m_bank.singles.size()), static_cast<uint32_t>(m_bankIndex), salt);
        return candidates[static_cast<size_t>(pick(static_cast<uint32_t>(candidates.size()), static_cast<uint32_t>(m_bankIndex), salt))];
    }
    Family family(int single) const { return m_bank.singleFamilies[static_cast<size_t>(single)]; }

private:
    const DesignedBank& m_bank;
    size_t m_bankIndex;
};

void nameOf(k1lib::MultiPreset& multi, const std::string& name)
{
    std::memset(multi.name, 0, sizeof multi.name);
    std::memcpy(multi.name, name.data(), std::min(name.size(), k1lib::kNameLength));
}

void setName(k1lib::MultiPreset& multi, std::set<std::string>& used, const std::string& base)
{
    std::string name = base;
    for (int round = 1; !used.insert(name).second; ++round)
        name = roundName(base, round);
    std::memset(multi.name, 0, sizeof multi.name);
    std::memcpy(multi.name, name.data(), std::min(name.size(), k1lib::kNameLength));
}

// First word of a single's name, at most n characters: "Grand" of "Grand Pno".
std::string word(const DesignedBank& bank, int single, size_t n)
{
    std::string name = bank.singles[static_cast<size_t>(single)].name;
    const size_t blank = name.find(' ');
    if (blank != std::string::npos && blank > 1)
        name.resize(blank);
    if (name.size() > n)
        name.resize(n);
    return name;
}

// A multi's level as designed: volume 90, and sections whose levels scale
// an envelope level near that of a two-source single.
constexpr int kDesignVolume = 90;
constexpr double kTypicalEnvLevel = 0.72;

// Gain of a section level, through the envelope level of a typical source.
float sectionGain(int level)
{
    return g_levelGain[static_cast<size_t>(std::clamp(static_cast<int>(std::lround(level * kTypicalEnvLevel)), 0, 100))];
}

// A section's level moved by `db` on the envelope level curve (1 to 100).
int sectionLevelFor(int level, double db)
{
    int best = level;
    double error = std::fabs(db);
    for (int l = 1; l <= 100; ++l)
    {
        const double e = std::fabs(20.0 * std::log10(sectionGain(l) / sectionGain(level)) - db);
        if (sectionGain(l) > 0.0f && e < error)
        {
            error = e;
            best = l;
        }
    }
    return best;
}

// The loudest section's level: every level move shifts the sections alike.
int topLevel(const k1lib::MultiPreset& m)
{
    int top = 0;
    for (const k1lib::MultiSection& s : m.sections)
        if (s.poly != kPolyOff && s.level > 0)
            top = std::max(top, s.level);
    return top;
}

// A level against the design, dB (multiLevels.cpp): the multi volume, and
// where that is at the top, a common raise of the used sections' levels (100
// at most). The sections keep their levels otherwise: lower, their velocity
// steps would flatten.
void applyLevel(k1lib::MultiPreset& m, double db)
{
    const int top = topLevel(m);
    if (top == 0)
        return;
    const auto dbOf = [](float gain, float reference) { return 20.0 * std::log10(gain / reference); };
    int volume = kDesignVolume;
    double error = 1e9;
    for (int v = 0; v < static_cast<int>(g_volumeGain.size()); ++v)
    {
        const double e = std::fabs(dbOf(g_volumeGain[static_cast<size_t>(v)], g_volumeGain[kDesignVolume]) - db);
        if (e < error)
        {
            error = e;
            volume = v;
        }
    }
    m.volume = static_cast<uint32_t>(volume);
    const double rest = db - dbOf(g_volumeGain[static_cast<size_t>(volume)], g_volumeGain[kDesignVolume]);
    if (volume + 1 < static_cast<int>(g_volumeGain.size()) || rest <= 0.0)
        return;
    int shift = 0;
    error = rest;
    for (int d = 1; d <= 100 - top; ++d)
    {
        const double e = std::fabs(dbOf(sectionGain(top + d), sectionGain(top)) - rest);
        if (e < error)
        {
            error = e;
            shift = d;
        }
    }
    for (k1lib::MultiSection& s : m.sections)
        if (s.poly != kPolyOff && s.level > 0)
            s.level = std::min(s.level + shift, 100);
}

// Sections share the loudness instead of adding up: their mean level stays
// at 92 or below, all of them giving way alike so that their differences
// (the louder side of a velocity switch) stay.
void keepLayersShared(k1lib::MultiPreset& m)
{
    constexpr int kMeanLevel = 92;
    for (;;)
    {
        int used = 0, sum = 0;
        for (const k1lib::MultiSection& s : m.sections)
        {
            if (s.poly != kPolyOff && s.level > 0)
            {
                ++used;
                sum += s.level;
            }
        }
        if (used == 0 || sum / used <= kMeanLevel)
            return;
        for (k1lib::MultiSection& s : m.sections)
            if (s.poly != kPolyOff && s.level > 1)
                --s.level;
    }
}

// A multi's level against its design, dB: its volume and its loudest
// section against the designed ones.
double levelAgainst(const k1lib::MultiPreset& m, const k1lib::MultiPreset& designed)
{
    const int top = topLevel(m), designedTop = topLevel(designed);
    if (top == 0 || designedTop == 0)
        return 0.0;
    return 20.0 * std::log10(g_volumeGain[m.volume] / g_volumeGain[designed.volume]) +
           20.0 * std::log10(sectionGain(top) / sectionGain(designedTop));
}

// Everything finishing a multi's level does, for a level `db` against the design.
k1lib::MultiPreset leveled(k1lib::MultiPreset m, double db)
{
    applyLevel(m, db);
    keepLayersShared(m);
    return m;
}

// A multi that cannot reach its storage's level with its volume and its
// sections at the top plays each used section two or four times, the copies
// a few cents apart: n copies sound about 10 log10(n) dB louder (the engine
// starts each copy at another point of its cycles, so they add up as power
// from the first sample on), and its levels count from one copy.
constexpr int kDoublingCents = 4;

double copiesDb(int copies)
{
    return 10.0 * std::log10(static_cast<double>(copies));
}

// The multi with every used section played `copies` times; false when the
// free sections do not take them.
bool withCopies(k1lib::MultiPreset& m, int copies)
{
    std::vector<size_t> used, free;
    for (size_t s = 0; s < 8; ++s)
        (m.sections[s].poly != kPolyOff && m.sections[s].level > 0 ? used : free).push_back(s);
    if (used.empty() || free.size() < used.size() * static_cast<size_t>(copies - 1))
        return false;
    size_t next = 0;
    for (size_t u : used)
    {
        const k1lib::MultiSection original = m.sections[u];
        for (int c = 0; c < copies; ++c)
        {
            k1lib::MultiSection& copy = c == 0 ? m.sections[u] : m.sections[free[next++]];
            copy = original;
            // -4, +4, -8, +8 cents around the section's own tuning
            const int cents = kDoublingCents * (c / 2 + 1) * (c % 2 == 0 ? -1 : 1);
            copy.tune = std::clamp(original.tune + cents, -50, 50);
        }
    }
    return true;
}

const char* const g_setupNames[] = {"Band Setup", "Combo", "Session", "Ensemble", "Big Band", "Orch Setup", "Quartet", "Studio"};
} // namespace

std::vector<k1lib::MultiPreset> designMultis(size_t bankIndex, const DesignedBank& bank, std::vector<LevelRoom>* room)
{
    const Chooser chooser(bank, bankIndex);
    std::vector<k1lib::MultiPreset> multis;
    std::set<std::string> names;
    const auto notBass = [](Family f) { return !isBass(f) && f != Family::Drum && f != Family::Fx; };

    for (uint32_t k = 0; k < 32; ++k)
    {
        // A multi whose name another multi of the bank already has is made
        // again from other singles; only when that keeps failing it is numbered.
        for (uint32_t attempt = 0;; ++attempt)
        {
            const uint32_t salt = k + 32 * attempt;
            k1lib::MultiPreset m;
            m.volume = kDesignVolume;
            for (k1lib::MultiSection& s : m.sections)
                s = unused();

            switch (k % 4)
            {
            case 0:
            {
                // Keyboard split: a bass (or the darkest family the bank has) under
                // a chord or melody sound.
                static const int splitKeys[] = {48, 53, 55, 60};
                const int split = splitKeys[(k / 4) % 4];
                const int low = chooser.choose(salt * 7 + 1, isBass);
                int high = chooser.choose(salt * 7 + 2, notBass);
                // A held family's sound that falls away after its attack (a
                // pizzicato) leaves the chords over the split quiet: another one.
                if (heldFamily(chooser.family(high)) && fadesAtOnce(bank.singles[static_cast<size_t>(high)]))
                    high = chooser.choose(salt * 7 + 8, notBass);
                m.sections[0] = section(bank, low, 92);
                m.sections[0].zoneHigh = split - 1;
                if (!isBass(chooser.family(low)))
                    m.sections[0].transpose = 12 - 12 * static_cast<int>((k / 4) % 2); // half of them an octave up, out of the mud
                m.sections[1] = section(bank, high, 86);
                m.sections[1].zoneLow = split;
                nameOf(m, (isBass(chooser.family(low)) ? std::string(shortLabel(chooser.family(low))) : word(bank, low, 4)) + "/" + word(bank, high, 5));
                break;
            }
            case 1:
            {
                // Layer of two sounds, slightly detuned, both on both outputs:
                // hard left and right, each would play at half the power a
                // single has, and the layer would sit under its storage.
                const int a = chooser.choose(salt * 7 + 3, notBass);
                int b = chooser.choose(salt * 7 + 4, notBass);
                if (b == a)
                    b = (a + 1) % static_cast<int>(bank.singles.size());
                m.sections[0] = section(bank, a, 80);
                m.sections[0].tune = -3;
                m.sections[1] = section(bank, b, 76);
                m.sections[1].tune = 3;
                if ((k / 4) % 3 == 2)
                    m.sections[1].transpose = 12;
                nameOf(m, word(bank, a, 4) + "&" + word(bank, b, 5));
                break;
            }
            case 2:
            {
                // Velocity switch: a soft sound below velocity 64, a hard one above.
                const int soft = chooser.choose(salt * 7 + 5, notBass);
                const Family f = chooser.family(soft);
                int loud = chooser.choose(salt * 7 + 6, [f](Family g) { return g == f; });
                if (loud == soft)
                    loud = chooser.choose(salt * 7 + 9, notBass);
                // The loud side sits higher, so that a harder touch never
                // sounds quieter whatever the two singles are.
                m.sections[0] = section(bank, soft, 80);
                m.sections[0].velocitySwitch = kVelSoft;
                m.sections[1] = section(bank, loud, 96);
                m.sections[1].velocitySwitch = kVelLoud;
                nameOf(m, word(bank, soft, 6) + " Vel");
                break;
            }
            default:
            {
                // Multitimbral setup: one section per MIDI channel 1-8, a bass on
                // channel 2 and drums or percussion on channel 8 where the bank has them.
                for (uint32_t s = 0; s < 8; ++s)
                {
                    int single;
                    if (s == 1)
                        single = chooser.choose(salt * 11 + s, isBass);
                    else if (s == 7)
                        single = chooser.choose(salt * 11 + s, [](Family f) { return f == Family::Drum || f == Family::Mallet; });
                    else
                        single = chooser.choose(salt * 11 + s, notBass);
                    m.sections[s] = section(bank, single, 84);
                    m.sections[s].channel = static_cast<int>(s);
                    m.sections[s].output = s % 3 == 0 ? kOutputLR : (s % 3 == 1 ? kOutputL : kOutputR);
                }
                nameOf(m, g_setupNames[(k / 4) % std::size(g_setupNames)]);
                break;
            }
            }
            const std::string wanted(m.name);
            if (attempt < 6 && names.count(wanted) != 0)
                continue;
            setName(m, names, wanted);
            for (size_t s = 0; s < 8; ++s)
            {
                k1lib::MultiSection& sec = m.sections[s];
                // A velocity switch keeps its designed step between the halves.
                if (sec.poly != kPolyOff && sec.level > 0 && sec.velocitySwitch == kVelAll)
                    sec.level = sectionLevelFor(sec.level, sectionLevel(bankIndex, k, s));
            }
            const k1lib::MultiPreset designed = m;
            const double level = multiLevel(bankIndex, k);
            const double most = levelAgainst(leveled(designed, 40.0), designed);
            int copies = 1, mostCopies = 1;
            for (int c : {2, 4})
            {
                k1lib::MultiPreset more = designed;
                if (!withCopies(more, c))
                    break;
                mostCopies = c;
                if (copies == 1 && level > most + copiesDb(c / 2))
                    copies = c;
                else if (copies == 2 && level > most + copiesDb(2))
                    copies = c;
            }
            k1lib::MultiPreset played = designed;
            withCopies(played, copies);
            m = leveled(played, level - copiesDb(copies));
            if (room != nullptr)
                room->push_back({levelAgainst(m, played) + copiesDb(copies), most + copiesDb(mostCopies), most});
            multis.push_back(m);
            break;
        }
    }
    return multis;
}
} // namespace designer
