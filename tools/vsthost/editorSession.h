#pragma once

// The plug-in's editor window opened as a Linux host opens it: the host asks
// for the window size (effEditGetRect), makes an X11 window of that size,
// hands it to effEditOpen, calls effEditIdle about 50 times a second, answers
// the plug-in's canDo "sizeWindow" and audioMasterSizeWindow by resizing its
// window, and finally closes the editor (effEditClose). Meanwhile an audio
// thread renders blocks in real time, so MIDI the window sends reaches the
// host and MIDI and automation the host sends reach the plug-in.
//
// A script of steps acts on the window through the X server (XTest), as a
// user would: positions are window pixels from its top-left corner, where
// the pointer rests until a step moves it (keys go to the window under it). What the
// plug-in reports is printed on standard output, one tab-separated line each:
//   editor open <answer> | editor close | editor rect <width> <height>
//   editor size window <width> <height> | shot <file> <width> <height>
//   memory <resident kB> <heap bytes in use>
// The window needs a display ($DISPLAY).

#include "tools/vsthost/hostedPlugin.h"

#include <string>
#include <vector>

namespace vsthost
{

struct EditorStep
{
    enum Kind
    {
        Click,       // click:X,Y        left button pressed and released
        RightClick,  // rclick:X,Y
        Move,        // move:X,Y         the pointer alone (outside the window too)
        Drag,        // drag:X,Y,DX,DY,STEPS   pressed at X,Y, moved in STEPS steps, released
        Wheel,       // wheel:X,Y,N      N notches, up when positive
        Key,         // key:K            a character, or an X key name (Return, Left, F1 ...)
        Idle,        // idle:N           N idle calls
        Shot,        // shot:FILE        the window as a PNG
        Reopen,      // reopen           effEditClose (when open), then open again as at first
        Close,       // close            effEditClose
        Program,     // program:N        a MIDI program change (channel 1) in the next block
        Param,       // param:I=V        host automation of parameter I in the next block
        Rect,        // rect             prints effEditGetRect
        Memory,      // memory           prints the process's memory use, after dropping the
                     //                  host's record of automation and MIDI so far
    };
    Kind kind = Idle;
    int x = 0, y = 0, dx = 0, dy = 0;
    int count = 1;          // drag steps, wheel notches, idle calls, program number
    int index = 0;          // parameter
    float value = 0.0f;
    std::string text;       // key name, file
    int repeat = 1;         // a step written "STEP*N" runs N times
};

// False for a step it cannot read.
bool parseEditorStep(const std::string& text, EditorStep& step);

struct EditorOptions
{
    std::vector<EditorStep> steps;
    // While the window is open, every eighth audio block brings a MIDI
    // program change and every block host automation of one of
    // busyParameters, as a busy session would.
    bool busyAudio = false;
    std::vector<int> busyParameters;
};

// Opens the editor, runs the steps, closes it. False (one log line) when the
// plug-in has no editor, there is no display, or a step failed.
bool runEditorSession(HostedPlugin& plugin, const EditorOptions& options);

} // namespace vsthost
