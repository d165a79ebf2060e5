#include "tools/bankcheck/bankCheck.h"

#include <set>
#include <sstream>

#include "patch/blockLayout.h"
#include "patch/presets.h"
#include "patch/sysexFrame.h"

namespace bankcheck
{
namespace
{
using namespace k1lib::sysexFrame;

class Checker
{
public:
    explicit Checker(Report& report) : m_report(report) {}

    template <typename T>
    void fail(const T& what)
    {
        std::ostringstream s;
        s << what;
        m_report.problems.push_back(s.str());
    }

    // The frame of one dump: F0 40 00 <function> 00 03 00 <sub2> ... F7.
    bool frame(const uint8_t* m, size_t length, uint8_t function, uint8_t sub2, size_t at)
    {
        const uint8_t header[] = {kStart, kManufacturer, 0, function, kGroup, kMachine, 0, sub2};
        for (size_t i = 0; i < sizeof header; ++i)
        {
            if (m[i] != header[i])
            {
                fail("header byte " + std::to_string(i) + " of the dump at offset " + std::to_string(at) + " is " +
                     std::to_string(m[i]) + ", expected " + std::to_string(header[i]));
                return false;
            }
        }
        if (m[length - 1] != kEnd)
        {
            fail("dump at offset " + std::to_string(at) + " does not end with F7");
            return false;
        }
        for (size_t i = kDataAt; i + 1 < length; ++i)
        {
            if (m[i] > k1lib::kDataByteMask)
            {
                fail("byte " + std::to_string(at + i) + " is not a 7-bit data byte");
                return false;
            }
        }
        return true;
    }

    void name(const uint8_t* block, const char* what, size_t index, std::set<std::string>& names)
    {
        std::string n(reinterpret_cast<const char*>(block), k1lib::kNameLength);
        for (char c : n)
        {
            if (c < static_cast<char>(k1lib::kBlank) || c > static_cast<char>(k1lib::kLastPrintable))
                fail(std::string(what) + " " + std::to_string(index + 1) + " has an unprintable name");
        }
        while (!n.empty() && n.back() == ' ')
            n.pop_back();
        if (n.empty())
            fail(std::string(what) + " " + std::to_string(index + 1) + " has no name");
        else if (!names.insert(n).second)
            fail(std::string(what) + " name \"" + n + "\" is used twice");
    }

    void range(bool ok, const char* what, size_t index, const char* field)
    {
        if (!ok)
            fail(std::string(what) + " " + std::to_string(index + 1) + ": " + field + " out of range");
    }

    void single(const uint8_t* block, size_t index, std::set<std::string>& names)
    {
        using namespace k1lib::singleBlock;
        if (k1lib::getChecksum(block, kChecksum) != block[kChecksum])
            fail("single " + std::to_string(index + 1) + " has a bad checksum");
        name(block, "single", index, names);
        range(block[kVolume] <= kMaxVolume, "single", index, "volume");
        range((block[kModes] & 3) <= kMaxPolyMode, "single", index, "poly mode");
        range(((block[kModes] >> kAmS1S2Shift) & 3) <= kMaxAmpMod, "single", index, "AM 1/2");
        range(((block[kModes] >> kAmS3S4Shift) & 3) <= kMaxAmpMod, "single", index, "AM 3/4");
        for (size_t at : {kPressureToFreq, kVibratoDepth, kPressureToVibrato, kLfoSpeed, kAutoBendDepth, kAutoBendTime,
                          kVelToDepth, kAutoBendKeyScaleToTime})
            range(block[at] <= kMaxByte, "single", index, "common byte");
        range(block[kPitchBend] <= kMaxPitchBend, "single", index, "pitch bend");
        range(((block[kLfoAndCurve] >> kCurveShift) & 7) <= kMaxKeyScaleCurve, "single", index, "key-scale curve");
        range((block[kLfoAndCurve] >> kWheelShift) <= kMaxWheelMode, "single", index, "wheel mode");
        range((block[kMute] & ~kMuteMask) == 0, "single", index, "mute byte");
        for (size_t s = 0; s < 4; ++s)
        {
            range(block[kFine + s] <= kMaxByte, "single", index, "fine");
            range(block[kCoarse + s] <= kMaxCoarse, "single", index, "coarse");
            for (size_t at = kEnvLevel; at < kChecksum; at += 4)
                range(block[at + s] <= kMaxByte, "single", index, "source byte");
        }
    }

    void multi(const uint8_t* block, size_t index, std::set<std::string>& names)
    {
        using namespace k1lib::multiBlock;
        if (k1lib::getChecksum(block, kChecksum) != block[kChecksum])
            fail("multi " + std::to_string(index + 1) + " has a bad checksum");
        name(block, "multi", index, names);
        range(block[kVolume] <= kMaxVolume, "multi", index, "volume");
        for (size_t s = 0; s < 8; ++s)
        {
            range(block[kSingle + s] <= kMaxSingle, "multi", index, "single");
            range((block[kPolyOut + s] & kPolyMask) <= kMaxPoly, "multi", index, "poly");
            range(((block[kPolyOut + s] >> kOutputShift) & kOutputMask) <= kMaxOutput, "multi", index, "output");
            range(((block[kChannel + s] >> kVelocitySwitchShift) & kVelocitySwitchMask) <= kMaxVelocitySwitch, "multi", index, "velocity switch");
            range(block[kTranspose + s] <= 2 * kTransposeOffset, "multi", index, "transpose");
            range(block[kTune + s] <= 2 * kTuneOffset, "multi", index, "tune");
            range(block[kLevel + s] <= kMaxLevel, "multi", index, "level");
        }
    }

private:
    Report& m_report;
};

void checkK1Bank(Checker& c, Report& report, const uint8_t* data)
{
    constexpr size_t kSinglesDump = kDataAt + 32 * k1lib::kSingleBlockSize + 1;
    constexpr size_t kMultisDump = kDataAt + 32 * k1lib::kMultiBlockSize + 1;
    std::set<std::string> singleNames, multiNames;
    const uint8_t sub2[] = {0, kUpperSingles};
    for (size_t half = 0; half < 2; ++half)
    {
        const uint8_t* m = data + half * kSinglesDump;
        if (!c.frame(m, kSinglesDump, kAllBlockDump, sub2[half], half * kSinglesDump))
            return;
        for (size_t k = 0; k < 32; ++k)
            c.single(m + kDataAt + k * k1lib::kSingleBlockSize, half * 32 + k, singleNames);
        report.singles += 32;
    }
    const uint8_t* m = data + 2 * kSinglesDump;
    if (!c.frame(m, kMultisDump, kAllBlockDump, kMultiBase, 2 * kSinglesDump))
        return;
    for (size_t k = 0; k < 32; ++k)
        c.multi(m + kDataAt + k * k1lib::kMultiBlockSize, k, multiNames);
    report.multis = 32;
}

void checkPhm(Checker& c, Report& report, const uint8_t* data)
{
    constexpr size_t kDump = kDataAt + k1lib::kSingleBlockSize + 1;
    std::set<std::string> names;
    for (size_t k = 0; k < 200; ++k)
    {
        const uint8_t* m = data + k * kDump;
        if (!c.frame(m, kDump, kOneBlockDump, static_cast<uint8_t>(k % 64), k * kDump))
            return;
        if (m[kDataAt + k1lib::singleBlock::kMute] != 0)
            c.fail("PHm single " + std::to_string(k + 1) + " mutes a source");
        c.single(m + kDataAt, k, names);
        ++report.singles;
    }
}
} // namespace

Report check(Kind kind, const uint8_t* data, size_t size)
{
    Report report;
    Checker c(report);
    const size_t expected = kind == Kind::K1Bank ? kK1BankSize : kPhmSize;
    if (data == nullptr || size != expected)
    {
        c.fail("size " + std::to_string(size) + ", expected " + std::to_string(expected));
        return report;
    }
    if (kind == Kind::K1Bank)
        checkK1Bank(c, report, data);
    else
        checkPhm(c, report, data);
    return report;
}

std::string summary(const std::string& label, const Report& report)
{
    std::ostringstream s;
    s << label << ": ";
    if (report.problems.empty())
        s << "ok, " << report.singles << " singles, " << report.multis << " multis";
    else
    {
        s << "FAILED, " << report.problems.front();
        if (report.problems.size() > 1)
            s << " (and " << report.problems.size() - 1 << " more)";
    }
    return s.str();
}
} // namespace bankcheck
