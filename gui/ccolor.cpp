#include "gui/ccolor.h"

namespace VSTGUI
{
namespace
{
int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

bool CColor::fromString(const std::string& text)
{
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#')
        return false;
    uint8_t bytes[4] = {0, 0, 0, 255};
    for (size_t i = 0; i * 2 + 1 < text.size(); ++i)
    {
        const int hi = hexDigit(text[1 + 2 * i]);
        const int lo = hexDigit(text[2 + 2 * i]);
        if (hi < 0 || lo < 0)
            return false;
        bytes[i] = uint8_t(hi * 16 + lo);
    }
    *this = CColor(bytes[0], bytes[1], bytes[2], bytes[3]);
    return true;
}
} // namespace VSTGUI
