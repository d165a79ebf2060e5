#pragma once

// The four pages of the panel, each a container of the page area's size
// (the same rectangle for all four, below the top bar).

#include "tools/panelgen/panelBuilder.h"

namespace panelgen
{
constexpr Rect kPageArea{0, kTopBarHeight, kWidth, kHeight - kTopBarHeight};

View buildPlayPage(Builder& b);
View buildEditPage(Builder& b);
View buildMultiPage(Builder& b);
View buildSystemPage(Builder& b);
} // namespace panelgen
