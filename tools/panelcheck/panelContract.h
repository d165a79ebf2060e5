#pragma once

// What the editor needs from the panel's UI description: every name it looks
// up, the kind of view it expects under that name, and the container the view
// must sit in. Written from the editor's side, independently of the
// generator that makes the panel.

#include <string>
#include <vector>

namespace panelcheck
{
enum class Kind
{
    Container, // CViewContainer
    Kick,      // CKickButton
    View,      // any view
    TextEdit,  // CTextEdit
    Label,     // CTextLabel that is not a text edit
    Menu,      // COptionMenu
    Knob,      // a CAnimKnob and a CTextLabel (its value readout) of one name
};

struct Requirement
{
    std::string name;
    Kind kind;
    std::string within; // the named container it must be inside ("" = anywhere in the template)
    bool direct = false; // a child of that container itself, not of a container inside it
};

// Every requirement, in the order of the panel's areas.
const std::vector<Requirement>& requirements();

// Names whose views the editor swaps between the harvested key looks.
const std::vector<std::string>& smallKeyNames();
const std::vector<std::string>& largeKeyNames();

// The pages and edit halves the checker shows one at a time: the page
// container and, for the single edit page, the half shown in it.
struct PageState
{
    std::string file; // file name stem of its picture
    std::string page;
    std::string half;
};
const std::vector<PageState>& pageStates();

const char* kindName(Kind kind);
} // namespace panelcheck
