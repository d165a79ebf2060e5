#pragma once

// The multi edit page ("mode_edit_multi"): four strips side by side, each
// showing one section of the current multi, and two arrows that switch the
// page between sections 1-4 and 5-8. A strip binds the same views to the
// parameters of whichever section it shows; edits reach the engine through
// the editor's generic control handling. Each strip's single menu offers the
// 64 singles of the bank the current multi belongs to, in groups of eight by
// slot label, tagged 0-63 like the section's Single parameter. UI thread only.

#include <array>
#include <memory>
#include <string>

#include "editor/controlHelpers.h"
#include "gui/vstgui.h"
#include "patch/parameterEnum.h"

class K1Editor;
class uiMultilevelOptionMenu;

// The singles a section of the current multi can play: their menu texts,
// read once per change of the current multi for all four strips.
struct uiMultiSinglesBank
{
    static constexpr size_t kCount = 64;
    static constexpr size_t kGroupSize = 8;
    size_t first = 0; // the preset index of the bank's first single
    std::array<std::string, kCount / kGroupSize> groupTitles; // "IA-1-IA-8"
    std::array<std::string, kCount> itemTitles;               // "IA-1  Name"

    // Reads the bank of the facade's current multi.
    void read(K1Editor& editor);
};

class uiMultiSection : public VSTGUI::IControlListener
{
public:
    static constexpr size_t kNoSection = ~size_t(0);

    // Finds its views inside strip and shows section (0-7).
    uiMultiSection(K1Editor& editor, VSTGUI::CView* strip, size_t section, const uiMultiSinglesBank& bank);
    uiMultiSection(const uiMultiSection&) = delete;
    uiMultiSection& operator=(const uiMultiSection&) = delete;

    // The editor listens to the strip's controls; nothing to do here.
    void valueChanged(VSTGUI::CControl*) override {}

    // Re-binds the strip's views to section index (0-7), unless it shows it.
    void setSectionIndex(size_t index);
    size_t getSectionIndex() const { return m_section; }
    // Refills the single menu with the bank's singles.
    void initSinglesList(const uiMultiSinglesBank& bank);
    void onActiveMultiChanged(const uiMultiSinglesBank& bank) { initSinglesList(bank); }
    // The closed text of the single and zone menus follows their parameter
    // of the shown section; true when p is one of them.
    bool onParamChanged(k1lib::EParam p, float value);

    // Bind to (section 1's parameter p) + the shown section, then show it.
    void assignViewToParam(k1lib::EParam p, VSTGUI::CView* view);
    void assignMultilevelOptionMenuToParam(k1lib::EParam p, uiMultilevelOptionMenu* wrapper);
    // Shows the value of p + the shown section in its views.
    void updateValue(k1lib::EParam p);

private:
    uiMultilevelOptionMenu* wrap(VSTGUI::COptionMenu* menu);

    K1Editor& m_editor;
    size_t m_section = kNoSection;
    ControlHelpers::ViewMap m_views;
    VSTGUI::CTextLabel* multiSectionName = nullptr;
    uiMultilevelOptionMenu* m_singleWrapper = nullptr;
    VSTGUI::COptionMenu* multiSectionSingle = nullptr;
    VSTGUI::COptionMenu* multiSectionChannel = nullptr;
    VSTGUI::COptionMenu* multiSectionMode = nullptr;
    VSTGUI::COptionMenu* multiSectionPoly = nullptr;
    VSTGUI::COptionMenu* multiSectionVelocity = nullptr;
    VSTGUI::COptionMenu* multiSectionOutput = nullptr;
    VSTGUI::COptionMenu* multiSectionZoneLow = nullptr;
    VSTGUI::COptionMenu* multiSectionZoneHigh = nullptr;
    uiMultilevelOptionMenu* m_zoneLowWrapper = nullptr;
    uiMultilevelOptionMenu* m_zoneHighWrapper = nullptr;
    VSTGUI::CKnobBase* m_levelKnob = nullptr;
    VSTGUI::CTextLabel* m_levelLabel = nullptr;
    VSTGUI::CKnobBase* m_transposeKnob = nullptr;
    VSTGUI::CTextLabel* m_transposeLabel = nullptr;
    VSTGUI::CKnobBase* m_tuneKnob = nullptr;
    VSTGUI::CTextLabel* m_tuneLabel = nullptr;
};

class uiMulti : public VSTGUI::IViewMouseListener
{
public:
    static constexpr size_t kStripCount = 4;

    uiMulti(K1Editor& editor, VSTGUI::CViewContainer* page);
    ~uiMulti() override;
    uiMulti(const uiMulti&) = delete;
    uiMulti& operator=(const uiMulti&) = delete;

    // Shows sections offset + 1 .. offset + 4 (offset 0 or 4).
    void updateSectionOffset(size_t offset);
    size_t getSectionOffset() const { return m_sectionOffset; }
    // The arrows switch the page; any button.
    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView* view, VSTGUI::CPoint where,
                                              VSTGUI::CButtonState buttons) override;
    void onParamChanged(k1lib::EParam p, float value);
    // Refills the single menus from the new multi's bank.
    void onActiveMultiChanged(size_t index);
    // Singles may have been stored or renamed: the single menus are refilled
    // when a text of the bank changed.
    void onSingleNamesChanged();

    uiMultiSection* getStrip(size_t i) const { return i < kStripCount ? m_strips[i].get() : nullptr; }

private:
    K1Editor& m_editor;
    std::array<std::unique_ptr<uiMultiSection>, kStripCount> m_strips;
    ControlHelpers::ViewMap m_views;
    VSTGUI::CView* arrowLeft = nullptr;
    VSTGUI::CView* arrowRight = nullptr;
    size_t m_sectionOffset = 0;
    uiMultiSinglesBank m_bank;
};
