// Name lookups: a word matches when it is one of the listed stems, maybe
// plural or joined to another word, so that "Bells", "TubeBell" and
// "Bell+Pad" all read as bells and "Bassoon" does not read as a bass.

#include "tools/audition/names.h"

#include <initializer_list>
#include <vector>

namespace audition
{
namespace
{
std::vector<std::string> words(const std::string& name)
{
    std::vector<std::string> out(1);
    for (char c : name)
    {
        if (c == ' ' || c == '+' || c == '/' || c == '&')
        {
            if (!out.back().empty())
                out.emplace_back();
        }
        else
        {
            out.back() += c;
        }
    }
    if (out.back().empty())
        out.pop_back();
    return out;
}

// A stem matches at the start of a word or, for a capitalised stem, at an
// inner capital ("TubeBell").
bool says(const std::string& name, std::initializer_list<const char*> stems)
{
    for (const std::string& w : words(name))
    {
        for (const char* stem : stems)
        {
            const std::string s(stem);
            for (size_t at = w.find(s); at != std::string::npos; at = w.find(s, at + 1))
            {
                const bool starts = at == 0 || (s[0] >= 'A' && s[0] <= 'Z' && w[at - 1] >= 'a' && w[at - 1] <= 'z');
                // The stem ends the word, or a plural s or a new capital
                // follows: "Bells", not "Bassoon".
                const size_t end = at + s.size();
                const bool ends = end == w.size() || (w[end] == 's' && end + 1 == w.size()) ||
                                  !(w[end] >= 'a' && w[end] <= 'z');
                if (starts && ends)
                    return true;
            }
        }
    }
    return false;
}
} // namespace

bool namedAsBass(const std::string& name) { return says(name, {"Bass", "Bs", "Fretless"}); }
bool namedAsLead(const std::string& name) { return says(name, {"Lead", "Ld"}); }
bool namedAsBell(const std::string& name) { return says(name, {"Bell", "Chime", "Glocken", "Celesta"}); }
bool namedAsSwell(const std::string& name) { return says(name, {"Pad", "Swell", "Slow", "Sweep", "Rev"}); }

bool meantBright(const std::string& name, designer::Family family)
{
    using designer::Family;
    switch (family)
    {
    case Family::Brass:
    case Family::SynthBrass: return !says(name, {"Tuba", "Horn", "Soft"});
    case Family::Strings: return !says(name, {"Pizz", "Pizzicato"});
    case Family::Lead: return !says(name, {"Whistle"});
    case Family::Clav:
    case Family::Organ: return true;
    case Family::Pluck: return says(name, {"Gtr", "Guitar", "Nylon", "Steel", "12", "Mandolin", "Banjo"});
    case Family::Piano: return says(name, {"Bright"});
    default: return false;
    }
}
} // namespace audition
