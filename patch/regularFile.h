#pragma once

// Opening a file chosen by a user for reading. A named pipe would make
// fopen wait for a writer (for good, when none comes) and a device may hold
// anything: the file is opened without waiting and read only when it is a
// regular file.

#include <cstdint>
#include <cstdio>
#include <string>

namespace k1lib
{
enum class FileRefusal
{
    None,
    CannotOpen,  // not there, or not readable
    NotRegular,  // a directory, a pipe, a device ...
};

// The open file, or null with the reason in refusal (the caller logs it).
// size, when given, receives the file's size in bytes.
std::FILE* openRegularFile(const std::string& path, FileRefusal& refusal, std::uintmax_t* size = nullptr);
} // namespace k1lib
