#include "patch/log.h"

#include <cstdio>

void g_logUnix(const std::string& line)
{
    std::puts(line.c_str());
}
