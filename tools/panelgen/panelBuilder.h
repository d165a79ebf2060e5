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
// Cell sizes (design pixels). In a row of knobs every cell has its caption
// on one line at the top, and its control centred on the knobs' centre line.
constexpr int kKnobCellWidth = 200;
constexpr int kWideCellWidth = 232;
constexpr int kKnobTop = kCaptionHeight + 8;                                 // knob below its caption
constexpr int kKnobCellHeight = kKnobTop + kKnobSize + 8 + kValueHeight;     // 246
constexpr int kMenuCellHeight = kCaptionHeight + kFieldHeight;               // 96
constexpr int kGroupPad = 20;
constexpr int kGroupTop = kTitleHeight + 28; // contents start below the title band
constexpr int kGap = 2 * kUnit;              // between cells and between groups
constexpr int kRowHeight = 360;              // a group holding one row of knobs

class Builder
{
public:
    explicit Builder(BitmapSet& bitmaps) : bitmaps(bitmaps) {}

    // A text label that is no control's value: a caption or a title.
    View& caption(View& parent, const Rect& r, const std::string& text, const std::string& font = fonts::kCaption,
                  const std::string& align = "center", const Rgb& color = palette::kSilk);
    // A framed group with its title: plain views behind the controls (not
    // their container).
    void group(View& parent, const Rect& r, const std::string& title);
    // The frame alone.
    void groupFrame(View& parent, const Rect& r);

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

// One framed group with a row of cells, filled left to right. The frame is
// put behind the cells when the group is closed, its width then known.
class GroupRow
{
public:
    GroupRow(Builder& b, View& parent, int x, int y, const std::string& title, int height = kRowHeight);
    // Cells; each returns its left edge.
    int knob(k1lib::EParam p, const std::string& caption, int width = kKnobCellWidth);
    int menu(const std::string& name, const std::string& caption, int width);
    int field(const std::string& name, const std::string& caption, const std::string& text, int width);
    int key(const std::string& name, const std::string& caption, const std::string& bitmap, int width = kWideCellWidth);
    // Room for views of the caller's own (placed at the returned left edge, top()).
    int space(int width);
    int top() const { return y + kGroupTop; }
    // Draws the frame; returns the group's right edge.
    int close();

private:
    int next(int width);
    // A field's place in a cell: centred on the knobs' centre line.
    Rect onKnobLine(int left, int width) const;
    Builder& b;
    View& parent;
    size_t first;
    int x, y, height, cursor;
    std::string title;
};
} // namespace panelgen
