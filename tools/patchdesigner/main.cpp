// patchdesigner <output folder>
// Writes the thirteen factory banks: <symbol>.syx for the twelve K1 banks
// (three all-block dumps: singles 1-32, singles 33-64, multis 1-32, channel 0,
// internal memory) and PHm.syx (200 one-single dumps). Deterministic: the same
// program always writes the same bytes.

#include <cstdio>
#include <string>
#include <vector>

#include "patch/sysex.h"
#include "tools/patchdesigner/designer.h"
#include "tools/patchdesigner/phmData.h"

namespace
{
constexpr uint8_t kChannel = 0;

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
    {
        std::fprintf(stderr, "patchdesigner: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool append(std::vector<uint8_t>& file, bool ok, const std::vector<uint8_t>& message)
{
    file.insert(file.end(), message.begin(), message.end());
    return ok;
}

// Two singles of one bank must differ in sound, not only in name.
bool distinct(const std::vector<k1lib::SinglePreset>& singles, const char* symbol)
{
    for (size_t a = 0; a < singles.size(); ++a)
    {
        for (size_t b = a + 1; b < singles.size(); ++b)
        {
            k1lib::SinglePreset x = singles[a];
            std::copy(std::begin(singles[b].name), std::end(singles[b].name), x.name);
            if (x == singles[b])
            {
                std::fprintf(stderr, "patchdesigner: %s singles %zu and %zu sound the same\n", symbol, a + 1, b + 1);
                return false;
            }
        }
    }
    return true;
}

bool writeK1Bank(const std::string& folder, size_t bankIndex)
{
    const designer::BankPlan& plan = designer::bankPlans()[bankIndex];
    const designer::DesignedBank bank = designer::designBank(bankIndex);
    if (bank.singles.size() != 64 || !distinct(bank.singles, plan.symbol))
        return false;
    const std::vector<k1lib::MultiPreset> multis = designer::designMultis(bankIndex, bank);

    std::vector<uint8_t> file, message;
    const std::vector<k1lib::SinglePreset> lower(bank.singles.begin(), bank.singles.begin() + 32);
    const std::vector<k1lib::SinglePreset> upper(bank.singles.begin() + 32, bank.singles.end());
    bool ok = append(file, k1lib::Sysex::writeSingles(message, lower, kChannel, k1lib::StorageLocation::I, 0), message);
    ok = append(file, k1lib::Sysex::writeSingles(message, upper, kChannel, k1lib::StorageLocation::i, 32), message) && ok;
    ok = append(file, k1lib::Sysex::writeMultis(message, multis, kChannel, k1lib::StorageLocation::I, 0), message) && ok;
    return ok && writeFile(folder + "/" + plan.symbol + ".syx", file);
}

bool writePhm(const std::string& folder)
{
    const size_t phmIndex = designer::bankPlans().size() - 1;
    const designer::DesignedBank bank = designer::designBank(phmIndex);
    if (!distinct(bank.singles, "PHm"))
        return false;
    std::vector<uint8_t> file, message;
    for (size_t k = 0; k < bank.singles.size(); ++k)
    {
        const std::vector<uint8_t> phm = designer::toPhmData(bank.singles[k]);
        if (!k1lib::Sysex::convertPhmPreset(message, kChannel, static_cast<uint8_t>(k % 64), bank.singles[k].name, phm.data(), phm.size()))
            return false;
        file.insert(file.end(), message.begin(), message.end());
    }
    return writeFile(folder + "/PHm.syx", file);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    for (size_t b = 0; b + 1 < designer::bankPlans().size(); ++b)
    {
        if (!writeK1Bank(folder, b))
            return 1;
    }
    return writePhm(folder) ? 0 : 1;
}
