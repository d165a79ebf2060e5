#pragma once

// Standard output caught in a file while a test drives the plug-in. Lines the
// plug-in logs may be printed by its log writer thread a moment after the
// call that logged them, so a test waits for the texts it expects (for a few
// seconds at most) instead of reading what happens to be printed when it
// stops listening.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>

#include <stdlib.h>
#include <unistd.h>

namespace k1test
{
class StdoutCapture
{
public:
    StdoutCapture()
    {
        std::fflush(stdout);
        char name[] = "/tmp/darvello-stdout-XXXXXX";
        const int fd = mkstemp(name);
        m_path = name;
        m_saved = dup(STDOUT_FILENO);
        dup2(fd, STDOUT_FILENO);
        close(fd);
    }
    ~StdoutCapture()
    {
        stop();
        std::remove(m_path.c_str());
    }
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // What has been printed, once every one of `texts` is in it or after the
    // deadline; the capture ends there.
    std::string waitFor(std::initializer_list<std::string_view> texts)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        std::string out = read();
        while (!holdsAll(out, texts) && std::chrono::steady_clock::now() < deadline)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            out = read();
        }
        stop();
        return read();
    }

private:
    std::string read()
    {
        std::fflush(stdout);
        std::ifstream in(m_path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static bool holdsAll(const std::string& out, std::initializer_list<std::string_view> texts)
    {
        for (std::string_view t : texts)
            if (out.find(t) == std::string::npos)
                return false;
        return true;
    }

    void stop()
    {
        if (m_saved < 0)
            return;
        std::fflush(stdout);
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    std::string m_path;
    int m_saved = -1;
};
} // namespace k1test
