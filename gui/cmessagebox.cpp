#include "gui/cmessagebox.h"

#include <algorithm>
#include <cmath>

#include "gui/cframe.h"
#include "gui/guilog.h"

namespace VSTGUI
{
namespace
{
constexpr CCoord kPad = 16;
constexpr CCoord kLine = 18;
constexpr CCoord kButtonHeight = 26;
constexpr CCoord kButtonWidth = 80;

std::vector<CMessageBox*>& openBoxes()
{
    static std::vector<CMessageBox*> boxes;
    return boxes;
}

CFontDesc& textFont()
{
    static CFontDesc font("DejaVu Sans", 13, 0);
    return font;
}

CFontDesc& titleFont()
{
    static CFontDesc font("DejaVu Sans", 14, kBoldFace);
    return font;
}
} // namespace

CFontRef CMessageBox::getTextFont()
{
    return &textFont();
}

int32_t CMessageBox::run(CFrame* frame, const std::string& title, const std::string& text,
                         const std::vector<std::string>& buttons, int32_t defaultButton)
{
    if (!frame || !frame->isOpen() || buttons.empty())
    {
        GUI_LOG("Cannot show message box \"" << text << "\"");
        return -1;
    }
    SharedPointer<CFrame> frameGuard(frame);
    auto box = owned(new CMessageBox(frame, title, text, buttons, defaultButton));
    openBoxes().push_back(box.get());
    frame->addOverlay(box);
    const bool answered = frame->runModalLoop([&] { return box->isDone(); });
    if (!answered)
        box->choose(-1);
    auto& boxes = openBoxes();
    boxes.erase(std::remove(boxes.begin(), boxes.end(), box.get()), boxes.end());
    frame->removeOverlay(box);
    return box->getResult();
}

CMessageBox* CMessageBox::getOpen(CFrame* frame)
{
    for (auto it = openBoxes().rbegin(); it != openBoxes().rend(); ++it)
        if ((*it)->frame == frame && !(*it)->done)
            return *it;
    return nullptr;
}

CMessageBox::CMessageBox(CFrame* f, std::string t, std::string x, std::vector<std::string> b, int32_t d)
    : frame(f), title(std::move(t)), text(std::move(x)), buttons(std::move(b)),
      defaultButton(d >= 0 && size_t(d) < buttons.size() ? size_t(d) : buttons.empty() ? 0 : buttons.size() - 1)
{
    // Lay out once with a scratch context so the button rectangles are known
    // before the first drawing.
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    {
        CDrawContext context(cr);
        layout(&context);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
}

void CMessageBox::layout(CDrawContext* context)
{
    const CCoord winW = frame->getWidth(), winH = frame->getHeight();
    const CCoord maxText = std::max<CCoord>(120, std::min<CCoord>(440, winW - 4 * kPad));
    context->setFont(&textFont());
    lines.clear();
    // Greedy word wrap; explicit line breaks are kept.
    size_t start = 0;
    while (start <= text.size())
    {
        size_t nl = text.find('\n', start);
        const std::string para = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        std::string line;
        size_t pos = 0;
        while (pos < para.size())
        {
            size_t sp = para.find(' ', pos);
            const std::string word = para.substr(pos, sp == std::string::npos ? std::string::npos : sp - pos);
            const std::string candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && context->getStringWidth(candidate) > maxText)
            {
                lines.push_back(line);
                line = word;
            }
            else
                line = candidate;
            if (sp == std::string::npos)
                break;
            pos = sp + 1;
        }
        lines.push_back(line);
        if (nl == std::string::npos)
            break;
        start = nl + 1;
    }
    CCoord textW = 0;
    for (const auto& l : lines)
        textW = std::max(textW, context->getStringWidth(l));
    // Whole pixels, and one more for a last glyph whose ink reaches past its
    // advance (a closing parenthesis does).
    textW = std::ceil(textW) + 1;
    const CCoord buttonsW = CCoord(buttons.size()) * (kButtonWidth + 8) - 8;
    const CCoord w = std::min(winW - 8, std::max(std::max(textW, buttonsW), CCoord(200)) + 2 * kPad);
    const CCoord h = std::min(winH - 8, kPad + kLine + 8 + CCoord(lines.size()) * kLine + kPad + kButtonHeight + kPad);
    const CCoord left = std::floor((winW - w) / 2), top = std::floor((winH - h) / 2);
    panel = CRect(left, top, left + w, top + h);
    buttonRects.clear();
    CCoord x = panel.right - kPad - buttonsW;
    for (size_t i = 0; i < buttons.size(); ++i)
    {
        buttonRects.emplace_back(x, panel.bottom - kPad - kButtonHeight, x + kButtonWidth, panel.bottom - kPad);
        x += kButtonWidth + 8;
    }
}

CRect CMessageBox::getTextRect() const
{
    return CRect(panel.left + kPad, panel.top + kPad + kLine + 8, panel.right - kPad,
                 panel.bottom - kPad - kButtonHeight);
}

CRect CMessageBox::getButtonRect(size_t i) const
{
    return i < buttonRects.size() ? buttonRects[i] : CRect();
}

void CMessageBox::choose(int32_t index)
{
    if (done)
        return;
    result = index >= 0 && index < int32_t(buttons.size()) ? index : -1;
    done = true;
    if (frame)
        frame->invalid();
}

void CMessageBox::onMouseDown(const CPoint& where, const CButtonState& b)
{
    if (!b.isLeftButton())
        return;
    for (size_t i = 0; i < buttonRects.size(); ++i)
        if (buttonRects[i].pointInside(where))
            choose(int32_t(i));
}

void CMessageBox::onKeyDown(const VstKeyCode& key)
{
    if (key.virt == VKEY_RETURN || key.virt == VKEY_ENTER)
        choose(int32_t(defaultButton));
    else if (key.virt == VKEY_ESCAPE)
        choose(0);
}

void CMessageBox::draw(CDrawContext* context, const CRect& windowRect)
{
    context->setDrawMode(kAliasing);
    context->setFillColor(CColor(0, 0, 0, 110));
    context->drawRect(windowRect, kDrawFilled);
    context->setFillColor(CColor(246, 246, 246));
    context->drawRect(panel, kDrawFilled);
    context->setFrameColor(CColor(70, 70, 70));
    context->setLineWidth(1);
    context->drawRect(panel, kDrawStroked);
    context->setFont(&titleFont());
    context->setFontColor(CColor(10, 10, 10));
    CRect line(panel.left + kPad, panel.top + kPad, panel.right - kPad, panel.top + kPad + kLine);
    context->drawString(title, line, kLeftText);
    context->setFont(&textFont());
    line.offset(0, kLine + 8);
    for (const auto& l : lines)
    {
        if (line.bottom > panel.bottom - kPad - kButtonHeight)
            break;
        context->drawString(l, line, kLeftText);
        line.offset(0, kLine);
    }
    for (size_t i = 0; i < buttonRects.size(); ++i)
    {
        const bool isDefault = i == defaultButton;
        context->setFillColor(isDefault ? CColor(56, 116, 216) : CColor(225, 225, 225));
        context->drawRect(buttonRects[i], kDrawFilled);
        context->setFrameColor(CColor(90, 90, 90));
        context->drawRect(buttonRects[i], kDrawStroked);
        context->setFontColor(isDefault ? kWhiteCColor : CColor(10, 10, 10));
        context->drawString(buttons[i], buttonRects[i], kCenterText);
    }
}
} // namespace VSTGUI
