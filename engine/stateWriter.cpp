// Writing the engine's state chunk (version 4; layout in stateChunk.h).
// Saving changes nothing in the engine.

#include <cstring>

#include "engine/stateChunk.h"
#include "patch/log.h"
#include "patch/sysex.h"

namespace k1lib
{
namespace
{
using namespace stateChunk;

void appendU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void appendFloat(std::vector<uint8_t>& out, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    appendU32(out, bits);
}

// Run k of 32 presets as one dump, alternating between the lower and upper
// half of the internal memory. A run of one preset still addresses its half
// (number 0 or 32), so that no list length makes the encoder refuse.
template <typename Preset, typename Writer>
bool appendStream(std::vector<uint8_t>& out, const std::vector<Preset>& list, Writer write)
{
    std::vector<uint8_t> stream;
    std::vector<uint8_t> message;
    for (size_t first = 0, k = 0; first < list.size(); first += kPresetsPerMessage, ++k)
    {
        const size_t count = std::min(kPresetsPerMessage, list.size() - first);
        const auto location = (k & 1) ? StorageLocation::i : StorageLocation::I;
        if (!write(message, list.data() + first, count, 0, location, static_cast<uint8_t>((k & 1) * kPresetsPerMessage)))
            return false;
        stream.insert(stream.end(), message.begin(), message.end());
    }
    appendU32(out, static_cast<uint32_t>(list.size()));
    appendU32(out, static_cast<uint32_t>(stream.size()));
    out.insert(out.end(), stream.begin(), stream.end());
    return true;
}
} // namespace

bool Engine::saveState(std::vector<uint8_t>& out)
{
    std::vector<uint8_t> block;
    block.reserve(kCustomAt + 2 * sizeof(uint32_t) + m_singles.size() * kSingleBlockSize +
                  m_multis.size() * kMultiBlockSize + 1024);
    appendU32(block, kVersion);
    appendU32(block, kConfigSize);
    for (const ConfigField& f : kConfigFields)
        appendU32(block, m_config.*f.field);
    appendU32(block, static_cast<uint32_t>(m_playMode));
    appendU32(block, kStoredParamCount);
    for (uint32_t p = 0; p < kStoredParamCount; ++p)
        appendFloat(block, m_parameters.getNormalized(p));

    std::vector<uint8_t> custom;
    m_listener->serializeCustomData(custom);
    appendU32(block, static_cast<uint32_t>(custom.size()));
    block.insert(block.end(), custom.begin(), custom.end());

    appendU32(block, static_cast<uint32_t>(m_currentSingle));
    const auto writeSingles = [](auto&&... args) { return Sysex::writeSingles(args...); };
    const auto writeMultis = [](auto&&... args) { return Sysex::writeMultis(args...); };
    if (!appendStream(block, m_singles, writeSingles))
    {
        K1_LOG("Unable to save state, the singles could not be encoded");
        return false;
    }
    appendU32(block, static_cast<uint32_t>(m_currentMulti));
    if (!appendStream(block, m_multis, writeMultis))
    {
        K1_LOG("Unable to save state, the multis could not be encoded");
        return false;
    }
    out.insert(out.end(), block.begin(), block.end());
    return true;
}
} // namespace k1lib
