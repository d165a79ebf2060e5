#pragma once

// A change as text, for the tests' journals: "ActiveSingleChanged(5)",
// "SinglesModified(3,1)", "ParameterChanged(10)", "PlayModeChanged".

#include <string>

#include "patch/changes.h"

namespace k1test
{
inline std::string describe(const k1lib::Change& c)
{
    const std::string name = k1lib::nameOf(c.kind);
    switch (k1lib::shapeOf(c.kind))
    {
    case k1lib::ChangeShape::Index: return name + "(" + std::to_string(c.first) + ")";
    case k1lib::ChangeShape::Range: return name + "(" + std::to_string(c.first) + "," + std::to_string(c.count) + ")";
    case k1lib::ChangeShape::Parameter: return name + "(" + std::to_string(c.param) + ")";
    case k1lib::ChangeShape::Nothing: break;
    }
    return name;
}
} // namespace k1test
