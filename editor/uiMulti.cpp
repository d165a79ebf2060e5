#include "editor/uiMulti.h"

#include <string>

#include "editor/k1Editor.h"
#include "editor/uiMultilevelOptionMenu.h"

using namespace VSTGUI;
using namespace k1lib;

void uiMultiSinglesBank::read(K1Editor& editor)
{
    const Plugin& plugin = editor.getPlugin();
    first = plugin.getSinglesOffsetForMulti(plugin.getCurrentMultiIndex());
    for (size_t g = 0; g < groupTitles.size(); ++g)
    {
        const size_t start = first + g * kGroupSize;
        groupTitles[g] = plugin.getSingleNumberAsName(start) + "-" + plugin.getSingleNumberAsName(start + 7);
    }
    // The whole bank under one lock: while audio plays, reading it waits for
    // one block at most, not for one per single.
    std::vector<SinglePreset> singles;
    if (!plugin.getSingles(singles, first, kCount))
        singles.assign(kCount, SinglePreset{}); // labels alone
    for (size_t i = 0; i < kCount; ++i)
        itemTitles[i] = plugin.getSingleNumberAsName(first + i) + "  " + singles[i].name;
}

// ---- uiMultiSection ----------------------------------------------------------

uiMultiSection::uiMultiSection(K1Editor& editor, CView* strip, size_t section, const uiMultiSinglesBank& bank)
    : m_editor(editor)
{
    using H = ControlHelpers;
    H::getViewsByCustomViewName(m_views, strip);

    multiSectionZoneLow = H::initView<COptionMenu>(m_views, "multiSectionZoneLow");
    multiSectionZoneHigh = H::initView<COptionMenu>(m_views, "multiSectionZoneHigh");
    m_zoneLowWrapper = wrap(multiSectionZoneLow);
    m_zoneHighWrapper = wrap(multiSectionZoneHigh);

    multiSectionOutput = H::initView<COptionMenu>(m_views, "multiSectionOutput");
    multiSectionVelocity = H::initView<COptionMenu>(m_views, "multiSectionVelocity");
    multiSectionPoly = H::initView<COptionMenu>(m_views, "multiSectionPoly");
    multiSectionMode = H::initView<COptionMenu>(m_views, "multiSectionMode");
    multiSectionChannel = H::initView<COptionMenu>(m_views, "multiSectionChannel");

    H::initKnob(m_views, m_levelKnob, m_levelLabel, "multiSectionLevel");
    H::initKnob(m_views, m_transposeKnob, m_transposeLabel, "multiSectionTranspose");
    H::initKnob(m_views, m_tuneKnob, m_tuneLabel, "multiSectionTune");

    // The entries are those of section 1's parameters: every section has the same.
    editor.initOptionMenu(multiSectionZoneLow, Param_MultiS1ZoneLow);
    editor.initOptionMenu(multiSectionZoneHigh, Param_MultiS1ZoneHigh);
    editor.initOptionMenu(multiSectionOutput, Param_MultiS1Output);
    editor.initOptionMenu(multiSectionVelocity, Param_MultiS1Velocity);
    editor.initOptionMenu(multiSectionPoly, Param_MultiS1Poly);
    editor.initOptionMenu(multiSectionMode, Param_MultiS1Mode);
    editor.initOptionMenu(multiSectionChannel, Param_MultiS1Channel);

    multiSectionSingle = H::initView<COptionMenu>(m_views, "multiSectionSingle");
    m_singleWrapper = wrap(multiSectionSingle);
    initSinglesList(bank);

    multiSectionName = H::initView<CTextLabel>(m_views, "multiSectionName");
    setSectionIndex(section);
}

// The wrapper lives as long as the editor's bindings do: the editor keeps it.
uiMultilevelOptionMenu* uiMultiSection::wrap(COptionMenu* menu)
{
    return menu ? m_editor.adoptMultilevelOptionMenu(std::make_unique<uiMultilevelOptionMenu>(menu)) : nullptr;
}

void uiMultiSection::setSectionIndex(size_t index)
{
    if (index == m_section || index >= kSectionCount)
        return;
    m_section = index;
    if (multiSectionName)
        multiSectionName->setText("SECTION " + std::to_string(index + 1));

    for (CView* view : std::initializer_list<CView*>{
             multiSectionSingle, multiSectionZoneLow, multiSectionZoneHigh, multiSectionChannel, multiSectionMode,
             multiSectionPoly, multiSectionVelocity, multiSectionOutput, m_tuneLabel, m_transposeLabel,
             m_levelLabel, m_tuneKnob, m_transposeKnob, m_levelKnob})
        m_editor.unassignViewFromParam(view);

    assignViewToParam(Param_MultiS1Single, multiSectionSingle);
    assignViewToParam(Param_MultiS1ZoneLow, multiSectionZoneLow);
    assignViewToParam(Param_MultiS1ZoneHigh, multiSectionZoneHigh);
    assignViewToParam(Param_MultiS1Channel, multiSectionChannel);
    assignViewToParam(Param_MultiS1Mode, multiSectionMode);
    assignViewToParam(Param_MultiS1Poly, multiSectionPoly);
    assignViewToParam(Param_MultiS1Velocity, multiSectionVelocity);
    assignViewToParam(Param_MultiS1Output, multiSectionOutput);
    assignViewToParam(Param_MultiS1Tune, m_tuneLabel);
    assignViewToParam(Param_MultiS1Transpose, m_transposeLabel);
    assignViewToParam(Param_MultiS1Level, m_levelLabel);
    assignViewToParam(Param_MultiS1Tune, m_tuneKnob);
    assignViewToParam(Param_MultiS1Transpose, m_transposeKnob);
    assignViewToParam(Param_MultiS1Level, m_levelKnob);
    assignMultilevelOptionMenuToParam(Param_MultiS1ZoneLow, m_zoneLowWrapper);
    assignMultilevelOptionMenuToParam(Param_MultiS1ZoneHigh, m_zoneHighWrapper);
    assignMultilevelOptionMenuToParam(Param_MultiS1Single, m_singleWrapper);
}

void uiMultiSection::initSinglesList(const uiMultiSinglesBank& bank)
{
    if (!multiSectionSingle)
        return;
    multiSectionSingle->removeAllEntry();
    if (m_singleWrapper)
        m_singleWrapper->onMenuCleared();
    for (size_t g = 0; g < bank.groupTitles.size(); ++g)
    {
        auto* group = new COptionMenu();
        for (size_t i = g * uiMultiSinglesBank::kGroupSize; i < (g + 1) * uiMultiSinglesBank::kGroupSize; ++i)
            group->addEntry(bank.itemTitles[i])->setTag(int32_t(i));
        multiSectionSingle->addEntry(group, bank.groupTitles[g]);
    }
    if (m_section != kNoSection)
        updateValue(Param_MultiS1Single);
}

bool uiMultiSection::onParamChanged(EParam p, float value)
{
    if (m_section == kNoSection || !isSectionParam(p) || getParamSection(p) != m_section)
        return false;
    uiMultilevelOptionMenu* wrapper = nullptr;
    switch (getSectionField(p))
    {
    case getSectionField(Param_MultiS1Single): wrapper = m_singleWrapper; break;
    case getSectionField(Param_MultiS1ZoneLow): wrapper = m_zoneLowWrapper; break;
    case getSectionField(Param_MultiS1ZoneHigh): wrapper = m_zoneHighWrapper; break;
    default: return false;
    }
    m_editor.updateMultilevelOptionMenuFromParam(wrapper, p, value);
    return true;
}

void uiMultiSection::assignViewToParam(EParam p, CView* view)
{
    if (!view)
        return;
    m_editor.assignViewToParam(EParam(p + m_section), view);
    updateValue(p);
}

void uiMultiSection::assignMultilevelOptionMenuToParam(EParam p, uiMultilevelOptionMenu* wrapper)
{
    if (!wrapper)
        return;
    m_editor.assignMultilevelOptionMenuToParam(EParam(p + m_section), wrapper);
    updateValue(p);
}

void uiMultiSection::updateValue(EParam p)
{
    const auto q = EParam(p + m_section);
    m_editor.onParamChanged(q, m_editor.getPlugin().getParameter(q));
}

// ---- uiMulti -------------------------------------------------------------------

uiMulti::uiMulti(K1Editor& editor, CViewContainer* page) : m_editor(editor)
{
    ControlHelpers::getViewsByCustomViewName(m_views, page);
    arrowLeft = ControlHelpers::initView<CView>(m_views, "arrowLeft");
    arrowRight = ControlHelpers::initView<CView>(m_views, "arrowRight");
    for (CView* arrow : {arrowLeft, arrowRight})
        if (arrow)
            arrow->registerViewMouseListener(this);

    m_bank.read(editor);
    for (size_t i = 0; i < kStripCount; ++i)
    {
        const std::string name = std::string("multiSection") + char('A' + i);
        if (auto* strip = ControlHelpers::initView<CViewContainer>(m_views, name))
            m_strips[i] = std::make_unique<uiMultiSection>(editor, strip, i, m_bank);
    }
    updateSectionOffset(0);
}

uiMulti::~uiMulti()
{
    for (CView* arrow : {arrowLeft, arrowRight})
        if (arrow)
            arrow->unregisterViewMouseListener(this);
}

void uiMulti::updateSectionOffset(size_t offset)
{
    m_sectionOffset = offset;
    for (size_t i = 0; i < kStripCount; ++i)
        if (m_strips[i])
            m_strips[i]->setSectionIndex(offset + i);
    if (arrowLeft)
        arrowLeft->setVisible(offset != 0);
    if (arrowRight)
        arrowRight->setVisible(!(arrowLeft && arrowLeft->isVisible()));
}

CMouseEventResult uiMulti::viewOnMouseDown(CView* view, CPoint, CButtonState)
{
    if (view && view == arrowLeft)
    {
        updateSectionOffset(0);
        return kMouseEventHandled;
    }
    if (view && view == arrowRight)
    {
        updateSectionOffset(kStripCount);
        return kMouseEventHandled;
    }
    return kMouseEventNotHandled;
}

void uiMulti::onParamChanged(EParam p, float value)
{
    for (auto& strip : m_strips)
        if (strip)
            strip->onParamChanged(p, value);
}

void uiMulti::onSingleNamesChanged()
{
    uiMultiSinglesBank bank;
    bank.read(m_editor);
    if (bank.first == m_bank.first && bank.itemTitles == m_bank.itemTitles)
        return; // an open menu stays as it is
    m_bank = std::move(bank);
    for (auto& strip : m_strips)
        if (strip)
            strip->initSinglesList(m_bank);
}

void uiMulti::onActiveMultiChanged(size_t)
{
    m_bank.read(m_editor);
    for (auto& strip : m_strips)
        if (strip)
            strip->onActiveMultiChanged(m_bank);
}
