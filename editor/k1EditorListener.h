#pragma once

// What the editor tells the editor bridge: a parameter the user edited in the
// window (normalized 0..1; the bridge applies it and reports it to the host
// as automation) and a change of the window's size. Called on the UI thread.

#include "patch/parameterEnum.h"

class k1EditorListener
{
public:
    virtual ~k1EditorListener() = default;
    virtual void changeParameter(k1lib::EParam param, float value) = 0;
    virtual void onSizeChanged() = 0;
};
