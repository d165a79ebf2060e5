#pragma once

// Shared helpers of the editor tests: a K1Editor on a real facade in a
// headless window, with a stand-in for the editor bridge that applies edits
// the way the host bridge does (facade write, then host automation), a host
// listener that records what the facade sends to the host, and a small UI
// description holding every name the editor looks up.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/k1Editor.h"
#include "gui/platform/headless.h"
#include "gui/vstgui.h"
#include "patch/parameter.h"
#include "plugin/plugin.h"
#include "tests/support/quietPluginListener.h"

namespace editortest
{
// A UI description with template "Darvello" (2560 x 1440): the top bar, the
// four pages with the source, common and multi views named after their
// parameters, the name fields and the button bitmaps the editor harvests.
// Small and quick to parse; it shows nothing of the real panel's look.
std::string makeEditorDescription();

// A parameter's normalized value of a real (table) value.
inline float normalizedOf(k1lib::EParam p, float raw)
{
    return (raw - k1lib::g_params[p].min) * k1lib::g_params[p].invRange;
}

// The text a closed menu shows: its current item's title ("" for none).
inline std::string shownText(VSTGUI::COptionMenu* menu)
{
    VSTGUI::CMenuItem* item = menu ? menu->getCurrent() : nullptr;
    return item ? item->getTitle().getString() : std::string();
}

// What the facade sends to the host.
struct HostRecorder : k1test::QuietPluginListener
{
    std::vector<std::pair<k1lib::EParam, float>> automation;
    std::vector<k1lib::SMidiEvent> midi;

    void sendMidi(const k1lib::SMidiEvent& event) override { midi.push_back(event.owned()); }
    void onChanges(const k1lib::Changes& changes) override
    {
        changes.forEachParameter([&](k1lib::EParam p, float v) { automation.emplace_back(p, v); });
        configChanges += changes.has(k1lib::ChangeKind::ConfigChanged);
    }

    int configChanges = 0;
};

// The editor bridge's part in an edit: setParameterAutomated writes the
// facade and then reports the value to the host.
struct BridgeStub : k1EditorListener
{
    k1lib::Plugin* plugin = nullptr;
    std::vector<std::pair<k1lib::EParam, float>> automation;
    int sizeChanges = 0;

    void changeParameter(k1lib::EParam p, float v) override
    {
        if (plugin)
            plugin->setParameter(p, v);
        automation.emplace_back(p, v);
    }
    void onSizeChanged() override { ++sizeChanges; }
};

// A facade and an editor attached to it as the bridge attaches one, in a
// headless window. With the test description the harness builds the frame
// and hands it to the editor; with the panel's own description the editor
// builds its frame itself.
class EditorHarness
{
public:
    enum class Description
    {
        Test,
        Panel,
    };
    explicit EditorHarness(const VSTGUI::CRect& rect = K1Editor::getDefaultRect(),
                           Description description = Description::Test);
    ~EditorHarness();
    EditorHarness(const EditorHarness&) = delete;
    EditorHarness& operator=(const EditorHarness&) = delete;

    // Detaches and deletes the editor (as the bridge's close does); the
    // window goes with it.
    void closeEditor();
    // Closes the editor, if open, and opens a new one of rect on the same
    // facade (as the bridge's open does).
    void reopenEditor(const VSTGUI::CRect& rect = K1Editor::getDefaultRect());

    // The first view of that name that is a T, or null.
    template <class T> T* find(const std::string& name) const
    {
        const auto& map = editor->getViewMap();
        const auto it = map.find(name);
        if (it != map.end())
            for (VSTGUI::CView* view : it->second)
                if (auto* typed = dynamic_cast<T*>(view))
                    return typed;
        return nullptr;
    }
    // The centre of a view in window pixels.
    VSTGUI::CPoint centerOf(VSTGUI::CView* view) const;
    // A left click in the middle of the view.
    void click(VSTGUI::CView* view);
    // A key press through the frame (keyboard hooks first, then the focus
    // view): 1 when something used it, -1 otherwise.
    int32_t pressKey(char character);
    // The host's idle: the editor's queue, then the frame's timers and drawing.
    void idle();
    // Audio blocks at 44.1 kHz: the engine applies the parameter ramps.
    void render(size_t frames);

    VSTGUI::HeadlessPlatformFactory factory;
    HostRecorder host;
    std::unique_ptr<k1lib::Plugin> plugin;
    BridgeStub bridge;
    VSTGUI::HeadlessFrameConfig frameConfig;
    std::unique_ptr<K1Editor> editor;
    VSTGUI::CFrame* frame = nullptr;
    VSTGUI::HeadlessFrame* window = nullptr;

private:
    Description description;
    VSTGUI::CFrame* ownFrame = nullptr;
};
} // namespace editortest
