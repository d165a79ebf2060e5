#pragma once

// One palette, one spacing unit and one font per text level for the whole
// panel. Sizes are design pixels (the panel is drawn at 2560 x 1440 and shown
// zoomed, 0.4 in the default window).

#include <cstdint>
#include <string>

namespace panelgen
{
struct Rgb
{
    uint8_t r, g, b;
    double fr() const { return r / 255.0; }
    double fg() const { return g / 255.0; }
    double fb() const { return b / 255.0; }
    // "#rrggbbaa" with the given alpha.
    std::string hex(uint8_t alpha = 255) const;
};

namespace palette
{
constexpr Rgb kPanel{40, 41, 44};         // charcoal front panel
constexpr Rgb kPanelDark{27, 28, 30};     // top bar and recesses
constexpr Rgb kRule{96, 98, 104};         // group rules
constexpr Rgb kSilk{232, 226, 208};       // silkscreen captions
constexpr Rgb kSilkDim{176, 172, 160};    // secondary captions
constexpr Rgb kAccent{255, 170, 51};      // amber: what is active
constexpr Rgb kMuted{232, 72, 56};        // the lamp of a muted source
constexpr Rgb kField{20, 21, 23};         // menus, text fields
constexpr Rgb kFieldFrame{84, 86, 92};
constexpr Rgb kFieldText{240, 236, 224};
constexpr Rgb kReadout{18, 24, 14};       // value readouts: a small unlit LCD
constexpr Rgb kReadoutText{190, 222, 120};
constexpr Rgb kLcdGlass{170, 196, 64};    // the lit display
constexpr Rgb kLcdDark{32, 40, 22};       // the display when off
constexpr Rgb kLcdInk{22, 34, 12};
} // namespace palette

// Spacing unit: every position and size is a multiple of it where it can be.
constexpr int kUnit = 8;

// The six fonts of the description (all bold DejaVu Sans) by use.
namespace fonts
{
inline const std::string kTitle = "arial_36_b";   // group titles
inline const std::string kName = "gadugi_33_b";   // preset names, strip titles
inline const std::string kField = "arial_30_b";   // menus and text fields
inline const std::string kCaption = "arial_28_b"; // control captions
inline const std::string kValue = "gadugi_26_b";  // value readouts
inline const std::string kSmall = "arial_24_b";   // button texts, axis marks
} // namespace fonts
inline const std::string kFontFamily = "DejaVu Sans";

// Design size and the control sizes the editor's bitmaps require.
constexpr int kWidth = 2560;
constexpr int kHeight = 1440;
constexpr int kTopBarHeight = 192;
constexpr int kKnobSize = 150;     // one film-strip frame
constexpr int kKnobFrames = 101;   // 0..100 in steps of one
constexpr int kButtonHeight = 87;  // one kick-button frame
constexpr int kSmallButtonWidth = 128;
constexpr int kLargeButtonWidth = 200;
constexpr int kIconButtonWidth = 112;
constexpr int kCaptionHeight = 40;
constexpr int kValueHeight = 40;
constexpr int kFieldHeight = 56;
constexpr int kTitleHeight = 48;
constexpr int kHandleSize = 64;

// The display: 16 x 2 cells of 5 x 8 dots.
constexpr int kDot = 5;
constexpr int kDotPitch = 6;
constexpr int kCellWidth = 5 * kDotPitch;
constexpr int kCellHeight = 8 * kDotPitch;
constexpr int kCellPitchX = kCellWidth + kDotPitch;
constexpr int kCellPitchY = kCellHeight + 2 * kDotPitch;
constexpr int kLcdMarginX = 24;
constexpr int kLcdMarginY = 17;
constexpr int kLcdTextWidth = 16 * kCellPitchX - kDotPitch;
constexpr int kLcdTextHeight = kCellPitchY + kCellHeight;
constexpr int kLcdWidth = kLcdTextWidth + 2 * kLcdMarginX;
constexpr int kLcdHeight = kLcdTextHeight + 2 * kLcdMarginY;
} // namespace panelgen
