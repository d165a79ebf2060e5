// The compiled-in wave ROM is what the generator writes, byte for byte, every time.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/k1data.h"

TEST(WaveRom, GeneratorGivesTheSameBytesAgain)
{
    const std::string file = (std::filesystem::temp_directory_path() / "waverom_regenerated.wav").string();
    const std::string command = std::string(WAVEGEN_PATH) + " " + file;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(file, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(file);

    ASSERT_EQ(bytes.size(), k1data::getDataSize_waverom());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), k1data::getData_waverom()));
}
