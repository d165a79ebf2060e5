#include "gui/platform/x11keys.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace VSTGUI
{
namespace
{
unsigned char virtualKey(KeySym sym)
{
    switch (sym)
    {
    case XK_BackSpace: return VKEY_BACK;
    case XK_Tab: case XK_ISO_Left_Tab: return VKEY_TAB;
    case XK_Clear: return VKEY_CLEAR;
    case XK_Return: return VKEY_RETURN;
    case XK_Pause: return VKEY_PAUSE;
    case XK_Escape: return VKEY_ESCAPE;
    case XK_space: return VKEY_SPACE;
    case XK_End: case XK_KP_End: return VKEY_END;
    case XK_Home: case XK_KP_Home: return VKEY_HOME;
    case XK_Left: case XK_KP_Left: return VKEY_LEFT;
    case XK_Up: case XK_KP_Up: return VKEY_UP;
    case XK_Right: case XK_KP_Right: return VKEY_RIGHT;
    case XK_Down: case XK_KP_Down: return VKEY_DOWN;
    case XK_Page_Up: case XK_KP_Page_Up: return VKEY_PAGEUP;
    case XK_Page_Down: case XK_KP_Page_Down: return VKEY_PAGEDOWN;
    case XK_Select: return VKEY_SELECT;
    case XK_Print: return VKEY_PRINT;
    case XK_KP_Enter: return VKEY_ENTER;
    case XK_Insert: case XK_KP_Insert: return VKEY_INSERT;
    case XK_Delete: case XK_KP_Delete: return VKEY_DELETE;
    case XK_Help: return VKEY_HELP;
    case XK_Num_Lock: return VKEY_NUMLOCK;
    case XK_Scroll_Lock: return VKEY_SCROLL;
    case XK_Shift_L: case XK_Shift_R: return VKEY_SHIFT;
    case XK_Control_L: case XK_Control_R: return VKEY_CONTROL;
    case XK_Alt_L: case XK_Alt_R: return VKEY_ALT;
    default: break;
    }
    if (sym >= XK_F1 && sym <= XK_F12)
        return static_cast<unsigned char>(VKEY_F1 + (sym - XK_F1));
    return 0;
}

int32_t unicodeOf(KeySym sym)
{
    if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF))
        return int32_t(sym); // Latin-1 keysyms are their code points
    if ((sym & 0xFF000000) == 0x01000000)
        return int32_t(sym & 0x00FFFFFF);
    if (sym >= XK_KP_0 && sym <= XK_KP_9)
        return int32_t('0' + (sym - XK_KP_0));
    return 0;
}
} // namespace

bool translateKeyEvent(XKeyEvent& event, VstKeyCode& key)
{
    char text[16];
    KeySym sym = NoSymbol;
    XLookupString(&event, text, sizeof text, &sym, nullptr);
    key = VstKeyCode();
    if (event.state & ShiftMask)
        key.modifier |= MODIFIER_SHIFT;
    if (event.state & ControlMask)
        key.modifier |= MODIFIER_CONTROL;
    if (event.state & Mod1Mask)
        key.modifier |= MODIFIER_ALTERNATE;
    if (event.state & Mod4Mask)
        key.modifier |= MODIFIER_COMMAND;
    key.virt = virtualKey(sym);
    if (key.virt == VKEY_SPACE)
        key.character = ' ';
    else if (!key.virt)
        key.character = unicodeOf(sym);
    return key.virt != 0 || key.character != 0;
}
} // namespace VSTGUI
