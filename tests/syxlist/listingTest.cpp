// syxlist on a bank an import keeps only in part: what it lists is what the
// import keeps, and it says where the dump stopped.

#include <gtest/gtest.h>

#include "engine/engine.h"
#include "patch/sysex.h"
#include "tools/syxlist/listing.h"

TEST(SyxList, ADamagedBankListsWhatAnImportKeepsAndWhereItStopped)
{
    k1lib::initFactoryData();
    std::vector<k1lib::SinglePreset> page(k1lib::factorySingles.begin(), k1lib::factorySingles.begin() + 32);
    std::vector<uint8_t> bank;
    ASSERT_TRUE(k1lib::Sysex::writeSingles(bank, page, 0, k1lib::StorageLocation::I, 0));
    bank[8 + 9 * 88 + 30] ^= 0x01; // the tenth block's checksum fails

    // What an import keeps: the nine blocks before it.
    k1lib::Sysex::SysexResult imported;
    k1lib::Sysex::readBuffer(imported, bank, 255);
    ASSERT_EQ(imported.singles.size(), 9u);

    std::string listing;
    EXPECT_EQ(syxlist::listDumps(bank, listing), 9u);
    for (size_t k = 0; k < 9; ++k)
        EXPECT_NE(listing.find(syxlist::singleLine(std::to_string(k), imported.singles[k])), std::string::npos) << k;
    EXPECT_NE(listing.find("dump at byte 0 stopped at single 9, block 10 of 32: it does not read; 9 kept before it\n"),
              std::string::npos)
        << listing;
}
