#pragma once

// A small UI description for the toolkit's tests and tools: template "Demo"
// (400 x 240) with two knobs, two kick buttons, a menu, a text field and a
// label, its bitmaps drawn here and stored inline as base64 PNG.

#include <cairo.h>

#include <string>
#include <vector>

#include "gui/base64.h"

namespace guitest
{
constexpr int kKnobFrames = 31;
constexpr int kKnobSize = 48;

// The whole document.
std::string makeDemoDescription();
// Base64 of bytes (standard alphabet, padded).
inline std::string encodeBase64(const std::vector<unsigned char>& bytes)
{
    return VSTGUI::encodeBase64(bytes.data(), bytes.size());
}
// Base64 of the surface as PNG; the surface is destroyed.
std::string pngBase64(cairo_surface_t* surface);
} // namespace guitest
