#pragma once

// The thirteen compiled-in factory banks in storage order, with the symbol
// each is compiled in under, for the bank checks.

#include <string>
#include <vector>

#include "data/k1data.h"

struct EmbeddedBank
{
    std::string symbol;
    std::vector<uint8_t> bytes;
};

inline std::vector<EmbeddedBank> embeddedBanks()
{
    struct Entry
    {
        const char* symbol;
        const unsigned char* (*data)();
        size_t (*size)();
    };
    static const Entry entries[] = {
        {"K1INT", k1data::getData_sysex_K1INT, k1data::getDataSize_sysex_K1INT},
        {"A101", k1data::getData_sysex_A101, k1data::getDataSize_sysex_A101},
        {"A102", k1data::getData_sysex_A102, k1data::getDataSize_sysex_A102},
        {"A103", k1data::getData_sysex_A103, k1data::getDataSize_sysex_A103},
        {"A104", k1data::getData_sysex_A104, k1data::getDataSize_sysex_A104},
        {"A105", k1data::getData_sysex_A105, k1data::getDataSize_sysex_A105},
        {"A200", k1data::getData_sysex_A200, k1data::getDataSize_sysex_A200},
        {"E101", k1data::getData_sysex_E101, k1data::getDataSize_sysex_E101},
        {"E102", k1data::getData_sysex_E102, k1data::getDataSize_sysex_E102},
        {"J101", k1data::getData_sysex_J101, k1data::getDataSize_sysex_J101},
        {"J102", k1data::getData_sysex_J102, k1data::getDataSize_sysex_J102},
        {"J103", k1data::getData_sysex_J103, k1data::getDataSize_sysex_J103},
        {"PHm", k1data::getData_sysex_PHm, k1data::getDataSize_sysex_PHm},
    };
    std::vector<EmbeddedBank> banks;
    for (const Entry& e : entries)
        banks.push_back({e.symbol, std::vector<uint8_t>(e.data(), e.data() + e.size())});
    return banks;
}
