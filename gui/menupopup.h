#pragma once

// The open popup of a COptionMenu, drawn over the window in window pixels:
// one column of items below the menu (wrapped into more columns when the
// window is too short), and one more for each submenu opened by pointing at
// or clicking its item. A click on an enabled plain item chooses it; a click
// outside, Escape or the frame going away dismisses. Up/Down/Left/Right and
// Return work the last open column. A menu changed while it is shown is
// laid out again at once, along the items that were pointed at, so the
// popup shows its new items and the next input works on them.

#include <vector>

#include "gui/cframeoverlay.h"
#include "gui/coptionmenu.h"

namespace VSTGUI
{
class MenuPopup : public CFrameOverlay
{
public:
    static constexpr CCoord kItemHeight = 20;
    static constexpr CCoord kSeparatorHeight = 7;
    static constexpr CCoord kFontSize = 13;

    MenuPopup(COptionMenu* menu, CFrame* frame, const CRect& anchor, const COptionMenu::PopupCallback& callback);

    // The open popup of menu in frame, or null.
    static MenuPopup* openFor(CFrame* frame, COptionMenu* menu);
    // Items of menu were added or removed: every open popup that shows it
    // is laid out again.
    static void menuChanged(COptionMenu* menu);

    void draw(CDrawContext* context, const CRect& windowRect) override;
    void onMouseDown(const CPoint& where, const CButtonState& buttons) override;
    void onMouseMoved(const CPoint& where, const CButtonState& buttons) override;
    void onKeyDown(const VstKeyCode& key) override;
    void cancel() override { close(nullptr, -1); }

    struct Column
    {
        SharedPointer<COptionMenu> menu; // kept alive while shown
        std::vector<CRect> itemRects; // window pixels, one per item
        CRect rect;
        int32_t hover = -1;
    };
    const std::vector<Column>& getColumns() const { return columns; }
    // Where item index of column c is drawn (window pixels); empty when none.
    CRect getItemRect(size_t column, int32_t index) const;

private:
    void openColumn(COptionMenu* menu, CRect anchor, bool below);
    bool shows(const COptionMenu* menu) const;
    // The columns afresh from the root menu, opening the submenus of the
    // items of path (one per column) as far as they still lead.
    void layOut(const std::vector<int32_t>& path);
    bool hitItem(const CPoint& where, size_t& column, int32_t& index) const;
    // Whether a shown menu was refilled meanwhile (its layout no longer fits).
    bool menusChanged() const;
    void pointAt(size_t column, int32_t index);
    void activate(size_t column, int32_t index);
    void close(COptionMenu* chosen, int32_t index);

    SharedPointer<COptionMenu> menu;
    CFrame* frame;
    COptionMenu::PopupCallback callback;
    std::vector<Column> columns;
    CCoord windowWidth;
    CCoord windowHeight;
    CRect rootAnchor;
    // The items pointed at when the menus began to change: a refill passes
    // through states without them, and the popup comes back to them. Input
    // ends it.
    std::vector<int32_t> pathBeforeChange;
    bool changing = false;
    bool closed = false;
};
} // namespace VSTGUI
