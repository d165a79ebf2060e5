// The browser's files, clipboard and hardware send, with real bytes: the
// buttons run the (answered) file dialog, exports are read back as K1 dumps,
// imports of .syx and .mid files land where the page says, every failure
// shows its message, Copy and Paste follow the play mode, and a slot of the
// hardware menu puts exactly one dump on the MIDI output.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "editor/uiSingles.h"
#include "gui/menupopup.h"
#include "patch/sysex.h"
#include "tests/editor/browserViews.h"
#include "tests/editor/editorFixture.h"

using namespace VSTGUI;
using editortest::EditorHarness;
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace
{
// A folder of its own per test, removed afterwards.
struct TempDir
{
    TempDir()
    {
        path = fs::temp_directory_path() /
               ("darvello-files-" + std::to_string(getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    std::string file(const std::string& name) const { return (path / name).string(); }
    fs::path path;
};

Bytes load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void save(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The window as a user meets it: dialogs answered with a path, message boxes
// answered with a button, both remembered.
struct Session
{
    EditorHarness h;
    std::string nextFile;
    std::vector<FileSelectorRequest> dialogs;
    std::vector<std::string> messages;
    int answer = 1; // "OK"

    Session()
    {
        h.factory.fileSelectorHandler = [this](const FileSelectorRequest& r, std::vector<std::string>& out) {
            dialogs.push_back(r);
            if (nextFile.empty())
                return false; // cancelled
            out.push_back(nextFile);
            return true;
        };
        h.window->setModalHandler([this](HeadlessFrame&) {
            if (CMessageBox* box = CMessageBox::getOpen(h.frame))
            {
                messages.push_back(box->getText());
                box->choose(answer);
            }
        });
    }
    void press(const std::string& button, const std::string& file)
    {
        nextFile = file;
        messages.clear();
        h.click(h.find<CKickButton>(button));
        h.idle();
    }
    k1lib::SinglePreset single(size_t idx)
    {
        k1lib::SinglePreset s;
        EXPECT_TRUE(h.plugin->getSingle(s, idx));
        return s;
    }
    CTextLabel* label(size_t k) { return editortest::presetLabel(h, k); }
    COptionMenu* rightClick(size_t k) { return editortest::openLabelPopup(h, k); }
    void choose(COptionMenu* menu, const std::vector<int32_t>& path)
    {
        for (size_t column = 0; column < path.size(); ++column)
        {
            MenuPopup* popup = MenuPopup::openFor(h.frame, menu);
            ASSERT_NE(popup, nullptr);
            h.window->click(popup->getItemRect(column, path[column]).getCenter());
        }
    }
};

bool sameSingle(const k1lib::SinglePreset& a, const k1lib::SinglePreset& b)
{
    Bytes x, y;
    return k1lib::Sysex::writeSingle(x, a, 0, k1lib::StorageLocation::I, 0) &&
           k1lib::Sysex::writeSingle(y, b, 0, k1lib::StorageLocation::I, 0) && x == y;
}

// A Standard MIDI File of one track holding each sysex message of bytes
// as an event, between a tempo and the end of the track.
Bytes midiFileOf(const Bytes& sysex)
{
    Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
    for (size_t start = 0; start < sysex.size();)
    {
        size_t end = start;
        while (end < sysex.size() && sysex[end] != 0xF7)
            ++end;
        const size_t length = end - start; // F7 included, F0 left out
        track.insert(track.end(), {0x00, 0xF0});
        Bytes vlq = {uint8_t(length & 0x7F)};
        for (size_t v = length >> 7; v; v >>= 7)
            vlq.insert(vlq.begin(), uint8_t(0x80 | (v & 0x7F)));
        track.insert(track.end(), vlq.begin(), vlq.end());
        track.insert(track.end(), sysex.begin() + long(start) + 1, sysex.begin() + long(end) + 1);
        track.insert(track.end(), {0x60, 0x90, 0x3C, 0x40}); // a note between the dumps
        start = end + 1;
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    const uint32_t n = uint32_t(track.size());
    file.insert(file.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    file.insert(file.end(), track.begin(), track.end());
    return file;
}
} // namespace

TEST(PresetFiles, FileNamesGetTheSysexExtensionUnlessTheyHoldIt)
{
    EXPECT_EQ(fixFileExtension("patch"), "patch.syx");
    EXPECT_EQ(fixFileExtension("patch.syx.bak"), "patch.syx.bak");
    EXPECT_EQ(fixFileExtension("my.syx files/patch"), "my.syx files/patch");
    EXPECT_EQ(fixFileExtension("PATCH.SYX"), "PATCH.SYX.syx");
}

TEST(PresetFiles, ExportsReadBackAsK1DumpsAndImportBackEqual)
{
    TempDir dir;
    Session s;
    // One single: index 40 is the 41st of its bank, in the K1's upper half.
    s.h.plugin->setCurrentPresetIndex(40);
    s.h.idle();
    s.press("btSingleExport", dir.file("forty"));
    ASSERT_EQ(s.dialogs.size(), 1u);
    EXPECT_TRUE(s.dialogs[0].save);
    EXPECT_EQ(s.dialogs[0].title, "Choose a sysex file");
    EXPECT_EQ(s.dialogs[0].defaultExtension, "syx");
    const Bytes one = load(dir.file("forty.syx"));
    ASSERT_EQ(one.size(), 97u);
    EXPECT_EQ((Bytes(one.begin(), one.begin() + 8)), (Bytes{0xF0, 0x40, 0x00, 0x20, 0x00, 0x03, 0x00, 40}));
    EXPECT_EQ(one.back(), 0xF7);

    // ... and comes back equal into another slot.
    s.h.plugin->setCurrentPresetIndex(5);
    s.h.idle();
    s.press("btSingleImport", dir.file("forty.syx"));
    EXPECT_TRUE(s.messages.empty());
    EXPECT_EQ(s.dialogs.back().filters.size(), 2u); // .syx and .mid
    EXPECT_TRUE(sameSingle(s.single(5), s.single(40)));
    EXPECT_TRUE(s.h.plugin->isPresetModified(5));

    // The page at offset 32: one dump of 32 singles for the K1's bank i.
    s.h.click(s.h.find<CKickButton>("btPageInc"));
    s.press("btBankExport", dir.file("page.syx"));
    const Bytes page = load(dir.file("page.syx"));
    ASSERT_EQ(page.size(), 8u + 32u * 88u + 1u);
    EXPECT_EQ((Bytes(page.begin(), page.begin() + 8)), (Bytes{0xF0, 0x40, 0x00, 0x21, 0x00, 0x03, 0x00, 0x20}));
    // ... imported on page 0 it fills 0-31 with what 32-63 hold.
    s.h.click(s.h.find<CKickButton>("btPageDec"));
    s.press("btBankImport", dir.file("page.syx"));
    EXPECT_TRUE(s.messages.empty()); // a page or less is stored without a question
    for (size_t i = 0; i < 32; ++i)
        EXPECT_TRUE(sameSingle(s.single(i), s.single(32 + i))) << i;
    EXPECT_EQ(s.label(0)->getText().getString(), "IA-1 " + s.h.plugin->getPresetName(32) + "*");

    // A cancelled dialog writes nothing.
    const auto files = [&] { return std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()); };
    const auto before = files();
    s.press("btSingleExport", "");
    EXPECT_EQ(files(), before);
    EXPECT_TRUE(s.messages.empty());
    // A file that cannot be created is reported.
    s.press("btSingleExport", dir.file("no such folder/patch.syx"));
    EXPECT_EQ(s.messages, std::vector<std::string>{"Failed to create file"});
}

TEST(PresetFiles, BankFilesFillPagesOnlyWhereThereIsSpaceAndMidiFilesImportLikeSyx)
{
    TempDir dir;
    Session s;
    // 64 singles in two dumps, as a K1 sends its bank: the factory's ROM card
    // A1-01 (64-127).
    std::vector<k1lib::SinglePreset> low, high;
    for (size_t i = 0; i < 32; ++i)
    {
        low.push_back(s.single(64 + i));
        high.push_back(s.single(96 + i));
    }
    Bytes bank, part;
    ASSERT_TRUE(k1lib::Sysex::writeSingles(bank, low, 0, k1lib::StorageLocation::I, 0));
    ASSERT_TRUE(k1lib::Sysex::writeSingles(part, high, 0, k1lib::StorageLocation::i, 0));
    bank.insert(bank.end(), part.begin(), part.end());
    save(dir.file("bank.syx"), bank);
    save(dir.file("bank.mid"), midiFileOf(bank));

    // On the last page there is no room: said, and nothing stored.
    s.h.plugin->setCurrentPresetIndex(967);
    s.h.idle();
    s.press("btBankImport", dir.file("bank.syx"));
    EXPECT_EQ(s.messages, std::vector<std::string>{"Imported file contains more Singles than there is space left. "
                                                   "Please select a lower page to start import."});
    for (size_t i = 904; i < 968; ++i)
        EXPECT_FALSE(s.h.plugin->isPresetModified(i)) << i;

    // On page 0 it asks; Cancel keeps everything, OK fills 0-63.
    s.h.plugin->setCurrentPresetIndex(0);
    s.h.idle();
    s.answer = 0;
    s.press("btBankImport", dir.file("bank.mid"));
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0], "Imported file contains more Singles than will fit on one page and will overwrite "
                             "adjacent pages next to the currently displayed one. Please confirm to overwrite.");
    EXPECT_FALSE(s.h.plugin->isPresetModified(0));
    s.answer = 1;
    s.press("btBankImport", dir.file("bank.mid"));
    for (size_t i = 0; i < 64; ++i)
        EXPECT_TRUE(sameSingle(s.single(i), s.single(64 + i))) << i;
    EXPECT_FALSE(s.h.plugin->isPresetModified(64));

    // The .syx of the same bank lands the same way.
    for (size_t i = 0; i < 64; ++i)
        s.h.plugin->restoreFactoryPreset(i);
    s.press("btBankImport", dir.file("bank.syx"));
    for (size_t i = 0; i < 64; ++i)
        EXPECT_TRUE(sameSingle(s.single(i), s.single(64 + i))) << i;

    // A bank is no single preset.
    s.press("btSingleImport", dir.file("bank.syx"));
    EXPECT_EQ(s.messages, std::vector<std::string>{"File contained more than one single, please import as Bank"});

    // Even a page or less does not run past the end of the list unnoticed:
    // the last page holds 8 singles.
    Bytes page;
    ASSERT_TRUE(k1lib::Sysex::writeSingles(page, high, 0, k1lib::StorageLocation::i, 0));
    save(dir.file("page.syx"), page);
    s.h.plugin->setCurrentPresetIndex(967);
    s.h.idle();
    s.press("btBankImport", dir.file("page.syx"));
    EXPECT_EQ(s.messages, std::vector<std::string>{"Imported file contains more Singles than there is space left. "
                                                   "Please select a lower page to start import."});
    EXPECT_FALSE(s.h.plugin->isPresetModified(960));
}

TEST(PresetFiles, ImportsThatFailSayWhyAndChangeNothing)
{
    TempDir dir;
    Session s;
    save(dir.file("text.syx"), Bytes{'h', 'e', 'l', 'l', 'o'});
    s.press("btSingleImport", dir.file("text.syx"));
    // One failure, one message: what went wrong, not also that nothing came.
    EXPECT_EQ(s.messages, std::vector<std::string>{"Unable to open file."});
    s.press("btBankImport", dir.file("text.syx"));
    EXPECT_EQ(s.messages, std::vector<std::string>{"Failed to read file"});
    s.press("btSingleImport", dir.file("missing.syx"));
    EXPECT_EQ(s.messages, std::vector<std::string>{"Unable to open file."});
    s.press("btBankImport", dir.file("missing.syx"));
    EXPECT_EQ(s.messages, std::vector<std::string>{"Failed to read file"});
    // Sysex, but nothing a K1 reads.
    save(dir.file("other.syx"), Bytes{0xF0, 0x43, 0x10, 0x4C, 0x00, 0xF7});
    s.press("btSingleImport", dir.file("other.syx"));
    EXPECT_EQ(s.messages, std::vector<std::string>{"Failed to import Sysex data, file may be corrupted"});
    s.press("btBankImport", dir.file("other.syx"));
    EXPECT_EQ(s.messages, std::vector<std::string>{"Failed to import Sysex data"});
    for (size_t i = 0; i < 32; ++i)
        EXPECT_FALSE(s.h.plugin->isPresetModified(i)) << i;

    // A single is no multi.
    Bytes one;
    ASSERT_TRUE(k1lib::Sysex::writeSingle(one, s.single(3), 0, k1lib::StorageLocation::I, 3));
    save(dir.file("one.syx"), one);
    s.h.plugin->setPlayMode(k1lib::PlayMode::Multi);
    s.h.idle();
    s.press("btSingleImport", dir.file("one.syx"));
    EXPECT_EQ(s.messages, std::vector<std::string>{"File didn't contain any Multis"});
    s.press("btBankImport", dir.file("one.syx"));
    EXPECT_EQ(s.messages, std::vector<std::string>{"File didn't contain any Multis"});
}

TEST(PresetFiles, CopyPastesOnceInItsOwnModeAndTheHardwareMenuSendsOneDump)
{
    Session s;
    COptionMenu* menu = s.rightClick(3);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->getEntry(0)->getTitle().getString(), "Copy");
    EXPECT_FALSE(menu->getEntry(1)->isEnabled()); // nothing copied yet
    s.choose(menu, {0});
    EXPECT_FALSE(s.h.frame->hasOverlay());

    // Another mode: no pasting a single over a multi.
    s.h.plugin->setPlayMode(k1lib::PlayMode::Multi);
    s.h.idle();
    menu = s.rightClick(5);
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->getEntry(1)->isEnabled());
    s.h.window->typeVirtualKey(VKEY_ESCAPE); // dismissed: nothing happens
    s.h.plugin->setPlayMode(k1lib::PlayMode::Single);
    s.h.idle();
    menu = s.rightClick(5);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->getEntry(1)->isEnabled());
    s.choose(menu, {1});
    s.h.idle();
    EXPECT_TRUE(sameSingle(s.single(5), s.single(3)));
    EXPECT_EQ(s.label(5)->getText().getString(), "IA-6 " + s.h.plugin->getPresetName(3) + "*");
    menu = s.rightClick(6);
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->getEntry(1)->isEnabled()); // pasted once
    s.h.window->typeVirtualKey(VKEY_ESCAPE);

    // A multi goes to the K1's internal or external multis: 8 banks of 8.
    s.h.plugin->setPlayMode(k1lib::PlayMode::Multi);
    s.h.idle();
    menu = s.rightClick(2);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->getEntry(3)->getTitle().getString(), "Send to K1 Hardware");
    COptionMenu* send = menu->getEntry(3)->getSubmenu();
    ASSERT_NE(send, nullptr);
    std::vector<std::string> banks;
    for (int32_t b = 0; b < send->getNbEntries(); ++b)
    {
        banks.push_back(send->getEntry(b)->getTitle().getString());
        const COptionMenu* slots = send->getEntry(b)->getSubmenu();
        ASSERT_EQ(slots->getNbEntries(), 8);
        for (int32_t n = 0; n < 8; ++n)
            EXPECT_EQ(slots->getEntry(n)->getTag(), 1000 + 8 * b + n);
    }
    EXPECT_EQ(banks, (std::vector<std::string>{"IA-", "IB-", "IC-", "ID-", "EA-", "EB-", "EC-", "ED-"}));

    // EB-3: exactly that dump, to external multi 10, goes out.
    s.h.host.midi.clear();
    s.choose(menu, {3, 5, 2});
    ASSERT_EQ(s.h.host.midi.size(), 1u);
    k1lib::MultiPreset multi;
    ASSERT_TRUE(s.h.plugin->getMulti(multi, 2));
    Bytes expected;
    ASSERT_TRUE(k1lib::Sysex::writeMulti(expected, multi, 0, k1lib::StorageLocation::E, 10));
    EXPECT_EQ(s.h.host.midi[0].sysex, expected);

    // The window closes while a popup is open: nothing is chosen, nothing breaks.
    ASSERT_NE(s.rightClick(4), nullptr);
    s.h.host.midi.clear();
    s.h.closeEditor();
    EXPECT_TRUE(s.h.host.midi.empty());
}

// A quick click on Import whose release reaches the window while the message
// box of the failed import is up, as when press and release arrive in the
// same idle: every such click opens the dialog again.
TEST(PresetFiles, EveryQuickClickOnImportAfterAMessageBoxOpensTheDialog)
{
    TempDir dir;
    Session s;
    save(dir.file("text.syx"), Bytes{'h', 'e', 'l', 'l', 'o'});
    s.nextFile = dir.file("text.syx");
    const CPoint import = s.h.centerOf(s.h.find<CKickButton>("btBankImport"));
    bool released = false;
    s.h.window->setModalHandler([&](HeadlessFrame& window) {
        if (!released)
        {
            released = true;
            window.mouseUp(import);
        }
        if (CMessageBox* box = CMessageBox::getOpen(s.h.frame))
            box->choose(1);
    });
    for (int click = 0; click < 6; ++click)
    {
        released = false;
        s.h.window->mouseDown(import);
        if (!released)
            s.h.window->mouseUp(import);
        s.h.idle();
    }
    EXPECT_EQ(s.dialogs.size(), 6u);
}

// A bank whose second block does not decode: the first single is stored, and
// the message says so and where the file stopped, instead of a failure. A
// named pipe is refused at once, whatever writes to it later.
TEST(PresetFiles, DamagedBanksTellWhatWasStoredAndPipesAreRefusedAtOnce)
{
    TempDir dir;
    Session s;
    std::vector<k1lib::SinglePreset> singles;
    for (size_t i = 0; i < 32; ++i)
        singles.push_back(s.single(40 + i));
    Bytes bank;
    ASSERT_TRUE(k1lib::Sysex::writeSingles(bank, singles, 0, k1lib::StorageLocation::I, 0));
    bank[8 + 88 + 87] ^= 0x01; // the second block's checksum
    save(dir.file("damaged.syx"), bank);

    // Imported again, it stores nothing new and is told the same.
    for (int round = 0; round < 2; ++round)
    {
        s.press("btBankImport", dir.file("damaged.syx"));
        EXPECT_EQ(s.messages,
                  std::vector<std::string>{"Imported 1 Single; the file's data could not be read from Single 2 on."})
            << round;
    }
    EXPECT_TRUE(sameSingle(s.single(0), singles[0]));
    EXPECT_FALSE(s.h.plugin->isPresetModified(1));

    s.press("btSingleImport", dir.file("damaged.syx"));
    EXPECT_EQ(s.messages,
              std::vector<std::string>{"Imported 1 Single; the file's data could not be read from Single 2 on."});

    // The first block damaged: nothing stored, and the failure is told.
    bank[8 + 87] ^= 0x01;
    save(dir.file("damaged.syx"), bank);
    s.press("btBankImport", dir.file("damaged.syx"));
    EXPECT_EQ(s.messages, std::vector<std::string>{"Failed to import Sysex data"});

    // A pipe nobody writes to. Should the import wait on it, writers come
    // after a while to let each opening go, and the test fails.
    const std::string pipe = dir.file("pipe.syx");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::mutex mutex;
    std::condition_variable changed;
    bool imported = false;
    bool hadToRelease = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (auto wait = std::chrono::seconds(10); !changed.wait_for(lock, wait, [&] { return imported; });
             wait = std::chrono::seconds(0))
        {
            hadToRelease = true;
            const int writer = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                close(writer);
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            lock.lock();
        }
    });
    s.press("btBankImport", pipe);
    const auto bankMessages = s.messages;
    s.press("btSingleImport", pipe);
    {
        std::lock_guard<std::mutex> lock(mutex);
        imported = true;
    }
    changed.notify_one();
    watchdog.join();
    EXPECT_FALSE(hadToRelease) << "the import waited for a writer";
    EXPECT_EQ(bankMessages, std::vector<std::string>{"Failed to read file"});
    EXPECT_EQ(s.messages, std::vector<std::string>{"Unable to open file."});

    // Multis the same way, imported twice.
    s.h.plugin->setPlayMode(k1lib::PlayMode::Multi);
    s.h.idle();
    std::vector<k1lib::MultiPreset> multis(4);
    for (size_t i = 0; i < multis.size(); ++i)
        ASSERT_TRUE(s.h.plugin->getMulti(multis[i], 10 + i));
    ASSERT_TRUE(k1lib::Sysex::writeMultis(bank, multis, 0, k1lib::StorageLocation::I, 0));
    bank[8 + 3 * 76 + 75] ^= 0x01; // the fourth block's checksum
    save(dir.file("multis.syx"), bank);
    for (int round = 0; round < 2; ++round)
    {
        s.press("btBankImport", dir.file("multis.syx"));
        EXPECT_EQ(s.messages, std::vector<std::string>{"Imported 3 Multis; the file's data could not be read from Multi 4 on."});
    }
}
