#include "engine/waveforms.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <string>

#include "data/k1data.h"
#include "engine/wavLoader.h"
#include "patch/log.h"

namespace k1lib
{
namespace
{
// Keys from which the next stored cycle (the next key range) plays.
constexpr int kKeyRangeSplits[Waveforms::kKeyRangeCount - 1] = {48, 60, 72, 84};
constexpr float kFallbackSampleRate = 50000.0f; // for silent waves when the ROM has no rate
constexpr int kMaxWaveDigits = 4;

// What undefined waves play: one silent looping cycle, so no block is ever empty.
const char kSilentCycle[Waveforms::kCycleLength] = {};

using Defined = std::array<bool, kWaveformCount>;

bool isPowerOfTwo(uint64_t n) { return n != 0 && (n & (n - 1)) == 0; }

// One wave token of a region label: "w<number>" with an optional "a", "r" or "l<count>".
struct Token
{
    int wave = -1;          // 0-based
    bool alternate = false;
    bool reverse = false;
    uint32_t loopRegions = 0; // 0 without "l"
};

bool readDigits(const std::string& text, size_t& pos, uint32_t& value)
{
    const size_t first = pos;
    value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])))
    {
        if (pos - first >= kMaxWaveDigits)
            return false;
        value = value * 10 + static_cast<uint32_t>(text[pos] - '0');
        ++pos;
    }
    return pos > first;
}

bool parseToken(const std::string& token, Token& out)
{
    size_t pos = 1;
    uint32_t number = 0;
    if (token.empty() || token[0] != 'w' || !readDigits(token, pos, number))
    {
        K1_LOG("Invalid waveform desc " << token);
        return false;
    }
    out.wave = static_cast<int>(number) - 1;
    if (pos < token.size())
    {
        const char suffix = token[pos++];
        if (suffix == 'a' && pos == token.size())
            out.alternate = true;
        else if (suffix == 'r' && pos == token.size())
            out.reverse = true;
        else if (suffix == 'l')
        {
            if (!readDigits(token, pos, out.loopRegions) || out.loopRegions == 0 || pos != token.size())
            {
                K1_LOG("Error: Invalid loop region count in " << token);
                return false;
            }
        }
        else
        {
            K1_LOG("Invalid waveform desc " << token);
            return false;
        }
    }
    if (out.wave < 0 || out.wave >= kWaveformCount)
    {
        K1_LOG("Error: Invalid waveform " << out.wave);
        return false;
    }
    return true;
}

std::vector<std::string> splitLabel(std::string label)
{
    std::transform(label.begin(), label.end(), label.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::vector<std::string> tokens;
    if (label.empty())
        return tokens;
    size_t start = 0;
    while (true)
    {
        const size_t blank = label.find(' ', start);
        tokens.push_back(label.substr(start, blank - start));
        if (blank == std::string::npos)
            break;
        start = blank + 1;
    }
    return tokens;
}

void setAllKeys(Waveforms::Waveform& wave, const char* data, uint64_t length, float baseFrequency)
{
    for (Waveforms::WaveformData& key : wave.keys)
        key = {data, length, baseFrequency};
}

void markDefined(Defined& defined, int wave)
{
    if (defined[wave])
        K1_LOG("Error: Waveform " << wave << " is defined twice!");
    defined[wave] = true;
}

void buildSingleCycle(Waveforms& set, int s, const char* half, float rate)
{
    unsigned char* table = set.cycleTables[s];
    for (int c = 0; c < Waveforms::kKeyRangeCount; ++c)
    {
        for (int n = 0; n < Waveforms::kHalfCycleLength; ++n)
        {
            const auto x = static_cast<unsigned char>(half[Waveforms::kHalfCycleLength * c + n]);
            table[Waveforms::kCycleLength * c + n] = x;
            // The second half mirrors the first in time and inverts it.
            table[Waveforms::kCycleLength * c + Waveforms::kCycleLength - 1 - n] = static_cast<unsigned char>(~x);
        }
    }
    Waveforms::Waveform& wave = set.waves[s];
    wave = Waveforms::Waveform{};
    wave.sampleRate = rate;
    wave.loop = true;
    for (int k = 0; k < Waveforms::kKeyCount; ++k)
    {
        int c = 0;
        for (int split : kKeyRangeSplits)
            c += k >= split ? 1 : 0;
        wave.keys[k] = {reinterpret_cast<const char*>(table + Waveforms::kCycleLength * c),
                        static_cast<uint64_t>(Waveforms::kCycleLength), rate / Waveforms::kCycleLength};
    }
}

// Region [start, end) of the ROM, checked before anything reads it.
bool checkRegion(size_t romSize, uint32_t start, uint32_t end, const std::string& what)
{
    if (end < start || end > romSize)
    {
        K1_LOG("Error: " << what << " from " << start << " to " << end << " lies outside the ROM of " << romSize
                         << " samples");
        return false;
    }
    return true;
}

bool buildPcm(Waveforms& set, Defined& defined, const Token& t, const std::vector<CuePoint>& cues, size_t i,
              float rate)
{
    const uint32_t start = cues[i].position;
    uint32_t end = cues[i + 1].position;
    if (t.loopRegions != 0)
    {
        if (i + t.loopRegions >= cues.size())
        {
            K1_LOG("Error: cue point index out of bounds");
            return false;
        }
        end = cues[i + t.loopRegions].position;
        if (!checkRegion(set.rom.size(), start, end, "loop of waveform " + std::to_string(t.wave)))
            return false;
    }
    const uint64_t length = end - start;
    if (!isPowerOfTwo(length))
    {
        K1_LOG("Error: Waveform " << t.wave << " has " << length << " samples, not a power of two");
        return false;
    }
    markDefined(defined, t.wave);

    Waveforms::Waveform& wave = set.waves[t.wave];
    wave = Waveforms::Waveform{};
    wave.sampleRate = rate;
    wave.alternate = t.alternate;
    wave.reverse = t.reverse;
    wave.multiSegmentLoop = t.loopRegions != 0;
    const std::string name = Waveforms::getName(static_cast<unsigned char>(t.wave));
    wave.loop = t.loopRegions != 0 || t.alternate || name.find("Loop") != std::string::npos ||
                name.find(" Alt") != std::string::npos;

    const char* first = set.rom.data() + start;
    const char* data = first;
    uint64_t played = length;
    if (t.alternate)
    {
        wave.samples.resize(2 * length);
        std::copy(first, first + length, wave.samples.begin());
        std::reverse_copy(first, first + length, wave.samples.begin() + static_cast<std::ptrdiff_t>(length));
        data = wave.samples.data();
        played = 2 * length;
    }
    else if (t.reverse)
    {
        // The player only ever reads forwards, so a reversed wave gets its own reversed copy.
        wave.samples.assign(std::reverse_iterator<const char*>(first + length),
                            std::reverse_iterator<const char*>(first));
        data = wave.samples.data();
    }
    setAllKeys(wave, data, played, Waveforms::kPcmBaseFrequency);
    return true;
}

bool buildRegions(Waveforms& set, Defined& defined, const std::vector<CuePoint>& cues, float rate)
{
    int singleCycles = 0;
    for (size_t i = 0; i + 1 < cues.size(); ++i)
    {
        const uint32_t start = cues[i].position;
        const uint32_t end = cues[i + 1].position;
        if (!checkRegion(set.rom.size(), start, end, "region " + std::to_string(i)))
            return false;
        if (end - start == static_cast<uint32_t>(Waveforms::kSingleCycleRegionLength))
        {
            if (singleCycles >= kSingleCycleWaveformCount)
            {
                K1_LOG("Error: more than " << kSingleCycleWaveformCount << " single-cycle waves");
                return false;
            }
            markDefined(defined, singleCycles);
            buildSingleCycle(set, singleCycles, set.rom.data() + start, rate);
            ++singleCycles;
            continue;
        }
        for (const std::string& text : splitLabel(cues[i].label))
        {
            Token token;
            if (!parseToken(text, token) || !buildPcm(set, defined, token, cues, i, rate))
                return false;
        }
    }
    return true;
}
} // namespace

Waveforms::Waveforms()
{
    clear();
    loadFromMemory();
}

void Waveforms::clear()
{
    for (Waveform& wave : waves)
        wave = Waveform{};
    rom.clear();
    std::memset(cycleTables, 0, sizeof cycleTables);
}

const Waveforms& Waveforms::shared()
{
    static const Waveforms set;
    return set;
}

void Waveforms::loadFromMemory()
{
    loadFromMemory(k1data::getData_waverom(), k1data::getDataSize_waverom());
}

bool Waveforms::loadFromMemory(const unsigned char* data, size_t size)
{
    clear();
    Defined defined{};
    int rate = 0;
    std::vector<CuePoint> cues;
    bool ok = WavLoader::load(rom, rate, &cues, data, size);
    if (!ok)
        K1_LOG("Failed to load Wave ROM");
    else if (rate <= 0)
    {
        K1_LOG("Failed to load Wave ROM: sample rate " << rate);
        ok = false;
    }
    else
        ok = buildRegions(*this, defined, cues, static_cast<float>(rate));

    const float silentRate = rate > 0 ? static_cast<float>(rate) : kFallbackSampleRate;
    int undefined = 0;
    for (int w = kWaveformCount - 1; w >= 0; --w)
    {
        if (defined[w])
            continue;
        Waveform& wave = waves[w];
        wave = Waveform{};
        wave.sampleRate = silentRate;
        wave.loop = true;
        setAllKeys(wave, kSilentCycle, kCycleLength, silentRate / kCycleLength);
        ++undefined;
    }
    if (undefined > 0)
    {
        const auto first = std::find(defined.begin(), defined.end(), false) - defined.begin();
        K1_LOG("Error: " << undefined << " waveforms undefined (first " << first << "), they play silence");
    }
    guarded.build(*this);
    return ok && undefined == 0;
}

const char* Waveforms::getName(unsigned char wave) { return g_waveformNames[wave]; }

bool Waveforms::canRandomStart(unsigned char wave) const
{
    if (wave < kSingleCycleWaveformCount)
        return false;
    const Waveform& w = waves[wave];
    return w.loop && !w.alternate && !w.multiSegmentLoop;
}
} // namespace k1lib
