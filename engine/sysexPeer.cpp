// Answering K1 system exclusive like a K1: received dumps are stored and
// acknowledged one preset at a time, dump requests are answered from the
// working store, parameter changes edit the current single, and the
// machine-ID request is answered. Each message of a buffer is handled on its
// own, with its own preset numbers, and answered on its own channel. Every
// reply leaves at once through the listener's sendMidi.

#include <cstring>
#include <utility>

#include "engine/engine.h"
#include "patch/parameterConverter.h"
#include "patch/blockLayout.h"
#include "patch/log.h"
#include "patch/sysexFrame.h"

namespace k1lib
{
namespace
{
using namespace sysexFrame;

constexpr uint8_t kAnyChannel = 255;
constexpr uint8_t kAmpModLowerToUpper = 2; // "S1>S2" and "S3>S4"
constexpr size_t kMemories = 2;            // internal and card
// The longest message taken: a dump of a whole memory of singles (64
// blocks). A K1 sends half that at most.
constexpr size_t kMaxBlocks = 64;
constexpr size_t kMaxMessage = kDataAt + kMaxBlocks * kSingleBlockSize + 1;
// Requests and parameter changes: one per message.
constexpr size_t kMaxRequests = 4;

void clearResult(Sysex::SysexResult& result)
{
    result.singles.clear();
    result.multis.clear();
    result.requestedSingles.clear();
    result.requestedMultis.clear();
    result.parameterChanges.clear();
    result.singleStart = 0;
    result.multiStart = 0;
    result.channel = 0;
    result.machineIdRequested = false;
    result.allMultisRequested = false;
    result.allSinglesRequested = false;
}
} // namespace

void Engine::reserveSysexStorage()
{
    m_sysexIn.singles.reserve(kMaxBlocks);
    m_sysexIn.multis.reserve(kMaxBlocks);
    m_sysexIn.requestedSingles.reserve(kMaxRequests);
    m_sysexIn.requestedMultis.reserve(kMaxRequests);
    m_sysexIn.parameterChanges.reserve(kMaxRequests);
    m_reply.reserve(kDataAt + kMaxPresetsPerDump * kSingleBlockSize + 1);
}

void Engine::processMidiSysex(const uint8_t* data, size_t size)
{
    // Messages are cut out as the buffer reader does: from an F0 to the
    // first F7 after it.
    size_t at = 0;
    while (at < size)
    {
        const auto* start = static_cast<const uint8_t*>(std::memchr(data + at, kStart, size - at));
        if (!start)
            return;
        const size_t from = static_cast<size_t>(start - data);
        const auto* end = static_cast<const uint8_t*>(std::memchr(start + 1, kEnd, size - from - 1));
        if (!end)
            return;
        const size_t length = static_cast<size_t>(end - start) + 1;
        if (length > kMaxMessage)
            K1_LOG("Ignoring a sysex message of " << length << " bytes, longer than any K1 message");
        else
            answerSysexMessage(start, length);
        at = from + length;
    }
}

void Engine::answerSysexMessage(const uint8_t* message, size_t length)
{
    Sysex::SysexResult& result = m_sysexIn;
    clearResult(result);
    const uint8_t expected = m_config.omni ? kAnyChannel : static_cast<uint8_t>(m_config.receiveChannel);
    // A dump with a damaged block still yields the blocks before it.
    Sysex::readSysex(result, message, length, expected);
    const uint8_t channel = result.channel;
    // Sub-commands as sent; the reader has checked that the header is there
    // whenever it recorded a dump or a request.
    const uint8_t sub1 = length > kSub1At ? message[kSub1At] : 0;
    const uint8_t sub2 = length > kSub2At ? message[kSub2At] : 0;

    // Received presets, each acknowledged. A preset that would lie past the
    // 64 singles or 32 multis of the memory the dump addresses is refused.
    const size_t singleNumber = result.singleStart % kSinglesPerMemory;
    for (size_t i = 0; i < result.singles.size(); ++i)
    {
        const bool stored = singleNumber + i < kSinglesPerMemory && setSingle(result.singleStart + i, result.singles[i]);
        Sysex::writeWriteResult(m_reply, channel, stored ? kWriteComplete : kWriteError);
        sendSysex(m_reply);
    }
    const size_t multiNumber = static_cast<size_t>(sub2 >= kMultiBase ? sub2 - kMultiBase : 0);
    for (size_t i = 0; i < result.multis.size(); ++i)
    {
        const bool stored = multiNumber + i < kMultisPerMemory && setMulti(result.multiStart + i, result.multis[i]);
        Sysex::writeWriteResult(m_reply, channel, stored ? kWriteComplete : kWriteError);
        sendSysex(m_reply);
    }

    // One-block requests: only numbers of the K1's own memories are answered
    // with a dump; anything else gets the protected-write error.
    for (size_t n : result.requestedSingles)
    {
        const bool valid = sub1 < kMemories && n < m_singles.size();
        if (!valid || !Sysex::writeSingle(m_reply, m_singles[n], channel, static_cast<StorageLocation>(n >> 5),
                                          static_cast<uint8_t>(n % kSinglesPerMemory)))
            Sysex::writeWriteResult(m_reply, channel, kWriteErrorProtected);
        sendSysex(m_reply);
    }
    for (size_t n : result.requestedMultis)
    {
        const bool valid = sub1 < kMemories && static_cast<size_t>(sub2 - kMultiBase) < kMultisPerMemory && n < m_multis.size();
        const auto location = n < kMultisPerMemory ? StorageLocation::I : StorageLocation::E;
        if (!valid || !Sysex::writeMulti(m_reply, m_multis[n], channel, location, static_cast<uint8_t>(n % kMultisPerMemory)))
            Sysex::writeWriteResult(m_reply, channel, kWriteErrorProtected);
        sendSysex(m_reply);
    }

    if (!result.parameterChanges.empty())
        applyParameterChanges(result.parameterChanges);

    if (result.machineIdRequested)
    {
        Sysex::writeMachineIdResponse(m_reply, channel);
        sendSysex(m_reply);
    }

    // All-block requests: a half memory of 32 singles (sub-command 2 00h or
    // 20h) or all 32 multis of a memory (40h).
    if (result.allSinglesRequested)
    {
        const size_t s = result.singleStart;
        const bool valid = sub1 < kMemories && (sub2 == 0 || sub2 == kUpperSingles) && s + kMaxPresetsPerDump <= m_singles.size();
        if (!valid || !Sysex::writeSingles(m_reply, m_singles.data() + s, kMaxPresetsPerDump, channel,
                                           static_cast<StorageLocation>(s >> 5), static_cast<uint8_t>(s % kSinglesPerMemory)))
            Sysex::writeWriteResult(m_reply, channel, kWriteErrorProtected);
        sendSysex(m_reply);
    }
    if (result.allMultisRequested)
    {
        const size_t s = result.multiStart;
        const bool valid = sub1 < kMemories && sub2 == kMultiBase && s + kMaxPresetsPerDump <= m_multis.size();
        const auto location = s < kMultisPerMemory ? StorageLocation::I : StorageLocation::E;
        if (!valid || !Sysex::writeMultis(m_reply, m_multis.data() + s, kMaxPresetsPerDump, channel, location,
                                          static_cast<uint8_t>(s % kMultisPerMemory)))
            Sysex::writeWriteResult(m_reply, channel, kWriteErrorProtected);
        sendSysex(m_reply);
    }
}

// Changes land on the current single in place. A change that switches an
// amplitude modulation to or from "S1>S2" ("S3>S4") exchanges the two
// sources, which stores the single and reloads its parameters; otherwise the
// parameters reload here. Either way the single is reported as modified.
void Engine::applyParameterChanges(const std::vector<Sysex::SysexResult::ParameterChange>& changes)
{
    SinglePreset& current = m_singles[m_currentSingle];
    const bool lowerFirst12 = current.ampModS1S2 == kAmpModLowerToUpper;
    const bool lowerFirst34 = current.ampModS3S4 == kAmpModLowerToUpper;
    bool accepted = false;
    m_multi.settleVoices();
    for (const auto& change : changes)
        accepted |= ParameterConverter::toSingle(current, change);
    if (!accepted)
        return;

    bool stored = false;
    const auto exchange = [&](size_t a, size_t b) {
        SinglePreset copy = m_singles[m_currentSingle];
        std::swap(copy.sources[a], copy.sources[b]);
        if (copy == m_singles[m_currentSingle])
            return; // equal sources: nothing to store, but still to reload
        setSingle(m_currentSingle, copy);
        stored = true;
    };
    if (lowerFirst12 != (current.ampModS1S2 == kAmpModLowerToUpper))
        exchange(0, 1);
    if (lowerFirst34 != (m_singles[m_currentSingle].ampModS3S4 == kAmpModLowerToUpper))
        exchange(2, 3);
    if (!stored)
    {
        applySingleToParameters(m_singles[m_currentSingle]);
        m_listener->onChange({ChangeKind::ActiveSingleModified, m_currentSingle});
    }
    m_listener->onChange({ChangeKind::SinglesModified, m_currentSingle, 1});
}
} // namespace k1lib
