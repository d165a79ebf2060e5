// The one place where K1Editor creates, deletes and notifies its widget
// objects. Each operation below names the widget call it makes; a widget
// that is not built yet (an empty stand-in in k1EditorWidgets.h) is never
// created, so its pointer stays null and its calls are skipped.

#include "editor/k1Editor.h"
#include "editor/k1EditorWidgets.h"

using namespace VSTGUI;

// After the views are bound: the display, the preset browser, the resizer,
// the source mix, the multi page on mode_edit_multi, the settings page on
// mode_edit_system, then the envelope view over envdummy inside edit_source.
// One creation line per widget, for example
//   m_display = std::make_unique<uiDisplay>(*this);
//   m_multi = std::make_unique<uiMulti>(*this, mode_edit_multi);
// and for the envelope, a view that edit_source owns:
//   m_envelope.reset(new uiEnvelope(*this, envdummyRect, nullptr, 0, nullptr, CColor(0, 255, 0, 255)));
//   edit_source->addView(m_envelope.get());
void K1Editor::createWidgets()
{
    m_display = std::make_unique<uiDisplay>(*this);
    m_singles = std::make_unique<uiSingles>(*this);
}

// Display, browser, resizer and source mix first, in that order; the
// envelope view belongs to edit_source and is only let go; then the multi and
// settings pages. All of them go while their views still exist.
void K1Editor::destroyWidgets()
{
    m_display.reset();
    m_singles.reset();
    m_resizer.reset();
    m_sourceMix.reset();
    (void)m_envelope.release();
    m_multi.reset();
    m_settings.reset();
}

// uiDisplay::setTextShowCurrentPreset()
void K1Editor::widgetsShowCurrentPreset()
{
    if (m_display)
        m_display->setTextShowCurrentPreset();
}

// uiSingles::setPresetNames(page offset): the names at the browser's position.
void K1Editor::widgetsRefreshBrowser()
{
    if (m_singles)
        m_singles->setPresetNames(m_singles->getPageOffset());
}

// uiSingles::focusOnPreset()
void K1Editor::widgetsFocusBrowserOnCurrent()
{
    if (m_singles)
        m_singles->focusOnPreset();
}

// uiSingles::onPlayModeChanged()
void K1Editor::widgetsOnPlayModeChanged()
{
    if (m_singles)
        m_singles->onPlayModeChanged();
}

// uiSingles::onKeyDown(key): the keys the editor does not use itself.
bool K1Editor::widgetsOnKeyDown(const VstKeyCode& key)
{
    return m_singles && m_singles->onKeyDown(key);
}

// uiMulti::onParamChanged(param, value)
void K1Editor::widgetsOnParamChanged(k1lib::EParam, float)
{
}

// uiSourceMix::onSourceMixParametersChanged()
void K1Editor::widgetsOnSourceMixChanged()
{
}

// uiEnvelope::updateFromParameters()
void K1Editor::widgetsOnEnvelopeChanged()
{
}

// uiMulti::onActiveMultiChanged(index)
void K1Editor::widgetsOnActiveMultiChanged(size_t)
{
}

// uiSettings::updateValues()
void K1Editor::widgetsOnConfigChanged()
{
}
