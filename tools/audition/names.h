#pragma once

// What a preset's name says it is, as a musician reads a factory list: the
// words of the name (split at blanks and + / &) looked up in short lists.

#include <string>

namespace audition
{
bool namedAsBass(const std::string& name);
bool namedAsLead(const std::string& name);
bool namedAsBell(const std::string& name);
bool namedAsSwell(const std::string& name);
} // namespace audition
