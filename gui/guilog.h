#pragma once

// The toolkit's own diagnostic line: "<function>@<line>: <message>" on
// standard output through one puts() call. The toolkit depends on nothing of
// the project, so it carries this small twin of the program's log sink.

#include <sstream>
#include <string>

namespace VSTGUI
{
void guiLogLine(const std::string& line);
}

#define GUI_LOG(streamExpression)                                             \
    do                                                                        \
    {                                                                         \
        std::ostringstream guiLogStream_;                                     \
        guiLogStream_ << __func__ << '@' << __LINE__ << ": " << streamExpression; \
        ::VSTGUI::guiLogLine(guiLogStream_.str());                            \
    } while (0)
