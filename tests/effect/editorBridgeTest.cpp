// The editor bridge without a display: the window rectangle the host reads
// before, between and after openings and the one the state keeps, edits made
// in the window, the toolkit binding's answers to the frame (size changes,
// idle, keys, knob mode) and the effect going away with its window open.

#include "vst/k1ui.h"
#include "vst/myVstAudioEffect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "editor/k1Editor.h"
#include "editor/uiSingles.h"
#include "gui/platform/headless.h"
#include "gui/vstgui.h"
#include "patch/sysex.h"
#include "vst/sdk/aeffguieditor.h"

namespace
{
struct RecordingHost
{
    struct Automation
    {
        VstInt32 index;
        float value;
    };
    std::vector<Automation> automation;
    std::vector<std::string> canDo;
    std::vector<std::pair<VstInt32, VstIntPtr>> sizeWindow;
    int displayUpdates = 0;
    bool offersSizeWindow = true;
    VstIntPtr sizeWindowAnswer = 1;
    AudioEffect* echoTo = nullptr; // writes automation back, as hosts do
};

RecordingHost* g_host = nullptr;

VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode)
    {
    case audioMasterVersion: return kVstVersion;
    case audioMasterAutomate:
        g_host->automation.push_back({index, opt});
        if (g_host->echoTo)
            g_host->echoTo->setParameter(index, opt);
        return 0;
    case audioMasterCanDo:
    {
        const std::string text = static_cast<const char*>(ptr);
        g_host->canDo.push_back(text);
        return text == "sizeWindow" && g_host->offersSizeWindow;
    }
    case audioMasterUpdateDisplay: ++g_host->displayUpdates; return 1;
    case audioMasterSizeWindow:
        g_host->sizeWindow.emplace_back(index, value);
        return g_host->sizeWindowAnswer;
    default: return 0;
    }
}

std::vector<uint8_t> blob(uint32_t version, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    std::vector<uint8_t> bytes(20);
    const uint32_t words[] = {version, uint32_t(left), uint32_t(top), uint32_t(right), uint32_t(bottom)};
    for (size_t w = 0; w < 5; ++w)
        for (size_t b = 0; b < 4; ++b)
            bytes[4 * w + b] = uint8_t(words[w] >> (8 * b));
    return bytes;
}

// top, left, bottom, right: the order of the host's record.
std::vector<int> hostRect(AudioEffect& effect)
{
    ERect* r = nullptr;
    if (effect.dispatcher(effEditGetRect, 0, 0, &r, 0.0f) != 1 || !r)
        return {};
    return {r->top, r->left, r->bottom, r->right};
}

std::vector<uint8_t> bankChunk(MyVSTAudioEffect& effect)
{
    void* data = nullptr;
    const VstInt32 size = effect.getChunk(&data, false);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return size > 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>{};
}

class EditorBridge : public ::testing::Test
{
protected:
    EditorBridge()
    {
        g_host = &host;
        VSTGUI::setPlatformFactory(&platform);
        effect = std::make_unique<MyVSTAudioEffect>(callback);
    }
    ~EditorBridge() override
    {
        effect.reset();
        VSTGUI::setPlatformFactory(nullptr);
        g_host = nullptr;
    }

    RecordingHost host;
    VSTGUI::HeadlessPlatformFactory platform;
    std::unique_ptr<MyVSTAudioEffect> effect;
};
} // namespace

TEST_F(EditorBridge, TheWindowRectangleStartsAtTheDefaultAndTravelsWithTheState)
{
    EXPECT_TRUE(effect->getAeffect()->flags & effFlagsHasEditor);
    EXPECT_EQ(hostRect(*effect), (std::vector<int>{0, 0, 576, 1024}));

    // The state carries the 20-byte block: the chunk with the factory data
    // measures 115,707 bytes.
    const std::vector<uint8_t> defaults = bankChunk(*effect);
    EXPECT_EQ(defaults.size(), 115707u);

    // Written exactly, even over a longer vector.
    std::vector<uint8_t> bytes(100, 0xEE);
    effect->editorBridge()->saveState(bytes);
    EXPECT_EQ(bytes, blob(1, 0, 0, 1024, 576));

    // Blocks of another size or version leave the rectangle alone.
    std::vector<uint8_t> cut = blob(1, 10, 20, 1610, 920);
    cut.pop_back();
    std::vector<uint8_t> longer = blob(1, 10, 20, 1610, 920);
    longer.push_back(0);
    for (const std::vector<uint8_t>& refused : {cut, longer, blob(2, 10, 20, 1610, 920), blob(0, 10, 20, 1610, 920),
                                                std::vector<uint8_t>{}})
        effect->editorBridge()->loadState(refused);
    EXPECT_EQ(hostRect(*effect), (std::vector<int>{0, 0, 576, 1024}));

    effect->editorBridge()->loadState(blob(1, 10, 20, 1610, 920));
    EXPECT_EQ(hostRect(*effect), (std::vector<int>{20, 10, 920, 1610}));

    // A host restoring its project into a fresh instance gets the window back.
    const std::vector<uint8_t> saved = bankChunk(*effect);
    ASSERT_EQ(saved.size(), 115707u);
    MyVSTAudioEffect restored(callback);
    EXPECT_EQ(hostRect(restored), (std::vector<int>{0, 0, 576, 1024}));
    std::vector<uint8_t> copy = saved;
    ASSERT_EQ(restored.setChunk(copy.data(), VstInt32(copy.size()), false), VstInt32(copy.size()));
    EXPECT_EQ(hostRect(restored), (std::vector<int>{20, 10, 920, 1610}));
    EXPECT_EQ(bankChunk(restored), saved);
}

TEST_F(EditorBridge, AStateLoadedWhileTheWindowIsOpenGivesTheSizeOfTheNextOpening)
{
    const auto parent = reinterpret_cast<void*>(uintptr_t(0x1234));
    ASSERT_EQ(effect->dispatcher(effEditOpen, 0, 0, parent, 0.0f), 1);
    effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    // A project reloaded with the window open: the window keeps its size,
    // the host is told the size it has, the state keeps the loaded one.
    effect->editorBridge()->loadState(blob(1, 0, 0, 1600, 900));
    effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(hostRect(*effect), (std::vector<int>{0, 0, 576, 1024}));
    std::vector<uint8_t> saved;
    effect->editorBridge()->saveState(saved);
    EXPECT_EQ(saved, blob(1, 0, 0, 1600, 900));
    // Closing does not put the open window's size in its place.
    effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(hostRect(*effect), (std::vector<int>{0, 0, 900, 1600}));
    ASSERT_EQ(effect->dispatcher(effEditOpen, 0, 0, parent, 0.0f), 1);
    EXPECT_DOUBLE_EQ(effect->editorBridge()->getEditor()->getZoom(), 0.625);

    // A window resized after the load: the newer size is the one kept.
    effect->editorBridge()->loadState(blob(1, 0, 0, 1024, 576));
    effect->editorBridge()->getEditor()->changeZoom(0.5);
    effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(hostRect(*effect), (std::vector<int>{0, 0, 720, 1280}));
}

TEST_F(EditorBridge, RectanglesAreTruncatedTowardZeroAndNeverWrap)
{
    struct Probe : k1ui
    {
        using k1ui::k1ui;
        std::vector<int> erect() const { return {rect.top, rect.left, rect.bottom, rect.right}; }
    };
    Probe probe(nullptr, effect->facade());
    probe.convertRect(VSTGUI::CRect(0.5, -12.7, 299.9, 575.999));
    EXPECT_EQ(probe.erect(), (std::vector<int>{-12, 0, 575, 299}));
    probe.convertRect(VSTGUI::CRect(-40000.0, 0.0, 40000.0, 1e300));
    EXPECT_EQ(probe.erect(), (std::vector<int>{0, -32768, 32767, 32767}));

    // A saved width far outside the window's range: the host reads the
    // size the window opens at, from the saved origin; an origin that
    // leaves no room for it in the host's record goes to 0, 0.
    effect->editorBridge()->loadState(blob(1, -5, 0, 70000, 576));
    EXPECT_EQ(hostRect(*effect), (std::vector<int>{0, -5, 1440, 2555}));
    effect->editorBridge()->loadState(blob(1, 32000, -40000, 32640, -39640));
    EXPECT_EQ(hostRect(*effect), (std::vector<int>{0, 0, 360, 640}));
}

TEST_F(EditorBridge, AnEditInTheWindowReachesTheEngineOnceAndTheHostOnce)
{
    struct Editor : k1lib::IEditor
    {
        std::vector<k1lib::Changes> deliveries;
        void onChanges(const k1lib::Changes& changes) override { deliveries.push_back(changes); }
    } editor;
    host.echoTo = effect.get();
    effect->facade().setEditor(&editor);
    const k1lib::EParam p = k1lib::Param_LfoSpeed;
    const float value = effect->getParameter(p) == 0.25f ? 0.75f : 0.25f;

    effect->editorBridge()->changeParameter(p, value);

    ASSERT_EQ(host.automation.size(), 1u);
    EXPECT_EQ(host.automation[0].index, VstInt32(p));
    EXPECT_EQ(host.automation[0].value, value);
    size_t reports = 0;
    for (const k1lib::Changes& changes : editor.deliveries)
        reports += changes.hasParameter(p);
    EXPECT_EQ(reports, 1u);
    EXPECT_EQ(effect->getParameter(p), value);

    // The ramp carries the value into the current single.
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    for (int block = 0; block < 16; ++block)
        effect->processReplacing(nullptr, outputs, 512);
    EXPECT_EQ(effect->facade().getCurrentSingle().lfoSpeed, uint8_t(value * 100));
    EXPECT_EQ(host.automation.size(), 1u);
    effect->facade().setEditor(nullptr);
}

TEST_F(EditorBridge, TheToolkitBindingAsksTheHostBeforeResizingAndKeepsIdleAndKeysToItsFrame)
{
    struct Probe : VSTGUI::AEffGUIEditor
    {
        using AEffGUIEditor::AEffGUIEditor;
        void setFrame(VSTGUI::CFrame* f) { frame = f; }
    };
    struct Hook : VSTGUI::IKeyboardHook
    {
        std::vector<VSTGUI::VstKeyCode> keys;
        int32_t onKeyDown(const VSTGUI::VstKeyCode& k, VSTGUI::CFrame*) override
        {
            keys.push_back(k);
            return k.character == 'x' ? -1 : 1;
        }
        int32_t onKeyUp(const VSTGUI::VstKeyCode&, VSTGUI::CFrame*) override { return -1; }
    } hook;

    // A binding of its own on the effect, in place of the bridge.
    auto* binding = new Probe(effect.get());
    ASSERT_EQ(effect->getEditor(), binding);
    int idles = 0;
    EXPECT_EQ(effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f), 0); // no frame: nothing runs
    EXPECT_EQ(effect->dispatcher(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);

    auto* frame = new VSTGUI::CFrame(VSTGUI::CRect(0, 0, 400, 225), binding);
    VSTGUI::HeadlessFrameConfig headless;
    ASSERT_TRUE(frame->open(nullptr, VSTGUI::PlatformType::kDefaultNative, &headless));
    binding->setFrame(frame);
    frame->registerKeyboardHook(&hook);

    // The host that can resize its window is asked to, and its refusal stands.
    ASSERT_TRUE(frame->setSize(800, 450));
    EXPECT_EQ(host.canDo, (std::vector<std::string>{"sizeWindow"}));
    EXPECT_EQ(host.sizeWindow, (std::vector<std::pair<VstInt32, VstIntPtr>>{{800, 450}}));
    host.sizeWindowAnswer = 0;
    EXPECT_FALSE(frame->setSize(640, 360));
    EXPECT_EQ(frame->getViewSize().getWidth(), 800);
    // One that cannot is not asked; the window grows inside its own.
    host.offersSizeWindow = false;
    EXPECT_TRUE(frame->setSize(1024, 576));
    EXPECT_EQ(host.sizeWindow.size(), 2u);

    // Host key events reach the frame's hooks as they came.
    EXPECT_EQ(effect->dispatcher(effEditKeyDown, '1', 0, nullptr, float(MODIFIER_SHIFT)), 1);
    EXPECT_EQ(effect->dispatcher(effEditKeyDown, 'x', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(effect->dispatcher(effEditKeyDown, 0, VKEY_LEFT, nullptr, 0.0f), 1);
    ASSERT_EQ(hook.keys.size(), 3u);
    EXPECT_EQ(hook.keys[0].character, '1');
    EXPECT_EQ(hook.keys[0].modifier, MODIFIER_SHIFT);
    EXPECT_EQ(hook.keys[2].virt, VKEY_LEFT);
    // Modifiers no int holds arrive all the same; NaN is no modifier.
    EXPECT_EQ(effect->dispatcher(effEditKeyDown, '2', 0, nullptr, std::numeric_limits<float>::quiet_NaN()), 1);
    EXPECT_EQ(effect->dispatcher(effEditKeyDown, '3', 0, nullptr, 1e30f), 1);
    EXPECT_EQ(effect->dispatcher(effEditKeyUp, '3', 0, nullptr, -1e30f), 0);
    ASSERT_EQ(hook.keys.size(), 5u);
    EXPECT_EQ(hook.keys[3].modifier, 0);
    EXPECT_EQ(hook.keys[4].character, '3');

    // The knob mode the host sets is the frame's.
    EXPECT_EQ(frame->getKnobMode(), VSTGUI::kLinearMode);
    EXPECT_EQ(effect->dispatcher(effSetEditKnobMode, 0, VSTGUI::kRelativCircularMode, nullptr, 0.0f), 1);
    EXPECT_EQ(frame->getKnobMode(), VSTGUI::kRelativCircularMode);

    // An idle that a timer turns into another idle does not run twice.
    auto* timer = new VSTGUI::CVSTGUITimer(
        [&](VSTGUI::CVSTGUITimer*) {
            ++idles;
            effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
        },
        10);
    platform.advanceTime(20);
    effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(idles, 1);
    timer->forget();

    frame->unregisterKeyboardHook(&hook);
    binding->setFrame(nullptr);
    frame->close();
    effect->setEditor(effect->editorBridge());
    delete binding;
}

TEST_F(EditorBridge, TheEffectGoesAwayWithItsWindowOpenAndHeardEventsStopAtClose)
{
    const auto parent = reinterpret_cast<void*>(uintptr_t(0x1234));
    for (int round = 0; round < 3; ++round)
    {
        EXPECT_EQ(effect->dispatcher(effEditOpen, 0, 0, parent, 0.0f), 1);
        effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
        effect->setParameter(k1lib::Param_Volume, round % 2 ? 0.3f : 0.6f); // queued for the open window
        effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        EXPECT_EQ(effect->editorBridge()->getEditor(), nullptr);
        effect->setParameter(k1lib::Param_Volume, 0.5f); // nobody to tell
        EXPECT_EQ(hostRect(*effect).size(), 4u);
    }
    // Open when the host deletes the effect: the bridge detaches the editor
    // from the facade and deletes it before the facade goes.
    EXPECT_EQ(effect->dispatcher(effEditOpen, 0, 0, parent, 0.0f), 1);
    EXPECT_NE(effect->editorBridge()->getEditor(), nullptr);
    effect.reset();
}

TEST_F(EditorBridge, ADumpOf32SinglesIsOneDisplayUpdateAndOneBrowserRefreshOfOneLockedRead)
{
    // The window open and shown once, a K1 dump of 32 renamed singles
    // (IA-1 .. ID-8, the current single among them) arrives in one block.
    const auto parent = reinterpret_cast<void*>(uintptr_t(0x1234));
    ASSERT_EQ(effect->dispatcher(effEditOpen, 0, 0, parent, 0.0f), 1);
    effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    K1Editor* editor = effect->editorBridge()->getEditor();
    ASSERT_NE(editor, nullptr);
    uiSingles* browser = editor->getBrowser();
    ASSERT_NE(browser, nullptr);
    k1lib::Plugin& facade = effect->facade();

    std::vector<k1lib::SinglePreset> singles(32);
    for (size_t i = 0; i < singles.size(); ++i)
    {
        ASSERT_TRUE(facade.getSingle(singles[i], i));
        std::memcpy(singles[i].name, "Dumped    ", 10);
        singles[i].name[7] = char('A' + i % 26);
    }
    std::vector<uint8_t> dump;
    ASSERT_TRUE(k1lib::Sysex::writeSingles(dump, singles, 0, k1lib::StorageLocation::I, 0));
    VstMidiSysexEvent sysex{};
    sysex.type = kVstSysExType;
    sysex.byteSize = sizeof(sysex);
    sysex.dumpBytes = VstInt32(dump.size());
    sysex.sysexDump = reinterpret_cast<char*>(dump.data());
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&sysex);
    effect->processEvents(&events);

    const int updates = host.displayUpdates;
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    effect->processReplacing(nullptr, outputs, 512);
    for (size_t i = 0; i < singles.size(); ++i)
        ASSERT_EQ(facade.getPresetName(i), std::string("Dumped ") + char('A' + i % 26)) << i;
    // The host hears the 32 stores and the current single's change as one.
    EXPECT_EQ(host.displayUpdates, updates + 1);

    // The editor refreshes the browser once, with one hold of the lock for
    // the page; the whole idle takes it a few times, not once per preset.
    const size_t draws = browser->getPageDrawCount();
    const uint64_t locks = facade.getLockCount();
    effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    const uint64_t idleLocks = facade.getLockCount() - locks;
    EXPECT_EQ(browser->getPageDrawCount(), draws + 1);
    EXPECT_LE(idleLocks, 8u);
    std::printf("a dump of 32 singles: %zu browser refresh(es), %llu locked facade calls at idle\n",
                browser->getPageDrawCount() - draws, static_cast<unsigned long long>(idleLocks));
    const auto label = [&](const char* name) {
        return editor->getViewMap().at(name).front();
    };
    auto* first = dynamic_cast<VSTGUI::CTextLabel*>(label("singleA0"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getText().getString(), "IA-1 Dumped A*");

    const uint64_t beforePage = facade.getLockCount();
    browser->setPresetNames(browser->getPageOffset());
    EXPECT_EQ(facade.getLockCount(), beforePage + 1);

    // Nothing changed since: the next idle refreshes nothing.
    const size_t drawn = browser->getPageDrawCount();
    effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(browser->getPageDrawCount(), drawn);
    effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
}
