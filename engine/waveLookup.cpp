// The one place where the voices meet the wave set's records.

#include "engine/engine.h"

namespace k1lib
{
WaveBlock Engine::getWaveBlock(uint8_t wave, uint8_t keyIndex) const
{
    const Waveforms::Waveform& w = m_waveforms.waves[wave];
    const Waveforms::WaveformData& block = w.keys[keyIndex & 0x7F];
    WaveBlock result;
    result.length = block.length <= 0x80000000ull ? static_cast<uint32_t>(block.length) : 0;
    result.data = result.length > 0 ? m_waveforms.guarded.find(block.data, block.length) : nullptr;
    result.baseFrequency = block.baseFrequency;
    result.sampleRate = w.sampleRate;
    result.loop = w.loop;
    result.randomStart = m_waveforms.canRandomStart(wave);
    return result;
}
} // namespace k1lib
