#include "tools/panelgen/panelLayout.h"

#include "tools/panelgen/panelPages.h"

namespace panelgen
{
namespace
{
constexpr Rect kLcd{1208, 24, kLcdWidth, kLcdHeight};

// The text the cells show in the document: the start-up greeting.
constexpr const char* kLcdLines[2] = {"  *Darvello*", "SYNTHESIZER"};

void topBar(Builder& b, View& root)
{
    b.picture(root, {40, 40, 384, 112}, paintLogo(b.bitmaps, 384, 112), "clickableLogo");

    // Play mode (Single, Multi) and page keys (Edit, System).
    const struct
    {
        const char* name;
        const char* text;
        int x;
        Lamp look;
    } keys[] = {{"btModeSingle", "Single", 472, Lamp::Active},
                {"btModeMulti", "Multi", 632, Lamp::Off},
                {"btEdit", "Edit", 824, Lamp::Off},
                {"btSystem", "System", 984, Lamp::Off}};
    for (const auto& k : keys)
    {
        b.caption(root, {k.x, 20, 160, kCaptionHeight}, k.text);
        b.kick(root, k.x + (160 - kSmallButtonWidth) / 2, 68, k.name, b.smallKey(k.look));
    }

    // The display: the backlight, the 32 cells over it (transparent to
    // clicks, which belong to the light), and the glyph set, never shown.
    b.picture(root, kLcd, paintLcdLight(b.bitmaps), "LCDLight");
    View lines = makeView("CViewContainer", {kLcd.x + kLcdMarginX, kLcd.y + kLcdMarginY, kLcdTextWidth, kLcdTextHeight});
    lines.set("transparent", "true").set("mouse-enabled", "false").name("LCDLines");
    for (int line = 0; line < 2; ++line)
    {
        const std::string text = kLcdLines[line];
        for (int i = 0; i < 16; ++i)
        {
            const unsigned char c = i < int(text.size()) ? static_cast<unsigned char>(text[size_t(i)]) : ' ';
            char name[8];
            std::snprintf(name, sizeof name, "char%d%02d", line, i);
            b.picture(lines, {i * kCellPitchX, line * kCellPitchY, kCellWidth, kCellHeight},
                      paintGlyph(b.bitmaps, glyphIndex(c)), name)
                .set("mouse-enabled", "false");
        }
    }
    root.add(std::move(lines));
    View font = makeView("CViewContainer", {40, 24, 47 * kCellWidth, 2 * kCellHeight});
    font.set("transparent", "true").set("visible", "false").set("mouse-enabled", "false").name("fontExport");
    for (int i = 0; i < kGlyphCount; ++i)
    {
        View& g = b.picture(font, {(i % 47) * kCellWidth, (i / 47) * kCellHeight, kCellWidth, kCellHeight},
                            paintGlyph(b.bitmaps, i));
        if (i == kGlyphCount - 1)
            g.name("BLOCK");
    }
    root.add(std::move(font));

    b.picture(root, {2312, 64, 208, 64}, paintSupport(b.bitmaps, 208, 64), "btDonate");
}
} // namespace

std::string buildPanelDocument()
{
    BitmapSet bitmaps;
    Builder b(bitmaps);
    paintBackground(bitmaps, kLcd);
    View root = makeView("CViewContainer", {0, 0, kWidth, kHeight});
    root.set("name", "Darvello")
        .set("minSize", "640, 360")
        .set("maxSize", "2560, 1440")
        .set("bitmap", "background")
        .name("bg");
    topBar(b, root);
    root.add(buildPlayPage(b));
    root.add(buildEditPage(b));
    root.add(buildMultiPage(b));
    root.add(buildSystemPage(b));
    b.picture(root, {kWidth - kHandleSize, kHeight - kHandleSize, kHandleSize, kHandleSize}, paintResizeHandle(bitmaps),
              "resizeHandle");
    addTooltips(root);
    const std::vector<Font> fonts = {{"gadugi_33_b", 33}, {"arial_36_b", 36}, {"gadugi_26_b", 26},
                                     {"arial_28_b", 28},  {"arial_24_b", 24}, {"arial_30_b", 30}};
    return writeDocument(bitmaps, fonts, kFontFamily, root);
}
} // namespace panelgen
