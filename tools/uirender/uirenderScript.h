#pragma once

// The input script of uirender: one command a line (or one per --do), with
// positions in window pixels:
//   click X Y [right]   down X Y   move X Y   up X Y   wheel X Y DISTANCE
//   type TEXT           key NAME (return, escape, backspace, delete, tab,
//                       left, right, up, down, home, end, space)
//   idle MS             (advance the clock by MS and run the frame's idle)
//   png PATH            (write the picture as it is now)
// Message boxes opened by a command are answered with their last button.

#include <string>

#include "gui/cframe.h"
#include "gui/platform/headless.h"

namespace uirender
{
// Runs one command; false (and a message on stderr) when it is not understood.
bool runCommand(const std::string& line, VSTGUI::CFrame* frame, VSTGUI::HeadlessFrame* window,
                VSTGUI::HeadlessPlatformFactory& factory);
} // namespace uirender
