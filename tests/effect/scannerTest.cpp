// Real hosts' plug-in scanners load Darvello.so in their own processes and
// recognise it: Ardour 7 (its VST2 scanner and cache file), Qtractor and
// MusE. Each test is skipped only when its scanner is not installed.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
namespace fs = std::filesystem;

struct ScanRun
{
    int status = -1;
    std::string out;
};

// In sanitizer builds the module needs the sanitizer runtime, which a host
// program does not bring: it is preloaded into the scanner.
std::string environment()
{
    std::string env;
#ifdef SANITIZER_RUNTIME
    env = std::string("LD_PRELOAD=") + SANITIZER_RUNTIME + " ASAN_OPTIONS=detect_leaks=0 ";
#endif
    return env;
}

// Runs the shell command and collects its output. With lastLine given, the
// command (which must exec the program) is killed once that text appears:
// with the sanitizer runtime preloaded, one scanner deadlocks in a system
// library's exit handler after its work is done.
ScanRun run(const std::string& command, const std::string& lastLine = {})
{
    ScanRun result;
    int fds[2];
    if (pipe(fds) != 0)
        return result;
    const pid_t pid = fork();
    if (pid == 0)
    {
        dup2(fds[1], 1);
        dup2(fds[1], 2);
        close(fds[0]);
        close(fds[1]);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char buffer[4096];
    ssize_t n;
    bool killed = false;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
    {
        result.out.append(buffer, static_cast<size_t>(n));
        if (!lastLine.empty() && result.out.find(lastLine) != std::string::npos &&
            result.out.find('\n', result.out.find(lastLine)) != std::string::npos)
        {
            kill(pid, SIGKILL);
            killed = true;
            break;
        }
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = killed ? 0 : WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

#ifdef SANITIZER_RUNTIME
const std::string kArdourLastLine = "Saved VST2 plugin cache";
#else
const std::string kArdourLastLine;
#endif

std::string readText(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path freshDirectory(const std::string& name)
{
    fs::path dir = fs::path(::testing::TempDir()) / ("darvello_" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(Scanners, Ardour7FindsAnInstrumentWithMidiInTwoOutputsAndAnEditor)
{
    const char* scanner = "/usr/lib/ardour7/ardour-vst-scanner";
    if (access(scanner, X_OK) != 0)
        GTEST_SKIP() << scanner << " is not installed";
    // The scanner writes its cache below XDG_CACHE_HOME, and answers 0 even
    // when the plug-in fails: the printed result and the cache file count.
    fs::path cache = freshDirectory("ardour");
    ScanRun r = run("XDG_CACHE_HOME=" + cache.string() + " LD_LIBRARY_PATH=/usr/lib/ardour7 " + environment() +
                    "exec " + scanner + " -f " + DARVELLO_PATH,
                kArdourLastLine);
    ASSERT_NE(r.out.find("Found Plugin: 'olvD' Darvello"), std::string::npos) << r.out;

    std::string info;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(cache))
        if (e.path().extension() == ".v2i")
            info = readText(e.path());
    ASSERT_FALSE(info.empty()) << "no .v2i cache file\n" << r.out;
    for (const char* field : {"id=\"1148611695\"", "name=\"Darvello\"", "creator=\"Quorwen\"",
                              "category=\"Instrument\"", "n_inputs=\"0\"", "n_outputs=\"2\"",
                              "n_midi_inputs=\"1\"", "is_instrument=\"1\"", "can_process_replace=\"1\"",
                              "has_editor=\"1\""})
        EXPECT_NE(info.find(field), std::string::npos) << field << "\n" << info;
}

TEST(Scanners, QtractorReportsTheParametersTheUniqueIdAndTheEditor)
{
    const char* scanner = "/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan";
    if (access(scanner, X_OK) != 0)
        GTEST_SKIP() << scanner << " is not installed";
    // Requests on standard input, one "VST|..." line per plug-in found.
    ScanRun r = run("echo 'VST:" + std::string(DARVELLO_PATH) + "' | " + environment() + scanner);
    EXPECT_EQ(r.status, 0) << r.out;
    const std::string line = "VST|Darvello|0:2|1:1|209:0|GUI,EXT,RT|" + std::string(DARVELLO_PATH) + "|0|0x44766c6f\n";
    EXPECT_NE(r.out.find(line), std::string::npos) << r.out;
}

TEST(Scanners, MusEReportsTheParametersAndTheUniqueId)
{
    const char* scanner = "/usr/bin/muse_plugin_scan";
    if (access(scanner, X_OK) != 0)
        GTEST_SKIP() << scanner << " is not installed";
    // Type 16 is a native Linux VST; the output file must exist beforehand.
    fs::path out = freshDirectory("muse") / "scan.xml";
    std::ofstream(out).close();
    ScanRun r = run(environment() + scanner + " -t 16 -p -f " + DARVELLO_PATH + " -o " + out.string());
    EXPECT_EQ(r.status, 0) << r.out;
    const std::string xml = readText(out);
    for (const char* field : {"<type>16</type>", "<uniqueID>1148611695</uniqueID>", "<name>Darvello</name>",
                              "<maker>Quorwen</maker>", "<ctlInports>209</ctlInports>", "<outports>2</outports>"})
        EXPECT_NE(xml.find(field), std::string::npos) << field << "\n" << xml << r.out;
}

} // namespace
