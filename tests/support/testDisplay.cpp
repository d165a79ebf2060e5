#include "tests/support/testDisplay.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace k1test
{
TestDisplay::TestDisplay(int width, int height, bool own)
{
    if (const char* shared = std::getenv("DARVELLO_TEST_DISPLAY"); shared && *shared && !own)
    {
        m_name = shared;
        return;
    }
    int fds[2];
    if (pipe(fds) != 0)
    {
        m_problem = "no pipe";
        return;
    }
    const std::string fd = std::to_string(fds[1]);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    m_pid = fork();
    if (m_pid == 0)
    {
        close(fds[0]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (m_pid < 0 || number.empty())
    {
        m_problem = "Xvfb did not start (is it installed?)";
        return;
    }
    m_name = ":" + number;
}

TestDisplay::~TestDisplay()
{
    if (m_pid > 0)
    {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}
} // namespace k1test
