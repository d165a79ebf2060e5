#include "tests/editor/widgetViews.h"

#include <sstream>

namespace editortest
{
namespace
{
std::string at(int x, int y, int w, int h)
{
    std::ostringstream a;
    a << " origin=\"" << x << ", " << y << "\" size=\"" << w << ", " << h << "\"";
    return a.str();
}

std::string menu(const std::string& name, int x, int y, int w)
{
    return "<view class=\"COptionMenu\"" + at(x, y, w, 50) + " font=\"label\" custom-view-name=\"" + name + "\"/>\n";
}

std::string knob(const std::string& name, int x, int y)
{
    return "<view class=\"CAnimKnob\"" + at(x, y, 150, 150) +
           " bitmap=\"knob\" height-of-one-image=\"150\" angle-start=\"135\" angle-range=\"270\""
           " custom-view-name=\"" +
           name + "\"/>\n<view class=\"CTextLabel\"" + at(x, y + 150, 150, 40) + " font=\"label\" custom-view-name=\"" +
           name + "\"/>\n";
}
} // namespace

std::string sourceMixViews()
{
    return "<view class=\"CViewContainer\"" + at(1300, 10, 180, 180) +
           " background-color=\"#404040ff\" custom-view-name=\"throttleArea\">\n"
           "<view class=\"CView\"" +
           at(140, 140, 40, 40) + " custom-view-name=\"throttle\"/>\n</view>\n";
}

std::string multiPageViews()
{
    std::ostringstream x;
    x << "<view class=\"CView\"" << at(600, 20, 200, 87) << " custom-view-name=\"arrowLeft\"/>\n";
    x << "<view class=\"CView\"" << at(820, 20, 200, 87) << " custom-view-name=\"arrowRight\"/>\n";
    for (int i = 0; i < 4; ++i)
    {
        x << "<view class=\"CViewContainer\"" << at(20 + 620 * i, 250, 560, 520)
          << " transparent=\"true\" custom-view-name=\"multiSection" << char('A' + i) << "\">\n";
        x << "<view class=\"CTextLabel\"" << at(10, 10, 300, 40) << " font=\"label\" custom-view-name=\"multiSectionName\"/>\n";
        x << menu("multiSectionSingle", 10, 60, 500);
        x << menu("multiSectionZoneLow", 10, 120, 240) << menu("multiSectionZoneHigh", 260, 120, 240);
        x << menu("multiSectionChannel", 10, 180, 240) << menu("multiSectionMode", 260, 180, 240);
        x << menu("multiSectionPoly", 10, 240, 160) << menu("multiSectionVelocity", 180, 240, 160)
          << menu("multiSectionOutput", 350, 240, 160);
        x << knob("multiSectionLevel", 10, 300) << knob("multiSectionTranspose", 180, 300)
          << knob("multiSectionTune", 350, 300);
        x << "</view>\n";
    }
    return x.str();
}

std::string systemPageViews()
{
    std::ostringstream x;
    int y = 120;
    for (const char* name : {"midiReceiveChannel", "midiReceiveProgramChange", "midiReceiveModWheel",
                             "midiReceiveVelocity", "midiReceivePressure", "midiReceiveVolume", "midiReceiveSysEx",
                             "midiReceivePitchBend", "midiReceiveHoldPedal", "midiReceivePan", "midiSendSysex"})
    {
        x << menu(name, 20, y, 320);
        y += 70;
    }
    x << "<view class=\"CViewContainer\"" << at(400, 120, 400, 100) << " transparent=\"true\" custom-view-name=\"audio\">\n"
      << menu("audioOutputMode", 20, 20, 320) << "</view>\n";
    return x.str();
}

std::string resizeHandleView()
{
    return "<view class=\"CView\"" + at(2460, 1340, 100, 100) + " custom-view-name=\"resizeHandle\"/>\n";
}
} // namespace editortest
