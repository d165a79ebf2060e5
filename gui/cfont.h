#pragma once

// A font description: family name, size in pixels and style flags. The
// family is resolved through fontconfig when drawn; a family the machine does
// not have falls back to DejaVu Sans.

#include <string>

#include "gui/vstguibase.h"

namespace VSTGUI
{
enum CTxtFace
{
    kNormalFace = 0,
    kBoldFace = 1 << 1,
    kItalicFace = 1 << 2,
    kUnderlineFace = 1 << 3,
    kStrikethroughFace = 1 << 4,
};

class CFontDesc : public CBaseObject
{
public:
    CFontDesc(const UTF8String& name = "", CCoord size = 0, int32_t style = 0)
        : name(name), size(size), style(style)
    {
    }
    const UTF8String& getName() const { return name; }
    CCoord getSize() const { return size; }
    int32_t getStyle() const { return style; }
    void setName(const UTF8String& n) { name = n; }
    void setSize(CCoord s) { size = s; }
    void setStyle(int32_t s) { style = s; }

    // The family that drawing uses for this font (resolved once per name).
    std::string getResolvedFamily() const;

private:
    UTF8String name;
    CCoord size;
    int32_t style;
};
using CFontRef = CFontDesc*;

// Shared default fonts (DejaVu Sans at 12 and 14 pixels).
extern CFontRef kNormalFont;
extern CFontRef kNormalFontBig;
extern CFontRef kSystemFont;
} // namespace VSTGUI
