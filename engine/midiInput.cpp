// MIDI input: which channel an event belongs to, the per-channel controller
// state the voices read, and notes, controllers and program changes turned
// into calls on the multi and the preset store. Each kind of message is gated
// by a field of the configuration.

#include <algorithm>

#include "engine/engine.h"

namespace k1lib
{
namespace
{
constexpr uint8_t kNoteOff = 0x80;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kPolyPressure = 0xA0;
constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kChannelPressure = 0xD0;
constexpr uint8_t kPitchBend = 0xE0;

constexpr uint8_t kCcBankMsb = 0;
constexpr uint8_t kCcModWheel = 1;
constexpr uint8_t kCcDataEntry = 6;
constexpr uint8_t kCcVolume = 7;
constexpr uint8_t kCcPan = 10;
constexpr uint8_t kCcSourceMix12 = 16;
constexpr uint8_t kCcSourceMix34 = 17;
constexpr uint8_t kCcBankLsb = 32;
constexpr uint8_t kCcHold = 64;
constexpr uint8_t kCcRpnLsb = 100;
constexpr uint8_t kCcRpnMsb = 101;
constexpr uint8_t kCcAllNotesOff = 123;
constexpr uint8_t kCcOmniOff = 124;
constexpr uint8_t kCcOmniOn = 125;

constexpr uint8_t kRpnBendRange = 0;
constexpr uint8_t kRpnFineTune = 1;
constexpr uint8_t kNotReceived = 0xFF;
constexpr uint8_t kProgramsPerMode = 64;
constexpr int32_t kMaxBendRange = 12;
} // namespace

void Engine::processMidiEvent(const SMidiEvent& event)
{
    // System exclusive is answered by the sysex peer, when receiving it is on.
    if (event.isSysex())
    {
        if (m_config.sysexReceive)
            processMidiSysex(event.sysexData(), event.sysexSize());
        return;
    }
    dispatchMidi(event);
}

void Engine::dispatchMidi(const SMidiEvent& event)
{
    const uint8_t status = event.status & 0xF0;
    if (status < kNoteOff || status >= 0xF0)
        return;
    const uint8_t eventChannel = event.status & 0x0F;
    uint8_t channel = eventChannel;
    bool accepted = true;
    if (m_config.omni)
    {
        if (m_playMode == PlayMode::Single)
            channel = 0;
    }
    else
    {
        accepted = eventChannel == m_config.receiveChannel;
    }
    const uint8_t data1 = event.data1 & 0x7F;
    const uint8_t data2 = event.data2 & 0x7F;

    switch (status)
    {
    case kNoteOff:
        m_multi.noteOff(channel, data1, data2);
        break;
    case kNoteOn:
        if (data2 == 0)
            m_multi.noteOff(channel, data1, 0);
        else
            m_multi.noteOn(channel, data1, m_config.velocity ? data2 : 127);
        break;
    case kPolyPressure:
        break;
    case kControlChange:
        controlChange(channel, accepted, data1, data2);
        break;
    case kProgramChange:
        programChange(channel, accepted, data1);
        break;
    case kChannelPressure:
        if (m_config.pressure)
            m_midiState[channel].pressure = static_cast<float>(data1) / 127.0f;
        break;
    case kPitchBend:
        if (m_config.pitchBend)
            m_midiState[channel].bend = static_cast<float>((data2 * 128 + data1) - 8192) / 8192.0f;
        break;
    default:
        break;
    }
}

void Engine::controlChange(uint8_t channel, bool accepted, uint8_t controller, uint8_t value)
{
    MidiState& midi = m_midiState[channel];
    switch (controller)
    {
    case kCcBankMsb:
        if (accepted)
            m_bankMsb = value;
        break;
    case kCcModWheel:
        if (m_config.modWheel)
            midi.modWheel = static_cast<float>(value) / 127.0f;
        break;
    case kCcDataEntry:
        if (!accepted || m_rpnMsb != 0)
            break;
        if (m_rpnLsb == kRpnBendRange)
            m_bendRange = std::min<int32_t>(value, kMaxBendRange); // controllers send 24 or 48 too
        else if (m_rpnLsb == kRpnFineTune)
            m_fineTune = static_cast<float>(std::clamp<int>(value, 14, 114) - 64) * 0.02f;
        break;
    case kCcVolume:
        if (m_config.volume)
            midi.volume = static_cast<float>(value) / 127.0f;
        break;
    case kCcPan:
        if (m_config.pan)
        {
            midi.panRight = static_cast<float>(std::min<int>(value, 64)) / 64.0f;
            midi.panLeft = static_cast<float>(128 - std::max<int>(value, 64)) / 64.0f;
        }
        break;
    case kCcSourceMix12:
    case kCcSourceMix34:
        if (accepted)
        {
            const EParam p = controller == kCcSourceMix12 ? Param_SourceMix12 : Param_SourceMix34;
            const float x = static_cast<float>(value) / 127.0f;
            m_parameters.setVSTParam(p, x, true);
            m_listener->onChange({.kind = ChangeKind::ParameterChanged, .param = p, .value = x});
        }
        break;
    case kCcBankLsb:
        if (accepted)
            m_bankLsb = value;
        break;
    case kCcHold:
        m_multi.setHoldPedal(channel, value >= 64 && m_config.holdPedal);
        break;
    case kCcRpnLsb:
        if (accepted)
            m_rpnLsb = value;
        break;
    case kCcRpnMsb:
        if (accepted)
            m_rpnMsb = value;
        break;
    case kCcAllNotesOff:
        m_multi.allNotesOff(channel);
        break;
    case kCcOmniOff:
        if (accepted)
            omniChanged(0, channel);
        break;
    case kCcOmniOn:
        if (accepted)
            omniChanged(1, m_config.receiveChannel);
        break;
    default:
        break;
    }
}

// The single-mode multi listens by omni and the receive channel: its channel
// map follows at once, and the change is reported, as after a change of the
// settings. Setting what is already set changes nothing.
void Engine::omniChanged(uint32_t omni, uint32_t receiveChannel)
{
    if (m_config.omni == omni && m_config.receiveChannel == receiveChannel)
        return;
    const bool folded = foldsChannels();
    m_config.omni = omni;
    m_config.receiveChannel = receiveChannel;
    m_listener->onChange({ChangeKind::ConfigChanged});
    keysFollowSettings(folded);
    if (m_playMode == PlayMode::Single)
        m_multi.setMulti(m_multi.getSingleModeMulti());
}

void Engine::programChange(uint8_t channel, bool accepted, uint8_t program)
{
    if (m_config.programChange == 0)
        return;
    // The bank registers pick a storage of the mode the program selects: a
    // program 64-127 is a multi even when it switches from single mode. (A
    // per-channel single change in multi mode does not use them.)
    const std::vector<StorageInfo>& storages =
        getStorageInfos(program < kProgramsPerMode ? PlayMode::Single : PlayMode::Multi);
    const size_t first = m_bankLsb < storages.size() ? storages[m_bankLsb].firstIndex : 0;
    const size_t base = (m_bankMsb == kNotReceived ? 0 : static_cast<size_t>(m_bankMsb)) * 100 + first;

    if (program < kProgramsPerMode)
    {
        if (m_config.programChange == 2 && m_playMode == PlayMode::Multi)
        {
            m_multi.changeSingleForChannel(channel, program);
        }
        else if (accepted)
        {
            if (m_playMode == PlayMode::Multi)
                switchPlayMode(PlayMode::Single);
            setSingle(base + program);
        }
    }
    else if (accepted)
    {
        if (m_playMode == PlayMode::Single)
            switchPlayMode(PlayMode::Multi);
        setMulti(base + (program & 31));
    }
    m_bankLsb = kNotReceived;
    m_bankMsb = kNotReceived;
}
} // namespace k1lib
