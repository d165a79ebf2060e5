// Start-up cost of the factory banks (parsing all thirteen compiled-in dumps,
// the work the first engine does once) and the cost of reading sysex out of a
// Standard MIDI File that carries a whole bank between channel events.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "data/k1data.h"
#include "patch/midiFile.h"
#include "patch/sysex.h"

namespace
{
std::vector<std::vector<uint8_t>> allBanks()
{
    const unsigned char* (*data[])() = {k1data::getData_sysex_K1INT, k1data::getData_sysex_A101, k1data::getData_sysex_A102,
                                        k1data::getData_sysex_A103,  k1data::getData_sysex_A104, k1data::getData_sysex_A105,
                                        k1data::getData_sysex_A200,  k1data::getData_sysex_E101, k1data::getData_sysex_E102,
                                        k1data::getData_sysex_J101,  k1data::getData_sysex_J102, k1data::getData_sysex_J103,
                                        k1data::getData_sysex_PHm};
    size_t (*size[])() = {k1data::getDataSize_sysex_K1INT, k1data::getDataSize_sysex_A101, k1data::getDataSize_sysex_A102,
                          k1data::getDataSize_sysex_A103,  k1data::getDataSize_sysex_A104, k1data::getDataSize_sysex_A105,
                          k1data::getDataSize_sysex_A200,  k1data::getDataSize_sysex_E101, k1data::getDataSize_sysex_E102,
                          k1data::getDataSize_sysex_J101,  k1data::getDataSize_sysex_J102, k1data::getDataSize_sysex_J103,
                          k1data::getDataSize_sysex_PHm};
    std::vector<std::vector<uint8_t>> banks;
    for (size_t b = 0; b < std::size(data); ++b)
        banks.emplace_back(data[b](), data[b]() + size[b]());
    return banks;
}

void BM_ParseFactoryBanks(benchmark::State& state)
{
    const std::vector<std::vector<uint8_t>> banks = allBanks();
    for (auto _ : state)
    {
        size_t presets = 0;
        for (const std::vector<uint8_t>& bank : banks)
        {
            k1lib::Sysex::SysexResult result;
            k1lib::Sysex::readBuffer(result, bank, 255);
            presets += result.singles.size() + result.multis.size();
        }
        benchmark::DoNotOptimize(presets);
    }
}
BENCHMARK(BM_ParseFactoryBanks);

// One track: a note on and off between each of the bank's three dumps.
std::vector<uint8_t> midiFileWithBank()
{
    const std::vector<uint8_t> bank(k1data::getData_sysex_K1INT(), k1data::getData_sysex_K1INT() + k1data::getDataSize_sysex_K1INT());
    std::vector<uint8_t> events;
    size_t start = 0;
    for (size_t i = 0; i < bank.size(); ++i)
    {
        if (bank[i] != 0xF7)
            continue;
        const size_t length = i - start; // data after F0, F7 included
        events.insert(events.end(), {0x00, 0x90, 0x3C, 0x64, 0x60, 0x3C, 0x00});
        events.insert(events.end(), {0x00, 0xF0, static_cast<uint8_t>(0x80 | (length >> 7)), static_cast<uint8_t>(length & 0x7F)});
        events.insert(events.end(), bank.begin() + static_cast<long>(start) + 1, bank.begin() + static_cast<long>(i) + 1);
        start = i + 1;
    }
    events.insert(events.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(static_cast<uint8_t>(events.size() >> shift));
    file.insert(file.end(), events.begin(), events.end());
    return file;
}

void BM_MidiFileSysex(benchmark::State& state)
{
    std::vector<uint8_t> file = midiFileWithBank();
    size_t extracted = 0;
    for (auto _ : state)
    {
        FILE* stream = fmemopen(file.data(), file.size(), "rb");
        std::vector<unsigned char> out;
        k1lib::MidiToSysex::readStream(out, stream);
        std::fclose(stream);
        extracted = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["sysex bytes"] = static_cast<double>(extracted);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_MidiFileSysex);
} // namespace
