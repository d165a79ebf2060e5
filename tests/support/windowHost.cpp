#include "tests/support/windowHost.h"

#include <sys/wait.h>

#include <cstdio>
#include <sstream>

namespace k1test
{
std::vector<std::string> HostRun::lines(const std::string& prefix) const
{
    std::vector<std::string> found;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

HostRun runHost(const std::string& display, const std::string& args)
{
    HostRun run;
    const std::string command =
        "DISPLAY=" + display + " " + VSTHOST_PATH + " " + DARVELLO_PATH + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
} // namespace k1test
