#include "vst/sdk/aeffguieditor.h"

#include "gui/cframe.h"
#include "vst/sdk/audioeffectx.h"

namespace VSTGUI
{
namespace
{
// Truncated toward zero; a coordinate outside 16 bits (only a damaged saved
// rectangle has one) saturates rather than wrapping to the other sign.
VstInt16 toERectCoordinate(CCoord c)
{
    if (!(c > -32768.0))
        return -32768;
    if (c > 32767.0)
        return 32767;
    return static_cast<VstInt16>(c);
}
} // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect)
{
    if (effect)
        effect->setEditor(this);
}

AEffGUIEditor::~AEffGUIEditor() = default;

bool AEffGUIEditor::getRect(ERect** r)
{
    *r = &rect;
    return true;
}

bool AEffGUIEditor::open(void* parent)
{
    AEffEditor::open(parent);
    return true;
}

void AEffGUIEditor::close()
{
    frame = nullptr;
    AEffEditor::close();
}

void AEffGUIEditor::idle()
{
    if (inIdle || !frame)
        return;
    inIdle = true;
    frame->idle();
    inIdle = false;
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode)
{
    return frame && frame->onKeyDown(keyCode) != -1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode)
{
    return frame && frame->onKeyUp(keyCode) != -1;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode)
{
    knobMode = mode;
    return true;
}

bool AEffGUIEditor::beforeSizeChange(const CRect& newSize, const CRect&)
{
    AudioEffectX* host = getEffectX();
    if (!host || host->canHostDo("sizeWindow") == 0)
        return true; // the window simply grows inside the host's
    return host->sizeWindow(static_cast<VstInt32>(newSize.getWidth()), static_cast<VstInt32>(newSize.getHeight()));
}

void AEffGUIEditor::beginEdit(int32_t index)
{
    if (AudioEffectX* host = getEffectX())
        host->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index)
{
    if (AudioEffectX* host = getEffectX())
        host->endEdit(index);
}

void AEffGUIEditor::setERect(const CRect& r)
{
    rect.left = toERectCoordinate(r.left);
    rect.top = toERectCoordinate(r.top);
    rect.right = toERectCoordinate(r.right);
    rect.bottom = toERectCoordinate(r.bottom);
}

AudioEffectX* AEffGUIEditor::getEffectX() const
{
    return dynamic_cast<AudioEffectX*>(effect);
}
} // namespace VSTGUI
