#pragma once

// A one-line text field. A left click gives it the keyboard focus and starts
// editing; typed characters go in at the caret (Left, Right, Home, End,
// Backspace and Delete move and erase). Return ends editing and reports the
// text; losing the focus ends it too and reports a changed text; Escape ends
// it and restores the old text. With immediate text change every edit is
// reported at once.

#include "gui/cparamdisplay.h"

namespace VSTGUI
{
class CTextEdit : public CTextLabel
{
public:
    CTextEdit(const CRect& size, IControlListener* listener, int32_t tag, const UTF8String& text = "",
              CBitmap* background = nullptr, int32_t style = 0);
    CView* newCopy() const override { return new CTextEdit(*this); }

    void setImmediateTextChange(bool state) { immediateTextChange = state; }
    bool getImmediateTextChange() const { return immediateTextChange; }
    void setPlaceholderString(const UTF8String& s) { placeholder = s; }
    const UTF8String& getPlaceholderString() const { return placeholder; }
    bool isEditing() const { return editing; }
    // The text being edited (the label text when not editing).
    const std::string& getEditText() const { return editing ? editText : getText().getString(); }

    void setText(const UTF8String& text) override;
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    int32_t onKeyDown(VstKeyCode& key) override;
    int32_t onKeyUp(VstKeyCode& key) override;
    void takeFocus() override;
    void looseFocus() override;

private:
    void endEditing(bool keep, bool report);
    void edited();

    bool immediateTextChange = false;
    bool editing = false;
    std::string editText;
    std::string textAtStart;
    size_t caret = 0; // byte offset into editText
    UTF8String placeholder;
};
} // namespace VSTGUI
