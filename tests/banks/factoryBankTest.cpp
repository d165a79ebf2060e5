#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "patch/blockLayout.h"
#include "patch/sysex.h"
#include "patch/sysexFrame.h"
#include "tools/common/embeddedBanks.h"
#include "tools/bankcheck/bankCheck.h"

namespace
{
using k1lib::Sysex;
constexpr size_t kSinglesDump = 2825;
constexpr size_t kPhmDump = 97;

bankcheck::Kind kindOf(const EmbeddedBank& bank)
{
    return bank.symbol == "PHm" ? bankcheck::Kind::Phm : bankcheck::Kind::K1Bank;
}

bankcheck::Report checkBytes(bankcheck::Kind kind, const std::vector<uint8_t>& bytes)
{
    return bankcheck::check(kind, bytes.data(), bytes.size());
}

// Fixes the checksum of the single block at offset after an edit.
void resum(std::vector<uint8_t>& bytes, size_t block, size_t checksumAt)
{
    bytes[block + checksumAt] = k1lib::getChecksum(bytes.data() + block, checksumAt);
}
} // namespace

TEST(FactoryBanks, EveryFileValidates)
{
    for (const EmbeddedBank& bank : embeddedBanks())
    {
        const bankcheck::Report report = checkBytes(kindOf(bank), bank.bytes);
        std::cout << bankcheck::summary(bank.symbol, report) << "\n";
        EXPECT_TRUE(report.problems.empty()) << bankcheck::summary(bank.symbol, report);
    }
}

TEST(FactoryBanks, ValidatorFindsBrokenFiles)
{
    const std::vector<uint8_t> good = embeddedBanks()[0].bytes;
    const size_t first = k1lib::sysexFrame::kDataAt;
    const size_t second = first + k1lib::kSingleBlockSize;
    using namespace k1lib::singleBlock;

    auto problemsOf = [](const std::vector<uint8_t>& bytes) { return checkBytes(bankcheck::Kind::K1Bank, bytes).problems; };
    auto mentions = [](const std::vector<std::string>& problems, const std::string& word) {
        for (const std::string& p : problems)
        {
            if (p.find(word) != std::string::npos)
                return true;
        }
        return false;
    };

    std::vector<uint8_t> bytes = good;
    bytes[first + kVolume] ^= 1;
    EXPECT_TRUE(mentions(problemsOf(bytes), "checksum"));

    bytes = good;
    bytes[first + kVolume] = 0x80;
    EXPECT_TRUE(mentions(problemsOf(bytes), "7-bit"));

    bytes = good;
    std::memcpy(&bytes[first], &bytes[second], k1lib::kNameLength);
    resum(bytes, first, kChecksum);
    EXPECT_TRUE(mentions(problemsOf(bytes), "used twice"));

    bytes = good;
    bytes[first + kVolume] = 100;
    bytes[first + kPitchBend] = 13;
    resum(bytes, first, kChecksum);
    const std::vector<std::string> ranges = problemsOf(bytes);
    EXPECT_TRUE(mentions(ranges, "volume out of range"));
    EXPECT_TRUE(mentions(ranges, "pitch bend out of range"));

    bytes = good;
    bytes[kSinglesDump + k1lib::sysexFrame::kSub2At] = 0x00; // second dump claims singles 1-32
    EXPECT_TRUE(mentions(problemsOf(bytes), "header byte 7"));

    bytes = good;
    bytes.pop_back();
    EXPECT_TRUE(mentions(problemsOf(bytes), "size 8090"));

    std::vector<uint8_t> phm = embeddedBanks()[12].bytes;
    phm[70 * kPhmDump + k1lib::sysexFrame::kSub2At] = 70; // dump 70 must be numbered 6
    EXPECT_FALSE(checkBytes(bankcheck::Kind::Phm, phm).problems.empty());
}

TEST(FactoryBanks, K1BanksParseQuietlyAndReencodeByteForByte)
{
    std::vector<EmbeddedBank> banks = embeddedBanks();
    banks.pop_back();
    ASSERT_EQ(banks.size(), 12u);
    for (const EmbeddedBank& bank : banks)
    {
        SCOPED_TRACE(bank.symbol);
        Sysex::SysexResult result;
        testing::internal::CaptureStdout();
        EXPECT_TRUE(Sysex::readBuffer(result, bank.bytes, 255));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        ASSERT_EQ(result.singles.size(), 64u);
        ASSERT_EQ(result.multis.size(), 32u);
        EXPECT_EQ(result.singleStart, 32u);
        EXPECT_EQ(result.multiStart, 0u);

        std::vector<uint8_t> again, message;
        const std::vector<k1lib::SinglePreset> lower(result.singles.begin(), result.singles.begin() + 32);
        const std::vector<k1lib::SinglePreset> upper(result.singles.begin() + 32, result.singles.end());
        ASSERT_TRUE(Sysex::writeSingles(message, lower, 0, k1lib::StorageLocation::I, 0));
        again.insert(again.end(), message.begin(), message.end());
        ASSERT_TRUE(Sysex::writeSingles(message, upper, 0, k1lib::StorageLocation::i, 32));
        again.insert(again.end(), message.begin(), message.end());
        ASSERT_TRUE(Sysex::writeMultis(message, result.multis, 0, k1lib::StorageLocation::I, 0));
        again.insert(again.end(), message.begin(), message.end());
        EXPECT_EQ(again, bank.bytes);
    }
}

TEST(FactoryBanks, PhmDataParsesInOrderAndEachDumpReconverts)
{
    const std::vector<uint8_t> phm = embeddedBanks()[12].bytes;
    Sysex::SysexResult result;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(Sysex::readBuffer(result, phm, 255));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(result.singles.size(), 200u);
    EXPECT_EQ(result.singleStart, 7u);
    EXPECT_TRUE(result.multis.empty());

    using namespace k1lib::singleBlock;
    for (size_t k = 0; k < 200; ++k)
    {
        const uint8_t* block = phm.data() + k * kPhmDump + k1lib::sysexFrame::kDataAt;
        std::vector<uint8_t> data(block + kVolume, block + kMute);
        data.insert(data.end(), block + kFine, block + kChecksum);
        std::vector<uint8_t> out;
        ASSERT_TRUE(Sysex::convertPhmPreset(out, 0, static_cast<uint8_t>(k % 64), result.singles[k].name, data.data(), data.size()));
        EXPECT_TRUE(std::equal(out.begin(), out.end(), phm.begin() + static_cast<long>(k * kPhmDump))) << "dump " << k;
        ASSERT_EQ(out.size(), kPhmDump);
    }
}
