// The render tool at a host rate: the demo comes out at that rate, as long
// and as loud as at the engine's own rate; rates out of range are refused.

#include <gtest/gtest.h>

#include <cmath>

#include "tools/render/renderer.h"

namespace
{
double rmsOf(const std::vector<float>& x)
{
    double sum = 0.0;
    for (float v : x)
        sum += static_cast<double>(v) * v;
    return x.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(x.size()));
}
} // namespace

TEST(RenderRate, TheDemoRendersAtTheHostRateThroughTheResampler)
{
    k1render::RenderOptions options;
    k1render::RenderResult own;
    ASSERT_TRUE(k1render::render(options, own));
    options.sampleRate = 44100.0;
    k1render::RenderResult host;
    ASSERT_TRUE(k1render::render(options, host));
    EXPECT_EQ(host.sampleRate, 44100);
    EXPECT_NEAR(host.seconds(), own.seconds(), 0.001);
    EXPECT_NEAR(rmsOf(host.left), rmsOf(own.left), 0.05 * rmsOf(own.left));

    options.sampleRate = 1000.0;
    EXPECT_FALSE(k1render::render(options, host));
}
