#pragma once

// File dialogs. CFileExtension names one file type (a description and an
// extension without the dot); CNewFileSelector asks the platform for an open,
// save or folder dialog and keeps the chosen paths. Dialogs here are modal:
// run() returns after the user answered.

#include <functional>
#include <string>
#include <vector>

#include "gui/vstguibase.h"

namespace VSTGUI
{
class CFrame;

class CFileExtension
{
public:
    CFileExtension(const UTF8String& description, const UTF8String& extension, const UTF8String& mimeType = "",
                   int32_t macType = 0, const UTF8String& uti = "")
        : description(description), extension(extension), mimeType(mimeType), macType(macType), uti(uti)
    {
    }
    const UTF8String& getDescription() const { return description; }
    const UTF8String& getExtension() const { return extension; }
    const UTF8String& getMimeType() const { return mimeType; }
    int32_t getMacType() const { return macType; }
    const UTF8String& getUTI() const { return uti; }
    bool operator==(const CFileExtension& o) const { return extension == o.extension; }

private:
    UTF8String description, extension, mimeType;
    int32_t macType;
    UTF8String uti;
};

class CNewFileSelector : public CBaseObject
{
public:
    enum Style
    {
        kSelectFile,
        kSelectSaveFile,
        kSelectDirectory,
    };
    using CallbackFunc = std::function<void(CNewFileSelector*)>;

    // Null (with a log line) when the platform has no file dialog.
    static CNewFileSelector* create(CFrame* parent = nullptr, Style style = kSelectFile);

    void setTitle(const UTF8String& title) { request.title = title.getString(); }
    void setInitialDirectory(const UTF8String& path) { request.initialDirectory = path.getString(); }
    void setDefaultSaveName(const UTF8String& name) { request.defaultSaveName = name.getString(); }
    void setDefaultExtension(const CFileExtension& ext);
    void setAllowMultiFileSelection(bool state) { request.multiple = state; }
    void addFileExtension(const CFileExtension& ext);

    // Shows the dialog and waits for it; true when something was selected.
    bool runModal();
    // The same, then callback(this) when something was selected.
    bool run(CallbackFunc&& callback);
    uint32_t getNumSelectedFiles() const { return uint32_t(selected.size()); }
    // The path of a selected file; null past the end.
    UTF8StringPtr getSelectedFile(uint32_t index) const;

    struct Request
    {
        bool save = false;
        bool directory = false;
        bool multiple = false;
        std::string title, initialDirectory, defaultSaveName, defaultExtension;
        std::vector<std::pair<std::string, std::string>> filters;
    };

private:
    CNewFileSelector(CFrame* frame, Style style);
    CFrame* frame;
    Request request;
    std::vector<std::string> selected;
};

// Opens an http or https address in the user's browser without waiting;
// false (and a log line) for any other address or when it cannot be started.
bool openWebLink(const std::string& url);
} // namespace VSTGUI
