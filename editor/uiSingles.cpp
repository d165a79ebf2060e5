// uiSingles: the list, its pages, the bank menu, the search, the step
// buttons, the arrow keys, the label clicks and the factory resets.

#include "editor/uiSingles.h"

#include <algorithm>
#include <cstdio>

#include "editor/k1Editor.h"

using namespace VSTGUI;

namespace
{
constexpr const char* kEmptyName = "??????????";
constexpr size_t kSingleDumpSize = 97; // a multi dump is 85 bytes

size_t pageStart(size_t position)
{
    return position & ~size_t(uiSingles::kPageSize - 1);
}

const char* const kButtonNames[uiSingles::kButtonCount] = {
    "btBankDec",  "btBankInc",   "btBankReset",   "btBankImport",  "btBankExport",
    "btPageDec",  "btPageInc",   "btPageReset",   "btSingleDec",   "btSingleInc",
    "btSingleReset", "btSingleImport", "btSingleExport"};
} // namespace

const CColor uiSingles::kDisabledColor(100, 100, 100, 255);

uiSingles::uiSingles(K1Editor& editor) : m_editor(editor)
{
    const ControlHelpers::ViewMap& views = m_editor.getViewMap();
    for (size_t k = 0; k < kPageSize; ++k)
    {
        char name[16];
        std::snprintf(name, sizeof name, "single%c%d", char('A' + k / kColumnSize), int(k % kColumnSize));
        m_labels[k] = ControlHelpers::initView<CTextLabel>(views, name);
        if (m_labels[k])
            m_labels[k]->registerViewMouseListener(this);
    }
    if (m_labels[0])
        m_currentColor = m_labels[0]->getFontColor();
    if (m_labels[2])
        m_normalColor = m_labels[2]->getFontColor();

    for (size_t b = 0; b < kButtonCount; ++b)
        initButton(m_buttons[b], kButtonNames[b]);

    m_search = ControlHelpers::initView<CTextEdit>(views, "searchSingle");
    if (m_search)
    {
        m_search->setListener(this);
        m_search->setImmediateTextChange(true);
    }
    m_bankMenu = ControlHelpers::initView<COptionMenu>(views, "bankSelect");
    initBankList();
    if (m_bankMenu)
    {
        m_bankMenu->setValue(0);
        m_bankMenu->setListener(this);
    }

    restoreDefaultIndexMap();
    setPresetNames(pageStart(m_editor.getPlugin().getCurrentPresetIndex()));
}

uiSingles::~uiSingles()
{
    for (CTextLabel* label : m_labels)
        if (label)
            label->unregisterViewMouseListener(this);
    for (Button& b : m_buttons)
        if (b.button && b.button->getListener() == this)
            b.button->setListener(nullptr);
    if (m_search && m_search->getListener() == this)
        m_search->setListener(nullptr);
    if (m_bankMenu && m_bankMenu->getListener() == this)
        m_bankMenu->setListener(nullptr);
    m_popup.reset(); // its menu leaves the label's container
}

void uiSingles::initButton(Button& button, const std::string& name)
{
    const ControlHelpers::ViewMap& views = m_editor.getViewMap();
    button.button = ControlHelpers::initView<CKickButton>(views, name);
    if (button.button)
        button.button->setListener(this);
    button.text = ControlHelpers::initView<CTextLabel>(views, name + "Text");
    if (button.text)
        button.enabledColor = button.text->getFontColor();
}

k1lib::PlayMode uiSingles::playMode() const
{
    return m_editor.getPlugin().getPlayMode();
}

size_t uiSingles::bankMenuValue() const
{
    return m_bankMenu ? size_t(m_bankMenu->getValue()) : 0;
}

// ---- The list and its pages ---------------------------------------------------

void uiSingles::setPresetNames(size_t first)
{
    ++m_pageDraws;
    k1lib::Plugin& plugin = m_editor.getPlugin();
    // Names, marks, mode and current preset in one look at the store.
    const size_t shown = first < m_indexMap.size() ? std::min(kPageSize, m_indexMap.size() - first) : 0;
    plugin.getPresetPage(m_page, shown > 0 ? &m_indexMap[first] : nullptr, shown);
    for (size_t k = 0; k < kPageSize; ++k)
    {
        CTextLabel* label = m_labels[k];
        if (!label)
            continue;
        if (k >= shown)
        {
            label->setText("");
            continue;
        }
        const size_t idx = m_indexMap[first + k];
        const std::string& name = m_page.labels[k].name;
        std::string text = plugin.getPresetNumberAsName(idx, m_page.mode) + " " + (name.empty() ? kEmptyName : name);
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        if (m_page.labels[k].modified)
            text += '*';
        label->setText(text);
        label->setFontColor(idx == m_page.current ? m_currentColor : m_normalColor);
    }
    // Only a modified current preset can go back to its factory state.
    enableButton(m_buttons[btSingleReset], m_page.currentModified);
    m_pageOffset = first;
    if (const k1lib::StorageInfo* storage = plugin.getStorageInfoFromPresetIndex(first, m_page.mode))
        if (m_bankMenu && storage->storageIndex != bankMenuValue())
            m_bankMenu->setValue(float(storage->storageIndex));
}

void uiSingles::focusOnPreset()
{
    focusOnPreset(m_editor.getPlugin().getCurrentPresetIndex());
}

void uiSingles::focusOnPreset(size_t idx)
{
    const size_t position = getIndexMapIndex(idx);
    if (position >= m_pageOffset && position < m_pageOffset + kPageSize)
        setPresetNames(m_pageOffset);
    else
        setPresetNames(pageStart(position));
}

void uiSingles::setProgram(size_t idx)
{
    m_editor.getPlugin().setCurrentPresetIndex(idx);
    focusOnPreset(idx);
}

void uiSingles::select(size_t idx)
{
    setProgram(idx);
}

size_t uiSingles::getIndexMapIndex(size_t idx) const
{
    for (size_t p = 0; p < m_indexMap.size(); ++p)
        if (m_indexMap[p] == idx)
            return p;
    return 0;
}

void uiSingles::restoreDefaultIndexMap()
{
    const size_t count = m_editor.getPlugin().getPresetCount();
    m_indexMap.resize(count);
    for (size_t i = 0; i < count; ++i)
        m_indexMap[i] = i;
}

void uiSingles::initBankList()
{
    if (!m_bankMenu)
        return;
    const size_t shown = bankMenuValue();
    m_bankMenu->removeAllEntry();
    const auto& storages = m_editor.getPlugin().getStorageInfos(playMode());
    for (const k1lib::StorageInfo& storage : storages)
        m_bankMenu->addEntry(storage.longName);
    // The refilled menu shows the entry of its value again (a refill leaves
    // no entry current).
    if (!storages.empty())
        m_bankMenu->setCurrent(int32_t(std::min(shown, storages.size() - 1)));
}

void uiSingles::setBank(size_t bank)
{
    if (!m_bankMenu)
        return;
    m_bankMenu->setValue(float(bank));
    valueChanged(m_bankMenu);
}

void uiSingles::updateSearch()
{
    k1lib::Plugin& plugin = m_editor.getPlugin();
    const std::string text = m_search ? m_search->getText().getString() : std::string();
    if (!text.empty())
    {
        const size_t count = plugin.getPresetCount();
        if (playMode() == k1lib::PlayMode::Multi)
            plugin.searchMultis(m_indexMap, text, count);
        else
            plugin.searchSingles(m_indexMap, text, count);
        setPresetNames(0);
    }
    else
    {
        restoreDefaultIndexMap();
        setPresetNames(pageStart(plugin.getCurrentPresetIndex()));
    }
    if (m_bankMenu)
    {
        // The bank name vanishes while the list is a search result.
        CColor color = m_bankMenu->getFontColor();
        color.alpha = text.empty() ? 255 : 0;
        m_bankMenu->setFontColor(color);
    }
    // What addresses list positions as preset indexes waits for the full list.
    for (ButtonId b : {btBankImport, btBankExport, btBankReset, btPageReset, btSingleImport})
        enableButton(m_buttons[b], text.empty());
}

void uiSingles::clearSearch()
{
    if (m_search)
    {
        // Typing stops first, so the field does not bring its text back.
        if (CFrame* frame = m_search->getFrame(); frame && frame->getFocusView() == m_search)
            frame->setFocusView(nullptr);
        m_search->setText("");
    }
    updateSearch();
}

void uiSingles::onPlayModeChanged()
{
    initBankList();
    clearSearch();
}

bool uiSingles::onKeyDown(const VstKeyCode& key)
{
    const size_t count = m_indexMap.size();
    const size_t p = getIndexMapIndex(m_editor.getPlugin().getCurrentPresetIndex());
    switch (key.virt)
    {
    case VKEY_LEFT: // a column to the left
        if (p >= kColumnSize && p - kColumnSize < count)
        {
            select(m_indexMap[p - kColumnSize]);
            return true;
        }
        return false;
    case VKEY_RIGHT:
        if (p + kColumnSize < count)
        {
            select(m_indexMap[p + kColumnSize]);
            return true;
        }
        return false;
    case VKEY_UP: // the first entry wraps to the foot of its column
        if (p > 0)
            select(m_indexMap[p - 1]);
        else if (count > kColumnSize - 1)
            select(m_indexMap[kColumnSize - 1]);
        else if (count > 0)
            select(m_indexMap[count - 1]);
        else
            return false;
        return true;
    case VKEY_DOWN: // the last entry wraps to the top of its column
        if (p + 1 < count)
            select(m_indexMap[p + 1]);
        else if (p - p % kColumnSize < count)
            select(m_indexMap[p - p % kColumnSize]);
        else
            return false;
        return true;
    default:
        return false;
    }
}

// ---- Controls and mouse ---------------------------------------------------------

void uiSingles::valueChanged(CControl* control)
{
    if (!control)
        return;
    if (control == m_search)
    {
        updateSearch();
        return;
    }
    const float value = control->getValue();
    k1lib::Plugin& plugin = m_editor.getPlugin();
    if (control == m_bankMenu)
    {
        const size_t bank = size_t(value);
        const auto& storages = plugin.getStorageInfos(playMode());
        if (bank < storages.size())
        {
            if (m_search && !m_search->getText().empty())
                clearSearch();
            setPresetNames(storages[bank].firstIndex);
        }
        return;
    }
    if (value < 0.5f)
        return; // buttons act when pressed, not when released

    auto is = [&](ButtonId b) { return control == m_buttons[b].button; };
    if (is(btPageDec))
    {
        if (m_pageOffset >= kPageSize)
            setPresetNames(m_pageOffset - kPageSize);
    }
    else if (is(btPageInc))
    {
        if (m_pageOffset + kPageSize < m_indexMap.size())
            setPresetNames(m_pageOffset + kPageSize);
    }
    else if (is(btBankDec))
    {
        if (const size_t bank = bankMenuValue(); bank > 0)
            setBank(bank - 1);
    }
    else if (is(btBankInc))
    {
        if (const size_t bank = bankMenuValue(); bank + 1 < plugin.getStorageInfos(playMode()).size())
            setBank(bank + 1);
    }
    else if (is(btSingleDec))
    {
        // A current preset outside the list, or at its start: nothing.
        if (const size_t p = getIndexMapIndex(plugin.getCurrentPresetIndex()); p > 0)
            select(m_indexMap[p - 1]);
    }
    else if (is(btSingleInc))
    {
        const size_t p = getIndexMapIndex(plugin.getCurrentPresetIndex());
        if (p + 1 < m_indexMap.size())
            select(m_indexMap[p + 1]);
    }
    else if (is(btSingleExport))
    {
        const size_t idx = plugin.getCurrentPresetIndex();
        runFileDialog(true, false, true, [this, idx](const std::string& file) { exportPreset(idx, file); });
    }
    else if (is(btSingleImport))
    {
        const size_t idx = plugin.getCurrentPresetIndex();
        runFileDialog(false, true, false, [this, idx](const std::string& file) { importPreset(idx, file); });
    }
    else if (is(btBankExport))
    {
        const size_t offset = m_pageOffset;
        runFileDialog(true, false, true, [this, offset](const std::string& file) { exportPage(offset, file); });
    }
    else if (is(btBankImport))
    {
        const size_t offset = m_pageOffset;
        runFileDialog(false, true, true, [this, offset](const std::string& file) { importPage(offset, file); });
    }
    else if (is(btSingleReset))
        askAndResetPreset();
    else if (is(btPageReset))
        askAndResetPage();
    else if (is(btBankReset))
        askAndResetBank();
}

CMouseEventResult uiSingles::viewOnMouseDown(CView* view, CPoint, CButtonState buttons)
{
    size_t k = 0;
    while (k < kPageSize && m_labels[k] != view)
        ++k;
    if (k == kPageSize)
        return kMouseEventNotHandled;
    const size_t position = m_pageOffset + k;
    if (position >= m_indexMap.size())
        return kMouseEventNotHandled;
    const size_t idx = m_indexMap[position];
    if (idx >= m_editor.getPlugin().getPresetCount())
        return kMouseEventNotHandled;
    const uint32_t pressed = buttons.getButtonState();
    if (pressed == kRButton)
        onRightClick(view, idx);
    else if (pressed == kLButton)
        select(idx);
    return kMouseEventHandled;
}

void uiSingles::enableButton(Button& button, bool enable)
{
    if (button.button)
        button.button->setMouseEnabled(enable);
    if (button.text)
        button.text->setFontColor(enable ? button.enabledColor : kDisabledColor);
}

bool uiSingles::getPresetName(std::string& out, size_t position) const
{
    out = position < m_indexMap.size() ? m_editor.getPlugin().getPresetName(m_indexMap[position]) : std::string();
    return !out.empty();
}

k1lib::PlayMode uiSingles::getCopyPasteBufferPlayMode() const
{
    return m_copyBuffer.size() == kSingleDumpSize ? k1lib::PlayMode::Single : k1lib::PlayMode::Multi;
}

void uiSingles::showErrorMessage(const std::string& text)
{
    m_editor.showMessageBoxOk(text);
}

// ---- Factory resets -------------------------------------------------------------

void uiSingles::askAndResetPreset()
{
    k1lib::Plugin& plugin = m_editor.getPlugin();
    const size_t current = plugin.getCurrentPresetIndex();
    const k1lib::PlayMode mode = plugin.getPlayMode();
    const k1lib::StorageInfo* storage = plugin.getStorageInfoFromPresetIndex(current, mode);
    const std::string text =
        "Do you want to reset the selected preset to factory defaults? Factory Preset is:\n\n" +
        (storage ? storage->longName : std::string()) + " - " + plugin.getPresetNumberAsName(current, mode) + " " +
        plugin.getFactoryPresetName(current, mode);
    if (m_editor.showMessageBoxYesNo(text))
        plugin.restoreFactoryPreset(current);
}

void uiSingles::askAndResetPage()
{
    // The question says "Singles" in both play modes.
    const std::string text = "Do you want to reset the current page to factory defaults? This will discard all "
                             "edits to all " +
                             std::to_string(kPageSize) + " Singles on this page.";
    if (!m_editor.showMessageBoxYesNo(text))
        return;
    // List positions are preset indexes here (no search). The last page
    // may be short: nothing past the store is asked for.
    k1lib::Plugin& plugin = m_editor.getPlugin();
    const size_t end = std::min(m_pageOffset + kPageSize, plugin.getPresetCount());
    for (size_t i = m_pageOffset; i < end; ++i)
        plugin.restoreFactoryPreset(i);
}

void uiSingles::askAndResetBank()
{
    k1lib::Plugin& plugin = m_editor.getPlugin();
    const k1lib::StorageInfo* storage = plugin.getStorageInfoFromPresetIndex(m_pageOffset, playMode());
    if (!storage)
        return;
    const std::string text = "Do you want to reset the Bank " + storage->longName +
                             " to factory defaults? This will discard all edits to all Singles for this Bank.";
    if (!m_editor.showMessageBoxYesNo(text))
        return;
    for (size_t i = storage->firstIndex; i < storage->firstIndex + storage->count; ++i)
        plugin.restoreFactoryPreset(i);
}
