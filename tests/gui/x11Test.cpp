#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "gui/platform/process.h"
#include "tests/gui/demoDescription.h"
#include "tests/gui/guiTestSupport.h"
#include "tests/support/testDisplay.h"

using namespace VSTGUI;

namespace
{
void sendButton(Display* d, Window w, int x, int y)
{
    for (int type : {ButtonPress, ButtonRelease})
    {
        XEvent e{};
        e.xbutton.type = type;
        e.xbutton.display = d;
        e.xbutton.window = w;
        e.xbutton.root = DefaultRootWindow(d);
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.button = Button1;
        e.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
        e.xbutton.same_screen = True;
        XSendEvent(d, w, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
    }
    XFlush(d);
}

void sendKey(Display* d, Window w, KeySym sym)
{
    for (int type : {KeyPress, KeyRelease})
    {
        XEvent e{};
        e.xkey.type = type;
        e.xkey.display = d;
        e.xkey.window = w;
        e.xkey.root = DefaultRootWindow(d);
        e.xkey.keycode = XKeysymToKeycode(d, sym);
        e.xkey.same_screen = True;
        XSendEvent(d, w, False, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
    }
    XFlush(d);
}

void pump(CFrame* frame, Display* d)
{
    for (int i = 0; i < 20; ++i)
    {
        XSync(d, False);
        frame->idle();
        usleep(5000);
    }
}

CView* demoTemplate()
{
    const std::string xml = guitest::makeDemoDescription();
    Xml::MemoryContentProvider provider(xml.data(), xml.size());
    auto* description = new UIDescription(&provider);
    CView* root = description->parse() ? description->createView("Demo", nullptr) : nullptr;
    description->forget();
    return root;
}

CPoint windowCenter(CFrame* frame, const std::string& name)
{
    CView* v = guitest::findView(frame, name);
    CPoint p = v->getViewSize().getCenter();
    v->localToFrame(p);
    return p;
}
} // namespace

TEST(X11, FrameInARealParentWindowTakesClicksAndKeysAndLooksLikeTheHeadlessOne)
{
    if (!findInPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    k1test::TestDisplay server(640, 480, true);
    ASSERT_FALSE(server.name().empty()) << server.problem();
    setenv("DISPLAY", server.name().c_str(), 1);
    Display* d = XOpenDisplay(server.name().c_str());
    ASSERT_NE(d, nullptr);
    const Window parent = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 400, 240, 0, 0, 0);
    XMapWindow(d, parent);
    XSync(d, False);

    guitest::Recorder rec;
    auto* frame = new CFrame(CRect(0, 0, 400, 240), nullptr);
    frame->addView(demoTemplate());
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(uintptr_t(parent))));
    std::function<void(CView*)> listen = [&](CView* v) {
        if (auto* c = dynamic_cast<CControl*>(v))
            c->setListener(&rec);
        if (auto* container = v->asViewContainer())
            for (uint32_t i = 0; i < container->getNbViews(); ++i)
                listen(container->getView(i));
    };
    listen(frame);
    pump(frame, d);
    Window root = 0, parentOut = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(d, parent, &root, &parentOut, &children, &count);
    ASSERT_EQ(count, 1u);
    const Window child = children[0];
    XFree(children);

    const CPoint kick = windowCenter(frame, "kick1");
    sendButton(d, child, int(kick.x), int(kick.y));
    const CPoint edit = windowCenter(frame, "edit1");
    sendButton(d, child, int(edit.x), int(edit.y));
    sendKey(d, child, XK_a);
    sendKey(d, child, XK_Return);
    pump(frame, d);
    ASSERT_EQ(rec.calls.size(), 3u);
    EXPECT_EQ(rec.calls[0], std::make_pair(std::string("kick1"), 1.f));
    EXPECT_EQ(rec.calls[1], std::make_pair(std::string("kick1"), 0.f));
    EXPECT_EQ(rec.calls[2].first, "edit1");
    EXPECT_EQ(dynamic_cast<CTextEdit*>(guitest::findView(frame, "edit1"))->getText().getString(), "Inita");

    XImage* shot = XGetImage(d, child, 0, 0, 400, 240, AllPlanes, ZPixmap);
    ASSERT_NE(shot, nullptr);
    frame->forget();

    // The same steps headless give the same picture.
    guitest::DemoWindow w;
    w.window->click(w.centerOf("kick1"));
    w.window->click(w.centerOf("edit1"));
    w.window->typeCharacter('a');
    w.window->typeVirtualKey(VKEY_RETURN);
    cairo_surface_t* s = w.window->render();
    const uint8_t* px = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    int differing = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 400; ++x)
        {
            const unsigned long p = XGetPixel(shot, x, y);
            const uint8_t* q = px + y * stride + x * 4;
            if (std::abs(int((p >> 16) & 0xFF) - q[2]) > 1 || std::abs(int((p >> 8) & 0xFF) - q[1]) > 1 ||
                std::abs(int(p & 0xFF) - q[0]) > 1)
                ++differing;
        }
    EXPECT_EQ(differing, 0);
    XDestroyImage(shot);
    XDestroyWindow(d, parent);
    XCloseDisplay(d);
}

TEST(X11, BadParentWindowFailsWithALogLineInsteadOfEndingTheProgram)
{
    if (!findInPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    k1test::TestDisplay server(640, 480, true);
    ASSERT_FALSE(server.name().empty()) << server.problem();
    setenv("DISPLAY", server.name().c_str(), 1);
    auto* frame = new CFrame(CRect(0, 0, 100, 100), nullptr);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(frame->open(reinterpret_cast<void*>(uintptr_t(0x7654321))));
    EXPECT_FALSE(frame->open(nullptr));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("Cannot create a window"), std::string::npos);
    EXPECT_NE(log.find("No parent window"), std::string::npos);
    frame->forget();
}
