#pragma once

// The building blocks of the panel's pages: captions, knobs with their value
// readouts, menus, lamp keys and the framed groups they sit in. Every block
// adds its views to a parent container at a position in that container's
// coordinates; a cell's caption sits above its control.

#include <string>

#include "patch/parameterEnum.h"
#include "tools/panelgen/panelArt.h"
#include "tools/panelgen/panelStyle.h"

namespace panelgen
{
// Cell sizes (design pixels).
constexpr int kKnobCellWidth = 200;
constexpr int kKnobCellHeight = kCaptionHeight + 8 + kKnobSize + 8 + kValueHeight; // 246
constexpr int kMenuCellHeight = kCaptionHeight + kFieldHeight;                       // 96
constexpr int kGroupPad = 20;
constexpr int kGroupTop = kTitleHeight + 16; // contents start below the title band
constexpr int kGap = 2 * kUnit;

class Builder
{
public:
    explicit Builder(BitmapSet& bitmaps) : bitmaps(bitmaps) {}

    // A text label that is no control's value: a caption or a title.
    View& caption(View& parent, const Rect& r, const std::string& text, const std::string& font = fonts::kCaption,
                  const std::string& align = "center", const Rgb& color = palette::kSilk);
    // A framed group with its title; returns the frame view (a plain view
    // behind the controls, not their container).
    void group(View& parent, const Rect& r, const std::string& title);

    // Knob cell at (x, y) of width w: caption, knob and its value readout,
    // knob and readout both named after the parameter (or name).
    void knobCell(View& parent, int x, int y, int w, k1lib::EParam p, const std::string& captionText,
                  const std::string& name = {});
    // The knob and readout alone, with the knob's top-left at (x, y).
    void knob(View& parent, int x, int y, int w, k1lib::EParam p, const std::string& name);
    // A menu (or text field) with its caption above.
    View& menuCell(View& parent, int x, int y, int w, const std::string& name, const std::string& captionText);
    View& menu(View& parent, const Rect& r, const std::string& name);
    View& textField(View& parent, const Rect& r, const std::string& name, const std::string& text);
    // A kick button showing bitmap.
    View& kick(View& parent, int x, int y, const std::string& name, const std::string& bitmap);
    // Bitmaps of the lamp keys.
    std::string smallKey(Lamp lamp) { return paintLampButton(bitmaps, kSmallButtonWidth, lamp); }
    std::string largeKey(Lamp lamp) { return paintLampButton(bitmaps, kLargeButtonWidth, lamp); }
    std::string icon(Icon i) { return paintIconButton(bitmaps, i); }
    // A plain view showing a bitmap of its own size.
    View& picture(View& parent, const Rect& r, const std::string& bitmap, const std::string& name = {});

    BitmapSet& bitmaps;
};
} // namespace panelgen
