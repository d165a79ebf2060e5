// panelgen: writes the panel's UI description (the template "Darvello" with
// every bitmap inline) to the file named on the command line.
#include <cstdio>
#include <exception>
#include <fstream>

#include "tools/panelgen/panelLayout.h"

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: panelgen OUT.uidesc\n");
        return 2;
    }
    try
    {
        const std::string document = panelgen::buildPanelDocument();
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out << document;
        if (!out)
        {
            std::fprintf(stderr, "panelgen: cannot write %s\n", argv[1]);
            return 1;
        }
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "panelgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
