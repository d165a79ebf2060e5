#include "gui/base64.h"

namespace VSTGUI
{
namespace
{
int sextet(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}
} // namespace

bool decodeBase64(std::string_view text, std::vector<uint8_t>& out)
{
    out.clear();
    out.reserve(text.size() / 4 * 3);
    uint32_t acc = 0;
    int bits = 0;
    int padding = 0;
    for (char c : text)
    {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t')
            continue;
        if (c == '=')
        {
            if (++padding > 2)
                return false;
            continue;
        }
        const int v = sextet(c);
        if (v < 0 || padding)
            return false;
        acc = (acc << 6) | uint32_t(v);
        bits += 6;
        if (bits >= 8)
        {
            bits -= 8;
            out.push_back(uint8_t(acc >> bits));
            acc &= (1u << bits) - 1;
        }
    }
    // Leftover bits must be the zero fill of a final partial group.
    return bits < 6 && acc == 0;
}
} // namespace VSTGUI
