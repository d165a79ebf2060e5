#pragma once

// Shared helpers of the toolkit tests: the demo description opened in a
// headless frame, a view lookup by custom-view-name and a listener that
// records what controls report.

#include <string>
#include <utility>
#include <vector>

#include "gui/platform/headless.h"
#include "gui/vstgui.h"

namespace guitest
{
// The custom-view-name of a view ("" when none).
std::string nameOf(VSTGUI::CView* view);
// The first view of that name below root (depth first), or null.
VSTGUI::CView* findView(VSTGUI::CView* root, const std::string& name);

struct Recorder : VSTGUI::IControlListener
{
    std::vector<std::pair<std::string, float>> calls;
    void valueChanged(VSTGUI::CControl* c) override { calls.emplace_back(nameOf(c), c->getValue()); }
};

// The demo template in a headless frame of 400 x 240 pixels times zoom.
class DemoWindow
{
public:
    explicit DemoWindow(double zoom = 1.0);
    ~DemoWindow();
    DemoWindow(const DemoWindow&) = delete;
    DemoWindow& operator=(const DemoWindow&) = delete;

    template <class T> T* find(const std::string& name) { return dynamic_cast<T*>(findView(frame, name)); }
    // The centre of a view in window pixels.
    VSTGUI::CPoint centerOf(const std::string& name);
    // Gives every control of the template this listener.
    void listenToAll(VSTGUI::IControlListener* listener);

    VSTGUI::HeadlessPlatformFactory factory;
    VSTGUI::CFrame* frame = nullptr;
    VSTGUI::HeadlessFrame* window = nullptr;
};
} // namespace guitest
