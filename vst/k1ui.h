#pragma once

// k1ui: the instrument's VST editor. The host asks it for the window size,
// opens it inside a window of its own, pumps its idle calls and closes it;
// the real window, K1Editor, exists only while open. Towards the editor it is
// the k1EditorListener: edits become host automation, size changes are
// remembered. The window rectangle survives closing and reopening and is
// kept in the plug-in state as a 20-byte block:
//   u32 version (1), i32 left, top, right, bottom (little-endian; pixels,
//   truncated toward zero).
//
// Threads: the host's UI thread, except saveState and loadState, which the
// engine calls while it writes or reads the state, under the facade's engine
// lock, on the thread of the host's chunk request.

#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "editor/k1EditorListener.h"
#include "gui/crect.h"
#include "vst/sdk/aeffguieditor.h"

class AudioEffectX;
class K1Editor;

namespace k1lib
{
class Plugin;
}

class k1ui : public VSTGUI::AEffGUIEditor, public k1EditorListener
{
public:
    static constexpr size_t kStateSize = 20;
    static constexpr uint32_t kStateVersion = 1;

    // Registers itself as the effect's editor; the facade must outlive it.
    k1ui(AudioEffectX* effect, k1lib::Plugin& facade);
    // Detaches and deletes an open editor first.
    ~k1ui() override;

    bool open(void* parent) override;
    void close() override;
    void idle() override;
    bool getRect(ERect** rect) override;

    // ---- k1EditorListener
    // Through the effect's setParameterAutomated: the facade, then the host.
    void changeParameter(k1lib::EParam param, float value) override;
    void onSizeChanged() override;

    // ---- The window rectangle in the state
    // Replaces bytes with the 20-byte block.
    void saveState(std::vector<uint8_t>& bytes);
    // Takes the rectangle from a block of exactly 20 bytes and version 1,
    // sized as the window will open at it (K1Editor::openingRect); ignores
    // anything else. An open window keeps its size until reopened,
    // and the next opening takes the loaded one (unless the window is
    // resized in between: the newer size wins).
    void loadState(const std::vector<uint8_t>& bytes);

    // The open editor's rectangle, when it can tell one, becomes the window
    // rectangle and the host's.
    void updateRectFromEditor();
    // The host's rectangle from r.
    void convertRect(const VSTGUI::CRect& r) { setERect(r); }

    VSTGUI::CRect getWindowRect() const;
    K1Editor* getEditor() const { return m_editor.get(); }

private:
    // The window rectangle from the open editor, unless a state loaded
    // since the opening holds it for the next one.
    void keepEditorRect(const VSTGUI::CRect& r);
    void closeEditor();

    k1lib::Plugin* m_facade;
    std::unique_ptr<K1Editor> m_editor;
    VSTGUI::CRect m_windowRect;
    // Set by loadState, cleared by the next opening or a resize of the open
    // window: the loaded rectangle is not the open window's to overwrite.
    bool m_rectFromState = false;
    // Guards m_windowRect and m_rectFromState: the state calls may come from
    // another thread.
    mutable std::mutex m_rectLock;
    // The thread that opened the window: the only one that may ask it its size.
    std::thread::id m_uiThread;
    bool m_inIdle = false;
};
