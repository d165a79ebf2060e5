// The audio thread as a busy host drives it: the plug-in through its VST
// entries, started with effMainsChanged, then ten minutes of audio at
// 44.1 kHz in blocks of 512 frames with notes and controllers, bursts of a
// thousand events (program changes across both play modes, K1 dumps, dump
// requests and parameter changes, damaged and oversized sysex), once a flood
// of 128 k events in one delivery, and host automation of every parameter
// with values a host should not send. All the
// while standard output is a pipe that nobody reads, already full.
//
// The audio thread must allocate nothing (the first block included), take
// no lock but the facade's engine lock, write nothing to standard output and
// never wait for it. The simulation need not keep up with real time: most of
// it is quiet, so it runs in seconds.

#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/uio.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "engine/engine.h"
#include "patch/log.h"
#include "patch/sysex.h"
#include "vst/myVstAudioEffect.h"
#include "tests/support/countingAllocator.h"

// ---- What the audio thread does besides allocating -------------------------
// The locks it takes and its writes to standard output are seen through the
// C library's own entry points, which this program provides in front of it.

namespace
{
thread_local bool t_watched = false;
constexpr size_t kMaxLocks = 16;
std::array<std::atomic<const void*>, kMaxLocks> g_locks{};
std::atomic<size_t> g_lockCount{0};
std::atomic<long> g_stdoutWrites{0};

using LockFn = int (*)(pthread_mutex_t*);
using WriteFn = ssize_t (*)(int, const void*, size_t);
using WritevFn = ssize_t (*)(int, const iovec*, int);
LockFn g_lock = nullptr;
LockFn g_tryLock = nullptr;
WriteFn g_write = nullptr;
WritevFn g_writev = nullptr;

__attribute__((constructor)) void findTheLibraryFunctions()
{
    g_lock = reinterpret_cast<LockFn>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    g_tryLock = reinterpret_cast<LockFn>(dlsym(RTLD_NEXT, "pthread_mutex_trylock"));
    g_write = reinterpret_cast<WriteFn>(dlsym(RTLD_NEXT, "write"));
    g_writev = reinterpret_cast<WritevFn>(dlsym(RTLD_NEXT, "writev"));
}

// Remembers each distinct mutex a watched thread locks (no allocation).
void noteLock(const void* mutex)
{
    if (!t_watched)
        return;
    const size_t n = std::min(g_lockCount.load(), kMaxLocks);
    for (size_t i = 0; i < n; ++i)
        if (g_locks[i].load() == mutex)
            return;
    const size_t slot = g_lockCount.fetch_add(1);
    if (slot < kMaxLocks)
        g_locks[slot].store(mutex);
}
} // namespace

extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex)
{
    noteLock(mutex);
    return g_lock(mutex);
}

extern "C" int pthread_mutex_trylock(pthread_mutex_t* mutex)
{
    noteLock(mutex);
    return g_tryLock(mutex);
}

extern "C" ssize_t write(int fd, const void* data, size_t size)
{
    if (t_watched && fd == STDOUT_FILENO)
        g_stdoutWrites.fetch_add(1);
    return g_write(fd, data, size);
}

extern "C" ssize_t writev(int fd, const iovec* parts, int count)
{
    if (t_watched && fd == STDOUT_FILENO)
        g_stdoutWrites.fetch_add(1);
    return g_writev(fd, parts, count);
}

namespace
{
constexpr float kRate = 44100.0f;
constexpr int kBlock = 512;
constexpr long kBlocks = static_cast<long>(600.0 * kRate / kBlock); // ten minutes
constexpr long kBurstEvery = 1000;                                  // blocks
constexpr size_t kBurst = 1000;                                     // events
// Once, far more events than a block may bring, delivered in one call: what
// the instrument takes fits the storage it reserved, the rest is refused.
constexpr long kFloodBlock = kBlocks / 2 + 500;
constexpr size_t kFlood = 128 * 1024;

// ---- The host ---------------------------------------------------------------

std::atomic<long> g_automations{0};
std::atomic<long> g_midiOut{0};
std::atomic<long> g_sysexOut{0};

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    switch (opcode)
    {
    case audioMasterVersion: return kVstVersion;
    case audioMasterAutomate: g_automations.fetch_add(1); return 1;
    case audioMasterProcessEvents:
    {
        const auto* events = static_cast<const VstEvents*>(ptr);
        VstEvent* const* list = events->events;
        for (VstInt32 i = 0; i < events->numEvents; ++i)
            (list[i]->type == kVstSysExType ? g_sysexOut : g_midiOut).fetch_add(1);
        return 1;
    }
    case audioMasterIOChanged:
    case audioMasterUpdateDisplay:
    case audioMasterWantMidi: return 1;
    default: return 0;
    }
}

// ---- The events, all made before the audio thread starts --------------------

struct Lcg
{
    uint32_t state = 12345;
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    uint32_t below(uint32_t n) { return next() % n; }
};

// One block's VstEvents with room for a burst, and the records it points at.
struct EventBlock
{
    std::vector<VstMidiEvent> midi;
    std::vector<VstMidiSysexEvent> sysex;
    std::vector<VstIntPtr> header; // VstEvents header and its pointer list

    EventBlock() : midi(kBurst), sysex(kBurst), header(2 + kBurst + 2) {}
    VstEvents* events() { return reinterpret_cast<VstEvents*>(header.data()); }
};

struct Scenario
{
    std::vector<std::vector<uint8_t>> sysex; // messages the bursts send
    std::vector<std::vector<VstEvent*>> bursts;
    EventBlock storage[8]; // one per burst kind, filled once
    EventBlock small;      // the ordinary block's few events
    std::vector<VstMidiEvent> flood = std::vector<VstMidiEvent>(kFlood);
    std::vector<VstIntPtr> floodHeader = std::vector<VstIntPtr>(2 + kFlood + 2);

    Scenario()
    {
        using k1lib::Sysex;
        using k1lib::StorageLocation;
        k1lib::initFactoryData();
        std::vector<uint8_t> m;
        Sysex::writeSingle(m, k1lib::Engine::getFactorySingle(7), 0, StorageLocation::I, 5);
        sysex.push_back(m);
        std::vector<k1lib::SinglePreset> page(k1lib::factorySingles.begin() + 64, k1lib::factorySingles.begin() + 96);
        Sysex::writeSingles(m, page, 0, StorageLocation::i, 0);
        sysex.push_back(m);
        Sysex::writeMulti(m, k1lib::Engine::getFactoryMulti(9), 0, StorageLocation::I, 2);
        sysex.push_back(m);
        Sysex::writeOneSingleRequest(m, 0, StorageLocation::I, 3);
        sysex.push_back(m);
        Sysex::writeAllSinglesRequest(m, 0, StorageLocation::i);
        sysex.push_back(m);
        Sysex::writeMachineIdRequest(m, 0);
        sysex.push_back(m);
        sysex.push_back({0xF0, 0x40, 0x00, 0x00, 0x00, 0x03, 0x00, 0x45, 0xF7}); // one multi requested
        sysex.push_back({0xF0, 0x40, 0x00, 0x01, 0x00, 0x03, 0x00, 0x40, 0xF7}); // all multis requested
        Sysex::writeParameterChange(m, 0, {2, 0, 40});
        sysex.push_back(m);
        Sysex::writeSingle(m, k1lib::Engine::getFactorySingle(3), 0, StorageLocation::I, 6);
        m[8 + 40] ^= 0x01; // its checksum fails
        sysex.push_back(m);
        m.assign(20000, 0x11); // longer than any K1 message
        m.front() = 0xF0;
        m.back() = 0xF7;
        sysex.push_back(m);

        Lcg rng;
        for (EventBlock& block : storage)
        {
            std::vector<VstEvent*> burst;
            for (size_t i = 0; i < kBurst; ++i)
            {
                const int32_t offset = static_cast<int32_t>(rng.below(kBlock));
                const uint32_t kind = rng.below(100);
                if (kind < 3)
                {
                    const std::vector<uint8_t>& bytes = sysex[rng.below(static_cast<uint32_t>(sysex.size()))];
                    VstMidiSysexEvent& e = block.sysex[i];
                    e = VstMidiSysexEvent{kVstSysExType, sizeof(VstMidiSysexEvent), offset, 0,
                                          static_cast<VstInt32>(bytes.size()), 0,
                                          const_cast<char*>(reinterpret_cast<const char*>(bytes.data())), 0};
                    burst.push_back(reinterpret_cast<VstEvent*>(&e));
                    continue;
                }
                VstMidiEvent& e = block.midi[i];
                e = VstMidiEvent{};
                e.type = kVstMidiType;
                e.byteSize = sizeof(VstMidiEvent);
                e.deltaFrames = offset;
                const auto channel = static_cast<char>(rng.below(16));
                if (kind < 8) // program changes, some with a bank, some of multis
                {
                    e.midiData[0] = static_cast<char>(0xC0 | channel);
                    e.midiData[1] = static_cast<char>(rng.below(128));
                }
                else if (kind < 12)
                {
                    e.midiData[0] = static_cast<char>(0xB0 | channel);
                    e.midiData[1] = rng.below(2) ? 0 : 32; // bank select
                    e.midiData[2] = static_cast<char>(rng.below(13));
                }
                else if (kind < 50)
                {
                    e.midiData[0] = static_cast<char>((kind < 30 ? 0x90 : 0x80) | channel);
                    e.midiData[1] = static_cast<char>(36 + rng.below(48));
                    e.midiData[2] = static_cast<char>(rng.below(128));
                }
                else if (kind < 80)
                {
                    static const char controllers[] = {1, 6, 7, 10, 16, 17, 64, 100, 101, 123, 124, 125};
                    e.midiData[0] = static_cast<char>(0xB0 | channel);
                    e.midiData[1] = controllers[rng.below(sizeof controllers)];
                    e.midiData[2] = static_cast<char>(rng.below(128));
                }
                else
                {
                    e.midiData[0] = static_cast<char>((kind < 90 ? 0xE0 : 0xD0) | channel);
                    e.midiData[1] = static_cast<char>(rng.below(128));
                    e.midiData[2] = static_cast<char>(rng.below(128));
                }
                burst.push_back(reinterpret_cast<VstEvent*>(&e));
            }
            // Everything sounding ends with the burst's last events.
            for (uint8_t c = 0; c < 16 && burst.size() > 16; ++c)
            {
                VstMidiEvent& e = block.midi[kBurst - 1 - c];
                e = VstMidiEvent{};
                e.type = kVstMidiType;
                e.byteSize = sizeof(VstMidiEvent);
                e.deltaFrames = kBlock - 1;
                e.midiData[0] = static_cast<char>(0xB0 | c);
                e.midiData[1] = 123;
                burst[kBurst - 1 - c] = reinterpret_cast<VstEvent*>(&e);
            }
            bursts.push_back(std::move(burst));
        }

        // The flood: a short note, then bends and modulation on every channel.
        auto* floodEvents = reinterpret_cast<VstEvents*>(floodHeader.data());
        floodEvents->numEvents = static_cast<VstInt32>(kFlood);
        VstEvent** floodList = floodEvents->events; // the header declares two; the list runs on
        for (size_t i = 0; i < kFlood; ++i)
        {
            VstMidiEvent& e = flood[i];
            e.type = kVstMidiType;
            e.byteSize = sizeof(VstMidiEvent);
            e.deltaFrames = static_cast<VstInt32>(rng.below(kBlock));
            const auto channel = static_cast<char>(i % 16);
            if (i < 2)
            {
                e.deltaFrames = static_cast<VstInt32>(i * 200);
                e.midiData[0] = static_cast<char>(i == 0 ? 0x90 : 0x80);
                e.midiData[1] = 60;
                e.midiData[2] = 100;
            }
            else
            {
                e.midiData[0] = static_cast<char>((i % 3 ? 0xE0 : 0xB0) | channel);
                e.midiData[1] = static_cast<char>(i % 3 ? rng.below(128) : 1);
                e.midiData[2] = static_cast<char>(rng.below(128));
            }
            floodList[i] = reinterpret_cast<VstEvent*>(&e);
        }
    }

    // The events of block b (the list stays valid until the next call).
    VstEvents* eventsFor(long b)
    {
        VstEvents* events;
        if (b == kFloodBlock)
            return reinterpret_cast<VstEvents*>(floodHeader.data());
        if (b % kBurstEvery == 1)
        {
            const auto& burst = bursts[static_cast<size_t>(b / kBurstEvery) % bursts.size()];
            EventBlock& block = storage[static_cast<size_t>(b / kBurstEvery) % bursts.size()];
            events = block.events();
            events->numEvents = static_cast<VstInt32>(burst.size());
            VstEvent** list = events->events; // the header declares two; the list runs on
            for (size_t i = 0; i < burst.size(); ++i)
                list[i] = burst[i];
            return events;
        }
        // Now and then a short note, and its end.
        events = small.events();
        events->numEvents = 0;
        if (b % 64 == 3 || b % 64 == 7)
        {
            VstMidiEvent& e = small.midi[0];
            e = VstMidiEvent{};
            e.type = kVstMidiType;
            e.byteSize = sizeof(VstMidiEvent);
            e.deltaFrames = 100;
            e.midiData[0] = static_cast<char>(b % 64 == 3 ? 0x90 : 0x80);
            e.midiData[1] = static_cast<char>(48 + (b / 64) % 24);
            e.midiData[2] = 100;
            VstEvent** list = events->events;
            list[0] = reinterpret_cast<VstEvent*>(&e);
            events->numEvents = 1;
        }
        return events;
    }
};

// Standard output a pipe that nobody reads, full, for as long as it lives.
class FullPipeAsStdout
{
public:
    FullPipeAsStdout()
    {
        std::fflush(stdout);
        m_saved = dup(STDOUT_FILENO);
        if (pipe(m_pipe) != 0)
            return;
        const int flags = fcntl(m_pipe[1], F_GETFL);
        fcntl(m_pipe[1], F_SETFL, flags | O_NONBLOCK);
        char bytes[4096] = {};
        while (::write(m_pipe[1], bytes, sizeof bytes) > 0)
        {
        }
        fcntl(m_pipe[1], F_SETFL, flags); // writes wait again, as a host's pipe makes them
        dup2(m_pipe[1], STDOUT_FILENO);
    }
    ~FullPipeAsStdout()
    {
        std::fflush(stdout);
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
        close(m_pipe[0]);
        close(m_pipe[1]);
    }

private:
    int m_saved = -1;
    int m_pipe[2] = {-1, -1};
};
} // namespace

TEST(RealTime, TenMinutesOfABusyHostAllocateNothingTakeNoOtherLockAndNeverWaitForStdout)
{
    Scenario scenario;
    std::unique_ptr<MyVSTAudioEffect> plugin;
    AEffect* effect = nullptr;
    std::atomic<bool> finished{false};
    std::atomic<long> progress{0};
    long blocksDone = 0;
    long allocations = 0;
    long stdoutWrites = 0;
    size_t locks = 0;
    size_t otherLocks = 0;
    {
        const FullPipeAsStdout pipe;
        plugin = std::make_unique<MyVSTAudioEffect>(hostCallback);
        effect = plugin->getAeffect();
        effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, kRate);
        effect->dispatcher(effect, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);

        // The engine lock: the one lock a facade call on this thread takes.
        t_watched = true;
        (void)plugin->facade().getPlayMode();
        t_watched = false;
        const size_t facadeLocks = g_lockCount.load();
        const void* engineLock = g_locks[0].load();
        g_lockCount = 0;

        std::vector<float> left(kBlock), right(kBlock);
        k1test::startAllocationCounting(true, true);
        std::thread audio([&] {
            k1test::markThreadForCounting();
            t_watched = true;
            float* outputs[2] = {left.data(), right.data()};
            Lcg rng;
            for (long b = 0; b < kBlocks; ++b)
            {
                VstEvents* events = scenario.eventsFor(b);
                if (events->numEvents > 0)
                    effect->dispatcher(effect, effProcessEvents, 0, 0, events, 0.0f);
                // Automation of every parameter in turn (four every 32 blocks:
                // all of them every 19 s), on and off the grid, with values
                // outside 0..1 and NaN now and then.
                for (int i = 0; i < 4 && b % 32 == 0; ++i)
                {
                    const auto p = static_cast<VstInt32>((b / 32 * 4 + i) % MyVSTAudioEffect::kNumParams);
                    float v = static_cast<float>(rng.below(1001)) / 1000.0f;
                    if (rng.below(50) == 0)
                        v = rng.below(2) ? -0.5f : (rng.below(2) ? 7.0f : std::nanf(""));
                    if (p != k1lib::Param_Mode || rng.below(40) == 0)
                        effect->setParameter(effect, p, v);
                }
                effect->processReplacing(effect, nullptr, outputs, kBlock);
                blocksDone = b + 1;
                progress.store(blocksDone, std::memory_order_relaxed);
            }
            t_watched = false;
            finished = true;
        });
        // A pipe nobody reads must never hold the audio thread: a minute
        // without a block rendered means it waits for it.
        long seen = -1;
        auto lastProgress = std::chrono::steady_clock::now();
        while (!finished)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const long now = progress.load();
            if (now != seen)
            {
                seen = now;
                lastProgress = std::chrono::steady_clock::now();
            }
            else if (std::chrono::steady_clock::now() - lastProgress > std::chrono::minutes(1))
            {
                std::fprintf(stderr, "the audio thread stalled after %ld blocks\n", now);
                std::abort();
            }
        }
        audio.join();
        k1test::stopAllocationCounting();
        allocations = k1test::countedAllocations();
        stdoutWrites = g_stdoutWrites.load();
        locks = std::min(g_lockCount.load(), kMaxLocks);
        for (size_t i = 0; i < locks; ++i)
            otherLocks += g_locks[i].load() != engineLock || facadeLocks != 1 ? 1 : 0;

        effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); // deletes the effect
        plugin.release();
    }
    // Standard output is the terminal's again: the verdict can be printed.
    k1log::flush();
    EXPECT_EQ(allocations, 0) << "allocations on the audio thread";
    EXPECT_EQ(stdoutWrites, 0) << "writes to standard output from the audio thread";
    EXPECT_EQ(otherLocks, 0u) << "locks other than the engine lock taken on the audio thread (of " << locks << ")";
    EXPECT_EQ(blocksDone, kBlocks);
    // The scenario did reach the instrument: replies left, automation too.
    EXPECT_GT(g_sysexOut.load(), 100);
    EXPECT_GT(g_automations.load(), 100);
}
