// The vsthost program end to end, on SineTest: listings, chunk files, MIDI
// out reports, MIDI file input and its failures.

#include "tools/vsthost/wavFile.h"

#include "tests/support/testDisplay.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace
{
struct ToolRun
{
    int status = -1;
    std::string out;
};

ToolRun vsthost(const std::string& args)
{
    ToolRun run;
    std::string command = std::string(VSTHOST_PATH) + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string temp(const std::string& name)
{
    return ::testing::TempDir() + "vsthost_" + name;
}

const std::string kPlugin = std::string(SINETEST_PATH) + " --tail 0.1";

TEST(VstHostTool, ListsParametersProgramsAndIdentity)
{
    ToolRun run = vsthost(kPlugin + " --program 2 --info --list-params --list-programs");
    ASSERT_EQ(run.status, 0) << run.out;
    for (const char* line : {"name\tSineTest Synthesizer For Tests O\n", "unique id\tQSin\t",
                             "param\t1\tDetune A\t-6.00000\tsemitone\t0.25\n",
                             "program\t2\tLow Detuned Sine With A \n", "program\t3\tQuiet\n",
                             "flags\t synth editor chunks replacing\n"})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
}

TEST(VstHostTool, ChunkSavedAndLoadedBackRendersTheSame)
{
    for (std::string mode : {"", " --preset-chunks"})
    {
        const std::string tag = mode.empty() ? "bank" : "program";
        std::string chunk = temp(tag + ".bin");
        std::string a = temp(tag + "_a.wav");
        std::string b = temp(tag + "_b.wav");
        ToolRun save = vsthost(kPlugin + mode + " --program 1 --param 1=0.8 --save-chunk " + chunk + " --out " + a);
        ASSERT_EQ(save.status, 0) << save.out;
        ToolRun load = vsthost(kPlugin + mode + " --program 1 --param 0=0.1 --param 1=0.2 --load-chunk " + chunk +
                           " --out " + b);
        ASSERT_EQ(load.status, 0) << load.out;
        vsthost::Audio first, second;
        ASSERT_TRUE(vsthost::readWav(a, first));
        ASSERT_TRUE(vsthost::readWav(b, second));
        EXPECT_EQ(first.channels, second.channels) << mode;
        EXPECT_EQ(first.sampleRate, 44100);
        EXPECT_EQ(first.frames(), static_cast<size_t>(2.1 * 44100));
        EXPECT_NE(save.out.find("channel\t0\tpeak\t0."), std::string::npos) << save.out;
    }
}

TEST(VstHostTool, ReportsOutgoingMidiAndTakesMidiFiles)
{
    std::string midi = temp("notes.mid");
    {
        const unsigned char file[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
                                      'M', 'T', 'r', 'k', 0, 0, 0, 12,
                                      0x00, 0x90, 69, 100, 0x60, 0x80, 69, 0, 0x00, 0xff, 0x2f, 0x00};
        std::ofstream(midi, std::ios::binary).write(reinterpret_cast<const char*>(file), sizeof file);
    }
    std::string wav = temp("notes.wav");
    ToolRun run = vsthost(kPlugin + " --rate 48000 --block 100 --midi " + midi + " --midi-out --out " + wav);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("midi out\t0\t9f 45 64\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("rendered\t28800 frames\t2 channels\t48000 Hz\n"), std::string::npos) << run.out;

    ToolRun phrase = vsthost(kPlugin + " --midi-out --out " + wav);
    EXPECT_NE(phrase.out.find("midi out\t22050\t9f 35 64\n"), std::string::npos) << phrase.out;
}

TEST(VstHostTool, FailuresAnswerNonZero)
{
    EXPECT_EQ(vsthost("").status, 2);
    EXPECT_EQ(vsthost(kPlugin + " --block 0").status, 2);
    EXPECT_EQ(vsthost(kPlugin + " --param 1").status, 2);
    ToolRun missing = vsthost(temp("missing.so"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("Cannot load"), std::string::npos) << missing.out;
    ToolRun noFile = vsthost(kPlugin + " --load-chunk " + temp("none.bin"));
    EXPECT_EQ(noFile.status, 1);
    ToolRun notMidi = vsthost(kPlugin + " --midi " + std::string(SINETEST_PATH) + " --out " + temp("x.wav"));
    EXPECT_EQ(notMidi.status, 1);
    EXPECT_NE(notMidi.out.find("Not a Standard MIDI File"), std::string::npos) << notMidi.out;
}

TEST(VstHostTool, EditorSessionOpensTheWindowAtItsSizeFollowsResizesAndRunsTheSteps)
{
    k1test::TestDisplay display;
    if (display.name().empty())
        GTEST_SKIP() << display.problem();
    const char* before = std::getenv("DISPLAY");
    const std::string saved = before ? before : "";
    setenv("DISPLAY", display.name().c_str(), 1);
    const std::string shot = temp("editor.png");
    std::remove(shot.c_str());
    ToolRun run = vsthost(kPlugin + " --editor --do idle:2 --do shot:" + shot +
                          " --do param:0=0.25 --do reopen --do rect --do memory --busy-audio --list-params");
    unsetenv("DISPLAY");
    ToolRun headless = vsthost(kPlugin + " --editor");
    if (!saved.empty())
        setenv("DISPLAY", saved.c_str(), 1);

    ASSERT_EQ(run.status, 0) << run.out;
    // Asked for its size, opened in a window of it, asked to resize at each
    // opening (SineTest does), and closed before the second opening.
    const std::string opening = "editor\trect\t300\t200\neditor\tsize window\t300\t200\neditor\topen\t1\n";
    const size_t first = run.out.find(opening);
    ASSERT_NE(first, std::string::npos) << run.out;
    const size_t close = run.out.find("editor\tclose\n", first);
    ASSERT_NE(close, std::string::npos) << run.out;
    EXPECT_NE(run.out.find(opening, close), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("shot\t" + shot + "\t300\t200\n"), std::string::npos) << run.out;
    std::ifstream png(shot, std::ios::binary);
    const std::string signature(std::istreambuf_iterator<char>(png), {});
    EXPECT_EQ(signature.substr(0, 4), "\x89PNG");
    EXPECT_NE(run.out.find("memory\t"), std::string::npos) << run.out;
    // The host's automation reached the plug-in through its audio thread.
    EXPECT_NE(run.out.find("param\t0\tVolume\t"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\t0.25\n"), std::string::npos) << run.out;

    EXPECT_EQ(headless.status, 1);
    EXPECT_NE(headless.out.find("Cannot open the X display"), std::string::npos) << headless.out;
    EXPECT_EQ(vsthost(kPlugin + " --editor --do drag:1,2,3").status, 2);
}

} // namespace
