// uiSingles: the file side of the browser (export of one preset or of the
// page, import of one preset or of a page or more from .syx and Standard MIDI
// Files) and the right-button popup (Copy, Paste, Send to K1 Hardware).
// Everything works on presets of the play mode through the facade; every
// failure ends in one message box and leaves the presets as they were.

#include <algorithm>
#include <cstdio>
#include <string>

#include "editor/k1Editor.h"
#include "editor/uiSingles.h"
#include "patch/log.h"
#include "patch/midiFile.h"
#include "patch/regularFile.h"
#include "patch/sysex.h"

using namespace VSTGUI;

const CFileExtension g_fileExtensionSYX("Sysex File (*.syx)", "syx", "", 0, "");
const CFileExtension g_fileExtensionMid("Midi File (*.mid)", "mid", "", 0, "");

namespace
{
constexpr uint8_t kAnyChannel = 255;
constexpr uint8_t kFileChannel = 0;
constexpr int kTagCopy = 0;
constexpr int kTagPaste = 1;
constexpr int kTagSendFirst = 1000;
// Far beyond any file of K1 presets (a full K1 dump is about 8 kB): a file
// chosen by mistake is not read into memory whole.
constexpr std::uintmax_t kMaxImportFileSize = 16u << 20;
} // namespace

bool readFile(std::vector<uint8_t>& bytes, const std::string& path)
{
    bytes.clear();
    // One line for a file that is not there or is no regular file (a named
    // pipe would keep the window waiting), not one from each reader.
    std::uintmax_t size = 0;
    k1lib::FileRefusal refusal = k1lib::FileRefusal::None;
    std::FILE* file = k1lib::openRegularFile(path, refusal, &size);
    if (!file)
    {
        if (refusal == k1lib::FileRefusal::NotRegular)
            K1_LOG("Failed to read file " << path << ", it is not a regular file");
        else
            K1_LOG("Failed to open file " << path);
        return false;
    }
    std::fclose(file);
    if (size > kMaxImportFileSize)
    {
        K1_LOG("File " << path << " is too large to hold presets (" << size << " bytes)");
        return false;
    }
    // A Standard MIDI File gives its sysex events; any other file is taken
    // whole when it starts like a sysex message.
    k1lib::MidiToSysex::readFile(bytes, path.c_str());
    if (!bytes.empty())
        return true;
    if (!k1lib::Sysex::readFile(bytes, path))
        return false;
    if (bytes.empty() || bytes[0] != 0xF0)
    {
        K1_LOG("File " << path << " holds no sysex");
        bytes.clear();
        return false;
    }
    return true;
}

std::string fixFileExtension(std::string path)
{
    const std::string extension = "." + g_fileExtensionSYX.getExtension().getString();
    if (path.find(extension) == std::string::npos)
        path += extension;
    return path;
}

bool uiSingles::writeToFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
    {
        K1_LOG("Failed to create file " << path);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed)
        return true;
    // A file cut short (a full disk) would pass for a good one later.
    K1_LOG("Failed to write file " << path);
    std::remove(path.c_str());
    return false;
}

// ---- Dialogs ---------------------------------------------------------------------

void uiSingles::runFileDialog(bool save, bool withMidiFiles, bool withDefaultExtension,
                              std::function<void(const std::string&)> completion)
{
    CNewFileSelector* selector = CNewFileSelector::create(
        m_editor.getFrame(), save ? CNewFileSelector::kSelectSaveFile : CNewFileSelector::kSelectFile);
    if (!selector)
        return;
    selector->addFileExtension(g_fileExtensionSYX);
    if (withMidiFiles)
        selector->addFileExtension(g_fileExtensionMid);
    if (withDefaultExtension)
        selector->setDefaultExtension(g_fileExtensionSYX);
    selector->setTitle("Choose a sysex file");
    selector->run([&completion](CNewFileSelector* s) {
        if (s->getNumSelectedFiles() > 0)
            completion(s->getSelectedFile(0));
    });
    selector->forget();
}

// ---- Export ----------------------------------------------------------------------

void uiSingles::exportPreset(size_t idx, const std::string& file)
{
    const std::string path = fixFileExtension(file);
    k1lib::Plugin& plugin = m_editor.getPlugin();
    std::vector<uint8_t> bytes;
    if (playMode() == k1lib::PlayMode::Multi)
    {
        // Numbered within its bank of 32, as the K1 numbers its multis.
        const k1lib::StorageInfo* storage = plugin.getStorageInfoFromPresetIndex(idx, k1lib::PlayMode::Multi);
        k1lib::MultiPreset multi;
        if (!storage || !plugin.getMulti(multi, idx) ||
            !k1lib::Sysex::writeMulti(bytes, multi, kFileChannel, k1lib::StorageLocation::I,
                                      uint8_t(idx - storage->firstIndex)))
        {
            showErrorMessage("Failed to convert Multi to Sysex data");
            return;
        }
    }
    else
    {
        const auto number = uint8_t(idx % 64);
        const auto location = number < 32 ? k1lib::StorageLocation::I : k1lib::StorageLocation::i;
        k1lib::SinglePreset single;
        if (!plugin.getSingle(single, idx) ||
            !k1lib::Sysex::writeSingle(bytes, single, kFileChannel, location, number))
        {
            showErrorMessage("Failed to convert Single to Sysex data");
            return;
        }
    }
    if (!writeToFile(path, bytes))
        showErrorMessage("Failed to create file");
}

void uiSingles::exportPage(size_t offset, const std::string& file)
{
    const std::string path = fixFileExtension(file);
    k1lib::Plugin& plugin = m_editor.getPlugin();
    const size_t end = std::min(offset + kPageSize, plugin.getPresetCount());
    std::vector<uint8_t> bytes;
    if (playMode() == k1lib::PlayMode::Multi)
    {
        std::vector<k1lib::MultiPreset> multis;
        for (size_t i = offset; i < end; ++i)
            if (k1lib::MultiPreset multi; plugin.getMulti(multi, i))
                multis.push_back(multi);
        if (!k1lib::Sysex::writeMultis(bytes, multis, kFileChannel, k1lib::StorageLocation::I, 0))
        {
            showErrorMessage("Failed to convert Multis to Sysex data");
            return;
        }
    }
    else
    {
        std::vector<k1lib::SinglePreset> singles;
        for (size_t i = offset; i < end; ++i)
            if (k1lib::SinglePreset single; plugin.getSingle(single, i))
                singles.push_back(single);
        // Pages alternate between the K1's lower (I) and upper (i) half.
        const auto location = (offset / kPageSize) % 2 ? k1lib::StorageLocation::i : k1lib::StorageLocation::I;
        if (!k1lib::Sysex::writeSingles(bytes, singles, kFileChannel, location, 0))
        {
            showErrorMessage("Failed to convert Singles to Sysex data");
            return;
        }
    }
    if (!writeToFile(path, bytes))
        showErrorMessage("Failed to create file");
}

// ---- Import ----------------------------------------------------------------------

// What the user hears when a file decoded only in part and its first
// presets were stored: how many, and where the file stopped.
static std::string partialImportMessage(size_t stored, bool multi)
{
    const char* kind = multi ? "Multi" : "Single";
    return "Imported " + std::to_string(stored) + " " + kind + (stored == 1 ? "" : "s") +
           "; the file's data could not be read from " + kind + " " + std::to_string(stored + 1) + " on.";
}

// One failed import is one message: a file that cannot be read or decoded
// says so and ends there, rather than going on to report it empty as well.
void uiSingles::importPreset(size_t idx, const std::string& file)
{
    const bool multi = playMode() == k1lib::PlayMode::Multi;
    std::vector<uint8_t> bytes;
    if (!readFile(bytes, file))
    {
        showErrorMessage("Unable to open file.");
        return;
    }
    k1lib::Sysex::SysexResult result;
    const bool decoded = k1lib::Sysex::readBuffer(result, bytes, kAnyChannel);
    const size_t found = multi ? result.multis.size() : result.singles.size();
    // A file that stopped decoding after its first preset still gives that
    // one; the user is told so once it is stored, not that nothing was.
    if (!decoded && found == 0)
        showErrorMessage("Failed to import Sysex data, file may be corrupted");
    else if (found == 0)
        showErrorMessage(multi ? "File didn't contain any Multis" : "File didn't contain any Singles");
    else if (found > 1)
        showErrorMessage("File contained more than one single, please import as Bank");
    else if (multi ? !m_editor.getPlugin().setMulti(idx, result.multis[0])
                   : !m_editor.getPlugin().setSingle(idx, result.singles[0]))
        showErrorMessage(multi ? "Failed to import Multi" : "Failed to import Single");
    else if (!decoded)
        showErrorMessage(partialImportMessage(found, multi));
}

// Whether the store holds the decoded presets from offset on: a run equal to
// what is stored changes nothing, and the store answers it with false.
static bool storeHolds(const k1lib::Plugin& plugin, size_t offset, const k1lib::Sysex::SysexResult& result, bool multi)
{
    if (!multi)
    {
        std::vector<k1lib::SinglePreset> stored;
        return plugin.getSingles(stored, offset, result.singles.size()) && stored == result.singles;
    }
    for (size_t i = 0; i < result.multis.size(); ++i)
        if (k1lib::MultiPreset stored; !plugin.getMulti(stored, offset + i) || !(stored == result.multis[i]))
            return false;
    return true;
}

void uiSingles::importPage(size_t offset, const std::string& file)
{
    const bool multi = playMode() == k1lib::PlayMode::Multi;
    std::vector<uint8_t> bytes;
    if (!readFile(bytes, file))
    {
        showErrorMessage("Failed to read file");
        return;
    }
    k1lib::Sysex::SysexResult result;
    const bool decoded = k1lib::Sysex::readBuffer(result, bytes, kAnyChannel);
    const size_t found = multi ? result.multis.size() : result.singles.size();
    // Presets decoded before the file stopped decoding are stored all the
    // same; the failure is told only when that leaves nothing to store.
    if (!decoded && found == 0)
    {
        showErrorMessage("Failed to import Sysex data");
        return;
    }
    if (found == 0)
    {
        showErrorMessage(multi ? "File didn't contain any Multis" : "File didn't contain any Singles");
        return;
    }
    // Presets that would run past the end of the list are not stored at all,
    // and the user hears why (also for a run that fits on one page).
    if (offset + found > m_indexMap.size())
    {
        showErrorMessage(multi ? "Imported file contains more Multis than there is space left. Please select a "
                                 "lower page to start import."
                               : "Imported file contains more Singles than there is space left. Please select a "
                                 "lower page to start import.");
        return;
    }
    if (found > kPageSize &&
        !m_editor.showMessageBoxYesNo(
            multi ? "Imported file contains more Multis than will fit on one page and will overwrite adjacent "
                    "pages next to the currently displayed one. Please confirm to overwrite."
                  : "Imported file contains more Singles than will fit on one page and will overwrite adjacent "
                    "pages next to the currently displayed one. Please confirm to overwrite."))
        return;
    k1lib::Plugin& plugin = m_editor.getPlugin();
    const bool stored = multi ? plugin.setMultis(offset, result.multis) : plugin.setSingles(offset, result.singles);
    // The same damaged file imported again stores nothing new: it is told
    // as the first time, what the store holds from it and where it stopped.
    if (!decoded)
        showErrorMessage(stored || storeHolds(plugin, offset, result, multi) ? partialImportMessage(found, multi)
                                                                               : "Failed to import Sysex data");
}

// ---- The right-button popup ------------------------------------------------------

void uiSingles::openPopup(std::function<void(int)>&& callback)
{
    if (!m_popup)
        return;
    m_popup->popup([this, callback = std::move(callback)](int tag) {
        callback(tag);
        m_popup.reset();
    });
}

void uiSingles::onRightClick(CView* label, size_t idx)
{
    m_popup.reset();
    m_popup = std::make_unique<uiPopup>(label);
    const k1lib::PlayMode mode = playMode();
    m_popup->addEntry("Copy", kTagCopy, true);
    m_popup->addEntry("Paste", kTagPaste, !m_copyBuffer.empty() && getCopyPasteBufferPlayMode() == mode);
    m_popup->addSeparator();

    // One submenu per K1 bank the preset can go to, eight slots each.
    const std::string letters = mode == k1lib::PlayMode::Multi ? "IE" : "IiEe";
    auto* send = new COptionMenu();
    for (size_t l = 0; l < letters.size(); ++l)
        for (int bank = 0; bank < 4; ++bank)
        {
            auto* slots = new COptionMenu();
            for (int n = 1; n <= 8; ++n)
                slots->addEntry(std::to_string(n))->setTag(kTagSendFirst + int(32 * l) + 8 * bank + n - 1);
            send->addEntry(slots, std::string{letters[l], char('A' + bank), '-'});
        }
    m_popup->addEntry("Send to K1 Hardware", send, true);
    openPopup([this, idx](int tag) { onPopupChoice(idx, tag); });
}

void uiSingles::onPopupChoice(size_t idx, int tag)
{
    k1lib::Plugin& plugin = m_editor.getPlugin();
    if (tag == kTagCopy)
        plugin.getPreset(m_copyBuffer, idx);
    else if (tag == kTagPaste)
    {
        // Each copy can be pasted once.
        if (plugin.setPreset(m_copyBuffer, idx))
            m_copyBuffer.clear();
    }
    else if (tag >= kTagSendFirst)
        plugin.sendPreset(idx, uint8_t(tag - kTagSendFirst));
}
