#pragma once

// What a preset's name says it is, as a musician reads a factory list: the
// words of the name (split at blanks and + / &) looked up in short lists.

#include <string>

#include "tools/patchdesigner/designer.h"

namespace audition
{
bool namedAsBass(const std::string& name);
bool namedAsLead(const std::string& name);
bool namedAsBell(const std::string& name);
bool namedAsSwell(const std::string& name);
// Brass, strings, leads, clavs, guitars, organs and bright pianos, by the
// family the designer made the single in and what its name says within it
// (a tuba, a pizzicato or a whistle is not meant to be bright).
bool meantBright(const std::string& name, designer::Family family);
} // namespace audition
