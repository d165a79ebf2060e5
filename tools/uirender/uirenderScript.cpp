#include "tools/uirender/uirenderScript.h"

#include <cstdio>
#include <map>
#include <sstream>

using namespace VSTGUI;

namespace uirender
{
namespace
{
bool readPoint(std::istringstream& in, CPoint& p)
{
    return static_cast<bool>(in >> p.x >> p.y);
}

// Decodes one UTF-8 sequence at text[i], advancing i; U+FFFD when broken.
char32_t nextCodePoint(const std::string& text, size_t& i)
{
    const auto b = uint8_t(text[i++]);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    char32_t c = extra == 3 ? (b & 0x07) : extra == 2 ? (b & 0x0F) : extra == 1 ? (b & 0x1F) : b;
    if (b >= 0x80 && extra == 0)
        return 0xFFFD;
    for (; extra > 0; --extra)
    {
        if (i >= text.size() || (uint8_t(text[i]) & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (uint8_t(text[i++]) & 0x3F);
    }
    return c;
}
} // namespace

bool runCommand(const std::string& line, CFrame* frame, HeadlessFrame* window, HeadlessPlatformFactory& factory)
{
    static const std::map<std::string, unsigned char> keys = {
        {"return", VKEY_RETURN}, {"escape", VKEY_ESCAPE}, {"backspace", VKEY_BACK}, {"delete", VKEY_DELETE},
        {"tab", VKEY_TAB},       {"left", VKEY_LEFT},     {"right", VKEY_RIGHT},    {"up", VKEY_UP},
        {"down", VKEY_DOWN},     {"home", VKEY_HOME},     {"end", VKEY_END},        {"space", VKEY_SPACE},
    };
    std::istringstream in(line);
    std::string cmd;
    if (!(in >> cmd) || cmd[0] == '#')
        return true;
    CPoint p;
    bool ok = true;
    if (cmd == "click" && (ok = readPoint(in, p)))
    {
        std::string which;
        in >> which;
        window->click(p, which == "right" ? kRButton : kLButton);
    }
    else if (cmd == "down" && (ok = readPoint(in, p)))
        window->mouseDown(p);
    else if (cmd == "move" && (ok = readPoint(in, p)))
        window->mouseMoved(p);
    else if (cmd == "up" && (ok = readPoint(in, p)))
        window->mouseUp(p);
    else if (cmd == "wheel")
    {
        float distance = 0;
        if ((ok = readPoint(in, p) && static_cast<bool>(in >> distance)))
            window->wheel(p, distance);
    }
    else if (cmd == "type")
    {
        std::string text;
        std::getline(in, text);
        if (!text.empty() && text[0] == ' ')
            text.erase(0, 1);
        for (size_t i = 0; i < text.size();)
            window->typeCharacter(nextCodePoint(text, i));
    }
    else if (cmd == "key")
    {
        std::string name;
        in >> name;
        auto it = keys.find(name);
        if ((ok = it != keys.end()))
            window->typeVirtualKey(it->second);
    }
    else if (cmd == "idle")
    {
        unsigned ms = 0;
        if ((ok = static_cast<bool>(in >> ms)))
        {
            factory.advanceTime(ms);
            frame->idle();
        }
    }
    else if (cmd == "png")
    {
        std::string path;
        in >> path;
        ok = !path.empty() && window->writePNG(path);
    }
    else
        ok = false;
    if (!ok)
        std::fprintf(stderr, "uirender: cannot run \"%s\"\n", line.c_str());
    return ok;
}
} // namespace uirender
