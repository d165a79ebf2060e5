#pragma once

// The amplitude envelope of the source being edited, drawn as a filled
// shape: delay, attack, decay, a sustain plateau of fixed width and release,
// each time taking up to a fifth of the view's width, filled with a green
// gradient from top to bottom. It follows the five envelope parameters of
// the editor's active source. UI thread only.

#include <array>

#include "gui/vstgui.h"

class K1Editor;

class uiEnvelope : public VSTGUI::CControl
{
public:
    // The colour is kept for copies; the shape draws with its own gradient.
    uiEnvelope(K1Editor& editor, const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, long tag,
               VSTGUI::CBitmap* background, const VSTGUI::CColor& colour);
    uiEnvelope(const uiEnvelope& other) = default;
    uiEnvelope& operator=(const uiEnvelope&) = delete;

    VSTGUI::CView* newCopy() const override { return new uiEnvelope(*this); }
    void draw(VSTGUI::CDrawContext* context) override;

    // Reads the active source's envelope from the facade's cache and redraws
    // when any of its values changed.
    void updateFromParameters();
    // The raw value (0..100) of parameter offset + the active source.
    float getParameter(size_t offset) const;
    // Each stores a raw value (0..100) and redraws when it changed.
    void setDelay(float value);
    void setAttack(float value);
    void setDecay(float value);
    void setSustain(float value);
    void setRelease(float value);
    void redraw();

    // The outline in the rectangle: start of attack, peak, end of decay, end
    // of the plateau, end of release.
    static std::array<VSTGUI::CPoint, 5> shape(const VSTGUI::CRect& rect, float delay, float attack, float decay,
                                               float sustain, float release);

private:
    bool store(float& field, float value);

    K1Editor& m_editor;
    VSTGUI::CColor m_colour;
    float m_delay = 10.0f;
    float m_attack = 50.0f;
    float m_decay = 50.0f;
    float m_sustain = 50.0f;
    float m_release = 50.0f;
};
