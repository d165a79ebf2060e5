#pragma once

// uiSingles: the preset browser of the play page. One page of 32 presets of
// the play mode (singles in single mode, multis in multi mode) in a grid of
// four columns of eight labels; the current preset is chosen by mouse, arrow
// keys or step buttons; pages and factory banks are stepped through; a search
// field filters the list by name; presets, pages and banks go back to their
// factory state after a question; presets and pages are exported to and
// imported from .syx and .mid files; a right click on a label offers Copy,
// Paste and sending the preset to a K1.
//
// The browser keeps no preset data of its own: names, modification marks,
// the current index and the mode come from the facade whenever a page is
// drawn (one call, one hold of the facade's lock), which happens when the
// editor refreshes at idle. What it keeps is its view of the list: the index
// map (list position -> preset index; every preset in order, or the search
// result) and the page offset (the list position shown in the first label).
// UI thread only.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/uiPopup.h"
#include "gui/vstgui.h"
#include "patch/instrumentTypes.h"
#include "plugin/plugin.h"

class K1Editor;

class uiSingles : public VSTGUI::IViewMouseListener, public VSTGUI::IControlListener
{
public:
    static constexpr size_t kPageSize = 32;
    static constexpr size_t kColumnSize = 8;

    // A step, reset or file button with the caption below it.
    struct Button
    {
        VSTGUI::CKickButton* button = nullptr;
        VSTGUI::CTextLabel* text = nullptr;
        VSTGUI::CColor enabledColor; // the caption's colour in the description
    };
    enum ButtonId : size_t
    {
        btBankDec,
        btBankInc,
        btBankReset,
        btBankImport,
        btBankExport,
        btPageDec,
        btPageInc,
        btPageReset,
        btSingleDec,
        btSingleInc,
        btSingleReset,
        btSingleImport,
        btSingleExport,
        kButtonCount
    };
    static const VSTGUI::CColor kDisabledColor;

    // Built by the editor once its views exist.
    explicit uiSingles(K1Editor& editor);
    ~uiSingles() override;
    uiSingles(const uiSingles&) = delete;
    uiSingles& operator=(const uiSingles&) = delete;

    // ---- The list and its pages ----------------------------------------------

    // Draws the page that starts at list position first and makes it the
    // page offset.
    void setPresetNames(size_t first);
    // Shows the page of the current preset (or of idx) and redraws.
    void focusOnPreset();
    void focusOnPreset(size_t idx);
    // Selects the preset, then shows its page.
    void setProgram(size_t idx);
    // The first list position holding idx; 0 when none does.
    size_t getIndexMapIndex(size_t idx) const;
    // Every preset of the play mode, in order.
    void restoreDefaultIndexMap();
    // The bank menu: one entry per storage of the play mode.
    void initBankList();
    void setBank(size_t bank);
    // Applies the search field's text.
    void updateSearch();
    // After a play-mode change: the new mode's banks and list, no search.
    void onPlayModeChanged();
    // The arrow keys; true when the key was used.
    bool onKeyDown(const VSTGUI::VstKeyCode& key);

    // ---- Controls and mouse ---------------------------------------------------

    void valueChanged(VSTGUI::CControl* control) override;
    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView* view, VSTGUI::CPoint where,
                                              VSTGUI::CButtonState buttons) override;
    // Ups, moves, cancels, enter and exit: the listener's defaults (nothing).

    void enableButton(Button& button, bool enable);
    // The facade's name of the preset at that list position; true when not empty.
    bool getPresetName(std::string& out, size_t position) const;
    // The kind of preset in the copy buffer: a single dump is 97 bytes.
    k1lib::PlayMode getCopyPasteBufferPlayMode() const;
    void showErrorMessage(const std::string& text);

    // ---- Files, copy and paste, hardware send (uiSinglesFiles.cpp) ------------

    // Shows the popup made by the last right click, if any; the callback
    // hears the chosen tag, then the popup goes.
    void openPopup(std::function<void(int)>&& callback);
    // Writes all bytes to path (created or replaced); false when it cannot
    // be opened.
    static bool writeToFile(const std::string& path, const std::vector<uint8_t>& bytes);

    // ---- For the editor's tests -----------------------------------------------

    size_t getPageOffset() const { return m_pageOffset; }
    const std::vector<size_t>& getIndexMap() const { return m_indexMap; }
    const std::vector<uint8_t>& getCopyBuffer() const { return m_copyBuffer; }
    // Pages drawn (setPresetNames) since the browser was built.
    size_t getPageDrawCount() const { return m_pageDraws; }
    uiPopup* getPopup() const { return m_popup.get(); }

private:
    k1lib::PlayMode playMode() const;
    size_t bankMenuValue() const;
    // Selects idx and shows it.
    void select(size_t idx);
    void clearSearch();
    void initButton(Button& button, const std::string& name);
    void askAndResetPreset();
    void askAndResetPage();
    void askAndResetBank();

    // uiSinglesFiles.cpp
    void exportPreset(size_t idx, const std::string& file);
    void exportPage(size_t offset, const std::string& file);
    void importPreset(size_t idx, const std::string& file);
    void importPage(size_t offset, const std::string& file);
    void runFileDialog(bool save, bool withMidiFiles, bool withDefaultExtension,
                       std::function<void(const std::string&)> completion);
    void onRightClick(VSTGUI::CView* label, size_t idx);
    void onPopupChoice(size_t idx, int tag);

    K1Editor& m_editor;
    std::array<VSTGUI::CTextLabel*, kPageSize> m_labels{};
    VSTGUI::CColor m_normalColor;
    VSTGUI::CColor m_currentColor;
    std::array<Button, kButtonCount> m_buttons{};
    VSTGUI::CTextEdit* m_search = nullptr;
    VSTGUI::COptionMenu* m_bankMenu = nullptr;
    size_t m_pageOffset = 0;
    std::vector<size_t> m_indexMap;
    std::unique_ptr<uiPopup> m_popup;
    std::vector<uint8_t> m_copyBuffer;
    k1lib::PresetPage m_page; // the last page read, its storage kept
    size_t m_pageDraws = 0;
};

// The file types of the dialogs.
extern const VSTGUI::CFileExtension g_fileExtensionSYX;
extern const VSTGUI::CFileExtension g_fileExtensionMid;

// A file to import: the sysex events of a Standard MIDI File, else the whole
// file when it begins with F0h; true when bytes hold something to decode.
bool readFile(std::vector<uint8_t>& bytes, const std::string& path);
// path with ".syx" appended unless it holds ".syx" anywhere (case matters).
std::string fixFileExtension(std::string path);
