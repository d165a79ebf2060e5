#pragma once

// uiDisplay: the instrument's backlit display of two lines of 16 characters.
// Each of the 32 character cells shows the bitmap of a glyph taken from the
// UI description (no text is rendered). It shows the current preset, plays a
// short start-up sequence when the editor opens, and replays it after a
// firmware notice when the user clicks it. The sequences run on one timer of
// the toolkit at a time, so they advance from the host's idle calls.
//
// A click on the display while it is dark (its light view hidden) still
// reaches it: the display also listens on the light's container and takes a
// press there that falls inside the light's rectangle. UI thread only.

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "gui/vstgui.h"
#include "patch/staticArray.h"

class K1Editor;

class uiDisplay : public VSTGUI::IViewMouseListener
{
public:
    static constexpr size_t kCellsPerLine = 16;
    using Cells = StaticArray<VSTGUI::CView*, kCellsPerLine>;

    // The characters of the glyph set, in the order of the children of the
    // description's "fontExport" (the last, 0xF6, is the filled block).
    static const std::string kGlyphCharacters;

    // Looks the views up, starts dark, begins the start-up sequence.
    explicit uiDisplay(K1Editor& editor);
    ~uiDisplay() override;
    uiDisplay(const uiDisplay&) = delete;
    uiDisplay& operator=(const uiDisplay&) = delete;

    // Text is single-byte Latin-1, cut at 16 characters and filled up with
    // blanks; a character without a glyph shows the glyph of "?".
    void setText(const std::string& line1, const std::string& line2);
    void setText(Cells& cells, const std::string& text);
    // The play mode and storage on line 1, slot label and name on line 2.
    void setTextShowCurrentPreset();
    // Dark for a second, then the product's name, two seconds later the preset.
    void doStartupAnimation();
    void switchPower(bool on);
    void destroyTimer();

    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView* view, VSTGUI::CPoint where,
                                              VSTGUI::CButtonState buttons) override;
    // Ups, moves, cancels, enter and exit: the listener's defaults (nothing).

    // What a line shows, read back from its cells' glyphs (for tests).
    std::string getShownText(int line) const;
    bool isLit() const;

private:
    // The click: dark, half a second later the firmware notice, two seconds
    // after that the start-up sequence again.
    void onClick();
    // Releases the running timer and runs step once after ms milliseconds.
    void after(uint32_t ms, std::function<void()> step);

    K1Editor& m_editor;
    VSTGUI::CViewContainer* m_lines = nullptr;
    VSTGUI::CView* m_light = nullptr;
    VSTGUI::CViewContainer* m_lightParent = nullptr;
    VSTGUI::CVSTGUITimer* m_timer = nullptr;
    Cells m_line1{};
    Cells m_line2{};
    std::map<int8_t, VSTGUI::CBitmap*> m_glyphs; // the bitmaps belong to the views of fontExport
};
