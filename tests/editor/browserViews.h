#pragma once

// The views of the preset browser and of the display for the editor tests'
// UI description: the 32 preset labels, the bank menu, the 13 step, reset and
// file buttons with their captions, and the display's light, its two lines of
// cells and the 94 glyphs, each glyph a bitmap object of its own so that a
// test can read the cells back.

#include <string>

#include "gui/vstgui.h"

namespace editortest
{
class EditorHarness;

// Colours the description gives the labels (the current preset's is label 0's).
constexpr VSTGUI::CColor kNormalLabelColor(224, 224, 224, 255);
constexpr VSTGUI::CColor kCurrentLabelColor(255, 204, 0, 255);
constexpr VSTGUI::CColor kCaptionColor(208, 208, 208, 255);

// <bitmap> elements: the 94 glyphs ("glyph0" .. "glyph93"), each the base64
// PNG given.
std::string browserAndDisplayBitmaps(const std::string& png);
// Inside mode_play (below the search field): the browser's views.
std::string browserViews();
// In the template: the display's views.
std::string displayViews();

// The browser's label k (0-31: "singleA0" .. "singleD7").
VSTGUI::CTextLabel* presetLabel(const EditorHarness& h, size_t k);
// A right click on label k: the menu of the popup it opened, or null.
VSTGUI::COptionMenu* openLabelPopup(EditorHarness& h, size_t k);
} // namespace editortest
