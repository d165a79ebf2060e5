#include "tests/gui/guiTestSupport.h"

#include <functional>

#include "tests/gui/demoDescription.h"

using namespace VSTGUI;

namespace guitest
{
std::string nameOf(CView* view)
{
    uint32_t size = 0;
    if (!view || !view->getAttributeSize(kCViewCustomViewName, size))
        return {};
    std::string name(size, '\0');
    view->getAttribute(kCViewCustomViewName, size, name.data(), size);
    return name;
}

CView* findView(CView* root, const std::string& name)
{
    if (!root)
        return nullptr;
    if (nameOf(root) == name)
        return root;
    if (auto* c = root->asViewContainer())
        for (uint32_t i = 0; i < c->getNbViews(); ++i)
            if (CView* v = findView(c->getView(i), name))
                return v;
    return nullptr;
}

DemoWindow::DemoWindow(double zoom)
{
    setPlatformFactory(&factory);
    const std::string xml = makeDemoDescription();
    Xml::MemoryContentProvider provider(xml.data(), xml.size());
    auto* description = new UIDescription(&provider);
    if (description->parse())
    {
        CView* root = description->createView("Demo", nullptr);
        frame = new CFrame(CRect(0, 0, 400, 240), nullptr);
        frame->addView(root);
        frame->open(nullptr);
        if (zoom != 1.0)
            frame->setZoom(zoom);
        window = HeadlessFrame::from(frame);
    }
    description->forget();
}

DemoWindow::~DemoWindow()
{
    if (frame)
        frame->forget();
    setPlatformFactory(nullptr);
}

CPoint DemoWindow::centerOf(const std::string& name)
{
    CView* v = findView(frame, name);
    if (!v)
        return CPoint(-1, -1);
    CPoint p = v->getViewSize().getCenter();
    v->localToFrame(p);
    return p - frame->getViewSize().getTopLeft();
}

void DemoWindow::listenToAll(IControlListener* listener)
{
    std::function<void(CView*)> walk = [&](CView* v) {
        if (auto* c = dynamic_cast<CControl*>(v))
            c->setListener(listener);
        if (auto* container = v->asViewContainer())
            for (uint32_t i = 0; i < container->getNbViews(); ++i)
                walk(container->getView(i));
    };
    walk(frame);
}
} // namespace guitest
