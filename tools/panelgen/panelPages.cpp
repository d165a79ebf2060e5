#include "tools/panelgen/panelPages.h"

#include <cmath>
#include <stdexcept>

#include "patch/parameter.h"
#include "patch/waveformNames.h"

namespace panelgen
{
namespace
{
using namespace k1lib;

View page(const std::string& name, bool visible)
{
    View v = makeView("CViewContainer", kPageArea);
    v.set("transparent", "true").name(name);
    if (!visible)
        v.set("visible", "false");
    return v;
}

// The width a menu needs for its longest entry, on the spacing grid.
int menuWidthFor(double textWidthPx, int minimum)
{
    const int needed = int(std::ceil(textWidthPx)) + 16 + 56; // inset, triangle
    return std::max(minimum, (needed + kUnit - 1) / kUnit * kUnit);
}

int groupWidth(int contents)
{
    return contents + 2 * kGroupPad;
}

constexpr int kGroupHeight = kGroupTop + kKnobCellHeight + kGroupPad; // one row of knobs
constexpr int kLargeCellWidth = 232;
constexpr int kCoarseCellWidth = 272;

void checkFits(const View& container, int right, int bottom, const char* what)
{
    if (right > container.r.w || bottom > container.r.h)
        throw std::logic_error(std::string("layout does not fit: ") + what);
}

// ---------------------------------------------------------------- play page
constexpr const char* kBrowserButtonTexts[] = {"Prev", "Next", "Reset", "Import", "Export"};
constexpr Icon kBrowserIcons[] = {Icon::Prev, Icon::Next, Icon::Reset, Icon::Import, Icon::Export};

void browserButtons(Builder& b, View& pg, int x, int y, const std::string& title, const std::string& stem,
                    int count)
{
    const int cell = kIconButtonWidth + 24;
    const int w = groupWidth(count * cell - 24);
    b.group(pg, {x, y, w, kGroupTop + kButtonHeight + 8 + 36 + kGroupPad}, title);
    static const char* suffixes[] = {"Dec", "Inc", "Reset", "Import", "Export"};
    for (int i = 0; i < count; ++i)
    {
        const int bx = x + kGroupPad + i * cell, by = y + kGroupTop;
        const std::string name = stem + suffixes[i];
        b.kick(pg, bx, by, name, b.icon(kBrowserIcons[i]));
        b.caption(pg, {bx - 8, by + kButtonHeight + 8, kIconButtonWidth + 16, 36}, kBrowserButtonTexts[i],
                  fonts::kSmall)
            .name(name + "Text");
    }
}
} // namespace

View buildPlayPage(Builder& b)
{
    View pg = page("mode_play", true);
    const int gx = 16, gy = 16, gw = kWidth - 32;
    const int colPitch = (gw - 2 * kGroupPad + 16) / 4, rowPitch = 70;
    const int gridTop = gy + kGroupTop + kFieldHeight + 24;
    const int gh = gridTop + 7 * rowPitch + 60 + kGroupPad - gy;
    b.group(pg, {gx, gy, gw, gh}, "PRESETS");
    const int rowY = gy + kGroupTop;
    b.caption(pg, {gx + kGroupPad, rowY, 120, kFieldHeight}, "Bank", fonts::kCaption, "left");
    b.menu(pg, {gx + kGroupPad + 128, rowY, 640, kFieldHeight}, "bankSelect");
    b.caption(pg, {gx + kGroupPad + 800, rowY, 136, kFieldHeight}, "Search", fonts::kCaption, "left");
    b.textField(pg, {gx + kGroupPad + 944, rowY, 520, kFieldHeight}, "searchSingle", "");
    for (int k = 0; k < 32; ++k)
    {
        const int col = k / 8, row = k % 8;
        const std::string name = std::string("single") + char('A' + col) + char('0' + row);
        // Sample texts in the slot labels of the first internal bank.
        const std::string text = std::string("I") + char('A' + col) + "-" + char('1' + row);
        View v = makeView("CTextLabel",
                          {gx + kGroupPad + col * colPitch, gridTop + row * rowPitch, colPitch - 16, 60});
        v.set("title", text)
            .set("font", fonts::kName)
            .set("font-color", (k == 0 ? palette::kAccent : palette::kSilk).hex())
            .set("back-color", "#0000004c")
            .set("style-round-rect", "true")
            .set("round-rect-radius", "8")
            .set("style-no-frame", "true")
            .set("text-alignment", "left")
            .set("text-inset", "20, 0")
            .name(name);
        pg.add(std::move(v));
    }
    const int by = gy + gh + 16;
    int x = 16;
    browserButtons(b, pg, x, by, "BANK", "btBank", 5);
    x += groupWidth(5 * (kIconButtonWidth + 24) - 24) + 16;
    browserButtons(b, pg, x, by, "PAGE", "btPage", 3);
    x += groupWidth(3 * (kIconButtonWidth + 24) - 24) + 16;
    browserButtons(b, pg, x, by, "PRESET", "btSingle", 5);
    return pg;
}

// ---------------------------------------------------------------- edit page
namespace
{
// The source selector, the mute keys and the source mix, left of the halves.
void sourceColumn(Builder& b, View& pg)
{
    const int gx = 24, gy = 16, gw = 456;
    const int rowPitch = 104, firstRow = gy + kGroupTop + kCaptionHeight + 8;
    const int keyX = gx + 176, muteX = keyX + kSmallButtonWidth + 16;
    b.group(pg, {gx, gy, gw, firstRow + 4 * rowPitch + kButtonHeight + kGroupPad - gy}, "SOURCES");
    b.caption(pg, {keyX - 8, gy + kGroupTop, kSmallButtonWidth + 16, kCaptionHeight}, "Edit");
    b.caption(pg, {muteX - 8, gy + kGroupTop, kSmallButtonWidth + 16, kCaptionHeight}, "Mute");
    View mutes = makeView("CViewContainer", {muteX, firstRow, kSmallButtonWidth, 3 * rowPitch + kButtonHeight});
    mutes.set("transparent", "true").name("sourcesMute");
    // The mute keys of sources 1-3 carry the three small looks the editor
    // takes for all its small keys (off, lit, muted).
    const Lamp muteLooks[] = {Lamp::Off, Lamp::Active, Lamp::Muted, Lamp::Off};
    for (int s = 0; s < 4; ++s)
    {
        const int y = firstRow + s * rowPitch;
        b.caption(pg, {gx + kGroupPad, y, 148, kButtonHeight}, "Source " + std::to_string(s + 1), fonts::kCaption,
                  "left");
        b.kick(pg, keyX, y, std::string("btEditSource") + char('A' + s), b.smallKey(s == 0 ? Lamp::Active : Lamp::Off));
        b.kick(mutes, 0, s * rowPitch, CParam::getEnumString(EParam(Param_SourceS1Mute + s)), b.smallKey(muteLooks[s]));
    }
    pg.add(std::move(mutes));
    const int commonY = firstRow + 4 * rowPitch;
    b.caption(pg, {gx + kGroupPad, commonY, 148, kButtonHeight}, "Common", fonts::kCaption, "left");
    b.kick(pg, keyX, commonY, "btEditCommon", b.smallKey(Lamp::Off));

    // Source mix: sources 1 and 2 up and down, 3 and 4 left and right.
    const int my = commonY + kButtonHeight + kGroupPad + 16, area = 320, throttle = 64;
    const int ax = gx + (gw - area) / 2, ay = my + kGroupTop + kCaptionHeight;
    b.group(pg, {gx, my, gw, kGroupTop + 2 * kCaptionHeight + area + 8 + kGroupPad}, "SOURCE MIX");
    b.caption(pg, {ax, ay - kCaptionHeight, area, kCaptionHeight}, "Source 1");
    b.caption(pg, {ax, ay + area + 4, area, kCaptionHeight}, "Source 2");
    b.caption(pg, {gx + 12, ay + area / 2 - 20, ax - gx - 16, kCaptionHeight}, "S3", fonts::kCaption, "right");
    b.caption(pg, {ax + area + 4, ay + area / 2 - 20, gx + gw - ax - area - 16, kCaptionHeight}, "S4",
              fonts::kCaption, "left");
    View mix = makeView("CViewContainer", {ax, ay, area, area});
    mix.set("bitmap", paintThrottleArea(b.bitmaps, area, throttle)).set("transparent", "false").name("throttleArea");
    // The throttle's design position is its travel: the bottom-right corner.
    b.picture(mix, {area - throttle, area - throttle, throttle, throttle}, paintThrottle(b.bitmaps, throttle),
              "throttle");
    pg.add(std::move(mix));
}

View sourceHalf(Builder& b, const Rect& r)
{
    View h = makeView("CViewContainer", r);
    h.set("transparent", "true").name("edit_source");
    auto id = [](EParam p) { return CParam::getEnumString(p); };

    // Wave: the menu and the two step keys under it.
    double widest = 0;
    for (int w = 0; w < kWaveformCount; ++w)
        widest = std::max(widest, textWidth(fonts::kField, g_waveformNames[size_t(w)]));
    const int menuW = menuWidthFor(widest, 400);
    int x = 16, y = 16;
    b.group(h, {x, y, groupWidth(menuW), kGroupHeight}, "WAVE");
    const int cx = x + kGroupPad, cy = y + kGroupTop;
    b.menuCell(h, cx, cy, menuW, id(Param_SourceS1Wave), "Waveform");
    const int stepY = cy + kMenuCellHeight + 16;
    b.kick(h, cx, stepY, "btWaveDec", b.icon(Icon::Prev));
    b.kick(h, cx + kIconButtonWidth + 16, stepY, "btWaveInc", b.icon(Icon::Next));
    b.caption(h, {cx + 2 * kIconButtonWidth + 40, stepY, menuW - 2 * kIconButtonWidth - 40, kButtonHeight},
              "Step wave", fonts::kCaption, "left", palette::kSilkDim);
    x += groupWidth(menuW) + 16;

    // Pitch: coarse (a knob while the source follows the keys, a key menu
    // with step keys while it plays a fixed key), fine, key scaling, switches.
    const int pitchW = groupWidth(kCoarseCellWidth + 2 * (16 + kKnobCellWidth) + 3 * (16 + kLargeCellWidth));
    b.group(h, {x, y, pitchW, kGroupHeight}, "PITCH");
    int px = x + kGroupPad;
    b.knobCell(h, px, cy, kCoarseCellWidth, Param_SourceS1Coarse, "Coarse");
    {
        const int menuY = cy + kCaptionHeight + 8;
        const int keyW = kIconButtonWidth, gap = kCoarseCellWidth - 2 * keyW;
        b.menu(h, {px, menuY, kCoarseCellWidth, kFieldHeight}, id(Param_SourceS1Coarse)).set("visible", "false");
        const int keyY = menuY + kFieldHeight + 12;
        b.kick(h, px, keyY, "btCoarseDec", b.icon(Icon::Prev)).set("visible", "false");
        b.kick(h, px + keyW + gap, keyY, "btCoarseInc", b.icon(Icon::Next)).set("visible", "false");
        b.caption(h, {px, keyY + kButtonHeight + 4, keyW, 36}, "Key \u2212", fonts::kSmall)
            .name("btCoarseDecText")
            .set("visible", "false");
        b.caption(h, {px + keyW + gap, keyY + kButtonHeight + 4, keyW, 36}, "Key +", fonts::kSmall)
            .name("btCoarseIncText")
            .set("visible", "false");
    }
    px += kCoarseCellWidth + 16;
    b.knobCell(h, px, cy, kKnobCellWidth, Param_SourceS1Fine, "Fine");
    px += kKnobCellWidth + 16;
    b.knobCell(h, px, cy, kKnobCellWidth, Param_SourceS1FreqKeyScaleToFreq, "Key \u2192 pitch");
    px += kKnobCellWidth + 16;
    const struct
    {
        EParam p;
        const char* text;
        Lamp look;
    } switches[] = {
        {Param_SourceS1KeyTrack, "Key track", Lamp::Active},
        // These two carry the large off and lit looks the editor takes.
        {Param_SourceS1VibABend, "Vib / A.bend", Lamp::Off},
        {Param_SourceS1PressureToFreq, "Press \u2192 pitch", Lamp::Active},
    };
    for (const auto& s : switches)
    {
        b.caption(h, {px, cy, kLargeCellWidth, kCaptionHeight}, s.text);
        b.kick(h, px + (kLargeCellWidth - kLargeButtonWidth) / 2, cy + kCaptionHeight + 8 + (kKnobSize - kButtonHeight) / 2,
               id(s.p), b.largeKey(s.look));
        px += kLargeCellWidth + 16;
    }
    checkFits(h, x + pitchW, y + kGroupHeight, "pitch group");

    // Envelope: the picture, then level and the five stages.
    y += kGroupHeight + 16;
    x = 16;
    const EParam envParams[] = {Param_SourceS1EnvLevel, Param_SourceS1EnvDelay,   Param_SourceS1EnvAttack,
                                Param_SourceS1EnvDecay, Param_SourceS1EnvSustain, Param_SourceS1EnvRelease};
    const char* envCaptions[] = {"Level", "Delay", "Attack", "Decay", "Sustain", "Release"};
    const int envW = r.w - 32;
    const int screenW = envW - 2 * kGroupPad - 6 * (kKnobCellWidth + 16) - 16;
    b.group(h, {x, y, envW, kGroupHeight}, "ENVELOPE");
    b.picture(h, {x + kGroupPad, y + kGroupTop + 8, screenW, kKnobCellHeight - 16},
              paintEnvelopeScreen(b.bitmaps, screenW, kKnobCellHeight - 16), "envdummy");
    px = x + kGroupPad + screenW + 32;
    for (int i = 0; i < 6; ++i, px += kKnobCellWidth + 16)
        b.knobCell(h, px, y + kGroupTop, kKnobCellWidth, envParams[i], envCaptions[i]);

    // Level and time modulation.
    y += kGroupHeight + 16;
    const int levelW = groupWidth(4 * kKnobCellWidth + 3 * 16);
    b.group(h, {x, y, levelW, kGroupHeight}, "LEVEL MODULATION");
    px = x + kGroupPad;
    b.menuCell(h, px, y + kGroupTop + (kKnobCellHeight - kMenuCellHeight) / 2 - 20, kKnobCellWidth,
               id(Param_SourceS1VelCurve), "Vel curve");
    px += kKnobCellWidth + 16;
    b.knobCell(h, px, y + kGroupTop, kKnobCellWidth, Param_SourceS1LevelModVel, "Velocity");
    px += kKnobCellWidth + 16;
    b.knobCell(h, px, y + kGroupTop, kKnobCellWidth, Param_SourceS1LevelModPressure, "Pressure");
    px += kKnobCellWidth + 16;
    b.knobCell(h, px, y + kGroupTop, kKnobCellWidth, Param_SourceS1LevelModKeyScale, "Key scale");
    x += levelW + 16;
    const int timeW = groupWidth(2 * kKnobCellWidth + 16);
    b.group(h, {x, y, timeW, kGroupHeight}, "TIME MODULATION");
    b.knobCell(h, x + kGroupPad, y + kGroupTop, kKnobCellWidth, Param_SourceS1TimeModVel, "Velocity");
    b.knobCell(h, x + kGroupPad + kKnobCellWidth + 16, y + kGroupTop, kKnobCellWidth, Param_SourceS1TimeModKeyScale,
               "Key scale");
    checkFits(h, x + timeW, y + kGroupHeight, "modulation groups");
    return h;
}

View commonHalf(Builder& b, const Rect& r)
{
    View h = makeView("CViewContainer", r);
    h.set("transparent", "true").set("visible", "false").name("edit_common");
    auto id = [](EParam p) { return CParam::getEnumString(p); };
    const int menuW = 264, nameW = 440;
    int x = 16, y = 16;
    const int cy = y + kGroupTop;

    // Voice: name, volume, polyphony, sources, amplitude modulation, key scaling.
    const int voiceW = groupWidth(nameW + 16 + kKnobCellWidth + 2 * (16 + menuW));
    b.group(h, {x, y, voiceW, kGroupHeight}, "VOICE");
    int px = x + kGroupPad;
    b.caption(h, {px, cy, nameW, kCaptionHeight}, "Name");
    b.textField(h, {px, cy + kCaptionHeight, nameW, kFieldHeight}, "editSingleName", "Init Single");
    b.menuCell(h, px, cy + kMenuCellHeight + 24, nameW, id(Param_PolyMode), "Poly mode");
    px += nameW + 16;
    b.knobCell(h, px, cy, kKnobCellWidth, Param_Volume, "Volume");
    px += kKnobCellWidth + 16;
    b.menuCell(h, px, cy, menuW, id(Param_Source2or4), "Sources");
    b.menuCell(h, px, cy + kMenuCellHeight + 24, menuW, id(Param_KeyScaleCurve), "Key scale curve");
    px += menuW + 16;
    b.menuCell(h, px, cy, menuW, id(Param_AmpModS1S2), "AM 1 & 2");
    b.menuCell(h, px, cy + kMenuCellHeight + 24, menuW, id(Param_AmpModS3S4), "AM 3 & 4");
    x += voiceW + 16;

    const int bendW = groupWidth(2 * kLargeCellWidth + 16);
    b.group(h, {x, y, bendW, kGroupHeight}, "PRESSURE & BEND");
    b.knobCell(h, x + kGroupPad, cy, kLargeCellWidth, Param_PressureToFreq, "Press \u2192 pitch");
    b.knobCell(h, x + kGroupPad + kLargeCellWidth + 16, cy, kLargeCellWidth, Param_PitchBendDepth, "Bend range");
    checkFits(h, x + bendW, y + kGroupHeight, "voice row");

    // LFO and vibrato.
    y += kGroupHeight + 16;
    x = 16;
    const int menuY = y + kGroupTop + (kKnobCellHeight - kMenuCellHeight) / 2 - 20;
    const int lfoW = groupWidth(3 * kKnobCellWidth + 2 * kLargeCellWidth + 4 * 16);
    b.group(h, {x, y, lfoW, kGroupHeight}, "LFO & VIBRATO");
    px = x + kGroupPad;
    b.menuCell(h, px, menuY, kLargeCellWidth, id(Param_LfoShape), "LFO shape");
    px += kLargeCellWidth + 16;
    b.knobCell(h, px, y + kGroupTop, kKnobCellWidth, Param_LfoSpeed, "LFO speed");
    px += kKnobCellWidth + 16;
    b.knobCell(h, px, y + kGroupTop, kKnobCellWidth, Param_VibratoDepth, "Vib depth");
    px += kKnobCellWidth + 16;
    b.knobCell(h, px, y + kGroupTop, kKnobCellWidth, Param_PressureToVibrato, "Press \u2192 vib");
    px += kKnobCellWidth + 16;
    b.menuCell(h, px, menuY, kLargeCellWidth, id(Param_VibWheelMode), "Mod wheel");

    // Auto bend.
    y += kGroupHeight + 16;
    const int abW = groupWidth(4 * kKnobCellWidth + 3 * 16);
    b.group(h, {x, y, abW, kGroupHeight}, "AUTO BEND");
    const struct
    {
        EParam p;
        const char* text;
    } bend[] = {{Param_AutoBendDepth, "Depth"},
                {Param_AutoBendTime, "Time"},
                {Param_VelToDepth, "Vel \u2192 depth"},
                {Param_AutoBendKeyScaleToTime, "Key \u2192 time"}};
    px = x + kGroupPad;
    for (const auto& k : bend)
    {
        b.knobCell(h, px, y + kGroupTop, kKnobCellWidth, k.p, k.text);
        px += kKnobCellWidth + 16;
    }
    checkFits(h, x + abW, y + kGroupHeight, "auto bend");
    return h;
}
} // namespace

View buildEditPage(Builder& b)
{
    View pg = page("mode_edit", false);
    sourceColumn(b, pg);
    const Rect half{496, 0, kWidth - 496, kPageArea.h};
    pg.add(sourceHalf(b, half));
    pg.add(commonHalf(b, half));
    return pg;
}

// ---------------------------------------------------------------- multi page
namespace
{
View sectionStrip(Builder& b, const Rect& r, char letter, int section)
{
    View s = makeView("CViewContainer", r);
    s.set("bitmap", paintGroup(b.bitmaps, r.w, r.h)).set("transparent", "false").name(std::string("multiSection") + letter);
    const int x = kGroupPad, w = r.w - 2 * kGroupPad;
    b.caption(s, {x, 4, w, kTitleHeight}, "SECTION " + std::to_string(section + 1), fonts::kName, "left",
              palette::kAccent)
        .name("multiSectionName");
    int y = kGroupTop;
    b.menuCell(s, x, y, w, "multiSectionSingle", "Single");
    y += kMenuCellHeight + 16;
    const int half = (w - 16) / 2, third = (w - 32) / 3;
    b.menuCell(s, x, y, half, "multiSectionZoneLow", "Key low");
    b.menuCell(s, x + half + 16, y, half, "multiSectionZoneHigh", "Key high");
    y += kMenuCellHeight + 16;
    b.menuCell(s, x, y, half, "multiSectionChannel", "MIDI channel");
    b.menuCell(s, x + half + 16, y, half, "multiSectionMode", "Plays from");
    y += kMenuCellHeight + 16;
    b.menuCell(s, x, y, third, "multiSectionPoly", "Reserve");
    b.menuCell(s, x + third + 16, y, third, "multiSectionVelocity", "Velocity");
    b.menuCell(s, x + 2 * (third + 16), y, third, "multiSectionOutput", "Output");
    y += kMenuCellHeight + 24;
    const struct
    {
        EParam p;
        const char* name;
        const char* text;
    } knobs[] = {{Param_MultiS1Level, "multiSectionLevel", "Level"},
                 {Param_MultiS1Transpose, "multiSectionTranspose", "Transpose"},
                 {Param_MultiS1Tune, "multiSectionTune", "Tune"}};
    for (int i = 0; i < 3; ++i)
        b.knobCell(s, x + i * (third + 16), y, third, knobs[i].p, knobs[i].text, knobs[i].name);
    checkFits(s, x + w, y + kKnobCellHeight + kGroupPad, "section strip");
    return s;
}
} // namespace

View buildMultiPage(Builder& b)
{
    View pg = page("mode_edit_multi", false);
    const int nameW = 440, arrowW = 200;
    const int x = 16, y = 16, cy = y + kGroupTop;
    const int w = groupWidth(nameW + 16 + kKnobCellWidth + 32 + 2 * arrowW + 16);
    b.group(pg, {x, y, w, kGroupHeight}, "MULTI");
    int px = x + kGroupPad;
    b.caption(pg, {px, cy, nameW, kCaptionHeight}, "Name");
    b.textField(pg, {px, cy + kCaptionHeight, nameW, kFieldHeight}, "editMultiName", "Init Multi");
    px += nameW + 16;
    b.knobCell(pg, px, cy, kKnobCellWidth, Param_MultiVolume, "Volume");
    px += kKnobCellWidth + 32;
    b.caption(pg, {px, cy, 2 * arrowW + 16, kCaptionHeight}, "Sections shown");
    const int ay = cy + kCaptionHeight + 8 + (kKnobSize - kButtonHeight) / 2;
    b.picture(pg, {px, ay, arrowW, kButtonHeight}, paintArrow(b.bitmaps, arrowW, kButtonHeight, true, "1\u20134"),
              "arrowLeft")
        .set("visible", "false");
    b.picture(pg, {px + arrowW + 16, ay, arrowW, kButtonHeight},
              paintArrow(b.bitmaps, arrowW, kButtonHeight, false, "5\u20138"), "arrowRight");

    const int sy = y + kGroupHeight + 16, sw = (kWidth - 32 - 3 * 16) / 4;
    const int sh = kGroupTop + 4 * (kMenuCellHeight + 16) + 8 + kKnobCellHeight + kGroupPad;
    for (int i = 0; i < 4; ++i)
        pg.add(sectionStrip(b, {16 + i * (sw + 16), sy, sw, sh}, char('A' + i), i));
    checkFits(pg, 16 + 4 * sw + 48, sy + sh, "multi page");
    return pg;
}

// ---------------------------------------------------------------- system page
namespace
{
struct Setting
{
    const char* name;
    const char* text;
};

int settingsGroup(Builder& b, View& parent, int x, int y, int w, const std::string& title,
                  std::initializer_list<Setting> rows)
{
    const int rowPitch = kFieldHeight + 16, menuW = 320;
    const int h = kGroupTop + int(rows.size()) * rowPitch + kGroupPad - 16 + 8;
    b.group(parent, {x, y, w, h}, title);
    int ry = y + kGroupTop + 8;
    for (const Setting& s : rows)
    {
        b.caption(parent, {x + kGroupPad, ry, w - 3 * kGroupPad - menuW, kFieldHeight}, s.text, fonts::kCaption,
                  "left");
        b.menu(parent, {x + w - kGroupPad - menuW, ry, menuW, kFieldHeight}, s.name);
        ry += rowPitch;
    }
    return h;
}
} // namespace

View buildSystemPage(Builder& b)
{
    View pg = page("mode_edit_system", false);
    const int w = 880;
    settingsGroup(b, pg, 16, 16, w, "MIDI RECEIVE",
                  {{"midiReceiveChannel", "Channel"},
                   {"midiReceiveProgramChange", "Program change"},
                   {"midiReceiveModWheel", "Mod wheel"},
                   {"midiReceiveVelocity", "Velocity"},
                   {"midiReceivePressure", "Pressure"},
                   {"midiReceiveVolume", "Volume"},
                   {"midiReceiveSysEx", "System exclusive"},
                   {"midiReceivePitchBend", "Pitch bend"},
                   {"midiReceiveHoldPedal", "Hold pedal"},
                   {"midiReceivePan", "Pan"}});
    const int sendH = settingsGroup(b, pg, 16 + w + 16, 16, w, "MIDI SEND", {{"midiSendSysex", "System exclusive"}});
    // The output choice sits in its own container, which the plug-in hides.
    View audio = makeView("CViewContainer", {16 + w + 16, 16 + sendH + 16, w, sendH});
    audio.set("transparent", "true").name("audio");
    settingsGroup(b, audio, 0, 0, w, "AUDIO", {{"audioOutputMode", "Outputs"}});
    pg.add(std::move(audio));
    return pg;
}
} // namespace panelgen
