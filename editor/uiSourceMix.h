#pragma once

// The source-mix joystick: the "throttle" view inside "throttleArea" moves
// within a circle, its vertical position setting the mix of sources 1 and 2
// (parameter 107), its horizontal one the mix of sources 3 and 4 (108). A
// left drag moves it, a right click puts it back in the middle, and it
// follows both parameters when they change elsewhere. UI thread only.

#include "gui/vstgui.h"

class K1Editor;

class uiSourceMix : public VSTGUI::IViewMouseListener
{
public:
    // Takes the throttle's place in the description as the far end of its
    // travel (mix 1, 1) and shows the facade's values.
    explicit uiSourceMix(K1Editor& editor);
    ~uiSourceMix() override;
    uiSourceMix(const uiSourceMix&) = delete;
    uiSourceMix& operator=(const uiSourceMix&) = delete;

    // Places the throttle from the facade's values of 107 and 108.
    void onSourceMixParametersChanged();
    // Middle position; with notify, both values are written as edits.
    void resetToCenter(bool notify);
    // Writes the throttle's position as 107 (vertical), then 108 (horizontal).
    void updateMixValuesFromView();
    // Moves a throttle whose centre lies outside the circle onto its edge.
    void limitBounds() const;

    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView* view, VSTGUI::CPoint where,
                                              VSTGUI::CButtonState buttons) override;
    VSTGUI::CMouseEventResult viewOnMouseMoved(VSTGUI::CView* view, VSTGUI::CPoint where,
                                               VSTGUI::CButtonState buttons) override;

private:
    void placeAt(double mixX, double mixY) const;
    void placeFromParameters();
    void redraw() const;

    K1Editor& m_editor;
    VSTGUI::CPoint m_lastPoint; // window pixels
    bool m_dragging = false;
    VSTGUI::CViewContainer* throttleArea = nullptr;
    VSTGUI::CView* throttle = nullptr;
    VSTGUI::CPoint m_throttleSize;
    VSTGUI::CPoint m_travel; // the top-left corner at mix 1, 1
    VSTGUI::CPoint m_mix{0.5, 0.5};
    VSTGUI::CPoint m_centre;
    double m_radius = 0.0;
    double m_radiusSquared = 0.0;
};
