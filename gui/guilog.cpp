#include "gui/guilog.h"

#include <cstdio>

namespace VSTGUI
{
void guiLogLine(const std::string& line)
{
    std::puts(line.c_str());
}
} // namespace VSTGUI
