#include "tools/panelcheck/panelTexts.h"

#include <cstdio>
#include <functional>
#include <map>

#include "engine/engine.h"
#include "patch/parameter.h"

namespace panelcheck
{
namespace
{
using namespace k1lib;

std::vector<std::string> rangeTexts(EParam p)
{
    const CParam& param = g_params[p];
    std::vector<std::string> out;
    for (int v = int(param.min); v <= int(param.max); ++v)
        out.push_back(param.formatValue(p, float(v)));
    return out;
}

// The coarse readout counts keys from 84 ("+%d" above, "%d" otherwise).
std::vector<std::string> coarseReadouts()
{
    std::vector<std::string> out;
    for (int v = 0; v <= 127; ++v)
    {
        char text[16];
        std::snprintf(text, sizeof text, v - 84 > 0 ? "+%d" : "%d", v - 84);
        out.push_back(text);
    }
    return out;
}

std::string rightTrimmed(std::string s)
{
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

std::vector<std::string> browserTexts()
{
    std::vector<std::string> out;
    for (PlayMode mode : {PlayMode::Single, PlayMode::Multi})
    {
        Engine::getStorageInfos(mode); // fills the factory lists
        const size_t count = mode == PlayMode::Single ? Engine::singleCount() : Engine::multiCount();
        for (size_t i = 0; i < count; ++i)
        {
            std::string name = Engine::getFactoryPresetName(i, mode);
            if (name.empty())
                name = "??????????";
            out.push_back(rightTrimmed(Engine::getPresetNumberAsName(i, mode) + " " + name) + "*");
        }
    }
    return out;
}

std::vector<std::string> sectionSingleTexts()
{
    std::vector<std::string> out;
    Engine::getStorageInfos(PlayMode::Single);
    for (size_t i = 0; i < Engine::singleCount(); ++i)
        out.push_back(Engine::getSingleNumberAsName(i) + "  " + Engine::getFactoryPresetName(i, PlayMode::Single));
    return out;
}

std::vector<std::string> presetNames()
{
    std::vector<std::string> out;
    for (PlayMode mode : {PlayMode::Single, PlayMode::Multi})
    {
        Engine::getStorageInfos(mode);
        const size_t count = mode == PlayMode::Single ? Engine::singleCount() : Engine::multiCount();
        for (size_t i = 0; i < count; ++i)
            out.push_back(Engine::getFactoryPresetName(i, mode));
    }
    return out;
}

std::vector<std::string> storageNames()
{
    std::vector<std::string> out;
    for (PlayMode mode : {PlayMode::Single, PlayMode::Multi})
        for (const auto& info : Engine::getStorageInfos(mode))
            out.push_back(info.longName);
    return out;
}

std::vector<std::string> sectionTitles()
{
    std::vector<std::string> out;
    for (int s = 1; s <= 8; ++s)
        out.push_back("SECTION " + std::to_string(s));
    return out;
}

// The parameter a view stands for: the one it is named after, or for a view
// of a multi strip section 1's parameter of its kind; -1 for none.
int paramOf(const std::string& name)
{
    static const std::map<std::string, EParam> strip = {
        {"multiSectionZoneLow", Param_MultiS1ZoneLow},   {"multiSectionZoneHigh", Param_MultiS1ZoneHigh},
        {"multiSectionPoly", Param_MultiS1Poly},         {"multiSectionOutput", Param_MultiS1Output},
        {"multiSectionMode", Param_MultiS1Mode},         {"multiSectionChannel", Param_MultiS1Channel},
        {"multiSectionVelocity", Param_MultiS1Velocity}, {"multiSectionTranspose", Param_MultiS1Transpose},
        {"multiSectionTune", Param_MultiS1Tune},         {"multiSectionLevel", Param_MultiS1Level}};
    if (auto it = strip.find(name); it != strip.end())
        return int(it->second);
    for (uint32_t p = 0; p < kParamCount; ++p)
        if (g_paramEnumStrings[p] == name)
            return int(p);
    return -1;
}
} // namespace

ValueTexts valueTexts(const std::string& name, bool menu)
{
    static std::map<std::string, std::vector<std::string>> lists;
    auto list = [&](const std::string& key, const std::function<std::vector<std::string>()>& make) {
        auto it = lists.find(key);
        if (it == lists.end())
            it = lists.emplace(key, make()).first;
        return ValueTexts{key, &it->second};
    };
    const int p = paramOf(name);
    if (p >= int(Param_SourceS1Coarse) && p <= int(Param_SourceS4Coarse) && !menu)
        return list("coarse readout", coarseReadouts);
    if (p >= 0)
        return list(g_paramEnumStrings[size_t(p)], [p] { return rangeTexts(EParam(p)); });
    if (name.size() == 8 && name.compare(0, 6, "single") == 0)
        return list("browser", browserTexts);
    if (name == "multiSectionSingle")
        return list("section single", sectionSingleTexts);
    if (name == "multiSectionName")
        return list("section title", sectionTitles);
    if (name == "bankSelect")
        return list("storages", storageNames);
    if (name == "editSingleName" || name == "editMultiName")
        return list("preset names", presetNames);
    static const std::map<std::string, std::vector<std::string>> settings = {
        {"midiReceiveChannel", {"1", "9", "10", "16", "Omni"}},
        {"midiReceiveProgramChange", {"off", "Norm", "Sect"}},
        {"audioOutputMode", {"Stereo", "8 Channels"}},
    };
    if (auto it = settings.find(name); it != settings.end())
        return ValueTexts{it->first, &it->second};
    if (name.compare(0, 11, "midiReceive") == 0 || name == "midiSendSysex")
        return list("toggle", [] { return std::vector<std::string>{"Off", "On"}; });
    return {};
}

std::string sampleText(const std::string& name, bool menu)
{
    if (name.size() == 8 && name.compare(0, 6, "single") == 0)
    {
        Engine::getStorageInfos(PlayMode::Single);
        const size_t k = size_t(name[6] - 'A') * 8 + size_t(name[7] - '0');
        return rightTrimmed(Engine::getPresetNumberAsName(k, PlayMode::Single) + " " +
                            Engine::getFactoryPresetName(k, PlayMode::Single));
    }
    if (name == "editSingleName" || name == "editMultiName")
    {
        const PlayMode mode = name == "editSingleName" ? PlayMode::Single : PlayMode::Multi;
        Engine::getStorageInfos(mode);
        return rightTrimmed(Engine::getFactoryPresetName(0, mode));
    }
    if (!menu)
        return {};
    if (name == "multiSectionSingle")
    {
        Engine::getStorageInfos(PlayMode::Single);
        return Engine::getSingleNumberAsName(0) + "  " + Engine::getFactoryPresetName(0, PlayMode::Single);
    }
    static const std::map<std::string, std::string> fixed = {
        {"midiReceiveChannel", "Omni"}, {"midiReceiveProgramChange", "Norm"}, {"audioOutputMode", "Stereo"}};
    if (auto it = fixed.find(name); it != fixed.end())
        return it->second;
    if (name.compare(0, 11, "midiReceive") == 0 || name == "midiSendSysex")
        return "On";
    if (name == "bankSelect")
        return Engine::getStorageInfos(PlayMode::Single).front().longName;
    const int p = paramOf(name);
    if (p < 0)
        return {};
    const CParam& param = g_params[size_t(p)];
    return param.formatValue(EParam(p), param.defaultValue);
}
} // namespace panelcheck
