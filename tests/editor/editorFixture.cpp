#include "tests/editor/editorFixture.h"

#include <cairo.h>

#include <sstream>

#include "tests/editor/browserViews.h"
#include "tests/gui/demoDescription.h"

using namespace VSTGUI;

namespace editortest
{
namespace
{
// A film strip of frames stacked vertically, each filled with one grey
// level (r, g, b vary per strip so the looks differ).
std::string strip(int width, int frameHeight, int frames, double r, double g, double b)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, frameHeight * frames);
    cairo_t* cr = cairo_create(s);
    for (int f = 0; f < frames; ++f)
    {
        const double k = 0.4 + 0.6 * f / (frames > 1 ? frames - 1 : 1);
        cairo_rectangle(cr, 0, f * frameHeight, width, frameHeight);
        cairo_set_source_rgb(cr, r * k, g * k, b * k);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    return guitest::pngBase64(s);
}

// Writes views in a grid, left to right and top to bottom, inside a container.
class Layout
{
public:
    explicit Layout(std::ostringstream& out) : x(out) {}

    void next(int w, int h)
    {
        if (col + w > 2500)
        {
            col = 20;
            row += rowHeight + 20;
            rowHeight = 0;
        }
        ox = col;
        oy = row;
        col += w + 20;
        rowHeight = std::max(rowHeight, h);
    }
    std::string at(int w, int h)
    {
        next(w, h);
        std::ostringstream a;
        a << " origin=\"" << ox << ", " << oy << "\" size=\"" << w << ", " << h << "\"";
        return a.str();
    }
    void knob(const std::string& name, const char* range = "")
    {
        x << "<view class=\"CAnimKnob\"" << at(150, 150) << " bitmap=\"knob\" height-of-one-image=\"150\""
          << " angle-start=\"135\" angle-range=\"270\"" << range << " custom-view-name=\"" << name << "\"/>\n";
        x << "<view class=\"CTextLabel\" origin=\"" << ox << ", " << oy + 150 << "\" size=\"150, 40\""
          << " font=\"label\" custom-view-name=\"" << name << "\"/>\n";
        rowHeight = std::max(rowHeight, 190);
    }
    void menu(const std::string& name)
    {
        x << "<view class=\"COptionMenu\"" << at(300, 50) << " font=\"label\" custom-view-name=\"" << name << "\"/>\n";
    }
    void button(const std::string& name, const char* bitmap = "small_inactive", int w = 100)
    {
        x << "<view class=\"CKickButton\"" << at(w, 87) << " bitmap=\"" << bitmap << "\" height-of-one-image=\"87\""
          << " custom-view-name=\"" << name << "\"/>\n";
    }
    void plain(const std::string& name, int w = 100, int h = 87)
    {
        x << "<view class=\"CView\"" << at(w, h) << " custom-view-name=\"" << name << "\"/>\n";
    }
    void edit(const std::string& name)
    {
        x << "<view class=\"CTextEdit\"" << at(400, 60) << " font=\"label\" custom-view-name=\"" << name << "\"/>\n";
    }
    void open(const std::string& name, int left, int top, int w, int h)
    {
        x << "<view class=\"CViewContainer\" origin=\"" << left << ", " << top << "\" size=\"" << w << ", " << h
          << "\" transparent=\"true\" custom-view-name=\"" << name << "\">\n";
        col = 20;
        row = 20;
        rowHeight = 0;
    }
    void close() { x << "</view>\n"; }

private:
    std::ostringstream& x;
    int col = 20, row = 20, rowHeight = 0, ox = 0, oy = 0;
};

const char* const kSourceKnobs[] = {"Fine",      "EnvLevel",         "EnvDelay",         "EnvAttack",   "EnvDecay",
                                    "EnvSustain", "EnvRelease",      "LevelModVel",      "LevelModPressure",
                                    "LevelModKeyScale", "TimeModVel", "TimeModKeyScale", "FreqKeyScaleToFreq"};
const char* const kCommonKnobs[] = {"LfoSpeed",     "AutoBendDepth",     "AutoBendTime",       "VelToDepth",
                                    "AutoBendKeyScaleToTime", "VibratoDepth", "PressureToVibrato", "PressureToFreq",
                                    "PitchBendDepth", "Volume"};
const char* const kCommonMenus[] = {"PolyMode",      "Source2or4",  "AmpModS1S2", "AmpModS3S4",
                                    "KeyScaleCurve", "VibWheelMode", "LfoShape"};
} // namespace

std::string makeEditorDescription()
{
    std::ostringstream x;
    x << "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<vstgui-ui-description version=\"1\">\n<bitmaps>\n";
    auto bitmap = [&](const char* name, const std::string& png) {
        x << "<bitmap name=\"" << name << "\" path=\"" << name << ".png\"><data encoding=\"base64\">" << png
          << "</data></bitmap>\n";
    };
    bitmap("small_inactive", strip(100, 87, 2, 0.5, 0.5, 0.5));
    bitmap("small_active", strip(100, 87, 2, 0.2, 0.9, 0.2));
    bitmap("small_muted", strip(100, 87, 2, 0.9, 0.2, 0.2));
    bitmap("large_inactive", strip(150, 87, 2, 0.5, 0.5, 0.6));
    bitmap("large_active", strip(150, 87, 2, 0.2, 0.6, 0.9));
    bitmap("knob", strip(150, 150, 5, 0.8, 0.6, 0.1));
    x << browserAndDisplayBitmaps(strip(4, 4, 1, 0.9, 0.9, 0.3));
    x << "</bitmaps>\n<fonts><font name=\"label\" font-name=\"DejaVu Sans\" size=\"24\" bold=\"true\"/></fonts>\n";
    x << "<template name=\"Darvello\" class=\"CViewContainer\" size=\"2560, 1440\" minSize=\"640, 360\""
         " maxSize=\"2560, 1440\" background-color=\"#202020ff\" custom-view-name=\"bg\">\n";

    Layout l(x);
    for (const char* name : {"btModeSingle", "btModeMulti", "btEdit", "btSystem"})
        l.button(name);
    l.plain("clickableLogo", 300);
    l.plain("btDonate", 200);

    x << displayViews();

    l.open("mode_play", 0, 200, 2560, 1240);
    l.edit("searchSingle");
    x << browserViews();
    l.close();

    l.open("mode_edit", 0, 200, 2560, 1240);
    for (const char* name : {"btEditSourceA", "btEditSourceB", "btEditSourceC", "btEditSourceD", "btEditCommon"})
        l.button(name);
    x << "<view class=\"CViewContainer\" origin=\"700, 20\" size=\"500, 130\" transparent=\"true\""
         " custom-view-name=\"sourcesMute\">\n";
    const char* muteLooks[] = {"small_inactive", "small_active", "small_muted", "small_inactive"};
    for (int s = 0; s < 4; ++s)
        x << "<view class=\"CKickButton\" origin=\"" << 10 + 120 * s << ", 20\" size=\"100, 87\" bitmap=\""
          << muteLooks[s] << "\" height-of-one-image=\"87\" custom-view-name=\"Param_SourceS" << s + 1 << "Mute\"/>\n";
    x << "</view>\n";

    l.open("edit_source", 0, 200, 2560, 1040);
    for (const char* kind : kSourceKnobs)
        l.knob(std::string("Param_SourceS1") + kind);
    l.knob("Param_SourceS1Coarse", " min-value=\"60\" max-value=\"108\"");
    for (const char* kind : {"Coarse", "Wave", "VelCurve"})
        l.menu(std::string("Param_SourceS1") + kind);
    l.button("Param_SourceS1KeyTrack", "large_inactive", 150);
    l.button("Param_SourceS1VibABend", "large_inactive", 150);
    l.button("Param_SourceS1PressureToFreq", "large_active", 150);
    for (const char* name : {"btWaveDec", "btWaveInc", "btCoarseDec", "btCoarseInc"})
        l.button(name);
    l.plain("btCoarseDecText");
    l.plain("btCoarseIncText");
    l.plain("envdummy", 500, 200);
    l.close();

    l.open("edit_common", 0, 200, 2560, 1040);
    l.edit("editSingleName");
    for (const char* kind : kCommonMenus)
        l.menu(std::string("Param_") + kind);
    for (const char* kind : kCommonKnobs)
        l.knob(std::string("Param_") + kind);
    l.close();
    l.close(); // mode_edit

    l.open("mode_edit_multi", 0, 200, 2560, 1240);
    l.edit("editMultiName");
    l.knob("Param_MultiVolume");
    l.close();

    l.open("mode_edit_system", 0, 200, 2560, 1240);
    l.plain("systemPlaceholder");
    l.close();

    x << "</template>\n</vstgui-ui-description>\n";
    return x.str();
}

EditorHarness::EditorHarness(const CRect& rect, Description d) : description(d)
{
    setPlatformFactory(&factory);
    plugin = std::make_unique<k1lib::Plugin>(&host, k1lib::PluginType::Vst);
    bridge.plugin = plugin.get();
    reopenEditor(rect);
}

EditorHarness::~EditorHarness()
{
    closeEditor();
    plugin.reset();
    setPlatformFactory(nullptr);
}

void EditorHarness::reopenEditor(const CRect& rect)
{
    closeEditor();
    if (description == Description::Test)
    {
        const std::string xml = makeEditorDescription();
        Xml::MemoryContentProvider provider(xml.data(), xml.size());
        auto* ui = new UIDescription(&provider);
        if (ui->parse())
            if (CView* root = ui->createView("Darvello", nullptr))
            {
                ownFrame = new CFrame(rect, nullptr);
                ownFrame->addView(root);
                ownFrame->open(nullptr, PlatformType::kDefaultNative, &frameConfig);
            }
        ui->forget();
    }
    editor = std::make_unique<K1Editor>(*plugin, nullptr, nullptr, &bridge, rect, PlatformType::kDefaultNative,
                                        &frameConfig, ownFrame);
    plugin->setEditor(editor.get());
    frame = editor->getFrame();
    window = frame ? HeadlessFrame::from(frame) : nullptr;
}

void EditorHarness::closeEditor()
{
    if (editor)
    {
        plugin->setEditor(nullptr);
        editor.reset();
    }
    if (ownFrame)
        std::exchange(ownFrame, nullptr)->close();
    frame = nullptr;
    window = nullptr;
}

CPoint EditorHarness::centerOf(CView* view) const
{
    CPoint p = view->getViewSize().getCenter();
    view->localToFrame(p);
    return p - frame->getViewSize().getTopLeft();
}

void EditorHarness::click(CView* view)
{
    window->click(centerOf(view));
}

int32_t EditorHarness::pressKey(char character)
{
    VstKeyCode key;
    key.character = character;
    const int32_t result = frame->onKeyDown(key);
    frame->onKeyUp(key);
    return result;
}

void EditorHarness::idle()
{
    editor->idle();
    frame->idle();
}

void EditorHarness::render(size_t frames)
{
    plugin->setSampleRate(44100.0f);
    std::vector<float> left(512), right(512);
    float* outputs[] = {left.data(), right.data()};
    for (size_t done = 0; done < frames; done += 512)
        plugin->process(outputs, 2, 512);
}
} // namespace editortest
