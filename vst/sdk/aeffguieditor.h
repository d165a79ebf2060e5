#pragma once

// VSTGUI::AEffGUIEditor: a widget-toolkit window as the VST 2.4 dispatcher
// sees an editor. It joins the interface's editor base (window rectangle,
// open, close, idle, keys, knob mode) to what a frame asks of the editor
// that owns it (knob mode, permission to change size, the frame pointer).
// Registers itself as its effect's editor on construction.
//
// Threads: the host's UI thread only.

#include <cstdint>

#include "gui/vstguieditorinterface.h"
#include "vst/sdk/aeffeditor.h"

class AudioEffect;
class AudioEffectX;

namespace VSTGUI
{
class AEffGUIEditor : public AEffEditor, public VSTGUIEditorInterface
{
public:
    // The effect takes ownership through its setEditor.
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    // Points *rect at this editor's rectangle (the ERect member); true.
    bool getRect(ERect** rect) override;
    // Keeps the host's window; true.
    bool open(void* parent) override;
    // Forgets the frame and the host's window.
    void close() override;
    // Runs the frame's idle when there is a frame, never inside itself.
    void idle() override;

    // Host key events go to the frame (its keyboard hooks first); true when
    // something used the key.
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    // The knob mode (CKnobMode) the frame's knobs follow; true.
    bool setKnobMode(VstInt32 mode) override;
    int32_t getKnobMode() const override { return knobMode; }

    // A frame about to change size asks the host to resize its window when
    // the host can ("sizeWindow"); the host's refusal refuses the change.
    bool beforeSizeChange(const CRect& newSize, const CRect& oldSize) override;
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;

protected:
    // The host's window rectangle: each coordinate of r truncated toward
    // zero and narrowed to 16 bits.
    void setERect(const CRect& r);
    AudioEffectX* getEffectX() const;

    ERect rect{};

private:
    bool inIdle = false;
    int32_t knobMode = -1; // the toolkit's own until the host sets one
};
} // namespace VSTGUI
