#pragma once

// Starting helper programs without a shell: arguments go to execvp as they
// are, so no text from a document or a user is ever interpreted.

#include <sys/types.h>

#include <string>
#include <vector>

namespace VSTGUI
{
// Starts the program detached (it outlives us, we never wait for it); false
// when it could not be started.
bool spawnDetached(const std::vector<std::string>& args);
// Whether an executable of that name is on PATH.
bool findInPath(const std::string& program);

// A program whose standard output is collected while the caller waits for it
// in short steps, so that a window can be served between the steps (a file
// dialog runs as long as the user takes).
class CapturedProcess
{
public:
    CapturedProcess() = default;
    // A program still running then is stopped (SIGTERM) and reaped.
    ~CapturedProcess();
    CapturedProcess(const CapturedProcess&) = delete;
    CapturedProcess& operator=(const CapturedProcess&) = delete;

    // False when the program could not be started (not found, not executable).
    bool start(const std::vector<std::string>& args);
    // Waits at most timeoutMs (a negative value: until the end) for output
    // or the end of the program; true once it has ended and all its output
    // is read.
    bool waitFor(int timeoutMs);
    bool hasEnded() const { return ended; }
    // The exit status, or -1 when it ended by a signal.
    int getExitStatus() const { return exitStatus; }
    const std::string& getOutput() const { return output; }

private:
    pid_t child = -1;
    int outFd = -1;
    bool ended = false;
    int exitStatus = -1;
    std::string output;
};
} // namespace VSTGUI
