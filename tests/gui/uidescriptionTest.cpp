#include <gtest/gtest.h>

#include "tests/gui/demoDescription.h"
#include "tests/gui/guiTestSupport.h"

using namespace VSTGUI;

namespace
{
// Parses text; the log output lands in log.
bool parses(const std::string& text, std::string& log, CView** view = nullptr)
{
    Xml::MemoryContentProvider provider(text.data(), text.size());
    auto* d = new UIDescription(&provider);
    testing::internal::CaptureStdout();
    const bool ok = d->parse();
    if (ok && view)
        *view = d->createView("T", nullptr);
    log = testing::internal::GetCapturedStdout();
    d->forget();
    return ok;
}

std::string doc(const std::string& inner)
{
    return "<vstgui-ui-description version=\"1\">" + inner + "</vstgui-ui-description>";
}
} // namespace

TEST(UIDescription, DemoBuildsItsViewsWithTheirAttributes)
{
    guitest::DemoWindow w;
    ASSERT_NE(w.frame, nullptr);
    auto* root = w.frame->getView(0);
    EXPECT_EQ(root->getViewSize(), CRect(0, 0, 400, 240));
    ASSERT_NE(root->getBackground(), nullptr);
    auto* knob = w.find<CAnimKnob>("knob2");
    ASSERT_NE(knob, nullptr);
    EXPECT_EQ(knob->getViewSize(), CRect(90, 20, 138, 68));
    EXPECT_EQ(knob->getMin(), 60.f);
    EXPECT_EQ(knob->getMax(), 108.f);
    EXPECT_EQ(knob->getHeightOfOneImage(), 48);
    EXPECT_NEAR(w.find<CAnimKnob>("knob1")->getStartAngle(), 3 * M_PI / 4, 1e-6);
    auto* label = w.find<CTextLabel>("label1");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getText().getString(), "Cutoff");
    EXPECT_EQ(label->getFontColor(), CColor(255, 160, 32, 255));
    EXPECT_TRUE(label->getTransparency());
    auto* menu = w.find<COptionMenu>("menu1");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->getFont()->getSize(), 14);
    EXPECT_EQ(menu->getFont()->getStyle(), kBoldFace);
    EXPECT_EQ(menu->getFont()->getResolvedFamily(), "DejaVu Sans"); // no Arial here: the stand-in
    auto* edit = w.find<CTextEdit>("edit1");
    EXPECT_EQ(edit->getHoriAlign(), kLeftText);
    EXPECT_EQ(edit->getTextInset(), CPoint(4, 0));
    EXPECT_NE(w.find<CKickButton>("kick2"), nullptr);
    EXPECT_EQ(w.find<CKickButton>("kick2")->getParentView(), w.find<CViewContainer>("group"));
}

TEST(UIDescription, ResourcesAreKeptByTheViewsAfterTheDescriptionGoes)
{
    const std::string xml = guitest::makeDemoDescription();
    Xml::MemoryContentProvider provider(xml.data(), xml.size());
    auto* d = new UIDescription(&provider);
    ASSERT_TRUE(d->parse());
    EXPECT_NE(d->getBitmap("knob"), nullptr);
    EXPECT_EQ(d->getBitmap("nope"), nullptr);
    CColor c;
    EXPECT_TRUE(d->getColor("amber", c));
    EXPECT_EQ(d->getTemplateNames(), std::vector<std::string>{"Demo"});
    CView* view = d->createView("Demo", nullptr);
    d->forget();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->getBackground()->getWidth(), 400);
    view->forget();
}

TEST(UIDescription, MalformedDocumentsFailWithALogLine)
{
    std::string log;
    const std::vector<std::string> bad = {
        "",
        "<vstgui-ui-description",
        "<other/>",
        doc("<bitmaps><bitmap name=\"b\"><data encoding=\"base64\">@@@@</data></bitmap></bitmaps>"),
        doc("<bitmaps><bitmap name=\"b\"><data encoding=\"base64\">AAAA</data></bitmap></bitmaps>"),
        doc("<bitmaps><bitmap name=\"b\" path=\"b.png\"/></bitmaps>"),
        doc("<fonts><font name=\"f\" size=\"-3\"/></fonts>"),
        doc("<colors><color name=\"c\" rgba=\"red\"/></colors>"),
        doc("<template class=\"CView\"/>"),
    };
    for (const auto& text : bad)
    {
        EXPECT_FALSE(parses(text, log)) << text;
        EXPECT_NE(log.find("@"), std::string::npos) << text;
    }
}

TEST(UIDescription, BadViewsAndValuesAreLeftOutWithALogLine)
{
    std::string log;
    CView* view = nullptr;
    const std::string text = doc("<template name=\"T\" size=\"100, 50\">"
                                 "<view class=\"CSomething\" origin=\"0, 0\" size=\"10, 10\"/>"
                                 "<view class=\"CTextLabel\" origin=\"1e400, 0\" size=\"10, x\" title=\"ok\""
                                 " font-color=\"#12\" bitmap=\"missing\" custom-view-name=\"l\"/>"
                                 "</template>");
    ASSERT_TRUE(parses(text, log, &view));
    ASSERT_NE(view, nullptr);
    auto* container = view->asViewContainer();
    ASSERT_EQ(container->getNbViews(), 1u);
    auto* label = dynamic_cast<CTextLabel*>(container->getView(0));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getViewSize(), CRect());
    EXPECT_NE(log.find("Unknown view class \"CSomething\""), std::string::npos);
    EXPECT_NE(log.find("Ignoring origin"), std::string::npos);
    EXPECT_NE(log.find("Ignoring font-color"), std::string::npos);
    EXPECT_NE(log.find("Ignoring bitmap"), std::string::npos);
    view->forget();

    // Deep nesting stops at a limit instead of exhausting the stack.
    std::string deep = "<template name=\"T\" size=\"10, 10\">";
    for (int i = 0; i < 200; ++i)
        deep += "<view class=\"CViewContainer\" size=\"10, 10\">";
    for (int i = 0; i < 200; ++i)
        deep += "</view>";
    deep += "</template>";
    ASSERT_TRUE(parses(doc(deep), log, &view));
    ASSERT_NE(view, nullptr);
    EXPECT_NE(log.find("nested deeper"), std::string::npos);
    view->forget();
}
