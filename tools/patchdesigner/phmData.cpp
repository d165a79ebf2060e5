#include "tools/patchdesigner/phmData.h"

#include "patch/blockLayout.h"

namespace designer
{
std::vector<uint8_t> toPhmData(const k1lib::SinglePreset& single)
{
    using namespace k1lib::singleBlock;
    uint8_t block[k1lib::kSingleBlockSize] = {};
    k1lib::writeSingle(block, single);
    std::vector<uint8_t> phm;
    phm.reserve((kMute - kVolume) + (kChecksum - kFine));
    for (size_t i = kVolume; i < kMute; ++i)
        phm.push_back(block[i]);
    for (size_t i = kFine; i < kChecksum; ++i)
        phm.push_back(block[i]);
    return phm;
}
} // namespace designer
