#pragma once

// A context menu built on the fly over a view: an invisible menu is added
// next to the view in its container, filled, popped up once and then taken
// out again; the chosen item's tag goes to a callback. A dismissed popup
// calls nothing. UI thread only; the owner may destroy the object from
// inside the callback.

#include <functional>
#include <string>

#include "gui/coptionmenu.h"

class uiPopup
{
public:
    explicit uiPopup(VSTGUI::CView* view);
    ~uiPopup();
    uiPopup(const uiPopup&) = delete;
    uiPopup& operator=(const uiPopup&) = delete;

    VSTGUI::CMenuItem* addEntry(const std::string& title, int tag, bool enabled = true);
    // The menu takes over the caller's reference of submenu.
    VSTGUI::CMenuItem* addEntry(const std::string& title, VSTGUI::COptionMenu* submenu, bool enabled = true);
    void addSeparator();
    // Opens the menu; nothing when it is gone already.
    void popup(std::function<void(int)>&& callback);
    // Takes the menu out of its container (which releases it).
    void removeMenu();

    VSTGUI::COptionMenu* getMenu() const { return m_menu; }

private:
    VSTGUI::COptionMenu* m_menu = nullptr;
};
