#pragma once

// The facade's view of the open editor: one entry for every notification.

#include "plugin/pluginToEditorEvent.h"

namespace k1lib
{
class IEditor
{
public:
    // Called from any thread, sometimes the audio thread with the facade's
    // engine lock held: it must only queue the event (under the editor's own
    // lock at most) and return.
    virtual void onEvent(const PluginToEditorEvent& event) = 0;
    virtual ~IEditor() = default;
};
} // namespace k1lib
