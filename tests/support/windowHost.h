#pragma once

// vsthost with Darvello.so on a test display, as the window tests run it:
// the test target defines VSTHOST_PATH and DARVELLO_PATH.

#include <string>
#include <vector>

namespace k1test
{
struct HostRun
{
    int status = -1;     // the exit status; -1 when it did not exit
    std::string out;     // standard output and error together

    // The lines that start with prefix, in order.
    std::vector<std::string> lines(const std::string& prefix) const;
};

// Runs "vsthost Darvello.so <args>" with DISPLAY set to display.
HostRun runHost(const std::string& display, const std::string& args);
} // namespace k1test
