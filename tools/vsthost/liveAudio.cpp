#include "tools/vsthost/liveAudio.h"

#include "tools/vsthost/blockBuffers.h"

#include <chrono>

namespace vsthost
{
void LiveAudio::start(bool busy, std::vector<int> busyParameters)
{
    if (thread_.joinable())
        return;
    plugin_.resume();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = true;
    }
    thread_ = std::thread([this, busy, list = std::move(busyParameters)] { run(busy, list); });
}

void LiveAudio::stop()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
    }
    rendered_.notify_all();
    thread_.join();
    plugin_.suspend();
}

void LiveAudio::sendMidi(std::vector<uint8_t> bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    midi_.push_back(std::move(bytes));
}

void LiveAudio::setParameter(int index, float value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    parameters_.emplace_back(index, value);
}

void LiveAudio::waitBlocks(int count)
{
    std::unique_lock<std::mutex> lock(mutex_);
    const uint64_t until = blocks_ + static_cast<uint64_t>(count);
    rendered_.wait(lock, [&] { return !running_ || blocks_ >= until; });
}

void LiveAudio::run(bool busy, const std::vector<int>& busyParameters)
{
    const int block = plugin_.blockSize();
    const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(block / static_cast<double>(plugin_.sampleRate())));
    Pins inputs, outputs;
    EventBlock events;
    std::vector<TimedMidi> midi;
    std::vector<int64_t> frames;
    std::vector<std::pair<int, float>> parameters;
    int64_t position = 0;
    uint64_t count = 0;
    auto next = std::chrono::steady_clock::now();
    for (;;)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!running_)
                break;
            midi.clear();
            for (std::vector<uint8_t>& bytes : midi_)
                midi.push_back({0.0, std::move(bytes)});
            midi_.clear();
            parameters.swap(parameters_);
            parameters_.clear();
        }
        if (busy)
        {
            if (!busyParameters.empty())
                parameters.emplace_back(busyParameters[count % busyParameters.size()],
                                        static_cast<float>(count % 100) / 99.0f);
            if (count % 8 == 0)
                midi.push_back({0.0, {0xC0, static_cast<uint8_t>((count / 8) % 8)}});
        }
        if (plugin_.takeIoChange() || count == 0)
        {
            inputs.resize(plugin_.numInputs(), block);
            outputs.resize(plugin_.numOutputs(), block);
        }
        plugin_.setPosition(position);
        for (const auto& [index, value] : parameters)
            plugin_.setParameter(index, value);
        parameters.clear();
        frames.assign(midi.size(), position);
        VstEvents* blockEvents = events.fill(midi, frames, 0, midi.size(), position);
        plugin_.process(blockEvents, inputs.pointers(), outputs.pointers(), block);
        position += block;
        ++count;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            blocks_ = count;
        }
        rendered_.notify_all();
        next += period;
        std::this_thread::sleep_until(next);
    }
}

} // namespace vsthost
