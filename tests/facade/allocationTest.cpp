// The facade's block allocates nothing once running: events delivered in
// pieces and out of order are put in order in place, and what the host must
// hear of a block waits in storage kept from block to block. Every
// allocation of the process is counted while blocks render.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "plugin/plugin.h"
#include "tests/support/countingAllocator.h"
#include "tests/support/quietPluginListener.h"

namespace
{
struct QuietHost : k1test::QuietPluginListener
{
    k1lib::Plugin* plugin = nullptr;
    long parameterCalls = 0;
    void onChanges(const k1lib::Changes& changes) override
    {
        changes.forEachParameter([&](k1lib::EParam p, float v) {
            ++parameterCalls;
            plugin->setParameter(p, v);
        });
    }
};

k1lib::SMidiEvent shortEvent(uint8_t status, uint8_t d1, uint8_t d2, int32_t offset)
{
    k1lib::SMidiEvent e;
    e.status = status;
    e.data1 = d1;
    e.data2 = d2;
    e.sampleOffset = offset;
    return e;
}
} // namespace

TEST(FacadeRealTime, BlocksWithScrambledEventsAndHostReportsAllocateNothing)
{
    constexpr size_t kBlock = 512;
    QuietHost host;
    auto plugin = std::make_unique<k1lib::Plugin>(&host, k1lib::PluginType::Vst);
    host.plugin = plugin.get();
    plugin->setSampleRate(44100.0f);
    std::vector<float> left(kBlock), right(kBlock);
    float* outputs[2] = {left.data(), right.data()};

    long total = 0;
    for (int b = 0; b < 80; ++b)
    {
        // Later offsets first, one past the block, and a source-mix
        // controller that the host must hear after the block.
        const auto key = static_cast<uint8_t>(48 + b % 24);
        plugin->addMidiEvent(shortEvent(0x80, static_cast<uint8_t>(key - 1), 0, 600));
        plugin->addMidiEvent(shortEvent(0xB0, 16, static_cast<uint8_t>(b), 300));
        plugin->addMidiEvent(shortEvent(0x90, key, 100, 200));
        plugin->addMidiEvent(shortEvent(0x90, static_cast<uint8_t>(key + 30), 90, 5));
        plugin->addMidiEvent(shortEvent(0x80, static_cast<uint8_t>(key + 30), 0, 100));
        k1test::startAllocationCounting(b >= 4); // the first blocks size the lists
        plugin->process(outputs, 2, kBlock);
        k1test::stopAllocationCounting();
        total += k1test::countedAllocations();
    }
    EXPECT_EQ(total, 0);
    EXPECT_GE(host.parameterCalls, 70);
}
