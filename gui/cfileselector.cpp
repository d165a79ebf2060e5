#include "gui/cfileselector.h"

#include "gui/cframe.h"
#include "gui/guilog.h"
#include "gui/platform/iplatformframe.h"

namespace VSTGUI
{
namespace
{
// While a dialog is open the window stays drawn but takes no input: a dimmed
// layer over it swallows clicks and keys.
class DialogVeil : public CFrameOverlay
{
public:
    void draw(CDrawContext* context, const CRect& windowRect) override
    {
        context->setFillColor(CColor(0, 0, 0, 96));
        context->drawRect(windowRect, kDrawFilled);
    }
    void onMouseDown(const CPoint&, const CButtonState&) override {}
    void cancel() override {}
};
} // namespace

CNewFileSelector* CNewFileSelector::create(CFrame* parent, Style style)
{
    if (!getPlatformFactory().hasFileSelector())
    {
        GUI_LOG("No file dialog available");
        return nullptr;
    }
    return new CNewFileSelector(parent, style);
}

CNewFileSelector::CNewFileSelector(CFrame* f, Style style) : frame(f)
{
    request.save = style == kSelectSaveFile;
    request.directory = style == kSelectDirectory;
}

void CNewFileSelector::setDefaultExtension(const CFileExtension& ext)
{
    request.defaultExtension = ext.getExtension().getString();
}

void CNewFileSelector::addFileExtension(const CFileExtension& ext)
{
    request.filters.emplace_back(ext.getDescription().getString(), ext.getExtension().getString());
}

bool CNewFileSelector::runModal()
{
    FileSelectorRequest r;
    r.save = request.save;
    r.directory = request.directory;
    r.multiple = request.multiple;
    r.title = request.title;
    r.initialDirectory = request.initialDirectory;
    r.defaultSaveName = request.defaultSaveName;
    r.defaultExtension = request.defaultExtension;
    r.filters = request.filters;
    selected.clear();
    SharedPointer<CFrame> frameGuard(frame);
    auto veil = owned(new DialogVeil);
    if (frame)
        frame->addOverlay(veil);
    // A cancel and a failure both leave nothing selected; a failure has
    // been logged where it happened.
    if (!getPlatformFactory().runFileSelector(frame, r, selected))
        selected.clear();
    if (frame)
        frame->removeOverlay(veil);
    return !selected.empty();
}

bool CNewFileSelector::run(CallbackFunc&& callback)
{
    SharedPointer<CNewFileSelector> guard(this);
    const bool ok = runModal();
    if (ok && callback)
        callback(this);
    return ok;
}

UTF8StringPtr CNewFileSelector::getSelectedFile(uint32_t index) const
{
    return index < selected.size() ? selected[index].c_str() : nullptr;
}

bool openWebLink(const std::string& url)
{
    const bool web = url.rfind("https://", 0) == 0 || url.rfind("http://", 0) == 0;
    if (!web || url.find_first_of(" \t\r\n") != std::string::npos)
    {
        GUI_LOG("Refusing to open \"" << url << "\"");
        return false;
    }
    return getPlatformFactory().openURL(url);
}
} // namespace VSTGUI
