#pragma once

// A drop-down menu control. Closed, it shows the title of its current item;
// a left click opens it as a popup inside the window (an overlay that takes
// all input until an item is chosen or the popup dismissed). Items may hold
// submenus, be separators ("-"), titles or disabled, and carry tags. The
// value is the current item's index (0 .. count - 1, separators counted).
// After a choice the chosen menu and index are kept (getLastItemMenu), the
// current item is set (in the root menu only for a choice made there) and
// the listener hears valueChanged; a dismissed popup changes nothing.

#include <functional>
#include <vector>

#include "gui/cparamdisplay.h"

namespace VSTGUI
{
class COptionMenu;

class CMenuItem : public CBaseObject
{
public:
    enum Flags
    {
        kNoFlags = 0,
        kDisabled = 1 << 0,
        kTitle = 1 << 1,
        kChecked = 1 << 2,
        kSeparator = 1 << 3,
    };
    CMenuItem(const UTF8String& title, int32_t flags = kNoFlags) : title(title), flags(flags) {}
    CMenuItem(const UTF8String& title, int32_t tag, int32_t flags) : title(title), flags(flags), tag(tag) {}
    // Holds one reference of submenu.
    CMenuItem(const UTF8String& title, COptionMenu* submenu);
    ~CMenuItem() override;

    void setTitle(const UTF8String& t) { title = t; }
    const UTF8String& getTitle() const { return title; }
    void setTag(int32_t t) { tag = t; }
    int32_t getTag() const { return tag; }
    void setEnabled(bool state) { flags = state ? (flags & ~kDisabled) : (flags | kDisabled); }
    bool isEnabled() const { return !(flags & kDisabled); }
    void setChecked(bool state) { flags = state ? (flags | kChecked) : (flags & ~kChecked); }
    bool isChecked() const { return flags & kChecked; }
    void setIsTitle(bool state) { flags = state ? (flags | kTitle) : (flags & ~kTitle); }
    bool isTitle() const { return flags & kTitle; }
    void setIsSeparator(bool state) { flags = state ? (flags | kSeparator) : (flags & ~kSeparator); }
    bool isSeparator() const { return flags & kSeparator; }
    int32_t getFlags() const { return flags; }
    void setSubmenu(COptionMenu* menu);
    COptionMenu* getSubmenu() const { return submenu; }

private:
    UTF8String title;
    int32_t flags;
    int32_t tag = -1;
    COptionMenu* submenu = nullptr;
};
using CMenuItemList = std::vector<SharedPointer<CMenuItem>>;

class IOptionMenuListener
{
public:
    virtual ~IOptionMenuListener() = default;
    virtual void onOptionMenuPrePopup(COptionMenu* /*menu*/) {}
    virtual void onOptionMenuPostPopup(COptionMenu* /*menu*/) {}
};

class COptionMenu : public CParamDisplay
{
public:
    using PopupCallback = std::function<void(COptionMenu* menu)>;

    COptionMenu();
    COptionMenu(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background = nullptr,
                CBitmap* bgWhenClick = nullptr, int32_t style = 0);
    COptionMenu(const COptionMenu& other);
    ~COptionMenu() override;
    CView* newCopy() const override { return new COptionMenu(*this); }

    // Appends (index -1) or inserts an item; takes over the caller's reference.
    CMenuItem* addEntry(CMenuItem* item, int32_t index = -1);
    // A plain item ("-" makes a separator).
    CMenuItem* addEntry(const UTF8String& title, int32_t index = -1, int32_t itemFlags = CMenuItem::kNoFlags);
    // An item that opens submenu; the menu takes over the caller's reference
    // of submenu (do not forget it afterwards).
    CMenuItem* addEntry(COptionMenu* submenu, const UTF8String& title);
    CMenuItem* addSeparator(int32_t index = -1);
    bool removeEntry(int32_t index);
    bool removeAllEntry();
    int32_t getNbEntries() const { return int32_t(items.size()); }
    CMenuItem* getEntry(int32_t index) const;
    const CMenuItemList* getItems() const { return &items; }
    bool checkEntry(int32_t index, bool state);
    bool checkEntryAlone(int32_t index);

    // The current item (null when none) and its index.
    CMenuItem* getCurrent() const { return getEntry(currentIndex); }
    int32_t getCurrentIndex(bool countSeparator = false) const;
    bool setCurrent(int32_t index, bool countSeparator = true);
    void setValue(float val) override;
    // The menu and the index of the item chosen in the last popup; null and
    // -1 when nothing was chosen.
    COptionMenu* getLastItemMenu(int32_t& idxInMenu) const;

    void registerOptionMenuListener(IOptionMenuListener* listener);
    void unregisterOptionMenuListener(IOptionMenuListener* listener);

    // Opens the popup below the menu; callback runs once when it closes
    // (chosen or dismissed). A menu outside any frame closes at once.
    void popup(const PopupCallback& callback);
    // Opens the popup and waits for it; true when an item was chosen.
    bool popup();
    bool isPopupOpen() const { return popupOpen; }

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

    // Called by the popup when it closes: chosenMenu null for a dismissal.
    void popupClosed(COptionMenu* chosenMenu, int32_t index, const PopupCallback& callback);

protected:
    std::string getDisplayText() const override;

private:
    void updateRange();

    CMenuItemList items;
    int32_t currentIndex = -1;
    SharedPointer<COptionMenu> lastSubmenu; // a submenu; never this menu itself
    bool lastWasSelf = false;
    int32_t lastResult = -1;
    bool popupOpen = false;
    std::vector<IOptionMenuListener*> menuListeners;
};
} // namespace VSTGUI
