// The compiled-in panel passes the checker; copies of it with one fault each
// (a name removed, a control moved onto another, a caption too long for its
// label, a caption too faint, a view pushed out of its parent) fail it with
// that fault named.

#include <gtest/gtest.h>

#include <string>

#include "editor/uiXml.h"
#include "tools/panelcheck/panelCheck.h"
#include "tools/panelgen/panelLayout.h"

namespace
{
std::string panel()
{
    return std::string(reinterpret_cast<const char*>(k1editor::getData_uiXml()), k1editor::getDataSize_uiXml());
}

std::vector<std::string> check(const std::string& doc)
{
    return panelcheck::checkPanel(doc.data(), doc.size()).problems;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& l : lines)
        out += l + "\n";
    return out;
}

// The opening tag of the first view of that class and name: [start, end).
size_t tagOf(const std::string& doc, const std::string& cls, const std::string& name, size_t& end)
{
    const std::string key = "custom-view-name=\"" + name + "\"";
    for (size_t at = doc.find(key); at != std::string::npos; at = doc.find(key, at + 1))
    {
        const size_t start = doc.rfind("<view", at);
        if (doc.compare(start, cls.size() + 14, "<view class=\"" + cls + "\"") == 0)
        {
            end = doc.find('>', at);
            return start;
        }
    }
    return std::string::npos;
}

std::string attribute(const std::string& tag, const std::string& key)
{
    const size_t a = tag.find(" " + key + "=\"") + key.size() + 3;
    return tag.substr(a, tag.find('"', a) - a);
}

std::string withAttribute(std::string doc, const std::string& cls, const std::string& name, const std::string& key,
                          const std::string& value)
{
    size_t end = 0;
    const size_t start = tagOf(doc, cls, name, end);
    EXPECT_NE(start, std::string::npos) << name;
    std::string tag = doc.substr(start, end - start);
    const std::string old = " " + key + "=\"" + attribute(tag, key) + "\"";
    tag.replace(tag.find(old), old.size(), " " + key + "=\"" + value + "\"");
    return doc.replace(start, end - start, tag);
}
} // namespace

TEST(Panel, CompiledInPanelPassesTheChecker)
{
    const panelcheck::Result result = panelcheck::checkPanel(k1editor::getData_uiXml(), k1editor::getDataSize_uiXml());
    EXPECT_TRUE(result.problems.empty()) << joined(result.problems);
    EXPECT_GT(result.namedViews, 190u);
}

TEST(Panel, GeneratorWritesTheCompiledInPanelAgain)
{
    const std::string again = panelgen::buildPanelDocument();
    EXPECT_TRUE(again == panel()) << "the generator's output differs from the compiled-in document ("
                                  << again.size() << " against " << panel().size() << " bytes)";
}

TEST(Panel, CheckerNamesEachFaultOfABrokenCopy)
{
    const std::string doc = panel();

    // A name the editor looks up is gone.
    std::string missing = doc;
    const std::string attr = " custom-view-name=\"btWaveInc\"";
    missing.erase(missing.find(attr), attr.size());
    const auto noName = check(missing);
    ASSERT_EQ(noName.size(), 1u) << joined(noName);
    EXPECT_EQ(noName[0], "btWaveInc: missing");

    // A knob moved onto another knob of its page.
    size_t end = 0;
    const size_t attack = tagOf(doc, "CAnimKnob", "Param_SourceS1EnvAttack", end);
    const std::string target = attribute(doc.substr(attack, end - attack), "origin");
    const auto moved = check(withAttribute(doc, "CAnimKnob", "Param_SourceS1Fine", "origin", target));
    bool onAttack = false;
    for (const auto& p : moved)
        onAttack = onAttack || (p.find("edit-source: Param_SourceS1Fine") == 0 &&
                                p.find("overlaps Param_SourceS1EnvAttack") != std::string::npos);
    EXPECT_TRUE(onAttack) << joined(moved);

    // A caption longer than its label.
    std::string longCaption = doc;
    longCaption.replace(longCaption.find("title=\"Fine\""), 12, "title=\"Fine tuning in cents\"");
    const auto tooLong = check(longCaption);
    ASSERT_EQ(tooLong.size(), 1u) << joined(tooLong);
    EXPECT_NE(tooLong[0].find("\"Fine tuning in cents\" needs"), std::string::npos) << tooLong[0];

    // A caption printed in a grey too dark for the panel behind it.
    std::string dark = doc;
    const size_t fine = dark.find("title=\"Fine\"");
    const size_t colour = dark.find("font-color=\"", fine) + 12;
    dark.replace(colour, 9, "#505050ff");
    const auto faint = check(dark);
    ASSERT_EQ(faint.size(), 1u) << joined(faint);
    EXPECT_NE(faint[0].find("\"Fine\""), std::string::npos) << faint[0];
    EXPECT_NE(faint[0].find("contrast"), std::string::npos) << faint[0];

    // A value readout pushed past the right edge of its strip.
    const auto outside = check(withAttribute(doc, "CTextLabel", "multiSectionTune", "origin", "560, 700"));
    bool leaves = false;
    for (const auto& p : outside)
        leaves = leaves || (p.find("multiSectionTune") == 0 && p.find("leaves its parent multiSectionA") != std::string::npos);
    EXPECT_TRUE(leaves) << joined(outside);
}
