#pragma once

// A host's audio thread for a session with an open editor: renders block
// after block at the pace of real time (output discarded), with the MIDI
// and the parameter writes queued by the host's other thread delivered at
// the next block start.

#include "tools/vsthost/hostedPlugin.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace vsthost
{

class LiveAudio
{
public:
    explicit LiveAudio(HostedPlugin& plugin) : plugin_(plugin) {}
    ~LiveAudio() { stop(); }
    LiveAudio(const LiveAudio&) = delete;
    LiveAudio& operator=(const LiveAudio&) = delete;

    // Resumes the plug-in and starts rendering. busy: every eighth block
    // sends a program change (0-7, cycling), and every block writes one of
    // busyParameters (in turn, values sweeping 0..1).
    void start(bool busy, std::vector<int> busyParameters = {});
    // Renders no more; suspends the plug-in.
    void stop();

    // For the next block.
    void sendMidi(std::vector<uint8_t> bytes);
    void setParameter(int index, float value);
    // Returns once count more blocks have been rendered.
    void waitBlocks(int count);

private:
    void run(bool busy, const std::vector<int>& busyParameters);

    HostedPlugin& plugin_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable rendered_;
    bool running_ = false;
    uint64_t blocks_ = 0;
    std::vector<std::vector<uint8_t>> midi_;
    std::vector<std::pair<int, float>> parameters_;
};

} // namespace vsthost
