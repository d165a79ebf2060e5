#pragma once

// K1Editor: the plug-in window. It builds the panel from the compiled-in UI
// description, finds its views by custom-view-name, binds them to the 209
// automation parameters, switches the four pages (play, single edit, multi
// edit, system), takes the keyboard shortcuts and owns the widget objects of
// the panel (display, preset browser, resizer, source mix, multi page,
// settings page, envelope view).
//
// Threads: everything runs on the host's UI thread except onChanges, which
// the facade calls from whichever thread made a change (the audio thread
// too): it only sets dirty flags, and idle() refreshes what they name on the
// UI thread. What the window shows is copied from the facade at idle; no view
// reads the facade on its own.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/controlHelpers.h"
#include "editor/k1EditorListener.h"
#include "editor/parameterControls.h"
#include "gui/vstgui.h"
#include "plugin/plugin.h"

class uiDisplay;
class uiEnvelope;
class uiSingles;
class uiResizer;
class uiSourceMix;
class uiMulti;
class uiSettings;

class K1Editor : public ParameterControls,
                 public k1lib::IEditor,
                 public VSTGUI::IControlListener,
                 public VSTGUI::IViewMouseListener,
                 public VSTGUI::IKeyboardHook
{
public:
    // Looks of the page, mode and parameter buttons: the index into the
    // harvested small and large button bitmaps.
    enum ButtonLook : uint32_t
    {
        Look_Inactive = 0,
        Look_Active = 1,
        Look_Muted = 2, // small buttons only
    };

    // With frame null the panel is built from the compiled-in description in
    // a new frame of rect, opened in parent with the platform type and
    // configuration; with a frame given, that frame's first child is the
    // panel and the frame stays the caller's. A description that does not
    // parse leaves an editor without frame or views (getRect answers false,
    // the other operations do nothing).
    K1Editor(k1lib::Plugin& plugin, void* parent, VSTGUI::VSTGUIEditorInterface* editorInterface,
             k1EditorListener* listener, const VSTGUI::CRect& rect, VSTGUI::PlatformType platformType,
             VSTGUI::IPlatformFrameConfig* config, VSTGUI::CFrame* frame);
    ~K1Editor() override;
    K1Editor(const K1Editor&) = delete;
    K1Editor& operator=(const K1Editor&) = delete;

    // ---- Facade changes ----------------------------------------------------

    // Any thread: marks what the changes touch as dirty; never touches a
    // view, never waits, never allocates.
    void onChanges(const k1lib::Changes& changes) override;
    // UI thread, on every host idle: clears the dirty flags, then reads what
    // they named afresh from the facade and shows it.
    void idle();

    // ---- Window --------------------------------------------------------------

    // The panel is designed at 2560 x 1440 and shown at a zoom of 0.25 to 1.
    static constexpr double kDesignWidth = 2560.0;
    static constexpr double kDesignHeight = 1440.0;
    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 1.0;

    // The frame's size; false when there is no frame.
    bool getRect(VSTGUI::CRect& rect) const;
    static VSTGUI::CRect getDefaultRect();
    double getZoom() const { return m_zoom; }
    // The panel's description, read once per process on the first call (from
    // any thread) and shared by every window; null when it does not parse.
    static const VSTGUI::UIDescription* getPanelDescription();

    // ---- Zoom and size (UI thread, k1EditorZoom.cpp) --------------------------

    // Shows the panel at the zoom (limited to 0.25..1) with the window at the
    // panel's size, then tells the bridge. Nothing happens when the zoom
    // stays or the host refuses the window size.
    void changeZoom(double zoom);
    // Applies a rectangle after validateRect; false when the window keeps its
    // size (the bridge still hears of a corrected request, so the host learns
    // the size that holds).
    bool setSize(const VSTGUI::CRect& rect);
    // The rectangle rules: sizes within 640 x 360 .. 2560 x 1440 (right and
    // bottom move), 16:9 by shrinking the longer side, whole pixels.
    static void validateSize(VSTGUI::CRect& rect);
    static void validateAspect(VSTGUI::CRect& rect);
    static void roundRect(VSTGUI::CRect& rect);
    static void validateRect(VSTGUI::CRect& rect);
    // The rectangle, and the zoom, a window asked to open at requested gets:
    // its width alone sets the zoom (640 .. 2560 wide), the height follows
    // at 16:9; the origin stays.
    static VSTGUI::CRect openingRect(const VSTGUI::CRect& requested);
    static double openingZoom(const VSTGUI::CRect& requested);

    // ---- Messages and links (UI thread) -------------------------------------

    // Boxes drawn in the window, titled "Darvello". A box that cannot be
    // shown counts as "Cancel".
    void showMessageBoxOk(const std::string& text);
    // True when "OK" was chosen.
    bool showMessageBoxYesNo(const std::string& text);
    // Asks the question and opens the address in the browser on "OK"; true
    // when the browser was started.
    bool openURL(const std::string& url, const std::string& question);
    bool swapSources(size_t a, size_t b);

    // ---- For the widget objects ----------------------------------------------

    k1lib::Plugin& getPlugin() const { return m_plugin; }
    const ControlHelpers::ViewMap& getViewMap() const { return m_views; }
    VSTGUI::CFrame* getFrame() const { return m_frame; }
    uint32_t getActiveSource() const { return m_activeSource; }
    k1EditorListener* getListener() const { return m_listener; }
    // The widget objects (null where the description lacks their views).
    uiMulti* getMultiPage() const { return m_multi.get(); }
    uiSingles* getBrowser() const { return m_singles.get(); }
    uiEnvelope* getEnvelopeView() const { return m_envelope.get(); }

    // ---- Parameter binding ---------------------------------------------------

    // Refills a parameter's option menu (octave submenus for keys, the wave
    // groups for waves, the value range otherwise).
    void initOptionMenu(VSTGUI::COptionMenu* menu, k1lib::EParam param);
    void setSmallButtonActive(VSTGUI::CKickButton* button, ButtonLook look);
    void setLargeButtonActive(VSTGUI::CKickButton* button, ButtonLook look);
    // Shows the page of source s (0-3) and binds the source views to it.
    void setActiveSource(uint32_t source);
    // The one entry of every user edit.
    void valueChanged(VSTGUI::CControl* control) override;
    // An edit: host automation through the bridge, then the K1 sysex echo.
    void setParameterFromUi(k1lib::EParam param, float value);
    // Shows a parameter's new normalized value in every view bound to it.
    void onParamChanged(k1lib::EParam param, float value);
    void updateMultilevelOptionMenuFromParam(uiMultilevelOptionMenu* wrapper, k1lib::EParam param, float value);
    void updateEditSingleName();
    void updateEditMultiName();

    // ---- Pages and keys ------------------------------------------------------

    // True when the edit state changed.
    bool setModeEdit(bool on);
    void setModeSystem(bool on);
    bool setEditModeCommon();
    void onPlayModeChanged();
    bool isEditMode() const;
    // The rule of the keys "1" to "4": false when that source page is shown.
    bool handleKeyDownSetSource(uint32_t source);
    // 1 when the key was used, -1 otherwise; never while a text field has
    // the focus.
    int32_t onKeyDown(const VSTGUI::VstKeyCode& key, VSTGUI::CFrame* frame) override;
    int32_t onKeyUp(const VSTGUI::VstKeyCode& key, VSTGUI::CFrame* frame) override;

    // ---- Mouse listener (the logo and the donation button) ------------------

    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView* view, VSTGUI::CPoint where,
                                              VSTGUI::CButtonState buttons) override;
    VSTGUI::CMouseEventResult viewOnMouseUp(VSTGUI::CView*, VSTGUI::CPoint, VSTGUI::CButtonState) override;
    VSTGUI::CMouseEventResult viewOnMouseMoved(VSTGUI::CView*, VSTGUI::CPoint, VSTGUI::CButtonState) override;
    VSTGUI::CMouseEventResult viewOnMouseCancel(VSTGUI::CView*) override;
    void viewOnMouseEntered(VSTGUI::CView*) override {}
    void viewOnMouseExited(VSTGUI::CView*) override {}
    void viewOnMouseEnabled(VSTGUI::CView*, bool) override {}

private:
    void initializeViews(VSTGUI::CView* root);
    void harvestButtonBitmaps();
    void fitZoom(const VSTGUI::CRect& requested);
    // What idle refreshes: a dirty flag each. Parameters have a flag each.
    enum Refresh : uint32_t
    {
        Refresh_Mode = 1u << 0,         // mode buttons, pages, the browser's list
        Refresh_Config = 1u << 1,       // the settings page
        Refresh_Display = 1u << 2,      // the display's current preset
        Refresh_Browser = 1u << 3,      // the browser's page: names and marks
        Refresh_BrowserFocus = 1u << 4, // the browser's page of the current preset
        Refresh_SingleName = 1u << 5,   // the single name field
        Refresh_MultiName = 1u << 6,    // the multi name field
        Refresh_MultiPage = 1u << 7,    // the multi page's current multi
        Refresh_SingleMenus = 1u << 8,  // the multi page's menus of single names
        Refresh_Everything = (1u << 9) - 1,
    };
    // The refreshes a kind of change asks for.
    static uint32_t refreshesOf(k1lib::ChangeKind kind);
    // Marks everything dirty: what the window shows is read afresh at idle.
    void markEverythingDirty();
    void refreshParameters();
    void refreshPresets(uint32_t refresh);
    bool isShown(const VSTGUI::CView* view) const { return view && view->isVisible(); }
    void setButtonLook(VSTGUI::CKickButton* button, VSTGUI::CBitmap* bitmap);
    void writeName(VSTGUI::CTextEdit* edit, k1lib::EParam first, bool multi);
    void writeStep(k1lib::EParam param, int modulo, bool up);
    void showCoarseViews(uint32_t source, bool keyTracking);
    void detachFromViews();

    // The widget objects (k1EditorWidgets.cpp): the one place where they are
    // created, destroyed and told of changes.
    void createWidgets();
    void destroyWidgets();
    void widgetsShowCurrentPreset();
    void widgetsRefreshBrowser();
    void widgetsRefreshSingleMenus();
    void widgetsFocusBrowserOnCurrent();
    void widgetsOnPlayModeChanged();
    bool widgetsOnKeyDown(const VSTGUI::VstKeyCode& key);
    void widgetsOnParamChanged(k1lib::EParam param, float value);
    void widgetsOnSourceMixChanged();
    void widgetsOnEnvelopeChanged();
    void widgetsOnActiveMultiChanged(size_t index);
    void widgetsOnConfigChanged();

    k1lib::Plugin& m_plugin;
    void* m_parent;
    k1EditorListener* m_listener;
    ControlHelpers::ViewMap m_views;

    VSTGUI::CViewContainer* mode_play = nullptr;
    VSTGUI::CViewContainer* mode_edit = nullptr;
    VSTGUI::CViewContainer* mode_edit_multi = nullptr;
    VSTGUI::CViewContainer* mode_edit_system = nullptr;
    VSTGUI::CViewContainer* edit_source = nullptr;
    VSTGUI::CViewContainer* edit_common = nullptr;

    VSTGUI::CKickButton* btModeSingle = nullptr;
    VSTGUI::CKickButton* btModeMulti = nullptr;
    VSTGUI::CKickButton* btEdit = nullptr;
    VSTGUI::CKickButton* btSystem = nullptr;
    VSTGUI::CKickButton* btWaveDec = nullptr;
    VSTGUI::CKickButton* btWaveInc = nullptr;
    VSTGUI::CKickButton* btCoarseDec = nullptr;
    VSTGUI::CKickButton* btCoarseInc = nullptr;
    VSTGUI::CView* btCoarseDecText = nullptr;
    VSTGUI::CView* btCoarseIncText = nullptr;
    VSTGUI::CTextEdit* editSingleName = nullptr;
    VSTGUI::CTextEdit* editMultiName = nullptr;
    std::array<VSTGUI::CKickButton*, 4> btEditSource{};
    VSTGUI::CKickButton* btEditCommon = nullptr;
    std::array<VSTGUI::CKickButton*, 4> m_muteButtons{};

    // Harvested from the description, one reference each.
    std::array<VSTGUI::CBitmap*, 3> m_smallButtonBitmaps{};
    std::array<VSTGUI::CBitmap*, 3> m_largeButtonBitmaps{};

    uint32_t m_activeSource = 0;

    std::unique_ptr<uiDisplay> m_display;
    std::unique_ptr<uiEnvelope> m_envelope; // the view belongs to edit_source: released, never deleted
    std::unique_ptr<uiSingles> m_singles;
    std::unique_ptr<uiResizer> m_resizer;
    std::unique_ptr<uiSourceMix> m_sourceMix;
    std::unique_ptr<uiMulti> m_multi;
    std::unique_ptr<uiSettings> m_settings;

    VSTGUI::CView* clickableLogo = nullptr;
    VSTGUI::CView* btDonate = nullptr;

    double m_zoom = 0.0;
    VSTGUI::CRect m_rect;
    // While the zoom moves (and for a while after), the shared bitmaps keep
    // their full-size pixels for the next size; once it has held, those
    // nobody needs go (k1EditorZoom.cpp).
    void zoomMoved();
    void releaseBitmapMemoryWhenSettled();
    void endZoomChange();
    bool m_zoomChanging = false;
    uint64_t m_zoomMovedAt = 0;
    bool m_frameSupplied = false;
    VSTGUI::CFrame* m_frame = nullptr;

    // Dirty flags: onChanges sets them (any thread, release), idle exchanges
    // them for zero (acquire) before it reads the facade, so a change that
    // lands while idle reads is either read now or flagged for the next idle,
    // never lost. However much changes between two idle calls, each view is
    // refreshed once.
    std::atomic<uint32_t> m_dirty{0};
    std::array<std::atomic<uint64_t>, k1lib::Changes::kParamWords> m_dirtyParameters{};
    bool m_inIdle = false;
};
