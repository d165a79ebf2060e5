#include "vst/k1ui.h"

#include <cstring>

#include "editor/k1Editor.h"
#include "patch/log.h"
#include "plugin/plugin.h"
#include "vst/sdk/audioeffectx.h"

using VSTGUI::CRect;

namespace
{
// VSTGUI's linear knob mode: knobs follow straight drags.
constexpr VstInt32 kLinearKnobMode = 2;
// The range of a coordinate in the host's rectangle record (16 bits).
constexpr double kHostCoordinateMin = -32768.0;
constexpr double kHostCoordinateMax = 32767.0;

void putU32(uint8_t* out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t getU32(const uint8_t* in)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t{in[i]} << (8 * i);
    return v;
}

// Truncated toward zero; saturated where a double leaves the 32-bit range.
int32_t toStoredCoordinate(double c)
{
    if (!(c > -2147483648.0))
        return INT32_MIN;
    if (c >= 2147483647.0)
        return INT32_MAX;
    return static_cast<int32_t>(c);
}
} // namespace

k1ui::k1ui(AudioEffectX* effect, k1lib::Plugin& facade)
    : AEffGUIEditor(effect), m_facade(&facade), m_windowRect(K1Editor::getDefaultRect())
{
    setERect(m_windowRect);
}

k1ui::~k1ui()
{
    closeEditor();
}

bool k1ui::open(void* parent)
{
    K1_LOG("Opening GUI");
    AEffGUIEditor::open(parent);
    m_uiThread = std::this_thread::get_id();
    CRect rect;
    {
        std::lock_guard<std::mutex> lock(m_rectLock);
        rect = m_windowRect;
        m_rectFromState = false;
    }
    // The editor fits the rectangle and reports its own size back
    // (onSizeChanged) before it is ours: it is read again below.
    auto editor = std::make_unique<K1Editor>(*m_facade, parent, this, this, rect,
                                             VSTGUI::PlatformType::kDefaultNative, nullptr, nullptr);
    closeEditor();
    if (!editor->getFrame())
    {
        // No window could be made (a parent that is none, no display; the
        // editor has said so): the host hears it, rather than waiting for
        // a window that is not there.
        editor.reset();
        AEffGUIEditor::close();
        return false;
    }
    m_editor = std::move(editor);
    m_facade->setEditor(m_editor.get());
    frame = m_editor->getFrame();
    setKnobMode(kLinearKnobMode);
    updateRectFromEditor();
    return true;
}

void k1ui::close()
{
    closeEditor();
    AEffGUIEditor::close();
}

// Detached from the facade first, so that no change is noted for an editor
// on its way out; its last size is kept for the next opening.
void k1ui::closeEditor()
{
    m_facade->setEditor(nullptr);
    if (!m_editor)
        return;
    updateRectFromEditor();
    m_editor.reset();
    frame = nullptr;
}

void k1ui::idle()
{
    if (m_inIdle)
        return;
    m_inIdle = true;
    AEffGUIEditor::idle();
    if (m_editor)
        m_editor->idle();
    m_inIdle = false;
}

bool k1ui::getRect(ERect** r)
{
    // An open window reports its own size; a closed one the size it will open at.
    CRect open;
    if (m_editor && m_editor->getRect(open))
    {
        keepEditorRect(open);
        setERect(open);
    }
    else
        setERect(getWindowRect());
    *r = &rect;
    return true;
}

void k1ui::changeParameter(k1lib::EParam param, float value)
{
    if (AudioEffectX* effectX = getEffectX())
        effectX->setParameterAutomated(static_cast<VstInt32>(param), value);
}

void k1ui::onSizeChanged()
{
    // The window changed size after any state was loaded: its size is the newest.
    {
        std::lock_guard<std::mutex> lock(m_rectLock);
        m_rectFromState = false;
    }
    updateRectFromEditor();
}

void k1ui::updateRectFromEditor()
{
    CRect r;
    if (!m_editor || !m_editor->getRect(r))
        return;
    keepEditorRect(r);
    setERect(r);
}

void k1ui::keepEditorRect(const CRect& r)
{
    std::lock_guard<std::mutex> lock(m_rectLock);
    if (!m_rectFromState)
        m_windowRect = r;
}

void k1ui::saveState(std::vector<uint8_t>& bytes)
{
    if (m_editor && std::this_thread::get_id() == m_uiThread)
        updateRectFromEditor();
    const CRect r = getWindowRect();
    bytes.assign(kStateSize, 0);
    putU32(&bytes[0], kStateVersion);
    putU32(&bytes[4], static_cast<uint32_t>(toStoredCoordinate(r.left)));
    putU32(&bytes[8], static_cast<uint32_t>(toStoredCoordinate(r.top)));
    putU32(&bytes[12], static_cast<uint32_t>(toStoredCoordinate(r.right)));
    putU32(&bytes[16], static_cast<uint32_t>(toStoredCoordinate(r.bottom)));
}

void k1ui::loadState(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() != kStateSize || getU32(&bytes[0]) != kStateVersion)
        return;
    const auto coordinate = [&](size_t offset) { return double(static_cast<int32_t>(getU32(&bytes[offset]))); };
    // A host sizes its window from our answer before the window opens: a
    // damaged state must not make it 0 x 0, negative or larger than the
    // panel, so the size kept is the one the window will open at. An origin
    // that would push that size out of the host's 16-bit record goes to 0, 0.
    const CRect stored(coordinate(4), coordinate(8), coordinate(12), coordinate(16));
    CRect r = K1Editor::openingRect(stored);
    if (r.left < kHostCoordinateMin || r.top < kHostCoordinateMin || r.right > kHostCoordinateMax ||
        r.bottom > kHostCoordinateMax)
        r.moveTo(0, 0);
    if (r != stored)
        K1_LOG("Window rectangle from the state " << stored.getWidth() << "x" << stored.getHeight() << " at "
                                                  << stored.left << "," << stored.top << " opens as "
                                                  << r.getWidth() << "x" << r.getHeight() << " at " << r.left
                                                  << "," << r.top);
    std::lock_guard<std::mutex> lock(m_rectLock);
    m_windowRect = r;
    m_rectFromState = true;
}

CRect k1ui::getWindowRect() const
{
    std::lock_guard<std::mutex> lock(m_rectLock);
    return m_windowRect;
}
