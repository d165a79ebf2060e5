#include "gui/platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
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

CapturedProcess::~CapturedProcess()
{
    if (child > 0 && !ended)
    {
        kill(child, SIGTERM);
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR)
        {
        }
    }
    if (outFd >= 0)
        close(outFd);
}

bool CapturedProcess::start(const std::vector<std::string>& args)
{
    if (args.empty() || child > 0)
        return false;
    std::vector<char*> argv = argvOf(args); // built before fork: no allocation in the child
    int outPipe[2];
    int statusPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0)
        return false;
    if (pipe2(statusPipe, O_CLOEXEC) != 0)
    {
        close(outPipe[0]);
        close(outPipe[1]);
        return false;
    }
    const pid_t pid = fork();
    if (pid < 0)
    {
        for (int fd : {outPipe[0], outPipe[1], statusPipe[0], statusPipe[1]})
            close(fd);
        GUI_LOG("Cannot start " << args[0]);
        return false;
    }
    if (pid == 0)
    {
        dup2(outPipe[1], 1);
        redirectToNull(0);
        execvp(argv[0], argv.data());
        const int err = errno;
        (void)!write(statusPipe[1], &err, sizeof err);
        _exit(127);
    }
    close(outPipe[1]);
    close(statusPipe[1]);
    // The status pipe closes on a successful exec; an errno arrives when it failed.
    int err = 0;
    ssize_t n;
    while ((n = read(statusPipe[0], &err, sizeof err)) < 0 && errno == EINTR)
    {
    }
    close(statusPipe[0]);
    child = pid;
    outFd = outPipe[0];
    if (n == sizeof err)
    {
        waitFor(-1);
        GUI_LOG("Cannot start " << args[0] << ": errno " << err);
        return false;
    }
    return true;
}

bool CapturedProcess::waitFor(int timeoutMs)
{
    if (ended || child <= 0)
        return ended;
    // Output first: the program may not end before its output is taken.
    while (outFd >= 0)
    {
        pollfd fd{outFd, POLLIN, 0};
        const int ready = poll(&fd, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false; // nothing yet
        char buffer[4096];
        const ssize_t n = read(outFd, buffer, sizeof buffer);
        if (n > 0)
        {
            output.append(buffer, size_t(n));
            timeoutMs = 0; // take what is there, then report
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        close(outFd); // end of output: the program closed it or ended
        outFd = -1;
    }
    int wstatus = 0;
    pid_t r;
    while ((r = waitpid(child, &wstatus, timeoutMs < 0 ? 0 : WNOHANG)) < 0 && errno == EINTR)
    {
    }
    if (r == 0 && timeoutMs > 0)
    {
        // Its output is closed but it still runs: wait the step out here.
        usleep(useconds_t(timeoutMs) * 1000);
        while ((r = waitpid(child, &wstatus, WNOHANG)) < 0 && errno == EINTR)
        {
        }
    }
    if (r == 0)
        return false;
    ended = true;
    exitStatus = r > 0 && WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    return true;
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
