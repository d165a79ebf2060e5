#include "editor/uiDisplay.h"

#include <cstdio>

#include "editor/k1Editor.h"

using namespace VSTGUI;

namespace
{
constexpr uint32_t kPowerOnDelayMs = 1000;
constexpr uint32_t kGreetingMs = 2000;
constexpr uint32_t kClickDarkMs = 500;
constexpr uint32_t kFirmwareMs = 2000;
constexpr const char* kFirmwareVersion = "1.26";
constexpr const char* kFirmwareDate = "Sep 28 2022";
} // namespace

const std::string uiDisplay::kGlyphCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                "abcdefghijklmnopqrstuvwxyz"
                                                "0123456789"
                                                "!\"$%&/()=?.,;:{}\\-+<>|[]'"
                                                "\xB4 ~*#@\xF6";

uiDisplay::uiDisplay(K1Editor& editor) : m_editor(editor)
{
    const ControlHelpers::ViewMap& views = m_editor.getViewMap();
    m_lines = ControlHelpers::initView<CViewContainer>(views, "LCDLines");
    m_light = ControlHelpers::initView<CView>(views, "LCDLight");
    switchPower(false);

    for (size_t i = 0; i < kCellsPerLine; ++i)
    {
        char name[16];
        std::snprintf(name, sizeof name, "char0%02d", int(i));
        m_line1[i] = ControlHelpers::initView<CView>(views, name);
        std::snprintf(name, sizeof name, "char1%02d", int(i));
        m_line2[i] = ControlHelpers::initView<CView>(views, name);
    }

    if (auto* font = ControlHelpers::initView<CViewContainer>(views, "fontExport"))
    {
        const uint32_t count = std::min<uint32_t>(font->getNbViews(), uint32_t(kGlyphCharacters.size()));
        for (uint32_t i = 0; i < count; ++i)
            if (CBitmap* glyph = font->getView(i)->getBackground())
                m_glyphs.emplace(int8_t(kGlyphCharacters[i]), glyph); // the first glyph of a character stays
        font->setVisible(false);
    }

    doStartupAnimation();
    if (m_light)
    {
        m_light->registerViewMouseListener(this);
        m_lightParent = m_light->getParentView();
        if (m_lightParent)
            m_lightParent->registerViewMouseListener(this);
    }
}

uiDisplay::~uiDisplay()
{
    if (m_light)
        m_light->unregisterViewMouseListener(this);
    if (m_lightParent)
        m_lightParent->unregisterViewMouseListener(this);
    destroyTimer();
}

void uiDisplay::setText(const std::string& line1, const std::string& line2)
{
    setText(m_line1, line1);
    setText(m_line2, line2);
}

void uiDisplay::setText(Cells& cells, const std::string& text)
{
    for (size_t i = 0; i < kCellsPerLine; ++i)
    {
        if (!cells[i])
            continue;
        const char c = i < text.size() ? text[i] : ' ';
        auto it = m_glyphs.find(int8_t(c));
        if (it == m_glyphs.end())
            it = m_glyphs.find('?');
        cells[i]->setBackground(it != m_glyphs.end() ? it->second : nullptr);
    }
}

void uiDisplay::setTextShowCurrentPreset()
{
    const k1lib::Plugin& plugin = m_editor.getPlugin();
    const k1lib::PlayMode mode = plugin.getPlayMode();
    const size_t index = plugin.getCurrentPresetIndex();
    const k1lib::StorageInfo* storage = plugin.getStorageInfoFromPresetIndex(index, mode);
    setText(std::string(mode == k1lib::PlayMode::Multi ? "MULTI  " : "SINGLE ") + (storage ? storage->shortName : ""),
            plugin.getPresetNumberAsName(index, mode) + "  " + plugin.getPresetName(index));
}

void uiDisplay::after(uint32_t ms, std::function<void()> step)
{
    destroyTimer();
    m_timer = new CVSTGUITimer(
        [this, step = std::move(step)](CVSTGUITimer*) {
            destroyTimer(); // each timer fires once
            step();
        },
        ms, true);
}

void uiDisplay::doStartupAnimation()
{
    after(kPowerOnDelayMs, [this] {
        switchPower(true);
        setText("  *Darvello*", "SYNTHESIZER");
        after(kGreetingMs, [this] { setTextShowCurrentPreset(); });
    });
}

void uiDisplay::onClick()
{
    switchPower(false);
    after(kClickDarkMs, [this] {
        switchPower(true);
        setText(std::string("Firmware ") + kFirmwareVersion, kFirmwareDate);
        after(kFirmwareMs, [this] { doStartupAnimation(); });
    });
}

void uiDisplay::switchPower(bool on)
{
    if (m_light)
        m_light->setVisible(on);
    if (m_lines)
        m_lines->setVisible(on);
}

void uiDisplay::destroyTimer()
{
    if (!m_timer)
        return;
    CVSTGUITimer* timer = m_timer;
    m_timer = nullptr;
    timer->stop();
    timer->forget();
}

CMouseEventResult uiDisplay::viewOnMouseDown(CView* view, CPoint where, CButtonState)
{
    if (view && view == m_light)
    {
        onClick();
        return kMouseEventHandled;
    }
    // Dark, the light takes no clicks: its container hands them on.
    if (view && view == m_lightParent && m_light && !m_light->isVisible() &&
        m_light->getViewSize().pointInside(m_lightParent->toChildSpace(where)))
    {
        onClick();
        return kMouseEventHandled;
    }
    return kMouseEventNotHandled;
}

std::string uiDisplay::getShownText(int line) const
{
    const Cells& cells = line == 0 ? m_line1 : m_line2;
    std::string text;
    for (const CView* cell : cells)
    {
        char c = '\0';
        for (const auto& [character, glyph] : m_glyphs)
            if (cell && glyph == cell->getBackground())
                c = char(character);
        text += c;
    }
    return text;
}

bool uiDisplay::isLit() const
{
    return m_light && m_light->isVisible();
}
