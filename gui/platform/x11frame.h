#pragma once

// The X11 window of a frame: a child window inside the host's parent window
// (given as the X window id), drawn with cairo, its events read from our own
// display connection whenever the frame idles.

#include "gui/platform/iplatformframe.h"

namespace VSTGUI
{
// Null (with a log line) when the display cannot be opened or parent is null.
IPlatformFrame* createX11Frame(IPlatformFrameCallback* callback, const CRect& size, void* parent);
} // namespace VSTGUI
