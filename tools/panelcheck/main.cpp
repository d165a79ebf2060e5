// panelcheck: checks the panel's UI description (the compiled-in one, or a
// file) and, with --png, draws each page to a PNG for review.
//   panelcheck [DOCUMENT] [--png DIR] [--zoom Z]
// Prints one line per problem; exits 1 when there is any.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor/uiXml.h"
#include "tools/panelcheck/panelCheck.h"

int main(int argc, char** argv)
{
    std::string document;
    panelcheck::Options options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if ((arg == "--png" || arg == "--zoom") && i + 1 < argc)
        {
            const std::string value = argv[++i];
            if (arg == "--png")
                options.pictureDir = value;
            else
                options.zoom = std::atof(value.c_str());
        }
        else if (arg[0] != '-' && document.empty())
            document = arg;
        else
        {
            std::fprintf(stderr, "usage: panelcheck [DOCUMENT] [--png DIR] [--zoom Z]\n");
            return 2;
        }
    }
    if (!(options.zoom >= 0.1 && options.zoom <= 1.0))
    {
        std::fprintf(stderr, "panelcheck: the zoom must lie between 0.1 and 1\n");
        return 2;
    }
    std::vector<char> bytes;
    if (document.empty())
    {
        const auto* data = reinterpret_cast<const char*>(k1editor::getData_uiXml());
        bytes.assign(data, data + k1editor::getDataSize_uiXml());
        document = "the compiled-in panel";
    }
    else
    {
        std::ifstream in(document, std::ios::binary);
        if (!in)
        {
            std::fprintf(stderr, "panelcheck: cannot read %s\n", document.c_str());
            return 1;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const auto start = std::chrono::steady_clock::now();
    const panelcheck::Result result = panelcheck::checkPanel(bytes.data(), bytes.size(), options);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const std::string& p : result.problems)
        std::printf("%s\n", p.c_str());
    for (const std::string& p : result.pictures)
        std::printf("wrote %s\n", p.c_str());
    std::printf("panelcheck: %s, %zu bytes, %zu bitmaps, %zu views (%zu names): %zu problem(s), %.2f s\n",
                document.c_str(), bytes.size(), result.bitmaps, result.views, result.namedViews,
                result.problems.size(), seconds);
    return result.problems.empty() ? 0 : 1;
}
