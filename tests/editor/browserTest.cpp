// The preset browser on the play page, driven through the window as a user
// drives it: the page of labels with its marks and colours, the search and
// what it disables, the step buttons and arrow keys at the ends of the
// list, clicks past its end, and the factory resets with their questions.

#include <gtest/gtest.h>

#include <cstring>

#include "tests/editor/browserViews.h"
#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;

namespace
{
CTextLabel* label(const EditorHarness& h, size_t k)
{
    return editortest::presetLabel(h, k);
}

std::vector<std::string> labelTexts(const EditorHarness& h)
{
    std::vector<std::string> texts;
    for (size_t k = 0; k < 32; ++k)
        texts.push_back(label(h, k)->getText().getString());
    return texts;
}

// The text the browser shows for a preset of the play mode.
std::string shown(const EditorHarness& h, size_t idx)
{
    const k1lib::PlayMode mode = h.plugin->getPlayMode();
    return h.plugin->getPresetNumberAsName(idx, mode) + " " + h.plugin->getPresetName(idx);
}

int32_t arrow(EditorHarness& h, unsigned char virt)
{
    VstKeyCode key;
    key.virt = virt;
    const int32_t result = h.frame->onKeyDown(key);
    h.frame->onKeyUp(key);
    return result;
}

void type(EditorHarness& h, const std::string& text)
{
    for (char c : text)
        h.window->typeCharacter(char32_t(c));
}

bool isEnabled(const EditorHarness& h, const std::string& button)
{
    const bool mouse = h.find<CKickButton>(button)->getMouseEnabled();
    const CColor color = h.find<CTextLabel>(button + "Text")->getFontColor();
    EXPECT_EQ(mouse, color == editortest::kCaptionColor) << button;
    EXPECT_TRUE(color == editortest::kCaptionColor || color == CColor(100, 100, 100, 255)) << button;
    return mouse;
}

const char* const kSearchDisabled[] = {"btBankImport", "btBankExport", "btBankReset", "btPageReset",
                                        "btSingleImport"};

void rename(EditorHarness& h, size_t idx, const char* name)
{
    k1lib::SinglePreset single;
    ASSERT_TRUE(h.plugin->getSingle(single, idx));
    std::memset(single.name, 0, sizeof single.name);
    std::memcpy(single.name, name, std::strlen(name));
    ASSERT_TRUE(h.plugin->setSingle(idx, single));
}

// Answers every message box with the button given and keeps its text.
struct Answers
{
    explicit Answers(EditorHarness& h) : h(h)
    {
        h.window->setModalHandler([this](HeadlessFrame&) {
            if (CMessageBox* box = CMessageBox::getOpen(this->h.frame))
            {
                texts.push_back(box->getText());
                box->choose(answer);
            }
        });
    }
    EditorHarness& h;
    std::vector<std::string> texts;
    int answer = 0; // 0 "Cancel", 1 "OK"
};
} // namespace

TEST(Browser, PageShowsNamesMarksAndTheCurrentPresetAndResetsToFactory)
{
    EditorHarness h;
    ASSERT_EQ(h.plugin->getCurrentPresetIndex(), 0u);
    EXPECT_EQ(label(h, 0)->getText().getString(), shown(h, 0));
    EXPECT_EQ(label(h, 31)->getText().getString(), shown(h, 31));
    EXPECT_EQ(label(h, 0)->getFontColor(), editortest::kCurrentLabelColor);
    EXPECT_EQ(label(h, 1)->getFontColor(), editortest::kNormalLabelColor);
    EXPECT_EQ(h.find<COptionMenu>("bankSelect")->getNbEntries(), 13);
    EXPECT_FALSE(isEnabled(h, "btSingleReset")); // the current preset is as it left the factory

    // An empty name, a name of blanks, a short one: all edited, so all marked.
    rename(h, 1, "");
    rename(h, 2, "     ");
    rename(h, 3, "Pad");
    h.idle();
    EXPECT_EQ(label(h, 1)->getText().getString(), "IA-2 ??????????*");
    EXPECT_EQ(label(h, 3)->getText().getString(), "IA-4 Pad*");
    const std::string blanks = label(h, 2)->getText().getString();
    EXPECT_EQ(blanks, "IA-3*"); // blanks alone: the number alone

    // A click selects; the colours follow and the reset is offered.
    h.click(label(h, 1));
    h.idle();
    EXPECT_EQ(h.plugin->getCurrentPresetIndex(), 1u);
    EXPECT_EQ(label(h, 1)->getFontColor(), editortest::kCurrentLabelColor);
    EXPECT_EQ(label(h, 0)->getFontColor(), editortest::kNormalLabelColor);
    EXPECT_TRUE(isEnabled(h, "btSingleReset"));

    // Resetting one preset asks, names the factory preset, and acts on OK only.
    Answers answers(h);
    h.click(h.find<CKickButton>("btSingleReset"));
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(answers.texts[0], "Do you want to reset the selected preset to factory defaults? Factory Preset is:\n\n"
                                "Kawai K1 Factory - IA-2 " +
                                    h.plugin->getFactoryPresetName(1, k1lib::PlayMode::Single));
    EXPECT_TRUE(h.plugin->isPresetModified(1));
    answers.answer = 1;
    h.click(h.find<CKickButton>("btSingleReset"));
    h.idle();
    EXPECT_FALSE(h.plugin->isPresetModified(1));
    EXPECT_EQ(label(h, 1)->getText().getString(), shown(h, 1));
    EXPECT_FALSE(isEnabled(h, "btSingleReset"));

    // The page: 0-31 only. The bank: all of its 64.
    rename(h, 40, "Elsewhere");
    h.click(h.find<CKickButton>("btPageReset"));
    EXPECT_EQ(answers.texts.back(), "Do you want to reset the current page to factory defaults? This will discard all "
                                    "edits to all 32 Singles on this page.");
    EXPECT_FALSE(h.plugin->isPresetModified(2));
    EXPECT_FALSE(h.plugin->isPresetModified(3));
    EXPECT_TRUE(h.plugin->isPresetModified(40));
    answers.answer = 0;
    h.click(h.find<CKickButton>("btBankReset"));
    EXPECT_EQ(answers.texts.back(), "Do you want to reset the Bank Kawai K1 Factory to factory defaults? This will "
                                    "discard all edits to all Singles for this Bank.");
    EXPECT_TRUE(h.plugin->isPresetModified(40));
    answers.answer = 1;
    h.click(h.find<CKickButton>("btBankReset"));
    EXPECT_FALSE(h.plugin->isPresetModified(40));
    EXPECT_EQ(answers.texts.size(), 5u);
}

TEST(Browser, SearchFiltersTheListAndLeavesOnlyWhatStillMakesSense)
{
    EditorHarness h;
    ASSERT_TRUE(h.plugin->setCurrentPresetIndex(100));
    h.idle();
    EXPECT_EQ(h.find<COptionMenu>("bankSelect")->getValue(), 1.0f); // bank 1 holds 64-127
    EXPECT_EQ(label(h, 0)->getText().getString(), shown(h, 96));
    auto* search = h.find<CTextEdit>("searchSingle");
    auto* bankMenu = h.find<COptionMenu>("bankSelect");

    // Nothing matches: blank labels, no bank name, five buttons off.
    h.click(search);
    type(h, "zqzq");
    EXPECT_EQ(labelTexts(h), std::vector<std::string>(32, ""));
    EXPECT_EQ(bankMenu->getFontColor().alpha, 0);
    for (const char* b : kSearchDisabled)
        EXPECT_FALSE(isEnabled(h, b)) << b;
    for (const char* b : {"btSingleExport", "btSingleInc", "btSingleDec", "btPageInc", "btBankInc"})
        EXPECT_TRUE(isEnabled(h, b)) << b;
    h.window->typeVirtualKey(VKEY_RETURN); // the field lets the keys go
    // Steps and arrows find nothing to go to.
    for (const char* b : {"btSingleInc", "btSingleDec", "btPageInc"})
        h.click(h.find<CKickButton>(b));
    for (unsigned char k : {VKEY_LEFT, VKEY_RIGHT, VKEY_UP, VKEY_DOWN})
        EXPECT_EQ(arrow(h, k), -1);
    h.idle();
    EXPECT_EQ(h.plugin->getCurrentPresetIndex(), 100u);
    EXPECT_EQ(labelTexts(h), std::vector<std::string>(32, ""));

    // The bank buttons still work, and end the search.
    h.click(h.find<CKickButton>("btBankInc"));
    EXPECT_EQ(search->getText().getString(), "");
    EXPECT_EQ(bankMenu->getValue(), 1.0f);
    EXPECT_EQ(bankMenu->getFontColor().alpha, 255);
    EXPECT_EQ(label(h, 0)->getText().getString(), shown(h, 64));
    for (const char* b : kSearchDisabled)
        EXPECT_TRUE(isEnabled(h, b)) << b;

    // A search that matches: the hits in order, page by page.
    std::vector<size_t> hits;
    h.plugin->searchSingles(hits, "pno", 968);
    ASSERT_GT(hits.size(), 3u);
    h.click(search);
    type(h, "pno");
    EXPECT_EQ(label(h, 0)->getText().getString(), shown(h, hits[0]));
    EXPECT_EQ(label(h, 2)->getText().getString(), shown(h, hits[2]));
    for (const std::string& text : labelTexts(h))
    {
        if (!text.empty())
        {
            EXPECT_NE(text.find("Pno"), std::string::npos) << text;
        }
    }
    h.click(h.find<CKickButton>("btPageInc"));
    if (hits.size() > 32)
        EXPECT_EQ(label(h, 0)->getText().getString(), shown(h, hits[32]));
    else
        EXPECT_EQ(label(h, 0)->getText().getString(), shown(h, hits[0]));

    // Clearing the text brings the whole list back at the current preset's page.
    h.click(search);
    for (int i = 0; i < 3; ++i)
        h.window->typeVirtualKey(VKEY_BACK);
    EXPECT_EQ(label(h, 0)->getText().getString(), shown(h, 96));
    EXPECT_EQ(bankMenu->getFontColor().alpha, 255);

    // Choosing a bank in the menu while searching ends the search first.
    type(h, "pno");
    h.window->typeVirtualKey(VKEY_RETURN);
    bankMenu->setValue(2);
    bankMenu->valueChanged();
    EXPECT_EQ(search->getText().getString(), "");
    EXPECT_EQ(label(h, 0)->getText().getString(), shown(h, 128));
    EXPECT_EQ(bankMenu->getCurrent()->getTitle().getString(),
              h.plugin->getStorageInfos(k1lib::PlayMode::Single)[2].longName);
    EXPECT_EQ(h.plugin->getCurrentPresetIndex(), 100u); // browsing selects nothing

    // Another play mode: its banks and its list, the search gone.
    h.click(search);
    type(h, "pno");
    h.plugin->setPlayMode(k1lib::PlayMode::Multi);
    h.idle();
    EXPECT_EQ(search->getText().getString(), "");
    EXPECT_EQ(bankMenu->getFontColor().alpha, 255);
    const size_t multi = h.plugin->getCurrentPresetIndex();
    const auto& multiBanks = h.plugin->getStorageInfos(k1lib::PlayMode::Multi);
    EXPECT_EQ(bankMenu->getNbEntries(), int32_t(multiBanks.size()));
    ASSERT_NE(bankMenu->getCurrent(), nullptr); // the bank's name shows
    EXPECT_EQ(bankMenu->getCurrent()->getTitle().getString(),
              h.plugin->getStorageInfoFromPresetIndex(multi, k1lib::PlayMode::Multi)->longName);
    EXPECT_EQ(label(h, multi % 32)->getText().getString(), shown(h, multi));
    EXPECT_EQ(label(h, multi % 32)->getFontColor(), editortest::kCurrentLabelColor);
}

TEST(Browser, ArrowsStepsAndClicksAtTheEndsOfTheList)
{
    EditorHarness h;
    const size_t count = h.plugin->getPresetCount();
    ASSERT_EQ(count, 968u);
    auto current = [&] { return h.plugin->getCurrentPresetIndex(); };

    // Left in the first column is the host's key; up on the first entry
    // goes to the foot of its column.
    EXPECT_EQ(arrow(h, VKEY_LEFT), -1);
    EXPECT_EQ(arrow(h, VKEY_UP), 1);
    EXPECT_EQ(current(), 7u);
    EXPECT_EQ(arrow(h, VKEY_DOWN), 1);
    EXPECT_EQ(current(), 8u);
    // Right from the last column moves to the next page.
    h.click(label(h, 24));
    EXPECT_EQ(current(), 24u);
    EXPECT_EQ(arrow(h, VKEY_RIGHT), 1);
    EXPECT_EQ(current(), 32u);
    h.idle();
    EXPECT_EQ(label(h, 0)->getText().getString(), shown(h, 32));
    EXPECT_EQ(label(h, 0)->getFontColor(), editortest::kCurrentLabelColor);

    // The last preset: down wraps to the top of its column, right is the host's.
    h.plugin->setCurrentPresetIndex(count - 1);
    h.idle();
    EXPECT_EQ(label(h, 7)->getText().getString(), shown(h, count - 1)); // the last page starts at 960
    EXPECT_EQ(arrow(h, VKEY_RIGHT), -1);
    EXPECT_EQ(arrow(h, VKEY_DOWN), 1);
    EXPECT_EQ(current(), count - 8);
    // A label past the end of the list is no preset; Page+ and Bank+ end there.
    h.click(label(h, 8));
    EXPECT_EQ(current(), count - 8);
    auto* bankMenu = h.find<COptionMenu>("bankSelect");
    EXPECT_EQ(bankMenu->getValue(), 12.0f);
    h.click(h.find<CKickButton>("btPageInc"));
    h.click(h.find<CKickButton>("btBankInc"));
    EXPECT_EQ(bankMenu->getValue(), 12.0f);
    EXPECT_EQ(label(h, 0)->getText().getString(), shown(h, 960));
    h.click(h.find<CKickButton>("btBankDec"));
    EXPECT_EQ(label(h, 0)->getText().getString(), shown(h, 704));
    h.plugin->setCurrentPresetIndex(0);
    h.idle();
    h.click(h.find<CKickButton>("btBankDec"));
    h.click(h.find<CKickButton>("btPageDec"));
    EXPECT_EQ(bankMenu->getValue(), 0.0f);
    EXPECT_EQ(label(h, 0)->getText().getString(), shown(h, 0));

    // A list of five, with the current preset outside it.
    const size_t five[] = {3, 70, 200, 500, 900};
    for (size_t idx : five)
        rename(h, idx, ("Qzx " + std::to_string(idx)).c_str());
    h.plugin->setCurrentPresetIndex(100);
    h.idle();
    h.click(h.find<CTextEdit>("searchSingle"));
    type(h, "QZX");
    h.window->typeVirtualKey(VKEY_RETURN);
    h.click(h.find<CKickButton>("btSingleDec"));
    EXPECT_EQ(current(), 100u);
    h.click(h.find<CKickButton>("btSingleInc")); // from outside: the second entry
    EXPECT_EQ(current(), 70u);
    h.click(label(h, 0));
    EXPECT_EQ(current(), 3u);
    EXPECT_EQ(arrow(h, VKEY_UP), 1); // the first wraps to the last of a short list
    EXPECT_EQ(current(), 900u);
    EXPECT_EQ(arrow(h, VKEY_DOWN), 1); // and back to the top of the column
    EXPECT_EQ(current(), 3u);
    EXPECT_EQ(arrow(h, VKEY_LEFT), -1);
    EXPECT_EQ(arrow(h, VKEY_RIGHT), -1);
    h.click(label(h, 5)); // past the list
    h.click(h.find<CKickButton>("btPageInc"));
    EXPECT_EQ(current(), 3u);
    h.idle();
    EXPECT_EQ(label(h, 4)->getText().getString(), shown(h, 900) + "*");
    EXPECT_EQ(label(h, 5)->getText().getString(), "");
}
