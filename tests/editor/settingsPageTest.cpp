// The system page on a real facade: the menus show the configuration record
// from wherever it changed (the page, a restored state, MIDI omni) and a
// choice writes one field back, only when it changes the record.

#include <gtest/gtest.h>

#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;
using editortest::shownText;

namespace
{
// What the user's choice in a plain menu does: the item becomes current and
// the menu's listener hears of it.
void choose(COptionMenu* menu, int32_t index)
{
    ASSERT_TRUE(menu->setCurrent(index));
    menu->valueChanged();
}
} // namespace

TEST(EditorSettingsPage, MenusFollowTheRecordAndWriteOneField)
{
    EditorHarness h(K1Editor::getDefaultRect(), EditorHarness::Description::Panel);
    auto menu = [&](const char* name) { return h.find<COptionMenu>(name); };
    ASSERT_EQ(h.pressKey('P'), -1);
    h.click(h.find<CKickButton>("btSystem"));
    ASSERT_TRUE(h.find<CViewContainer>("mode_edit_system")->isVisible());

    // The defaults; the plug-in hides the output choice (the host sets it).
    EXPECT_EQ(shownText(menu("midiReceiveChannel")), "Omni");
    EXPECT_EQ(shownText(menu("midiReceiveProgramChange")), "Norm");
    for (const char* toggle : {"midiReceiveModWheel", "midiReceiveVelocity", "midiReceivePressure",
                               "midiReceiveVolume", "midiReceiveSysEx", "midiReceivePitchBend",
                               "midiReceiveHoldPedal", "midiReceivePan", "midiSendSysex"})
        EXPECT_EQ(shownText(menu(toggle)), "On") << toggle;
    EXPECT_EQ(shownText(menu("audioOutputMode")), "Stereo");
    EXPECT_FALSE(h.find<CViewContainer>("audio")->isVisible());

    // Channel 5: omni off, channel 4 stored; then Omni keeps channel 4.
    const auto defaults = h.plugin->getConfig();
    choose(menu("midiReceiveChannel"), 4);
    auto config = h.plugin->getConfig();
    EXPECT_EQ(config.omni, 0u);
    EXPECT_EQ(config.receiveChannel, 4u);
    EXPECT_EQ(h.host.configChanges, 1);
    choose(menu("midiReceiveChannel"), 16);
    config = h.plugin->getConfig();
    EXPECT_EQ(config.omni, 1u);
    EXPECT_EQ(config.receiveChannel, 4u);
    EXPECT_EQ(h.host.configChanges, 2);

    // Choosing what is shown changes nothing and reports nothing.
    choose(menu("midiReceiveChannel"), 16);
    choose(menu("midiReceivePan"), 1);
    EXPECT_EQ(h.host.configChanges, 2);

    // Each toggle writes its own field only.
    auto expected = h.plugin->getConfig();
    choose(menu("midiReceiveSysEx"), 0);
    expected.sysexReceive = 0;
    EXPECT_EQ(h.plugin->getConfig(), expected);
    choose(menu("midiSendSysex"), 0);
    expected.sysexSend = 0;
    EXPECT_EQ(h.plugin->getConfig(), expected);
    choose(menu("midiReceiveProgramChange"), 2);
    expected.programChange = 2;
    EXPECT_EQ(h.plugin->getConfig(), expected);

    // A state saved now, restored after other changes, shows again.
    std::vector<uint8_t> saved;
    ASSERT_TRUE(h.plugin->getState(saved));
    h.plugin->setConfig(defaults);
    h.idle();
    EXPECT_EQ(shownText(menu("midiReceiveSysEx")), "On");
    EXPECT_EQ(shownText(menu("midiReceiveProgramChange")), "Norm");
    ASSERT_TRUE(h.plugin->setState(saved));
    h.idle();
    EXPECT_EQ(shownText(menu("midiReceiveSysEx")), "Off");
    EXPECT_EQ(shownText(menu("midiSendSysex")), "Off");
    EXPECT_EQ(shownText(menu("midiReceiveProgramChange")), "Sect");
    EXPECT_EQ(shownText(menu("midiReceiveChannel")), "Omni");

    // MIDI "omni on" (CC125 on the receive channel) reaches the page at the
    // next idle.
    choose(menu("midiReceiveChannel"), 4);
    EXPECT_EQ(shownText(menu("midiReceiveChannel")), "5");
    k1lib::SMidiEvent omniOn;
    omniOn.status = 0xB4;
    omniOn.data1 = 125;
    h.plugin->addMidiEvent(omniOn);
    h.render(512);
    h.idle();
    EXPECT_EQ(shownText(menu("midiReceiveChannel")), "Omni");
}
