// The editor window: construction from the description, the zoom that fits
// the requested width, the views found and bound, and a clean close.

#include <gtest/gtest.h>

#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;

TEST(EditorWindow, OpensAtTheRequestedWidthAndClosesCleanly)
{
    {
        // The panel at the default size is the design at 0.4: nothing to tell
        // the bridge.
        EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
        ASSERT_NE(h.frame, nullptr);
        EXPECT_DOUBLE_EQ(h.editor->getZoom(), 0.4);
        CRect rect;
        ASSERT_TRUE(h.editor->getRect(rect));
        EXPECT_EQ(rect, CRect(0, 0, 1024, 576));
        EXPECT_EQ(h.bridge.sizeChanges, 0);

        // After construction: the play page, source 1 chosen inside the hidden
        // edit page, the mode buttons showing single mode.
        EXPECT_TRUE(h.find<CViewContainer>("mode_play")->isVisible());
        EXPECT_FALSE(h.find<CViewContainer>("mode_edit")->isVisible());
        EXPECT_FALSE(h.find<CViewContainer>("mode_edit_multi")->isVisible());
        EXPECT_FALSE(h.find<CViewContainer>("mode_edit_system")->isVisible());
        EXPECT_TRUE(h.find<CViewContainer>("edit_source")->isVisible());
        EXPECT_FALSE(h.find<CViewContainer>("edit_common")->isVisible());
        EXPECT_EQ(h.editor->getActiveSource(), 0u);
        CBitmap* inactive = h.find<CKickButton>("Param_SourceS1Mute")->getBackground();
        CBitmap* active = h.find<CKickButton>("btEditSourceA")->getBackground();
        EXPECT_NE(inactive, active);
        EXPECT_EQ(h.find<CKickButton>("btModeSingle")->getBackground(), active);
        EXPECT_EQ(h.find<CKickButton>("btModeMulti")->getBackground(), inactive);
        // Every mute button starts with the inactive look, also the ones
        // whose bitmaps served as the other looks.
        for (const char* mute : {"Param_SourceS2Mute", "Param_SourceS3Mute", "Param_SourceS4Mute"})
            EXPECT_EQ(h.find<CKickButton>(mute)->getBackground(), inactive) << mute;
        // The panel shows the current single's values and name.
        EXPECT_EQ(h.editor->getKickButton(k1lib::Param_SourceS1Mute), h.find<CKickButton>("Param_SourceS1Mute"));
        EXPECT_EQ(h.find<CTextEdit>("editSingleName")->getText().getString(),
                  std::string(h.plugin->getCurrentSingle().name));

        // It draws, and closes with its window.
        EXPECT_NE(h.window->render(), nullptr);
        h.closeEditor();
        EXPECT_EQ(h.editor, nullptr);
    }
    {
        // A frame the caller made outlives the editor: closing leaves none
        // of its controls listening to the editor.
        EditorHarness h;
        SharedPointer<CKnobBase> knob(h.find<CKnobBase>("Param_SourceS1EnvAttack"));
        ASSERT_EQ(knob->getListener(), h.editor.get());
        h.plugin->setEditor(nullptr);
        h.editor.reset();
        EXPECT_EQ(knob->getListener(), nullptr);
    }
    struct Case
    {
        double width, height;
        double zoom;
        CRect fitted;
    };
    // Clamped to the design's limits, or a height that does not fit 16:9:
    // the window takes the panel's size at that zoom, and the bridge hears.
    for (const Case& c : {Case{500, 281, 0.25, CRect(0, 0, 640, 360)}, Case{3000, 1688, 1.0, CRect(0, 0, 2560, 1440)},
                          Case{1024, 700, 0.4, CRect(0, 0, 1024, 576)}})
    {
        EditorHarness h(CRect(0, 0, c.width, c.height), EditorHarness::Description::Panel);
        EXPECT_DOUBLE_EQ(h.editor->getZoom(), c.zoom) << c.width;
        CRect rect;
        ASSERT_TRUE(h.editor->getRect(rect));
        EXPECT_EQ(rect, c.fitted) << c.width;
        EXPECT_EQ(h.bridge.sizeChanges, 1) << c.width;
        EXPECT_EQ(h.window->getWidth(), int(c.fitted.getWidth()));
        EXPECT_EQ(h.window->getHeight(), int(c.fitted.getHeight()));
    }
}
