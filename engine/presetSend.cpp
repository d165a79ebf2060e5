// Sending presets and parameter edits to a K1 on the other end of the MIDI
// cable: one-preset dumps into a chosen K1 slot, and K1 parameter changes that
// follow an edit of the current single. Everything leaves through the
// listener's sendMidi as one system-exclusive event at sample offset 0.

#include <algorithm>
#include <cmath>

#include "engine/engine.h"
#include "patch/log.h"
#include "patch/parameter.h"
#include "patch/parameterConverter.h"
#include "patch/sysexFrame.h"

namespace k1lib
{
namespace
{
constexpr uint8_t kSingleSlots = 128;     // I, i, E and e: 32 singles each
constexpr uint8_t kMultiSlots = 64;       // I and E: 32 multis each
constexpr uint8_t kSlotsPerLocation = 32;
} // namespace

uint8_t Engine::getSendChannel() const
{
    return m_config.omni ? 0 : static_cast<uint8_t>(m_config.receiveChannel);
}

void Engine::sendSysex(const std::vector<uint8_t>& message) const
{
    SMidiEvent event;
    event.sysexView = message.data();
    event.sysexViewSize = static_cast<uint32_t>(message.size());
    m_listener->sendMidi(event);
}

bool Engine::sendSingle(size_t index, uint8_t slot) const
{
    if (slot >= kSingleSlots || index >= m_singles.size())
    {
        K1_LOG("Cannot send single " << index << " to slot " << int(slot));
        return false;
    }
    const uint8_t channel = getSendChannel();
    if (channel > sysexFrame::kMaxChannel)
    {
        K1_LOG("Invalid receive channel " << int(channel) << ", expected 0-15");
        return false;
    }
    std::vector<uint8_t> message;
    const auto location = static_cast<StorageLocation>(slot / kSlotsPerLocation);
    if (!Sysex::writeSingle(message, m_singles[index], channel, location, slot % sysexFrame::kSinglesPerMemory))
        return false;
    sendSysex(message);
    return true;
}

bool Engine::sendMulti(size_t index, uint8_t slot) const
{
    if (slot >= kMultiSlots || index >= m_multis.size())
    {
        K1_LOG("Cannot send multi " << index << " to slot " << int(slot));
        return false;
    }
    const uint8_t channel = getSendChannel();
    if (channel > sysexFrame::kMaxChannel)
    {
        K1_LOG("Invalid receive channel " << int(channel) << ", expected 0-15");
        return false;
    }
    std::vector<uint8_t> message;
    const auto location = slot < kSlotsPerLocation ? StorageLocation::I : StorageLocation::E;
    if (!Sysex::writeMulti(message, m_multis[index], channel, location, slot % kSlotsPerLocation))
        return false;
    sendSysex(message);
    return true;
}

bool Engine::sendParameterAsSysex(EParam param, float normalized) const
{
    if (m_config.sysexSend == 0)
        return false;
    unsigned char source = 0;
    const ParameterCursor number = ParameterConverter::toCursor(source, param);
    if (number == Cursor_None)
        return false;
    if (std::isnan(normalized))
    {
        K1_LOG("Not sending parameter " << CParam::getEnumString(param) << ", its value is not a number");
        return false;
    }
    const CParam& row = g_params[param];
    const int value = static_cast<int>(std::round(std::clamp(normalized, 0.0f, 1.0f) * row.range + row.min));

    // The edit lands on a copy: the K1 gets the value as the single would
    // store it, and the working single stays as it is.
    SinglePreset copy = m_singles[m_currentSingle];
    if (!ParameterConverter::toSingle(copy, param, value))
        return false;
    // Name characters are edited as a whole name, never by a parameter, so
    // the converter leaves them alone: the typed character goes out as is.
    if (param <= Param_Name10)
        copy.name[param - Param_Name01] = static_cast<char>(std::clamp(value, 0, 127));
    unsigned char byte = 0;
    if (!ParameterConverter::fromSingle(byte, copy, number, source))
        return false;

    const uint8_t channel = getSendChannel();
    if (channel > sysexFrame::kMaxChannel)
    {
        K1_LOG("Invalid receive channel " << int(channel) << ", expected 0-15");
        return false;
    }
    std::vector<uint8_t> message;
    Sysex::writeParameterChange(message, channel, {static_cast<uint8_t>(number), source, byte});
    sendSysex(message);
    return true;
}
} // namespace k1lib
