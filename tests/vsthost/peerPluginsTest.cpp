// Debian's peer synthesizers load through their entry points into the host
// and render the built-in phrase audibly.

#include "tools/vsthost/hostedPlugin.h"
#include "tools/vsthost/phrase.h"
#include "tools/vsthost/renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <unistd.h>

// The peers are not built with the leak checker in mind: what they leave
// allocated is theirs to answer for, not this host's.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:/usr/lib/vst/\n";
}

namespace
{
using namespace vsthost;

struct Peer
{
    const char* path;
    const char* name;
};

void PrintTo(const Peer& peer, std::ostream* os)
{
    *os << peer.name;
}

class PeerPlugins : public ::testing::TestWithParam<Peer>
{
};

TEST_P(PeerPlugins, RendersThePhraseAudibly)
{
    const Peer& peer = GetParam();
    if (access(peer.path, R_OK) != 0)
        GTEST_SKIP() << peer.path << " is not installed";
    std::unique_ptr<HostedPlugin> plugin = HostedPlugin::load(peer.path, 44100.0f, 256);
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->effectName(), peer.name);
    EXPECT_TRUE(plugin->hasFlag(effFlagsIsSynth));
    ASSERT_GE(plugin->numOutputs(), 1);

    Audio audio;
    render(*plugin, builtInPhrase(), RenderOptions{0.2, 0.0, {}, {}}, audio);
    ASSERT_EQ(audio.frames(), static_cast<size_t>(2.2 * 44100));
    double peak = 0.0;
    for (const std::vector<float>& channel : audio.channels)
        for (float s : channel)
        {
            ASSERT_TRUE(std::isfinite(s));
            peak = std::fmax(peak, std::fabs(static_cast<double>(s)));
        }
    EXPECT_GT(peak, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Debian, PeerPlugins,
                         ::testing::Values(Peer{"/usr/lib/vst/amsynth_vst.so", "amsynth"},
                                           Peer{"/usr/lib/vst/ZynAddSubFX.so", "ZynAddSubFX"},
                                           Peer{"/usr/lib/vst/Kars-vst.so", "Kars"}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             return name;
                         });

} // namespace
