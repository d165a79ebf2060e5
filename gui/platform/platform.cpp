#include <chrono>
#include <cstdlib>

#include "gui/guilog.h"
#include "gui/platform/headless.h"
#include "gui/platform/process.h"
#include "gui/platform/x11frame.h"

namespace VSTGUI
{
namespace
{
// The desktop platform: X11 windows (off-screen ones on request), the steady
// clock, xdg-open for links and zenity for file dialogs where it exists.
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

    bool hasFileSelector() override { return findInPath("zenity"); }

    bool runFileSelector(CFrame*, const FileSelectorRequest& request, std::vector<std::string>& selected) override
    {
        std::vector<std::string> args = {"zenity", "--file-selection"};
        if (request.save)
            args.push_back("--save");
        if (request.directory)
            args.push_back("--directory");
        if (request.multiple)
        {
            args.push_back("--multiple");
            args.push_back("--separator=\n");
        }
        if (!request.title.empty())
            args.push_back("--title=" + request.title);
        std::string start = request.initialDirectory;
        if (!start.empty() && start.back() != '/')
            start += '/';
        if (request.save && !request.defaultSaveName.empty())
            start += request.defaultSaveName;
        if (!start.empty())
            args.push_back("--filename=" + start);
        for (const auto& [description, extension] : request.filters)
            args.push_back("--file-filter=" + description + " | *." + extension);
        std::string out;
        if (!runAndCapture(args, out))
            return false;
        selected.clear();
        size_t pos = 0;
        while (pos < out.size())
        {
            const size_t nl = out.find('\n', pos);
            const std::string line = out.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
            if (!line.empty())
                selected.push_back(line);
            if (nl == std::string::npos)
                break;
            pos = nl + 1;
        }
        return !selected.empty();
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
