#pragma once

// The description of every automation parameter: its category and short name,
// unit, range and default, and how a value of it reads as text. A parameter
// has two values: the real value, min..max in the K1's own counting (what
// the parameter converter writes into presets), and the normalised value 0..1
// that hosts automate: real = min + normalised * range. Both tables are built
// once before main() and only read afterwards, from any thread.

#include <array>
#include <cstdint>
#include <string>

#include "patch/parameterEnum.h"

namespace k1lib
{
// Unit codes: the label of getUnitLabel() and the fallback text of
// formatValue(). The numbers are what CParam::unit holds.
enum ParamUnit : uint32_t
{
    Unit_Float = 0,   // "%.2f"
    Unit_dB = 1,      // label "dB", rounded integer
    Unit_Seconds = 2, // label "Sec", "%.2f"
    Unit_Hz = 3,      // label "Hz", "%.2f"
    Unit_Bool = 4,    // "%.2f"
    Unit_Percent = 6, // label "%%", value * 100
    Unit_Int = 7,     // rounded integer, "+" before positives of a range symmetric about 0
    Unit_Char = 17,   // the character with that code
};

struct CParam
{
    std::string category; // group label: "Name", "Cmn", "S1", "MS3", ...
    std::string name;     // short name within the category
    uint32_t unit = Unit_Float;
    float min = 0.0f;
    float max = 0.0f;
    float defaultValue = 0.0f;
    float step = 0.0f;     // value grid: 1, or 0 for the continuous mix controls
    float range = 0.0f;    // max - min
    float invRange = 0.0f; // 1 / range

    // Display text of real value x of parameter p (this record's parameter).
    // Empty for a value that is not finite or lies outside min..max once
    // rounded, and for a wave number past the last wave.
    std::string formatValue(EParam p, float x) const;
    // "dB", "Sec", "Hz", "%%" or empty.
    std::string getUnitLabel() const;
    // "Param_Name01" ... "Param_Mode"; an empty text outside 0-208.
    static const std::string& getEnumString(EParam p);
};

// Identifier strings and descriptions, indexed by EParam.
extern const std::array<std::string, kParamCount> g_paramEnumStrings;
extern const std::array<CParam, kParamCount> g_params;
} // namespace k1lib
