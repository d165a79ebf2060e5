#pragma once

// Makes a menu whose items sit in submenus show the chosen value while it is
// closed: a title entry is kept at the top of the closed menu and taken out
// while the menu is open, so the open menu shows only the real items.
// UI thread only.

#include <string>

#include "gui/coptionmenu.h"

class uiMultilevelOptionMenu : public VSTGUI::IOptionMenuListener
{
public:
    // The menu is not owned (its container owns it) and must outlive this.
    explicit uiMultilevelOptionMenu(VSTGUI::COptionMenu* menu);
    ~uiMultilevelOptionMenu() override;
    uiMultilevelOptionMenu(const uiMultilevelOptionMenu&) = delete;
    uiMultilevelOptionMenu& operator=(const uiMultilevelOptionMenu&) = delete;

    void onOptionMenuPrePopup(VSTGUI::COptionMenu* menu) override;
    void onOptionMenuPostPopup(VSTGUI::COptionMenu* menu) override;

    // The text the closed menu shows; while the menu is open it is only
    // kept, for the closing to show.
    void setTitle(const std::string& text);
    // The owner removed every entry of the menu (the title entry with them).
    void onMenuCleared() { m_titlePresent = false; }

    VSTGUI::COptionMenu* getMenu() const { return m_menu; }
    const std::string& getTitle() const { return m_title; }

private:
    VSTGUI::COptionMenu* m_menu;
    std::string m_title;
    bool m_titlePresent = false;
};
