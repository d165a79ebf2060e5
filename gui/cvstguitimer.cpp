#include "gui/cvstguitimer.h"

#include <algorithm>
#include <vector>

#include "gui/platform/iplatformframe.h"

namespace VSTGUI
{
namespace
{
std::vector<CVSTGUITimer*>& runningTimers()
{
    static std::vector<CVSTGUITimer*> timers;
    return timers;
}
} // namespace

CVSTGUITimer::CVSTGUITimer(const CallbackFunc& cb, uint32_t ms, bool doStart)
    : callback(cb), fireTime(std::max<uint32_t>(ms, 1))
{
    if (doStart)
        start();
}

CVSTGUITimer::~CVSTGUITimer()
{
    stop();
}

bool CVSTGUITimer::start()
{
    nextFire = getPlatformFactory().getTicks() + fireTime;
    if (!running)
    {
        running = true;
        runningTimers().push_back(this);
    }
    return true;
}

bool CVSTGUITimer::stop()
{
    if (!running)
        return false;
    running = false;
    auto& timers = runningTimers();
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    return true;
}

bool CVSTGUITimer::setFireTime(uint32_t ms)
{
    fireTime = std::max<uint32_t>(ms, 1);
    if (running)
        nextFire = getPlatformFactory().getTicks() + fireTime;
    return true;
}

void CVSTGUITimer::fireDueTimers()
{
    const uint64_t now = getPlatformFactory().getTicks();
    // Hold a reference of each timer while any callback runs, so a callback
    // can release its own or another timer without pulling it from under us.
    std::vector<SharedPointer<CVSTGUITimer>> due;
    for (CVSTGUITimer* t : runningTimers())
        if (now >= t->nextFire)
            due.emplace_back(t);
    for (auto& t : due)
    {
        // Skip timers stopped meanwhile, or released by everyone but us.
        if (!t->running || t->getNbReference() < 2 || now < t->nextFire)
            continue;
        t->nextFire = now + t->fireTime;
        CallbackFunc cb = t->callback; // the callback may destroy what it captured
        if (cb)
            cb(t.get());
    }
}
} // namespace VSTGUI
