#include "gui/platform/headless.h"

#include "gui/cdrawcontext.h"
#include "gui/cframe.h"
#include "gui/guilog.h"

namespace VSTGUI
{
HeadlessFrame::HeadlessFrame(IPlatformFrameCallback* cb, const CRect& size)
    : callback(cb), width(int(size.getWidth())), height(int(size.getHeight()))
{
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    invalid = CRect(0, 0, width, height);
}

HeadlessFrame::~HeadlessFrame()
{
    if (surface)
        cairo_surface_destroy(surface);
}

HeadlessFrame* HeadlessFrame::from(CFrame* frame)
{
    return frame ? dynamic_cast<HeadlessFrame*>(frame->getPlatformFrame()) : nullptr;
}

cairo_surface_t* HeadlessFrame::render()
{
    if (!surface || cairo_image_surface_get_width(surface) != width ||
        cairo_image_surface_get_height(surface) != height)
    {
        if (surface)
            cairo_surface_destroy(surface);
        surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    }
    cairo_t* cr = cairo_create(surface);
    // An opaque black ground, as a window without content would show.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    {
        auto* context = new CDrawContext(cr);
        callback->platformDrawRect(context, CRect(0, 0, width, height));
        context->forget();
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    invalid = CRect();
    return surface;
}

bool HeadlessFrame::writePNG(const std::string& path)
{
    return cairo_surface_write_to_png(render(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

CMouseEventResult HeadlessFrame::mouseDown(const CPoint& where, const CButtonState& buttons)
{
    CPoint p = where;
    return callback->platformOnMouseDown(p, buttons);
}

CMouseEventResult HeadlessFrame::mouseMoved(const CPoint& where, const CButtonState& buttons)
{
    CPoint p = where;
    return callback->platformOnMouseMoved(p, buttons);
}

CMouseEventResult HeadlessFrame::mouseUp(const CPoint& where, const CButtonState& buttons)
{
    CPoint p = where;
    return callback->platformOnMouseUp(p, buttons);
}

void HeadlessFrame::click(const CPoint& where, const CButtonState& buttons)
{
    mouseDown(where, buttons);
    mouseUp(where, buttons);
}

bool HeadlessFrame::wheel(const CPoint& where, float distance, const CButtonState& buttons, CMouseWheelAxis axis)
{
    return callback->platformOnMouseWheel(where, axis, distance, buttons);
}

void HeadlessFrame::mouseExited()
{
    callback->platformOnMouseExited();
}

bool HeadlessFrame::keyDown(const VstKeyCode& key)
{
    VstKeyCode k = key;
    return callback->platformOnKeyDown(k);
}

bool HeadlessFrame::keyUp(const VstKeyCode& key)
{
    VstKeyCode k = key;
    return callback->platformOnKeyUp(k);
}

void HeadlessFrame::typeCharacter(char32_t character, unsigned char modifier)
{
    VstKeyCode k;
    k.character = int32_t(character);
    k.modifier = modifier;
    keyDown(k);
    keyUp(k);
}

void HeadlessFrame::typeVirtualKey(unsigned char virt, unsigned char modifier)
{
    VstKeyCode k;
    k.virt = virt;
    k.modifier = modifier;
    keyDown(k);
    keyUp(k);
}

bool HeadlessFrame::setSize(const CRect& newSize)
{
    width = int(newSize.getWidth());
    height = int(newSize.getHeight());
    invalid = CRect(0, 0, width, height);
    return true;
}

void HeadlessFrame::redrawIfNeeded()
{
    // Drawing happens on demand in render(); nothing is shown anywhere.
}

bool HeadlessFrame::runModalLoop(const std::function<bool()>& done)
{
    for (int i = 0; i < 100 && !done(); ++i)
    {
        if (!modalHandler)
            break;
        modalHandler(*this);
        callback->platformOnModalIdle();
    }
    if (done())
        return true;
    GUI_LOG("Modal dialog left unanswered");
    return false;
}

IPlatformFrame* HeadlessPlatformFactory::createFrame(IPlatformFrameCallback* frame, const CRect& size, void*,
                                                     PlatformType, IPlatformFrameConfig*)
{
    return new HeadlessFrame(frame, size);
}

bool HeadlessPlatformFactory::runFileSelector(CFrame*, const FileSelectorRequest& request,
                                              std::vector<std::string>& selected)
{
    fileRequests.push_back(request);
    return fileSelectorHandler && fileSelectorHandler(request, selected);
}
} // namespace VSTGUI
