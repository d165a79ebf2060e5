#pragma once

// Starting helper programs without a shell: arguments go to execvp as they
// are, so no text from a document or a user is ever interpreted.

#include <string>
#include <vector>

namespace VSTGUI
{
// Starts the program detached (it outlives us, we never wait for it); false
// when it could not be started.
bool spawnDetached(const std::vector<std::string>& args);
// Runs the program to its end with standard output captured; true when it
// exited with status 0.
bool runAndCapture(const std::vector<std::string>& args, std::string& out);
// Whether an executable of that name is on PATH.
bool findInPath(const std::string& program);
} // namespace VSTGUI
