// K1Editor: the zoom of the panel and the size of its window. The window
// always shows the whole panel at one zoom, so its size and the zoom follow
// from each other; every size that changes is reported to the bridge, which
// tells the host and keeps the size for the next opening and the state.

#include <algorithm>
#include <cmath>

#include "editor/k1Editor.h"

using namespace VSTGUI;

// Long enough for a drag of the resize handle to have ended: the bitmaps
// keep their full-size pixels while the zoom still moves.
constexpr uint64_t kZoomSettledMs = 1000;

void K1Editor::zoomMoved()
{
    m_zoomMovedAt = getPlatformFactory().getTicks();
    if (!m_zoomChanging)
        CBitmap::beginZoomChange();
    m_zoomChanging = true;
}

void K1Editor::endZoomChange()
{
    if (m_zoomChanging)
        CBitmap::endZoomChange();
    m_zoomChanging = false;
}

void K1Editor::releaseBitmapMemoryWhenSettled()
{
    if (m_zoomChanging && getPlatformFactory().getTicks() - m_zoomMovedAt >= kZoomSettledMs)
        endZoomChange();
    // Drawn only zoomed, a bitmap's full-size pixels go as soon as no window
    // is changing its zoom (another window's drag keeps them).
    if (!m_zoomChanging && !m_frameSupplied && m_frame)
        if (const UIDescription* description = getPanelDescription())
            description->releaseFullSizeBitmaps();
}

void K1Editor::changeZoom(double zoom)
{
    if (!m_frame)
        return;
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == m_zoom)
        return;
    // The window goes straight to the panel's size at the new zoom: one size
    // for the host per step of a drag, always 16:9, and no rounding that
    // piles up over the steps.
    const CGraphicsTransform before = m_frame->getTransform();
    m_frame->setTransform(CGraphicsTransform().scale(zoom, zoom));
    if (!m_frame->setSize(std::round(kDesignWidth * zoom), std::round(kDesignHeight * zoom)))
    {
        m_frame->setTransform(before); // the host keeps the window as it is: so do we
        return;
    }
    m_zoom = zoom;
    m_rect = m_frame->getViewSize();
    zoomMoved();
    if (m_listener)
        m_listener->onSizeChanged();
}

bool K1Editor::setSize(const CRect& rect)
{
    if (!m_frame)
        return false;
    CRect valid = rect;
    validateRect(valid);
    if (valid == m_rect)
    {
        if (valid != rect && m_listener)
            m_listener->onSizeChanged(); // the host asked for a size that does not hold
        return false;
    }
    if (!m_frame->setSize(valid.getWidth(), valid.getHeight()))
        return false;
    m_rect = m_frame->getViewSize();
    m_zoom = m_rect.getWidth() / kDesignWidth;
    m_frame->setTransform(CGraphicsTransform().scale(m_zoom, m_zoom));
    zoomMoved();
    if (m_listener)
        m_listener->onSizeChanged();
    return true;
}

void K1Editor::validateSize(CRect& rect)
{
    rect.setWidth(std::clamp(rect.getWidth(), kDesignWidth * kMinZoom, kDesignWidth * kMaxZoom));
    rect.setHeight(std::clamp(rect.getHeight(), kDesignHeight * kMinZoom, kDesignHeight * kMaxZoom));
}

void K1Editor::validateAspect(CRect& rect)
{
    const double width = rect.getWidth();
    const double height = rect.getHeight();
    if (width > height * kDesignWidth / kDesignHeight)
        rect.setWidth(height * kDesignWidth / kDesignHeight);
    else if (height > width * kDesignHeight / kDesignWidth)
        rect.setHeight(width * kDesignHeight / kDesignWidth);
}

void K1Editor::roundRect(CRect& rect)
{
    rect = CRect(std::round(rect.left), std::round(rect.top), std::round(rect.right), std::round(rect.bottom));
}

void K1Editor::validateRect(CRect& rect)
{
    validateSize(rect);
    validateAspect(rect);
    roundRect(rect);
}

double K1Editor::openingZoom(const CRect& requested)
{
    return std::clamp(requested.getWidth(), kDesignWidth * kMinZoom, kDesignWidth * kMaxZoom) / kDesignWidth;
}

CRect K1Editor::openingRect(const CRect& requested)
{
    const double zoom = openingZoom(requested);
    CRect rect = requested;
    rect.setWidth(std::round(kDesignWidth * zoom));
    rect.setHeight(std::round(kDesignHeight * zoom));
    return rect;
}
