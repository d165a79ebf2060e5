#include "gui/coptionmenu.h"

#include <algorithm>
#include <cmath>

#include "gui/cframe.h"
#include "gui/guilog.h"
#include "gui/menupopup.h"

namespace VSTGUI
{
CMenuItem::CMenuItem(const UTF8String& t, COptionMenu* menu) : title(t), flags(kNoFlags)
{
    setSubmenu(menu);
}

CMenuItem::~CMenuItem()
{
    setSubmenu(nullptr);
}

void CMenuItem::setSubmenu(COptionMenu* menu)
{
    if (menu)
        menu->remember();
    if (submenu)
        submenu->forget();
    submenu = menu;
}

COptionMenu::COptionMenu() : COptionMenu(CRect(), nullptr, -1) {}

COptionMenu::COptionMenu(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
                         CBitmap*, int32_t style)
    : CParamDisplay(size, background, style)
{
    setListener(listener);
    setTag(tag);
    vmin = 0;
    vmax = 0;
    value = 0;
}

COptionMenu::COptionMenu(const COptionMenu& o) : CParamDisplay(o), currentIndex(o.currentIndex)
{
    for (const auto& item : o.items)
    {
        auto* copy = new CMenuItem(item->getTitle(), item->getTag(), item->getFlags());
        if (COptionMenu* sub = item->getSubmenu())
        {
            auto* subCopy = new COptionMenu(*sub);
            copy->setSubmenu(subCopy);
            subCopy->forget();
        }
        items.push_back(owned(copy));
    }
}

COptionMenu::~COptionMenu() = default;

void COptionMenu::updateRange()
{
    vmin = 0;
    vmax = items.empty() ? 0.f : float(items.size() - 1);
    if (currentIndex >= int32_t(items.size()))
        currentIndex = -1;
    value = currentIndex >= 0 ? float(currentIndex) : std::clamp(value, vmin, vmax);
    setDirty(true);
    MenuPopup::menuChanged(this);
}

CMenuItem* COptionMenu::addEntry(CMenuItem* item, int32_t index)
{
    if (!item)
        return nullptr;
    if (index < 0 || index >= int32_t(items.size()))
        items.push_back(owned(item));
    else
    {
        items.insert(items.begin() + index, owned(item));
        if (currentIndex >= index)
            ++currentIndex;
    }
    updateRange();
    return item;
}

CMenuItem* COptionMenu::addEntry(const UTF8String& title, int32_t index, int32_t itemFlags)
{
    if (title == "-")
        return addSeparator(index);
    return addEntry(new CMenuItem(title, itemFlags), index);
}

CMenuItem* COptionMenu::addEntry(COptionMenu* submenu, const UTF8String& title)
{
    auto* item = new CMenuItem(title, submenu);
    if (submenu)
        submenu->forget(); // the item's reference replaces the caller's
    return addEntry(item);
}

CMenuItem* COptionMenu::addSeparator(int32_t index)
{
    return addEntry(new CMenuItem("", CMenuItem::kSeparator), index);
}

bool COptionMenu::removeEntry(int32_t index)
{
    if (index < 0 || index >= int32_t(items.size()))
        return false;
    items.erase(items.begin() + index);
    if (currentIndex == index)
        currentIndex = -1;
    else if (currentIndex > index)
        --currentIndex;
    updateRange();
    return true;
}

bool COptionMenu::removeAllEntry()
{
    items.clear();
    currentIndex = -1;
    lastSubmenu = nullptr;
    lastWasSelf = false;
    lastResult = -1;
    updateRange();
    return true;
}

CMenuItem* COptionMenu::getEntry(int32_t index) const
{
    return index >= 0 && index < int32_t(items.size()) ? items[size_t(index)].get() : nullptr;
}

bool COptionMenu::checkEntry(int32_t index, bool state)
{
    CMenuItem* item = getEntry(index);
    if (!item || item->isSeparator())
        return false;
    item->setChecked(state);
    return true;
}

bool COptionMenu::checkEntryAlone(int32_t index)
{
    for (int32_t i = 0; i < getNbEntries(); ++i)
        items[size_t(i)]->setChecked(i == index);
    return true;
}

int32_t COptionMenu::getCurrentIndex(bool countSeparator) const
{
    if (countSeparator || currentIndex < 0)
        return currentIndex;
    int32_t n = 0;
    for (int32_t i = 0; i < currentIndex; ++i)
        if (!items[size_t(i)]->isSeparator())
            ++n;
    return n;
}

bool COptionMenu::setCurrent(int32_t index, bool countSeparator)
{
    if (!countSeparator)
    {
        // index counts only real items: find the raw position.
        int32_t n = -1, raw = -1;
        for (int32_t i = 0; i < getNbEntries(); ++i)
            if (!items[size_t(i)]->isSeparator() && ++n == index)
            {
                raw = i;
                break;
            }
        index = raw;
    }
    if (index < 0 || index >= getNbEntries())
        return false;
    currentIndex = index;
    value = float(index);
    setDirty(true);
    return true;
}

void COptionMenu::setValue(float val)
{
    if (items.empty() || !(val == val))
        return;
    const int32_t index = std::clamp(int32_t(std::lround(val)), 0, getNbEntries() - 1);
    if (index != currentIndex)
        setCurrent(index, true);
}

COptionMenu* COptionMenu::getLastItemMenu(int32_t& idxInMenu) const
{
    COptionMenu* menu = lastWasSelf ? const_cast<COptionMenu*>(this) : lastSubmenu.get();
    idxInMenu = menu ? lastResult : -1;
    return menu;
}

void COptionMenu::registerOptionMenuListener(IOptionMenuListener* listener)
{
    if (listener && std::find(menuListeners.begin(), menuListeners.end(), listener) == menuListeners.end())
        menuListeners.push_back(listener);
}

void COptionMenu::unregisterOptionMenuListener(IOptionMenuListener* listener)
{
    menuListeners.erase(std::remove(menuListeners.begin(), menuListeners.end(), listener), menuListeners.end());
}

std::string COptionMenu::getDisplayText() const
{
    const CMenuItem* item = getCurrent();
    return item && !item->isSeparator() ? item->getTitle().getString() : std::string();
}

void COptionMenu::popup(const PopupCallback& callback)
{
    if (popupOpen)
        return;
    SharedPointer<COptionMenu> guard(this);
    lastSubmenu = nullptr;
    lastWasSelf = false;
    lastResult = -1;
    popupOpen = true;
    for (auto* l : std::vector<IOptionMenuListener*>(menuListeners))
        l->onOptionMenuPrePopup(this);
    CFrame* frame = getFrame();
    if (!frame)
    {
        GUI_LOG("Menu is not in a window");
        popupClosed(nullptr, -1, callback);
        return;
    }
    CPoint topLeft = size.getTopLeft(), bottomRight = size.getBottomRight();
    localToFrame(topLeft);
    localToFrame(bottomRight);
    CRect anchor(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    anchor.offsetInverse(frame->getViewSize().getTopLeft());
    auto* overlay = new MenuPopup(this, frame, anchor, callback);
    frame->addOverlay(overlay);
    overlay->forget();
}

bool COptionMenu::popup()
{
    bool closed = false, chosen = false;
    popup([&](COptionMenu* menu) {
        closed = true;
        int32_t idx = -1;
        chosen = menu->getLastItemMenu(idx) != nullptr;
    });
    if (!closed)
        if (CFrame* frame = getFrame())
            if (!frame->runModalLoop([&] { return closed; }))
                if (auto* overlay = MenuPopup::openFor(frame, this))
                    overlay->cancel();
    return chosen;
}

void COptionMenu::popupClosed(COptionMenu* chosenMenu, int32_t index, const PopupCallback& callback)
{
    SharedPointer<COptionMenu> guard(this);
    popupOpen = false;
    const bool chosen = chosenMenu && chosenMenu->getEntry(index);
    if (chosen)
    {
        lastWasSelf = chosenMenu == this;
        lastSubmenu = lastWasSelf ? nullptr : chosenMenu;
        lastResult = index;
        if (lastWasSelf)
            setCurrent(index, true);
        else
        {
            chosenMenu->setCurrent(index, true);
            currentIndex = -1;
            setDirty(true);
        }
    }
    for (auto* l : std::vector<IOptionMenuListener*>(menuListeners))
        l->onOptionMenuPostPopup(this);
    if (chosen)
        valueChanged();
    if (callback)
        callback(this);
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!buttons.isLeftButton() || buttons.getModifierState())
        return kMouseEventNotHandled;
    popup(PopupCallback());
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
} // namespace VSTGUI
