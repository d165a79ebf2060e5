#include "editor/k1Editor.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "editor/k1EditorWidgets.h"
#include "editor/uiXml.h"
#include "editor/webLinks.h"
#include "patch/log.h"

using namespace VSTGUI;

namespace
{
constexpr const char* kTemplateName = "Darvello";
constexpr const char* kMessageTitle = "Darvello";
constexpr uint32_t kTooltipDelayMs = 500;

// Reads the compiled-in description from memory, as often as the parser asks.
class XmlContentProvider : public Xml::IContentProvider
{
public:
    int32_t readRawXmlData(int8_t* buffer, int32_t size) override
    {
        const size_t total = k1editor::getDataSize_uiXml();
        if (size <= 0 || m_position >= total)
            return 0;
        const size_t count = std::min(size_t(size), total - m_position);
        std::copy_n(reinterpret_cast<const int8_t*>(k1editor::getData_uiXml()) + m_position, count, buffer);
        m_position += count;
        return int32_t(count);
    }
    void rewind() override { m_position = 0; }

private:
    size_t m_position = 0;
};
} // namespace

K1Editor::K1Editor(k1lib::Plugin& plugin, void* parent, VSTGUIEditorInterface* editorInterface,
                   k1EditorListener* listener, const CRect& rect, PlatformType platformType,
                   IPlatformFrameConfig* config, CFrame* frame)
    : m_plugin(plugin), m_parent(parent), m_listener(listener), m_rect(rect), m_frameSupplied(frame != nullptr),
      m_frame(frame)
{
    K1_LOG("Opening GUI");

    CView* root = nullptr;
    if (m_frame)
    {
        m_rect = m_frame->getViewSize();
        root = m_frame->getView(0);
    }
    else
    {
        const UIDescription* description = getPanelDescription();
        if (!description)
        {
            K1_LOG("Failed to parse UI description");
            return;
        }
        root = description->createView(kTemplateName, nullptr);
        m_frame = new CFrame(m_rect, editorInterface);
        if (root)
            m_frame->addView(root);
        if (!root || !m_frame->open(m_parent, platformType, config))
        {
            K1_LOG("Failed to open the editor window");
            detachFromViews();
            m_frame->forget();
            m_frame = nullptr;
            return;
        }
    }

    m_frame->setTransparency(true);
    m_frame->setBitmapInterpolationQuality(BitmapInterpolationQuality::kHigh);
    m_frame->registerKeyboardHook(this);

    initializeViews(root);
    fitZoom(rect);

    m_frame->enableTooltips(true, kTooltipDelayMs);

    // The bridge attaches the editor to the facade only after it is built:
    // whatever changed in between (a program change from the audio thread,
    // say) reached no editor. The first idle therefore reads everything
    // afresh.
    markEverythingDirty();
}

const UIDescription* K1Editor::getPanelDescription()
{
    // Parsing the 3.5 MB document is most of what an opening would cost; its
    // views are built afresh for each window, its bitmaps shared by all. It
    // lives until the plug-in is unloaded.
    static std::once_flag once;
    static SharedPointer<UIDescription> shared;
    std::call_once(once, [] {
        XmlContentProvider provider;
        auto description = owned(new UIDescription(&provider));
        if (description->parse())
            shared = description;
    });
    return shared.get();
}

K1Editor::~K1Editor()
{
    if (clickableLogo)
        clickableLogo->unregisterViewMouseListener(this);
    if (btDonate)
        btDonate->unregisterViewMouseListener(this);
    for (CBitmap*& bitmap : m_smallButtonBitmaps)
        if (bitmap)
            std::exchange(bitmap, nullptr)->forget();
    for (CBitmap*& bitmap : m_largeButtonBitmaps)
        if (bitmap)
            std::exchange(bitmap, nullptr)->forget();
    deleteMultilevelOptionMenus();
    destroyWidgets();
    // Its hold on the full-size pixels ends first: closing the window
    // releases what it drew with, and those pixels too unless another
    // window's zoom is changing.
    endZoomChange();
    if (m_frame)
    {
        m_frame->unregisterKeyboardHook(this);
        if (m_frameSupplied)
            detachFromViews(); // the caller's frame outlives us: no listener may point here
        else
            m_frame->close(); // drops the views and releases our reference
        m_frame = nullptr;
    }
}

// Clears this editor from every control it listens to.
void K1Editor::detachFromViews()
{
    for (auto& [name, views] : m_views)
        for (CView* view : views)
            if (auto* control = dynamic_cast<CControl*>(view))
                if (control->getListener() == this)
                    control->setListener(nullptr);
}

void K1Editor::fitZoom(const CRect& requested)
{
    m_zoom = openingZoom(m_rect);
    m_frame->setTransform(CGraphicsTransform().scale(m_zoom, m_zoom));
    // The window takes the panel's size at that zoom, so it neither cuts the
    // panel off nor leaves an empty margin; the host hears of a change.
    const CRect fitted = openingRect(m_rect);
    m_frame->setSize(fitted.getWidth(), fitted.getHeight());
    m_rect = m_frame->getViewSize();
    if (m_rect != requested && m_listener)
        m_listener->onSizeChanged();
}

bool K1Editor::getRect(CRect& rect) const
{
    if (!m_frame)
        return false;
    rect = m_frame->getViewSize();
    return true;
}

CRect K1Editor::getDefaultRect()
{
    return CRect(0, 0, 1024, 576);
}

void K1Editor::showMessageBoxOk(const std::string& text)
{
    CMessageBox::run(m_frame, kMessageTitle, text, {"OK"});
}

bool K1Editor::showMessageBoxYesNo(const std::string& text)
{
    // "Cancel" is the default: Return on a question about overwriting or
    // resetting presets must not destroy anything.
    return CMessageBox::run(m_frame, kMessageTitle, text, {"Cancel", "OK"}, 0) == 1;
}

bool K1Editor::openURL(const std::string& url, const std::string& question)
{
    if (!showMessageBoxYesNo(question + " (internet connection required)"))
        return false;
    return openWebLink(url);
}

bool K1Editor::swapSources(size_t a, size_t b)
{
    return m_plugin.swapSources(a, b);
}

CMouseEventResult K1Editor::viewOnMouseDown(CView* view, CPoint, CButtonState)
{
    if (view && view == clickableLogo)
    {
        openURL(k1links::kWebsite, "Open Darvello Website?");
        return kMouseEventHandled;
    }
    if (view && view == btDonate)
    {
        openURL(k1links::kDonation, "Do you want to support this project by donating something?");
        return kMouseEventHandled;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult K1Editor::viewOnMouseUp(CView*, CPoint, CButtonState)
{
    return kMouseEventNotImplemented;
}

CMouseEventResult K1Editor::viewOnMouseMoved(CView*, CPoint, CButtonState)
{
    return kMouseEventNotImplemented;
}

CMouseEventResult K1Editor::viewOnMouseCancel(CView*)
{
    return kMouseEventNotImplemented;
}
