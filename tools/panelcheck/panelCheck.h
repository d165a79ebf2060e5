#pragma once

// The panel checker: loads a UI description with the toolkit's UIDescription
// (as the editor does), builds the template "Darvello" and reports every way
// it fails the editor's needs or the panel's rules:
//   - a required name missing, of the wrong kind or outside its container;
//   - a document attribute the editor does not allow (control tags, colours,
//     gradients, sub-controllers, other view classes, fonts, template size);
//   - a key or knob bitmap of the wrong frame size, a swapped key of another
//     size than the looks it receives, a glyph set that is not 94 distinct glyphs;
//   - a view leaving its parent;
//   - two controls of one page overlapping (the coarse knob and its readout
//     may share their place with the coarse menu, keys and texts), or a control
//     that a click at its centre does not reach;
//   - a control a click reaches without a tooltip;
//   - a text that does not fit its label at its font (captions as written,
//     readouts and menus with their widest value), or that shows with a
//     contrast below 4.5:1 against what lies behind it.
// On request it draws every page (and each half of the single edit page) to PNG.

#include <cstddef>
#include <string>
#include <vector>

namespace panelcheck
{
struct Options
{
    std::string pictureDir; // empty: no pictures
    double zoom = 0.5;
};

struct Result
{
    std::vector<std::string> problems; // one line each; none when the panel passes
    std::vector<std::string> pictures; // files written
    size_t views = 0;
    size_t namedViews = 0;
    size_t bitmaps = 0;
};

Result checkPanel(const void* data, size_t size, const Options& options = {});
} // namespace panelcheck
