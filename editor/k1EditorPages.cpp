// K1Editor: the four pages (play, single or multi edit, system), the
// keyboard shortcuts, and the dirty flags through which the facade's changes
// reach the views on the UI thread.

#include <bit>

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

uint32_t K1Editor::refreshesOf(k1lib::ChangeKind kind)
{
    using Kind = k1lib::ChangeKind;
    switch (kind)
    {
    case Kind::ActiveSingleChanged: return Refresh_Display | Refresh_BrowserFocus | Refresh_SingleName;
    case Kind::ActiveSingleModified:
        return Refresh_Display | Refresh_Browser | Refresh_SingleName | Refresh_SingleMenus;
    case Kind::SinglesModified: return Refresh_Browser | Refresh_SingleName | Refresh_SingleMenus;
    case Kind::ActiveMultiChanged:
        return Refresh_Display | Refresh_Browser | Refresh_MultiName | Refresh_MultiPage;
    case Kind::ActiveMultiModified: return Refresh_Display | Refresh_Browser | Refresh_MultiName;
    case Kind::MultisModified: return Refresh_Browser | Refresh_MultiName;
    case Kind::PlayModeChanged: return Refresh_Mode;
    case Kind::ConfigChanged: return Refresh_Config;
    case Kind::ParameterChanged: return 0; // a flag per parameter
    }
    return Refresh_Everything;
}

void K1Editor::onChanges(const k1lib::Changes& changes)
{
    const k1lib::Changes::ParamWords& parameters = changes.parameters();
    for (size_t w = 0; w < parameters.size(); ++w)
        if (parameters[w] != 0)
            m_dirtyParameters[w].fetch_or(parameters[w], std::memory_order_release);
    uint32_t refresh = 0;
    changes.forEachKind([&](k1lib::ChangeKind kind) { refresh |= refreshesOf(kind); });
    if (refresh != 0)
        m_dirty.fetch_or(refresh, std::memory_order_release);
}

void K1Editor::markEverythingDirty()
{
    for (std::atomic<uint64_t>& word : m_dirtyParameters)
        word.store(~uint64_t{0}, std::memory_order_release);
    m_dirty.store(Refresh_Everything, std::memory_order_release);
}

void K1Editor::idle()
{
    if (!m_frame || m_inIdle)
        return;
    m_inIdle = true;
    // Cleared before the facade is read: what changes from here on is
    // flagged again and shows at the next idle.
    const uint32_t refresh = m_dirty.exchange(0, std::memory_order_acquire);
    if (refresh & Refresh_Mode)
        onPlayModeChanged();
    refreshParameters();
    if (refresh & Refresh_Config)
        widgetsOnConfigChanged();
    refreshPresets(refresh);
    releaseBitmapMemoryWhenSettled();
    m_inIdle = false;
}

// Each dirty parameter shows its value in force, read from the facade's cache.
void K1Editor::refreshParameters()
{
    for (size_t w = 0; w < m_dirtyParameters.size(); ++w)
    {
        for (uint64_t bits = m_dirtyParameters[w].exchange(0, std::memory_order_acquire); bits != 0; bits &= bits - 1)
        {
            const size_t p = w * 64 + size_t(std::countr_zero(bits));
            if (p < k1lib::kParamCount)
                onParamChanged(k1lib::EParam(p), m_plugin.getParameter(k1lib::EParam(p)));
        }
    }
}

// The preset views, each once.
void K1Editor::refreshPresets(uint32_t refresh)
{
    if (refresh & Refresh_SingleName)
        updateEditSingleName();
    if (refresh & Refresh_MultiName)
        updateEditMultiName();
    if (refresh & Refresh_MultiPage)
        widgetsOnActiveMultiChanged(m_plugin.getCurrentMultiIndex());
    else if (refresh & Refresh_SingleMenus)
        widgetsRefreshSingleMenus();
    // A play-mode change has shown the current preset and the new mode's
    // list already.
    if (refresh & Refresh_Mode)
        return;
    if (refresh & Refresh_Display)
        widgetsShowCurrentPreset();
    if (refresh & Refresh_BrowserFocus)
        widgetsFocusBrowserOnCurrent();
    else if (refresh & Refresh_Browser)
        widgetsRefreshBrowser();
}
