#include "gui/ctextedit.h"

#include "gui/cframe.h"

namespace VSTGUI
{
namespace
{
void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80)
        out += char(c);
    else if (c < 0x800)
    {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    else
    {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool isContinuation(char c)
{
    return (uint8_t(c) & 0xC0) == 0x80;
}

size_t previousChar(const std::string& s, size_t pos)
{
    if (pos == 0)
        return 0;
    --pos;
    while (pos > 0 && isContinuation(s[pos]))
        --pos;
    return pos;
}

size_t nextChar(const std::string& s, size_t pos)
{
    if (pos >= s.size())
        return s.size();
    ++pos;
    while (pos < s.size() && isContinuation(s[pos]))
        ++pos;
    return pos;
}
} // namespace

CTextEdit::CTextEdit(const CRect& size, IControlListener* listener, int32_t tag, const UTF8String& text,
                     CBitmap* background, int32_t style)
    : CTextLabel(size, text, background, style)
{
    setListener(listener);
    setTag(tag);
    setWantsFocus(true);
}

void CTextEdit::setText(const UTF8String& text)
{
    CTextLabel::setText(text);
    if (editing && !immediateTextChange)
    {
        // A text set from outside while editing replaces the edit.
        editText = text.getString();
        caret = editText.size();
    }
}

void CTextEdit::draw(CDrawContext* context)
{
    drawBack(context);
    const std::string shown = editing ? editText : getText().getString();
    if (shown.empty() && !editing && !placeholder.empty())
    {
        const CColor normal = getFontColor();
        CColor faded = normal;
        faded.alpha = uint8_t(normal.alpha / 2);
        context->setFontColor(faded);
    }
    drawText(context, shown.empty() && !editing ? placeholder.getString() : shown);
    if (editing)
    {
        // The caret: a one-pixel line after the text before it.
        context->setFont(getFont());
        CRect r = size;
        r.inset(getTextInset().x, getTextInset().y);
        const CCoord full = context->getStringWidth(shown);
        const CCoord before = context->getStringWidth(shown.substr(0, caret));
        CCoord x = r.left + before;
        if (getHoriAlign() == kCenterText)
            x = r.left + (r.getWidth() - full) / 2 + before;
        else if (getHoriAlign() == kRightText)
            x = r.right - full + before;
        const CCoord h = getFont()->getSize() > 0 ? getFont()->getSize() : 12;
        const CCoord top = r.top + (r.getHeight() - h) / 2;
        context->setFrameColor(getFontColor());
        context->setLineWidth(1);
        context->setDrawMode(kAliasing);
        context->drawLine(CPoint(std::floor(x), top), CPoint(std::floor(x), top + h));
    }
    setDirty(false);
}

CMouseEventResult CTextEdit::onMouseDown(CPoint&, const CButtonState& buttons)
{
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    if (CFrame* frame = getFrame())
    {
        if (frame->getFocusView() != this)
            frame->setFocusView(this);
        else if (!editing)
            takeFocus();
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CTextEdit::takeFocus()
{
    if (editing)
        return;
    editing = true;
    editText = getText().getString();
    textAtStart = editText;
    caret = editText.size();
    beginEdit();
    invalid();
}

void CTextEdit::looseFocus()
{
    if (editing)
        endEditing(true, editText != textAtStart || (immediateTextChange && getText().getString() != textAtStart));
}

void CTextEdit::endEditing(bool keep, bool report)
{
    if (!editing)
        return;
    editing = false;
    SharedPointer<CTextEdit> guard(this);
    CTextLabel::setText(keep ? editText : textAtStart);
    if (report || (!keep && immediateTextChange && editText != textAtStart))
        valueChanged();
    endEdit();
    invalid();
}

void CTextEdit::edited()
{
    invalid();
    if (immediateTextChange)
    {
        CTextLabel::setText(editText);
        valueChanged();
    }
}

int32_t CTextEdit::onKeyDown(VstKeyCode& key)
{
    if (!editing)
        return -1;
    SharedPointer<CTextEdit> guard(this);
    switch (key.virt)
    {
    case VKEY_RETURN:
    case VKEY_ENTER:
    {
        endEditing(true, true);
        if (CFrame* frame = getFrame(); frame && frame->getFocusView() == this)
            frame->setFocusView(nullptr);
        return 1;
    }
    case VKEY_ESCAPE:
        endEditing(false, false);
        if (CFrame* frame = getFrame(); frame && frame->getFocusView() == this)
            frame->setFocusView(nullptr);
        return 1;
    case VKEY_BACK:
        if (caret > 0)
        {
            const size_t p = previousChar(editText, caret);
            editText.erase(p, caret - p);
            caret = p;
            edited();
        }
        return 1;
    case VKEY_DELETE:
        if (caret < editText.size())
        {
            editText.erase(caret, nextChar(editText, caret) - caret);
            edited();
        }
        return 1;
    case VKEY_LEFT: caret = previousChar(editText, caret); invalid(); return 1;
    case VKEY_RIGHT: caret = nextChar(editText, caret); invalid(); return 1;
    case VKEY_HOME: caret = 0; invalid(); return 1;
    case VKEY_END: caret = editText.size(); invalid(); return 1;
    case VKEY_SPACE:
        if (key.character == 0)
            key.character = ' ';
        break;
    default:
        if (key.virt != 0)
            return -1;
    }
    if (key.character < 0x20 || key.character == 0x7F || key.character > 0x10FFFF ||
        (key.modifier & (MODIFIER_CONTROL | MODIFIER_COMMAND)))
        return -1;
    std::string utf8;
    appendUtf8(utf8, char32_t(key.character));
    editText.insert(caret, utf8);
    caret += utf8.size();
    edited();
    return 1;
}

int32_t CTextEdit::onKeyUp(VstKeyCode&)
{
    return editing ? 1 : -1;
}
} // namespace VSTGUI
