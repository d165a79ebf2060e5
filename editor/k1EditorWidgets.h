#pragma once

// The widget objects of the panel, complete where the editor creates,
// calls and deletes them (k1Editor.cpp, k1EditorWidgets.cpp). A widget that
// is not built yet has an empty stand-in here, so that its owner pointer
// stays destructible; a widget's header replaces its stand-in line.

#include "editor/uiDisplay.h"
class uiEnvelope
{
};
#include "editor/uiSingles.h"
class uiResizer
{
};
class uiSourceMix
{
};
class uiMulti
{
};
class uiSettings
{
};
