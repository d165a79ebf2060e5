#pragma once

// The program's one diagnostic channel: every rejected input, repaired value
// or failed operation becomes one line on standard output, in the form
// "<function>@<line>: <message>". No levels, no timestamps, no switch.

#include <sstream>
#include <string>

// Writes the line and a newline with one puts() call; safe from any thread as
// far as stdio writes a line in one piece. Never throws.
void g_logUnix(const std::string& line);

// K1_LOG("Invalid channel number " << ch << ", expected 0-15");
// Prefixes the enclosing function's unqualified name and the source line.
#define K1_LOG(streamExpression)                                      \
    do                                                                \
    {                                                                 \
        std::ostringstream k1LogStream_;                              \
        k1LogStream_ << __func__ << '@' << __LINE__ << ": " << streamExpression; \
        g_logUnix(k1LogStream_.str());                                \
    } while (0)
