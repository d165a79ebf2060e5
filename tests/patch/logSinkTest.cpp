// The log sink as a host meets it: standard output a closed pipe, or a pipe
// nobody reads. Each case runs in a child process of its own, whose standard
// output is that pipe.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

#include "patch/log.h"

namespace
{
// Runs body in a child whose standard output is the write end of a fresh
// pipe (its read end closed first when closeReader). Returns the child's wait
// status, or -1 when it had not ended after a minute (then it is killed).
int runWithStdoutPipe(bool closeReader, const std::function<int()>& body)
{
    std::fflush(stdout); // nothing of ours may wait in the child's copy
    int ends[2];
    if (pipe(ends) != 0)
        return -2;
    const pid_t child = fork();
    if (child == 0)
    {
        signal(SIGPIPE, SIG_DFL); // a host that does not ignore it
        if (closeReader)
            close(ends[0]);
        dup2(ends[1], STDOUT_FILENO);
        const int code = body();
        std::fflush(stdout);
        _exit(code);
    }
    close(ends[1]);
    if (closeReader)
        close(ends[0]); // nobody reads: the pipe is broken
    int status = -1;
    for (int waited = 0; waited < 600; ++waited)
    {
        if (waitpid(child, &status, WNOHANG) == child)
        {
            if (!closeReader)
                close(ends[0]);
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    if (!closeReader)
        close(ends[0]);
    return -1;
}

void logSome(int lines)
{
    for (int i = 0; i < lines; ++i)
        K1_LOG("Line " << i << " of a host that reads nothing, " << 0.5f << " " << static_cast<const void*>(nullptr));
}
} // namespace

TEST(LogSink, AClosedStandardOutputNeverKillsTheHost)
{
    const int status = runWithStdoutPipe(true, [] {
        logSome(3);
        k1log::WriterHold writer;
        {
            const k1log::AudioThreadScope audio;
            logSome(3);
        }
        k1log::flush();
        logSome(3);
        return 0;
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "status " << status << (WIFSIGNALED(status) ? ", killed by signal " : "")
        << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

TEST(LogSink, AFullPipeNeverHoldsUpTheAudioThreadNorTheHost)
{
    const int status = runWithStdoutPipe(false, [] {
        // Fill the pipe, then let writes wait again as they would.
        const int flags = fcntl(STDOUT_FILENO, F_GETFL);
        fcntl(STDOUT_FILENO, F_SETFL, flags | O_NONBLOCK);
        char bytes[4096] = {};
        while (write(STDOUT_FILENO, bytes, sizeof bytes) > 0)
        {
        }
        fcntl(STDOUT_FILENO, F_SETFL, flags);

        k1log::acquireWriter();
        std::thread audio([] {
            const k1log::AudioThreadScope scope;
            logSome(5000);
        });
        audio.join();
        logSome(50); // the host's own thread: queued as well
        const uint64_t dropped = k1log::droppedLines();
        k1log::releaseWriter();
        // The queue filled up: what did not fit is counted.
        return dropped > 0 ? 0 : 3;
    });
    ASSERT_NE(status, -1) << "logging waited for a pipe nobody reads";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

TEST(LogSink, LinesOfAnAudioThreadArePrintedInOrderWithTheirText)
{
    testing::internal::CaptureStdout();
    {
        const k1log::AudioThreadScope audio;
        K1_LOG("first " << 1u << ' ' << -2 << ' ' << 2.5 << ' ' << true);
        K1_LOG("second");
    }
    K1_LOG("third, from elsewhere");
    k1log::flush();
    const std::string out = testing::internal::GetCapturedStdout();
    const size_t first = out.find(": first 1 -2 2.5 1\n");
    const size_t second = out.find(": second\n");
    const size_t third = out.find(": third, from elsewhere\n");
    ASSERT_NE(first, std::string::npos) << out;
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
}
