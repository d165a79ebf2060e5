#include <chrono>
#include <cstdlib>

#include "gui/cframe.h"
#include "gui/guilog.h"
#include "gui/platform/headless.h"
#include "gui/platform/process.h"
#include "gui/platform/x11frame.h"

namespace VSTGUI
{
namespace
{
// The desktop platform: X11 windows (off-screen ones on request), the steady
// clock, xdg-open for links, and zenity (or kdialog where zenity is missing)
// for file dialogs.
class DesktopPlatformFactory : public IPlatformFactory
{
public:
    IPlatformFrame* createFrame(IPlatformFrameCallback* frame, const CRect& size, void* parent, PlatformType type,
                                IPlatformFrameConfig* config) override
    {
        if (dynamic_cast<HeadlessFrameConfig*>(config))
            return new HeadlessFrame(frame, size);
        if (type != PlatformType::kDefaultNative && type != PlatformType::kX11EmbedWindowID)
        {
            GUI_LOG("Unsupported platform type " << int(type));
            return nullptr;
        }
        return createX11Frame(frame, size, parent);
    }

    uint64_t getTicks() override
    {
        using namespace std::chrono;
        return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }

    bool openURL(const std::string& url) override
    {
        if (url.empty())
            return false;
        return spawnDetached({"xdg-open", url});
    }

    bool hasFileSelector() override { return !fileDialogProgram().empty(); }

    // The dialog runs as a program of the desktop while the window goes on
    // being drawn; its answer is its standard output, one path per line.
    bool runFileSelector(CFrame* frame, const FileSelectorRequest& request, std::vector<std::string>& selected) override
    {
        const std::string program = fileDialogProgram();
        if (program.empty())
        {
            GUI_LOG("No file dialog program found (zenity or kdialog)");
            return false;
        }
        CapturedProcess dialog;
        if (!dialog.start(program == "zenity" ? zenityArguments(request) : kdialogArguments(request)))
            return false;
        constexpr int kWaitStepMs = 10;
        SharedPointer<CFrame> guard(frame);
        while (!dialog.waitFor(kWaitStepMs))
            if (frame)
                frame->serveWhileWaiting();
        // Both programs end with 1 when the user cancels or closes the dialog.
        if (dialog.getExitStatus() == 1)
            return false;
        if (dialog.getExitStatus() != 0)
        {
            GUI_LOG(program << " ended with status " << dialog.getExitStatus());
            return false;
        }
        selected.clear();
        const std::string& out = dialog.getOutput();
        for (size_t pos = 0; pos < out.size();)
        {
            size_t nl = out.find('\n', pos);
            if (nl == std::string::npos)
                nl = out.size();
            if (nl > pos)
                selected.push_back(out.substr(pos, nl - pos));
            pos = nl + 1;
        }
        return !selected.empty();
    }

private:
    // zenity where it exists, else kdialog; empty when neither does.
    static std::string fileDialogProgram()
    {
        for (const char* program : {"zenity", "kdialog"})
            if (findInPath(program))
                return program;
        return {};
    }

    static std::vector<std::string> zenityArguments(const FileSelectorRequest& request)
    {
        std::vector<std::string> args = {"zenity", "--file-selection"};
        if (request.save)
            args.insert(args.end(), {"--save", "--confirm-overwrite"});
        if (request.directory)
            args.push_back("--directory");
        if (request.multiple)
            args.insert(args.end(), {"--multiple", "--separator=\n"});
        if (!request.title.empty())
            args.push_back("--title=" + request.title);
        const std::string start = startPath(request);
        if (!start.empty())
            args.push_back("--filename=" + start);
        for (const auto& [description, extension] : request.filters)
            args.push_back("--file-filter=" + description + " | *." + extension);
        return args;
    }

    static std::vector<std::string> kdialogArguments(const FileSelectorRequest& request)
    {
        std::vector<std::string> args = {"kdialog"};
        if (!request.title.empty())
            args.insert(args.end(), {"--title", request.title});
        if (request.directory)
        {
            args.insert(args.end(), {"--getexistingdirectory", request.initialDirectory});
            return args;
        }
        args.push_back(request.save ? "--getsavefilename" : "--getopenfilename");
        args.push_back(startPath(request));
        // KDE's filter: one "pattern|description" per line.
        std::string filter;
        for (const auto& [description, extension] : request.filters)
        {
            if (!filter.empty())
                filter += '\n';
            filter.append("*.").append(extension).append("|").append(description);
        }
        args.push_back(filter);
        if (request.multiple && !request.save)
            args.insert(args.end(), {"--multiple", "--separate-output"});
        return args;
    }

    // The folder to start in, with the proposed name of a saved file.
    static std::string startPath(const FileSelectorRequest& request)
    {
        std::string start = request.initialDirectory;
        if (!start.empty() && start.back() != '/')
            start += '/';
        if (request.save && !request.defaultSaveName.empty())
            start += request.defaultSaveName;
        return start;
    }
};

IPlatformFactory* g_override = nullptr;
} // namespace

IPlatformFactory& getPlatformFactory()
{
    static DesktopPlatformFactory desktop;
    return g_override ? *g_override : desktop;
}

void setPlatformFactory(IPlatformFactory* factory)
{
    g_override = factory;
}
} // namespace VSTGUI
