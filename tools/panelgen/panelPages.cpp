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

// Page margins and the rows of groups: three rows of knob groups fill a page.
constexpr int kMargin = 32;
constexpr int kRowGap = 32;
constexpr int kRowY[3] = {kMargin, kMargin + kRowHeight + kRowGap, kMargin + 2 * (kRowHeight + kRowGap)};
constexpr int kContentBottom = kRowY[2] + kRowHeight;
// The resize handle takes the page area's bottom-right corner.
constexpr int kHandleTop = kPageArea.h - kHandleSize;

std::string id(EParam p)
{
    return CParam::getEnumString(p);
}

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
    const int needed = int(std::ceil(textWidthPx)) + 16 + 56; // inset, drop-down mark
    return std::max(minimum, (needed + kUnit - 1) / kUnit * kUnit);
}

void checkFits(const View& container, int right, int bottom, const char* what)
{
    if (right > container.r.w || bottom > container.r.h)
        throw std::logic_error(std::string("layout does not fit: ") + what);
}

// ---------------------------------------------------------------- play page
void browserButtons(Builder& b, View& pg, int x, int y, const std::string& title, const std::string& stem,
                    int count)
{
    static const char* suffixes[] = {"Dec", "Inc", "Reset", "Import", "Export"};
    static const char* texts[] = {"Prev", "Next", "Reset", "Import", "Export"};
    static const Icon icons[] = {Icon::Prev, Icon::Next, Icon::Reset, Icon::Import, Icon::Export};
    GroupRow g(b, pg, x, y, title, kGroupTop + kButtonHeight + 8 + 36 + kGroupPad);
    for (int i = 0; i < count; ++i)
    {
        const std::string name = stem + suffixes[i];
        const int left = g.space(kIconButtonWidth + 8);
        b.kick(pg, left + 4, g.top(), name, b.icon(icons[i]));
        b.caption(pg, {left - 4, g.top() + kButtonHeight + 8, kIconButtonWidth + 16, 36}, texts[i], fonts::kSmall)
            .name(name + "Text");
    }
    g.close();
}

int browserButtonsWidth(int count)
{
    return 2 * kGroupPad + count * (kIconButtonWidth + 8) + (count - 1) * kGap;
}
} // namespace

View buildPlayPage(Builder& b)
{
    View pg = page("mode_play", true);
    const int gx = kMargin, gy = kMargin, gw = kWidth - 2 * kMargin;
    const int colPitch = (gw - 2 * kGroupPad + kGap) / 4, rowPitch = 86, labelHeight = 70;
    const int rowY = gy + kGroupTop;
    const int gridTop = rowY + kFieldHeight + 32;
    const int gh = gridTop + 7 * rowPitch + labelHeight + kGroupPad + 8 - gy;
    b.group(pg, {gx, gy, gw, gh}, "PRESETS");
    b.caption(pg, {gx + kGroupPad, rowY, 120, kFieldHeight}, "Bank", fonts::kCaption, "left");
    b.menu(pg, {gx + kGroupPad + 128, rowY, 640, kFieldHeight}, "bankSelect");
    b.caption(pg, {gx + kGroupPad + 816, rowY, 136, kFieldHeight}, "Search", fonts::kCaption, "left");
    b.textField(pg, {gx + kGroupPad + 960, rowY, 560, kFieldHeight}, "searchSingle", "");
    for (int k = 0; k < 32; ++k)
    {
        const int col = k / 8, row = k % 8;
        const std::string name = std::string("single") + char('A' + col) + char('0' + row);
        // Sample texts: the slot labels of the first internal bank.
        const std::string text = std::string("I") + char('A' + col) + "-" + char('1' + row);
        View v = makeView("CTextLabel",
                          {gx + kGroupPad + col * colPitch, gridTop + row * rowPitch, colPitch - kGap, labelHeight});
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
    // The step, reset and file keys: bank at the left, preset at the right, page between.
    const int by = gy + gh + kRowGap;
    browserButtons(b, pg, kMargin, by, "BANK", "btBank", 5);
    browserButtons(b, pg, (kWidth - browserButtonsWidth(3)) / 2, by, "PAGE", "btPage", 3);
    const int presetX = kWidth - kMargin - browserButtonsWidth(5);
    browserButtons(b, pg, presetX, by, "PRESET", "btSingle", 5);
    checkFits(pg, kWidth - kMargin, by + kGroupTop + kButtonHeight + 8 + 36 + kGroupPad, "play page");
    if (by + kGroupTop + kButtonHeight + 8 + 36 + kGroupPad > kHandleTop)
        throw std::logic_error("the preset keys reach the resize handle");
    return pg;
}

// ---------------------------------------------------------------- edit page
namespace
{
constexpr int kHalfX = kMargin + 456 + kGap;

// The source selector and mute keys, and the source mix below them.
void sourceColumn(Builder& b, View& pg)
{
    const int gx = kMargin, gy = kRowY[0], gw = 456;
    const int rowPitch = 100, firstRow = gy + kGroupTop + kCaptionHeight + 8;
    const int keyX = gx + 176, muteX = keyX + kSmallButtonWidth + 16;
    const int sourcesBottom = firstRow + 4 * rowPitch + kButtonHeight + kGroupPad;
    b.group(pg, {gx, gy, gw, sourcesBottom - gy}, "SOURCES");
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
        b.kick(pg, keyX, y, std::string("btEditSource") + char('A' + s),
               b.smallKey(s == 0 ? Lamp::Active : Lamp::Off));
        b.kick(mutes, 0, s * rowPitch, id(EParam(Param_SourceS1Mute + s)), b.smallKey(muteLooks[s]));
    }
    pg.add(std::move(mutes));
    const int commonY = firstRow + 4 * rowPitch;
    b.caption(pg, {gx + kGroupPad, commonY, 148, kButtonHeight}, "Common", fonts::kCaption, "left");
    b.kick(pg, keyX, commonY, "btEditCommon", b.smallKey(Lamp::Off));

    // Source mix: sources 1 and 2 up and down, 3 and 4 left and right.
    const int my = sourcesBottom + kRowGap, mh = kContentBottom - my, area = 320, throttle = 64;
    b.group(pg, {gx, my, gw, mh}, "SOURCE MIX");
    const int ax = gx + (gw - area) / 2;
    const int ay = my + kTitleHeight + (mh - kTitleHeight - area) / 2;
    if (ay - kCaptionHeight < my + kTitleHeight + 4 || ay + area + 4 + kCaptionHeight > my + mh - 8)
        throw std::logic_error("layout does not fit: source mix");
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

View half(const std::string& name, bool visible)
{
    View h = makeView("CViewContainer", {kHalfX, 0, kWidth - kHalfX, kPageArea.h});
    h.set("transparent", "true").name(name);
    if (!visible)
        h.set("visible", "false");
    return h;
}

View sourceHalf(Builder& b)
{
    View h = half("edit_source", true);
    const int right = h.r.w - kGap;

    // Wave: the menu, and the two step keys under it.
    double widest = 0;
    for (int w = 0; w < kWaveformCount; ++w)
        widest = std::max(widest, textWidth(fonts::kField, g_waveformNames[size_t(w)]));
    const int menuW = menuWidthFor(widest, 400);
    GroupRow wave(b, h, kGap, kRowY[0], "WAVE");
    const int wx = wave.space(menuW);
    b.caption(h, {wx, wave.top(), menuW, kCaptionHeight}, "Waveform");
    b.menu(h, {wx, wave.top() + kCaptionHeight, menuW, kFieldHeight}, id(Param_SourceS1Wave));
    const int stepY = wave.top() + kMenuCellHeight + 24;
    b.kick(h, wx, stepY, "btWaveDec", b.icon(Icon::Prev));
    b.kick(h, wx + kIconButtonWidth + 16, stepY, "btWaveInc", b.icon(Icon::Next));
    b.caption(h, {wx + 2 * kIconButtonWidth + 40, stepY, menuW - 2 * kIconButtonWidth - 40, kButtonHeight},
              "Step wave", fonts::kCaption, "left", palette::kSilkDim);
    const int waveRight = wave.close();

    // Pitch: coarse (a knob while the source follows the keys, a key menu
    // with step keys while it plays a fixed key), fine, key scaling, switches.
    constexpr int kCoarseWidth = 272;
    GroupRow pitch(b, h, waveRight + kGap, kRowY[0], "PITCH");
    const int px = pitch.knob(Param_SourceS1Coarse, "Coarse", kCoarseWidth);
    {
        const int menuY = pitch.top() + kKnobTop;
        const int keyW = kIconButtonWidth, keyGap = kCoarseWidth - 2 * keyW;
        b.menu(h, {px, menuY, kCoarseWidth, kFieldHeight}, id(Param_SourceS1Coarse)).set("visible", "false");
        const int keyY = menuY + kFieldHeight + 12;
        b.kick(h, px, keyY, "btCoarseDec", b.icon(Icon::Prev)).set("visible", "false");
        b.kick(h, px + keyW + keyGap, keyY, "btCoarseInc", b.icon(Icon::Next)).set("visible", "false");
        b.caption(h, {px, keyY + kButtonHeight + 4, keyW, 36}, "Key \u2212", fonts::kSmall)
            .name("btCoarseDecText")
            .set("visible", "false");
        b.caption(h, {px + keyW + keyGap, keyY + kButtonHeight + 4, keyW, 36}, "Key +", fonts::kSmall)
            .name("btCoarseIncText")
            .set("visible", "false");
    }
    pitch.knob(Param_SourceS1Fine, "Fine");
    pitch.knob(Param_SourceS1FreqKeyScaleToFreq, "Key \u2192 pitch");
    pitch.key(id(Param_SourceS1KeyTrack), "Key track", b.largeKey(Lamp::Active));
    // These two carry the large off and lit looks the editor takes.
    pitch.key(id(Param_SourceS1VibABend), "Vib / A.bend", b.largeKey(Lamp::Off));
    pitch.key(id(Param_SourceS1PressureToFreq), "Press \u2192 pitch", b.largeKey(Lamp::Active));
    checkFits(h, pitch.close(), kRowY[0] + kRowHeight, "pitch row");

    // Envelope: the picture of its shape, then level and the five stages.
    const EParam envParams[] = {Param_SourceS1EnvLevel, Param_SourceS1EnvDelay,   Param_SourceS1EnvAttack,
                                Param_SourceS1EnvDecay, Param_SourceS1EnvSustain, Param_SourceS1EnvRelease};
    const char* envCaptions[] = {"Level", "Delay", "Attack", "Decay", "Sustain", "Release"};
    const int screenW = right - kGap - 2 * kGroupPad - 6 * (kKnobCellWidth + kGap) - kGap;
    GroupRow env(b, h, kGap, kRowY[1], "ENVELOPE");
    const int sx = env.space(screenW + kGap);
    b.picture(h, {sx, env.top() + 8, screenW, kKnobCellHeight - 8},
              paintEnvelopeScreen(b.bitmaps, screenW, kKnobCellHeight - 8), "envdummy");
    for (int i = 0; i < 6; ++i)
        env.knob(envParams[i], envCaptions[i]);
    checkFits(h, env.close(), kRowY[1] + kRowHeight, "envelope row");

    // Level and time modulation.
    GroupRow level(b, h, kGap, kRowY[2], "LEVEL MODULATION");
    level.menu(id(Param_SourceS1VelCurve), "Vel curve", 216);
    level.knob(Param_SourceS1LevelModVel, "Velocity");
    level.knob(Param_SourceS1LevelModPressure, "Pressure");
    level.knob(Param_SourceS1LevelModKeyScale, "Key scale");
    GroupRow time(b, h, level.close() + kGap, kRowY[2], "TIME MODULATION");
    time.knob(Param_SourceS1TimeModVel, "Velocity");
    time.knob(Param_SourceS1TimeModKeyScale, "Key scale");
    checkFits(h, time.close(), kContentBottom, "modulation row");
    return h;
}

View commonHalf(Builder& b)
{
    View h = half("edit_common", false);

    GroupRow voice(b, h, kGap, kRowY[0], "VOICE");
    voice.field("editSingleName", "Name", "Init Single", 440);
    voice.knob(Param_Volume, "Volume");
    voice.menu(id(Param_PolyMode), "Poly mode", 216);
    voice.menu(id(Param_Source2or4), "Sources", 216);
    voice.menu(id(Param_KeyScaleCurve), "Key scale curve", 264);
    GroupRow am(b, h, voice.close() + kGap, kRowY[0], "AMPLITUDE MOD");
    am.menu(id(Param_AmpModS1S2), "S1 & S2", kWideCellWidth);
    am.menu(id(Param_AmpModS3S4), "S3 & S4", kWideCellWidth);
    checkFits(h, am.close(), kRowY[0] + kRowHeight, "voice row");

    GroupRow lfo(b, h, kGap, kRowY[1], "LFO & VIBRATO");
    lfo.menu(id(Param_LfoShape), "LFO shape", kWideCellWidth);
    lfo.knob(Param_LfoSpeed, "LFO speed");
    lfo.knob(Param_VibratoDepth, "Vib depth");
    lfo.knob(Param_PressureToVibrato, "Press \u2192 vib");
    lfo.menu(id(Param_VibWheelMode), "Mod wheel", kWideCellWidth);
    GroupRow bend(b, h, lfo.close() + kGap, kRowY[1], "PRESSURE & BEND");
    bend.knob(Param_PressureToFreq, "Press \u2192 pitch", kWideCellWidth);
    bend.knob(Param_PitchBendDepth, "Bend range", kWideCellWidth);
    checkFits(h, bend.close(), kRowY[1] + kRowHeight, "vibrato row");

    GroupRow auto_(b, h, kGap, kRowY[2], "AUTO BEND");
    auto_.knob(Param_AutoBendDepth, "Depth");
    auto_.knob(Param_AutoBendTime, "Time");
    auto_.knob(Param_VelToDepth, "Vel \u2192 depth", kWideCellWidth);
    auto_.knob(Param_AutoBendKeyScaleToTime, "Key \u2192 time", kWideCellWidth);
    checkFits(h, auto_.close(), kContentBottom, "auto bend row");
    return h;
}
} // namespace

View buildEditPage(Builder& b)
{
    View pg = page("mode_edit", false);
    sourceColumn(b, pg);
    pg.add(sourceHalf(b));
    pg.add(commonHalf(b));
    return pg;
}

// ---------------------------------------------------------------- multi page
namespace
{
View sectionStrip(Builder& b, const Rect& r, char letter, int section)
{
    View s = makeView("CViewContainer", r);
    s.set("transparent", "true").name(std::string("multiSection") + letter);
    b.groupFrame(s, {0, 0, r.w, r.h});
    const int x = kGroupPad, w = r.w - 2 * kGroupPad;
    b.caption(s, {x, 4, w, kTitleHeight}, "SECTION " + std::to_string(section + 1), fonts::kName, "left",
              palette::kAccent)
        .name("multiSectionName");
    int y = kTitleHeight + 16;
    b.menuCell(s, x, y, w, "multiSectionSingle", "Single");
    y += kMenuCellHeight + 8;
    const int half = (w - kGap) / 2, third = (w - 2 * kGap) / 3;
    b.menuCell(s, x, y, half, "multiSectionZoneLow", "Key low");
    b.menuCell(s, x + half + kGap, y, half, "multiSectionZoneHigh", "Key high");
    y += kMenuCellHeight + 8;
    b.menuCell(s, x, y, half, "multiSectionChannel", "MIDI channel");
    b.menuCell(s, x + half + kGap, y, half, "multiSectionMode", "Plays from");
    y += kMenuCellHeight + 8;
    b.menuCell(s, x, y, third, "multiSectionPoly", "Reserve");
    b.menuCell(s, x + third + kGap, y, third, "multiSectionVelocity", "Velocity");
    b.menuCell(s, x + 2 * (third + kGap), y, third, "multiSectionOutput", "Output");
    y += kMenuCellHeight + 12;
    const struct
    {
        EParam p;
        const char* name;
        const char* text;
    } knobs[] = {{Param_MultiS1Level, "multiSectionLevel", "Level"},
                 {Param_MultiS1Transpose, "multiSectionTranspose", "Transpose"},
                 {Param_MultiS1Tune, "multiSectionTune", "Tune"}};
    for (int i = 0; i < 3; ++i)
        b.knobCell(s, x + i * (third + kGap), y, third, knobs[i].p, knobs[i].text, knobs[i].name);
    checkFits(s, x + w, y + kKnobCellHeight + 8, "section strip");
    return s;
}
} // namespace

View buildMultiPage(Builder& b)
{
    View pg = page("mode_edit_multi", false);
    constexpr int kArrowWidth = 200;
    GroupRow multi(b, pg, kMargin, kRowY[0], "MULTI");
    multi.field("editMultiName", "Name", "Init Multi", 440);
    multi.knob(Param_MultiVolume, "Volume");
    const int ax = multi.space(2 * kArrowWidth + kGap);
    b.caption(pg, {ax, multi.top(), 2 * kArrowWidth + kGap, kCaptionHeight}, "Sections shown");
    const int ay = multi.top() + kKnobTop + (kKnobSize - kButtonHeight) / 2;
    b.picture(pg, {ax, ay, kArrowWidth, kButtonHeight},
              paintArrow(b.bitmaps, kArrowWidth, kButtonHeight, true, "1\u20134"), "arrowLeft")
        .set("visible", "false");
    b.picture(pg, {ax + kArrowWidth + kGap, ay, kArrowWidth, kButtonHeight},
              paintArrow(b.bitmaps, kArrowWidth, kButtonHeight, false, "5\u20138"), "arrowRight");
    multi.close();

    // Four strips below, ending above the resize handle.
    const int sy = kRowY[0] + kRowHeight + kRowGap, sh = kHandleTop - 8 - sy;
    const int sw = (kWidth - 2 * kMargin - 3 * kGap) / 4;
    for (int i = 0; i < 4; ++i)
        pg.add(sectionStrip(b, {kMargin + i * (sw + kGap), sy, sw, sh}, char('A' + i), i));
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

constexpr int kSettingPitch = kFieldHeight + 28;

int settingsHeight(size_t rows)
{
    return kGroupTop + int(rows) * kSettingPitch - 28 + kGroupPad + 8;
}

void settingsGroup(Builder& b, View& parent, int x, int y, int w, const std::string& title,
                   std::initializer_list<Setting> rows)
{
    constexpr int kMenuWidth = 320;
    b.group(parent, {x, y, w, settingsHeight(rows.size())}, title);
    int ry = y + kGroupTop;
    for (const Setting& s : rows)
    {
        b.caption(parent, {x + kGroupPad, ry, w - 3 * kGroupPad - kMenuWidth, kFieldHeight}, s.text,
                  fonts::kCaption, "left");
        b.menu(parent, {x + w - kGroupPad - kMenuWidth, ry, kMenuWidth, kFieldHeight}, s.name);
        ry += kSettingPitch;
    }
}
} // namespace

View buildSystemPage(Builder& b)
{
    View pg = page("mode_edit_system", false);
    constexpr int kColumn = 880;
    settingsGroup(b, pg, kMargin, kRowY[0], kColumn, "MIDI RECEIVE",
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
    const int x = kMargin + kColumn + kRowGap;
    settingsGroup(b, pg, x, kRowY[0], kColumn, "MIDI SEND", {{"midiSendSysex", "System exclusive"}});
    // The output choice sits in its own container, which the plug-in hides.
    const int ay = kRowY[0] + settingsHeight(1) + kRowGap;
    View audio = makeView("CViewContainer", {x, ay, kColumn, settingsHeight(1)});
    audio.set("transparent", "true").name("audio");
    settingsGroup(b, audio, 0, 0, kColumn, "AUDIO", {{"audioOutputMode", "Outputs"}});
    pg.add(std::move(audio));
    return pg;
}
} // namespace panelgen
