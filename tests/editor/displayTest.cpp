// The display on the toolkit's manual clock: the start-up sequence and its
// times, the current preset on two lines of glyphs, "?" for characters
// without a glyph, a click (also while dark) restarting the sequence, and
// the multi line of an editor opened in multi mode.

#include <gtest/gtest.h>

#include <cstring>

#include "editor/uiDisplay.h"
#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;

namespace
{
// What a line of cells shows, read back through the glyph set's bitmaps.
std::string line(const EditorHarness& h, int row)
{
    auto* font = h.find<CViewContainer>("fontExport");
    std::string text;
    for (int i = 0; i < 16; ++i)
    {
        char name[8];
        std::snprintf(name, sizeof name, "char%d%02d", row, i);
        const CBitmap* glyph = h.find<CView>(name)->getBackground();
        char c = '\0';
        for (uint32_t g = 0; g < font->getNbViews() && c == '\0'; ++g)
            if (glyph && font->getView(g)->getBackground() == glyph)
                c = uiDisplay::kGlyphCharacters[g];
        text += c;
    }
    return text;
}

bool lit(const EditorHarness& h)
{
    const bool light = h.find<CView>("LCDLight")->isVisible();
    EXPECT_EQ(light, h.find<CViewContainer>("LCDLines")->isVisible());
    return light;
}

void wait(EditorHarness& h, uint64_t ms)
{
    h.factory.advanceTime(ms);
    h.idle();
}

std::string padded(std::string text)
{
    text.resize(16, ' ');
    return text;
}
} // namespace

TEST(Display, StartsDarkGreetsThenShowsThePresetAndAClickReplaysIt)
{
    EditorHarness h;
    k1lib::SinglePreset single;
    ASSERT_TRUE(h.plugin->getSingle(single, 0));
    std::memcpy(single.name, "TenLetters", 10); // 4 + 2 + 10: a full line
    ASSERT_TRUE(h.plugin->setSingle(0, single));
    EXPECT_FALSE(lit(h));
    EXPECT_FALSE(h.find<CViewContainer>("fontExport")->isVisible());
    wait(h, 999);
    EXPECT_FALSE(lit(h));
    wait(h, 1);
    EXPECT_TRUE(lit(h));
    EXPECT_EQ(line(h, 0), padded("  *Darvello*"));
    EXPECT_EQ(line(h, 1), padded("SYNTHESIZER"));
    wait(h, 1999);
    EXPECT_EQ(line(h, 1), padded("SYNTHESIZER"));
    wait(h, 1);
    EXPECT_EQ(line(h, 0), padded("SINGLE " + h.plugin->getStorageInfos(k1lib::PlayMode::Single)[0].shortName));
    EXPECT_EQ(line(h, 1), "IA-1  TenLetters");

    // A preset switch shows at once; a character without a glyph shows "?".
    std::memcpy(single.name, "A_B\0\0\0\0\0\0\0", 10);
    ASSERT_TRUE(h.plugin->setSingle(1, single));
    h.plugin->setCurrentPresetIndex(1);
    h.idle();
    EXPECT_EQ(line(h, 1), padded("IA-2  A?B"));

    // A click: dark, half a second later the firmware, then the start-up again.
    h.click(h.find<CView>("LCDLight"));
    EXPECT_FALSE(lit(h));
    wait(h, 300);
    // Clicked again while dark (the light takes no clicks then): the sequence
    // starts over from this click.
    h.click(h.find<CView>("LCDLight"));
    wait(h, 499);
    EXPECT_FALSE(lit(h));
    wait(h, 1);
    EXPECT_TRUE(lit(h));
    EXPECT_EQ(line(h, 0), padded("Firmware 1.26"));
    EXPECT_EQ(line(h, 1), padded("Sep 28 2022"));
    // Preset events still write the cells; the pending steps overwrite them.
    h.plugin->setCurrentPresetIndex(0);
    h.idle();
    EXPECT_EQ(line(h, 1), "IA-1  TenLetters");
    wait(h, 2000);
    wait(h, 1000);
    EXPECT_EQ(line(h, 0), padded("  *Darvello*"));
    wait(h, 2000);
    EXPECT_EQ(line(h, 1), "IA-1  TenLetters");
    wait(h, 10000); // nothing is left to fire
    EXPECT_EQ(line(h, 1), "IA-1  TenLetters");
    EXPECT_TRUE(lit(h));
}

TEST(Display, OpenedInMultiModeShowsTheMultiAndItsStorage)
{
    EditorHarness h;
    h.plugin->setPlayMode(k1lib::PlayMode::Multi);
    h.plugin->setCurrentPresetIndex(40);
    h.reopenEditor();
    wait(h, 1000);
    EXPECT_EQ(line(h, 0), padded("  *Darvello*"));
    wait(h, 2000);
    const k1lib::StorageInfo* storage = h.plugin->getStorageInfoFromPresetIndex(40, k1lib::PlayMode::Multi);
    ASSERT_NE(storage, nullptr);
    EXPECT_EQ(line(h, 0), padded("MULTI  " + storage->shortName));
    EXPECT_EQ(line(h, 1), padded(h.plugin->getPresetNumberAsName(40, k1lib::PlayMode::Multi) + "  " +
                                 h.plugin->getPresetName(40)));
    // Closing with a step pending leaves no timer behind.
    h.closeEditor();
    h.factory.advanceTime(5000);
    CVSTGUITimer::fireDueTimers();
}
