// Presets as byte chunks: exactly one K1 block dump each, written on MIDI
// channel 0 to location I number 0, read from any channel. The host keeps
// the current preset of the play mode this way as its program chunk.

#include "plugin/plugin.h"

#include "engine/engine.h"
#include "patch/log.h"
#include "patch/sysex.h"

namespace k1lib
{
namespace
{
// The chunk parsed with every MIDI channel accepted; false for no bytes.
bool parseChunk(Sysex::SysexResult& result, const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
    {
        K1_LOG("Ignoring an empty preset chunk");
        return false;
    }
    Sysex::readBuffer(result, bytes, 255);
    return true;
}

const SinglePreset* firstSingle(const Sysex::SysexResult& result, size_t chunkSize)
{
    if (result.singles.empty())
    {
        K1_LOG("No single in a chunk of " << chunkSize << " bytes");
        return nullptr;
    }
    return &result.singles.front();
}

const MultiPreset* firstMulti(const Sysex::SysexResult& result, size_t chunkSize)
{
    if (result.multis.empty())
    {
        K1_LOG("No multi in a chunk of " << chunkSize << " bytes");
        return nullptr;
    }
    return &result.multis.front();
}

bool writeDump(std::vector<uint8_t>& bytes, const SinglePreset& single)
{
    return Sysex::writeSingle(bytes, single, 0, StorageLocation::I, 0);
}

bool writeDump(std::vector<uint8_t>& bytes, const MultiPreset& multi)
{
    return Sysex::writeMulti(bytes, multi, 0, StorageLocation::I, 0);
}
} // namespace

bool Plugin::getSingle(std::vector<uint8_t>& bytes, size_t index) const
{
    SinglePreset single;
    {
        Lock lock(m_engineLock);
        if (!copySingle(single, index))
            return false;
    }
    return writeDump(bytes, single);
}

bool Plugin::getMulti(std::vector<uint8_t>& bytes, size_t index) const
{
    MultiPreset multi;
    {
        Lock lock(m_engineLock);
        if (!copyMulti(multi, index))
            return false;
    }
    return writeDump(bytes, multi);
}

bool Plugin::getCurrentSingle(std::vector<uint8_t>& bytes) const
{
    return writeDump(bytes, getCurrentSingle());
}

bool Plugin::getCurrentMulti(std::vector<uint8_t>& bytes) const
{
    return writeDump(bytes, getCurrentMulti());
}

// Chunks are parsed before the engine lock is taken: a block never waits
// for the parser.
bool Plugin::setSingle(const std::vector<uint8_t>& bytes, size_t index)
{
    Sysex::SysexResult result;
    if (!parseChunk(result, bytes))
        return false;
    const SinglePreset* single = firstSingle(result, bytes.size());
    if (!single)
        return false;
    Lock lock(m_engineLock);
    return m_engine.setSingle(index, *single);
}

bool Plugin::setMulti(const std::vector<uint8_t>& bytes, size_t index)
{
    Sysex::SysexResult result;
    if (!parseChunk(result, bytes))
        return false;
    const MultiPreset* multi = firstMulti(result, bytes.size());
    if (!multi)
        return false;
    Lock lock(m_engineLock);
    return m_engine.setMulti(index, *multi);
}

bool Plugin::setCurrentSingle(const std::vector<uint8_t>& bytes)
{
    Sysex::SysexResult result;
    if (!parseChunk(result, bytes))
        return false;
    const SinglePreset* single = firstSingle(result, bytes.size());
    if (!single)
        return false;
    Lock lock(m_engineLock);
    return m_engine.setSingle(m_engine.getCurrentSingleIndex(), *single);
}

bool Plugin::setCurrentMulti(const std::vector<uint8_t>& bytes)
{
    Sysex::SysexResult result;
    if (!parseChunk(result, bytes))
        return false;
    const MultiPreset* multi = firstMulti(result, bytes.size());
    if (!multi)
        return false;
    Lock lock(m_engineLock);
    return m_engine.setMulti(m_engine.getCurrentMultiIndex(), *multi);
}

bool Plugin::getPreset(std::vector<uint8_t>& bytes, size_t index) const
{
    bool multiMode = false;
    SinglePreset single;
    MultiPreset multi;
    {
        Lock lock(m_engineLock);
        multiMode = isMultiMode();
        if (multiMode ? !copyMulti(multi, index) : !copySingle(single, index))
            return false;
    }
    return multiMode ? writeDump(bytes, multi) : writeDump(bytes, single);
}

bool Plugin::setPreset(const std::vector<uint8_t>& bytes, size_t index)
{
    Sysex::SysexResult result;
    if (!parseChunk(result, bytes))
        return false;
    Lock lock(m_engineLock);
    if (isMultiMode())
    {
        const MultiPreset* multi = firstMulti(result, bytes.size());
        return multi && m_engine.setMulti(index, *multi);
    }
    const SinglePreset* single = firstSingle(result, bytes.size());
    return single && m_engine.setSingle(index, *single);
}

// Mode, index and preset are read in one look, so the chunk is the preset
// that was current, even while a program change or a mode switch runs.
bool Plugin::getCurrentPreset(std::vector<uint8_t>& bytes) const
{
    bool multiMode = false;
    SinglePreset single;
    MultiPreset multi;
    {
        Lock lock(m_engineLock);
        multiMode = isMultiMode();
        if (multiMode)
            multi = m_engine.getCurrentMulti();
        else
            single = m_engine.getCurrentSingle();
    }
    return multiMode ? writeDump(bytes, multi) : writeDump(bytes, single);
}

// The play mode and the current index are read together with the store.
bool Plugin::setCurrentPreset(const std::vector<uint8_t>& bytes)
{
    Sysex::SysexResult result;
    if (!parseChunk(result, bytes))
        return false;
    Lock lock(m_engineLock);
    if (isMultiMode())
    {
        const MultiPreset* multi = firstMulti(result, bytes.size());
        return multi && m_engine.setMulti(m_engine.getCurrentMultiIndex(), *multi);
    }
    const SinglePreset* single = firstSingle(result, bytes.size());
    return single && m_engine.setSingle(m_engine.getCurrentSingleIndex(), *single);
}
} // namespace k1lib
