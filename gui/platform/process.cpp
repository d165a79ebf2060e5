#include "gui/platform/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "gui/guilog.h"

namespace VSTGUI
{
namespace
{
std::vector<char*> argvOf(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

void redirectToNull(int fd)
{
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0)
    {
        dup2(null, fd);
        close(null);
    }
}
} // namespace

bool spawnDetached(const std::vector<std::string>& args)
{
    if (args.empty())
        return false;
    std::vector<char*> argv = argvOf(args); // built before fork: no allocation in the child
    int status_pipe[2];
    if (pipe2(status_pipe, O_CLOEXEC) != 0)
        return false;
    const pid_t child = fork();
    if (child < 0)
    {
        close(status_pipe[0]);
        close(status_pipe[1]);
        GUI_LOG("Cannot start " << args[0]);
        return false;
    }
    if (child == 0)
    {
        // The grandchild runs the program; the child exits at once so that
        // nobody has to wait for the program.
        if (fork() != 0)
            _exit(0);
        setsid();
        redirectToNull(0);
        redirectToNull(1);
        redirectToNull(2);
        execvp(argv[0], argv.data());
        const int err = errno;
        (void)!write(status_pipe[1], &err, sizeof err);
        _exit(127);
    }
    close(status_pipe[1]);
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    // The pipe closes on a successful exec; an errno arrives when it failed.
    int err = 0;
    const ssize_t n = read(status_pipe[0], &err, sizeof err);
    close(status_pipe[0]);
    if (n == sizeof err)
    {
        GUI_LOG("Cannot start " << args[0] << ": errno " << err);
        return false;
    }
    return true;
}

bool runAndCapture(const std::vector<std::string>& args, std::string& out)
{
    if (args.empty())
        return false;
    std::vector<char*> argv = argvOf(args);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    const pid_t child = fork();
    if (child < 0)
    {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (child == 0)
    {
        dup2(fds[1], 1);
        redirectToNull(0);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    out.clear();
    char buffer[4096];
    for (;;)
    {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0)
            out.append(buffer, size_t(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(fds[0]);
    int wstatus = 0;
    while (waitpid(child, &wstatus, 0) < 0 && errno == EINTR)
    {
    }
    return WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0;
}

bool findInPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    if (!path)
        return false;
    std::string p = path;
    size_t start = 0;
    while (start <= p.size())
    {
        const size_t end = p.find(':', start);
        const std::string dir = p.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0)
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}
} // namespace VSTGUI
