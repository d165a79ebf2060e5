#pragma once

// Message boxes drawn as a modal overlay in the frame's window: a dimmed
// window, a panel with the title, the wrapped text and one row of buttons.
// A button is chosen by clicking it, Return chooses the default button
// (drawn highlighted; the last one unless the caller names another), Escape
// the first. The call waits, handling the window's events,
// until a button is chosen.

#include <string>
#include <vector>

#include "gui/cfont.h"
#include "gui/cframeoverlay.h"

namespace VSTGUI
{
class CFrame;

class CMessageBox : public CFrameOverlay
{
public:
    // Shows the box and waits; the index of the chosen button, or -1 when no
    // answer could be had (no window, or the window went away).
    // defaultButton -1 means the last button.
    static int32_t run(CFrame* frame, const std::string& title, const std::string& text,
                       const std::vector<std::string>& buttons, int32_t defaultButton = -1);
    // The box being shown in frame, or null (for tests and scripted input).
    static CMessageBox* getOpen(CFrame* frame);

    CMessageBox(CFrame* frame, std::string title, std::string text, std::vector<std::string> buttons,
                int32_t defaultButton = -1);

    const std::string& getTitle() const { return title; }
    const std::string& getText() const { return text; }
    const std::vector<std::string>& getButtons() const { return buttons; }
    size_t getDefaultButton() const { return defaultButton; }
    // The lines of the wrapped text and the area they are drawn in (window
    // pixels), and the font they are drawn with.
    const std::vector<std::string>& getLines() const { return lines; }
    CRect getTextRect() const;
    static CFontRef getTextFont();
    // Where button i is drawn, in window pixels.
    CRect getButtonRect(size_t i) const;
    void choose(int32_t index);
    int32_t getResult() const { return result; }
    bool isDone() const { return done; }

    void draw(CDrawContext* context, const CRect& windowRect) override;
    void onMouseDown(const CPoint& where, const CButtonState& buttons) override;
    void onKeyDown(const VstKeyCode& key) override;
    void cancel() override { choose(-1); }

private:
    void layout(CDrawContext* context);

    CFrame* frame;
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
    size_t defaultButton;
    std::vector<std::string> lines;
    CRect panel;
    std::vector<CRect> buttonRects;
    int32_t result = -1;
    bool done = false;
};
} // namespace VSTGUI
