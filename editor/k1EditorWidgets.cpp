// The one place where K1Editor creates, deletes and notifies its widget
// objects. Each operation below names the widget call it makes; a widget
// that could not be created has a null pointer and its calls are skipped.

#include "editor/k1Editor.h"
#include "editor/k1EditorWidgets.h"

using namespace VSTGUI;

// After the views are bound: the display, the preset browser, the resizer,
// the source mix, the multi page on mode_edit_multi, the settings page on
// mode_edit_system, then the envelope view over envdummy inside edit_source
// (a view edit_source owns).
void K1Editor::createWidgets()
{
    m_display = std::make_unique<uiDisplay>(*this);
    m_singles = std::make_unique<uiSingles>(*this);
    m_resizer = std::make_unique<uiResizer>(*this);
    m_sourceMix = std::make_unique<uiSourceMix>(*this);
    if (mode_edit_multi)
        m_multi = std::make_unique<uiMulti>(*this, mode_edit_multi);
    if (mode_edit_system)
        m_settings = std::make_unique<uiSettings>(*this, mode_edit_system);
    CView* envdummy = ControlHelpers::initView<CView>(m_views, "envdummy");
    if (edit_source && envdummy)
    {
        m_envelope.reset(new uiEnvelope(*this, envdummy->getViewSize(), nullptr, 0, nullptr, CColor(0, 255, 0, 255)));
        edit_source->addView(m_envelope.get());
        m_envelope->updateFromParameters();
    }
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

// uiMulti::onSingleNamesChanged(): the multi page's single menus show the
// singles' names too.
void K1Editor::widgetsRefreshSingleMenus()
{
    if (m_multi)
        m_multi->onSingleNamesChanged();
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
void K1Editor::widgetsOnParamChanged(k1lib::EParam param, float value)
{
    if (m_multi)
        m_multi->onParamChanged(param, value);
}

// uiSourceMix::onSourceMixParametersChanged()
void K1Editor::widgetsOnSourceMixChanged()
{
    if (m_sourceMix)
        m_sourceMix->onSourceMixParametersChanged();
}

// uiEnvelope::updateFromParameters()
void K1Editor::widgetsOnEnvelopeChanged()
{
    if (m_envelope)
        m_envelope->updateFromParameters();
}

// uiMulti::onActiveMultiChanged(index)
void K1Editor::widgetsOnActiveMultiChanged(size_t index)
{
    if (m_multi)
        m_multi->onActiveMultiChanged(index);
}

// uiSettings::updateValues()
void K1Editor::widgetsOnConfigChanged()
{
    if (m_settings)
        m_settings->updateValues();
}
