#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "engine/engine.h"

using k1lib::Engine;
using k1lib::PlayMode;

TEST(FactoryStorages, ThirteenStoragesInBankOrder)
{
    EXPECT_EQ(Engine::singleCount(), 968u);
    EXPECT_EQ(Engine::multiCount(), 384u);
    const auto& singles = Engine::getStorageInfos(PlayMode::Single);
    const auto& multis = Engine::getStorageInfos(PlayMode::Multi);
    ASSERT_EQ(singles.size(), 13u);
    ASSERT_EQ(multis.size(), 12u);

    uint64_t next = 0;
    for (size_t b = 0; b < 12; ++b)
    {
        EXPECT_EQ(singles[b].storageIndex, b);
        EXPECT_EQ(singles[b].firstIndex, next);
        EXPECT_EQ(singles[b].count, 64u);
        EXPECT_EQ(multis[b].firstIndex, 32 * b);
        EXPECT_EQ(multis[b].count, 32u);
        EXPECT_EQ(multis[b].shortName, singles[b].shortName);
        next += 64;
    }
    EXPECT_EQ(singles[0].storageType, 0u);
    EXPECT_EQ(singles[0].shortName, "K1 Int");
    EXPECT_EQ(singles[0].longName, "Kawai K1 Factory");
    EXPECT_EQ(singles[6].shortName, "ROM A2-00");
    EXPECT_EQ(singles[11].longName, "K1 ROM Card J1-03");
    EXPECT_EQ(singles[11].storageType, 1u);
    EXPECT_EQ(singles[12].storageType, 2u);
    EXPECT_EQ(singles[12].shortName, "PHm Int");
    EXPECT_EQ(singles[12].longName, "Kawai PHm Module");
    EXPECT_EQ(singles[12].firstIndex, 768u);
    EXPECT_EQ(singles[12].count, 200u);

    // A second fill changes nothing.
    const std::vector<k1lib::SinglePreset> before = k1lib::factorySingles;
    k1lib::initFactoryData();
    EXPECT_EQ(k1lib::factorySingles, before);
    EXPECT_EQ(k1lib::factoryMultisStorageInfo.size(), 12u);
}

TEST(FactoryStorages, LookupAndSlotLabels)
{
    EXPECT_EQ(Engine::getStorageInfoFromPresetIndex(968, PlayMode::Single), nullptr);
    EXPECT_EQ(Engine::getStorageInfoFromPresetIndex(384, PlayMode::Multi), nullptr);
    ASSERT_NE(Engine::getStorageInfoFromPresetIndex(767, PlayMode::Single), nullptr);
    EXPECT_EQ(Engine::getStorageInfoFromPresetIndex(767, PlayMode::Single)->shortName, "ROM J1-03");

    const std::pair<size_t, const char*> singles[] = {{0, "IA-1"},   {9, "IB-2"},   {31, "ID-8"},  {32, "iA-1"},
                                                      {63, "iD-8"},  {64, "EA-1"},  {100, "eA-5"}, {767, "eD-8"},
                                                      {768, "P001"}, {784, "P017"}, {967, "P200"}, {968, "?B-1"},
                                                      {1000, "?B-1"}};
    for (const auto& [index, label] : singles)
        EXPECT_EQ(Engine::getSingleNumberAsName(index), label) << index;
    const std::pair<size_t, const char*> multis[] = {{0, "IA-1"}, {31, "ID-8"}, {32, "EA-1"}, {383, "ED-8"}, {384, "?A-1"}};
    for (const auto& [index, label] : multis)
        EXPECT_EQ(Engine::getMultiNumberAsName(index), label) << index;

    EXPECT_EQ(Engine::getSinglesOffsetForMulti(0), 0u);
    EXPECT_EQ(Engine::getSinglesOffsetForMulti(33), 64u);
    EXPECT_EQ(Engine::getSinglesOffsetForMulti(383), 704u);
    EXPECT_EQ(Engine::getSinglesOffsetForMulti(384), 0u);
    EXPECT_EQ(Engine::getSinglesOffsetForMulti(5000), 0u);
}

TEST(FactoryStorages, NamesComeFromTheParsedPresets)
{
    Engine::singleCount();
    for (size_t i : {size_t(0), size_t(500), size_t(967)})
    {
        const std::string name = Engine::getFactoryPresetName(i, PlayMode::Single);
        EXPECT_FALSE(name.empty());
        EXPECT_LE(name.size(), 10u);
        EXPECT_EQ(name, std::string(Engine::getFactorySingle(i).name));
        EXPECT_NE(name.back(), ' ');
    }
    EXPECT_EQ(Engine::getFactoryPresetName(383, PlayMode::Multi), std::string(Engine::getFactoryMulti(383).name));
}

// Two instruments created at once fill the lists once between them.
TEST(FactoryStorages, ConcurrentFirstUseFillsOnce)
{
    std::atomic<bool> go{false};
    std::vector<size_t> counts(8);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < counts.size(); ++t)
    {
        threads.emplace_back([&, t] {
            while (!go.load())
                std::this_thread::yield();
            counts[t] = t % 2 ? Engine::singleCount() : Engine::multiCount() + 584;
        });
    }
    go = true;
    for (std::thread& t : threads)
        t.join();
    for (size_t c : counts)
        EXPECT_EQ(c, 968u);
    EXPECT_EQ(k1lib::factorySingles.size(), 968u);
    EXPECT_EQ(k1lib::factorySinglesStorageInfo.size(), 13u);
}
