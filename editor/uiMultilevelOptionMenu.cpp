#include "editor/uiMultilevelOptionMenu.h"

using namespace VSTGUI;

uiMultilevelOptionMenu::uiMultilevelOptionMenu(COptionMenu* menu) : m_menu(menu)
{
    if (m_menu)
        m_menu->registerOptionMenuListener(this);
}

uiMultilevelOptionMenu::~uiMultilevelOptionMenu()
{
    if (m_menu)
        m_menu->unregisterOptionMenuListener(this);
}

void uiMultilevelOptionMenu::setTitle(const std::string& text)
{
    m_title = text;
    // The open menu shows only the real items; closing puts the title back.
    if (!m_menu || m_menu->isPopupOpen())
        return;
    if (m_titlePresent && m_menu->getEntry(0))
        m_menu->getEntry(0)->setTitle(text);
    else
    {
        m_menu->addEntry(text, 0);
        m_titlePresent = true;
    }
    m_menu->setCurrent(0, true);
}

void uiMultilevelOptionMenu::onOptionMenuPrePopup(COptionMenu*)
{
    if (m_titlePresent && m_menu)
    {
        m_menu->removeEntry(0);
        m_titlePresent = false;
    }
}

void uiMultilevelOptionMenu::onOptionMenuPostPopup(COptionMenu*)
{
    setTitle(m_title);
}
