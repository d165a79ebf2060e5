// Writes the tests' demo UI description to the file named on the command line.
#include <cstdio>
#include <fstream>

#include "tests/gui/demoDescription.h"

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: gui_write_demo OUT.uidesc\n");
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << guitest::makeDemoDescription();
    return out ? 0 : 1;
}
