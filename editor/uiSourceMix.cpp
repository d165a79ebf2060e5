#include "editor/uiSourceMix.h"

#include <algorithm>
#include <cmath>

#include "editor/k1Editor.h"

using namespace VSTGUI;

namespace
{
bool buttonAlone(CButtonState buttons, uint32_t button)
{
    return (buttons & kAllMouseButtons) == button;
}

// A travel of zero (a throttle placed at the area's corner) has no mix.
double ratio(double position, double travel)
{
    return travel > 0.0 ? std::clamp(position / travel, 0.0, 1.0) : 0.5;
}
} // namespace

uiSourceMix::uiSourceMix(K1Editor& editor) : m_editor(editor)
{
    throttleArea = ControlHelpers::initView<CViewContainer>(editor.getViewMap(), "throttleArea");
    throttle = ControlHelpers::initView<CView>(editor.getViewMap(), "throttle");
    if (!throttleArea || !throttle)
        return;
    const CRect& design = throttle->getViewSize();
    m_throttleSize = CPoint(design.getWidth(), design.getHeight());
    m_travel = design.getTopLeft();
    throttle->registerViewMouseListener(this);

    placeAt(0.5, 0.5);
    m_centre = throttle->getViewSize().getCenter();
    m_radius = throttleArea->getWidth() / 2.0 - m_throttleSize.x / 2.0;
    m_radiusSquared = m_radius * m_radius;
    placeFromParameters();
}

uiSourceMix::~uiSourceMix()
{
    if (throttle)
        throttle->unregisterViewMouseListener(this);
}

void uiSourceMix::placeAt(double mixX, double mixY) const
{
    const CPoint topLeft(mixX * m_travel.x, mixY * m_travel.y);
    throttle->setViewSize(CRect(topLeft, m_throttleSize));
}

void uiSourceMix::redraw() const
{
    throttleArea->invalid();
}

void uiSourceMix::placeFromParameters()
{
    const k1lib::Plugin& plugin = m_editor.getPlugin();
    m_mix = CPoint(plugin.getParameter(k1lib::Param_SourceMix34), plugin.getParameter(k1lib::Param_SourceMix12));
    placeAt(m_mix.x, m_mix.y);
    limitBounds();
    redraw();
}

void uiSourceMix::onSourceMixParametersChanged()
{
    if (throttle)
        placeFromParameters();
}

void uiSourceMix::resetToCenter(bool notify)
{
    if (!throttle)
        return;
    placeAt(0.5, 0.5);
    redraw();
    if (notify)
        updateMixValuesFromView();
}

void uiSourceMix::updateMixValuesFromView()
{
    if (!throttle)
        return;
    const CPoint topLeft = throttle->getViewSize().getTopLeft();
    m_mix = CPoint(ratio(topLeft.x, m_travel.x), ratio(topLeft.y, m_travel.y));
    m_editor.setParameterFromUi(k1lib::Param_SourceMix12, float(m_mix.y));
    m_editor.setParameterFromUi(k1lib::Param_SourceMix34, float(m_mix.x));
}

void uiSourceMix::limitBounds() const
{
    if (!throttle)
        return;
    const CPoint centre = throttle->getViewSize().getCenter();
    const double dx = centre.x - m_centre.x;
    const double dy = centre.y - m_centre.y;
    const double squared = dx * dx + dy * dy;
    if (squared <= m_radiusSquared)
        return;
    const double scale = m_radius / std::sqrt(squared);
    const CPoint onCircle(m_centre.x + dx * scale, m_centre.y + dy * scale);
    const CPoint half(m_throttleSize.x / 2.0, m_throttleSize.y / 2.0);
    throttle->setViewSize(CRect(onCircle - half, m_throttleSize));
}

CMouseEventResult uiSourceMix::viewOnMouseDown(CView* view, CPoint where, CButtonState buttons)
{
    if (view != throttle)
        return kMouseEventNotHandled;
    if (buttonAlone(buttons, kRButton))
    {
        resetToCenter(true);
        return kMouseEventHandled;
    }
    if (buttonAlone(buttons, kLButton))
    {
        m_dragging = true;
        m_lastPoint = view->localToFrame(where);
        return kMouseEventHandled;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult uiSourceMix::viewOnMouseMoved(CView* view, CPoint where, CButtonState buttons)
{
    if (!m_dragging || view != throttle || !buttonAlone(buttons, kLButton))
        return kMouseEventNotHandled;
    m_lastPoint = where;
    view->localToFrame(m_lastPoint);
    // The pointer holds the throttle by its middle.
    const double zoom = m_editor.getZoom();
    CPoint topLeft = m_lastPoint - CPoint(m_throttleSize.x / 2.0 * zoom, m_throttleSize.y / 2.0 * zoom);
    view->frameToLocal(topLeft);
    throttle->setViewSize(CRect(topLeft, m_throttleSize));
    limitBounds();
    updateMixValuesFromView();
    redraw();
    return kMouseEventHandled;
}
