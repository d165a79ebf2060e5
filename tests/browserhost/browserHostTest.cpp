// The preset browser of Darvello.so in a real X11 window, as a host opens
// it: vsthost --editor clicks and types through the X server. Where to click
// comes from the same panel opened headless in this process (same size, same
// description, so the same layout); what happened is read from the host's
// side: its screenshot, the state it saves afterwards, the audio it renders
// and the MIDI it receives.

#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gui/menupopup.h"
#include "patch/sysex.h"
#include "tests/editor/browserViews.h"
#include "tests/editor/editorFixture.h"
#include "tests/support/testDisplay.h"
#include "tests/support/windowHost.h"
#include "tools/vsthost/wavFile.h"

using namespace VSTGUI;
using editortest::EditorHarness;
namespace fs = std::filesystem;

namespace
{
std::string temp(const std::string& name)
{
    return (fs::temp_directory_path() / ("darvello-browserhost-" + std::to_string(getpid()) + "-" + name)).string();
}

std::string at(const char* step, const CPoint& p)
{
    std::ostringstream s;
    s << " --do " << step << ":" << int(std::lround(p.x)) << "," << int(std::lround(p.y));
    return s.str();
}

std::string centre(const CRect& r)
{
    std::ostringstream s;
    s << int(std::lround(r.getCenter().x)) << "," << int(std::lround(r.getCenter().y));
    return s.str();
}

// The rectangle of the 32 labels, in window pixels.
CRect labelArea(const EditorHarness& h)
{
    CRect area;
    for (size_t k : {size_t(0), size_t(31)})
    {
        CView* label = editortest::presetLabel(h, k);
        CPoint a = label->getViewSize().getTopLeft(), b = label->getViewSize().getBottomRight();
        label->localToFrame(a);
        label->localToFrame(b);
        area.unite(CRect(a.x, a.y, b.x, b.y));
    }
    return area.makeIntegral();
}

// A copy of what the headless window shows now (its own picture is redrawn
// in place by the next render).
cairo_surface_t* snapshot(EditorHarness& h)
{
    cairo_surface_t* shown = h.window->render();
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(shown),
                                                       cairo_image_surface_get_height(shown));
    cairo_t* cr = cairo_create(copy);
    cairo_set_source_surface(cr, shown, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    return copy;
}

// How many pixels of area differ by more than a step of 2 in any colour.
int differingPixels(cairo_surface_t* x, cairo_surface_t* y, const CRect& area)
{
    cairo_surface_flush(x);
    cairo_surface_flush(y);
    const int sx = cairo_image_surface_get_stride(x), sy = cairo_image_surface_get_stride(y);
    const unsigned char* px = cairo_image_surface_get_data(x);
    const unsigned char* py = cairo_image_surface_get_data(y);
    int differing = 0;
    for (int row = int(area.top); row < int(area.bottom); ++row)
        for (int col = int(area.left); col < int(area.right); ++col)
            for (int c = 0; c < 3; ++c)
                if (std::abs(px[row * sx + col * 4 + c] - py[row * sy + col * 4 + c]) > 2)
                {
                    ++differing;
                    break;
                }
    return differing;
}

// The state vsthost saved, opened in a facade of our own.
struct SavedState
{
    explicit SavedState(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        loaded = plugin.setState(bytes);
    }
    std::vector<uint8_t> dump(size_t single)
    {
        k1lib::SinglePreset s;
        std::vector<uint8_t> bytes;
        plugin.getSingle(s, single);
        k1lib::Sysex::writeSingle(bytes, s, 0, k1lib::StorageLocation::I, 0);
        return bytes;
    }
    editortest::HostRecorder host;
    k1lib::Plugin plugin{&host, k1lib::PluginType::Vst};
    bool loaded = false;
};

// How far one render is from another: the energy of their difference over
// the energy of the second (0 for equal renders).
double distance(const std::string& wav, const std::string& reference)
{
    vsthost::Audio a, b;
    if (!vsthost::readWav(wav, a) || !vsthost::readWav(reference, b) || a.frames() == 0 || b.frames() == 0)
        return 1e9;
    double difference = 0, energy = 0;
    for (size_t i = 0; i < std::min(a.frames(), b.frames()); ++i)
    {
        difference += std::pow(double(a.channels[0][i]) - b.channels[0][i], 2);
        energy += std::pow(double(b.channels[0][i]), 2);
    }
    return energy > 0 ? difference / energy : 1e9;
}

using BrowserInHost = k1test::DisplayTest;
} // namespace

TEST_F(BrowserInHost, SearchShowsOnlyMatchesAndAClickedLabelPlays)
{
    // Where things are, and what the labels look like with "pno" typed.
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    const CRect area = labelArea(h);
    cairo_surface_t* unsearched = snapshot(h);
    h.click(h.find<CTextEdit>("searchSingle"));
    for (char c : std::string("pno"))
        h.window->typeCharacter(char32_t(c));
    h.window->typeVirtualKey(VKEY_RETURN);
    std::vector<size_t> hits;
    h.plugin->searchSingles(hits, "pno", h.plugin->getPresetCount());
    ASSERT_GT(hits.size(), 2u);
    for (size_t k = 0; k < 32; ++k)
        EXPECT_EQ(editortest::presetLabel(h, k)->getText().getString().empty(), k >= hits.size()) << k;
    cairo_surface_t* searched = snapshot(h);
    ASSERT_GT(differingPixels(unsearched, searched, area), 1000);

    // The pointer rests on the bare panel below the buttons for the shot, so
    // no tooltip covers the labels.
    const CPoint quiet(h.frame->getWidth() / 2, h.frame->getHeight() - 30);
    CView* under = h.frame->getViewAt(h.frame->toChildSpace(quiet), true, true);
    ASSERT_TRUE(under == nullptr || under->getTooltipText().getString().empty());
    const std::string shot = temp("search.png"), state = temp("state.bin"), after = temp("after.wav");
    const k1test::HostRun run = k1test::runHost(display.name(), "--editor --do idle:5" +
                                                    at("click", h.centerOf(h.find<CTextEdit>("searchSingle"))) +
                                                    " --do key:p --do key:n --do key:o --do key:Return" +
                                                    at("click", quiet) + " --do idle:10 --do shot:" + shot +
                                                    at("click", h.centerOf(editortest::presetLabel(h, 1))) +
                                                    " --do idle:10 --save-chunk " + state + " --out " + after);
    ASSERT_EQ(run.status, 0) << run.out;

    // The host's window showed the same labels as the headless panel.
    cairo_surface_t* seen = cairo_image_surface_create_from_png(shot.c_str());
    ASSERT_EQ(cairo_surface_status(seen), CAIRO_STATUS_SUCCESS) << shot;
    EXPECT_EQ(differingPixels(seen, searched, area), 0);
    for (cairo_surface_t* s : {seen, searched, unsearched})
        cairo_surface_destroy(s);

    // The clicked label's preset is the current one, and it is what plays.
    SavedState saved(state);
    ASSERT_TRUE(saved.loaded);
    EXPECT_EQ(saved.plugin.getCurrentPresetIndex(), hits[1]);
    const std::string first = temp("first.wav"), chosen = temp("chosen.wav");
    ASSERT_EQ(k1test::runHost(display.name(), "--out " + first).status, 0);
    ASSERT_EQ(k1test::runHost(display.name(), "--program " + std::to_string(hits[1]) + " --out " + chosen).status, 0);
    // The audio after the click is that preset's (up to where the voices
    // stood in time: with bright presets those few samples weigh up to about
    // 6 %), and clearly not the first preset's.
    ASSERT_GT(distance(first, chosen), 0.5) << "presets too alike to tell apart";
    EXPECT_LT(distance(after, chosen), 0.1);
    EXPECT_GT(distance(after, first), 0.5);
    for (const std::string& f : {shot, state, after, first, chosen})
        std::remove(f.c_str());
}

TEST_F(BrowserInHost, CopyPasteAndSendToTheHardwareThroughThePopup)
{
    // The popup's entries where the host's window will show them: Copy and
    // Paste on labels 3 and 6, "Send to K1 Hardware" > IB- > 3 on label 9.
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    auto entry = [&](size_t label, const std::vector<int32_t>& path) {
        COptionMenu* menu = editortest::openLabelPopup(h, label);
        EXPECT_NE(menu, nullptr);
        std::string steps = at("rclick", h.centerOf(editortest::presetLabel(h, label))) + " --do idle:3";
        for (size_t column = 0; menu && column < path.size(); ++column)
        {
            const CRect r = MenuPopup::openFor(h.frame, menu)->getItemRect(column, path[column]);
            steps += " --do click:" + centre(r) + " --do idle:3";
            if (column + 1 < path.size())
                h.window->click(r.getCenter()); // opens the next column
        }
        if (menu && MenuPopup::openFor(h.frame, menu))
            h.window->typeVirtualKey(VKEY_ESCAPE);
        return steps;
    };
    const std::string steps = entry(3, {0}) + entry(6, {1}) + entry(9, {3, 1, 2});
    const std::string state = temp("pasted.bin");
    const k1test::HostRun run =
        k1test::runHost(display.name(), "--editor --do idle:5" + steps + " --do idle:10 --save-chunk " + state + " --midi-out");
    ASSERT_EQ(run.status, 0) << run.out;

    SavedState saved(state);
    ASSERT_TRUE(saved.loaded);
    EXPECT_EQ(saved.dump(6), saved.dump(3));
    EXPECT_TRUE(saved.plugin.isPresetModified(6));
    EXPECT_NE(saved.dump(6), saved.dump(5));

    // Exactly one message went out: single 9 as a one-single dump for the
    // K1's internal single IB-3 (number 10).
    k1lib::SinglePreset single;
    ASSERT_TRUE(saved.plugin.getSingle(single, 9));
    std::vector<uint8_t> expected;
    ASSERT_TRUE(k1lib::Sysex::writeSingle(expected, single, 0, k1lib::StorageLocation::I, 10));
    std::string hex;
    for (uint8_t b : expected)
    {
        char text[4];
        std::snprintf(text, sizeof text, hex.empty() ? "%02x" : " %02x", b);
        hex += text;
    }
    std::vector<std::string> sent = run.lines("midi out\t");
    for (std::string& line : sent)
        line = line.substr(line.rfind('\t') + 1);
    EXPECT_EQ(sent, std::vector<std::string>{hex}) << run.out;
    std::remove(state.c_str());
}
