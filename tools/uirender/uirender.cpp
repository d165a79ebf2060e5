// uirender: renders a template of a UI description to PNG without a display.
//   uirender DESCRIPTION OUT.png [--template NAME] [--zoom Z] [--script FILE]
//            [--do "COMMAND"]...
// Without --template the first template (by name) is drawn. Commands are
// those of uirenderScript.h; they run in order, scripts before --do's.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gui/cmessagebox.h"
#include "gui/uidescription.h"
#include "tools/uirender/uirenderScript.h"

using namespace VSTGUI;

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: uirender DESCRIPTION OUT.png [--template NAME] [--zoom Z] [--script FILE] "
                             "[--do COMMAND]...\n");
        return 2;
    }
    const std::string input = argv[1], output = argv[2];
    std::string templateName;
    double zoom = 1.0;
    std::vector<std::string> commands, scriptLines;
    for (int i = 3; i + 1 < argc; i += 2)
    {
        const std::string opt = argv[i], value = argv[i + 1];
        if (opt == "--template")
            templateName = value;
        else if (opt == "--zoom")
            zoom = std::atof(value.c_str());
        else if (opt == "--do")
            commands.push_back(value);
        else if (opt == "--script")
        {
            std::ifstream script(value);
            if (!script)
            {
                std::fprintf(stderr, "uirender: cannot read %s\n", value.c_str());
                return 1;
            }
            for (std::string line; std::getline(script, line);)
                scriptLines.push_back(line);
        }
        else
        {
            std::fprintf(stderr, "uirender: unknown option %s\n", opt.c_str());
            return 2;
        }
    }
    commands.insert(commands.begin(), scriptLines.begin(), scriptLines.end());

    std::ifstream in(input, std::ios::binary);
    if (!in)
    {
        std::fprintf(stderr, "uirender: cannot read %s\n", input.c_str());
        return 1;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    HeadlessPlatformFactory factory;
    setPlatformFactory(&factory);
    Xml::MemoryContentProvider provider(bytes.data(), bytes.size());
    auto* description = new UIDescription(&provider);
    CView* root = nullptr;
    if (description->parse())
    {
        if (templateName.empty() && !description->getTemplateNames().empty())
            templateName = description->getTemplateNames().front();
        root = description->createView(templateName.c_str(), nullptr);
    }
    description->forget();
    if (!root)
    {
        std::fprintf(stderr, "uirender: no template to draw in %s\n", input.c_str());
        return 1;
    }
    auto* frame = new CFrame(root->getViewSize(), nullptr);
    frame->addView(root);
    int rc = 0;
    if (!frame->open(nullptr) || (zoom != 1.0 && !frame->setZoom(zoom)))
        rc = 1;
    HeadlessFrame* window = HeadlessFrame::from(frame);
    if (window)
    {
        window->setModalHandler([&](HeadlessFrame& w) {
            if (CMessageBox* box = CMessageBox::getOpen(frame))
                w.click(box->getButtonRect(box->getButtons().size() - 1).getCenter());
        });
        for (const auto& c : commands)
            if (!uirender::runCommand(c, frame, window, factory))
                rc = 1;
        if (!window->writePNG(output))
        {
            std::fprintf(stderr, "uirender: cannot write %s\n", output.c_str());
            rc = 1;
        }
    }
    frame->forget();
    setPlatformFactory(nullptr);
    return rc;
}
