#pragma once

// The program's one diagnostic channel: every rejected input, repaired value
// or failed operation becomes one line on standard output, in the form
// "<function>@<line>: <message>". No levels, no timestamps, no switch.
//
// A line is built in fixed storage (k1log::Line, up to 1023 characters; a
// longer one is cut): building it never allocates. Where it goes depends on
// the thread:
// - on an audio thread (one inside a k1log::AudioThreadScope) the line goes
//   into a fixed lock-free queue and the call returns at once; the writer
//   thread (running while any plug-in instance lives) or the next line
//   logged elsewhere prints it. When the queue is full the line is dropped,
//   and the number dropped is printed later as a line of its own.
// - on any other thread it is printed at once, after whatever waits in the
//   queue; while the writer runs and standard output cannot take it right
//   now (a full pipe), it is queued like an audio thread's line instead.
// Every write is one write() of the line and its newline, with SIGPIPE held
// back: a closed standard output loses the lines, never the process.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace k1log
{
class Line
{
public:
    static constexpr size_t kCapacity = 1024; // with room for the terminating zero

    Line& operator<<(std::string_view text);
    Line& operator<<(const char* text) { return *this << std::string_view(text ? text : "(null)"); }
    Line& operator<<(const std::string& text) { return *this << std::string_view(text); }
    // Characters as characters, as a stream shows them.
    Line& operator<<(char c) { return *this << std::string_view(&c, 1); }
    Line& operator<<(signed char c) { return *this << static_cast<char>(c); }
    Line& operator<<(unsigned char c) { return *this << static_cast<char>(c); }
    Line& operator<<(bool b) { return *this << (b ? '1' : '0'); }
    template <typename T>
        requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> &&
                 !std::is_same_v<T, signed char> && !std::is_same_v<T, unsigned char>)
    Line& operator<<(T value)
    {
        char digits[24];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        return *this << std::string_view(digits, static_cast<size_t>(result.ptr - digits));
    }
    template <typename T>
        requires std::is_enum_v<T>
    Line& operator<<(T value)
    {
        return *this << +static_cast<std::underlying_type_t<T>>(value);
    }
    // Six significant digits, as a stream shows them by default.
    Line& operator<<(double value);
    Line& operator<<(float value) { return *this << static_cast<double>(value); }
    Line& operator<<(const void* pointer);

    std::string_view view() const { return {m_text, m_size}; }

private:
    char m_text[kCapacity];
    size_t m_size = 0;
};

// Hands one line (without newline) to standard output, as described above.
void write(std::string_view line);

// Marks the calling thread as an audio thread while it lives (nestable).
class AudioThreadScope
{
public:
    AudioThreadScope();
    ~AudioThreadScope();
    AudioThreadScope(const AudioThreadScope&) = delete;
    AudioThreadScope& operator=(const AudioThreadScope&) = delete;
};
bool onAudioThread();

// The writer thread prints queued lines while at least one holder wants it:
// each plug-in instance holds it from construction to destruction. The last
// release stops the thread and prints what is left. Not for audio threads.
void acquireWriter();
void releaseWriter();

// Holds the writer thread for as long as it lives.
class WriterHold
{
public:
    WriterHold() { acquireWriter(); }
    ~WriterHold() { releaseWriter(); }
    WriterHold(const WriterHold&) = delete;
    WriterHold& operator=(const WriterHold&) = delete;
};

// Prints every queued line (and the count of dropped ones) now, on the
// calling thread. Not for audio threads.
void flush();
// The same for as much as standard output takes without waiting.
void printQueued();
// Lines dropped because the queue was full, since the process started.
uint64_t droppedLines();
} // namespace k1log

// Writes the line through k1log::write. Never throws.
void g_logUnix(const std::string& line);

// K1_LOG("Invalid channel number " << ch << ", expected 0-15");
// Prefixes the enclosing function's unqualified name and the source line.
#define K1_LOG(streamExpression)                                                   \
    do                                                                             \
    {                                                                              \
        ::k1log::Line k1LogLine_;                                                  \
        k1LogLine_ << __func__ << '@' << __LINE__ << ": " << streamExpression;     \
        ::k1log::write(k1LogLine_.view());                                         \
    } while (0)
