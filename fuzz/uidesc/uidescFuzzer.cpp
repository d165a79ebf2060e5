// Fuzzes the UI-description loader: parse, build every template's views
// (at most four) and draw each into a small surface. Bad input must end in
// a refusal and a log line, never a crash or a leak.

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "gui/cdrawcontext.h"
#include "gui/cview.h"
#include "gui/uidescription.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace VSTGUI;
    // The loader logs on stdout; keep the fuzzer's output readable.
    static bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quiet;
    Xml::MemoryContentProvider provider(data, size);
    auto* description = new UIDescription(&provider);
    if (description->parse())
    {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 64);
        cairo_t* cr = cairo_create(surface);
        int built = 0;
        for (const auto& name : description->getTemplateNames())
        {
            if (++built > 4)
                break;
            if (CView* view = description->createView(name.c_str(), nullptr))
            {
                auto* context = new CDrawContext(cr);
                view->draw(context);
                context->forget();
                view->forget();
            }
        }
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    description->forget();
    return 0;
}
