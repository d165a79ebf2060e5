// Answering K1 sysex: dumps stored and acknowledged, requests answered with
// dumps or the protected-write error, the machine ID, parameter changes on
// the current single. Messages arrive as MIDI events, as from a host.

#include <gtest/gtest.h>

#include "patch/parameterConverter.h"
#include "patch/sysexFrame.h"
#include "tests/store/storeTestSupport.h"

using namespace k1store;
using namespace k1lib::sysexFrame;
using Calls = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

namespace
{
Bytes writeResult(uint8_t channel, uint8_t code) { return {0xF0, 0x40, channel, code, 0x00, 0x03, 0xF7}; }

Bytes request(uint8_t channel, uint8_t function, uint8_t sub1, uint8_t sub2)
{
    return {0xF0, 0x40, channel, function, 0x00, 0x03, sub1, sub2, 0xF7};
}

Bytes oneSingle(const k1lib::SinglePreset& p, uint8_t channel, k1lib::StorageLocation at, uint8_t number)
{
    Bytes b;
    k1lib::Sysex::writeSingle(b, p, channel, at, number);
    return b;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

struct Peer : StoreEngine
{
    // Delivers the bytes as one sysex event inside a block.
    void receive(const Bytes& bytes)
    {
        k1lib::SMidiEvent e;
        e.sysex = bytes;
        std::vector<k1lib::SMidiEvent> events{e};
        std::vector<float> l(8), r(8);
        float* out[2] = {l.data(), r.data()};
        engine->process(out, 2, 8, events);
    }
    void omniOff(uint32_t channel)
    {
        k1lib::Engine::Config c = engine->getConfig();
        c.omni = 0;
        c.receiveChannel = channel;
        engine->setConfig(c);
    }
};
} // namespace

TEST(SysexPeer, DumpsAreStoredAndAcknowledged)
{
    Peer t;
    t.omniOff(3);
    t.listener.clear();
    const k1lib::SinglePreset p = distinctSingle(5);
    t.receive(oneSingle(p, 3, k1lib::StorageLocation::I, 5));
    EXPECT_EQ(*t->getSinglePreset(5), p);
    EXPECT_EQ(t.listener.sent, (std::vector<Bytes>{writeResult(3, 0x40)}));
    EXPECT_EQ(t.listener.calls, (Calls{"SinglesModified(5,1)", "sendMidi"}));

    // Another channel with omni off: nothing at all.
    t.listener.clear();
    t.receive(oneSingle(distinctSingle(6), 4, k1lib::StorageLocation::I, 5));
    EXPECT_EQ(*t->getSinglePreset(5), p);
    EXPECT_TRUE(t.listener.calls.empty());

    // A block dump of 32 into the upper internal half: 32 acknowledgements.
    std::vector<k1lib::SinglePreset> bank;
    for (uint32_t i = 0; i < 32; ++i)
        bank.push_back(distinctSingle(100 + i));
    Bytes dump;
    ASSERT_TRUE(k1lib::Sysex::writeSingles(dump, bank, 3, k1lib::StorageLocation::i, 0));
    t.receive(dump);
    EXPECT_EQ(t.listener.sent, std::vector<Bytes>(32, writeResult(3, 0x40)));
    for (size_t i = 0; i < 32; ++i)
        EXPECT_EQ(*t->getSinglePreset(32 + i), bank[i]);

    // Storing what is already there is acknowledged without a report.
    t.listener.clear();
    t.receive(oneSingle(p, 3, k1lib::StorageLocation::I, 5));
    EXPECT_EQ(t.listener.calls, (Calls{"sendMidi"}));
}

TEST(SysexPeer, EachMessageOfABufferKeepsItsOwnNumbersAndChannel)
{
    Peer t; // omni on: every channel
    const k1lib::SinglePreset a = distinctSingle(1);
    const k1lib::SinglePreset b = distinctSingle(2);
    const k1lib::MultiPreset m = distinctMulti(3);
    Bytes multi;
    ASSERT_TRUE(k1lib::Sysex::writeMulti(multi, m, 2, k1lib::StorageLocation::E, 3));
    t.receive(join({oneSingle(a, 1, k1lib::StorageLocation::I, 5), {0x12, 0x34},
                    oneSingle(b, 7, k1lib::StorageLocation::e, 40), multi}));
    EXPECT_EQ(*t->getSinglePreset(5), a);
    EXPECT_EQ(*t->getSinglePreset(104), b);
    EXPECT_EQ(*t->getMultiPreset(35), m);
    EXPECT_EQ(t.listener.sent, (std::vector<Bytes>{writeResult(1, 0x40), writeResult(7, 0x40), writeResult(2, 0x40)}));
}

TEST(SysexPeer, PresetsPastTheAddressedMemoryAreRefused)
{
    Peer t;
    const std::vector<k1lib::SinglePreset> before(t->getSinglePreset(62), t->getSinglePreset(62) + 4);
    // A one-block dump for single 63 that carries two singles.
    Bytes dump = oneSingle(distinctSingle(9), 0, k1lib::StorageLocation::i, 63);
    Bytes second = oneSingle(distinctSingle(10), 0, k1lib::StorageLocation::i, 63);
    dump.insert(dump.end() - 1, second.begin() + kDataAt, second.end() - 1);
    t.receive(dump);
    EXPECT_EQ(*t->getSinglePreset(63), distinctSingle(9));
    EXPECT_EQ(*t->getSinglePreset(64), before[2]);
    EXPECT_EQ(t.listener.sent, (std::vector<Bytes>{writeResult(0, 0x40), writeResult(0, 0x41)}));

    // A multi dump for internal multi 40 (sub-command 2 68h) does not exist.
    t.listener.clear();
    Bytes multi;
    ASSERT_TRUE(k1lib::Sysex::writeMulti(multi, distinctMulti(1), 0, k1lib::StorageLocation::I, 0));
    multi[kSub2At] = kMultiBase + 40;
    t.receive(multi);
    EXPECT_EQ(t.listener.sent, (std::vector<Bytes>{writeResult(0, 0x41)}));
    EXPECT_FALSE(*t->getMultiPreset(40) == distinctMulti(1));
}

TEST(SysexPeer, RequestsAreAnsweredFromTheStore)
{
    Peer t;
    t.receive(join({request(4, kOneBlockRequest, 1, 6), request(4, kOneBlockRequest, 1, kMultiBase + 8),
                    request(5, kAllBlockRequest, 1, kMultiBase), request(6, kAllBlockRequest, 1, kUpperSingles)}));
    ASSERT_EQ(t.listener.sent.size(), 4u);

    k1lib::Sysex::SysexResult single;
    ASSERT_TRUE(k1lib::Sysex::readBuffer(single, t.listener.sent[0], 4));
    ASSERT_EQ(single.singles.size(), 1u);
    EXPECT_EQ(single.singles[0], *t->getSinglePreset(70)); // E, number 6
    EXPECT_EQ(single.singleStart, 70u);

    const Bytes& multi = t.listener.sent[1];
    ASSERT_EQ(multi.size(), 85u);
    EXPECT_EQ(multi[kSub1At], 1);
    EXPECT_EQ(multi[kSub2At], kMultiBase + 8);

    const Bytes& multis = t.listener.sent[2];
    ASSERT_EQ(multis.size(), 2441u);
    EXPECT_EQ(multis[kChannelAt], 5);
    k1lib::Sysex::SysexResult all;
    ASSERT_TRUE(k1lib::Sysex::readBuffer(all, multis, 5));
    ASSERT_EQ(all.multis.size(), 32u);
    EXPECT_EQ(all.multiStart, 32u);
    EXPECT_EQ(all.multis[31], *t->getMultiPreset(63));

    const Bytes& singles = t.listener.sent[3];
    ASSERT_EQ(singles.size(), 2825u);
    EXPECT_EQ(singles[kSub1At], 1);
    EXPECT_EQ(singles[kSub2At], kUpperSingles);
    k1lib::Sysex::SysexResult upper;
    ASSERT_TRUE(k1lib::Sysex::readBuffer(upper, singles, 6));
    EXPECT_EQ(upper.singles.at(0), *t->getSinglePreset(96));

    // Numbers past the K1's memories, and block requests that do not start
    // a half, get the protected-write error.
    t.listener.clear();
    t.receive(join({request(0, kOneBlockRequest, 2, 0), request(0, kOneBlockRequest, 0, kMultiBase + 32),
                    request(0, kAllBlockRequest, 0, 0x10), request(0, kAllBlockRequest, 5, 0),
                    request(0, kAllBlockRequest, 0, kMultiBase + 1), request(0, kAllBlockRequest, 3, kMultiBase)}));
    EXPECT_EQ(t.listener.sent, std::vector<Bytes>(6, writeResult(0, 0x42)));
}

TEST(SysexPeer, MachineIdAndReceiveOff)
{
    Peer t;
    t.receive({0xF0, 0x40, 0x09, 0x60, 0xF7});
    EXPECT_EQ(t.listener.sent, (std::vector<Bytes>{{0xF0, 0x40, 0x09, 0x61, 0x00, 0x03, 0xF7}}));

    k1lib::Engine::Config c;
    c.sysexReceive = 0;
    t->setConfig(c);
    t.listener.clear();
    t.receive({0xF0, 0x40, 0x09, 0x60, 0xF7});
    t.receive(oneSingle(distinctSingle(1), 0, k1lib::StorageLocation::I, 0));
    EXPECT_TRUE(t.listener.calls.empty());
}

TEST(SysexPeer, ParameterChangesEditTheCurrentSingle)
{
    Peer t;
    k1lib::SinglePreset p = distinctSingle(40);
    p.ampModS1S2 = 0;
    p.ampModS3S4 = 0;
    ASSERT_TRUE(t->setSingle(0, p));
    t.listener.clear();
    t.listener.watched = k1lib::Param_Volume;

    auto change = [](uint8_t param, uint8_t source, uint8_t value) {
        Bytes b;
        k1lib::Sysex::writeParameterChange(b, 0, {param, source, value});
        return b;
    };
    // Volume 30: reload, then the two reports.
    t.receive(change(k1lib::Cursor_Volume, 0, 30));
    EXPECT_EQ(t->getCurrentSingle().volume, 30);
    EXPECT_EQ(t.listener.calls, (Calls{"ActiveSingleModified(0)", "SinglesModified(0,1)"}));
    EXPECT_EQ(t.listener.watchedAtCall[0], 31.0f); // shown one higher

    // The same value again still reloads and reports; number 38 does nothing.
    t.listener.clear();
    t.receive(change(k1lib::Cursor_Volume, 0, 30));
    t.receive(change(38, 0, 1));
    EXPECT_EQ(t.listener.calls, (Calls{"ActiveSingleModified(0)", "SinglesModified(0,1)"}));

    // S1/S2 to "S1>S2" exchanges sources 1 and 2 and stores the single.
    t.listener.clear();
    t.receive(change(k1lib::Cursor_AmpModS1S2, 0, 2));
    EXPECT_EQ(t->getCurrentSingle().ampModS1S2, 2u);
    EXPECT_EQ(t->getCurrentSingle().sources[0], p.sources[1]);
    EXPECT_EQ(t->getCurrentSingle().sources[1], p.sources[0]);
    EXPECT_EQ(t.listener.calls, (Calls{"ActiveSingleModified(0)", "SinglesModified(0,1)", "SinglesModified(0,1)"}));

    // With equal sources 3 and 4 there is nothing to exchange, but the
    // parameters still follow the new mode.
    p = t->getCurrentSingle();
    p.sources[3] = p.sources[2];
    ASSERT_TRUE(t->setSingle(0, p));
    t.listener.clear();
    t.listener.watched = k1lib::Param_AmpModS3S4;
    t.receive(change(k1lib::Cursor_AmpModS3S4, 0, 2));
    EXPECT_EQ(t.listener.calls, (Calls{"ActiveSingleModified(0)", "SinglesModified(0,1)"}));
    int shown = -1;
    k1lib::ParameterConverter::getValue(shown, k1lib::Param_AmpModS3S4, t->getCurrentSingle());
    EXPECT_EQ(t.listener.watchedAtCall[0], static_cast<float>(shown));
}
