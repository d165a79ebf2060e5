#include "tests/editor/browserViews.h"

#include <cstdio>
#include <sstream>

#include "gui/menupopup.h"
#include "tests/editor/editorFixture.h"

namespace editortest
{
namespace
{
std::string hex(const VSTGUI::CColor& c)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x%02x", c.red, c.green, c.blue, c.alpha);
    return text;
}

const char* const kButtons[] = {"btBankDec",   "btBankInc",   "btBankReset",   "btBankImport",   "btBankExport",
                                "btPageDec",   "btPageInc",   "btPageReset",   "btSingleDec",    "btSingleInc",
                                "btSingleReset", "btSingleImport", "btSingleExport"};
} // namespace

std::string browserAndDisplayBitmaps(const std::string& png)
{
    // One bitmap object per glyph: the cells are read back by which object
    // they show, so the pictures may all be the same.
    std::ostringstream x;
    for (int i = 0; i < 94; ++i)
        x << "<bitmap name=\"glyph" << i << "\" path=\"glyph" << i << ".png\"><data encoding=\"base64\">" << png
          << "</data></bitmap>\n";
    return x.str();
}

std::string browserViews()
{
    std::ostringstream x;
    x << "<view class=\"COptionMenu\" origin=\"440, 20\" size=\"600, 60\" font=\"label\" font-color=\"#c0c0c0ff\""
         " custom-view-name=\"bankSelect\"/>\n";
    for (int k = 0; k < 32; ++k)
    {
        const char name[] = {'s', 'i', 'n', 'g', 'l', 'e', char('A' + k / 8), char('0' + k % 8), '\0'};
        x << "<view class=\"CTextLabel\" origin=\"" << 20 + (k / 8) * 620 << ", " << 120 + (k % 8) * 70
          << "\" size=\"600, 60\" font=\"label\" font-color=\""
          << hex(k == 0 ? kCurrentLabelColor : kNormalLabelColor) << "\" text-alignment=\"left\""
          << " custom-view-name=\"" << name << "\"/>\n";
    }
    int b = 0;
    for (const char* name : kButtons)
    {
        const int left = 20 + b++ * 180;
        x << "<view class=\"CKickButton\" origin=\"" << left << ", 720\" size=\"100, 87\" bitmap=\"small_inactive\""
          << " height-of-one-image=\"87\" custom-view-name=\"" << name << "\"/>\n";
        x << "<view class=\"CTextLabel\" origin=\"" << left - 30 << ", 810\" size=\"160, 40\" font=\"label\""
          << " font-color=\"" << hex(kCaptionColor) << "\" title=\"" << name << "\" custom-view-name=\"" << name
          << "Text\"/>\n";
    }
    return x.str();
}

std::string displayViews()
{
    std::ostringstream x;
    x << "<view class=\"CView\" origin=\"1200, 20\" size=\"800, 170\" bitmap=\"small_active\""
         " custom-view-name=\"LCDLight\"/>\n";
    // The cells lie over the light and leave its clicks to it.
    x << "<view class=\"CViewContainer\" origin=\"1216, 30\" size=\"768, 150\" transparent=\"true\""
         " mouse-enabled=\"false\" custom-view-name=\"LCDLines\">\n";
    for (int line = 0; line < 2; ++line)
        for (int i = 0; i < 16; ++i)
        {
            char name[8];
            std::snprintf(name, sizeof name, "char%d%02d", line, i);
            x << "<view class=\"CView\" origin=\"" << i * 48 << ", " << line * 75 << "\" size=\"44, 70\""
              << " mouse-enabled=\"false\" custom-view-name=\"" << name << "\"/>\n";
        }
    x << "</view>\n";
    x << "<view class=\"CViewContainer\" origin=\"0, 1400\" size=\"1880, 20\" transparent=\"true\""
         " mouse-enabled=\"false\" custom-view-name=\"fontExport\">\n";
    for (int i = 0; i < 94; ++i)
        x << "<view class=\"CView\" origin=\"" << i * 20 << ", 0\" size=\"20, 20\" bitmap=\"glyph" << i << "\""
          << (i == 93 ? " custom-view-name=\"BLOCK\"" : "") << "/>\n";
    x << "</view>\n";
    return x.str();
}

VSTGUI::CTextLabel* presetLabel(const EditorHarness& h, size_t k)
{
    const char name[] = {'s', 'i', 'n', 'g', 'l', 'e', char('A' + k / 8), char('0' + k % 8), '\0'};
    return h.find<VSTGUI::CTextLabel>(name);
}

VSTGUI::COptionMenu* openLabelPopup(EditorHarness& h, size_t k)
{
    VSTGUI::CTextLabel* label = presetLabel(h, k);
    h.window->click(h.centerOf(label), VSTGUI::kRButton);
    // The popup's menu is the newest view beside the label.
    VSTGUI::CViewContainer* page = label->getParentView();
    auto* menu = dynamic_cast<VSTGUI::COptionMenu*>(page->getView(page->getNbViews() - 1));
    return menu && VSTGUI::MenuPopup::openFor(h.frame, menu) ? menu : nullptr;
}
} // namespace editortest
