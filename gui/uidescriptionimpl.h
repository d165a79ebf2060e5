#pragma once

// Inside of UIDescription, shared by the parser and the view creator.

#include <pugixml.hpp>

#include <map>
#include <string>
#include <vector>

#include "gui/uidescription.h"

namespace VSTGUI
{
struct UIDescription::Impl
{
    Xml::IContentProvider* provider = nullptr;
    std::vector<int8_t> source; // the document's bytes, which the parsed nodes point into
    pugi::xml_document document;
    bool parsed = false;
    std::map<std::string, SharedPointer<CBitmap>> bitmaps;
    std::map<std::string, SharedPointer<CFontDesc>> fonts;
    std::map<std::string, CColor> colors;
    std::map<std::string, int32_t> tags;
    std::map<std::string, pugi::xml_node> templates;

    // A colour by name or "#rrggbb[aa]"; false when neither.
    bool resolveColor(const std::string& text, CColor& out) const;
};

// Builds the view of element (and its children); null when it cannot.
CView* createViewFromElement(const UIDescription::Impl& impl, const pugi::xml_node& element,
                             IController* controller, int depth, bool isTemplate);
} // namespace VSTGUI
