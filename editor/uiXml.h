#pragma once

// The compiled-in UI description of the panel: one XML document with its
// bitmaps inline. The bytes are constant and live for the whole process.

#include <cstddef>

namespace k1editor
{
const unsigned char* getData_uiXml();
size_t getDataSize_uiXml();
} // namespace k1editor
