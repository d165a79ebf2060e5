#pragma once

// The views of the editor's widget objects for the test description: the
// source-mix area (inside mode_edit), the multi page's arrows and four
// section strips, the system page's menus and the resize handle. Each
// returns description XML for its place in makeEditorDescription.

#include <string>

namespace editortest
{
// Area 180 x 180 at 1300, 10 of mode_edit; throttle 40 x 40 at 140, 140.
std::string sourceMixViews();
// Arrows and strips "multiSectionA" .. "multiSectionD" (560 x 520 at y 250).
std::string multiPageViews();
// The twelve menus; "audioOutputMode" inside the container "audio".
std::string systemPageViews();
// 100 x 100 at the panel's bottom-right corner.
std::string resizeHandleView();
} // namespace editortest
