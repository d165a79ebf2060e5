// The desktop's file dialog: zenity, or kdialog where zenity is missing,
// started without a shell. Stand-in programs of those names on PATH record
// the arguments they get and answer like the real ones (a path on standard
// output, status 1 for a cancel), so no desktop is needed.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/gui/guiTestSupport.h"

using namespace VSTGUI;
using guitest::DemoWindow;
namespace fs = std::filesystem;

namespace
{
// A folder holding one stand-in dialog program, put alone on PATH. The
// program writes its arguments (NUL-separated) to "args", waits until the
// file "served" exists (the plug-in side makes it from a timer, which only
// fires while the window is served), then prints "answer" or, without one,
// ends with the status in "status" (1, a cancel, by default).
class FakeDialog
{
public:
    explicit FakeDialog(const std::string& program)
    {
        dir = fs::temp_directory_path() / ("darvello-dialog-" + std::to_string(getpid()) + "-" + program);
        fs::remove_all(dir);
        fs::create_directories(dir);
        const fs::path script = dir / program;
        std::ofstream(script) << "#!/bin/sh\n"
                                 "d=\"${0%/*}\"\n"
                                 "printf '%s\\0' \"$@\" > \"$d/args\"\n"
                                 "n=0\n"
                                 "while [ ! -e \"$d/served\" ]; do /bin/sleep 0.01; n=$((n+1));"
                                 " [ $n -gt 3000 ] && exit 9; done\n"
                                 "if [ -e \"$d/answer\" ]; then /bin/cat \"$d/answer\"; exit 0; fi\n"
                                 "if [ -e \"$d/status\" ]; then exit $(/bin/cat \"$d/status\"); fi\n"
                                 "exit 1\n";
        fs::permissions(script, fs::perms::owner_all);
        const char* old = std::getenv("PATH");
        oldPath = old ? old : "";
        setenv("PATH", dir.c_str(), 1);
    }
    ~FakeDialog()
    {
        setenv("PATH", oldPath.c_str(), 1);
        fs::remove_all(dir);
    }
    void answer(const std::string& text) { std::ofstream(dir / "answer") << text; }
    void endWith(int status) { std::ofstream(dir / "status") << status; }
    void markServed() { std::ofstream(dir / "served") << "1"; }
    std::vector<std::string> args() const
    {
        std::ifstream in(dir / "args");
        std::vector<std::string> out;
        std::string a;
        while (std::getline(in, a, '\0'))
            out.push_back(a);
        return out;
    }

    fs::path dir;

private:
    std::string oldPath;
};

// A save dialog on the demo window through the desktop's platform, with a
// timer that lets the stand-in answer once the window has been served.
struct DialogRun
{
    bool result = false;
    int calls = 0;
    std::string chosen;
    bool veiled = false;
    bool clickReachedWindow = false;
};

DialogRun runSaveDialog(DemoWindow& w, FakeDialog& fake, const std::string& title)
{
    setPlatformFactory(nullptr); // the desktop's dialogs; the window stays off-screen
    DialogRun run;
    auto* timer = new CVSTGUITimer(
        [&](CVSTGUITimer* t) {
            run.veiled = w.frame->hasOverlay();
            // Input while the dialog is open goes nowhere.
            guitest::Recorder recorder;
            w.listenToAll(&recorder);
            w.window->click(w.centerOf("kick1"));
            run.clickReachedWindow = !recorder.calls.empty();
            w.listenToAll(nullptr);
            fake.markServed();
            t->stop();
        },
        1);
    CNewFileSelector* selector = CNewFileSelector::create(w.frame, CNewFileSelector::kSelectSaveFile);
    if (selector)
    {
        selector->setTitle(title);
        selector->setDefaultSaveName("patch; rm -rf ~ $(id).syx");
        selector->setInitialDirectory("/tmp/my presets");
        selector->addFileExtension(CFileExtension("Sysex File (*.syx)", "syx"));
        selector->addFileExtension(CFileExtension("Midi File (*.mid)", "mid"));
        run.result = selector->run([&](CNewFileSelector* s) {
            ++run.calls;
            run.chosen = s->getSelectedFile(0);
        });
        selector->forget();
    }
    timer->forget();
    return run;
}
} // namespace

TEST(DesktopFileDialog, ZenityAnswersWhileTheWindowIsServedAndACancelIsACancel)
{
    DemoWindow w;
    FakeDialog zenity("zenity");
    zenity.answer("/tmp/my presets/bank \"A\".syx\n");
    DialogRun run = runSaveDialog(w, zenity, "Choose a sysex file");
    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.calls, 1);
    EXPECT_EQ(run.chosen, "/tmp/my presets/bank \"A\".syx");
    EXPECT_TRUE(run.veiled);
    EXPECT_FALSE(run.clickReachedWindow);
    EXPECT_FALSE(w.frame->hasOverlay());
    // Every argument arrives as it was written: no shell took part.
    const std::vector<std::string> expected = {"--file-selection",
                                               "--save",
                                               "--confirm-overwrite",
                                               "--title=Choose a sysex file",
                                               "--filename=/tmp/my presets/patch; rm -rf ~ $(id).syx",
                                               "--file-filter=Sysex File (*.syx) | *.syx",
                                               "--file-filter=Midi File (*.mid) | *.mid"};
    EXPECT_EQ(zenity.args(), expected);

    // The user cancels: no completion, nothing logged, the window is free again.
    fs::remove(zenity.dir / "answer");
    fs::remove(zenity.dir / "served");
    testing::internal::CaptureStdout();
    run = runSaveDialog(w, zenity, "Again");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.calls, 0);
    EXPECT_FALSE(w.frame->hasOverlay());

    // A dialog that fails is not taken for a choice, and says why.
    fs::remove(zenity.dir / "served");
    zenity.endWith(5);
    testing::internal::CaptureStdout();
    run = runSaveDialog(w, zenity, "Broken");
    EXPECT_NE(testing::internal::GetCapturedStdout().find("zenity ended with status 5"), std::string::npos);
    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.calls, 0);
}

TEST(DesktopFileDialog, KdialogWhereZenityIsMissing)
{
    DemoWindow w;
    FakeDialog kdialog("kdialog");
    kdialog.answer("/home/me/patch.syx\n");
    const DialogRun run = runSaveDialog(w, kdialog, "Choose a sysex file");
    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.chosen, "/home/me/patch.syx");
    const std::vector<std::string> expected = {"--title", "Choose a sysex file", "--getsavefilename",
                                               "/tmp/my presets/patch; rm -rf ~ $(id).syx",
                                               "*.syx|Sysex File (*.syx)\n*.mid|Midi File (*.mid)"};
    EXPECT_EQ(kdialog.args(), expected);

    // Neither program: no selector at all.
    setenv("PATH", "/nonexistent", 1);
    EXPECT_EQ(CNewFileSelector::create(w.frame), nullptr);
}
