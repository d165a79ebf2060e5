#pragma once

// The panel's layout: the template "Darvello" with its top bar, the display,
// the four pages and the resize handle, every view the editor looks up by
// name, and the bitmaps they show.

#include <string>

#include "tools/panelgen/panelDoc.h"

namespace panelgen
{
// Builds the whole document (BOM and XML).
std::string buildPanelDocument();

// Gives every control a tooltip that says what it does.
void addTooltips(View& root);
} // namespace panelgen
