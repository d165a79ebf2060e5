// K1Editor: the four pages (play, single or multi edit, system), the
// keyboard shortcuts, and the queue through which the facade's events reach
// the views on the UI thread.

#include <utility>

#include "editor/k1Editor.h"

using namespace VSTGUI;

namespace
{
void show(CView* view, bool visible)
{
    if (view)
        view->setVisible(visible);
}
} // namespace

bool K1Editor::isEditMode() const
{
    return isShown(mode_edit) || isShown(mode_edit_multi);
}

bool K1Editor::setModeEdit(bool on)
{
    if (!m_frame)
        return false;
    const bool wasEditing = isEditMode();
    const bool multi = m_plugin.getPlayMode() == k1lib::PlayMode::Multi;
    show(mode_edit, on && !multi);
    show(mode_edit_multi, on && multi);
    show(mode_edit_system, false);
    setSmallButtonActive(btSystem, Look_Inactive);
    show(mode_play, !on);
    setSmallButtonActive(btEdit, on ? Look_Active : Look_Inactive);
    if (isShown(mode_play))
        widgetsRefreshBrowser();
    return wasEditing != isEditMode();
}

void K1Editor::setModeSystem(bool on)
{
    if (!m_frame)
        return;
    setSmallButtonActive(btSystem, on ? Look_Active : Look_Inactive);
    setSmallButtonActive(btEdit, Look_Inactive);
    if (!on)
    {
        setModeEdit(false);
        return;
    }
    show(mode_edit, false);
    show(mode_edit_multi, false);
    show(mode_play, false);
    show(mode_edit_system, true);
}

bool K1Editor::setEditModeCommon()
{
    if (!m_frame || (isShown(mode_edit) && isShown(edit_common)))
        return true;
    setSmallButtonActive(btEditCommon, Look_Active);
    show(edit_common, true);
    show(edit_source, false);
    for (CKickButton* button : btEditSource)
        setSmallButtonActive(button, Look_Inactive);
    setModeEdit(true);
    return true;
}

void K1Editor::onPlayModeChanged()
{
    if (!m_frame)
        return;
    const bool multi = m_plugin.getPlayMode() == k1lib::PlayMode::Multi;
    setSmallButtonActive(btModeSingle, multi ? Look_Inactive : Look_Active);
    setSmallButtonActive(btModeMulti, multi ? Look_Active : Look_Inactive);
    // An open edit page follows the mode; the system page stays open.
    if (!isShown(mode_edit_system))
        setModeEdit(isEditMode());
    widgetsShowCurrentPreset();
    widgetsOnPlayModeChanged();
}

bool K1Editor::handleKeyDownSetSource(uint32_t source)
{
    if (source == m_activeSource && isShown(edit_source) && isShown(mode_edit))
        return false;
    setActiveSource(source);
    return true;
}

int32_t K1Editor::onKeyDown(const VstKeyCode& key, CFrame* frame)
{
    if (!m_frame)
        return -1;
    // Typing a name or a search is never a command.
    CFrame* focusFrame = frame ? frame : m_frame;
    if (dynamic_cast<CTextEdit*>(focusFrame->getFocusView()))
        return -1;
    switch (key.character)
    {
    case '1':
    case '2':
    case '3':
    case '4':
        return handleKeyDownSetSource(uint32_t(key.character - '1')) ? 1 : -1;
    case '5':
    case 'C':
    case 'c':
        setEditModeCommon();
        return 1;
    case 'E':
    case 'e':
        return setModeEdit(true) ? 1 : -1;
    case 'P':
    case 'p':
        return setModeEdit(false) ? 1 : -1;
    default:
        return widgetsOnKeyDown(key) ? 1 : -1;
    }
}

int32_t K1Editor::onKeyUp(const VstKeyCode&, CFrame*)
{
    return -1;
}

void K1Editor::onEvent(const k1lib::PluginToEditorEvent& event)
{
    if (!m_frame)
        return;
    std::unique_lock<std::recursive_mutex> lock(m_eventLock, std::try_to_lock);
    if (lock.owns_lock() && m_events.size() < kEventCapacity)
        m_events.push_back(event);
    else
        m_eventsDropped.store(true);
}

void K1Editor::idle()
{
    if (!m_frame || m_inIdle)
        return;
    m_inIdle = true;
    {
        std::lock_guard<std::recursive_mutex> lock(m_eventLock);
        m_handling.swap(m_events);
    }
    const bool dropped = m_eventsDropped.exchange(false);
    // Events that these refreshes cause wait for the next idle call.
    for (const k1lib::PluginToEditorEvent& event : m_handling)
        handleEvent(event);
    m_handling.clear();
    if (dropped)
        refreshEverything();
    releaseBitmapMemoryWhenSettled();
    m_inIdle = false;
}

void K1Editor::handleEvent(const k1lib::PluginToEditorEvent& event)
{
    using E = k1lib::PluginToEditorEvent;
    switch (event.type)
    {
    case E::ParameterChanged:
        onParamChanged(k1lib::EParam(event.param), event.value);
        break;
    case E::SinglesModified:
        onSinglesModified(size_t(event.index), size_t(event.count));
        break;
    case E::SingleModified:
        onSingleModified(size_t(event.index));
        break;
    case E::ActiveSingleModified:
        onActiveSingleModified(size_t(event.index));
        break;
    case E::ActiveSingleChanged:
        onActiveSingleChanged(size_t(event.index));
        break;
    case E::MultisModified:
        onMultisModified(size_t(event.index), size_t(event.count));
        break;
    case E::MultiModified:
        onMultiModified(size_t(event.index));
        break;
    case E::ActiveMultiModified:
        onActiveMultiModified(size_t(event.index));
        break;
    case E::ActiveMultiChanged:
        onActiveMultiChanged(size_t(event.index));
        break;
    case E::PlayModeChanged:
        onPlayModeChanged();
        break;
    case E::ConfigChanged:
        onConfigChanged();
        break;
    default:
        break;
    }
}

// Events were dropped (the queue was full or busy): what they would have
// shown is read afresh instead.
void K1Editor::refreshEverything()
{
    for (uint32_t p = 0; p < k1lib::kParamCount; ++p)
        onParamChanged(k1lib::EParam(p), m_plugin.getParameter(k1lib::EParam(p)));
    onPlayModeChanged();
    updateEditSingleName();
    updateEditMultiName();
    widgetsFocusBrowserOnCurrent();
    widgetsOnActiveMultiChanged(m_plugin.getCurrentMultiIndex());
    widgetsOnConfigChanged();
}

void K1Editor::onSinglesModified(size_t, size_t)
{
    widgetsRefreshBrowser();
    updateEditSingleName();
}

void K1Editor::onSingleModified(size_t)
{
    widgetsRefreshBrowser();
}

void K1Editor::onActiveSingleModified(size_t)
{
    widgetsShowCurrentPreset();
    widgetsRefreshBrowser();
    updateEditSingleName();
}

void K1Editor::onActiveSingleChanged(size_t)
{
    widgetsShowCurrentPreset();
    widgetsFocusBrowserOnCurrent();
    updateEditSingleName();
}

void K1Editor::onMultisModified(size_t, size_t)
{
    widgetsRefreshBrowser();
    updateEditMultiName();
}

void K1Editor::onMultiModified(size_t)
{
    widgetsRefreshBrowser();
}

void K1Editor::onActiveMultiModified(size_t)
{
    widgetsShowCurrentPreset();
    widgetsRefreshBrowser();
    updateEditMultiName();
}

void K1Editor::onActiveMultiChanged(size_t index)
{
    widgetsShowCurrentPreset();
    widgetsRefreshBrowser();
    updateEditMultiName();
    widgetsOnActiveMultiChanged(index);
}

void K1Editor::onConfigChanged()
{
    widgetsOnConfigChanged();
}
