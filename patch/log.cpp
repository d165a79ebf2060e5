// The log sink: the fixed line, the lock-free queue of lines logged on audio
// threads, the writer thread that prints them, and writing to standard output
// without SIGPIPE.

#include "patch/log.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <semaphore>
#include <thread>

namespace k1log
{
namespace
{
// ---- The queue ---------------------------------------------------------------
// A bounded multi-producer queue of fixed slots (after D. Vyukov): a slot's
// turn tells whether it waits for a writer or a reader at a position. It is
// stored as turn - slot index, so that the all-zero static storage is a valid
// empty queue before any constructor runs (static initialisers log too).
constexpr size_t kSlots = 1024;
constexpr size_t kMask = kSlots - 1;

struct Slot
{
    std::atomic<size_t> turn; // position that may use the slot next, minus the slot's index
    uint32_t size;
    char text[Line::kCapacity];
};

Slot g_slots[kSlots];
std::atomic<size_t> g_pushAt{0};
std::atomic<size_t> g_popAt{0};
std::atomic<uint64_t> g_dropped{0};  // ever dropped
uint64_t g_droppedReported = 0;      // of those, already reported (print lock held)

size_t turnOf(size_t i) { return g_slots[i].turn.load(std::memory_order_acquire) + i; }

bool push(std::string_view line)
{
    size_t at = g_pushAt.load(std::memory_order_relaxed);
    for (;;)
    {
        const size_t i = at & kMask;
        const auto lag = static_cast<std::ptrdiff_t>(turnOf(i) - at);
        if (lag == 0)
        {
            if (g_pushAt.compare_exchange_weak(at, at + 1, std::memory_order_relaxed))
                break;
        }
        else if (lag < 0)
        {
            return false; // full
        }
        else
        {
            at = g_pushAt.load(std::memory_order_relaxed);
        }
    }
    Slot& slot = g_slots[at & kMask];
    const size_t n = std::min(line.size(), Line::kCapacity);
    std::memcpy(slot.text, line.data(), n);
    slot.size = static_cast<uint32_t>(n);
    slot.turn.store(at + 1 - (at & kMask), std::memory_order_release);
    return true;
}

// Copies the oldest line into text; false when the queue is empty.
bool pop(char* text, size_t& size)
{
    size_t at = g_popAt.load(std::memory_order_relaxed);
    for (;;)
    {
        const size_t i = at & kMask;
        const auto lag = static_cast<std::ptrdiff_t>(turnOf(i) - (at + 1));
        if (lag == 0)
        {
            if (g_popAt.compare_exchange_weak(at, at + 1, std::memory_order_relaxed))
                break;
        }
        else if (lag < 0)
        {
            return false; // empty
        }
        else
        {
            at = g_popAt.load(std::memory_order_relaxed);
        }
    }
    Slot& slot = g_slots[at & kMask];
    size = slot.size;
    std::memcpy(text, slot.text, size);
    slot.turn.store(at + kSlots - (at & kMask), std::memory_order_release);
    return true;
}

bool queueEmpty()
{
    return g_popAt.load(std::memory_order_acquire) == g_pushAt.load(std::memory_order_acquire);
}

// ---- Writing ---------------------------------------------------------------
// One writev of the line and its newline (a pipe keeps lines up to 4 KB in
// one piece), then the rest should the writer take less. SIGPIPE is blocked
// around it, and one raised here is taken back, so a closed pipe costs the
// line and nothing else; a SIGPIPE already pending for the thread stays.
void writeOut(const char* text, size_t size, bool flushStdio)
{
    sigset_t pipeSignal, previous, pending;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    sigemptyset(&pending);
    sigpending(&pending);
    const bool wasPending = sigismember(&pending, SIGPIPE) == 1;

    // Whatever the program printed through stdio before comes first.
    if (flushStdio)
        std::fflush(stdout);
    char newline = '\n';
    iovec parts[2] = {{const_cast<char*>(text), size}, {&newline, 1}};
    iovec* part = parts;
    int count = 2;
    bool broken = false;
    while (count > 0)
    {
        const ssize_t n = writev(STDOUT_FILENO, part, count);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            broken = errno == EPIPE;
            break;
        }
        auto left = static_cast<size_t>(n);
        while (count > 0 && left >= part->iov_len)
        {
            left -= part->iov_len;
            ++part;
            --count;
        }
        if (count > 0)
        {
            part->iov_base = static_cast<char*>(part->iov_base) + left;
            part->iov_len -= left;
        }
    }
    if (!wasPending && (broken || std::ferror(stdout)))
    {
        const timespec now{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

// Whether standard output takes a line without waiting (a file always does).
bool stdoutReady(int waitMilliseconds)
{
    pollfd out{STDOUT_FILENO, POLLOUT, 0};
    int n;
    do
        n = poll(&out, 1, waitMilliseconds);
    while (n < 0 && errno == EINTR);
    return n != 0;
}

// Guards standard output between the threads that print (never an audio
// thread) and the report of dropped lines.
std::mutex g_printLock;

std::atomic<bool> g_writerRunning{false};
std::counting_semaphore<> g_wake{0};

thread_local int t_audioDepth __attribute__((tls_model("initial-exec"))) = 0;

std::atomic<bool> g_wakePending{false};

// Lets the writer know there is work; at most one wake-up waits at a time.
void wakeWriter()
{
    if (!g_wakePending.exchange(true, std::memory_order_acq_rel))
        g_wake.release();
}

void queueLine(std::string_view line)
{
    if (push(line))
        wakeWriter();
    else
        g_dropped.fetch_add(1, std::memory_order_relaxed);
}

enum class Wait
{
    Always,       // print everything, waiting for standard output as long as it takes
    WhileRunning, // the writer: wait for a full pipe unless told to stop
    Never,        // print what standard output takes now, leave the rest queued
};

// Print lock held. Prints the queued lines, then the count of lines dropped
// since the last report.
void drainLocked(Wait wait, const std::atomic<bool>* stop = nullptr)
{
    static char text[Line::kCapacity];
    size_t size = 0;
    for (;;)
    {
        if (queueEmpty())
            break;
        if (wait == Wait::Never && !stdoutReady(0))
            return;
        if (wait == Wait::WhileRunning)
        {
            while (!stdoutReady(100))
                if (stop->load())
                    return;
        }
        if (!pop(text, size))
            break;
        writeOut(text, size, true);
    }
    const uint64_t dropped = g_dropped.load(std::memory_order_relaxed);
    if (dropped != g_droppedReported && (wait != Wait::Never || stdoutReady(0)))
    {
        Line line;
        line << __func__ << '@' << __LINE__ << ": " << dropped - g_droppedReported
             << " log lines dropped, the log queue was full";
        g_droppedReported = dropped;
        writeOut(line.view().data(), line.view().size(), true);
    }
}

struct Writer
{
    std::mutex lock; // guards users and thread
    int users = 0;
    std::thread thread;
    std::atomic<bool> stop{false};

    void run()
    {
        // This thread never takes SIGPIPE.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        while (!stop.load())
        {
            (void)g_wake.try_acquire_for(std::chrono::milliseconds(200));
            g_wakePending.store(false, std::memory_order_release);
            std::lock_guard<std::mutex> print(g_printLock);
            drainLocked(Wait::WhileRunning, &stop);
        }
    }

    // What is left at exit is printed (a library unloaded with lines queued).
    ~Writer()
    {
        if (thread.joinable())
        {
            stop = true;
            g_wake.release();
            thread.join();
        }
        std::lock_guard<std::mutex> print(g_printLock);
        drainLocked(Wait::Never);
    }
};

Writer& writer()
{
    static Writer w;
    return w;
}
} // namespace

// ---- Lines -----------------------------------------------------------------

Line& Line::operator<<(std::string_view text)
{
    const size_t room = kCapacity - 1 - m_size;
    const size_t n = text.size() < room ? text.size() : room;
    std::memcpy(m_text + m_size, text.data(), n);
    m_size += n;
    m_text[m_size] = '\0';
    return *this;
}

Line& Line::operator<<(double value)
{
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 6);
    return *this << std::string_view(digits, static_cast<size_t>(result.ptr - digits));
}

Line& Line::operator<<(const void* pointer)
{
    if (pointer == nullptr)
        return *this << '0';
    char digits[24] = {'0', 'x'};
    const auto result =
        std::to_chars(digits + 2, digits + sizeof digits, reinterpret_cast<uintptr_t>(pointer), 16);
    return *this << std::string_view(digits, static_cast<size_t>(result.ptr - digits));
}

// ---- Sink --------------------------------------------------------------------

void write(std::string_view line)
{
    if (t_audioDepth > 0)
    {
        queueLine(line);
        return;
    }
    if (!g_writerRunning.load(std::memory_order_acquire))
    {
        std::lock_guard<std::mutex> print(g_printLock);
        drainLocked(Wait::Always);
        writeOut(line.data(), line.size(), true);
        return;
    }
    // A plug-in's host: never wait for standard output (a caller may hold
    // the engine lock the audio thread needs). When it is full, or the
    // writer is at it, the writer takes this line as well.
    std::unique_lock<std::mutex> print(g_printLock, std::try_to_lock);
    if (print.owns_lock())
        drainLocked(Wait::Never);
    if (print.owns_lock() && queueEmpty() && stdoutReady(0))
        writeOut(line.data(), line.size(), true);
    else
        queueLine(line);
}

AudioThreadScope::AudioThreadScope() { ++t_audioDepth; }
AudioThreadScope::~AudioThreadScope() { --t_audioDepth; }
bool onAudioThread() { return t_audioDepth > 0; }

void acquireWriter()
{
    Writer& w = writer();
    std::lock_guard<std::mutex> lock(w.lock);
    if (w.users++ > 0)
        return;
    w.stop = false;
    w.thread = std::thread([&w] { w.run(); });
    g_writerRunning.store(true, std::memory_order_release);
}

void releaseWriter()
{
    Writer& w = writer();
    std::lock_guard<std::mutex> lock(w.lock);
    if (w.users == 0 || --w.users > 0)
        return;
    g_writerRunning.store(false, std::memory_order_release);
    w.stop = true;
    g_wake.release();
    w.thread.join();
    std::lock_guard<std::mutex> print(g_printLock);
    drainLocked(Wait::Never);
}

void flush()
{
    std::lock_guard<std::mutex> print(g_printLock);
    drainLocked(Wait::Always);
}

void printQueued()
{
    std::unique_lock<std::mutex> print(g_printLock, std::try_to_lock);
    if (print.owns_lock())
        drainLocked(Wait::Never);
}

uint64_t droppedLines() { return g_dropped.load(std::memory_order_relaxed); }
} // namespace k1log

void g_logUnix(const std::string& line) { k1log::write(line); }
