// Darvello.so's window in a real X11 window (Xvfb), opened and driven by
// vsthost as a Linux host does: dragging the resize handle makes the host's
// window 1600 x 900 and the state keeps that size for the next opening; on
// the multi page, turning section 2's level down moves the host's parameter
// and quietens that section only; on the system page, receive channel 2
// makes the instrument ignore channel 1 and play channel 2. Positions come
// from the panel itself, laid out headless at the window's default size.

#include <gtest/gtest.h>


#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/editor/editorFixture.h"
#include "tests/support/testDisplay.h"
#include "tests/support/windowHost.h"
#include "tools/render/smfWriter.h"
#include "tools/vsthost/wavFile.h"

using namespace VSTGUI;
using k1test::HostRun;
using k1test::runHost;
using editortest::EditorHarness;

namespace
{
std::string temp(const std::string& name)
{
    return ::testing::TempDir() + "darvello_window_" + name;
}

// A MIDI file of notes: channel (0-15), key, start and end in seconds.
struct Note
{
    int channel, key;
    double on, off;
};
std::string writeMidi(const std::string& name, const std::vector<Note>& notes)
{
    std::vector<k1render::TimedEvent> events;
    for (const Note& n : notes)
    {
        events.push_back({n.on, uint8_t(0x90 | n.channel), uint8_t(n.key), 100, {}});
        events.push_back({n.off, uint8_t(0x80 | n.channel), uint8_t(n.key), 0, {}});
    }
    std::stable_sort(events.begin(), events.end(), [](auto& x, auto& y) { return x.seconds < y.seconds; });
    const std::string path = temp(name);
    EXPECT_TRUE(k1render::writeSmfFile(path, events));
    return path;
}

// RMS of both outputs between two times (seconds).
double rms(const vsthost::Audio& audio, double from, double to)
{
    const size_t a = size_t(from * audio.sampleRate), b = std::min(audio.frames(), size_t(to * audio.sampleRate));
    double sum = 0;
    size_t count = 0;
    for (const auto& channel : audio.channels)
        for (size_t i = a; i < b; ++i, ++count)
            sum += double(channel[i]) * channel[i];
    return count ? std::sqrt(sum / double(count)) : 0.0;
}

// Where the views are in the window at its default size.
struct Panel
{
    EditorHarness h{K1Editor::getDefaultRect(), EditorHarness::Description::Panel};

    std::string at(CView* view) const
    {
        const CPoint p = h.centerOf(view);
        return std::to_string(int(std::lround(p.x))) + "," + std::to_string(int(std::lround(p.y)));
    }
    std::string at(const std::string& name) const { return at(h.find<CView>(name)); }
};

// The automation lines "automate <frame> <index> <value>" of one parameter.
std::vector<float> automation(const std::string& out, int index)
{
    std::vector<float> values;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
    {
        int frame = 0, p = -1;
        float value = 0;
        if (std::sscanf(line.c_str(), "automate\t%d\t%d\t%f", &frame, &p, &value) == 3 && p == index)
            values.push_back(value);
    }
    return values;
}

class EditorInHostWindow : public k1test::DisplayTest
{
protected:
    Panel panel;
};
} // namespace

TEST_F(EditorInHostWindow, ResizeHandleSizesTheHostWindowAndTheStateKeepsIt)
{
    // From the handle's centre outwards by 1.5625 times its distance from
    // the corner: zoom 0.4 becomes 0.625, 1600 x 900.
    CView* handle = panel.h.find<CView>("resizeHandle");
    const CPoint p = panel.h.centerOf(handle);
    const int x = int(std::lround(p.x)), y = int(std::lround(p.y));
    const int dx = int(std::lround(x * 0.5625)), dy = int(std::lround(y * 0.5625));
    const std::string shot = temp("resized.png"), state = temp("resized.bin");
    const HostRun run = runHost(display.name(), "--editor --do idle:5 --do drag:" + std::to_string(x) + "," +
                                                    std::to_string(y) + "," + std::to_string(dx) + "," +
                                                    std::to_string(dy) + ",12 --do idle:5 --do shot:" + shot +
                                                    " --save-chunk " + state);
    ASSERT_EQ(run.status, 0) << run.out;
    int width = 0, height = 0;
    const size_t last = run.out.rfind("editor\tsize window\t");
    ASSERT_NE(last, std::string::npos) << run.out;
    ASSERT_EQ(std::sscanf(run.out.c_str() + last, "editor\tsize window\t%d\t%d", &width, &height), 2);
    EXPECT_NEAR(width, 1600, 2) << run.out;
    EXPECT_NEAR(height, 900, 2) << run.out;
    EXPECT_NE(run.out.find("shot\t" + shot + "\t" + std::to_string(width) + "\t" + std::to_string(height) + "\n"),
              std::string::npos)
        << run.out;
    // A new instance from the saved state opens at that size.
    const HostRun reopened = runHost(display.name(), "--load-chunk " + state + " --editor --do idle:2 --do rect");
    ASSERT_EQ(reopened.status, 0) << reopened.out;
    const size_t asked = reopened.out.find("editor\trect\t");
    const size_t opened = reopened.out.find("editor\topen\t1\n");
    ASSERT_LT(asked, opened) << reopened.out;
    EXPECT_EQ(reopened.out.substr(asked, opened - asked).find("editor\trect\t" + std::to_string(width) + "\t" +
                                                              std::to_string(height) + "\n"),
              0u)
        << reopened.out;
}

TEST_F(EditorInHostWindow, MultiPageLevelAndSystemReceiveChannelReachTheSound)
{
    // Multi 1 splits the keyboard on channel 1: section 1 below C2, section
    // 2 from C2, and to reach its storage's level each of them played again
    // by three sections after them, a few cents apart. A low note, then a
    // high one.
    const std::string split = writeMidi("split.mid", {{0, 36, 0.0, 0.6}, {0, 72, 1.0, 1.6}});
    const std::string toMulti =
        " --do idle:5 --do click:" + panel.at("btModeMulti") + " --do idle:5 --do click:" + panel.at("btEdit") +
        " --do idle:5";
    ControlHelpers::ViewMap strip;
    ControlHelpers::getViewsByCustomViewName(strip, panel.h.find<CViewContainer>("multiSectionB"));
    const std::string level = panel.at(ControlHelpers::initView<CKnobBase>(strip, "multiSectionLevel"));
    const std::string reference = temp("reference.wav"), edited = temp("edited.wav");
    const HostRun before = runHost(display.name(), "--editor" + toMulti + " --midi " + split + " --tail 0.5 --out " +
                                                       reference);
    const HostRun after = runHost(display.name(), "--editor" + toMulti + " --do drag:" + level +
                                                      ",0,150,10 --do idle:5 --midi " + split +
                                                      " --tail 0.5 --out " + edited);
    ASSERT_EQ(before.status, 0) << before.out;
    ASSERT_EQ(after.status, 0) << after.out;
    // The host saw section 2's level go down, and no other section's.
    const std::vector<float> levels = automation(after.out, k1lib::Param_MultiS2Level);
    ASSERT_FALSE(levels.empty()) << after.out;
    EXPECT_LT(levels.back(), 0.05f) << after.out;
    for (int section = 0; section < 8; ++section)
    {
        if (section == 1)
            continue;
        EXPECT_TRUE(automation(after.out, k1lib::Param_MultiS1Level + section).empty()) << section;
    }
    vsthost::Audio a, b;
    ASSERT_TRUE(vsthost::readWav(reference, a));
    ASSERT_TRUE(vsthost::readWav(edited, b));
    const double low = rms(a, 0.05, 0.55), high = rms(a, 1.05, 1.55);
    ASSERT_GT(low, 1e-3);
    ASSERT_GT(high, 1e-3);
    EXPECT_NEAR(rms(b, 0.05, 0.55) / low, 1.0, 0.05);
    // One of the high note's four copies falls silent: about 1.2 dB.
    EXPECT_LT(rms(b, 1.05, 1.55), high * 0.95);

    // Single mode, the system page: receive channel 2 (the second entry of
    // the channel menu, chosen with the keys).
    const std::string twoChannels = writeMidi("channels.mid", {{0, 60, 0.0, 0.6}, {1, 60, 1.0, 1.6}});
    const std::string received = temp("received.wav");
    const HostRun channel = runHost(display.name(), "--editor --do idle:5 --do click:" + panel.at("btSystem") +
                                                        " --do idle:5 --do click:" +
                                                        panel.at("midiReceiveChannel") +
                                                        " --do idle:5 --do key:Down*2 --do key:Return --do idle:5"
                                                        " --midi " +
                                                        twoChannels + " --tail 0.5 --out " + received);
    ASSERT_EQ(channel.status, 0) << channel.out;
    vsthost::Audio c;
    ASSERT_TRUE(vsthost::readWav(received, c));
    EXPECT_LT(rms(c, 0.0, 0.95), 1e-5);
    EXPECT_GT(rms(c, 1.05, 1.55), 1e-3);
}
