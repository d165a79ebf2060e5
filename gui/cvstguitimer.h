#pragma once

// A repeating timer on the UI thread. The toolkit has no thread of its own:
// due timers fire from the frame's idle (the host's idle calls) and while a
// modal dialog waits, so the resolution is that of the host's idle rate. A
// timer may stop or release itself from inside its own callback.

#include <cstdint>
#include <functional>

#include "gui/vstguibase.h"

namespace VSTGUI
{
class CVSTGUITimer : public CBaseObject
{
public:
    using CallbackFunc = std::function<void(CVSTGUITimer*)>;

    // fireTime in milliseconds (0 counts as 1).
    CVSTGUITimer(const CallbackFunc& callback, uint32_t fireTime = 100, bool doStart = true);
    ~CVSTGUITimer() override;

    bool start();
    bool stop();
    bool setFireTime(uint32_t ms);
    uint32_t getFireTime() const { return fireTime; }
    bool isRunning() const { return running; }

    // Fires every running timer whose time has come, once each.
    static void fireDueTimers();

private:
    CallbackFunc callback;
    uint32_t fireTime;
    uint64_t nextFire = 0;
    bool running = false;
};
} // namespace VSTGUI
