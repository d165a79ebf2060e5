#include "gui/menupopup.h"

#include <algorithm>

#include "gui/cframe.h"

namespace VSTGUI
{
namespace
{
std::vector<MenuPopup*>& openPopups()
{
    static std::vector<MenuPopup*> popups;
    return popups;
}

CFontDesc& menuFont()
{
    static CFontDesc font("DejaVu Sans", MenuPopup::kFontSize, 0);
    return font;
}

CFontDesc& menuTitleFont()
{
    static CFontDesc font("DejaVu Sans", MenuPopup::kFontSize, kBoldFace);
    return font;
}

bool selectable(const CMenuItem* item)
{
    return item && item->isEnabled() && !item->isSeparator() && !item->isTitle();
}
} // namespace

MenuPopup::MenuPopup(COptionMenu* m, CFrame* f, const CRect& anchor, const COptionMenu::PopupCallback& cb)
    : menu(m), frame(f), callback(cb), windowWidth(f->getWidth()), windowHeight(f->getHeight()), rootAnchor(anchor)
{
    openPopups().push_back(this);
    openColumn(m, rootAnchor, true);
}

MenuPopup* MenuPopup::openFor(CFrame*, COptionMenu* m)
{
    for (MenuPopup* p : openPopups())
        if (p->menu.get() == m && !p->closed)
            return p;
    return nullptr;
}

void MenuPopup::menuChanged(COptionMenu* m)
{
    for (MenuPopup* p : std::vector<MenuPopup*>(openPopups()))
        if (!p->closed && p->shows(m))
        {
            if (!p->changing)
            {
                p->pathBeforeChange.clear();
                for (const Column& col : p->columns)
                    p->pathBeforeChange.push_back(col.hover);
                p->changing = true;
            }
            p->layOut(p->pathBeforeChange);
        }
}

bool MenuPopup::shows(const COptionMenu* m) const
{
    if (menu.get() == m)
        return true;
    for (const Column& col : columns)
        if (col.menu.get() == m)
            return true;
    return false;
}

void MenuPopup::layOut(const std::vector<int32_t>& path)
{
    if (frame)
        frame->invalid(); // where the popup was
    columns.clear();
    openColumn(menu, rootAnchor, true);
    for (size_t c = 0; c < path.size() && c < columns.size(); ++c)
    {
        if (!selectable(columns[c].menu->getEntry(path[c])))
            break;
        pointAt(c, path[c]);
    }
}

void MenuPopup::openColumn(COptionMenu* m, CRect anchor, bool below)
{
    // Measure the widest title with a scratch context.
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    CCoord textWidth = 60;
    {
        CDrawContext measure(cr);
        for (int32_t i = 0; i < m->getNbEntries(); ++i)
        {
            const CMenuItem* item = m->getEntry(i);
            measure.setFont(item->isTitle() ? &menuTitleFont() : &menuFont());
            textWidth = std::max(textWidth, measure.getStringWidth(item->getTitle()));
        }
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    const CCoord colWidth = std::ceil(textWidth) + 36; // room for the check and the submenu arrow

    // Lay the items out top to bottom, wrapping into further columns.
    Column col{SharedPointer<COptionMenu>(m), {}, CRect(), -1};
    const CCoord maxHeight = std::max<CCoord>(kItemHeight, windowHeight - 4);
    CCoord x = 0, y = 0, height = 0;
    for (int32_t i = 0; i < m->getNbEntries(); ++i)
    {
        const CCoord h = m->getEntry(i)->isSeparator() ? kSeparatorHeight : kItemHeight;
        if (y + h > maxHeight && y > 0)
        {
            x += colWidth;
            y = 0;
        }
        col.itemRects.emplace_back(x, y, x + colWidth, y + h);
        y += h;
        height = std::max(height, y);
    }
    const CCoord width = m->getNbEntries() ? x + colWidth : colWidth;
    height = std::max(height, kItemHeight);
    CCoord left = below ? anchor.left : anchor.right;
    CCoord top = below ? anchor.bottom : anchor.top;
    if (top + height + 2 > windowHeight)
        top = below ? anchor.top - height - 2 : windowHeight - height - 2;
    if (left + width + 2 > windowWidth)
        left = below ? windowWidth - width - 2 : anchor.left - width - 2;
    left = std::max<CCoord>(left, 0);
    top = std::max<CCoord>(top, 0);
    for (auto& r : col.itemRects)
        r.offset(left + 1, top + 1);
    col.rect = CRect(left, top, left + width + 2, top + height + 2);
    columns.push_back(std::move(col));
    if (frame)
        frame->invalid();
}

CRect MenuPopup::getItemRect(size_t column, int32_t index) const
{
    if (column >= columns.size() || index < 0 || index >= int32_t(columns[column].itemRects.size()))
        return CRect();
    return columns[column].itemRects[size_t(index)];
}

bool MenuPopup::hitItem(const CPoint& where, size_t& column, int32_t& index) const
{
    for (size_t c = columns.size(); c-- > 0;)
    {
        if (!columns[c].rect.pointInside(where))
            continue;
        for (size_t i = 0; i < columns[c].itemRects.size(); ++i)
            if (columns[c].itemRects[i].pointInside(where))
            {
                column = c;
                index = int32_t(i);
                return true;
            }
        column = c;
        index = -1;
        return true;
    }
    return false;
}

void MenuPopup::pointAt(size_t column, int32_t index)
{
    if (column >= columns.size())
        return;
    Column& col = columns[column];
    CMenuItem* item = col.menu->getEntry(index);
    const bool opensSubmenu = selectable(item) && item->getSubmenu();
    if (col.hover == index && columns.size() == column + (opensSubmenu ? 2 : 1))
        return;
    col.hover = index;
    columns.resize(column + 1);
    if (opensSubmenu)
        openColumn(item->getSubmenu(), columns[column].itemRects[size_t(index)], false);
    if (frame)
        frame->invalid();
}

void MenuPopup::activate(size_t column, int32_t index)
{
    if (column >= columns.size())
        return;
    CMenuItem* item = columns[column].menu->getEntry(index);
    if (!selectable(item))
        return;
    if (item->getSubmenu())
    {
        pointAt(column, index);
        return;
    }
    close(columns[column].menu.get(), index);
}

bool MenuPopup::menusChanged() const
{
    for (const Column& col : columns)
        if (size_t(col.menu->getNbEntries()) != col.itemRects.size())
            return true;
    return false;
}

void MenuPopup::onMouseDown(const CPoint& where, const CButtonState&)
{
    changing = false;
    if (menusChanged())
    {
        close(nullptr, -1);
        return;
    }
    size_t column = 0;
    int32_t index = -1;
    if (!hitItem(where, column, index))
    {
        close(nullptr, -1);
        return;
    }
    if (index >= 0)
        activate(column, index);
}

void MenuPopup::onMouseMoved(const CPoint& where, const CButtonState&)
{
    changing = false;
    if (menusChanged())
        return;
    size_t column = 0;
    int32_t index = -1;
    if (hitItem(where, column, index) && index >= 0 && selectable(columns[column].menu->getEntry(index)))
        pointAt(column, index);
}

void MenuPopup::onKeyDown(const VstKeyCode& key)
{
    changing = false;
    if (columns.empty() || menusChanged())
    {
        close(nullptr, -1);
        return;
    }
    // Work the deepest column that has a pointed item, else the first.
    size_t c = columns.size() - 1;
    if (columns[c].hover < 0 && c > 0)
        --c;
    Column& col = columns[c];
    const int32_t n = col.menu->getNbEntries();
    auto step = [&](int32_t dir) {
        int32_t i = col.hover;
        for (int32_t k = 0; k < n; ++k)
        {
            i = i < 0 ? (dir > 0 ? 0 : n - 1) : (i + dir + n) % n;
            if (selectable(col.menu->getEntry(i)))
            {
                columns.resize(c + 1);
                col.hover = i;
                if (frame)
                    frame->invalid();
                return;
            }
        }
    };
    switch (key.virt)
    {
    case VKEY_ESCAPE: close(nullptr, -1); break;
    case VKEY_DOWN: step(1); break;
    case VKEY_UP: step(-1); break;
    case VKEY_RIGHT:
        if (col.hover >= 0)
            pointAt(c, col.hover);
        break;
    case VKEY_LEFT:
        if (c > 0)
        {
            columns.resize(c);
            if (frame)
                frame->invalid();
        }
        break;
    case VKEY_RETURN:
    case VKEY_ENTER:
        if (col.hover >= 0)
            activate(c, col.hover);
        break;
    default: break;
    }
}

void MenuPopup::close(COptionMenu* chosen, int32_t index)
{
    if (closed)
        return;
    closed = true;
    SharedPointer<MenuPopup> guard(this);
    auto& popups = openPopups();
    popups.erase(std::remove(popups.begin(), popups.end(), this), popups.end());
    SharedPointer<COptionMenu> chosenGuard(chosen);
    if (frame)
        frame->removeOverlay(this);
    COptionMenu::PopupCallback cb = std::move(callback);
    menu->popupClosed(chosen, index, cb);
}

void MenuPopup::draw(CDrawContext* context, const CRect&)
{
    context->setDrawMode(kAntiAliasing);
    for (const Column& col : columns)
    {
        context->setFillColor(CColor(242, 242, 242));
        context->drawRect(col.rect, kDrawFilled);
        context->setFrameColor(CColor(90, 90, 90));
        context->setLineWidth(1);
        context->drawRect(col.rect, kDrawStroked);
        for (int32_t i = 0; i < int32_t(col.itemRects.size()); ++i)
        {
            const CMenuItem* item = col.menu->getEntry(i);
            const CRect& r = col.itemRects[size_t(i)];
            if (!item)
                continue;
            if (item->isSeparator())
            {
                context->setFrameColor(CColor(180, 180, 180));
                context->drawLine(CPoint(r.left + 4, r.top + 3), CPoint(r.right - 5, r.top + 3));
                continue;
            }
            const bool hot = i == col.hover && selectable(item);
            if (hot)
            {
                context->setFillColor(CColor(56, 116, 216));
                context->drawRect(r, kDrawFilled);
            }
            CColor text = hot ? kWhiteCColor : CColor(20, 20, 20);
            if (!item->isEnabled() || item->isTitle())
                text = CColor(128, 128, 128);
            context->setFont(item->isTitle() ? &menuTitleFont() : &menuFont());
            context->setFontColor(text);
            CRect textRect = r;
            textRect.left += 18;
            textRect.right -= 16;
            context->drawString(item->getTitle(), textRect, kLeftText);
            if (item->isChecked() || (col.menu->getCurrentIndex(true) == i && col.menu.get() == menu.get()))
            {
                context->setFillColor(text);
                context->drawEllipse(CRect(r.left + 6, r.top + 7, r.left + 12, r.top + 13), kDrawFilled);
            }
            if (item->getSubmenu())
            {
                CGraphicsPath arrow;
                arrow.beginSubpath(CPoint(r.right - 12, r.top + 6));
                arrow.addLine(CPoint(r.right - 6, r.top + 10));
                arrow.addLine(CPoint(r.right - 12, r.top + 14));
                arrow.closeSubpath();
                context->setFillColor(text);
                context->drawGraphicsPath(&arrow, CDrawContext::kPathFilled);
            }
        }
    }
}
} // namespace VSTGUI
