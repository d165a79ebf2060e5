#pragma once

// X11 key events as the toolkit's key codes: special keys become VKEY_*
// values, text keys their Unicode character, modifiers MODIFIER_* flags.

#include <X11/Xlib.h>

#include "gui/vstkeycode.h"

namespace VSTGUI
{
// False for keys the toolkit has no use for (dead keys, unknown symbols).
bool translateKeyEvent(XKeyEvent& event, VstKeyCode& key);
} // namespace VSTGUI
