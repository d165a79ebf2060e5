// Pages, keys and the dirty flags: buttons and keys switch the four pages,
// the play mode moves an open edit page but leaves the system page alone,
// text fields keep their keys, and the facade's changes show at idle, each
// view once with the state in force (however many arrive in between).

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;

namespace
{
// Which page shows: "play", "edit", "multi", "system" (or a mix, which
// would be a fault).
std::string page(const EditorHarness& h)
{
    std::string shown;
    for (auto [name, label] : {std::pair{"mode_play", "play"}, std::pair{"mode_edit", "edit"},
                               std::pair{"mode_edit_multi", "multi"}, std::pair{"mode_edit_system", "system"}})
        if (h.find<CViewContainer>(name)->isVisible())
            shown += shown.empty() ? label : std::string("+") + label;
    return shown;
}
} // namespace

TEST(EditorPages, ButtonsKeysAndPlayModeChanges)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    CBitmap* active = h.find<CKickButton>("btModeSingle")->getBackground();
    CKickButton* btEdit = h.find<CKickButton>("btEdit");
    CKickButton* btSystem = h.find<CKickButton>("btSystem");
    ASSERT_EQ(page(h), "play");

    // Keys: E opens the edit page once, P goes back once.
    EXPECT_EQ(h.pressKey('E'), 1);
    EXPECT_EQ(page(h), "edit");
    EXPECT_EQ(btEdit->getBackground(), active);
    EXPECT_EQ(h.pressKey('e'), -1);
    EXPECT_EQ(h.pressKey('P'), 1);
    EXPECT_EQ(page(h), "play");
    EXPECT_EQ(h.pressKey('p'), -1);
    // 1-4 choose the source page, 5 and C the common page.
    EXPECT_EQ(h.pressKey('2'), 1);
    EXPECT_EQ(page(h), "edit");
    EXPECT_EQ(h.editor->getActiveSource(), 1u);
    EXPECT_EQ(h.pressKey('2'), -1);
    EXPECT_EQ(h.pressKey('c'), 1);
    EXPECT_TRUE(h.find<CViewContainer>("edit_common")->isVisible());
    EXPECT_FALSE(h.find<CViewContainer>("edit_source")->isVisible());
    EXPECT_EQ(h.find<CKickButton>("btEditSourceB")->getBackground(), h.find<CKickButton>("btModeMulti")->getBackground());
    EXPECT_EQ(h.pressKey('2'), 1); // the source page again, same source
    EXPECT_TRUE(h.find<CViewContainer>("edit_source")->isVisible());
    // Keys nobody uses are left to the host.
    EXPECT_EQ(h.pressKey('x'), -1);

    // The edit button toggles, acting on release.
    h.window->mouseDown(h.centerOf(btEdit));
    EXPECT_EQ(page(h), "edit");
    h.window->mouseUp(h.centerOf(btEdit));
    EXPECT_EQ(page(h), "play");
    h.click(btEdit);
    EXPECT_EQ(page(h), "edit");

    // Single edit page open, multi mode chosen by its button: the multi edit
    // page replaces it once the facade's event arrives.
    h.click(h.find<CKickButton>("btModeMulti"));
    EXPECT_EQ(page(h), "edit");
    h.idle();
    EXPECT_EQ(page(h), "multi");
    EXPECT_EQ(h.find<CKickButton>("btModeMulti")->getBackground(), active);
    EXPECT_NE(h.find<CKickButton>("btModeSingle")->getBackground(), active);

    // The system page stays open over a play-mode change; the mode buttons follow.
    h.click(btSystem);
    EXPECT_EQ(page(h), "system");
    EXPECT_EQ(btSystem->getBackground(), active);
    EXPECT_NE(btEdit->getBackground(), active);
    h.plugin->setPlayMode(k1lib::PlayMode::Single);
    h.idle();
    EXPECT_EQ(page(h), "system");
    EXPECT_EQ(h.find<CKickButton>("btModeSingle")->getBackground(), active);
    // Closing it returns to the play page; E then opens the single page.
    h.click(btSystem);
    EXPECT_EQ(page(h), "play");
    EXPECT_EQ(h.pressKey('E'), 1);
    EXPECT_EQ(page(h), "edit");

    // Keys typed into a text field never switch pages: the browser's search
    // field on the play page and the multi name field.
    h.pressKey('P');
    CTextEdit* search = h.find<CTextEdit>("searchSingle");
    h.click(search);
    ASSERT_EQ(h.frame->getFocusView(), search);
    for (char c : std::string("E1P5c"))
        EXPECT_EQ(h.pressKey(c), 1) << c; // taken by the field
    EXPECT_EQ(page(h), "play");
    EXPECT_EQ(search->getEditText(), "E1P5c");
    h.window->typeVirtualKey(VKEY_ESCAPE);
    h.frame->setFocusView(nullptr);
    EXPECT_EQ(h.pressKey('E'), 1);
}

TEST(EditorEvents, ShownAtIdleOnlyAsTheFacadeHoldsThem)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    h.pressKey('1');
    h.idle(); // the first idle reads everything afresh from the facade
    const k1lib::EParam p = k1lib::Param_SourceS1EnvLevel;
    CKnobBase* level = h.find<CKnobBase>("Param_SourceS1EnvLevel");
    CTextLabel* levelLabel = h.find<CTextLabel>("Param_SourceS1EnvLevel");
    const float shown = level->getValueNormalized();

    // Changes show nothing until idle; then the value in force, once, however
    // often it changed in between.
    h.plugin->setParameter(p, 0.25f);
    h.plugin->setParameter(p, 0.75f);
    EXPECT_EQ(level->getValueNormalized(), shown);
    h.idle();
    EXPECT_FLOAT_EQ(level->getValueNormalized(), 0.75f);
    EXPECT_EQ(levelLabel->getText().getString(), "75");
    // Changes of several kinds between two idle calls all show: a value and
    // the play mode, which moves the open page.
    h.plugin->setParameter(p, 0.5f);
    h.plugin->setPlayMode(k1lib::PlayMode::Multi);
    h.idle();
    EXPECT_TRUE(h.find<CViewContainer>("mode_edit_multi")->isVisible());
    EXPECT_FLOAT_EQ(level->getValueNormalized(), 0.5f);

    // The name field follows a renamed current single at idle.
    h.plugin->setPlayMode(k1lib::PlayMode::Single);
    h.plugin->setCurrentSingleName("Renamed");
    EXPECT_NE(h.find<CTextEdit>("editSingleName")->getText().getString(), "Renamed");
    h.idle();
    EXPECT_EQ(h.find<CTextEdit>("editSingleName")->getText().getString(), "Renamed");

    // Changes from another thread while idle runs, as many as it likes: the
    // last idle shows the value in force. Nothing is queued, so nothing can
    // overflow.
    std::thread producer([&] {
        for (int i = 0; i < 20000; ++i)
            h.plugin->setParameter(p, float(i % 100) / 100.0f);
    });
    for (int i = 0; i < 50; ++i)
        h.editor->idle();
    producer.join();
    h.idle();
    EXPECT_FLOAT_EQ(level->getValueNormalized(), h.plugin->getParameter(p));
}

TEST(EditorEvents, OpenAndCloseWhileTheAudioThreadReports)
{
    // The audio thread switches programs and writes automation, so the
    // facade posts events from it, while the UI thread opens, idles and
    // closes editors: no event may reach a deleted editor.
    EditorHarness h;
    h.plugin->setSampleRate(44100.0f);
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        float* outputs[] = {left.data(), right.data()};
        for (int n = 0; !stop; ++n)
        {
            if (n % 4 == 0)
            {
                k1lib::SMidiEvent change;
                change.status = 0xC0;
                change.data1 = uint8_t(n / 4 % 32);
                h.plugin->addMidiEvent(change);
            }
            h.plugin->setParameter(k1lib::Param_SourceS1EnvLevel, float(n % 100) / 100.0f);
            h.plugin->process(outputs, 2, 256);
            ++blocks;
        }
    });
    for (int i = 0; i < 20; ++i)
    {
        h.reopenEditor();
        for (int k = 0; k < 3; ++k)
            h.idle();
        h.pressKey(i % 2 ? 'E' : 'P');
    }
    // Let the audio thread run alongside an open editor for a while, and
    // switch programs after the last opening: what changed while an editor
    // was being built (before the facade knew it) shows at the next change.
    const int opened = blocks;
    while (blocks < std::max(50, opened + 8))
        h.idle();
    stop = true;
    audio.join();
    h.idle();
    EXPECT_EQ(h.find<CTextEdit>("editSingleName")->getText().getString(),
              std::string(h.plugin->getCurrentSingle().name));
}

TEST(EditorEvents, AChangeWhileTheEditorIsBeingBuiltShowsAtTheFirstIdle)
{
    // The bridge builds the editor and only then attaches it to the facade;
    // a program change in between reaches no editor, yet must show.
    EditorHarness h;
    h.reopenEditor();
    h.plugin->setEditor(nullptr);
    ASSERT_TRUE(h.plugin->setCurrentPresetIndex(7));
    h.plugin->setEditor(h.editor.get());
    h.idle();
    EXPECT_EQ(h.find<CTextEdit>("editSingleName")->getText().getString(),
              std::string(h.plugin->getCurrentSingle().name));
}
