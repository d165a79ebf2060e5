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

#include "tools/common/embeddedBanks.h"
#include "tools/bankcheck/bankCheck.h"

int main(int argc, char** argv)
{
    bool ok = true;
    if (argc < 2)
    {
        for (const EmbeddedBank& bank : embeddedBanks())
        {
            const bankcheck::Kind kind = bank.symbol == "PHm" ? bankcheck::Kind::Phm : bankcheck::Kind::K1Bank;
            const bankcheck::Report report = bankcheck::check(kind, bank.bytes.data(), bank.bytes.size());
            std::printf("%s\n", bankcheck::summary(bank.symbol, report).c_str());
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
