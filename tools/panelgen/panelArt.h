#pragma once

// The panel's bitmaps, painted with cairo at design size. Each painter adds
// its bitmap to the set under a name that says what it is (and its size where
// one look comes in several sizes) and returns that name.

#include <array>
#include <string>

#include "tools/panelgen/panelDoc.h"

namespace panelgen
{
// Width in design pixels of text in one of the description's fonts, measured
// the way the toolkit draws it.
double textWidth(const std::string& font, const std::string& text);
int fontSize(const std::string& font);

// The front panel: texture, the top bar and the dark display glass in lcd.
std::string paintBackground(BitmapSet& set, const Rect& lcd);

std::string paintKnobStrip(BitmapSet& set, bool bipolar);

enum class Lamp
{
    Off,
    Active,
    Muted
};
// Two frames (up, pressed) of a lamp button of the given width.
std::string paintLampButton(BitmapSet& set, int width, Lamp lamp);

enum class Icon
{
    Prev,
    Next,
    Reset,
    Import,
    Export
};
std::string paintIconButton(BitmapSet& set, Icon icon);

// A recessed field; menus get a drop-down triangle.
std::string paintField(BitmapSet& set, int w, int h, bool menu);
// The rule frame and title band of a group of controls, as four edges: the
// top (with the title band) and the bottom across the whole width, the two
// sides between them.
constexpr int kGroupTitleBand = 56;
constexpr int kGroupEdge = 16;
struct GroupEdges
{
    std::string top, bottom, left, right;
};
GroupEdges paintGroupEdges(BitmapSet& set, int w, int h);

// The 94 display glyphs in the order the display reads them; each is a 5 x 8
// dot pattern of 8 rows, bit 4 the leftmost dot.
constexpr int kGlyphCount = 94;
struct Glyph
{
    unsigned char code; // Latin-1
    const char* name;   // bitmap name suffix
    std::array<unsigned char, 8> rows;
};
const std::array<Glyph, kGlyphCount>& glyphs();
// Index in glyphs() of a Latin-1 character, or -1.
int glyphIndex(unsigned char c);
std::string paintGlyph(BitmapSet& set, int index);
std::string paintLcdLight(BitmapSet& set);

std::string paintLogo(BitmapSet& set, int w, int h);
std::string paintSupport(BitmapSet& set, int w, int h);
std::string paintResizeHandle(BitmapSet& set);
std::string paintThrottle(BitmapSet& set, int size);
std::string paintThrottleArea(BitmapSet& set, int size, int throttle);
std::string paintEnvelopeScreen(BitmapSet& set, int w, int h);
// The section-page arrows: a lamp-less key with an arrow and a range text.
std::string paintArrow(BitmapSet& set, int w, int h, bool left, const std::string& text);
} // namespace panelgen
