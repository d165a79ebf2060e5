// Real hosts' plug-in scanners load Darvello.so in their own processes and
// recognise it: Ardour 7 (its VST2 scanner and cache file), Qtractor and
// MusE. Each test is skipped only when its scanner is not installed.

#include <gtest/gtest.h>

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

ScanRun run(const std::string& command)
{
    ScanRun result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

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

TEST(Scanners, Ardour7FindsAnInstrumentWithMidiInAndTwoOutputs)
{
    const char* scanner = "/usr/lib/ardour7/ardour-vst-scanner";
    if (access(scanner, X_OK) != 0)
        GTEST_SKIP() << scanner << " is not installed";
    // The scanner writes its cache below XDG_CACHE_HOME, and answers 0 even
    // when the plug-in fails: the printed result and the cache file count.
    fs::path cache = freshDirectory("ardour");
    ScanRun r = run("XDG_CACHE_HOME=" + cache.string() + " LD_LIBRARY_PATH=/usr/lib/ardour7 " + environment() +
                scanner + " -f " + DARVELLO_PATH);
    ASSERT_NE(r.out.find("Found Plugin: 'olvD' Darvello"), std::string::npos) << r.out;

    std::string info;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(cache))
        if (e.path().extension() == ".v2i")
            info = readText(e.path());
    ASSERT_FALSE(info.empty()) << "no .v2i cache file\n" << r.out;
    for (const char* field : {"id=\"1148611695\"", "name=\"Darvello\"", "creator=\"Quorwen\"",
                              "category=\"Instrument\"", "n_inputs=\"0\"", "n_outputs=\"2\"",
                              "n_midi_inputs=\"1\"", "is_instrument=\"1\"", "can_process_replace=\"1\""})
        EXPECT_NE(info.find(field), std::string::npos) << field << "\n" << info;
}

TEST(Scanners, QtractorReportsTheParametersAndTheUniqueId)
{
    const char* scanner = "/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan";
    if (access(scanner, X_OK) != 0)
        GTEST_SKIP() << scanner << " is not installed";
    // Requests on standard input, one "VST|..." line per plug-in found.
    ScanRun r = run("echo 'VST:" + std::string(DARVELLO_PATH) + "' | " + environment() + scanner);
    EXPECT_EQ(r.status, 0) << r.out;
    const std::string line = "VST|Darvello|0:2|1:1|209:0|EXT,RT|" + std::string(DARVELLO_PATH) + "|0|0x44766c6f\n";
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
