#pragma once

// The facade's view of the open editor: what changed, in the vocabulary of
// patch/changes.h, merged over a block or a facade call.

#include "patch/changes.h"

namespace k1lib
{
class IEditor
{
public:
    // Called from any thread, the audio thread too, with the facade's engine
    // lock held, at the end of the block or facade call that changed
    // something. It must only note what changed (never wait, never allocate)
    // and return; the editor reads the state itself later, on its own thread.
    // A parameter's value is in the facade's cache (getParameter).
    virtual void onChanges(const Changes& changes) = 0;
    virtual ~IEditor() = default;
};
} // namespace k1lib
