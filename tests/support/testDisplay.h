#pragma once

// An X server for tests that show windows and inject input through it. The
// test command starts one for the tests that move the pointer (they take
// turns on it) and names it in DARVELLO_TEST_DISPLAY; without that, or when
// asked, an Xvfb of this process's own is started (on a display number it
// picks itself) and stopped again. Never the developer's own $DISPLAY: the
// tests move the pointer and type.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>

namespace k1test
{
class TestDisplay
{
public:
    // A screen of width x height in 24-bit colour when one is started here;
    // own: always a server of this process's own.
    explicit TestDisplay(int width = 2560, int height = 1440, bool own = false);
    ~TestDisplay();
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;

    // ":N", or empty when there is no server (no Xvfb installed).
    const std::string& name() const { return m_name; }
    // Why there is none.
    const std::string& problem() const { return m_problem; }

private:
    std::string m_name;
    std::string m_problem;
    pid_t m_pid = -1;
};

// The fixture of a test that needs the display: skipped, with the reason,
// where there is none.
class DisplayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (display.name().empty())
            GTEST_SKIP() << display.problem();
    }
    TestDisplay display;
};
} // namespace k1test
