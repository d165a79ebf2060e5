#pragma once

// The widget objects of the panel, complete where the editor creates,
// calls and deletes them (k1Editor.cpp, k1EditorWidgets.cpp).

#include "editor/uiDisplay.h"
#include "editor/uiEnvelope.h"
#include "editor/uiMulti.h"
#include "editor/uiResizer.h"
#include "editor/uiSettings.h"
#include "editor/uiSingles.h"
#include "editor/uiSourceMix.h"
