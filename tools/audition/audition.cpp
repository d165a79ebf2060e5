// Drives the engine through the phrases and measures each take.

#include "tools/audition/audition.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/tables.h"
#include "engine/vibrato.h"
#include "patch/waveformNames.h"
#include "tools/common/nullEngineListener.h"
#include "tools/audition/fingerprint.h"
#include "tools/audition/loudness.h"
#include "tools/audition/names.h"
#include "tools/audition/spectrum.h"
#include "tools/audition/waveStandard.h"
#include "tools/patchdesigner/designer.h"

namespace audition
{
namespace
{
constexpr int kBlock = 256;
constexpr float kHostRate = 44100.0f;
constexpr double kSilenceCap = 10.5; // seconds after the release: the standard's 10 s and a margin
constexpr double kGap = 0.25;        // seconds of silence between takes in the listening copy
constexpr uint8_t kSoft = 40;
constexpr uint8_t kLoud = 110;

bool sounding(const k1lib::SinglePreset& p, size_t s)
{
    return s < (p.source2or4 ? 4u : 2u) && !p.mute[s];
}

k1lib::SMidiEvent midi(uint8_t status, uint8_t key, uint8_t velocity, int32_t offset)
{
    k1lib::SMidiEvent e;
    e.status = status;
    e.data1 = key;
    e.data2 = velocity;
    e.sampleOffset = offset;
    return e;
}

// The listening copy keeps half a second of each release tail.
void appendTake(Stereo& audio, const Stereo& take, double rate, size_t release)
{
    const size_t n = std::min(take.size(), release + static_cast<size_t>(0.5 * rate));
    audio.left.insert(audio.left.end(), take.left.begin(), take.left.begin() + static_cast<long>(n));
    audio.right.insert(audio.right.end(), take.right.begin(), take.right.begin() + static_cast<long>(n));
    const auto gap = static_cast<size_t>(kGap * rate);
    audio.left.resize(audio.left.size() + gap, 0.0f);
    audio.right.resize(audio.right.size() + gap, 0.0f);
}

struct Design
{
    designer::Family family;
    bool tremolo;
    bool wideVibrato;
};

// What the designer made each factory single as.
const Design* designOf(size_t singleIndex)
{
    static const std::vector<Design> table = [] {
        std::vector<Design> t;
        for (size_t b = 0; b < designer::bankPlans().size(); ++b)
        {
            const designer::DesignedBank bank = designer::designBank(b);
            for (size_t i = 0; i < bank.singleFamilies.size(); ++i)
                t.push_back(Design{bank.singleFamilies[i], bank.singleTremolo[i], bank.singleWideVibrato[i]});
        }
        return t;
    }();
    return singleIndex < table.size() ? &table[singleIndex] : nullptr;
}

// The designer's struck and plucked families: they die away while held.
bool designedPercussive(size_t singleIndex)
{
    using designer::Family;
    const Design* d = designOf(singleIndex);
    return d != nullptr && (d->family == Family::Piano || d->family == Family::EPiano || d->family == Family::Clav ||
                            d->family == Family::Bell || d->family == Family::Mallet || d->family == Family::Pluck ||
                            d->family == Family::Drum);
}

// Struck, plucked and keyboard families: a player expects them to answer
// the touch.
bool designedForTouch(size_t singleIndex)
{
    using designer::Family;
    const Design* d = designOf(singleIndex);
    return d != nullptr && (d->family == Family::Piano || d->family == Family::EPiano || d->family == Family::Clav ||
                            d->family == Family::Bell || d->family == Family::Mallet || d->family == Family::Pluck);
}

// Sustained families whose sounding sources hold their level.
bool designedSustained(size_t singleIndex, const k1lib::SinglePreset& p)
{
    using designer::Family;
    const Design* d = designOf(singleIndex);
    if (d == nullptr)
        return false;
    const Family f = d->family;
    if (f != Family::Pad && f != Family::Strings && f != Family::Organ && f != Family::Brass && f != Family::SynthBrass &&
        f != Family::Lead && f != Family::Winds && f != Family::Reed && f != Family::Voice)
        return false;
    uint32_t sustain = 0;
    for (size_t s = 0; s < 4; ++s)
        if (sounding(p, s))
            sustain = std::max(sustain, p.sources[s].envSustain);
    return sustain >= 50;
}

// Whether a loss at a split key would be the ranges' fault: every sounding
// source key-tracked at a steady pitch and without ring modulation, none a
// pure partial ("Sin 2nd" and up fall silent at the top on purpose), and at
// least one a single-cycle wave (sampled waves have no key ranges: a drum of
// noise has no harmonics to keep, whatever its zones catch).
bool splitByDesign(const k1lib::SinglePreset& p)
{
    if (p.ampModS1S2 != 0 || p.ampModS3S4 != 0)
        return false;
    const bool pitchMoves = p.vibratoDepth != 50 || p.autoBendDepth != 50;
    bool ranged = false;
    for (size_t s = 0; s < 4; ++s)
    {
        const k1lib::SingleSource& src = p.sources[s];
        if (!sounding(p, s))
            continue;
        if (!src.keyTrack || (pitchMoves && src.vibABend) || purePartial(k1lib::g_waveformNames[src.wave] + 5) > 1)
            return false;
        ranged = ranged || src.wave < k1lib::kSingleCycleWaveformCount;
    }
    return ranged;
}

// Every sounding source a key-tracked single-cycle wave an octave or more
// from the others, without ring modulation and at a steady pitch (no vibrato
// or auto-bend on it): everything the single plays is then a harmonic of the
// key, and what is not was folded back.
bool harmonicByDesign(const k1lib::SinglePreset& p)
{
    if (p.ampModS1S2 != 0 || p.ampModS3S4 != 0)
        return false;
    const bool pitchMoves = p.vibratoDepth != 50 || p.autoBendDepth != 50;
    for (size_t s = 0; s < 4; ++s)
    {
        if (!sounding(p, s))
            continue;
        const k1lib::SingleSource& src = p.sources[s];
        if (src.wave >= k1lib::kSingleCycleWaveformCount || !src.keyTrack || (src.coarse % 12) != 0 ||
            src.freqKeyScaleToFreq != 50 || (pitchMoves && src.vibABend))
            return false;
    }
    return true;
}

const std::vector<int> kSingleSweep = {47, 48, 59, 60, 71, 72, 83, 84, 90, 96, 102, 107};
constexpr double kPumpFrom = 1.5;    // seconds: after attacks and decays
constexpr double kSustainedHold = 5.0;
constexpr double kShortHold = 1.5;
constexpr double kHeldFrom = 2.4; // seconds: where a held sound must still sound
constexpr double kHeldTo = 2.6;
constexpr double kOffsetHold = 1.5;
constexpr size_t kSweepLeadIn = 2048;
constexpr double kOnHarmonicCents = 20.0;

Stereo mono(const std::vector<std::vector<float>>& out)
{
    return Stereo{out[0], out[1]};
}

// The larger offset (mean) of the two channels over the first `seconds`.
double offsetDb(const Stereo& x, double rate, double seconds)
{
    const size_t n = std::min(x.size(), static_cast<size_t>(seconds * rate));
    double left = 0.0, right = 0.0;
    for (size_t i = 0; i < n; ++i)
    {
        left += x.left[i];
        right += x.right[i];
    }
    return n == 0 ? kSilentDb : toDb(std::max(std::fabs(left), std::fabs(right)) / static_cast<double>(n));
}

double rmsDb(const Stereo& x, size_t begin, size_t end)
{
    double sum = 0.0;
    size_t n = 0;
    for (size_t i = begin; i < std::min(end, x.size()); ++i, ++n)
        sum += 0.5 * (static_cast<double>(x.left[i]) * x.left[i] + static_cast<double>(x.right[i]) * x.right[i]);
    return n == 0 ? kSilentDb : toDb(std::sqrt(sum / static_cast<double>(n)));
}

// A sounding source holds a level of 40 or more while the key is held.
bool sustains(const k1lib::SinglePreset& p)
{
    constexpr uint32_t kHolds = 40;
    for (size_t s = 0; s < 4; ++s)
        if (sounding(p, s) && p.sources[s].envSustain >= kHolds)
            return true;
    return false;
}
} // namespace

double vibratoCents(const k1lib::SinglePreset& single)
{
    const size_t sources = single.source2or4 != 0 ? 4 : 2;
    for (size_t s = 0; s < sources; ++s)
    {
        if (!single.mute[s] && single.sources[s].vibABend)
            return 100.0 * std::abs(static_cast<double>(k1lib::Vibrato::depth(single, 0.0f, 0.0f)));
    }
    return 0.0;
}

double pressureCents(const k1lib::SinglePreset& single, float pressure)
{
    const float vibrato = std::abs(k1lib::Vibrato::depth(single, pressure, 0.0f));
    const int bendField = static_cast<int>(single.pressureToFreq) - 50;
    const float bend = pressure * k1lib::pressureToFreq(static_cast<uint8_t>(std::abs(bendField)));
    double widest = 0.0;
    for (size_t s = 0; s < (single.source2or4 != 0 ? 4u : 2u); ++s)
    {
        if (single.mute[s])
            continue;
        const k1lib::SingleSource& src = single.sources[s];
        widest = std::max(widest, 100.0 * ((src.vibABend ? vibrato : 0.0f) + (src.pressureToFreq ? bend : 0.0f)));
    }
    return widest;
}

bool velocitySensitive(const k1lib::SinglePreset& single)
{
    for (size_t s = 0; s < 4; ++s)
    {
        if (sounding(single, s) && single.sources[s].levelModVel != 50)
            return true;
    }
    return false;
}

bool designedAsSwell(const k1lib::SinglePreset& single)
{
    constexpr uint32_t kSlowAttack = 35; // 0.2 s
    bool any = false;
    for (size_t s = 0; s < 4; ++s)
    {
        if (!sounding(single, s))
            continue;
        any = true;
        const k1lib::SingleSource& src = single.sources[s];
        const char* wave = k1lib::g_waveformNames[src.wave % k1lib::kWaveformCount];
        if (src.envAttack < kSlowAttack && std::strstr(wave, " Rev") == nullptr)
            return false;
    }
    return any;
}

Auditioner::Auditioner()
    : m_listener(std::make_unique<k1tools::NullEngineListener>()),
      m_engine(std::make_unique<k1lib::Engine>(m_listener.get(), k1lib::PluginType::Default))
{
    m_engine->setSamplerate(kHostRate);
}

Auditioner::~Auditioner() = default;

double Auditioner::rate() const
{
    // process() writes at the host rate once one is set (the resampler
    // converts to it), at the processing rate before.
    const float host = m_engine->getHostSamplerate();
    return host > 0.0f ? host : m_engine->getProcessingSamplerate();
}

size_t Auditioner::renderTake(const std::vector<Note>& notes, double hold, bool toSilence, int outputs,
                              std::vector<std::vector<float>>& out, bool& silent)
{
    const double r = rate();
    std::vector<std::pair<size_t, k1lib::SMidiEvent>> events;
    size_t lastOff = 0;
    for (const Note& n : notes)
    {
        const auto on = static_cast<size_t>(n.at * r);
        const auto off = static_cast<size_t>((n.at + hold) * r);
        events.emplace_back(on, midi(static_cast<uint8_t>(0x90 | n.channel), n.key, n.velocity, 0));
        events.emplace_back(off, midi(static_cast<uint8_t>(0x80 | n.channel), n.key, 64, 0));
        lastOff = std::max(lastOff, off);
    }
    std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    const size_t end = toSilence ? lastOff + static_cast<size_t>(kSilenceCap * r) : lastOff;
    out.assign(static_cast<size_t>(outputs), {});
    for (auto& channel : out)
        channel.reserve(end + kBlock);
    std::vector<float> buffers(static_cast<size_t>(outputs) * kBlock);
    float* pointers[8] = {};
    for (int c = 0; c < outputs; ++c)
        pointers[c] = buffers.data() + static_cast<size_t>(c) * kBlock;

    silent = false;
    size_t next = 0;
    std::vector<k1lib::SMidiEvent> block;
    for (size_t start = 0; start < end; start += kBlock)
    {
        const int n = static_cast<int>(std::min<size_t>(kBlock, end - start));
        block.clear();
        for (; next < events.size() && events[next].first < start + static_cast<size_t>(n); ++next)
        {
            block.push_back(events[next].second);
            block.back().sampleOffset = static_cast<int32_t>(events[next].first - start);
        }
        m_engine->process(pointers, outputs, n, block);
        for (int c = 0; c < outputs; ++c)
            out[static_cast<size_t>(c)].insert(out[static_cast<size_t>(c)].end(), pointers[c], pointers[c] + n);
        if (next == events.size() && m_engine->getMulti().getActiveVoiceCount() == 0)
        {
            silent = true;
            break;
        }
    }
    if (!silent)
    {
        // Cut short: release what is held and start the next take from silence.
        block.clear();
        for (const Note& n : notes)
            block.push_back(midi(static_cast<uint8_t>(0x80 | n.channel), n.key, 64, 0));
        m_engine->process(pointers, outputs, 1, block);
        m_engine->clearAllVoices();
    }
    // Events the resampler still holds for a later sample act now, not in
    // the next take.
    block.clear();
    m_engine->process(pointers, outputs, kBlock, block);
    m_engine->clearAllVoices();
    return lastOff;
}

void Auditioner::singleTake(const std::vector<uint8_t>& keys, uint8_t velocity, double hold, bool toSilence,
                            Stereo* audio, TakeFigures& figures, bool& rendered)
{
    std::vector<Note> notes;
    for (uint8_t k : keys)
        notes.push_back(Note{0, k, velocity, 0.0});
    std::vector<std::vector<float>> out;
    bool silent = false;
    const size_t release = renderTake(notes, hold, toSilence, 2, out, silent);
    Stereo x{std::move(out[0]), std::move(out[1])};
    if (audio != nullptr)
        appendTake(*audio, x, rate(), release);
    figures = measureTake(x, rate(), release, silent);
    rendered = true;
}

Stereo Auditioner::hold(const std::vector<uint8_t>& keys, uint8_t velocity, double seconds)
{
    std::vector<Note> notes;
    for (uint8_t k : keys)
        notes.push_back(Note{0, k, velocity, 0.0});
    std::vector<std::vector<float>> out;
    bool silent = false;
    renderTake(notes, seconds, false, 2, out, silent);
    return mono(out);
}

bool Auditioner::selectSingle(size_t index)
{
    m_engine->setPlayMode(k1lib::PlayMode::Single);
    return m_engine->setSingle(index);
}

bool Auditioner::selectMulti(size_t index)
{
    if (!m_engine->setMulti(index))
        return false;
    m_engine->setPlayMode(k1lib::PlayMode::Multi);
    return true;
}

Stereo Auditioner::holdMulti(const std::vector<uint8_t>& keys, uint8_t velocity, double seconds)
{
    const k1lib::MultiPreset& m = m_engine->getCurrentMulti();
    std::vector<Note> notes;
    bool channel[16] = {};
    for (const k1lib::MultiSection& sec : m.sections)
    {
        if (sec.poly == 1 || sec.level == 0 || channel[sec.channel & 0x0F])
            continue;
        channel[sec.channel & 0x0F] = true;
        for (uint8_t key : keys)
            notes.push_back(Note{static_cast<uint8_t>(sec.channel & 0x0F), key, velocity, 0.0});
    }
    std::vector<std::vector<float>> out;
    bool silent = false;
    renderTake(notes, seconds, false, 2, out, silent);
    return mono(out);
}

double Auditioner::multiChordPeakDb()
{
    double peak = kSilentDb;
    for (int strike = 0; strike < kPeakStrikes; ++strike)
    {
        const Stereo loud = holdMulti(kMultiPeakChord, 127, kPeakHold);
        peak = std::max(peak, measureTake(loud, rate(), loud.size(), false).peakDb);
    }
    return peak;
}

void Auditioner::soundTakes(SingleFigures& f)
{
    SoundFigures& s = f.sound;
    const double r = rate();
    const Stereo chord = hold(kLoudnessChord, kSoundVelocity, kLoudnessHold);
    s.chordLufs = integratedLoudness(chord, r, 0, chord.size());
    const Stereo full = hold(kFullChord, 127, 1.6);
    s.fullChordPeakDb = measureTake(full, r, full.size(), false).peakDb;

    const Stereo c4 = hold({60}, kSoundVelocity, f.sustained ? kSustainedHold : (f.sustains ? kHeldTo : kShortHold));
    if (f.sustains)
        f.heldDb = rmsDb(c4, static_cast<size_t>(kHeldFrom * r), static_cast<size_t>(kHeldTo * r));
    f.dcDb = std::max(offsetDb(c4, r, kOffsetHold), offsetDb(hold({36}, kSoundVelocity, kOffsetHold), r, kOffsetHold));
    s.fingerprint = fingerprint(c4, r, {{0.02, 0.12}, {0.12, 0.4}, {0.4, 0.8}, {0.8, 1.4}});
    std::vector<float> m(c4.size());
    for (size_t i = 0; i < m.size(); ++i)
        m[i] = 0.5f * (c4.left[i] + c4.right[i]);
    s.rolloffHz = rolloffHz(averageSpectrum(m, static_cast<size_t>(0.05 * r), static_cast<size_t>(1.0 * r), 2048, r),
                            0.95, 20000.0);
    if (f.sustained)
        s.pumpDb = levelSwing(c4, r, static_cast<size_t>(kPumpFrom * r), c4.size(), &s.pumpHz);

    if (designedForTouch(f.index))
    {
        for (uint8_t velocity : kTouchVelocities)
        {
            const Stereo note = hold({60}, velocity, kTouchHold);
            s.touchDb.push_back(measureTake(note, r, note.size(), false).loudnessDb);
        }
    }

    s.whistleChecked = harmonicByDesign(getEngineSingle());
    s.splitChecked = splitByDesign(getEngineSingle());
    // The note's fundamental is that of its lowest key-tracked source (a bass
    // sounds an octave below the key).
    int shift = 0;
    bool any = false;
    for (size_t i = 0; i < 4; ++i)
    {
        const k1lib::SingleSource& src = getEngineSingle().sources[i];
        if (sounding(getEngineSingle(), i) && src.keyTrack)
        {
            shift = any ? std::min(shift, static_cast<int>(src.coarse) - 84) : static_cast<int>(src.coarse) - 84;
            any = true;
        }
    }
    for (int key : kSingleSweep)
    {
        const double f0 = keyHz(key + shift);
        size_t n = 4096;
        while (kMainLobeBins * r / static_cast<double>(n) > 0.25 * f0)
            n *= 2;
        const Stereo x = hold({static_cast<uint8_t>(key)}, kSoundVelocity, static_cast<double>(kSweepLeadIn + n) / r);
        std::vector<float> sum(x.size());
        for (size_t i = 0; i < sum.size(); ++i)
            sum[i] = 0.5f * (x.left[i] + x.right[i]);
        const NoteSplit split =
            splitNote(powerSpectrum(sum, kSweepLeadIn, n, r), f0, 20000.0, std::exp2(kOnHarmonicCents / 1200.0) - 1.0);
        s.sweep.push_back(SweepKey{key, powerDb(split.note()), powerDb(split.upper), powerDb(split.third),
                                   powerDb(split.inharmonic)});
    }
    s.rendered = true;
}

SingleFigures Auditioner::single(size_t index, Depth depth, Stereo* audio)
{
    SingleFigures f;
    f.index = index;
    m_engine->setPlayMode(k1lib::PlayMode::Single);
    if (!m_engine->setSingle(index))
        return f;
    const k1lib::SinglePreset& p = m_engine->getCurrentSingle();
    f.name = std::string(p.name, strnlen(p.name, k1lib::kNameLength));
    f.velocitySensitive = velocitySensitive(p);
    f.swell = namedAsSwell(f.name) || designedAsSwell(p);
    f.percussive = designedPercussive(index);
    f.bass = namedAsBass(f.name);
    f.leadOrBell = namedAsLead(f.name) || namedAsBell(f.name);
    f.sustained = designedSustained(index, p);
    const Design* design = designOf(index);
    f.tremolo = design != nullptr && design->tremolo;
    f.wideVibrato = design != nullptr && design->wideVibrato;
    f.vibratoCents = vibratoCents(p);
    f.pressureCents = std::max(pressureCents(p, 64.0f / 127.0f), pressureCents(p, 1.0f));
    f.effect = design != nullptr && design->family == designer::Family::Fx;
    f.sustains = sustains(p);
    f.bright = design != nullptr && meantBright(f.name, design->family);

    const bool phrase = depth == Depth::Phrase;
    for (uint8_t velocity : {kSoft, kLoud})
    {
        SingleTakes& t = velocity == kSoft ? f.soft : f.loud;
        const bool loud = velocity == kLoud;
        if (!phrase && !loud && !f.velocitySensitive)
            continue;
        // The listening copy holds the velocity 110 takes.
        Stereo* copy = loud ? audio : nullptr;
        if (phrase)
        {
            singleTake({36}, velocity, 1.0, true, copy, t.low, t.lowRendered);
        }
        singleTake({60}, velocity, 2.0, phrase || loud, copy, t.c4, t.c4Rendered);
        if (phrase || loud)
        {
            singleTake({60, 64, 67, 72}, velocity, 1.5, phrase, copy, t.chord, t.chordRendered);
        }
    }
    soundTakes(f);
    return f;
}

MultiFigures Auditioner::multi(size_t index, Stereo* audio)
{
    MultiFigures f;
    f.index = index;
    if (!m_engine->setMulti(index))
        return f;
    m_engine->setPlayMode(k1lib::PlayMode::Multi);
    k1lib::Engine::Config config = m_engine->getConfig();
    config.audioOutputMode = 1; // one output per section
    m_engine->setConfig(config);

    const k1lib::MultiPreset& m = m_engine->getCurrentMulti();
    f.name = std::string(m.name, strnlen(m.name, k1lib::kNameLength));
    const size_t offset = k1lib::Engine::getSinglesOffsetForMulti(index);

    constexpr double kStep = 1.0;
    std::vector<Note> notes;
    std::vector<double> stepOf(8, 0.0);
    for (int s = 0; s < 8; ++s)
    {
        const k1lib::MultiSection& sec = m.sections[static_cast<size_t>(s)];
        if (sec.poly == 1 || sec.level == 0)
            continue;
        SectionFigures sf;
        sf.section = s;
        sf.single = offset + static_cast<size_t>(std::max(sec.single, 0));
        if (const k1lib::SinglePreset* single = m_engine->getSinglePreset(sf.single))
            sf.swell = namedAsSwell(std::string(single->name, strnlen(single->name, k1lib::kNameLength))) ||
                       designedAsSwell(*single);
        f.sections.push_back(sf);
        const Note note{static_cast<uint8_t>(sec.channel & 0x0F),
                        static_cast<uint8_t>(std::clamp(60, sec.zoneLow, sec.zoneHigh)),
                        sec.velocitySwitch == 1 ? kSoft : kLoud, 0.0};
        const auto same = std::find_if(notes.begin(), notes.end(), [&](const Note& n) {
            return n.channel == note.channel && n.key == note.key && n.velocity == note.velocity;
        });
        if (same != notes.end())
        {
            stepOf[static_cast<size_t>(s)] = same->at;
            continue;
        }
        notes.push_back(note);
        notes.back().at = kStep * static_cast<double>(notes.size() - 1);
        stepOf[static_cast<size_t>(s)] = notes.back().at;
    }

    std::vector<std::vector<float>> out;
    bool silent = false;
    const size_t release = notes.empty() ? 0 : renderTake(notes, kStep, true, 8, out, silent);
    config.audioOutputMode = 0;
    m_engine->setConfig(config);
    if (notes.empty())
        return f;

    // The stereo mix as the engine would make it with the default pan: each
    // section to its side or to both.
    Stereo mix;
    mix.left.assign(out[0].size(), 0.0f);
    mix.right.assign(out[0].size(), 0.0f);
    for (SectionFigures& sf : f.sections)
    {
        const std::vector<float>& x = out[static_cast<size_t>(sf.section)];
        const int32_t side = m.sections[static_cast<size_t>(sf.section)].output; // 0 R, 1 LR, 2 L
        float peak = 0.0f;
        for (size_t i = 0; i < x.size(); ++i)
        {
            if (side != 0)
                mix.left[i] += x[i];
            if (side != 2)
                mix.right[i] += x[i];
            peak = std::max(peak, std::fabs(x[i]));
            sf.sounded = sf.sounded || x[i] != 0.0f;
        }
        sf.peakDb = toDb(peak);
        const auto from = static_cast<size_t>(stepOf[static_cast<size_t>(sf.section)] * rate());
        sf.firstSound = timeToFraction(x, rate(), from, from + static_cast<size_t>(kStep * rate()), 0.1);
    }
    f.mix = measureTake(mix, rate(), release, silent);
    if (audio != nullptr)
        appendTake(*audio, mix, rate(), release);

    // Velocity: the first note of the phrase at both velocities.
    const Note first = notes.front();
    bool reachedSoft[8] = {}, reachedLoud[8] = {};
    for (const SectionFigures& sf : f.sections)
    {
        const k1lib::MultiSection& sec = m.sections[static_cast<size_t>(sf.section)];
        if ((sec.channel & 0x0F) != first.channel || first.key < sec.zoneLow || first.key > sec.zoneHigh)
            continue;
        reachedSoft[sf.section] = sec.velocitySwitch != 2;
        reachedLoud[sf.section] = sec.velocitySwitch != 1;
        const k1lib::SinglePreset* single = m_engine->getSinglePreset(sf.single);
        if (single != nullptr && velocitySensitive(*single))
            f.velocitySensitive = true;
    }
    if (!std::equal(std::begin(reachedSoft), std::end(reachedSoft), std::begin(reachedLoud)))
        f.velocitySensitive = true;
    for (uint8_t velocity : {kSoft, kLoud})
    {
        std::vector<std::vector<float>> take;
        bool takeSilent = false;
        const size_t end = renderTake({Note{first.channel, first.key, velocity, 0.0}}, kStep, false, 2, take, takeSilent);
        Stereo x{std::move(take[0]), std::move(take[1])};
        (velocity == kSoft ? f.soft : f.loud) = measureTake(x, rate(), end, false);
    }

    const Stereo chord = holdMulti(kLoudnessChord, kSoundVelocity, kLoudnessHold);
    f.chordLufs = integratedLoudness(chord, rate(), 0, chord.size());
    f.chordPeakDb = multiChordPeakDb();
    return f;
}
} // namespace audition
