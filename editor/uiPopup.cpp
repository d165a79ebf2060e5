#include "editor/uiPopup.h"

#include "gui/cframe.h"
#include "gui/cviewcontainer.h"
#include "gui/menupopup.h"

using namespace VSTGUI;

uiPopup::uiPopup(CView* view)
{
    CViewContainer* parent = view ? view->getParentView() : nullptr;
    if (!parent)
        return;
    m_menu = new COptionMenu(view->getViewSize(), nullptr, 0, nullptr, nullptr, 0);
    m_menu->setTransparency(true);
    // Only the anchor of the popup: it draws nothing and takes no clicks.
    m_menu->setStyle(CParamDisplay::kNoDrawStyle);
    m_menu->setMouseEnabled(false);
    parent->addView(m_menu);
}

uiPopup::~uiPopup()
{
    removeMenu();
}

CMenuItem* uiPopup::addEntry(const std::string& title, int tag, bool enabled)
{
    if (!m_menu)
        return nullptr;
    CMenuItem* item = m_menu->addEntry(title, -1, 0);
    item->setTag(tag);
    item->setEnabled(enabled);
    return item;
}

CMenuItem* uiPopup::addEntry(const std::string& title, COptionMenu* submenu, bool enabled)
{
    if (!m_menu)
    {
        if (submenu)
            submenu->forget();
        return nullptr;
    }
    CMenuItem* item = m_menu->addEntry(submenu, title);
    item->setEnabled(enabled);
    return item;
}

void uiPopup::addSeparator()
{
    if (m_menu)
        m_menu->addSeparator();
}

void uiPopup::popup(std::function<void(int)>&& callback)
{
    if (!m_menu)
        return;
    m_menu->popup([this, callback = std::move(callback)](COptionMenu* menu) {
        int tag = -1;
        if (CMenuItem* item = menu->getCurrent())
            tag = item->getTag();
        else
        {
            int32_t index = -1;
            if (COptionMenu* last = menu->getLastItemMenu(index))
                if (CMenuItem* chosen = last->getCurrent())
                    tag = chosen->getTag();
        }
        // Used once: the menu leaves before the callback, which may delete
        // this object.
        removeMenu();
        if (tag >= 0)
            callback(tag);
    });
}

void uiPopup::removeMenu()
{
    if (!m_menu)
        return;
    COptionMenu* menu = m_menu;
    m_menu = nullptr;
    // Still open (the editor closes while the user looks at it): dismissed
    // first, so its completion never reaches an object that is gone.
    if (menu->isPopupOpen())
        if (CFrame* frame = menu->getFrame())
            if (MenuPopup* open = MenuPopup::openFor(frame, menu))
                open->cancel();
    if (CViewContainer* parent = menu->getParentView())
        parent->removeView(menu, true);
    else
        menu->forget();
}
