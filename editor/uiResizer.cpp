#include "editor/uiResizer.h"

#include <cmath>

#include "editor/k1Editor.h"

using namespace VSTGUI;

namespace
{
bool leftButtonAlone(CButtonState buttons)
{
    return (buttons & kAllMouseButtons) == kLButton;
}

// Distance from the window's top-left corner.
double reach(const CPoint& p)
{
    return std::hypot(p.x, p.y);
}
} // namespace

uiResizer::uiResizer(K1Editor& editor) : m_editor(editor)
{
    m_handle = ControlHelpers::initView<CView>(editor.getViewMap(), "resizeHandle");
    if (m_handle)
        m_handle->registerViewMouseListener(this);
}

uiResizer::~uiResizer()
{
    if (m_handle)
        m_handle->unregisterViewMouseListener(this);
}

CMouseEventResult uiResizer::viewOnMouseDown(CView* view, CPoint where, CButtonState buttons)
{
    if (view != m_handle || !leftButtonAlone(buttons))
        return kMouseEventNotHandled;
    view->localToFrame(where);
    // A handle at the corner itself gives no distance to scale by.
    if (reach(where) < 1.0)
        return kMouseEventNotHandled;
    m_dragging = true;
    m_pressPoint = where;
    m_pressZoom = m_editor.getZoom();
    return kMouseEventHandled;
}

CMouseEventResult uiResizer::viewOnMouseMoved(CView* view, CPoint where, CButtonState buttons)
{
    if (!m_dragging || view != m_handle || !leftButtonAlone(buttons))
        return kMouseEventNotHandled;
    // Window pixels under the zoom of this moment: the press point was too.
    view->localToFrame(where);
    m_editor.changeZoom(m_pressZoom * reach(where) / reach(m_pressPoint));
    return kMouseEventHandled;
}

CMouseEventResult uiResizer::viewOnMouseUp(CView*, CPoint, CButtonState)
{
    m_dragging = false;
    return kMouseEventNotImplemented;
}

CMouseEventResult uiResizer::viewOnMouseCancel(CView*)
{
    m_dragging = false;
    return kMouseEventNotImplemented;
}
