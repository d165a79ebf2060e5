#pragma once

// The texts the editor writes into the panel's labels, menus and fields at
// run time, by the view's name: every value text of a parameter's range, the
// factory presets' numbers and names as the browser and the section menus
// show them, the storage names of the bank menu, the settings' entries.

#include <string>
#include <vector>

namespace panelcheck
{
// A key that names one list of texts and the list itself (null for a name
// whose only text is what the document writes). A name can stand for a
// readout and a menu at once (the coarse pitch): menu says which.
struct ValueTexts
{
    std::string key;
    const std::vector<std::string>* texts = nullptr;
};
ValueTexts valueTexts(const std::string& viewName, bool menu);

// What a view of that name would typically show (a parameter's default, the
// first factory presets, the settings' defaults), for pictures of the pages;
// empty when the document's own text stands. Label k of the browser shows
// preset k.
std::string sampleText(const std::string& viewName, bool menu);
} // namespace panelcheck
