#pragma once

// Mouse listener of a view: asked before the view itself for downs, ups and
// moves (a result other than not-handled/not-implemented ends the event),
// told of enter, exit and mouse-enable changes. Positions are in the view's
// own (parent) coordinates.

#include "gui/cbuttonstate.h"
#include "gui/cpoint.h"

namespace VSTGUI
{
class CView;

class IViewMouseListener
{
public:
    virtual ~IViewMouseListener() = default;
    virtual CMouseEventResult viewOnMouseDown(CView*, CPoint, CButtonState) { return kMouseEventNotImplemented; }
    virtual CMouseEventResult viewOnMouseUp(CView*, CPoint, CButtonState) { return kMouseEventNotImplemented; }
    virtual CMouseEventResult viewOnMouseMoved(CView*, CPoint, CButtonState) { return kMouseEventNotImplemented; }
    virtual CMouseEventResult viewOnMouseCancel(CView*) { return kMouseEventNotImplemented; }
    virtual void viewOnMouseEntered(CView*) {}
    virtual void viewOnMouseExited(CView*) {}
    virtual void viewOnMouseEnabled(CView*, bool) {}
};
using IViewMouseListenerAdapter = IViewMouseListener;
} // namespace VSTGUI
