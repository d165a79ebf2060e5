// bankcheck [file.syx ...]
// Validates factory bank files and prints one line per file. Without
// arguments it checks the thirteen banks compiled into the program. A file of
// 19,400 bytes is taken as PHm data, any other as a K1 bank. Exit status 1
// when any file fails.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/k1data.h"
#include "tools/bankcheck/bankCheck.h"

namespace
{
struct Embedded
{
    const char* label;
    const unsigned char* (*data)();
    size_t (*size)();
};

const Embedded g_embedded[] = {
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
} // namespace

int main(int argc, char** argv)
{
    bool ok = true;
    if (argc < 2)
    {
        for (const Embedded& e : g_embedded)
        {
            const bankcheck::Kind kind = std::string(e.label) == "PHm" ? bankcheck::Kind::Phm : bankcheck::Kind::K1Bank;
            const bankcheck::Report report = bankcheck::check(kind, e.data(), e.size());
            std::printf("%s\n", bankcheck::summary(e.label, report).c_str());
            ok = ok && report.problems.empty();
        }
        return ok ? 0 : 1;
    }
    for (int i = 1; i < argc; ++i)
    {
        std::ifstream in(argv[i], std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const bankcheck::Kind kind = bytes.size() == bankcheck::kPhmSize ? bankcheck::Kind::Phm : bankcheck::Kind::K1Bank;
        const bankcheck::Report report = bankcheck::check(kind, bytes.data(), bytes.size());
        std::printf("%s\n", bankcheck::summary(argv[i], report).c_str());
        ok = ok && report.problems.empty();
    }
    return ok ? 0 : 1;
}
