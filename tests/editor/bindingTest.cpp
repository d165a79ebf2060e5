// Parameter binding: user edits in the window reach the engine and the host
// once each and come back to the views through the event queue; the step
// buttons wrap, the coarse label counts from key 84, the name field writes
// ten characters, the source views follow the chosen source, and the
// amplitude-modulation menu exchanges sources when entering or leaving its
// second direction.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;
using k1lib::EParam;

using editortest::normalizedOf;

namespace
{
std::string format(EParam p, float normalizedValue)
{
    const k1lib::CParam& row = k1lib::g_params[p];
    return row.formatValue(p, normalizedValue * row.range + row.min);
}
} // namespace

TEST(EditorBinding, EditsReachTheEngineAndTheHostOnceAndComeBack)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    ASSERT_EQ(h.pressKey('1'), 1); // the page of source 1
    h.idle();
    h.host.midi.clear();
    h.host.automation.clear();

    // A wheel turn on the attack knob: one host automation through the
    // bridge, the value in the facade, one K1 parameter change on MIDI out,
    // and no automation from the facade (the edit is the host's own).
    CKnobBase* attack = h.find<CKnobBase>("Param_SourceS1EnvAttack");
    CTextLabel* attackLabel = h.find<CTextLabel>("Param_SourceS1EnvAttack");
    const float before = attack->getValueNormalized();
    ASSERT_TRUE(h.window->wheel(h.centerOf(attack), before < 0.5f ? 1.0f : -1.0f));
    const float edited = attack->getValueNormalized();
    ASSERT_NE(edited, before);
    ASSERT_EQ(h.bridge.automation.size(), 1u);
    EXPECT_EQ(h.bridge.automation[0].first, k1lib::Param_SourceS1EnvAttack);
    EXPECT_FLOAT_EQ(h.bridge.automation[0].second, edited);
    EXPECT_FLOAT_EQ(h.plugin->getParameter(k1lib::Param_SourceS1EnvAttack), edited);
    EXPECT_EQ(h.host.midi.size(), 1u);
    EXPECT_FALSE(h.host.midi.empty() || h.host.midi[0].sysex.empty());
    EXPECT_TRUE(h.host.automation.empty());
    // The value comes back at idle and shows in the label; nothing echoes.
    h.idle();
    h.render(8192);
    h.idle();
    EXPECT_EQ(attackLabel->getText().getString(), format(k1lib::Param_SourceS1EnvAttack, edited));
    EXPECT_EQ(h.bridge.automation.size(), 1u);
    EXPECT_EQ(h.host.midi.size(), 1u);
    EXPECT_TRUE(h.host.automation.empty());

    // A parameter button writes the toggled value once on press, nothing on
    // release; turning key tracking off swaps the coarse knob for the menu
    // and the step buttons.
    CKickButton* keyTrack = h.find<CKickButton>("Param_SourceS1KeyTrack");
    const float keyTrackBefore = h.plugin->getParameter(k1lib::Param_SourceS1KeyTrack);
    h.bridge.automation.clear();
    h.window->mouseDown(h.centerOf(keyTrack));
    ASSERT_EQ(h.bridge.automation.size(), 1u);
    EXPECT_EQ(h.bridge.automation[0].second, keyTrackBefore > 0.5f ? 0.0f : 1.0f);
    h.window->mouseUp(h.centerOf(keyTrack));
    EXPECT_EQ(h.bridge.automation.size(), 1u);
    h.plugin->setParameter(k1lib::Param_SourceS1KeyTrack, 0.0f);
    h.idle();
    EXPECT_TRUE(h.find<COptionMenu>("Param_SourceS1Coarse")->isVisible());
    EXPECT_TRUE(h.find<CKickButton>("btCoarseInc")->isVisible());
    EXPECT_TRUE(h.find<CView>("btCoarseIncText")->isVisible());
    EXPECT_FALSE(h.find<CKnobBase>("Param_SourceS1Coarse")->isVisible());
    EXPECT_FALSE(h.find<CTextLabel>("Param_SourceS1Coarse")->isVisible());
    h.plugin->setParameter(k1lib::Param_SourceS1KeyTrack, 1.0f);
    h.idle();
    EXPECT_FALSE(h.find<CKickButton>("btCoarseInc")->isVisible());
    EXPECT_TRUE(h.find<CKnobBase>("Param_SourceS1Coarse")->isVisible());
    h.plugin->setParameter(k1lib::Param_SourceS1KeyTrack, 0.0f);
    h.idle();

    // The wave and coarse steps wrap: wave 256 + 1 = 1, 1 - 1 = 256; coarse
    // 127 + 1 = 0, 0 - 1 = 127.
    struct Step
    {
        const char* button;
        EParam param;
        float from;
        float to;
    };
    for (const Step& step : {Step{"btWaveInc", k1lib::Param_SourceS1Wave, 255, 0},
                             Step{"btWaveDec", k1lib::Param_SourceS1Wave, 0, 255},
                             Step{"btWaveInc", k1lib::Param_SourceS1Wave, 99, 100},
                             Step{"btCoarseInc", k1lib::Param_SourceS1Coarse, 127, 0},
                             Step{"btCoarseDec", k1lib::Param_SourceS1Coarse, 0, 127},
                             Step{"btCoarseDec", k1lib::Param_SourceS1Coarse, 60, 59}})
    {
        h.plugin->setParameter(step.param, normalizedOf(step.param, step.from));
        h.idle();
        h.bridge.automation.clear();
        h.click(h.find<CKickButton>(step.button));
        ASSERT_EQ(h.bridge.automation.size(), 1u) << step.button;
        EXPECT_EQ(h.bridge.automation[0].first, step.param);
        EXPECT_FLOAT_EQ(h.bridge.automation[0].second, normalizedOf(step.param, step.to)) << step.button << step.from;
    }

    // The coarse label counts semitones from key 84; the knob takes the key.
    h.plugin->setParameter(k1lib::Param_SourceS1KeyTrack, 1.0f);
    for (auto [key, text] : {std::pair{84, "0"}, std::pair{96, "+12"}, std::pair{72, "-12"}})
    {
        h.plugin->setParameter(k1lib::Param_SourceS1Coarse, normalizedOf(k1lib::Param_SourceS1Coarse, float(key)));
        h.idle();
        EXPECT_EQ(h.find<CTextLabel>("Param_SourceS1Coarse")->getText().getString(), text);
        EXPECT_FLOAT_EQ(h.find<CKnobBase>("Param_SourceS1Coarse")->getValue(), float(key));
    }
    // Turning the coarse knob writes its key over the parameter's whole range.
    CKnobBase* coarse = h.find<CKnobBase>("Param_SourceS1Coarse");
    h.bridge.automation.clear();
    coarse->setValue(108.0f);
    coarse->valueChanged();
    ASSERT_EQ(h.bridge.automation.size(), 1u);
    EXPECT_FLOAT_EQ(h.bridge.automation[0].second, 108.0f / 127.0f);
}

TEST(EditorBinding, NameSourcesAndAmpModSwap)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    // The name field, typed into: keys never switch pages while it has the
    // focus, Return writes ten characters and the cut name.
    ASSERT_EQ(h.pressKey('5'), 1); // the common page
    CTextEdit* name = h.find<CTextEdit>("editSingleName");
    h.click(name);
    ASSERT_EQ(h.frame->getFocusView(), name);
    h.bridge.automation.clear();
    for (char c : std::string("\b\b\b\b\b\b\b\b\b\b\b\bEP12ABCDEFGHI"))
        if (c == '\b')
            h.window->typeVirtualKey(VKEY_BACK);
        else
            h.window->typeCharacter(char32_t(c));
    EXPECT_TRUE(h.find<CViewContainer>("edit_common")->isVisible());
    EXPECT_TRUE(h.find<CViewContainer>("mode_edit")->isVisible());
    h.window->typeVirtualKey(VKEY_RETURN);
    ASSERT_EQ(h.bridge.automation.size(), 10u);
    const std::string cut = "EP12ABCDEF";
    for (uint32_t k = 0; k < 10; ++k)
    {
        EXPECT_EQ(h.bridge.automation[k].first, EParam(k1lib::Param_Name01 + k));
        EXPECT_FLOAT_EQ(h.bridge.automation[k].second, normalizedOf(EParam(k), float(cut[k])));
    }
    EXPECT_EQ(std::string(h.plugin->getCurrentSingle().name), cut);
    // A short name is padded with blanks in the parameters only.
    h.bridge.automation.clear();
    name->setText("Pad");
    name->valueChanged();
    ASSERT_EQ(h.bridge.automation.size(), 10u);
    EXPECT_FLOAT_EQ(h.bridge.automation[2].second, normalizedOf(k1lib::Param_Name03, 'd'));
    for (uint32_t k = 3; k < 10; ++k)
        EXPECT_FLOAT_EQ(h.bridge.automation[k].second, 0.0f) << k; // a blank is the lowest character
    EXPECT_EQ(std::string(h.plugin->getCurrentSingle().name), "Pad");

    // Source 3: the views named after source 1 move to source 3's slots and
    // show its values.
    h.plugin->setParameter(k1lib::Param_SourceS3EnvAttack, normalizedOf(k1lib::Param_SourceS3EnvAttack, 77));
    h.plugin->setParameter(k1lib::Param_SourceS1EnvAttack, normalizedOf(k1lib::Param_SourceS1EnvAttack, 11));
    h.idle();
    CKnobBase* attack = h.find<CKnobBase>("Param_SourceS1EnvAttack");
    COptionMenu* wave = h.find<COptionMenu>("Param_SourceS1Wave");
    h.click(h.find<CKickButton>("btEditSourceC"));
    EXPECT_EQ(h.editor->getActiveSource(), 2u);
    EXPECT_TRUE(h.find<CViewContainer>("edit_source")->isVisible());
    EXPECT_FALSE(h.find<CViewContainer>("edit_common")->isVisible());
    EXPECT_EQ(h.editor->getControl(k1lib::Param_SourceS3EnvAttack), attack);
    EXPECT_EQ(h.editor->getControl(k1lib::Param_SourceS1EnvAttack), nullptr);
    EXPECT_EQ(h.editor->getOptionMenu(k1lib::Param_SourceS3Wave), wave);
    EXPECT_NE(h.editor->getMultilevelOptionMenu(k1lib::Param_SourceS3Wave), nullptr);
    EXPECT_EQ(h.editor->getMultilevelOptionMenu(k1lib::Param_SourceS1Wave), nullptr);
    EXPECT_EQ(h.editor->getKickButton(k1lib::Param_SourceS1Mute), h.find<CKickButton>("Param_SourceS1Mute"));
    EXPECT_FLOAT_EQ(attack->getValueNormalized(), normalizedOf(k1lib::Param_SourceS3EnvAttack, 77));
    EXPECT_EQ(h.find<CTextLabel>("Param_SourceS1EnvAttack")->getText().getString(), "77");
    // A change of source 1 no longer reaches the knob; one of source 3 does.
    h.plugin->setParameter(k1lib::Param_SourceS1EnvAttack, normalizedOf(k1lib::Param_SourceS1EnvAttack, 12));
    h.idle();
    EXPECT_FLOAT_EQ(attack->getValueNormalized(), normalizedOf(k1lib::Param_SourceS3EnvAttack, 77));
    // An edit of the knob now writes source 3.
    h.bridge.automation.clear();
    attack->setValueNormalized(0.5f);
    attack->valueChanged();
    ASSERT_EQ(h.bridge.automation.size(), 1u);
    EXPECT_EQ(h.bridge.automation[0].first, k1lib::Param_SourceS3EnvAttack);
    // The page of the active source again: nothing moves.
    h.pressKey('5');
    h.click(h.find<CKickButton>("btEditSourceC"));
    EXPECT_TRUE(h.find<CViewContainer>("edit_source")->isVisible());
    EXPECT_EQ(h.editor->getControl(k1lib::Param_SourceS3EnvAttack), attack);
    EXPECT_EQ(h.pressKey('3'), -1);

    // AmpMod S1/S2: 1 -> 2 exchanges sources 1 and 2 before the value is
    // written, 2 -> 0 exchanges them back, 0 -> 1 leaves them.
    k1lib::SinglePreset single = h.plugin->getCurrentSingle();
    single.sources[0].wave = 10;
    single.sources[1].wave = 20;
    single.ampModS1S2 = 1;
    ASSERT_TRUE(h.plugin->setSingle(h.plugin->getCurrentSingleIndex(), single));
    h.idle();
    COptionMenu* ampMod = h.find<COptionMenu>("Param_AmpModS1S2");
    ASSERT_EQ(ampMod->getNbEntries(), 3);
    EXPECT_EQ(ampMod->getCurrentIndex(), 1);
    struct Choice
    {
        int index;
        uint8_t wave1;
    };
    for (const Choice& c : {Choice{2, 20}, Choice{0, 10}, Choice{1, 10}})
    {
        h.bridge.automation.clear();
        ampMod->setCurrent(c.index);
        ampMod->valueChanged();
        EXPECT_EQ(h.plugin->getCurrentSingle().sources[0].wave, c.wave1) << c.index;
        ASSERT_FALSE(h.bridge.automation.empty());
        EXPECT_EQ(h.bridge.automation.back().first, k1lib::Param_AmpModS1S2);
        EXPECT_FLOAT_EQ(h.bridge.automation.back().second, c.index / 2.0f);
        h.render(8192);
        h.idle();
        EXPECT_EQ(h.plugin->getCurrentSingle().ampModS1S2, uint32_t(c.index));
    }
}
