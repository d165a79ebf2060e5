#pragma once

// The frame's tooltip: after the pointer has rested for the frame's delay
// over a view with tooltip text, the text is shown in a small box below the
// pointer (window pixels) until the pointer moves or anything is pressed.
// After a press, a key, a page switch or the pointer leaving the window, a
// tip shows again only once the pointer has moved and rested anew.

#include <cstdint>
#include <string>

#include "gui/cdrawcontext.h"

namespace VSTGUI
{
class Tooltip
{
public:
    // The pointer moved to where (window pixels) at time now (ms).
    void pointerMoved(const CPoint& where, uint64_t now)
    {
        position = where;
        restingSince = now;
        held = false;
    }
    // Hides the tip and keeps it hidden until the pointer moves again;
    // returns the area to redraw.
    CRect dismiss()
    {
        held = true;
        return hide();
    }
    // Whether the tip should appear now for a view with this text.
    bool due(const std::string& text, uint64_t now, uint32_t delay) const
    {
        return !shown && !held && !text.empty() && now >= restingSince + delay;
    }
    // Shows text; returns the area to redraw (window pixels).
    CRect show(const std::string& text, const CRect& window);
    // Hides the tip; returns the area to redraw (empty when none was shown).
    CRect hide();
    bool isShown() const { return shown; }
    const std::string& getText() const { return text; }
    void draw(CDrawContext* context) const;

private:
    CPoint position;
    uint64_t restingSince = 0;
    bool shown = false;
    bool held = false;
    std::string text;
    CRect box;
};
} // namespace VSTGUI
