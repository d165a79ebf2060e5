#include "gui/platform/x11frame.h"

#include "gui/guilog.h"

namespace VSTGUI
{
IPlatformFrame* createX11Frame(IPlatformFrameCallback*, const CRect&, void*)
{
    GUI_LOG("No X11 window support yet");
    return nullptr;
}
} // namespace VSTGUI
