#pragma once

// The resize handle at the panel's bottom-right corner: dragging it scales
// the panel (and the window with it) by how far the pointer moves from the
// window's top-left corner, so the panel keeps 16:9 and follows the pointer.
// UI thread only.

#include "gui/vstgui.h"

class K1Editor;

class uiResizer : public VSTGUI::IViewMouseListener
{
public:
    // Looks up "resizeHandle" and listens to its mouse.
    explicit uiResizer(K1Editor& editor);
    ~uiResizer() override;
    uiResizer(const uiResizer&) = delete;
    uiResizer& operator=(const uiResizer&) = delete;

    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView* view, VSTGUI::CPoint where,
                                              VSTGUI::CButtonState buttons) override;
    VSTGUI::CMouseEventResult viewOnMouseMoved(VSTGUI::CView* view, VSTGUI::CPoint where,
                                               VSTGUI::CButtonState buttons) override;
    VSTGUI::CMouseEventResult viewOnMouseUp(VSTGUI::CView* view, VSTGUI::CPoint where,
                                            VSTGUI::CButtonState buttons) override;
    VSTGUI::CMouseEventResult viewOnMouseCancel(VSTGUI::CView* view) override;

private:
    K1Editor& m_editor;
    VSTGUI::CView* m_handle = nullptr;
    bool m_dragging = false;
    VSTGUI::CPoint m_pressPoint; // window pixels
    double m_pressZoom = 0.5;
};
