#include "gui/base64.h"

namespace VSTGUI
{
namespace
{
// The value of each character: 0-63 in the alphabet, kSpace for the
// whitespace that is skipped, kPad for '=', kBad for anything else.
constexpr uint8_t kSpace = 64, kPad = 65, kBad = 66;

struct SextetTable
{
    uint8_t value[256];
    constexpr SextetTable() : value()
    {
        for (int c = 0; c < 256; ++c)
            value[c] = kBad;
        for (int i = 0; i < 26; ++i)
        {
            value['A' + i] = uint8_t(i);
            value['a' + i] = uint8_t(26 + i);
        }
        for (int i = 0; i < 10; ++i)
            value['0' + i] = uint8_t(52 + i);
        value[uint8_t('+')] = 62;
        value[uint8_t('/')] = 63;
        value[uint8_t(' ')] = value[uint8_t('\n')] = value[uint8_t('\r')] = value[uint8_t('\t')] = kSpace;
        value[uint8_t('=')] = kPad;
    }
};
constexpr SextetTable kSextets;
} // namespace

bool decodeBase64(std::string_view text, std::vector<uint8_t>& out)
{
    // Inline bitmaps are megabytes of text: one table look-up a character,
    // whole groups of four decoded at once, the output written in place.
    out.resize(text.size() / 4 * 3 + 3);
    uint8_t* o = out.data();
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const auto* const end = p + text.size();
    uint32_t acc = 0;
    int bits = 0;
    int padding = 0;
    while (p < end)
    {
        if (bits == 0 && padding == 0 && end - p >= 4)
        {
            const uint8_t a = kSextets.value[p[0]], b = kSextets.value[p[1]], c = kSextets.value[p[2]],
                          d = kSextets.value[p[3]];
            if ((a | b | c | d) < 64)
            {
                const uint32_t group = (uint32_t(a) << 18) | (uint32_t(b) << 12) | (uint32_t(c) << 6) | d;
                o[0] = uint8_t(group >> 16);
                o[1] = uint8_t(group >> 8);
                o[2] = uint8_t(group);
                o += 3;
                p += 4;
                continue;
            }
        }
        const uint8_t v = kSextets.value[*p++];
        if (v == kSpace)
            continue;
        if (v == kPad)
        {
            if (++padding > 2)
                return false;
            continue;
        }
        if (v == kBad || padding)
            return false;
        acc = (acc << 6) | v;
        bits += 6;
        if (bits >= 8)
        {
            bits -= 8;
            *o++ = uint8_t(acc >> bits);
            acc &= (1u << bits) - 1;
        }
    }
    out.resize(size_t(o - out.data()));
    // Leftover bits must be the zero fill of a final partial group.
    return bits < 6 && acc == 0;
}

std::string encodeBase64(const uint8_t* bytes, size_t size)
{
    static const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < size; i += 3)
    {
        const uint32_t v = (uint32_t(bytes[i]) << 16) | (uint32_t(bytes[i + 1]) << 8) | bytes[i + 2];
        out += alphabet[v >> 18];
        out += alphabet[(v >> 12) & 63];
        out += alphabet[(v >> 6) & 63];
        out += alphabet[v & 63];
    }
    if (i < size)
    {
        const bool two = i + 1 < size;
        const uint32_t v = (uint32_t(bytes[i]) << 16) | (two ? uint32_t(bytes[i + 1]) << 8 : 0);
        out += alphabet[v >> 18];
        out += alphabet[(v >> 12) & 63];
        out += two ? alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}
} // namespace VSTGUI
