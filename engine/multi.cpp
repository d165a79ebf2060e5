// The multi's sections: channel map, note handling, voice allocation and
// stealing. Rendering and routing are in multiRender.cpp.

#include "engine/multi.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/engine.h"
#include "patch/log.h"
#include "patch/parameter.h"

namespace k1lib
{
namespace
{
constexpr int32_t kPolyVR = 0;
constexpr int32_t kPolyOff = 1;
constexpr uint32_t kPolyModePoly1 = 0;
constexpr uint32_t kPolyModeSolo = 2;
constexpr int32_t kVelocitySoft = 1;
constexpr int32_t kVelocityLoud = 2;
constexpr uint8_t kVelocitySplit = 64;
constexpr uint8_t kStealVelocity = 127;

MultiPreset makeSingleModeMulti()
{
    MultiPreset m;
    m.volume = 99;
    for (size_t s = 1; s < Multi::kSectionCount; ++s)
    {
        m.sections[s] = MultiSection{};
        m.sections[s].poly = kPolyOff;
    }
    MultiSection& first = m.sections[0];
    first.single = Multi::kCurrentSingle;
    first.zoneLow = 0;
    first.zoneHigh = 127;
    first.poly = kPolyVR;
    first.output = 1;   // LR
    first.midiMode = 2; // Both
    first.channel = Multi::kDefaultChannel;
    first.velocitySwitch = 0;
    first.level = 100;
    return m;
}

bool inZone(const MultiSection& section, uint8_t key)
{
    if (section.zoneLow <= section.zoneHigh)
        return key >= section.zoneLow && key <= section.zoneHigh;
    return key >= section.zoneLow || key <= section.zoneHigh; // a zone that wraps
}
} // namespace

Multi::Multi(Engine& engine) : m_engine(engine), m_singleModeMulti(makeSingleModeMulti())
{
    m_levelPull = 1.0 - std::exp(-1.0 / (static_cast<double>(LevelGlide::kTimeConstant) * m_engine.getProcessingSamplerate()));
    for (size_t c = 0; c < kChannelCount; ++c)
    {
        const auto channel = static_cast<uint8_t>(c);
        m_noteProcessors[c] = std::make_unique<NoteProcessor>(
            [this, channel](uint8_t key, uint8_t velocity) { onNoteOn(channel, key, velocity); },
            [this, channel](uint8_t key, uint8_t velocity, uint8_t lastKey, uint8_t lastVelocity) {
                onNoteOff(channel, key, velocity, lastKey, lastVelocity);
            });
    }
    m_pool.resize(kPoolSize);
    m_aheadStart.resize(kPoolSize);
    m_aheadEnd.resize(kPoolSize);
    for (size_t i = 0; i < kPoolSize; ++i)
        m_free[i] = static_cast<VoiceId>(kPoolSize - 1 - i);
    m_freeCount = kPoolSize;

    // Every section's LFO draws from a generator of its own, seeded from the
    // engine's: the same for every fresh engine, independent of any other.
    for (SectionState& state : m_sectionStates)
    {
        RandomSource& random = m_engine.getRandom();
        state.lfo.seedRandom(static_cast<uint64_t>(random.next()) << 32 | random.next());
    }

    for (SpanRuns& runs : m_vibratoRuns)
        runs.reset(kMaxSpan, 0.0f);
    m_multi = m_singleModeMulti;
    mapChannelsToSections();
    m_singlesOffset = Engine::getSinglesOffsetForMulti(m_engine.getCurrentMultiIndex());
}

void Multi::setMulti(const MultiPreset& multi)
{
    settleVoices();
    m_multi = multi;
    mapChannelsToSections();
    m_singlesOffset = Engine::getSinglesOffsetForMulti(m_engine.getCurrentMultiIndex());
}

void Multi::updateMulti(const MultiPreset& multi, EParam param)
{
    settleVoices();
    if (param >= Param_MultiName01 && param <= Param_MultiVolume)
    {
        m_multi = multi;
        return;
    }
    if (param >= Param_MultiS1Channel && param <= Param_MultiS8Channel)
    {
        for (size_t s = 0; s < kSectionCount; ++s)
        {
            for (size_t i = 0; i < m_active[s].size(); ++i)
                freeVoice(m_active[s][i]);
            m_active[s].clear();
        }
    }
    setMulti(multi);
}

uint8_t Multi::getChannel(size_t section) const
{
    const int32_t c = m_multi.sections[section].channel;
    if (c == kDefaultChannel)
    {
        const Engine::Config& config = m_engine.getConfig();
        return config.omni ? 0 : static_cast<uint8_t>(config.receiveChannel & 0x0F);
    }
    return static_cast<uint8_t>(c & 0x0F);
}

const SinglePreset* Multi::getSingle(size_t section) const
{
    const int32_t v = m_multi.sections[section].single;
    if (v == kCurrentSingle)
        return &m_engine.getCurrentSingle();
    if (v < 0)
        return nullptr;
    return m_engine.getSinglePreset(static_cast<size_t>(v) + m_singlesOffset);
}

void Multi::mapChannelsToSections()
{
    for (SectionList& list : m_channelSections)
        list.count = 0;
    m_sectionsInUse.count = 0;
    for (size_t s = 0; s < kSectionCount; ++s)
    {
        const MultiSection& section = m_multi.sections[s];
        if (section.poly == kPolyOff || section.level == 0)
            continue;
        SectionList& channelList = m_channelSections[getChannel(s)];
        channelList.sections[channelList.count++] = static_cast<uint8_t>(s);
        m_sectionsInUse.sections[m_sectionsInUse.count++] = static_cast<uint8_t>(s);
    }
}

void Multi::noteOn(uint8_t channel, uint8_t key, uint8_t velocity)
{
    settleChannel(channel);
    m_noteProcessors[channel & 0x0F]->noteOn(key, velocity);
}

void Multi::noteOff(uint8_t channel, uint8_t key, uint8_t velocity)
{
    settleChannel(channel);
    m_noteProcessors[channel & 0x0F]->noteOff(key, velocity);
}

void Multi::setHoldPedal(uint8_t channel, bool on)
{
    settleChannel(channel);
    m_noteProcessors[channel & 0x0F]->setHoldPedal(on);
}

void Multi::allNotesOff(uint8_t channel)
{
    settleVoices();
    m_noteProcessors[channel & 0x0F]->allNotesOff();
    // The processor releases the keys it counts; a voice may still sound
    // that no count of this channel names (struck while the section listened
    // to another channel, or struck again by a Solo single), and a section
    // that left the channel's list (its level set to 0, its poly to "off")
    // still holds the voices it had. Every held voice struck on this channel
    // or living in one of its sections is released, whatever the counts and
    // the lists say.
    constexpr uint8_t kAllNotesOffVelocity = 64;
    const uint8_t c = channel & 0x0F;
    const SectionList& list = m_channelSections[c];
    for (size_t s = 0; s < kSectionCount; ++s)
    {
        const bool listening = listensTo(list, s);
        const ActiveList& active = m_active[s];
        for (size_t i = 0; i < active.size(); ++i)
        {
            Voice& voice = m_pool[active[i]];
            if (voice.isKeyHeld() && (listening || voice.getChannel() == c))
                voice.onNoteOff(kAllNotesOffVelocity);
        }
    }
}

namespace
{
// Sections of one channel that play the same single at the same
// transposition are copies of one sound (a few cents apart, as a chorus or
// to make it louder). Started at the same point of their cycles they would
// add up in phase and open every note with a spike of twice the level they
// add; each copy after the first starts a golden-ratio step further round
// the cycle, so that no two copies start alike.
class Copies
{
public:
    float cycleFor(const SinglePreset* single, int transpose)
    {
        size_t earlier = 0;
        for (size_t i = 0; i < m_count; ++i)
            earlier += m_singles[i] == single && m_transposes[i] == transpose ? 1 : 0;
        if (m_count < kMaxSections)
        {
            m_singles[m_count] = single;
            m_transposes[m_count++] = transpose;
        }
        const double step = 0.6180339887498949 * static_cast<double>(earlier);
        return static_cast<float>(step - std::floor(step));
    }

private:
    static constexpr size_t kMaxSections = 8;
    const SinglePreset* m_singles[kMaxSections] = {};
    int m_transposes[kMaxSections] = {};
    size_t m_count = 0;
};
} // namespace

void Multi::onNoteOn(uint8_t channel, uint8_t key, uint8_t velocity)
{
    const SectionList& list = m_channelSections[channel & 0x0F];
    Copies copies;
    for (size_t n = 0; n < list.count; ++n)
    {
        const size_t s = list.sections[n];
        const SinglePreset* single = getSingle(s);
        if (single == nullptr)
            continue;
        if (single->polyMode == kPolyModeSolo)
            killVoices(s, 0);
        else if (single->polyMode == kPolyModePoly1)
            stopVoicesForNote(s, key, velocity, true);

        const MultiSection& section = m_multi.sections[s];
        if (section.velocitySwitch == kVelocitySoft && velocity >= kVelocitySplit)
            continue;
        if (section.velocitySwitch == kVelocityLoud && velocity < kVelocitySplit)
            continue;
        if (!inZone(section, key))
            continue;
        if (section.poly == kPolyVR)
            killVoices(s, kMaxActivePerSection - 1);
        else if (section.poly >= 2)
            killVoices(s, static_cast<size_t>(section.poly - 2));
        createVoice(s, *single, key, velocity, channel, copies.cycleFor(single, section.transpose));
    }
}

void Multi::onNoteOff(uint8_t channel, uint8_t key, uint8_t velocity, uint8_t lastKey, uint8_t lastVelocity)
{
    const uint8_t c = channel & 0x0F;
    const SectionList& list = m_channelSections[c];
    Copies copies;
    for (size_t s = 0; s < kSectionCount; ++s)
    {
        if (!listensTo(list, s))
        {
            // A section that left the channel (its level set to 0, its poly
            // to "off") plays no more notes of it, but the voices the channel
            // struck in it still end with their keys.
            releaseStruckOn(s, c, key, velocity);
            continue;
        }
        const SinglePreset* single = getSingle(s);
        if (single != nullptr && lastVelocity != 0 && single->polyMode == kPolyModeSolo)
        {
            // The key still held is struck again.
            killVoices(s, 0);
            createVoice(s, *single, lastKey, lastVelocity, channel,
                        copies.cycleFor(single, m_multi.sections[s].transpose));
        }
        else
        {
            stopVoicesForNote(s, key, velocity, false);
        }
    }
}

bool Multi::listensTo(const SectionList& list, size_t section)
{
    for (size_t n = 0; n < list.count; ++n)
        if (list.sections[n] == section)
            return true;
    return false;
}

void Multi::releaseStruckOn(size_t section, uint8_t channel, uint8_t key, uint8_t velocity)
{
    const ActiveList& list = m_active[section];
    for (size_t i = 0; i < list.size(); ++i)
    {
        Voice& voice = m_pool[list[i]];
        if (voice.getKey() != key || !voice.isKeyHeld() || voice.getChannel() != channel)
            continue;
        // Not among the sections the note-off settled.
        settleSection(section);
        voice.onNoteOff(velocity);
        return;
    }
}

void Multi::stopVoicesForNote(size_t section, uint8_t key, uint8_t velocity, bool kill)
{
    ActiveList& list = m_active[section];
    for (size_t i = 0; i < list.size(); ++i)
    {
        Voice& voice = m_pool[list[i]];
        if (voice.getKey() != key || !voice.isKeyHeld())
            continue;
        if (kill)
            removeActive(section, i);
        else
            voice.onNoteOff(velocity);
        return;
    }
}

void Multi::killVoices(size_t section, size_t keep)
{
    ActiveList& active = m_active[section];
    ReleasedList& released = m_released[section];
    while (active.size() > keep)
    {
        const VoiceId id = active.front();
        m_pool[id].onNoteOff(kStealVelocity, Voice::kStealReleaseValue);
        active.erase(0);
        // Only a flood of notes within 20 ms fills the released list; its
        // oldest voice, nearly silent by then, makes room.
        if (released.full())
        {
            freeVoice(released.front());
            released.erase(0);
        }
        released.push_back(id);
    }
}

void Multi::createVoice(size_t section, const SinglePreset& single, uint8_t key, uint8_t velocity, uint8_t channel,
                        float cycle)
{
    ActiveList& active = m_active[section];
    if (active.full())
        killVoices(section, kMaxActivePerSection - 1);
    const uint32_t clock = active.empty() ? 0 : m_pool[active.front()].getClock();
    if (m_freeCount == 0)
        return;
    const VoiceId id = allocateVoice();
    const MultiSection& s = m_multi.sections[section];
    // Stored sections hold -24..24, -50..50 and 0..100; the clamps only keep
    // damaged records from overflowing the pitch arithmetic.
    m_pool[id].start(m_engine, single, key, velocity, channel, m_engine.getProcessingSamplerate(),
                     std::clamp(s.transpose, -127, 127), std::clamp(s.tune, -127, 127), std::clamp(s.level, 0, 100),
                     clock, cycle);
    active.push_back(id);
}

VoiceId Multi::allocateVoice()
{
    // The list capacities add up to the pool size, so a free voice exists
    // whenever a list has room; createVoice checks all the same.
    return m_free[--m_freeCount];
}

void Multi::removeActive(size_t section, size_t i)
{
    freeVoice(m_active[section][i]);
    m_active[section].erase(i);
}

void Multi::settleVoices()
{
    for (size_t s = 0; s < kSectionCount; ++s)
        settleSection(s);
}

void Multi::settleChannel(uint8_t channel)
{
    const SectionList& list = m_channelSections[channel & 0x0F];
    for (size_t n = 0; n < list.count; ++n)
        settleSection(list.sections[n]);
}

void Multi::clearAllVoices()
{
    settleVoices();
    bool sounding = false;
    for (size_t s = 0; s < kSectionCount; ++s)
    {
        for (size_t i = 0; i < m_active[s].size(); ++i)
            freeVoice(m_active[s][i]);
        m_active[s].clear();
        // A section fallen silent takes its levels at its next note, as
        // one that never sounded.
        m_levels[s].sounded = !m_released[s].empty();
        sounding = sounding || m_levels[s].sounded;
    }
    m_soundedBefore = sounding;
}

void Multi::forgetKeys()
{
    for (auto& processor : m_noteProcessors)
        processor->clear();
}

void Multi::endHeldNotes()
{
    settleVoices();
    constexpr uint8_t kAllNotesOffVelocity = 64;
    for (size_t s = 0; s < kSectionCount; ++s)
    {
        const ActiveList& active = m_active[s];
        for (size_t i = 0; i < active.size(); ++i)
        {
            Voice& voice = m_pool[active[i]];
            if (voice.isKeyHeld())
                voice.onNoteOff(kAllNotesOffVelocity);
        }
    }
    forgetKeys();
}

void Multi::changeSingleForChannel(uint8_t channel, uint8_t program)
{
    const MultiPreset& stored = m_engine.getCurrentMulti();
    for (size_t s = 0; s < kSectionCount; ++s)
    {
        const MultiSection& section = stored.sections[s];
        if (section.channel != channel || section.single == program)
            continue;
        const EParam p = static_cast<EParam>(Param_MultiS1Single + s);
        const CParam& row = g_params[p];
        m_engine.modifyParameter(p, (static_cast<float>(program) - row.min) * row.invRange);
    }
}

size_t Multi::getActiveVoiceCount() const
{
    size_t total = 0;
    for (size_t s = 0; s < kSectionCount; ++s)
        total += m_active[s].size() + m_released[s].size();
    return total;
}

void Multi::logTotalVoiceCount() const { K1_LOG("Total voice count " << getActiveVoiceCount()); }
} // namespace k1lib
